#!/usr/bin/env bash
# Checks that the native shared library exports exactly the 30 plain C entries.
set -u
expected="Create_FFT Release_FFT FFT_fft FFT_WeightWindow FFT_PostProcess DLL_PrepareCoordinatesSub"
for k in 4 8 64 128 256 512 1024 2048; do expected+=" Create_FFT$k Release_FFT$k FFT_fft$k"; done
exported=$(nm -D --defined-only "$1" | awk '{print $3}' | sort)
want=$(echo "$expected" | tr ' ' '\n' | sort)
if [ "$exported" != "$want" ]; then
  echo "export table differs (< missing, > unexpected):"
  diff <(echo "$want") <(echo "$exported")
  exit 1
fi
echo "$1 exports the $(echo "$exported" | wc -l) entries"
