# The headless Windows test environment: a Wine prefix of its own, an Xvfb
# display and a PulseAudio daemon whose null sink "ovnull" loops back through
# its monitor. Everything is started by pid and stopped by pid.
#
#   ov_env_start DIR   start (or reuse) the environment kept in DIR
#   ov_env_stop DIR    stop what ov_env_start started
# After ov_env_start, DIR/env.sh holds the variables a Wine program needs.

ov_env_start() {
  local dir
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  export XDG_RUNTIME_DIR="$dir/xdg"
  export WINEPREFIX="$dir/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  : >"$dir/pids"

  # Sound: a user daemon with a null sink; the keep-alive stream keeps the sink
  # at low latency so new streams start at once.
  if ! pactl info >/dev/null 2>&1; then
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
      --load="module-null-sink sink_name=ovnull" \
      --load="module-native-protocol-unix" --load="module-always-sink" \
      --log-target=file:"$dir/pulseaudio.log" 2>>"$dir/pulseaudio.log"
    local i
    for i in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl info >/dev/null 2>&1 || { echo "PulseAudio did not start (see $dir/pulseaudio.log)" >&2; return 1; }
    local ppid_file="$XDG_RUNTIME_DIR/pulse/pid"
    [ -f "$ppid_file" ] && echo "pulseaudio $(cat "$ppid_file")" >>"$dir/pids"
    pactl set-default-sink ovnull >/dev/null 2>&1 || true
  fi
  pacat --playback --latency-msec=20 --rate=44100 --channels=2 -d ovnull /dev/zero &
  echo "pacat $!" >>"$dir/pids"

  # Display: a virtual screen on the first free display number.
  if [ -z "${OV_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    exec 8>"$dir/display"
    Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    echo "Xvfb $!" >>"$dir/pids"
    local n=""
    for i in $(seq 1 100); do
      n=$(cat "$dir/display" 2>/dev/null)
      [ -n "$n" ] && break
      sleep 0.1
    done
    exec 8>&-
    [ -n "$n" ] || { echo "Xvfb did not start (see $dir/xvfb.log)" >&2; return 1; }
    export DISPLAY=":$n"
  fi

  # Wine: a prefix of our own, no window manager, a persistent server.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >"$dir/wineboot.log" 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crashing program prints its backtrace into the test's log instead of
    # waiting behind a crash dialog on the virtual display.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p
  echo "wineserver -" >>"$dir/pids"
  # The first program of a server session starts Wine's background services,
  # which keep the program's output handles open: under CTest's test discovery
  # that pipe then never closes. Start them here with no handles to inherit.
  timeout -s KILL 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true

  cat >"$dir/env.sh" <<ENV
export XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
export PULSE_RUNTIME_PATH="$PULSE_RUNTIME_PATH"
export WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY="$DISPLAY"
ENV
}

ov_env_stop() {
  local dir="$1"
  [ -f "$dir/pids" ] || return 0
  local name pid
  while read -r name pid; do
    case "$name" in
      wineserver) WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true ;;
      pulseaudio) XDG_RUNTIME_DIR="$dir/xdg" pulseaudio --kill >/dev/null 2>&1 || kill "$pid" 2>/dev/null || true ;;
      *) kill "$pid" 2>/dev/null || true ;;
    esac
  done < <(tac "$dir/pids")
  rm -f "$dir/pids" "$dir/env.sh"
}
