#!/usr/bin/env bash
# ovtool records from the test ASIO driver's input channels 3 and 4 for each
# pair of driver type and file width the engine accepts; sox and ffmpeg must
# both read the file back with exactly the driver's pattern. Runs inside the
# Wine test environment: registers the driver in that prefix first.
#   ovtool_record_test.sh OVTOOL.EXE OVASIOTEST.DLL WORKDIR
set -u
ovtool=$1 dll=$2 work=$3
for tool in sox ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "[  SKIPPED ] $tool not installed"; exit 0; }
done
mkdir -p "$work"
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
clsid='{9E5A41C5-D15E-43E1-A490-641234529C3A}'
reg() { timeout -s KILL 60 wine reg add "$@" /f >/dev/null 2>&1; }
reg "HKCR\\CLSID\\$clsid\\InprocServer32" /ve /d "$(winpath "$dll")"
reg "HKCR\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel /d Both
reg "HKLM\\Software\\ASIO\\Orlavisonic Test" /v CLSID /d "$clsid"
reg "HKLM\\Software\\ASIO\\Orlavisonic Test" /v Description /d "Orlavisonic Test Driver"

failed=0
for pair in 16:16 24:24 32:32 32:24; do
  type=${pair%:*} bits=${pair#*:}
  file="$work/asio_rec_${type}_${bits}.wav"
  rm -f "$file"
  if ! OVASIO_TYPE=$type timeout -s KILL 120 wine "$ovtool" record "$(winpath "$file")" \
      --driver asio --seconds 1 --rate 48000 --bits "$bits" --channel 3 >/dev/null; then
    echo "FAIL: ovtool record (driver $type bits, file $bits bits)"; failed=1; continue
  fi
  sox "$file" -t s32 "$work/sox.raw" || { echo "FAIL: sox cannot read $file"; failed=1; continue; }
  ffmpeg -v error -y -i "$file" -f s32le "$work/ffmpeg.raw" ||
    { echo "FAIL: ffmpeg cannot read $file"; failed=1; continue; }
  python3 - "$type" "$bits" "$work/sox.raw" "$work/ffmpeg.raw" <<'PY' || failed=1
import struct, sys
type_bits, bits = int(sys.argv[1]), int(sys.argv[2])
def pattern(n, c):  # the driver's input pattern (TestAsioControl.h)
    v16 = (n * 331 + c * 4099) & 0xFFFF
    low = (n * 7 + c) & 0xFFFF
    return (v16 << 16) | low
keep = (0xFFFFFFFF << (32 - min(type_bits, bits))) & 0xFFFFFFFF
for name in sys.argv[3:]:
    raw = open(name, 'rb').read()
    values = struct.unpack('<%dI' % (len(raw) // 4), raw)
    frames = len(values) // 2
    # A stop keeps the ring buffers completed so far (24000 frames each here).
    if frames < 24000:
        sys.exit('FAIL: %s holds %d frames' % (name, frames))
    for n in range(frames):
        for ch in range(2):
            want = pattern(n, 3 + ch) & keep
            if values[2 * n + ch] != want:
                sys.exit('FAIL: %s frame %d channel %d: %08x != %08x' %
                         (name, n, ch, values[2 * n + ch], want))
print('driver %d bits, file %d bits: %d frames match in sox and ffmpeg' % (type_bits, bits, frames))
PY
done
# Other tests expect a machine without ASIO drivers: the listing goes again.
timeout -s KILL 60 wine reg delete "HKLM\\Software\\ASIO\\Orlavisonic Test" /f >/dev/null 2>&1
exit $failed
