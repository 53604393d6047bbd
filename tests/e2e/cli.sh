#!/usr/bin/env bash
# pt4cli as scripts and production runs use it, on the simulated programmer:
# images from another tool, JSON, the write safety check, dry runs, batches.
#   cli.sh PT4CLI
set -u
cli=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)))" >ramp.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes(256))" >zero.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes([3]) + bytes(255))" >blown.bin
head -c 256 /dev/urandom >image.rom

# Images written by another tool (srec_cat from srecord): the same signature and sums.
ramp16() { python3 -c "import sys; sys.stdout.buffer.write(bytes(a % 16 for a in range(256)))"; }
if command -v srec_cat >/dev/null; then
  srec_cat ramp.rom -binary -o ramp.hex -intel -address-length=2 >/dev/null 2>&1
  srec_cat ramp.rom -binary -o ramp.s19 -motorola >/dev/null 2>&1
  check "srec_cat HEX: same signature" [ "$("$cli" checksum ramp.hex --mask full | head -1)" = "Signature D8BC (mask 0Fh)" ]
  check "srec_cat S19: same signature" [ "$("$cli" checksum ramp.s19 --mask full | head -1)" = "Signature D8BC (mask 0Fh)" ]
  want=$(python3 -c "import zlib, hashlib; b = bytes(range(256)); print('CRC32 %08x' % zlib.crc32(b)); print('SHA-1 ' + hashlib.sha1(b).hexdigest())")
  check "CRC32 and SHA-1 as zlib and sha1sum give them" [ "$("$cli" checksum ramp.hex --mask full | tail -2)" = "$want" ]
  check "CRC32 and SHA-1 of the file's own bits, whatever the mask" [ "$("$cli" checksum ramp.hex | tail -2)" = "$want" ]
  "$cli" checksum ramp.s19 --mask full --json >sum.json
  check "checksum --json" python3 "$here/check_json.py" checksum sum.json
  # A chip programmed from S19, read into HEX, as srec_cat reads it back.
  rm -f chip.bin
  PT4_PORT=sim:chip.bin "$cli" write ramp.s19 --mask full --time 2 -q >/dev/null 2>&1
  check "write from S19" [ $? -eq 0 ]
  PT4_PORT=sim:chip.bin "$cli" read back.hex --mask full >/dev/null 2>&1
  srec_cat back.hex -intel -o back.bin -binary >/dev/null 2>&1
  check "read into HEX, as srec_cat reads it" cmp -s back.bin <(ramp16)
  "$cli" convert ramp.rom conv.s19 && "$cli" convert conv.s19 conv.rom --to raw
  check "convert raw to S19 and back loses nothing" cmp -s conv.rom ramp.rom
  # Good and damaged files, judged by srec_cat: a chip image is what it reads
  # without an error, holding words 00-FF and nothing else. pt4cli loads exactly
  # those, to the same bytes, and refuses the rest: no text ever loads as raw.
  mkdir corpus
  (cd corpus && python3 "$here/image_corpus.py")
  for f in corpus/*; do
    case $f in *.hex) kind=-intel ;; *) kind=-motorola ;; esac
    judge=refused
    if srec_cat "$f" $kind -o judge.bin -binary 2>/dev/null &&
      [ "$(srec_info "$f" $kind 2>/dev/null | grep '^Data:')" = "Data:   0000 - 00FF" ]; then
      judge=loaded
    fi
    ours=refused
    "$cli" convert "$f" ours.rom --to raw 2>/dev/null && ours=loaded
    check "$f: srec_cat $judge it, pt4cli $ours it" [ $judge = $ours ]
    [ $judge = loaded ] && check "$f: the same bytes as srec_cat" cmp -s judge.bin ours.rom
  done
  # The README's example image: one chip in three formats, as srec_cat reads them.
  ex="$here/../../examples"
  srec_cat "$ex/diagonal.hex" -intel -o ex-hex.bin -binary >/dev/null 2>&1
  srec_cat "$ex/diagonal.s19" -motorola -o ex-s19.bin -binary >/dev/null 2>&1
  check "examples: the HEX and S19 files hold the .rom's words" bash -c "cmp -s ex-hex.bin '$ex/diagonal.rom' && cmp -s ex-s19.bin '$ex/diagonal.rom'"
  for f in diagonal.rom diagonal.hex diagonal.s19; do
    check "examples: $f loads with the same signature" [ "$("$cli" checksum "$ex/$f" --mask full | head -1)" = "Signature 9A2F (mask 0Fh)" ]
  done
  head -c 500 corpus/good.hex >cut.hex
  "$cli" checksum cut.hex >/dev/null 2>err.txt
  check "a cut HEX file: exit 3" [ $? -eq 3 ]
  check "a cut HEX file: the file and the line named" grep -q "^pt4cli: cut.hex: Line 12: " err.txt
else
  echo "FAILED: srec_cat is missing (tools/pt4 installs srecord)"
  fail=$((fail + 1))
fi

# Bits the default mask leaves out: refused before any port write, naming the
# word; the mask named on the command line programs what it says.
python3 -c "import sys; sys.stdout.buffer.write(bytes([3] * 16 + [0x0C] + [0] * 239))" >high.rom
rm -f m.bin
PT4_PORT=sim:m.bin PT4_TRACE=mask.log "$cli" write high.rom --time 2 >/dev/null 2>err.txt
check "default mask, bits 2-3 in the image: exit 3" [ $? -eq 3 ]
check "default mask: the word and both ways on named" \
  grep -q '^pt4cli: high.rom: word 10 is 0Ch, .*--mask full.*--mask low' err.txt
check "default mask: not one port write" [ "$(writes mask.log | wc -l)" -eq 0 ]
PT4_PORT=sim:m.bin "$cli" verify high.rom >/dev/null 2>&1
check "default mask: verify refused alike" [ $? -eq 3 ]
PT4_PORT=sim:m.bin PT4_TRACE=masklow.log "$cli" write high.rom --mask low --time 2 -q >/dev/null 2>&1
check "--mask low named: programmed, bits 0-1 alone" [ $? -eq 0 ]
check "--mask low named: it pulsed" [ "$(python3 "$here/check_json.py" bursts masklow.log)" -gt 0 ]

# A chip file in use: the second program is told which program holds it.
rm -f held.bin held.log
PT4_PORT=sim:held.bin PT4_TRACE=held.log "$cli" write high.rom --mask full --time 200 -q \
  >/dev/null 2>&1 &
holder=$!
# Until the first program has the chip (its first burst is traced); the deadline
# only matters when the test fails, and then it is said as the step that did not happen.
for _ in $(seq 600); do grep -q 'out 0x37A 0x0B' held.log 2>/dev/null && break; sleep 0.1; done
check "chip file in use: the first program is programming" grep -q 'out 0x37A 0x0B' held.log
PT4_PORT=sim:held.bin "$cli" blank >/dev/null 2>err.txt
check "chip file in use: a file error, exit 3" [ $? -eq 3 ]
check "chip file in use: the holder named" grep -q "in use by another program (pt4cli, process $holder)" err.txt
kill -INT $holder; wait $holder 2>/dev/null
check "chip file made for its user alone" [ "$(stat -c %a held.bin)" = 600 ]

# Scripts and production runs. A programming burst opens with data 0x40 strobed
# into the control latch (select 0x0B).
bursts() { python3 "$here/check_json.py" bursts "$1"; }
python3 -c "import sys; sys.stdout.buffer.write(bytes([5] * 16 + [0] * 240))" >five.rom
python3 -c "import sys; sys.stdout.buffer.write(bytes([2]) + bytes(255))" >blown2.bin
cp blown2.bin c.bin
PT4_PORT=sim:c.bin PT4_TRACE=refuse.log "$cli" write five.rom --mask full --time 2 >/dev/null 2>err.txt
check "refused write: exit 5" [ $? -eq 5 ]
check "refused write: no programming burst" [ "$(bursts refuse.log)" -eq 0 ]
check "refused write: names the word" grep -q '00000: chip 02, image 05' err.txt
check "refused write: trace ends idle" [ "$(writes refuse.log | tail -9)" = "$reset9" ]
PT4_PORT=sim:c.bin PT4_TRACE=force.log "$cli" write five.rom --mask full --time 2 --force -q >/dev/null 2>&1
check "forced write: exit 2, the blown word stays bad" [ $? -eq 2 ]
check "forced write: it pulsed" [ "$(bursts force.log)" -gt 0 ]
rm -f c.bin
PT4_PORT=sim:c.bin PT4_TRACE=dry.log "$cli" write five.rom --mask full --time 2 --dry-run >/dev/null 2>dry.txt
check "dry run: exit 0" [ $? -eq 0 ]
check "dry run: nothing pulsed" [ "$(bursts dry.log)" -eq 0 ]
check "dry run: the words to program" grep -qx '240 words already equal, 16 words to program, 0 words can never match' dry.txt
PT4_PORT=sim:c.bin PT4_TRACE=real.log "$cli" write five.rom --mask full --time 2 --json >real.json 2>/dev/null
check "the real write programs the 16 predicted words" python3 "$here/check_json.py" write real.json real.log 16
PT4_PORT=sim:blown.bin "$cli" verify zero.rom --mask full --json >v.json 2>/dev/null
PT4_PORT=sim:blown.bin "$cli" verify zero.rom --mask full >v.txt 2>/dev/null
check "verify --json: counts equal the report's" python3 "$here/check_json.py" verify v.json v.txt
# A command-line tool's report: no window key to press, no CR in any line.
PT4_PORT=sim:blown.bin "$cli" verify zero.rom --mask full >v.txt 2>&1
check "verify: no Esc in the report" bash -c "! grep -q 'Esc' v.txt"
rm -f t1.bin
PT4_PORT=sim:t1.bin "$cli" write five.rom --mask full --time 2 >w.txt 2>&1
check "verify and write: LF line ends alone" bash -c "! grep -q \$'\\r' v.txt w.txt"
check "write: the parameters, one a line" grep -qx 'WrCycle = 10' w.txt
PT4_PORT=sim "$cli" read - --mask full >stdout.bin 2>/dev/null
check "read - writes the 256 bytes and nothing else" [ "$(stat -c %s stdout.bin)" -eq 256 ]

# A batch of three chips, Enter twice from a here-document; the second chip has a blown bit.
rm -f t1.bin t3.bin log.jsonl
cp blown2.bin t2.bin
PT4_PORT=sim:t1.bin,t2.bin,t3.bin "$cli" write five.rom --mask full --time 2 --repeat --log log.jsonl -q \
  >/dev/null 2>tally.txt <<'ENTER'


ENTER
check "batch: three log lines, the second refused" python3 "$here/check_json.py" log log.jsonl identical,refused,identical
check "batch: the tally" grep -q 'chips 3, identical 2, failed 1' tally.txt
rm -f t1.bin t3.bin log.jsonl
cp blown2.bin t2.bin
PT4_PORT=sim:t1.bin,t2.bin,t3.bin "$cli" write five.rom --mask full --time 2 --repeat --log log.jsonl \
  --stop-on-fail -q >/dev/null 2>&1 <<'ENTER'


ENTER
check "batch --stop-on-fail: stops at the failed chip" python3 "$here/check_json.py" log log.jsonl identical,refused
# An empty socket is called so: nothing pulsed, not refused, not counted; the
# operator is asked for the chip, and the log says "no_chip".
PT4_PORT=sim-nochip PT4_TRACE=empty.log "$cli" write five.rom --mask full --time 2 >/dev/null 2>err.txt
check "empty socket: exit 5" [ $? -eq 5 ]
check "empty socket: said so" grep -q '^pt4cli: no chip answers' err.txt
check "empty socket: no advice to force" bash -c "! grep -q 'force' err.txt"
check "empty socket: nothing pulsed" [ "$(bursts empty.log)" -eq 0 ]
PT4_PORT=sim-nochip PT4_TRACE=forced.log "$cli" write five.rom --mask full --time 2 --cycles 1 --force >/dev/null 2>err.txt
check "empty socket, forced: written as asked, and said so" \
  bash -c "[ \$(python3 '$here/check_json.py' bursts forced.log) -gt 0 ] && grep -q 'no chip answers' err.txt"
PT4_PORT=sim-nochip "$cli" blank >out.txt 2>err.txt
check "empty socket: blank says no chip answers" grep -qx 'no chip answers' out.txt
check "empty socket: blank adds the hint" grep -q 'no chip answers' err.txt
rm -f t1.bin log.jsonl
PT4_PORT=sim:t1.bin "$cli" write five.rom --mask full --time 2 --repeat --log log.jsonl -q \
  >out.txt 2>tally.txt <<'ENTER'


ENTER
check "empty socket in a batch: logged as no_chip, not counted" python3 "$here/check_json.py" log log.jsonl identical,no_chip,no_chip
check "empty socket in a batch: the tally" grep -q 'chips 1, identical 1, failed 0' tally.txt
check "empty socket in a batch: asks for the chip" grep -q 'Insert the chip and press Enter' tally.txt

# Killed mid-chip: every finished chip's line is whole.
rm -f t1.bin t2.bin t3.bin log.jsonl
mkfifo enter
PT4_PORT=sim:t1.bin,t2.bin,t3.bin "$cli" write image.rom --mask full --time 3 --repeat --log log.jsonl -q \
  >/dev/null 2>&1 <enter &
pid=$!
exec 7>enter
printf '\n' >&7
for _ in $(seq 600); do [ -s log.jsonl ] && break; sleep 0.1; done
sleep 1.5
kill -TERM $pid
wait $pid
check "killed batch: exit 143" [ $? -eq 143 ]
exec 7>&-
check "killed batch: the finished chip's line is whole" python3 "$here/check_json.py" log log.jsonl identical

# A name that is not UTF-8 (CP1251, as such a chip's users often have): the write
# is printed and logged, in JSON that parses, the name's bytes as \xNN.
name=$(printf '\xcf\xc7\xd3.rom')
cp five.rom "$name"
rm -f t1.bin
PT4_PORT=sim:t1.bin "$cli" write "$name" --mask full --time 2 --json >cp.json 2>/dev/null
check "CP1251 name: the write's JSON parses" python3 -c "import json, sys; d = json.load(open('cp.json')); sys.exit(d['image']['path'] != r'\xCF\xC7\xD3.rom' or d['exit_code'] != 0)"
rm -f t1.bin t2.bin log.jsonl
PT4_PORT=sim:t1.bin,t2.bin "$cli" write "$name" --mask full --time 2 --repeat --log log.jsonl -q \
  >/dev/null 2>tally.txt <<'ENTER'

ENTER
check "CP1251 name: every log line parses" python3 "$here/check_json.py" log log.jsonl identical,identical
check "CP1251 name: the tally" grep -q 'chips 2, identical 2, failed 0' tally.txt
# The next batch adds to the log, never empties it.
PT4_PORT=sim-nochip "$cli" write five.rom --mask full --time 2 --repeat --log log.jsonl -q \
  </dev/null >/dev/null 2>&1
check "a second batch appends to the log" python3 -c "import json; r = [json.loads(l)['result'] for l in open('log.jsonl')]; assert r == ['identical', 'identical', 'no_chip'], r"

# A log on a full disk (a file-size limit of 1 KiB): the line that does not fit
# is cut off again and said so; the log ends with a whole line, the tally is given.
rm -f t1.bin t2.bin t3.bin t4.bin full.jsonl
# The limit is the log's alone: standard error goes through a pipe.
(
  ulimit -f 1
  trap '' XFSZ
  PT4_PORT=sim:t1.bin,t2.bin,t3.bin,t4.bin exec "$cli" write five.rom --mask full --time 2 \
    --repeat --log full.jsonl -q 2>&1 >/dev/null <<'ENTER'



ENTER
) | cat >err.txt
check "full log: exit 3" [ "${PIPESTATUS[0]}" -eq 3 ]
check "full log: said so" grep -q "full.jsonl: Disk full; this chip's line is not in the log" err.txt
check "full log: every line whole" python3 -c "import json; t = open('full.jsonl').read(); assert t.endswith('\\n'); [json.loads(l) for l in t.splitlines()]"
check "full log: the tally" grep -q '^chips ' err.txt

# The prompt reads a bounded line, and a signal there ends as it does everywhere.
cp five.rom t1.bin
PT4_PORT=sim:t1.bin timeout 120 "$cli" write five.rom --mask full --time 2 --repeat -q \
  </dev/zero >/dev/null 2>err.txt
check "prompt fed /dev/zero: the batch ends, exit 0" [ $? -eq 0 ]
check "prompt fed /dev/zero: said so" grep -q 'the answer is longer than 256 bytes' err.txt
check "prompt fed /dev/zero: the tally" grep -q 'chips 1, identical 1, failed 0' err.txt
mkfifo quiet
PT4_PORT=sim:t1.bin "$cli" write five.rom --mask full --time 2 --repeat -q <>quiet >/dev/null 2>err.txt &
pid=$!
for _ in $(seq 600); do grep -q 'Insert the next chip' err.txt && break; sleep 0.1; done
kill -INT $pid
wait $pid
check "SIGINT at the prompt: exit 130" [ $? -eq 130 ]
check "SIGINT at the prompt: the stopped line" grep -q 'stopped by signal 2; the programmer is idle' err.txt

# --json: one object for every outcome, an error too, whose kind decides the
# status: a file the user named that cannot be made is a file error whatever
# it is for (an image, a trace, a log), and only the port itself a port error.
while read -r status kind port trace args; do
  traced=()
  [ "$trace" != - ] && traced=("PT4_TRACE=$trace")
  # shellcheck disable=SC2086
  env PT4_PORT="$port" "${traced[@]}" "$cli" $args >err.json 2>/dev/null </dev/null
  check "--json on '$args' (port $port, trace $trace): exit $status, a $kind error" python3 -c "import json, sys; d = json.load(open('err.json')); sys.exit(d['exit_code'] != $status or d['error_kind'] != '$kind' or not d['error'] or d['result'] != 'error')"
done <<'TABLE'
3 usage sim - --json frob
3 file sim - --json checksum missing.rom
3 file sim - write missing.rom --json
3 file sim nodir/t.log blank --json
3 file sim - read nodir/x.rom --json
3 file sim - write five.rom --mask full --repeat --log nodir/l.jsonl --json
3 usage sim - write ramp.rom --json
4 port /dev/parport-none - blank --json
4 port lpt1 - blank --json
TABLE
# Two programs on one simulated chip: the second is refused while the first runs.
rm -f t1.bin
PT4_PORT=sim:t1.bin "$cli" write five.rom --mask full --time 2 -q >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -s t1.bin ] && break; sleep 0.1; done
PT4_PORT=sim:t1.bin "$cli" write zero.rom --mask full --time 2 -q >/dev/null 2>err.txt
check "a chip file in use: the second writer exits 3" [ $? -eq 3 ]
check "a chip file in use: said so" grep -q 't1.bin is in use by another program' err.txt
wait $pid
check "a chip file in use: the first writer's chip is whole" cmp -s t1.bin five.rom

# A short file says what it held against what an image needs; a missing one, only that.
head -c 8 /dev/zero >eight.rom
"$cli" checksum eight.rom 2>err.txt
check "an 8-byte image: what it held and what was expected" grep -qx 'pt4cli: eight.rom: Read beyond end of file (the file holds 8 bytes; a raw image is 256).' err.txt
"$cli" checksum missing.rom 2>err.txt
check "a missing image: said alone" grep -qx 'pt4cli: missing.rom: File not found.' err.txt

# Quiet, each verb still ends with its verdict in one line.
rm -f quiet.bin
for verb in "blank:blank" "write five.rom --mask full --time 2:identical" "verify five.rom --mask full:identical"; do
  # shellcheck disable=SC2086
  out=$(PT4_PORT=sim:quiet.bin "$cli" ${verb%%:*} -q 2>/dev/null)
  check "-q ${verb%%:*}: one line, its verdict" [ "$out" = "${verb##*:}" ]
done

# The manual's exit statuses are --help's, which are made from the program's own table.
words() { tr -s ' \n' '  ' | sed 's/\\f[IRB]//g; s/^ //; s/ $//'; }
check "the manual's exit statuses are the program's" [ "$(sed -n '/^\.SH EXIT STATUS/,/^\.SH SIGNALS/p' "$here/../../docs/pt4cli.1" | sed '1d;$d' | words)" = "$("$cli" --help | sed -n '/^Exit status: /,/signal n\.$/p' | sed 's/^Exit status: //' | words)" ]

# Every kind of port --help offers (made from the table the parser reads) is in the manual.
manual=$(sed 's/\\f[IRB]//g; s/\\-/-/g' "$here/../../docs/pt4cli.1")
"$cli" --help | sed -n '/^The port is/,/^PT4_TRACE/p' | sed '1d;$d' | awk '{print $1}' >forms.txt
check "--help lists the kinds of port" [ "$(wc -l <forms.txt)" -ge 4 ]
while read -r form; do
  check "the manual names the port form $form" grep -qF -- "$form" <<<"$manual"
done <forms.txt

# Usage errors: exit 3, one line and the pointer to --help.
for args in "" "frob" "read" "read a b" "write x --mask middle" "blank --repeat" "verify x --time -1" "dump x --json"; do
  # shellcheck disable=SC2086
  "$cli" $args >/dev/null 2>err.txt
  check "usage '$args': exit 3" [ $? -eq 3 ]
  check "usage '$args': one line, then Try" [ "$(sed -n 2p err.txt)" = "Try 'pt4cli --help'" ]
  check "usage '$args': two lines in all" [ "$(wc -l <err.txt)" -eq 2 ]
done

finish cli
