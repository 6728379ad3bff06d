#!/usr/bin/env python3
"""Table of the library's time against FFTW's from fft_bench's JSON output:
  fft_bench --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
            --benchmark_min_time=0.05 --benchmark_report_aggregates_only=true \
            --benchmark_format=json | bench/fft_ratio.py
Uses each benchmark's smallest CPU time over the repetitions. With
OV_FFT_LAYOUTS=1 the forced layouts get a ratio column each."""
import json
import sys

rows = {}
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") != "min":
        continue
    name, size = b["run_name"].split("/")[:2]
    rows.setdefault(int(size), {})[name] = b["cpu_time"]
extra = [n for n in ("Kp05Passes", "Kp05Tail", "Kp05Quarters", "Kp05Eights") if any(n in r for r in rows.values())]
print(f"{'N':>7} {'KP05 ns':>10} {'FFTW ns':>10} {'ratio':>6}" + "".join(f" {n[4:]:>10}" for n in extra))
for n in sorted(rows):
    k, f = rows[n].get("Kp05"), rows[n].get("Fftw")
    if k and f:
        line = f"{n:>7} {k:>10.0f} {f:>10.0f} {k / f:>6.2f}"
        for name in extra:
            v = rows[n].get(name)
            line += f" {v / f:>10.2f}" if v else f" {'':>10}"
        print(line)
