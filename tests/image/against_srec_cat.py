# Thousands of HEX and S-record images, good, damaged and unusual, made from one
# seed, each read by srec_cat and by our load: no file may give our buffer bytes
# srec_cat would not give, and where srec_cat reads a whole chip we read the
# same, except where we are stricter on purpose (an indented record, a record
# behind a lone CR), which the README lists.
#   against_srec_cat.py LOAD_JUDGE [COUNT] [SEED]
import concurrent.futures
import os
import random
import shutil
import subprocess
import sys
import tempfile

if shutil.which("srec_cat") is None:
    # The quick loop installs no srecord; the test command does, and runs this.
    print("skipped: srec_cat is missing (tools/pt4 test installs srecord)")
    sys.exit(77)
judge_program = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 4000
rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 2026)
STRICTER = ("a record must start at column 1", "ends no line: records need LF or CR LF")


def hexrec(addr, rtype, data, field=None):
    field = addr if field is None else field
    body = bytes([len(data), field >> 8 & 0xFF, field & 0xFF, rtype]) + bytes(data)
    return ":" + body.hex().upper() + "%02X" % (-sum(body) & 0xFF)


def srec(rtype, addr, data, alen):
    body = bytes([len(data) + alen + 1]) + addr.to_bytes(alen, "big") + bytes(data)
    return "S%d" % rtype + body.hex().upper() + "%02X" % (~sum(body) & 0xFF)


def good_hex(words):
    width = rng.choice([8, 16, 32, 128])
    lines = []
    if rng.random() < 0.2:
        lines.append(hexrec(0, 4, b"\0\0"))
    if rng.random() < 0.1:
        lines.append(hexrec(0, 3, bytes(4)))
    for a in range(0, 256, width):
        if rng.random() < 0.1:  # a segment of its own for this block
            lines.append(hexrec(0, 2, bytes([0, a >> 4])))
            lines.append(hexrec(0, 0, words[a:a + width]))
            lines.append(hexrec(0, 2, b"\0\0"))
        else:
            lines.append(hexrec(a, 0, words[a:a + width]))
    if rng.random() < 0.1:
        lines.append(hexrec(0, 5, bytes(4)))
    if rng.random() < 0.9:
        lines.append(hexrec(0, 1, b""))
    if rng.random() < 0.2:  # records in any order, the end record last
        body = lines[:-1]
        rng.shuffle(body)
        lines[:-1] = body
    return lines


def good_srec(words):
    kind = rng.choice([(1, 9, 2), (2, 8, 3), (3, 7, 4)])
    width = rng.choice([16, 32, 64])
    lines = [srec(0, 0, b"pt4prog", 2)] if rng.random() < 0.8 else []
    data = [srec(kind[0], a, words[a:a + width], kind[2]) for a in range(0, 256, width)]
    lines += data
    if rng.random() < 0.5:
        lines.append(srec(5, len(data), b"", 2))
    if rng.random() < 0.8:
        lines.append(srec(kind[1], 0, b"", kind[2]))
    return lines


COMMENTS = [b"; made by hand", b"# rev 2", b"* header", "; \u00a9 2026".encode(),
            "; \u00a9 2026".encode("latin-1"), "\u041f\u0417\u0423".encode("cp1251"),
            "; ok".encode("utf-16-le"), b"\0\0\0", b"\x0c", b"\x1a", b"", b"   ", b"\t",
            b"Some text", b"S is for sum", b"s19 lower", b"\xef\xbb\xbf", bytes(range(0x80, 0x90))]


def damage(data):
    """One plausible fault or oddity, as bytes."""
    b = bytearray(data)
    lines = data.split(b"\n")
    what = rng.randrange(16)
    if what == 0 and b:  # one byte replaced
        b[rng.randrange(len(b))] = rng.randrange(256)
    elif what == 1:  # one hex digit changed into another
        spots = [i for i, c in enumerate(b) if chr(c) in "0123456789ABCDEFabcdef"]
        if spots:
            b[rng.choice(spots)] = ord(rng.choice("0123456789ABCDEF"))
    elif what == 2 and b:  # one byte gone
        del b[rng.randrange(len(b))]
    elif what == 3:  # one byte added
        b.insert(rng.randrange(len(b) + 1), rng.choice([0, 0x0C, 0x1A, 0x20, 0x09, 0x0D, 0x0A,
                                                       0x80, 0xB0, 0xFF, rng.randrange(256)]))
    elif what == 4:  # one line end changed
        ends = [i for i, c in enumerate(b) if c == 0x0A]
        if ends:
            i = rng.choice(ends)
            b[i:i + 1] = rng.choice([b"\r\n", b"\r", b"", b"\r\r\n", b"\n\n", b" \n", b"\t\n"])
    elif what == 5:  # every line end
        b = bytearray(data.replace(b"\n", rng.choice([b"\r\n", b"\r", b"\n\r"])))
    elif what == 6:  # a comment line somewhere
        at = rng.randrange(len(lines) + 1)
        lines.insert(at, rng.choice(COMMENTS))
        b = bytearray(b"\n".join(lines))
    elif what == 7 and len(lines) > 1:  # a record twice, or gone
        at = rng.randrange(len(lines) - 1)
        if rng.random() < 0.5:
            lines.insert(at, lines[at])
        else:
            del lines[at]
        b = bytearray(b"\n".join(lines))
    elif what == 8:  # indented
        at = rng.randrange(len(lines))
        lines[at] = rng.choice([b" ", b"\t", b"  "]) + lines[at]
        b = bytearray(b"\n".join(lines))
    elif what == 9:  # cut anywhere
        b = b[:rng.randrange(len(b) + 1)]
    elif what == 10:  # something after the end
        b += rng.choice([b"\0", b"\x0c", b"\x1a", b"garbage\n", b":zz\n", b"S1zz\n",
                         hexrec(0x10, 0, b"\x05").encode() + b"\n", b"\r"])
    elif what == 11:  # an address field on a record that must have 0000
        lines.insert(rng.randrange(len(lines) + 1),
                     hexrec(0, rng.choice([2, 3, 4, 5]), bytes(4 if rng.random() < .5 else 2),
                            rng.choice([0, 1, 0x100, 0xFFFF])).encode())
        b = bytearray(b"\n".join(lines))
    elif what == 12:  # a damaged end or type
        lines.insert(rng.randrange(len(lines) + 1),
                     rng.choice([b"SX030000FC", b"S", b"S 030000FC", b":", b"S40300FC",
                                 b":00000006FA", b"S5030000FC", b":00000001FF"]))
        b = bytearray(b"\n".join(lines))
    elif what == 13:  # data beyond the chip, or at one of its words
        addr = rng.choice([0x00, 0x7F, 0xFF, 0x100, 0xFFFF])
        lines.insert(rng.randrange(len(lines) + 1), hexrec(addr, 0, bytes([rng.randrange(256)])).encode())
        b = bytearray(b"\n".join(lines))
    elif what == 14:  # the case of a line
        at = rng.randrange(len(lines))
        lines[at] = rng.choice([lines[at].lower(), lines[at].upper()])
        b = bytearray(b"\n".join(lines))
    # 15: left good
    return bytes(b)


def make(folder, i):
    words = bytes(rng.randrange(16) if rng.random() < 0.9 else rng.randrange(256)
                  for _ in range(256))
    intel = rng.random() < 0.55
    lines = good_hex(words) if intel else good_srec(words)
    data = ("\n".join(lines) + "\n").encode()
    for _ in range(rng.choice([0, 1, 1, 1, 2])):
        data = damage(data)
    if rng.random() < 0.03:  # long: past the chip, far down the file
        data = data + (hexrec(0x1000, 0, bytes(16)) + "\n").encode() * 3000
    ext = ".hex" if intel else ".s19"
    if rng.random() < 0.15:
        ext = ".img"  # no format in the name: the content decides
    path = os.path.join(folder, "f%05d%s" % (i, ext))
    with open(path, "wb") as f:
        f.write(data)
    return path


def first_record_kind(data):
    at_start = True
    for i, c in enumerate(data):
        if c in b"\r\n":
            at_start = True
        elif at_start and c not in b" \t":
            if c == ord(":"):
                return "-intel"
            if c in b"Ss" and i + 1 < len(data) and chr(data[i + 1]).isdigit():
                return "-motorola"
            at_start = False
    return None


def srec_cat(path):
    """The 256 words srec_cat reads, or None where it refuses or reads any other span."""
    data = open(path, "rb").read()
    kind = {".hex": "-intel", ".s19": "-motorola"}.get(path[-4:]) or first_record_kind(data)
    if kind is None:  # no record line: a raw image, its first 256 bytes
        return data[:256] if len(data) >= 256 else None
    r = subprocess.run(["srec_cat", path, kind, "-o", "-", "-motorola", "-address-length=4"],
                       capture_output=True)
    if r.returncode != 0:
        return None
    got = {}
    for line in r.stdout.decode().split():
        if line.startswith("S3"):
            rec = bytes.fromhex(line[2:])
            addr = int.from_bytes(rec[1:5], "big")
            for k, v in enumerate(rec[5:-1]):
                got[addr + k] = v
    if sorted(got) != list(range(256)):
        return None
    return bytes(got[a] for a in range(256))


def main():
    with tempfile.TemporaryDirectory() as folder:
        paths = [make(folder, i) for i in range(count)]
        ours = {}
        out = subprocess.run([judge_program], input="\n".join(paths) + "\n", capture_output=True,
                             text=True, errors="replace", check=True).stdout
        for line in out.splitlines():
            name, verdict, rest = line.split("\t", 2)
            ours[name] = (verdict, rest)
        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            theirs = dict(zip(paths, pool.map(srec_cat, paths)))
        wrong = stricter = loaded = 0
        for p in paths:
            verdict, rest = ours[p]
            want = theirs[p]
            if verdict == "loaded":
                loaded += 1
                if want is None or want.hex().upper() != rest:
                    wrong += 1
                    print("FAILED: %s: we load it, srec_cat %s" %
                          (os.path.basename(p), "refuses" if want is None else "reads other bytes"))
                    print("   ", open(p, "rb").read()[:int(os.environ.get("SHOW", "300"))])
            elif want is not None:
                if any(s in rest for s in STRICTER):
                    stricter += 1
                else:
                    wrong += 1
                    print("FAILED: %s: srec_cat reads it, we refuse: %s" % (os.path.basename(p), rest))
                    print("   ", open(p, "rb").read()[:int(os.environ.get("SHOW", "300"))])
        print("%d files: %d loaded alike, %d refused by us alone on purpose, %d differ" %
              (count, loaded - wrong, stricter, wrong))
        print("%d passed, %d failed" % (count - wrong, wrong))
        return 1 if wrong else 0


sys.exit(main())
