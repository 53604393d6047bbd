#!/usr/bin/env bash
# Every benchmark once, on a built tree, each as a ratio to the physical limit or
# to the machine's floor measured in the same run:
#   bench/run.sh [BUILD]     (BUILD defaults to build/)
# The pulses beside cyclictest need rt-tests and root for real-time priority;
# start-up needs Xvfb and openbox. What is missing is said and passed over.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
bench="$build/bench"
[ -x "$bench/pass_bench" ] || { echo "No $bench/pass_bench: build first (cmake --build $build)"; exit 1; }
echo "== passes against the sum of the hardware's waits"
"$bench/pass_bench"
QT_QPA_PLATFORM=offscreen "$bench/pass_bench" --window
"$bench/pass_bench" --write 2
echo "== pulse overshoot beside cyclictest"
if command -v cyclictest >/dev/null; then
  "$top/bench/pulses.sh" "$bench/pass_bench" 30
else
  echo "(cyclictest is missing: apt-get install rt-tests)"
fi
echo "== start-up against a minimal Qt window"
if command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
  python3 "$top/bench/startup.py" "$build/gui/pt4prog" "$bench/minimal_window" 15
else
  echo "(Xvfb or openbox is missing)"
fi
