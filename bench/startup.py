#!/usr/bin/env python3
"""Start-up against the floor of a Qt program, in the same run: launch to first
paint of pt4prog and of a minimal Qt window with a menu bar and a line of text,
under Xvfb with a window manager (openbox), interleaved so both see the same
machine. Also pt4prog's resident memory once idle.

  bench/startup.py build/app/pt4prog build/bench/minimal_window [runs]
"""
import os
import statistics
import subprocess
import sys
import time

prog, floor = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 15
display = ":%d" % (200 + os.getpid() % 50)
xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1)
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", PT4_PORT="sim", PT4_STARTUP_PROBE="1")
wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1)


def launch(path):
    t0 = time.monotonic_ns()
    out = subprocess.run([path], env=env, capture_output=True, text=True, timeout=30).stdout
    paint = rss = None
    for line in out.splitlines():
        if line.startswith("first_paint_monotonic_ns="):
            paint = (int(line.split("=")[1]) - t0) / 1e6
        if line.startswith("idle_VmRSS:"):
            rss = int(line.split()[1])
    return paint, rss


try:
    ours, base, mem = [], [], []
    launch(prog), launch(floor)  # warm the caches
    for _ in range(runs):
        p, r = launch(prog)
        ours.append(p)
        mem.append(r)
        base.append(launch(floor)[0])
    mo, mb = statistics.median(ours), statistics.median(base)
    print(f"pt4prog first paint:        median {mo:6.1f} ms  min {min(ours):6.1f} ms  ({runs} runs)")
    print(f"minimal Qt window (floor):  median {mb:6.1f} ms  min {min(base):6.1f} ms")
    print(f"ratio to the floor:         {mo / mb:.3f} (median), {min(ours) / min(base):.3f} (min)")
    print(f"pt4prog idle resident memory: {statistics.median([m for m in mem if m]) / 1024:.1f} MiB")
finally:
    wm.terminate()
    xvfb.terminate()
