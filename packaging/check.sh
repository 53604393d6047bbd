#!/usr/bin/env bash
# Judges the Debian package as a user's machine would meet it: its file list, the
# desktop entry, lintian, and the programs run from an unpacked copy.
#   check.sh DEB
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
pass=0
check() {
  local name=$1
  shift
  if "$@"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAILED: $name"; fi
}
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in ./usr/bin/pt4prog ./usr/bin/pt4cli ./usr/share/applications/pt4prog.desktop \
  ./usr/share/icons/hicolor/16x16/apps/pt4prog.png ./usr/share/icons/hicolor/32x32/apps/pt4prog.png \
  ./usr/share/icons/hicolor/48x48/apps/pt4prog.png ./usr/share/icons/hicolor/256x256/apps/pt4prog.png \
  ./usr/share/man/man1/pt4cli.1.gz ./usr/share/man/man1/pt4prog.1.gz \
  ./usr/share/bash-completion/completions/pt4cli ./usr/share/doc/pt4prog/copyright \
  ./usr/share/doc/pt4prog/README.md; do
  check "package holds $f" grep -qx "$f" "$work/files"
done
check "library dependencies computed" bash -c "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"
dpkg -x "$deb" "$work/root"
check "desktop entry valid" desktop-file-validate "$work/root/usr/share/applications/pt4prog.desktop"
check "pt4cli --version from the package" bash -c "'$work/root/usr/bin/pt4cli' --version | grep -q '^pt4cli '"
python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)))" >"$work/ramp.rom"
check "pt4cli checksum from the package" \
  bash -c "[ \"\$('$work/root/usr/bin/pt4cli' checksum '$work/ramp.rom' --mask full | head -1)\" = D8BC ]"
check "man page renders" bash -c "man -l '$work/root/usr/share/man/man1/pt4cli.1.gz' >/dev/null 2>&1"
lintian --no-tag-display-limit "$deb" >"$work/lintian.txt" 2>&1 || true
cp "$work/lintian.txt" "$(dirname "$deb")/lintian.txt"
check "lintian finds no error" bash -c "! grep -q '^E:' '$work/lintian.txt'"
grep '^[EW]:' "$work/lintian.txt" | sed 's/^/  lintian: /' || true
echo "package: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
