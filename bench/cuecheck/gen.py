#!/usr/bin/env python3
"""Generates large subtitle files for the cuecheck benchmark.

  gen.py --format srt|sub|sbv --kind clean|faulty --size 500M --out FILE [--seed N]
  gen.py --verify FILE --errors errors.txt [--console stdout.txt]

Formats: srt = SubRip, sub = MicroDVD, sbv = Subviewer 2.0. All files use CR LF.

Clean files are well-formed subtitles with realistic text (20 to 42 characters a line),
times that never go back, and every subtitle shown at least 0.05 s per non-space
character. Faulty files have at least one fault in every subtitle (stop before start,
start before the previous stop, a line-break mark the format does not allow, too short
for its text), so cuecheck reports every one of them.

The clock of a time-coded file is bounded: SubRip hours have two digits (up to 99) and a
Subviewer 2.0 time line must begin with "0" (hours up to 9). At realistic densities that
is about 12 MB of SubRip and 1.3 MB of Subviewer 2.0. A larger file starts its clock over
at 0 when the range is used up; that start lies before the previous stop, so each restart
("wrap") costs one overlap report, also in a clean file. MicroDVD frames run to 2^31 and
do not wrap below several GB.

Generation is fast because the file is made of one-hour periods: a few hour templates are
built once, and each period is one template with its hour (or frame offset) and subtitle
numbers filled in by a single bytes formatting operation.

Next to FILE, FILE.meta holds key=value lines: the subtitle count, the number of reports
cuecheck must write (one console line each), the number of lines of "errors.txt" (the
reports plus one durations line per reading-time report) and the number of wraps.
"""
import argparse
import os
import random
import re
import sys

CRLF = b"\r\n"
HOUR_MS = 3600 * 1000
HOUR_CS = 3600 * 100
FPS = 25
HOUR_FRAMES = 3600 * FPS
MAX_FRAME = 2**31 - 1
CHUNK = 16 << 20

WORDS = (
    "the be to of and a in that have it for not on with he as you do at this but his by "
    "from they we say her she or an will my one all would there their what so up out if "
    "about who get which go me when make can like time no just him know take people into "
    "year your good some could them see other than then now look only come its over think "
    "also back after use two how our work first well way even new want because any these "
    "give day most us is are was were been has had did said told never always maybe right "
    "here where why yes please thank sorry really little big long old great small house "
    "night morning tomorrow tonight money car door road city home room water fire friend "
    "father mother brother sister doctor captain police kill find leave call stop wait "
    "believe remember forget listen hear tell ask help need love hate keep run walk open "
    "close down nothing something everything anything everyone somebody nobody again still "
    "already together enough away inside outside before behind under between without "
    "against through during around trust promise dead alive safe ready late early sure "
    "wrong true happy afraid alone better worse last next another every each few many much"
).split()
NAMES = "John Mary Sarah Jack Anna Peter Kate Frank Laura Tom Emma Paul Lucy Mike Rose".split()
ENDS = [".", ".", ".", "?", "!", ",", "...", ""]


def text_line(rng, lo=20, hi=42):
    """One line of dialogue, lo..hi characters: words, a name now and then, punctuation."""
    while True:
        words = []
        n = 0
        goal = rng.randint(lo, hi)
        while n < goal:
            w = rng.choice(NAMES) if rng.random() < 0.06 else rng.choice(WORDS)
            words.append(w)
            n += len(w) + (1 if len(words) > 1 else 0)
        s = " ".join(words)
        s = s[0].upper() + s[1:] + rng.choice(ENDS)
        if rng.random() < 0.08:
            s = "- " + s
        if lo <= len(s) <= hi:
            return s


def counted(s):
    """Characters the reading-time rule counts: all but the space."""
    return len(s) - s.count(" ")


def hms(ms, hour_mark):
    """hh:mm:ss,mmm within one hour, the hour written as the placeholder."""
    assert 0 <= ms < HOUR_MS
    m, rest = divmod(ms, 60000)
    s, r = divmod(rest, 1000)
    return "%s:%02d:%02d,%03d" % (hour_mark, m, s, r)


def hmsc(cs, hour_mark):
    """hh:mm:ss.cc within one hour (hundredths)."""
    assert 0 <= cs < HOUR_CS
    m, rest = divmod(cs, 6000)
    s, r = divmod(rest, 100)
    return "%s:%02d:%02d.%02d" % (hour_mark, m, s, r)


# A template is one period: its bytes (with placeholders), and per subtitle the number of
# reports and of errors.txt lines it causes, in file order. The first subtitle of a
# template never depends on the subtitle before it, so periods join without a report.
class Template:
    def __init__(self, data, reports, lines):
        self.data = data
        self.reports = reports
        self.lines = lines
        self.count = len(reports)


def srt_template(rng, faulty):
    """One hour of SubRip blocks; "@H" stands for the hour, "%d" for the block number."""
    out = []
    reports = []
    elines = []
    t = rng.randint(200, 2000)
    prev_stop = None
    i = 0
    while True:
        two = rng.random() < 0.6
        lines = [text_line(rng)] + ([text_line(rng)] if two else [])
        fault = None
        if faulty:
            fault = ("bar", "br", "short", "overlap", "reverse")[i % 5] if i else "bar"
            if fault == "bar":
                a, b = text_line(rng, 10, 20), text_line(rng, 10, 20)
                lines[0] = a + "|" + b
            elif fault == "br":
                lines[-1] = text_line(rng, 10, 20) + "[br]" + text_line(rng, 10, 20)
        n = sum(counted(x) for x in lines)
        need = n * 50
        if fault == "short":
            dur = need - rng.randint(100, 600)
        elif fault == "reverse":
            dur = -rng.randint(300, 2000)
        else:
            dur = need + rng.randint(40, 900)
        start = t
        if fault == "overlap":
            start = prev_stop - rng.randint(100, 800)
        stop = start + dur
        if max(start, stop) >= HOUR_MS - 1000:
            break
        assert start >= 0 and stop >= 0
        # What cuecheck must report for this block.
        r = 0
        d = 0
        if stop < start:
            r += 1
        if prev_stop is not None and prev_stop > start:
            r += 1
        if stop - start < need:
            assert need - (stop - start) >= 5
            r += 1
            d += 1
        else:
            assert (stop - start) - need >= 5
        for x in lines:
            r += x.count("|") + x.count("[br]")
        if faulty:
            assert r > 0
        else:
            assert r == 0
        reports.append(r)
        elines.append(r + d)
        block = "%d\r\n" + hms(start, "@H") + " --> " + hms(stop, "@H") + "\r\n"
        block += "".join(x + "\r\n" for x in lines) + "\r\n"
        out.append(block)
        prev_stop = stop
        t = max(start, stop) + rng.choice((0, rng.randint(0, 600)))
        i += 1
    data = "".join(out).encode("ascii")
    assert data.count(b"%") == data.count(b"%d") == len(reports)
    return Template(data, reports, elines)


def sbv_template(rng, faulty):
    """One hour of Subviewer 2.0 blocks; "@H" stands for the two hour digits."""
    out = []
    reports = []
    elines = []
    t = rng.randint(10, 200)
    prev_stop = None
    i = 0
    while True:
        if rng.random() < 0.3:
            text = text_line(rng) + "[br]" + text_line(rng)
        else:
            text = text_line(rng)
        fault = None
        if faulty:
            fault = ("bar", "short", "overlap", "reverse")[i % 4] if i else "bar"
            if fault == "bar":
                text = text_line(rng, 10, 20) + "|" + text_line(rng, 10, 20)
        n = counted(text)
        need = n * 5  # hundredths
        if fault == "short":
            dur = need - rng.randint(10, 60)
        elif fault == "reverse":
            dur = -rng.randint(30, 200)
        else:
            dur = need + rng.randint(2, 40)
        start = t
        if fault == "overlap":
            start = prev_stop - rng.randint(10, 80)
        stop = start + dur
        if max(start, stop) >= HOUR_CS - 100:
            break
        assert start >= 0 and stop >= 0
        r = 0
        d = 0
        if stop < start:
            r += 1
        if prev_stop is not None and prev_stop > start:
            r += 1
        if stop - start < need:
            r += 1
            d += 1
        r += text.count("|")
        if faulty:
            assert r > 0
        else:
            assert r == 0
        reports.append(r)
        elines.append(r + d)
        out.append(hmsc(start, "@H") + "," + hmsc(stop, "@H") + "\r\n" + text + "\r\n\r\n")
        prev_stop = stop
        t = max(start, stop) + rng.choice((0, rng.randint(0, 20)))
        i += 1
    data = "".join(out).encode("ascii")
    assert b"%" not in data
    return Template(data, reports, elines)


def sub_template(rng, faulty):
    """One hour of MicroDVD lines at 25 fps; "%d" stands for each frame number.

    Also returns the frame numbers relative to the hour, in placeholder order."""
    out = []
    frames = []
    reports = []
    elines = []
    t = rng.randint(5, 50)
    prev_stop = None
    i = 0
    while True:
        parts = [text_line(rng)] + ([text_line(rng)] if rng.random() < 0.6 else [])
        fault = None
        if faulty:
            fault = ("br", "short", "overlap", "reverse")[i % 4] if i else "br"
            if fault == "br":
                parts = [text_line(rng, 10, 20), text_line(rng, 10, 20)]
        text = ("[br]" if fault == "br" else "|").join(parts)
        n = counted(text)
        # Too short when (stop - start) / 25 < n / 20, that is 4 * frames < 5 * n.
        need = (5 * n + 3) // 4
        if fault == "short":
            dur = need - rng.randint(3, 12)
        elif fault == "reverse":
            dur = -rng.randint(5, 40)
        else:
            dur = need + rng.randint(2, 20)
        start = t
        if fault == "overlap":
            start = prev_stop - rng.randint(3, 20)
        stop = start + dur
        if max(start, stop) >= HOUR_FRAMES - 25:
            break
        assert start >= 0 and stop >= 0
        r = 0
        d = 0
        if start > stop:
            r += 1
        if prev_stop is not None and start < prev_stop:
            r += 1
        r += text.count("[br]")
        if 4 * (stop - start) < 5 * n:
            assert 5 * n - 4 * (stop - start) >= 4
            r += 1
            d += 1
        else:
            assert 4 * (stop - start) - 5 * n >= 4
        if faulty:
            assert r > 0
        else:
            assert r == 0
        reports.append(r)
        elines.append(r + d)
        frames += (start, stop)
        out.append("{%d}{%d}" + text + "\r\n")
        prev_stop = stop
        t = max(start, stop) + rng.choice((0, rng.randint(0, 12)))
        i += 1
    data = "".join(out).encode("ascii")
    assert data.count(b"%") == 2 * len(reports)
    return Template(data, reports, elines), frames


SBV_HEADER = (
    "[INFORMATION]\r\n[TITLE]cuecheck benchmark\r\n[AUTHOR]bench/gen.py\r\n[SOURCE]\r\n"
    "[PRG]\r\n[FILEPATH]\r\n[DELAY]0\r\n[CD TRACK]0\r\n[COMMENT]\r\n[END INFORMATION]\r\n"
    "[SUBTITLE]\r\n[COLF]&HFFFFFF,[STYLE]bd,[SIZE]18,[FONT]Arial\r\n"
).encode("ascii")


def parse_size(text):
    m = re.fullmatch(r"(\d+(?:\.\d+)?)([KMG]?)i?B?", text.strip(), re.I)
    if not m:
        raise argparse.ArgumentTypeError("bad size: %r" % text)
    mult = {"": 1, "K": 1 << 10, "M": 1 << 20, "G": 1 << 30}[m.group(2).upper()]
    return int(float(m.group(1)) * mult)


class Writer:
    """Collects periods and writes them in large chunks; keeps the counts."""

    def __init__(self, f, size):
        self.f = f
        self.size = size
        self.written = 0
        self.pending = []
        self.pending_len = 0
        self.subtitles = 0
        self.reports = 0
        self.lines = 0
        self.wraps = 0

    def room(self):
        return self.size - self.written - self.pending_len

    def add(self, data, tpl, first_extra=0):
        """Adds one period; cuts it at a subtitle boundary when it would pass the size.
        Returns False when the file is full."""
        room = self.room()
        count = tpl.count
        if len(data) > room:
            sep = b"\r\n\r\n" if tpl.data.endswith(b"\r\n\r\n") else b"\r\n"
            cut = data.rfind(sep, 0, room)
            if cut < 0:
                if self.subtitles > 0:
                    return False
                cut = data.find(sep)  # at least one subtitle, even past the size
            data = data[: cut + len(sep)]
            count = data.count(sep)
        self.pending.append(data)
        self.pending_len += len(data)
        self.subtitles += count
        self.reports += sum(tpl.reports[:count]) + first_extra
        self.lines += sum(tpl.lines[:count]) + first_extra
        if self.pending_len >= CHUNK:
            self.flush()
        return self.room() > 0 and count == tpl.count

    def flush(self):
        self.f.write(b"".join(self.pending))
        self.written += self.pending_len
        self.pending = []
        self.pending_len = 0


def generate(fmt, kind, size, out, seed):
    rng = random.Random("%s-%s-%d" % (fmt, kind, seed))
    faulty = kind == "faulty"
    with open(out, "wb") as f:
        w = Writer(f, size)
        if fmt == "srt":
            tpls = [srt_template(rng, faulty) for _ in range(4)]
            number = 1
            period = 0
            while True:
                hour = period % 100  # two hour digits: the clock starts over after 99
                wrap = period > 0 and hour == 0
                w.wraps += wrap
                tpl = tpls[period % len(tpls)]
                data = tpl.data.replace(b"@H", b"%02d" % hour) % tuple(
                    range(number, number + tpl.count))
                more = w.add(data, tpl, int(wrap))
                number += tpl.count
                period += 1
                if not more:
                    break
        elif fmt == "sbv":
            tpls = [sbv_template(rng, faulty) for _ in range(4)]
            w.pending.append(SBV_HEADER)
            w.pending_len += len(SBV_HEADER)
            # Ten hours (a time line must begin with "0"), four templates: 20 periods.
            cache = {}
            period = 0
            while True:
                hour = period % 10
                wrap = period > 0 and hour == 0
                w.wraps += wrap
                k = period % len(tpls)
                if (k, hour) not in cache:
                    cache[(k, hour)] = tpls[k].data.replace(b"@H", b"%02d" % hour)
                more = w.add(cache[(k, hour)], tpls[k], int(wrap))
                period += 1
                if not more:
                    break
        elif fmt == "sub":
            pairs = [sub_template(rng, faulty) for _ in range(4)]
            cycle = (MAX_FRAME + 1) // HOUR_FRAMES  # hours until the frames would overflow
            period = 0
            while True:
                hour = period % cycle
                wrap = period > 0 and hour == 0
                w.wraps += wrap
                tpl, frames = pairs[period % len(pairs)]
                data = tpl.data % tuple(map((hour * HOUR_FRAMES).__add__, frames))
                more = w.add(data, tpl, int(wrap))
                period += 1
                if not more:
                    break
        else:
            raise SystemExit("unknown format " + fmt)
        w.flush()
    meta = {
        "format": fmt,
        "kind": kind,
        "bytes": os.path.getsize(out),
        "subtitles": w.subtitles,
        "reports": w.reports,
        "errors_lines": w.lines,
        "wraps": w.wraps,
    }
    with open(out + ".meta", "w") as f:
        for k, v in meta.items():
            f.write("%s=%s\n" % (k, v))
    return meta


def read_meta(path):
    meta = {}
    with open(path + ".meta") as f:
        for line in f:
            k, _, v = line.strip().partition("=")
            meta[k] = int(v) if v.lstrip("-").isdigit() else v
    return meta


# Verification: every subtitle of a faulty file is named by at least one report, a clean
# file gets exactly the overlap reports of its wraps, and the counts match FILE.meta.

MESSAGE = re.compile(rb"^(Invalid|Three lines|Second line|The line stays)")


def subtitle_ids(path, fmt):
    """The text by which cuecheck names each subtitle: SubRip block number, MicroDVD line
    number, Subviewer 2.0 start time as h:m:s.c without leading zeros."""
    ids = []
    with open(path, "rb") as f:
        data = f.read()
    if fmt == "srt":
        n = data.count(b"\r\n\r\n")
        ids = [str(i).encode() for i in range(1, n + 1)]
    elif fmt == "sub":
        ids = [str(i).encode() for i in range(1, data.count(b"\r\n") + 1)]
    else:
        for m in re.finditer(rb"^0(\d):(\d\d):(\d\d)\.(\d\d),", data, re.M):
            h, mi, s, c = (int(x) for x in m.groups())
            ids.append(b"%d:%d:%d.%d" % (h, mi, s, c))
    return ids


REPORT_ID = {
    "srt": re.compile(rb" in (\d+)"),
    "sub": re.compile(rb" in lines? (\d+)"),
    "sbv": re.compile(rb" at ([-\d:.]+)"),
}


def verify(path, errors, console):
    meta = read_meta(path)
    fmt = meta["format"]
    problems = []
    with open(errors, "rb") as f:
        elines = f.read().split(b"\r\n")
    if elines and elines[-1] == b"":
        elines.pop()
    else:
        problems.append("errors.txt does not end with CR LF")
    messages = [x for x in elines if MESSAGE.match(x)]
    if len(elines) != meta["errors_lines"]:
        problems.append("errors.txt has %d lines, expected %d" % (len(elines), meta["errors_lines"]))
    if len(messages) != meta["reports"]:
        problems.append("errors.txt has %d reports, expected %d" % (len(messages), meta["reports"]))
    if console:
        with open(console, "rb") as f:
            out = f.read()
        shown = [x for x in out.split(b"\n") if MESSAGE.match(x)]
        # The first report may continue the "Analyzing file type..." line; it never does
        # here, since each format is recognised and its found message ends that line.
        if len(shown) != meta["reports"]:
            problems.append("console shows %d reports, expected %d" % (len(shown), meta["reports"]))
        want = b"Errors were found" if meta["reports"] else b"No errors were found"
        if want not in out:
            problems.append("console lacks %r" % want.decode())
    if meta["kind"] == "faulty":
        named = set()
        for x in messages:
            m = REPORT_ID[fmt].search(x)
            if m:
                named.add(m.group(1))
        ids = subtitle_ids(path, fmt)
        if len(ids) != meta["subtitles"]:
            problems.append("file has %d subtitles, meta says %d" % (len(ids), meta["subtitles"]))
        missing = [i for i in ids if i not in named]
        if missing:
            problems.append("%d subtitles without a report, first %s"
                            % (len(missing), missing[0].decode()))
    elif meta["reports"] != meta["wraps"]:
        problems.append("clean file expects %d reports for %d wraps"
                        % (meta["reports"], meta["wraps"]))
    for p in problems:
        print("verify %s: %s" % (os.path.basename(path), p), file=sys.stderr)
    if not problems:
        print("verify %s: ok (%d subtitles, %d reports, %d lines in errors.txt)"
              % (os.path.basename(path), meta["subtitles"], meta["reports"], len(elines)))
    return not problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--format", choices=("srt", "sub", "sbv"))
    ap.add_argument("--kind", choices=("clean", "faulty"), default="clean")
    ap.add_argument("--size", type=parse_size, default=parse_size("10M"))
    ap.add_argument("--out")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--verify", metavar="FILE", help="check cuecheck's output for FILE")
    ap.add_argument("--errors", default="errors.txt", help="errors.txt of that run")
    ap.add_argument("--console", help="standard output of that run")
    a = ap.parse_args()
    if a.verify:
        sys.exit(0 if verify(a.verify, a.errors, a.console) else 1)
    if not a.format or not a.out:
        ap.error("--format and --out are required")
    meta = generate(a.format, a.kind, a.size, a.out, a.seed)
    print(" ".join("%s=%s" % kv for kv in meta.items()))


if __name__ == "__main__":
    main()
