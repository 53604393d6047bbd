#!/usr/bin/env bash
# Every text of the windows has a finished translation: the sources are scanned
# again into a copy of each translation, and lrelease must find nothing new,
# nothing unfinished and nothing left untranslated.
#   translations.sh LUPDATE LRELEASE SOURCE_DIR
set -uo pipefail
lupdate=$1
lrelease=$2
src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
for ts in "$src"/gui/translations/*.ts; do
  copy=$work/$(basename "$ts")
  cp "$ts" "$copy"
  # The windows, and the core's sentences that reach them (not the Windows-only files).
  core=$(cd "$src" && ls image/*.cpp hardware/*.cpp | grep -v '_windows\.cpp$')
  # shellcheck disable=SC2086
  (cd "$src" && "$lupdate" -silent -no-obsolete -locations none -tr-function-alias \
    QT_TRANSLATE_NOOP+=Tr -I . gui $core -ts "$copy") || fail=1
  out=$("$lrelease" -verbose "$copy" -qm "$work/out.qm" 2>&1)
  echo "$(basename "$ts"): $(echo "$out" | grep Generated)"
  if ! echo "$out" | grep -q ' 0 unfinished)' || echo "$out" | grep -q 'untranslated'; then
    echo "FAILED: $(basename "$ts") has texts without a finished translation:"
    grep -B2 'type="unfinished"' "$copy" | grep '<source>' | sed 's/^ */  /'
    fail=1
  fi
done
exit $fail
