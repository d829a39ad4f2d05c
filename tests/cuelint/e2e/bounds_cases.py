#!/usr/bin/env python3
"""End-to-end cases for cuelint on hostile input: files whose faults, lines or length have
no bound. Each case writes its input into a fresh temporary directory (or streams it into
a pipe), runs the built cuelint there under an address-space limit of LIMIT_MIB and
compares the whole standard output, standard error and exit status.

Under an emulator, a Windows build or a sanitizer (whose shadow memory does not fit the
limit: found by running --version under it) the limit is left off and the cases still
compare; the cases that need /dev/zero or a pipe without end are skipped on Windows.

usage: bounds_cases.py CUELINT
"""
import os
import resource
import subprocess
import sys
import tempfile
import threading

from target import EMULATOR, is_windows

LIMIT_MIB = 256
MIB16 = 16 * 1024 * 1024
SUMMARY = "cuelint: 1 file checked, 1 with faults, %d fault%s\n"
LONG = "a line longer than 16 MiB: not a subtitle file"


def summary(n):
    return SUMMARY % (n, "" if n == 1 else "s")


def pipes_in_one_subtitle():
    # 1,500 lines of 1,000 foreign marks: 1.5 million faults of one subtitle, held to its
    # end for their order (a fault is some 280 bytes in memory).
    head = b"1\n00:00:01,000 --> 00:00:05,000\n"
    body = (b"|" * 1000 + b"\n") * 1500
    mark = 'f.srt:%d: error: line-break mark "|" in subtitle 1 [line-break-mark]\n'
    out = "".join((mark % line) * 1000 for line in range(3, 6))
    # Found at the end of the subtitle, reported at its third text line, after its marks.
    out += "f.srt:5: error: subtitle 1 has 1500 text lines; at most two are allowed [too-many-lines]\n"
    out += "".join((mark % line) * 1000 for line in range(6, 1503))
    return {"f.srt": head + body}, ["f.srt"], None, out, summary(1500001), 1


def openers_on_one_line():
    # Two million openers never closed: text, each searched for its end once.
    text = b"<a" * 2000000
    data = b"1\n00:00:01,000 --> 00:00:05,000\n" + text + b"\n"
    out = ("f.srt:2: error: subtitle 1 is shown 4.000 s; its 4000000 characters need "
           "200000.000 s (1000000.0 per second; at most 20) [reading-time]\n")
    return {"f.srt": data}, ["f.srt"], None, out, summary(1), 1


def long_line_then_more():
    # Checked as if the file ended before the long line; what follows it is never read.
    data = (b"1\n00:00:01,000 --> 00:00:01,500\nHi | there\n\n"
            b"2\n00:00:01,400 --> 00:00:04,000\nok\n" + b"x" * (MIB16 + 1) + b"\n\n"
            b"3\n00:00:05,000 --> 00:00:01,000\nbad\n")
    out = ('f.srt:3: error: line-break mark "|" in subtitle 1 [line-break-mark]\n'
           "f.srt:6: error: subtitle 2 starts at 00:00:01,400, 0.100 s before subtitle 1 "
           "stops at 00:00:01,500 [overlap]\n"
           "f.srt:8: error: " + LONG + " [format]\n")
    return {"f.srt": data}, ["f.srt"], None, out, summary(3), 1


def long_line_in_json():
    # The format found before the line is named; the file is still a SubRip file.
    data = b"1\n00:00:01,000 --> 00:00:04,000\nok\n\n" + b"y" * (MIB16 + 1)
    out = ('{"file":"f.srt","line":5,"format":"subrip","check":"format","severity":"error",'
           '"subtitle":null,"start":null,"stop":null,"message":"' + LONG + '"}\n'
           '{"checked":{"file":"f.srt","format":"subrip","encoding":"utf-8","rate":null,'
           '"faults":1,"errors":1,"warnings":0}}\n'
           '{"summary":{"files":1,"faulty":1,"faults":1,"errors":1,"warnings":0,'
           '"unreadable":0}}\n')
    return {"f.srt": data}, ["--format", "json", "f.srt"], None, out, "", 1


def line_at_the_limit():
    # 16,777,216 bytes without the line end is not longer than 16 MiB.
    data = b"1\n00:00:01,000 --> 00:00:03,000\n" + b"x" * MIB16 + b"\n"
    out = ("f.srt:2: error: subtitle 1 is shown 2.000 s; its 16777216 characters need "
           "838860.800 s (8388608.0 per second; at most 20) [reading-time]\n")
    return {"f.srt": data}, ["f.srt"], None, out, summary(1), 1


def utf16_measured_decoded():
    # 8,388,609 "\u00e9" are 16,777,218 bytes of UTF-8 (and as many of UTF-16).
    text = ("1\n00:00:01,000 --> 00:00:04,000\nh\u00e9\n\n" + "\u00e9" * 8388609 +
            "\n\n2\n00:00:01,000 --> 00:00:00,000\nx\n")
    data = b"\xff\xfe" + text.encode("utf-16-le")
    out = "f.srt:5: error: " + LONG + " [format]\n"
    return {"f.srt": data}, ["f.srt"], None, out, summary(1), 1


def encoding_from_the_lines_before():
    # A single-byte "\xe9" before the long line decides the encoding; the UTF-8 after it
    # is never looked at.
    data = (b"1\n00:00:01,000 --> 00:00:02,000\n\xe9\n\n" + b"\xe9" * (MIB16 + 1) +
            b"\n\n2\n00:00:01,000 --> 00:00:00,000\n\xc3\xa9\n")
    out = ("f.srt:1: error: read as single-byte text; most players expect UTF-8 [encoding]\n"
           "f.srt:5: error: " + LONG + " [format]\n")
    return {"f.srt": data}, ["--profile", "all", "f.srt"], None, out, summary(2), 1


def bad_bytes_only_in_the_long_line():
    # After a UTF-8 mark, a byte that is not UTF-8 inside the long line is never looked at.
    data = (b"\xef\xbb\xbf1\n00:00:01,000 --> 00:00:02,000\nok\n\n" + b"x" * 100 + b"\xff" +
            b"x" * MIB16 + b"\n")
    return {"f.srt": data}, ["f.srt"], None, "f.srt:5: error: " + LONG + " [format]\n", \
        summary(1), 1


def utf16_fault_before_the_long_line():
    # An unpaired surrogate before the line is a fault; the odd byte after it is not.
    text = "1\n00:00:01,000 --> 00:00:04,000\nh".encode("utf-16-le") + b"\x00\xd8"
    text += ("\n\n" + "x" * (MIB16 + 1) + "\n\n").encode("utf-16-le") + b"\x00"
    out = ("f.srt:1: error: UTF-16 text with an unpaired surrogate [format]\n"
           "f.srt:5: error: " + LONG + " [format]\n")
    return {"f.srt": b"\xff\xfe" + text}, ["f.srt"], None, out, summary(2), 1


def dev_zero():
    out = ("/dev/zero:1: error: not a MicroDVD, SBV, SubRip, Subviewer 2.0 or WebVTT file "
           "[format]\n/dev/zero:1: error: " + LONG + " [format]\n")
    return {}, ["/dev/zero"], None, out, summary(2), 1


def endless_pipe():
    # A pipe that never ends is read until the line is known to be too long.
    head = b"1\n00:00:01,000 --> 00:00:02,000\nhi\n\n"
    return {}, ["-"], head, "-:5: error: " + LONG + " [format]\n", summary(1), 1


CASES = [
    ("pipes_in_one_subtitle", pipes_in_one_subtitle, True),
    ("openers_on_one_line", openers_on_one_line, True),
    ("long_line_then_more", long_line_then_more, True),
    ("long_line_in_json", long_line_in_json, True),
    ("line_at_the_limit", line_at_the_limit, True),
    ("utf16_measured_decoded", utf16_measured_decoded, True),
    ("encoding_from_the_lines_before", encoding_from_the_lines_before, True),
    ("bad_bytes_only_in_the_long_line", bad_bytes_only_in_the_long_line, True),
    ("utf16_fault_before_the_long_line", utf16_fault_before_the_long_line, True),
    ("dev_zero", dev_zero, False),
    ("endless_pipe", endless_pipe, False),
]


def limit():
    resource.setrlimit(resource.RLIMIT_AS, (LIMIT_MIB << 20, LIMIT_MIB << 20))


def can_limit(binary):
    if EMULATOR or is_windows(binary):
        return False
    p = subprocess.run([binary, "--version"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, preexec_fn=limit)
    return p.returncode == 0


def run(binary, work, args, stream, limited):
    argv = EMULATOR + [binary, "-j", "1"] + args
    pre = limit if limited else None
    if stream is None:
        p = subprocess.run(argv, cwd=work, stdin=subprocess.DEVNULL, capture_output=True,
                           preexec_fn=pre)
        return p.returncode, p.stdout, p.stderr
    p = subprocess.Popen(argv, cwd=work, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, preexec_fn=pre)
    # The head, then "x" without end, until cuelint stops reading; its output is read
    # meanwhile, and standard input is never closed.
    got = {}

    def feed():
        try:
            p.stdin.write(stream)
            chunk = b"x" * 65536
            while True:
                p.stdin.write(chunk)
        except (BrokenPipeError, ValueError, OSError):
            pass

    def drain(name, f):
        got[name] = f.read()

    threads = [threading.Thread(target=feed, daemon=True),
               threading.Thread(target=drain, args=("out", p.stdout)),
               threading.Thread(target=drain, args=("err", p.stderr))]
    for t in threads:
        t.start()
    status = p.wait()
    threads[1].join()
    threads[2].join()
    return status, got["out"], got["err"]


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    limited = can_limit(binary)
    windows = is_windows(binary)
    failed = 0
    for name, make, portable in CASES:
        if windows and not portable:
            continue
        files, args, stream, want_out, want_err, want_status = make()
        with tempfile.TemporaryDirectory() as work:
            for fname, data in files.items():
                with open(os.path.join(work, fname), "wb") as f:
                    f.write(data)
            status, out, err = run(binary, work, args, stream, limited)
        out, err = out.decode("utf-8", "replace"), err.decode("utf-8", "replace")
        problems = []
        if status != want_status:
            problems.append("exit status %d, not %d" % (status, want_status))
        if out != want_out:
            lines, wanted = out.splitlines(), want_out.splitlines()
            at = next((i for i, (a, b) in enumerate(zip(lines, wanted)) if a != b),
                      min(len(lines), len(wanted)))
            problems.append("standard output differs at line %d of %d (%d wanted): %r" %
                            (at + 1, len(lines), len(wanted),
                             lines[at][:200] if at < len(lines) else None))
        if err != want_err:
            problems.append("standard error %r, not %r" % (err[:300], want_err))
        if problems:
            failed += 1
            print("FAIL %s%s: %s" % (name, " (memory limited)" if limited else "",
                                     "; ".join(problems)))
    if failed:
        print("%d of %d cases failed" % (failed, len(CASES)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
