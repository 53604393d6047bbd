#!/usr/bin/env python3
"""Judges a QEMU run of pt4cli on the kernel's parport drivers.

console.log holds the guest's marked steps and pt4cli's own traces; port.log holds
every access the emulated port saw (QEMU's parallel_ioport_* trace events).
"""
import re
import sys

console_path, port_path = sys.argv[1:3]
console = open(console_path, errors="replace").read().replace("\r", "")
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
    print(("ok   " if ok else "FAIL ") + what)


steps = {}
for m in re.finditer(r"@@begin (\S+)\n(.*?)@@end \1 rc=(\d+)\n", console, re.S):
    steps[m.group(1)] = (m.group(2), int(m.group(3)))


def step(name, rc, *texts):
    out, got = steps.get(name, ("", None))
    check(got == rc, f"{name}: exit code {got}, want {rc}")
    for t in texts:
        check(t in out, f"{name}: says {t!r}")


step("kernel", 0, "parport0: PC-style at 0x378")
# The emulated port reads 0xFF with its lines turned to input: every line floats
# high, as with an empty socket.
step("blank", 2, "no chip answers")
# The emulated port has no chip: every line floats high, and the write says so.
step("refused", 5, "no chip answers")
# Quiet, the write's one line is its verdict: no chip, so bad.
step("write", 2, "bad\n")
step("probe", 0, "forward: the data register reads back what was written",
     "reverse: input mode lets go of the data lines", "verdict: the port is usable")
step("ports", 0, "/dev/parport0")
step("busy", 4, "in use by another program")
check("@@holder rc=143" in console, "the holder ended on SIGTERM with 143")
step("notlp", 4, "group lp")
step("lpheld", 4, "in use by another program")
step("noppdev", 4, "modprobe ppdev parport_pc")

# What the emulated port saw: (kind, register offset, value).
seen = []
for line in open(port_path, errors="replace"):
    m = re.search(r"parallel_ioport_(read|write) \S+ \[\w+\] addr 0x([0-9a-f]+) val 0x([0-9a-f]+)", line)
    if m:
        seen.append((m.group(1), int(m.group(2), 16), int(m.group(3), 16)))
check(len(seen) > 1000, f"the port saw {len(seen)} accesses")

def expected(trace_text):
    """The port accesses the ppdev driver turns pt4cli's trace into."""
    out, direction, nibble = [], -1, None
    for line in trace_text.splitlines():
        m = re.match(r"\d+\.\d+ (out|in) 0x([0-9A-F]+) 0x([0-9A-F]+)$", line.strip())
        if not m:
            continue
        op, addr, val = m.group(1), int(m.group(2), 16) - 0x378, int(m.group(3), 16)
        if op == "in":
            out.append(("read", addr, val))
        elif addr == 0:
            out.append(("write", 0, val))
        elif addr == 2:
            d, low = (val >> 5) & 1, val & 0x0F
            if d == 1 and direction != 1:  # input first
                out.append(("write", 2, (nibble if nibble is not None else 0) | 0x20))
                direction = 1
            elif d == 0 and direction != 0 and low & 0x03:  # driven before a strobe rises
                out.append(("write", 2, (low & 0x0C) | (0x20 if direction == 1 else 0)))
                out.append(("write", 2, low & 0x0C))
                direction = 0
            out.append(("write", 2, low | (0x20 if direction == 1 else 0)))
            nibble = low
            if d == 0 and direction != 0:  # output last
                out.append(("write", 2, low))
                direction = 0
        # the ECR write is no access under ppdev
    return out


def same(a, b):
    if a[0] != b[0] or a[1] != b[1]:
        return False
    return (a[2] & 0x2F) == (b[2] & 0x2F) if a[0] == "write" and a[1] == 2 else a[2] == b[2]


starts = []
for name in ("trace-blank", "trace-write"):
    want = expected(steps.get(name, ("", 0))[0])
    check(len(want) > 500, f"{name}: {len(want)} accesses traced")
    at = -1
    for start in range(len(seen) - len(want) + 1):
        if all(same(seen[start + i], w) for i, w in enumerate(want)):
            at = start
            break
    check(at >= 0, f"{name}: the port saw the trace access by access")
    if at >= 0:
        starts.append(at)
    if at < 0 and want:
        # Say where the best match broke, to find the fault fast.
        best, where = 0, 0
        for start in range(len(seen)):
            n = 0
            while n < len(want) and start + n < len(seen) and same(seen[start + n], want[n]):
                n += 1
            if n > best:
                best, where = n, start
        print(f"     longest run {best} of {len(want)}; then trace {want[best] if best < len(want) else None}"
              f" against port {seen[where + best] if where + best < len(seen) else None}")

# The PC never drives the data lines while the control lines select the chip data,
# from pt4cli's first access on (the kernel's own probe at boot is not ours).
first = min(starts) if starts else 0
contention = [i for i, (k, a, v) in enumerate(seen)
              if i >= first and k == "write" and a == 2 and not v & 0x20 and v & 0x0F == 0x0E]
check(bool(starts) and not contention,
      f"no contention state on the port after pt4cli's first access ({len(contention)} found)")

print(f"qemu: {len(failures)} failed")
sys.exit(1 if failures else 0)
