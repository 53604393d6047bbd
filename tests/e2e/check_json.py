#!/usr/bin/env python3
"""Checks of pt4cli's machine-readable output and traces, for run.sh.

  check_json.py bursts TRACE                 print the number of programming bursts
  check_json.py checksum JSON                a checksum object
  check_json.py write JSON TRACE N           a write that programmed N words, ended identical
  check_json.py verify JSON REPORT           the JSON counts are the report's
  check_json.py log LOG R1,R2,...            one whole JSON line per chip, with these results
"""
import json
import sys


def outs(trace):
    return [l.split(' ', 1)[1].strip() for l in open(trace) if ' out ' in l]


def burst_addresses(trace):
    lines, addr, found = outs(trace), None, []
    for a, b in zip(lines, lines[1:]):
        if b == 'out 0x37A 0x09':
            addr = int(a.split()[-1], 16)
        if a == 'out 0x378 0x40' and b == 'out 0x37A 0x0B':
            found.append(addr)
    return found


what, *args = sys.argv[1:]
if what == 'bursts':
    print(len(burst_addresses(args[0])))
    sys.exit(0)
if what == 'checksum':
    d = json.load(open(args[0]))
    ok = d['signature'] == 'D8BC' and d['mask'] == '0F' and len(d['sha1']) == 40 and len(d['crc32']) == 8
elif what == 'write':
    d = json.load(open(args[0]))
    programmed = set(burst_addresses(args[1]))
    ok = (len(programmed) == int(args[2]) and d['counts']['identical'] == 256 and d['result'] == 'identical'
          and d['pulses']['count'] > 0 and d['exit_code'] == 0 and len(d['image']['crc32']) == 8)
elif what == 'verify':
    d = json.load(open(args[0]))
    t = open(args[1]).read()
    ok = (f" {d['counts']['identical']} complete or identical." in t
          and f" {d['counts']['bad']} bad , impossible to overwrite." in t
          and d['differences'][0] == {'address': 0, 'image': '00', 'chip': '03', 'class': 'bad'})
elif what == 'log':
    rows = [json.loads(l) for l in open(args[0])]
    # Chips are numbered from 1; an empty socket is no chip and keeps the number.
    numbers, n = [], 0
    for r in rows:
        n += 0 if numbers and numbers[-1] == n and rows[len(numbers) - 1]['result'] == 'no_chip' else 1
        numbers.append(n)
    ok = [r['result'] for r in rows] == args[1].split(',') and [r['chip'] for r in rows] == numbers
    ok = ok and all('time' in r and 'crc32' in r['image'] and 'duration_s' in r for r in rows)
else:
    sys.exit(f'unknown check {what}')
sys.exit(0 if ok else 1)
