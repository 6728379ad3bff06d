#!/usr/bin/env python3
"""Table of the library's time against FFTW's from fft_bench's JSON output:
  fft_bench --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
            --benchmark_min_time=0.05 --benchmark_report_aggregates_only=true \
            --benchmark_format=json | bench/fft_ratio.py
Uses each benchmark's smallest CPU time over the repetitions."""
import json
import sys

rows = {}
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") != "min":
        continue
    name, size = b["run_name"].split("/")[:2]
    rows.setdefault(int(size), {})[name] = b["cpu_time"]
print(f"{'N':>7} {'KP05 ns':>10} {'FFTW ns':>10} {'ratio':>6}")
for n in sorted(rows):
    k, f = rows[n].get("Kp05"), rows[n].get("Fftw")
    if k and f:
        print(f"{n:>7} {k:>10.0f} {f:>10.0f} {k / f:>6.2f}")
