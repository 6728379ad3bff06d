#!/usr/bin/env bash
# Checks KP05DLL.DLL's tables: every entry exported under its decorated name
# (nothing else), and no imports beyond kernel32 and the C runtime.
set -u
dll="$1"
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "cannot read $dll"; exit 1; }

expected="_Create_FFT@12 _Release_FFT@0 _FFT_fft@8"
for k in 4 8 64 128 256 512 1024 2048; do
  expected+=" _Create_FFT${k}@4 _Release_FFT${k}@0 _FFT_fft${k}@8"
done
expected+=" _FFT_WeightWindow@8 _FFT_PostProcess@12 _DLL_PrepareCoordinatesSub@28"

exported=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
want=$(echo "$expected" | tr ' ' '\n' | sort)
status=0
if [ "$exported" != "$want" ]; then
  echo "export table differs (< missing, > unexpected):"
  diff <(echo "$want") <(echo "$exported")
  status=1
fi

imports=$(echo "$dump" | sed -n 's/^\s*DLL Name: //p')
for dll_name in $imports; do
  case "${dll_name,,}" in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) echo "unexpected import: $dll_name"; status=1 ;;
  esac
done
[ -n "$imports" ] || { echo "no import table found"; status=1; }
[ $status -eq 0 ] && echo "KP05DLL exports $(echo "$exported" | wc -l) entries; imports: $imports"
exit $status
