#!/usr/bin/env bash
# Pulse overshoot against the machine's own wake-up latency, in the same minutes:
# cyclictest -p 80 runs beside a write pass of 2 ms pulses on the simulator, and
# both distributions are printed side by side (median, p99, p99.9, max, in µs).
#   bench/pulses.sh build/bench/pass_bench [seconds]
set -euo pipefail
bench=$(realpath "$1")
secs=${2:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v cyclictest >/dev/null || { echo "cyclictest is missing: apt-get install rt-tests"; exit 1; }
cyclictest -p 80 -m -i 1000 -D "${secs}s" -q -h 20000 --histfile="$work/hist" >/dev/null 2>&1 &
ct=$!
"$bench" --write 2 --repeat-until "$secs" --widths "$work/widths" >"$work/bench.txt"
wait $ct || true
cat "$work/bench.txt"
python3 - "$work/hist" "$work/widths" <<'PY'
import sys
def quantiles(values):
    values = sorted(values)
    q = lambda f: values[min(len(values) - 1, int(f * (len(values) - 1) + 0.5))]
    return len(values), q(0.5), q(0.99), q(0.999), values[-1]
lat = []
for line in open(sys.argv[1]):
    if line.startswith('#') or not line.strip():
        continue
    cols = line.split()
    us, count = int(cols[0]), sum(int(c) for c in cols[1:])
    lat += [us] * count
over = [float(l) for l in open(sys.argv[2])]
print(f"{'':24}{'count':>8}{'median':>9}{'p99':>9}{'p99.9':>9}{'max':>9}   (µs)")
for name, data in (("machine wake-up latency", lat), ("pulse overshoot", over)):
    n, m, p99, p999, mx = quantiles(data)
    print(f"{name:24}{n:8d}{m:9.1f}{p99:9.1f}{p999:9.1f}{mx:9.1f}")
PY
