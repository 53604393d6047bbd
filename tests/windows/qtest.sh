#!/usr/bin/env bash
# Runs a Qt Test program under Wine on the offscreen platform (named on the
# command line: Wine does not hand QT_* variables to Windows programs), shows
# what it wrote and passes on whether every case passed.
#   qtest.sh EXE [TEST FUNCTIONS...]
set -u
wine=/usr/lib/wine/wine64
# Offscreen, Qt finds fonts only in the one folder QT_QPA_FONTDIR names; the
# faces the layout falls back to when Arial and Courier New are missing (the
# Liberation faces have their metrics) go there once, and the variable into
# the prefix's environment.
fonts=$WINEPREFIX/qt-fonts
if [ ! -d "$fonts" ]; then
  mkdir -p "$fonts.new"
  ln -sf /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/*.ttf "$fonts.new/"
  "$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ /f \
    /d "$("$wine" winepath -w "$fonts" 2>/dev/null)" >/dev/null 2>&1
  mv "$fonts.new" "$fonts"
fi
exe=$1
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$wine" "$exe" -platform offscreen -o "$("$wine" winepath -w "$out" 2>/dev/null)",txt "$@"
rc=$?
cat "$out"
grep -q '^Totals: [0-9]* passed, 0 failed' "$out" && [ "$rc" -eq 0 ]
