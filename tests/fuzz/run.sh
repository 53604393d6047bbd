#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds:
# TryParseInt against a reference, the settings writer's properties, the image
# loader under every mask mode, the port choice, and the files the programs read
# but did not write (a whole file, the simulator's chip file, /proc's port list).
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
seconds=${PT4_FUZZ_SECONDS:-8}
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
       -DPT4_PORT_BASE=0x378 -I"$src")
# The core once (its Linux files), then each target links what it needs of it.
mkdir -p "$out/core"
(cd "$src" && ls base/*.cpp image/*.cpp hardware/*.cpp operations/*.cpp | grep -v _windows) |
  xargs -P "$(nproc)" -I{} sh -c 'clang++ "$@" -c "$0" -o "'"$out"'/core/$(echo "$0" | tr / _).o"' \
    "$src/{}" "${flags[@]}"
build() {  # build NAME SOURCE
  clang++ "${flags[@]}" -fsanitize=fuzzer "$src/tests/fuzz/$2" "$out"/core/*.o -o "$out/$1" -lz -lcrypto
}
run() {  # run NAME MAXLEN SEEDS...
  local name=$1 maxlen=$2
  shift 2
  mkdir -p "$out/$name.corpus"
  local i=0
  for s in "$@"; do
    printf '%b' "$s" >"$out/$name.corpus/seed$i"
    i=$((i + 1))
  done
  "$out/$name" -max_total_time="$seconds" -max_len="$maxlen" -timeout=5 -artifact_prefix="$out/" \
    "$out/$name.corpus" >"$out/$name.log" 2>&1 || {
    tail -30 "$out/$name.log"
    echo "fuzz: $name failed"
    exit 1
  }
  echo "fuzz: $name $(grep -o 'Done [0-9]* runs' "$out/$name.log" | head -1)"
}
build tryparseint tryparseint_fuzz.cpp
build settings settings_fuzz.cpp
build romload romload_fuzz.cpp
build portchoice portchoice_fuzz.cpp
build files files_fuzz.cpp
run tryparseint 64 "0" "-12" "\$7FFFFFFF" "0x10" " x1f" "-2147483648" "2147483648" "12a" "+ 1"
run settings 65536 "1\x012\x013\x014\x01" " a\x01\tb\x01\x01x\x01[K556PT4]\nBufStartWriteAdr = 1\n[Other]\nk=v\n" \
  "a\x01b\x01c\x01d\x01; c\r\n[k556pt4]\r\nromendwriteadr=old\r\n\r\n[X]\r\n"
# A whole HEX image is some 700 bytes: inputs well past 4 KiB reach its limits.
run romload 65536 "\x00:10000000000102030405060708090A0B0C0D0E0F78\n:00000001FF\n" \
  "\x06S1130000000102030405060708090A0B0C0D0E0F74\nS9030000FC\n" "\x01abcdef" "\x05\x12\x34" \
  "\x0c:020000020001FB\n:00000001FF\n"
run portchoice 64 "direct" "direct:0x378" "direct:0xD010,ecr=0xD000" "direct:0x 12" "direct:0x+12" \
  "/dev/parport0" "ppdev:/dev/parport1" "sim:a,b" "sim-nochip" ""
run files 8192 "\x00hello" "\x01$(printf '\\x%02x' $(seq 0 255) | tr -d '\n')" "\x02888\t1914\n\x00PCSPP,EPP\n" \
  "\x0253264\x00" "\x05x"
