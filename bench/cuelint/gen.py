#!/usr/bin/env python3
"""Generates subtitle files for the cuelint benchmark.

  cuelint_gen.py big --format srt|sub|sbv|vtt --size 500M --out FILE [--seed N]
  cuelint_gen.py batch --dir DIR [--count 10000] [--size 50K] [--seed N]

srt is SubRip, sub MicroDVD (25 frames a second), sbv Subviewer 2.0, vtt WebVTT (the
SubRip file's cues as a converter writes them: the numbers kept as identifiers, "." before
the milliseconds). Lines end in CR LF.
Subtitles are one or two lines of plain words, shown long enough for their text, in time
order, with a gap between them: a clean file. The clock runs out in a file of hundreds of
megabytes (SubRip hours stop at 99 and Subviewer 2.0 hours at 9 so that cuecheck reads
every time line), so it starts over at 0; each restart makes one overlap fault, in both
programs. "batch" writes COUNT files of about SIZE each, the three formats in turn, into
DIR/NNN/ folders of 100 files. Sizes take K, M and G (powers of 1024).
"""
import argparse
import os
import random

WORDS = (
    "the of and to in is you that it he was for on are as with his they at be this have "
    "from or one had by word but not what all were we when your can said there use an each "
    "which she do how their if will up other about out many then them these so some her "
    "would make like him into time has look two more write go see number no way could people "
    "my than first water been call who oil its now find long down day did get come made may "
    "part over new sound take only little work know place year live me back give most very "
    "after thing our just name good sentence man think say great where help through much "
    "before line right too mean old any same tell boy follow came want show also around form "
    "three small set put end does another well large must big even such because turn here "
    "why ask went men read need land different home us move try kind hand picture again "
    "change off play spell air away animal house point page letter mother answer found study "
    "still learn should America world high every near add food between own below country"
).split()


def parse_size(s):
    mult = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    s = s.strip().upper()
    if s and s[-1] in mult:
        return int(float(s[:-1]) * mult[s[-1]])
    return int(s)


def make_lines(rng, n=4000):
    out = []
    for _ in range(n):
        goal = rng.randint(18, 40)
        words = []
        while sum(len(w) + 1 for w in words) < goal:
            words.append(rng.choice(WORDS))
        s = " ".join(words)
        out.append(s[0].upper() + s[1:] + rng.choice([".", ".", "?", "!", ","]))
    return out


def counted(s):
    return len(s) - s.count(" ")


def srt_time(ms):
    h, ms = divmod(ms, 3600000)
    m, ms = divmod(ms, 60000)
    s, ms = divmod(ms, 1000)
    return "%02d:%02d:%02d,%03d" % (h, m, s, ms)


def vtt_time(ms):
    return srt_time(ms).replace(",", ".")


def sbv_time(cs):
    h, cs = divmod(cs, 360000)
    m, cs = divmod(cs, 6000)
    s, cs = divmod(cs, 100)
    return "%02d:%02d:%02d.%02d" % (h, m, s, cs)


def write_file(path, fmt, size, rng, lines):
    """Writes about size bytes; returns the number of subtitles."""
    limit = {"srt": 99 * 3600000, "vtt": 99 * 3600000, "sbv": 9 * 360000,
             "sub": 2**31 - 1000}[fmt]
    written = 0
    n = 0
    t = 1000 if fmt in ("srt", "vtt") else (100 if fmt == "sbv" else 25)
    buf = []
    with open(path, "wb") as f:
        if fmt == "sbv":
            head = "[INFORMATION]\r\n[TITLE]Benchmark\r\n[END INFORMATION]\r\n[SUBTITLE]\r\n"
            buf.append(head)
            written += len(head)
        if fmt == "vtt":
            head = "WEBVTT\r\n\r\n"
            buf.append(head)
            written += len(head)
        while written < size:
            two = rng.random() < 0.6
            text = [rng.choice(lines)] + ([rng.choice(lines)] if two else [])
            chars = sum(counted(x) for x in text)
            n += 1
            if fmt in ("srt", "vtt"):
                dur = chars * 50 + rng.randint(200, 1500)
                if t + dur >= limit:
                    t = 1000
                stamp = srt_time if fmt == "srt" else vtt_time
                block = "%d\r\n%s --> %s\r\n%s\r\n\r\n" % (
                    n, stamp(t), stamp(t + dur), "\r\n".join(text))
                t += dur + rng.randint(100, 2000)
            elif fmt == "sbv":
                dur = chars * 5 + rng.randint(20, 150)
                if t + dur >= limit:
                    t = 100
                block = "%s,%s\r\n%s\r\n\r\n" % (sbv_time(t), sbv_time(t + dur), "[br]".join(text))
                t += dur + rng.randint(10, 200)
            else:
                dur = (chars * 5 + 99) // 4 + rng.randint(5, 40)  # frames at 25 per second
                if t + dur >= limit:
                    t = 25
                block = "{%d}{%d}%s\r\n" % (t, t + dur, "|".join(text))
                t += dur + rng.randint(2, 50)
            buf.append(block)
            written += len(block)
            if len(buf) >= 20000:
                f.write("".join(buf).encode())
                buf = []
        f.write("".join(buf).encode())
    return n


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = ap.add_subparsers(dest="cmd", required=True)
    b = sub.add_parser("big")
    b.add_argument("--format", choices=["srt", "sub", "sbv", "vtt"], required=True)
    b.add_argument("--size", default="500M")
    b.add_argument("--out", required=True)
    b.add_argument("--seed", type=int, default=1)
    m = sub.add_parser("batch")
    m.add_argument("--dir", required=True)
    m.add_argument("--count", type=int, default=10000)
    m.add_argument("--size", default="50K")
    m.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    lines = make_lines(rng)
    if a.cmd == "big":
        n = write_file(a.out, a.format, parse_size(a.size), rng, lines)
        print("%s: %d subtitles, %d bytes" % (a.out, n, os.path.getsize(a.out)))
        return
    size = parse_size(a.size)
    exts = [("srt", ".srt"), ("sub", ".sub"), ("sbv", ".sub")]
    for i in range(a.count):
        d = os.path.join(a.dir, "%03d" % (i // 100))
        os.makedirs(d, exist_ok=True)
        fmt, ext = exts[i % 3]
        write_file(os.path.join(d, "f%05d%s" % (i, ext)), fmt, size, rng, lines)
    print("%s: %d files of about %d bytes" % (a.dir, a.count, size))


if __name__ == "__main__":
    main()
