#!/usr/bin/env bash
# Every text a window can show has a finished translation: every source file
# below the windows and of the windows (the Windows-only files too) is scanned
# again into a copy of each translation, and lrelease must find nothing new,
# nothing unfinished and nothing left untranslated. pt4cli speaks English alone,
# so cli/ is not read.
#   translations.sh LUPDATE LRELEASE SOURCE_DIR [--update]
# With --update the translations themselves take the new texts, marked
# unfinished for a translator.
set -uo pipefail
lupdate=$1
lrelease=$2
src=$3
update=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
for ts in "$src"/gui/translations/*.ts; do
  copy=$work/$(basename "$ts")
  cp "$ts" "$copy"
  [ "$update" = --update ] && copy=$ts
  (cd "$src" && "$lupdate" -silent -no-obsolete -locations none -tr-function-alias \
    QT_TRANSLATE_NOOP+=Tr -I . gui base image hardware operations -ts "$copy") || fail=1
  out=$("$lrelease" -verbose "$copy" -qm "$work/out.qm" 2>&1)
  echo "$(basename "$ts"): $(echo "$out" | grep Generated)"
  if ! echo "$out" | grep -q ' 0 unfinished)' || echo "$out" | grep -q 'untranslated'; then
    echo "FAILED: $(basename "$ts") has texts without a finished translation:"
    grep -B2 'type="unfinished"' "$copy" | grep '<source>' | sed 's/^ */  /'
    fail=1
  fi
done
exit $fail
