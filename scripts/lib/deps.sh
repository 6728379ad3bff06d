# Installs the Debian packages the build and the tests need, when missing.
# Sourced by scripts/test and scripts/run.

OV_PACKAGES=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth pulseaudio pulseaudio-utils imagemagick xdotool
  libfftw3-dev libsndfile1-dev sox ffmpeg python3 python3-numpy
  xfonts-base fp-utils
)

ov_install_deps() {
  local missing=()
  local p
  for p in "${OV_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
