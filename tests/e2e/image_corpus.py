# Good and damaged HEX and S-record images of one 256-word chip, as files in the
# current folder: NAME.hex or NAME.s19.
import random

rng = random.Random(7)
words = bytes(rng.randrange(16) for _ in range(256))


def hexrec(addr, rtype, data):
    body = bytes([len(data), addr >> 8, addr & 0xFF, rtype]) + bytes(data)
    return ":" + body.hex().upper() + "%02X" % (-sum(body) & 0xFF)


def srec(rtype, addr, data, alen=2):
    body = bytes([len(data) + alen + 1]) + addr.to_bytes(alen, "big") + bytes(data)
    return "S%d" % rtype + body.hex().upper() + "%02X" % (~sum(body) & 0xFF)


hexlines = [hexrec(a, 0, words[a:a + 16]) for a in range(0, 256, 16)] + [hexrec(0, 1, b"")]
slines = [srec(0, 0, b"pt4")] + [srec(1, a, words[a:a + 16]) for a in range(0, 256, 16)] + [
    srec(5, 16, b""), srec(9, 0, b"")]
s3lines = [srec(3, a, words[a:a + 32], 4) for a in range(0, 256, 32)] + [srec(7, 0, b"", 4)]


def put(name, lines, end="\n", tail=""):
    with open(name, "w", newline="") as f:
        f.write(end.join(lines) + end + tail)


put("good.hex", hexlines)
put("good.s19", slines)
put("s3s7.s19", s3lines)
put("crlf.hex", hexlines, "\r\n")
put("crlf.s19", slines, "\r\n")
put("ctrlz.hex", hexlines, tail="\x1a")
put("ctrlz.s19", slines, "\r\n", tail="\x1a")
put("lower.hex", [l.lower() for l in hexlines])
put("lowers.s19", [l.lower() for l in slines])
put("comment.hex", ["; made by hand"] + hexlines[:8] + ["# half way"] + hexlines[8:])
put("comment.s19", ["* header"] + slines)
put("noend.hex", hexlines[:-1])
put("noend.s19", slines[:-1])
put("types35.hex", [hexrec(0, 3, b"\0\0\0\0")] + hexlines[:-1] + [hexrec(0, 5, b"\0\0\0\0"), hexlines[-1]])
put("type6.hex", hexlines[:4] + [hexrec(0, 6, b"")] + hexlines[4:])
put("badsum.hex", hexlines[:3] + [hexlines[3][:-2] + "00"] + hexlines[4:])
put("badsum.s19", slines[:3] + [slines[3][:-2] + "00"] + slines[4:])
put("past.hex", hexlines[:-1] + [hexrec(0x100, 0, b"\5")] + hexlines[-1:])
put("past.s19", slines[:-2] + [srec(1, 0x100, b"\5")] + slines[-1:])
put("twice.hex", hexlines[:2] + hexlines[1:])
clash = bytearray(words[16:32]); clash[0] ^= 1
put("clash.hex", hexlines[:2] + [hexrec(16, 0, clash)] + hexlines[2:])
put("trailblank.hex", hexlines[:5] + [hexlines[5] + " "] + hexlines[6:])
put("leadblank.hex", hexlines[:5] + [" " + hexlines[5]] + hexlines[6:])
put("endwithdata.hex", hexlines[:-1] + [hexrec(0, 1, b"\0")])
put("afterend.hex", hexlines + [hexrec(0x100, 0, b"\5")])
put("count.s19", slines[:-2] + [srec(5, 15, b"")] + slines[-1:])
put("s4.s19", slines[:3] + ["S40300FC"] + slines[3:])
put("gap.hex", hexlines[:6] + hexlines[7:])
put("gap.s19", slines[:6] + slines[7:])
put("cr.hex", hexlines, "\r")
# An EPROM-sized file: 1.4 MB of records, far past the chip.
eprom = []
for seg in range(8):
    eprom += [hexrec(0, 4, bytes([0, seg]))] + [hexrec(a, 0, words[:16]) for a in range(0, 0x10000, 16)]
put("eprom.hex", eprom + hexlines[-1:])
text = open("good.hex").read()
for cut in range(3, len(text) - 13, 41):
    with open("cut%04d.hex" % cut, "w", newline="") as f:
        f.write(text[:cut])
text = open("good.s19").read()
for cut in range(3, len(text) - 12, 43):
    with open("cut%04d.s19" % cut, "w", newline="") as f:
        f.write(text[:cut])
