#!/usr/bin/env bash
# Builds the TryParseInt fuzz target with clang's libFuzzer and runs it briefly.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$src" \
  "$src/tests/operations/tryparseint_fuzz.cpp" "$src/operations/Params.cpp" "$src/app/Buffer.cpp" \
  -o "$out/fuzz"
mkdir "$out/corpus"
for s in "0" "-12" "\$7FFFFFFF" "0x10" " x1f" "-2147483648" "2147483648" "12a" "+ 1"; do
  printf '%s' "$s" >"$out/corpus/$(printf '%s' "$s" | md5sum | cut -c1-8)"
done
"$out/fuzz" -runs=300000 -max_len=24 "$out/corpus" 2>&1 | tail -2
