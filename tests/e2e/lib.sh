# Shared by the end-to-end scripts: a scratch folder to work in, the check
# counter, and the port sequences every trace is judged by. Source it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
pass=0
fail=0
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAILED: $name"; fi
}
# The idle writes, and the forced pulse-off that comes before them on an abnormal end.
reset9=$'out 0x378 0x80\nout 0x37A 0x05\nout 0x37A 0x04\nout 0x378 0x80\nout 0x37A 0x07\nout 0x37A 0x04\nout 0x378 0x00\nout 0x37A 0x06\nout 0x37A 0x04'
pulseoff=$'out 0x378 0x80\nout 0x37A 0x0F\nout 0x37A 0x0C'
writes() { grep ' out ' "$1" | cut -d' ' -f2-; }
ends_idle() { [ "$(writes "$1" | tail -9)" = "$reset9" ]; }
# finish NAME: the closing line, and the exit status.
finish() {
  echo "$1: $pass passed, $fail failed"
  [ "$fail" -eq 0 ]
}
