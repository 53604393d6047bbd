#!/usr/bin/env bash
# Judges the two Debian packages as a user's machine would meet them: their file
# lists and relations, the desktop entry, the completion against pt4cli's own
# options, lintian, and the programs run from an unpacked copy.
#   check.sh PT4CLI_DEB PT4PROG_DEB
set -euo pipefail
cli=$(realpath "$1")
prog=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
pass=0
check() {
  local name=$1
  shift
  if "$@"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAILED: $name"; fi
}
holds() {  # holds DEB FILE...
  local deb=$1
  shift
  dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
  for f in "$@"; do check "$(basename "$deb") holds $f" grep -qx "$f" "$work/files"; done
}
holds "$cli" ./usr/bin/pt4cli ./usr/share/man/man1/pt4cli.1.gz \
  ./usr/share/bash-completion/completions/pt4cli ./usr/share/doc/pt4cli/copyright \
  ./usr/share/doc/pt4cli/changelog.gz ./usr/share/doc/pt4cli/README.md
holds "$prog" ./usr/bin/pt4prog ./usr/share/applications/pt4prog.desktop \
  ./usr/share/icons/hicolor/16x16/apps/pt4prog.png ./usr/share/icons/hicolor/32x32/apps/pt4prog.png \
  ./usr/share/icons/hicolor/48x48/apps/pt4prog.png ./usr/share/icons/hicolor/256x256/apps/pt4prog.png \
  ./usr/share/man/man1/pt4prog.1.gz ./usr/share/doc/pt4prog/copyright ./usr/share/doc/pt4prog/README.md
check "pt4cli holds no window program" bash -c "! dpkg-deb -c '$cli' | grep -q 'bin/pt4prog'"

field() { dpkg-deb -f "$1" "$2"; }
version=$(field "$prog" Version)
check "pt4cli needs no Qt" bash -c "! dpkg-deb -f '$cli' Depends | grep -qi qt"
check "pt4cli asks through debconf" bash -c "dpkg-deb -f '$cli' Depends | grep -q debconf"
check "pt4cli's question and scripts" bash -c "dpkg-deb -I '$cli' | grep -q templates && dpkg-deb -I '$cli' | grep -q postrm"
check "pt4cli suggests bash-completion" bash -c "dpkg-deb -f '$cli' Suggests | grep -q bash-completion"
check "pt4prog depends on pt4cli $version" bash -c "dpkg-deb -f '$prog' Depends | grep -q 'pt4cli (= $version)'"
check "pt4prog depends on the faces of its layout" bash -c "dpkg-deb -f '$prog' Depends | grep -q 'fonts-liberation, fonts-dejavu-core'"
check "pt4prog's Qt libraries computed" bash -c "dpkg-deb -f '$prog' Depends | grep -q libqt6widgets6"
check "pt4prog recommends Wayland and Qt's translations" \
  bash -c "dpkg-deb -f '$prog' Recommends | grep -q qt6-wayland && dpkg-deb -f '$prog' Recommends | grep -q qt6-translations-l10n"

dpkg -x "$cli" "$work/root"
dpkg -x "$prog" "$work/root"
bin=$work/root/usr/bin
check "desktop entry valid" desktop-file-validate "$work/root/usr/share/applications/pt4prog.desktop"
check "pt4cli --version from the package" bash -c "'$bin/pt4cli' --version | grep -q '^pt4cli $version'"
python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)))" >"$work/ramp.rom"
check "pt4cli checksum from the package" \
  bash -c "[ \"\$('$bin/pt4cli' checksum '$work/ramp.rom' --mask full | head -1)\" = 'Signature D8BC (mask 0Fh)' ]"
for page in pt4cli pt4prog; do
  check "man $page renders" bash -c "man -l '$work/root/usr/share/man/man1/$page.1.gz' >/dev/null 2>&1"
  check "man $page names the package's version" \
    bash -c "zcat '$work/root/usr/share/man/man1/$page.1.gz' | head -1 | grep -q '\"pt4prog ${version%%-*}\"'"
done
check "man pt4cli tells of real time" bash -c "man -l '$work/root/usr/share/man/man1/pt4cli.1.gz' 2>/dev/null | grep -q 'REAL TIME'"

# The completion offers every option pt4cli knows, and each option's values.
completion=$work/root/usr/share/bash-completion/completions/pt4cli
offered() {  # offered WORD...: what completing the last word offers
  bash -c 'source /usr/share/bash-completion/bash_completion; source "$0"
    COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}; _pt4cli; printf "%s\n" "${COMPREPLY[@]}"' "$completion" "$@" | sort
}
if [ -r /usr/share/bash-completion/bash_completion ]; then
  options=$("$bin/pt4cli" --help | grep -oE '(^|[ ,])-(-[a-z-]+|[a-z])' | tr -d ' ,' | sort -u)
  missing=$(comm -23 <(echo "$options") <(offered pt4cli -))
  check "completion offers every option ($(echo $missing))" [ -z "$missing" ]
  check "completion: --format values" [ "$(offered pt4cli --format '' | tr '\n' ' ')" = "auto hex high packed raw srec " ]
  check "completion: --mask values" [ "$(offered pt4cli --mask '' | tr '\n' ' ')" = "full high lh low " ]
  check "completion: the commands" [ "$(offered pt4cli '' | wc -l)" -eq 10 ]
  check "completion: --port kinds" grep -qx sim-nochip <(offered pt4cli --port s)
else
  echo "FAILED: bash-completion is missing (tools/pt4 installs it)"
  fail=$((fail + 1))
fi

lintian --tag-display-limit 0 "$cli" "$prog" >"$work/lintian.txt" 2>&1 || true
cp "$work/lintian.txt" "$(dirname "$prog")/lintian.txt"
check "lintian finds no error or warning" bash -c "! grep -q '^[EW]:' '$work/lintian.txt'"
grep '^[EWI]:' "$work/lintian.txt" | sed 's/^/  lintian: /' || true
echo "package: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
