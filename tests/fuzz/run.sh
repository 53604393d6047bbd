#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds:
# TryParseInt against a reference, the settings writer's properties, the image loader.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
seconds=${PT4_FUZZ_SECONDS:-8}
build() {  # build NAME SOURCES...
  local name=$1
  shift
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src" "$@" -o "$out/$name" -lz -lcrypto
}
run() {  # run NAME SEEDS...
  local name=$1
  shift
  mkdir -p "$out/$name.corpus"
  local i=0
  for s in "$@"; do
    printf '%b' "$s" >"$out/$name.corpus/seed$i"
    i=$((i + 1))
  done
  "$out/$name" -max_total_time="$seconds" -max_len=4096 -timeout=5 -artifact_prefix="$out/" "$out/$name.corpus" >"$out/$name.log" 2>&1 || {
    tail -30 "$out/$name.log"
    echo "fuzz: $name failed"
    exit 1
  }
  echo "fuzz: $name $(grep -o 'Done [0-9]* runs' "$out/$name.log" | head -1)"
}
build tryparseint "$src/tests/fuzz/tryparseint_fuzz.cpp" "$src/operations/Params.cpp" "$src/image/Buffer.cpp"
build settings "$src/tests/fuzz/settings_fuzz.cpp" "$src/operations/SettingsFile.cpp" "$src/image/FileUtil.cpp"
build romload "$src/tests/fuzz/romload_fuzz.cpp" "$src/image/RomFile.cpp" "$src/image/ImageFormats.cpp" \
  "$src/image/FileUtil.cpp" "$src/image/Buffer.cpp"
run tryparseint "0" "-12" "\$7FFFFFFF" "0x10" " x1f" "-2147483648" "2147483648" "12a" "+ 1"
run settings "1\x012\x013\x014\x01" " a\x01\tb\x01\x01x\x01[K556PT4]\nBufStartWriteAdr = 1\n[Other]\nk=v\n" \
  "a\x01b\x01c\x01d\x01; c\r\n[k556pt4]\r\nromendwriteadr=old\r\n\r\n[X]\r\n"
run romload "\x00:10000000000102030405060708090A0B0C0D0E0F78\n:00000001FF\n" \
  "\x00S1130000000102030405060708090A0B0C0D0E0F74\nS9030000FC\n" "\x01abcdef" "\x05\x12\x34"
