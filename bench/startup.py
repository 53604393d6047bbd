#!/usr/bin/env python3
"""Start-up against the floor of a Qt program, in the same run: launch to first
paint of pt4prog and of a minimal Qt window with a menu bar and a line of text,
under Xvfb with a window manager (openbox), interleaved so both see the same
machine; the ratio quoted first is the median of each run's ratio to the
floor's run beside it. Also where each program's time goes, stage by stage (the marks both
print with PT4_STARTUP_PROBE), and pt4prog's resident memory once idle.

  bench/startup.py build/gui/pt4prog build/bench/minimal_window [runs]
"""
import os
import statistics
import subprocess
import sys
import time

prog, floor = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 25
display = ":%d" % (200 + os.getpid() % 50)
xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1)
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", PT4_PORT="sim", PT4_STARTUP_PROBE="1")
wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1)


def launch(path):
    """Milliseconds from launch to first paint, the stages (ms each, from the
    end of the one before; the first from launch), and the idle VmRSS in kB."""
    t0 = time.monotonic_ns()
    out = subprocess.run([path], env=env, capture_output=True, text=True, timeout=30).stdout
    paint = rss = None
    stages, prev = {}, t0
    for line in out.splitlines():
        key, _, value = line.partition("=")
        if key == "stage_monotonic_ns":
            name, ns = value.rsplit(":", 1)
            stages[name] = (int(ns) - prev) / 1e6
            prev = int(ns)
        elif key == "first_paint_monotonic_ns":
            paint = (int(value) - t0) / 1e6
            stages["first paint"] = (int(value) - prev) / 1e6
        elif line.startswith("idle_VmRSS:"):
            rss = int(line.split()[1])
    return paint, stages, rss


def breakdown(title, runs_stages):
    print(title)
    for name in runs_stages[0]:
        values = [s[name] for s in runs_stages if name in s]
        print(f"  {name:14s} {statistics.median(values):6.2f} ms")


try:
    ours, base, mem, our_stages, base_stages = [], [], [], [], []
    launch(prog), launch(floor)  # warm the caches
    for _ in range(runs):
        p, s, r = launch(prog)
        ours.append(p)
        our_stages.append(s)
        mem.append(r)
        p, s, _ = launch(floor)
        base.append(p)
        base_stages.append(s)
    mo, mb = statistics.median(ours), statistics.median(base)
    print(f"pt4prog first paint:        median {mo:6.1f} ms  min {min(ours):6.1f} ms  ({runs} runs)")
    print(f"minimal Qt window (floor):  median {mb:6.1f} ms  min {min(base):6.1f} ms")
    # Each run against the floor's run beside it, so that a drift of the machine
    # between runs cancels out.
    paired = statistics.median(o / b for o, b in zip(ours, base))
    print(f"ratio to the floor:         {paired:.3f} (median of paired runs), "
          f"{mo / mb:.3f} (of medians), {min(ours) / min(base):.3f} (of minima)")
    print(f"pt4prog idle resident memory: {statistics.median([m for m in mem if m]) / 1024:.1f} MiB")
    breakdown("pt4prog stages (median):", our_stages)
    breakdown("floor stages (median):", base_stages)
finally:
    wm.terminate()
    xvfb.terminate()
