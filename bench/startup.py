#!/usr/bin/env python3
"""Time from process start to the main window's first paint, and resident memory
once idle, on the simulator, offscreen.  bench/startup.py build/app/pt4prog [runs]"""
import os, statistics, subprocess, sys, time

prog = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", PT4_PORT="sim", PT4_STARTUP_PROBE="1")
paint, rss = [], []
for _ in range(runs):
    t0 = time.monotonic_ns()
    out = subprocess.run([prog], env=env, capture_output=True, text=True, timeout=30).stdout
    for line in out.splitlines():
        if line.startswith("first_paint_monotonic_ns="):
            paint.append((int(line.split("=")[1]) - t0) / 1e6)
        if line.startswith("idle_VmRSS:"):
            rss.append(int(line.split()[1]))
print(f"first paint: median {statistics.median(paint):.1f} ms, min {min(paint):.1f} ms over {runs} runs")
print(f"idle resident memory: median {statistics.median(rss) / 1024:.1f} MiB")
