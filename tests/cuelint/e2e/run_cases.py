#!/usr/bin/env python3
"""End-to-end cases for cuelint: each case writes its files into a fresh temporary
directory, runs the built cuelint there and compares the whole standard output, standard
error and exit status.

A cross-built cuelint runs under the emulator that CUELINT_E2E_EMULATOR names (its words
separated by "|", as ctest passes CMAKE_CROSSCOMPILING_EMULATOR). A Windows build (a
CUELINT ending in .exe, under wine) is compared with the same expectations, its "\\" in
names read as "/" and the system's error texts as wine words them; the cases that need
what Windows has not (symbolic links, FIFOs, names that are not UTF-8, a terminal) are
skipped there and listed.

usage: run_cases.py CUELINT [CASE ...]
"""
import difflib
import json
import os
import re
import subprocess
import sys
import tempfile

from target import EMULATOR, as_windows_gives, is_windows, with_slashes

USAGE = """Usage: cuelint [OPTIONS] PATH...

Checks MicroDVD, SBV, SubRip, Subviewer 2.0 and WebVTT subtitle files for faults
of timing and form. A PATH that is a folder is searched, recursively, for files
whose names end in .sbv, .srt, .sub or .vtt.

Options:
  --profile NAME      classic (default: today's ten rules), netflix or all
  --select LIST       exactly these rules are on (names separated by ",")
  --extend-select LIST  these rules are on too
  --ignore LIST       these rules are off
  --set RULE.KEY=VALUE  a rule's parameter, or its severity (error, warning, off)
  --fail-on error|warning  exit 1 on faults of this severity or higher
                      (default error)
  --config FILE       settings from FILE (default: cuelint.toml or
                      .cuelint.toml here or in the nearest folder above)
  --isolated          no config file unless --config names one
  --list-rules        list the rules and the profiles that have them on
  --show-settings     print the settings in effect as a config file
  --fps RATE          frame rate of MicroDVD files and of limits in frames,
                      such as 25 or 23.976 (default: a MicroDVD file's own
                      frame-rate line, else 25)
  --cps N             characters per second of the reading-time rule, 0 to 1000
                      (default 20; 0 turns the rule off)
  --encoding NAME     encoding of the files that have no byte-order mark and are
                      not UTF-8, such as windows-1252 or shift_jis (default:
                      detected)
  --format FORMAT     text (default), json (JSON Lines), github (workflow
                      commands), sarif (SARIF 2.1.0) or gitlab (Code Quality)
  --files-from FILE   check the paths listed in FILE too, one a line ("-":
                      standard input)
  -0, --null          the list's paths are separated by NUL bytes
  --stdin-filename NAME  the name a PATH "-" (standard input) is reported as
  --exit-zero         exit 0 when faults were found
  --quiet             no summary and no progress line
  --statistics        after the run, the count of faults of each rule
  -j N                check up to N files at once (default: the number of
                      processors)
  -h, --help          show this text and exit
  --version           show the version and exit

The netflix profile holds the figures commonly used from that guide for adult
English programmes (20 characters per second counting spaces, 20 frames to 7
seconds, a gap of 2 frames, two lines of 42); a config file changes any of them.

Exit status: 0 when no fault of the --fail-on severity was found, 1 when one
was, 2 when a path cannot be read, or the command line or config file is wrong.
"""


def summary(files, faulty, faults):
    return "cuelint: %d file%s checked, %d with faults, %d fault%s\n" % (
        files, "" if files == 1 else "s", faulty, faults, "" if faults == 1 else "s")


def jsummary(files, faulty, faults, warnings=0, unreadable=0):
    return ('{"summary":{"files":%d,"faulty":%d,"faults":%d,"errors":%d,"warnings":%d,'
            '"unreadable":%d}}\n' % (files, faulty, faults, faults - warnings, warnings,
                                     unreadable))


def jchecked(name, fmt, faults=0, encoding="utf-8", rate=None, warnings=0):
    """The record of a checked file, after its faults."""
    return json.dumps({"checked": {
        "file": name, "format": fmt, "encoding": encoding, "rate": rate, "faults": faults,
        "errors": faults - warnings, "warnings": warnings}},
        separators=(",", ":"), ensure_ascii=False) + "\n"


# The rule of a classic fault by its message: the cases below were written with the message
# alone, and in the classic profile every fault is an error.
CLASSIC_RULES = [
    ("is shown", "reading-time"), (" s before ", "overlap"),
    ("line-break mark", "line-break-mark"), ("text lines;", "too-many-lines"),
    ("subtitle numbered", "numbering"), ("has no number", "numbering"),
    ("before it starts", "order"), ("belongs to no subtitle", "structure"),
    ("no blank line", "structure"), ("neither a time line", "time-code"),
    ("malformed time line", "time-code"), ("not a subtitle line", "frame-code"),
    ("not a MicroDVD", "format"), ("UTF-16", "format"), ("byte-order mark", "format"),
    ("before the previous cue", "overlap"), ("STYLE or REGION", "structure"),
    ("blank line must", "structure"), ("first two lines", "structure"),
    ("malformed timing line", "time-code"), ("must be UTF-8", "format"),
    ("encoding given", "format"),
]


def classic_text(text):
    out = []
    for line in text.splitlines():
        file_line, _, message = line.partition(": ")
        rule = next(r for key, r in CLASSIC_RULES if key in message)
        out.append("%s: error: %s [%s]\n" % (file_line, message, rule))
    return "".join(out)


def classic_json(text):
    return re.sub(r'("check":"[a-z-]+",)', r'\1"severity":"error",', text)


def crlf(text):
    return text.replace("\n", "\r\n").encode()


def utf16(text, big=False):
    if big:
        return b"\xfe\xff" + text.encode("utf-16-be")
    return b"\xff\xfe" + text.encode("utf-16-le")


CLEAN_SRT = crlf("1\n00:00:01,000 --> 00:00:03,000\nA clean first line.\n\n"
                 "2\n00:00:03,500 --> 00:00:06,000\nAnd a second one,\non two lines.\n")

FAULTY_SRT = crlf(
    "1\n00:00:01,000 --> 00:00:02,000\nThis text is far too long to read in one second.\n\n"
    "2\n00:00:01,500 --> 00:00:04,000\nOverlapping|with a mark\n\n"
    "4\n00:00:05,000 --> 00:00:04,000\none\ntwo\nthree\n\n"
    "5\n00:00:06,000 -> 00:00:07,000\nbroken\n")

FAULTY_TEXT = (
    "f.srt:2: subtitle 1 is shown 1.000 s; its 38 characters need 1.900 s (38.0 per second; at most 20)\n"
    "f.srt:6: subtitle 2 starts at 00:00:01,500, 0.500 s before subtitle 1 stops at "
    "00:00:02,000\n"
    'f.srt:7: line-break mark "|" in subtitle 2\n'
    "f.srt:9: subtitle numbered 4 where 3 is expected\n"
    "f.srt:10: subtitle 4 stops at 00:00:04,000, before it starts at 00:00:05,000\n"
    "f.srt:13: subtitle 4 has 3 text lines; at most two are allowed\n"
    "f.srt:16: subtitle 5 has a malformed time line (H:MM:SS,mmm --> H:MM:SS,mmm): the arrow "
    "between the times must be -->\n")

FAULTY_JSON = (
    '{"file":"f.srt","line":2,"format":"subrip","check":"reading-time","subtitle":1,'
    '"start":1000,"stop":2000,"message":"subtitle 1 is shown 1.000 s; its 38 characters need '
    '1.900 s (38.0 per second; at most 20)"}\n'
    '{"file":"f.srt","line":6,"format":"subrip","check":"overlap","subtitle":2,"start":1500,'
    '"stop":4000,"message":"subtitle 2 starts at 00:00:01,500, 0.500 s before subtitle 1 '
    'stops at 00:00:02,000"}\n'
    '{"file":"f.srt","line":7,"format":"subrip","check":"line-break-mark","subtitle":2,'
    '"start":1500,"stop":4000,"message":"line-break mark \\"|\\" in subtitle 2"}\n'
    '{"file":"f.srt","line":9,"format":"subrip","check":"numbering","subtitle":4,"start":5000,'
    '"stop":4000,"message":"subtitle numbered 4 where 3 is expected"}\n'
    '{"file":"f.srt","line":10,"format":"subrip","check":"order","subtitle":4,"start":5000,'
    '"stop":4000,"message":"subtitle 4 stops at 00:00:04,000, before it starts at '
    '00:00:05,000"}\n'
    '{"file":"f.srt","line":13,"format":"subrip","check":"too-many-lines","subtitle":4,'
    '"start":5000,"stop":4000,"message":"subtitle 4 has 3 text lines; at most two are '
    'allowed"}\n'
    '{"file":"f.srt","line":16,"format":"subrip","check":"time-code","subtitle":5,'
    '"start":null,"stop":null,"message":"subtitle 5 has a malformed time line '
    '(H:MM:SS,mmm --> H:MM:SS,mmm): the arrow between the times must be '
    '-->"}\n')

# Five lines of header, the subtitles from line 6.
SUBVIEWER = crlf(
    "[INFORMATION]\n[TITLE]Test\n[END INFORMATION]\n\n[SUBTITLE]\n"
    "00:00:01.00,00:00:04.00\nFirst[br]subtitle\n\n\n"
    "00:00:04.00,00:00:05.00\nA|B\nsecond line\n"
    "00:00:06.00,00:00:07.00\nthird\n\n"
    "stray words\n\nmore stray words\n"
    "00:00:08.00,00:00:09.00\nlast\n")

SUBVIEWER_TEXT = (
    's.sub:11: line-break mark "|" in the subtitle at line 10 ("[br]" breaks a line)\n'
    's.sub:12: the subtitle at line 10 has 2 text lines; one is allowed ("[br]" breaks a '
    'line)\n'
    "s.sub:12: no blank line between the subtitle at line 10 and the next subtitle\n"
    "s.sub:16: neither a time line HH:MM:SS.cc,HH:MM:SS.cc nor part of a subtitle; lines up to "
    "the next time line are passed over\n")

# 24 frames at 23.976 per second are 1.001 s: enough for 20 characters; at 25 per second
# (0.96 s) they are not.
MICRODVD_RATE = b"{1}{1}23.976\n{0}{24}Twenty letters: abcdef\n{24}{48}{y:i}Twenty|letters: abcdef\n"

CASES = []
WINDOWS = False  # set from the binary's name


def case(name, files, args, stdout="", stderr="", status=0, also=(), classic=True, posix=False):
    """also: more argument lists that must give exactly the same result. classic: stdout is
    written as faults' messages alone, put into the classic profile's form here. posix: the
    case needs what only POSIX systems have."""
    if classic and stdout and stdout != USAGE and not stdout.startswith("cuelint "):
        json = any("json" in a for a in args if isinstance(a, str))
        stdout = classic_json(stdout) if json else classic_text(stdout)
    CASES.append(dict(name=name, files=files, args=args, stdout=stdout, stderr=stderr,
                      status=status, also=also, posix=posix))


def needs_posix(files):
    return any(isinstance(d, tuple) or isinstance(n, bytes) for n, d in files.items())


case("clean_text", {"c.srt": CLEAN_SRT}, ["c.srt"], stderr=summary(1, 0, 0))
case("clean_json", {"c.srt": CLEAN_SRT}, ["--format", "json", "c.srt"],
     stdout=jchecked("c.srt", "subrip") + jsummary(1, 0, 0))
case("faults_text", {"f.srt": FAULTY_SRT}, ["f.srt"], stdout=FAULTY_TEXT,
     stderr=summary(1, 1, 7), status=1)
case("faults_json", {"f.srt": FAULTY_SRT}, ["f.srt", "--format=json"],
     stdout=FAULTY_JSON + jchecked("f.srt", "subrip", 7) + jsummary(1, 1, 7), status=1,
     also=[["--format", "json", "f.srt"]])
case("utf16_little_endian", {"u.srt": utf16(FAULTY_SRT.decode())}, ["u.srt"],
     stdout=FAULTY_TEXT.replace("f.srt", "u.srt"), stderr=summary(1, 1, 7), status=1)
case("utf16_big_endian", {"u.srt": utf16("1\n00:00:01,000 --> 00:00:02,000\n"
                                         "\u00e9t\u00e9 \u2014 caf\u00e9|\n", big=True)},
     ["u.srt"], stdout='u.srt:3: line-break mark "|" in subtitle 1\n',
     stderr=summary(1, 1, 1), status=1)
case("utf16_odd_length", {"u.srt": utf16("1\n00:00:01,000 --> 00:00:02,000\n") + b"x"},
     ["u.srt"], stdout="u.srt:1: UTF-16 text with an odd number of bytes\n",
     stderr=summary(1, 1, 1), status=1)
case("bad_utf8_after_mark", {"b.srt": b"\xef\xbb\xbf1\n00:00:01,000 --> 00:00:02,000\n\xff|\n"},
     ["--format", "json", "b.srt"],
     stdout='{"file":"b.srt","line":1,"format":null,"check":"format","subtitle":null,'
     '"start":null,"stop":null,"message":"a UTF-8 byte-order mark, then bytes that are not '
     'well-formed UTF-8"}\n' + jchecked("b.srt", None, 1, "utf-8-bom") + jsummary(1, 1, 1),
     status=1)
case("numbered_from_zero",
     {"z.srt": crlf("0\n00:00:01,000 --> 00:00:02,000\nZero\n\n1\n00:00:03,000 --> "
                    "00:00:04,000\nOne\n\n2\n00:00:05,000 --> 00:00:06,000\nTwo\n")},
     ["z.srt"], stdout="z.srt:1: subtitle numbered 0 where 1 is expected\n",
     stderr=summary(1, 1, 1), status=1)
case("microdvd_rate_line", {"m.sub": MICRODVD_RATE}, ["m.sub"], stderr=summary(1, 0, 0))
case("microdvd_fps_option", {"m.sub": MICRODVD_RATE}, ["--fps", "25", "m.sub"],
     stdout="m.sub:2: the subtitle at line 2 is shown 0.960 s (24 frames at 25 per second); "
     "its 20 characters need 1.000 s (20.8 per second; at most 20)\n"
     "m.sub:3: the subtitle at line 3 is shown 0.960 s (24 frames at 25 per second); "
     "its 20 characters need 1.000 s (20.8 per second; at most 20)\n",
     stderr=summary(1, 1, 2), status=1, also=[["m.sub", "--fps=25"], ["--fps", "30", "--fps", "25", "m.sub"]])
case("markup_not_counted",
     {"m.srt": crlf("1\n00:00:00,000 --> 00:00:01,000\n<i>{\\an8}Twenty letters: abcdef</i>\n\n"
                    "2\n00:00:01,000 --> 00:00:02,000\n<font color=\"#fff\">Twenty-one letters: "
                    "abc</font>\n")},
     ["m.srt"],
     stdout="m.srt:6: subtitle 2 is shown 1.000 s; its 21 characters need 1.050 s (21.0 per "
     "second; at most 20)\n", stderr=summary(1, 1, 1), status=1)
case("rule_off", {"f.srt": FAULTY_SRT}, ["--cps", "0", "f.srt"],
     stdout="".join(l + "\n" for l in FAULTY_TEXT.splitlines()[1:]),
     stderr=summary(1, 1, 6), status=1)
case("cps_decimal_not_octal", {"c.srt": crlf("1\n00:00:00,000 --> 00:00:01,000\n"
                                             + "x" * 20 + "\n")},
     ["--cps", "020", "c.srt"], stderr=summary(1, 0, 0), also=[["--cps=20", "c.srt"]])
case("subviewer", {"s.sub": SUBVIEWER}, ["s.sub"], stdout=SUBVIEWER_TEXT,
     stderr=summary(1, 1, 4), status=1)
# A YouTube export: no header, times of one-digit hours, a blank line after each subtitle.
YOUTUBE_SBV = crlf(
    "0:00:00.400,0:00:02.930\nhey everyone welcome back to the channel\n\n"
    "0:00:02.930,0:00:05.120\ntoday we're fixing a leaky tap\n\n"
    "0:00:05.000,0:00:07.880\nyou'll need a spanner,\na cloth and about ten minutes\nof patience\n\n"
    "0:00:07.880,0:00:09.000\n[Music] | [Applause]\n\n"
    "0:00:09.000,0:00:12.500\nso let's get started\n")

case("youtube_sbv", {"t.sbv": YOUTUBE_SBV}, ["--format", "json", "t.sbv"],
     stdout='{"file":"t.sbv","line":7,"format":"sbv","check":"overlap","subtitle":null,'
     '"start":5000,"stop":7880,"message":"the subtitle at line 7 starts at 0:00:05.000, '
     '0.120 s before the previous subtitle (line 4) stops at 0:00:05.120"}\n'
     '{"file":"t.sbv","line":10,"format":"sbv","check":"too-many-lines","subtitle":null,'
     '"start":5000,"stop":7880,"message":"the subtitle at line 7 has 3 text lines; at most '
     'two are allowed"}\n'
     '{"file":"t.sbv","line":13,"format":"sbv","check":"line-break-mark","subtitle":null,'
     '"start":7880,"stop":9000,"message":"line-break mark \\"|\\" in the subtitle at line 12"}\n'
     + jchecked("t.sbv", "sbv", 3) + jsummary(1, 1, 3), status=1)
# A lecture converted from SubRip: positioning, a speaker tag, a note, a style block left
# behind after the first cue, one time still with SubRip's comma, and two speakers at once.
LECTURE_VTT = (
    "\ufeffWEBVTT - Lecture 4: Graph search\n"
    "Kind: captions\nLanguage: en\n\n"
    "NOTE converted from lecture04.srt\n\n"
    "1\n00:00:01.200 --> 00:00:04.000 position:10% align:start\n"
    "<v Prof. Ito>Good morning &amp; welcome back.</v>\n\n"
    "2\n00:00:04.000 --> 00:00:06.500 line:0\n"
    "<v Prof. Ito>Today: breadth-first search.</v>\n\n"
    "3\n00:00:05.000 --> 00:00:06.000\n"
    "<v Student>Sorry, could you&nbsp;repeat?</v>\n\n"
    "STYLE\n::cue(v[voice=\"Student\"]) { color: cyan }\n\n"
    "4\n00:00:07,000 --> 00:00:09.000\nA queue holds the frontier.\n\n"
    "5\n00:00:08.500 --> 00:00:12.000\n"
    "Each node &lt;visited&gt; once,\nnever twice,\nin order of distance.\n\n"
    "6\n00:00:08.000 --> 00:00:12.000\nQuestions so far?\n"
    "00:00:12.000 --> 00:00:14.000\nNo? Good.\n").encode()

case("lecture_webvtt", {"l.vtt": LECTURE_VTT}, ["l.vtt"],
     stdout="l.vtt:16: the subtitle at line 16 is shown 1.000 s; its 21 characters need 1.050 s "
     "(21.0 per second; at most 20)\n"
     "l.vtt:19: a STYLE or REGION block after the first cue\n"
     "l.vtt:23: the subtitle at line 23 has a malformed timing line ([HH:]MM:SS.mmm --> "
     "[HH:]MM:SS.mmm)\n"
     "l.vtt:30: the subtitle at line 27 has 3 text lines; at most two are allowed\n"
     "l.vtt:33: the subtitle at line 33 starts at 00:00:08.000, 0.500 s before the previous cue "
     "(line 27) starts at 00:00:08.500 (cues may be shown together, but in the order of their "
     "starts)\n"
     "l.vtt:34: no blank line between the subtitle at line 33 and the next subtitle\n",
     stderr=summary(1, 1, 6), status=1)
# A Japanese SubRip file in Shift_JIS, as older Japanese tools write it. Several of its
# characters have "|" as their second byte ("\u30dd" is 83 7C).
JAPANESE_SRT = ("1\n00:00:01,000 --> 00:00:03,000\n\u30dd\u30fc\u30ba\u3092\u89e3\u9664\u3057\u307e\u3059\u3002\n\n"
                "2\n00:00:02,500 --> 00:00:04,000\n\u30b9\u30dd\u30fc\u30c4\u306e\u8a66\u5408\u3092\u898b\u306b\u884c\u304d\u307e\u3057\u3087\u3046\u3002\n\n"
                "3\n00:00:04,000 --> 00:00:05,000\n\u6771\u4eac\u30bf\u30ef\u30fc\u306e\u5c55\u671b\u53f0\u3078\u3088\u3046\u3053\u305d\u3002"
                "\u3053\u3061\u3089\u306f\u5357\u53e3\u3067\u3059\u3002\n").replace("\n", "\r\n").encode("cp932")

case("japanese_subrip_shift_jis", {"j.srt": JAPANESE_SRT}, ["j.srt"],
     stdout="j.srt:6: subtitle 2 starts at 00:00:02,500, 0.500 s before subtitle 1 stops at "
     "00:00:03,000\n"
     "j.srt:10: subtitle 3 is shown 1.000 s; its 24 characters need 1.200 s (24.0 per second; "
     "at most 20)\n",
     stderr=summary(1, 1, 2), status=1, also=[["--encoding", "SHIFT_JIS", "j.srt"]])
case("japanese_subrip_encoding_rule", {"j.srt": JAPANESE_SRT},
     ["--format", "json", "--extend-select", "encoding", "j.srt"],
     stdout='{"file":"j.srt","line":1,"format":"subrip","check":"encoding","severity":"error",'
     '"subtitle":null,"start":null,"stop":null,"message":"read as Shift_JIS; most players '
     'expect UTF-8"}\n'
     '{"file":"j.srt","line":6,"format":"subrip","check":"overlap","severity":"error",'
     '"subtitle":2,"start":2500,"stop":4000,"message":"subtitle 2 starts at 00:00:02,500, '
     '0.500 s before subtitle 1 stops at 00:00:03,000"}\n'
     '{"file":"j.srt","line":10,"format":"subrip","check":"reading-time","severity":"error",'
     '"subtitle":3,"start":4000,"stop":5000,"message":"subtitle 3 is shown 1.000 s; its 24 '
     'characters need 1.200 s (24.0 per second; at most 20)"}\n'
     + jchecked("j.srt", "subrip", 3, "shift_jis") + jsummary(1, 1, 3),
     status=1, classic=False)
case("encoding_not_decodable", {"j.srt": JAPANESE_SRT}, ["--encoding=windows-1252", "j.srt"],
     stdout="j.srt:1: neither UTF-8 nor well-formed in the encoding given\n",
     stderr=summary(1, 1, 1), status=1)
case("encoding_unknown", {"c.srt": CLEAN_SRT}, ["--encoding", "klingon", "c.srt"],
     stderr="cuelint: --encoding: not an encoding this system knows: klingon\n" + USAGE, status=2)
case("binary_file", {"bin.srt": bytes(range(256)) * 4}, ["bin.srt"],
     stdout="bin.srt:1: not a MicroDVD, SBV, SubRip, Subviewer 2.0 or WebVTT file\n",
     stderr=summary(1, 1, 1), status=1)
case("empty_file", {"e.sub": b""}, ["--format", "json", "e.sub"],
     stdout='{"file":"e.sub","line":1,"format":null,"check":"format","subtitle":null,'
     '"start":null,"stop":null,"message":"not a MicroDVD, SBV, SubRip, Subviewer 2.0 or WebVTT file"}\n'
     + jchecked("e.sub", None, 1) + jsummary(1, 1, 1), status=1)

TREE = {
    "t/b.srt": CLEAN_SRT,
    "t/b-x.srt": FAULTY_SRT,
    "t/b/c.SRT": b"{0}{1}abc\n",
    "t/.hidden.sub": b"{0}{1}abc\n",
    "t/notes.txt": b"not a subtitle",
    "t/b/deep/d.sub": b"{0}{100}ok\n",
    "real.srt": b"{5}{1}x\n",
    "t/link.srt": ("link", "../real.srt"),
    "other/o.srt": b"{0}{1}abc\n",
    "t/folderlink": ("link", "../other"),
}
TREE_TEXT = (
    "t/.hidden.sub:1: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); its "
    "3 characters need 0.150 s (75.0 per second; at most 20)\n"
    + FAULTY_TEXT.replace("f.srt", "t/b-x.srt")
    + "t/b/c.SRT:1: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); its 3 "
    "characters need 0.150 s (75.0 per second; at most 20)\n"
    "t/link.srt:1: the subtitle at line 1 stops at frame 1 (00:00:00,040), before it starts at "
    "frame 5 (00:00:00,200)\n")
case("folder_walk", TREE, ["t"], stdout=TREE_TEXT, stderr=summary(6, 4, 10), status=1,
     also=[["-j", "1", "t"], ["-j3", "t"], ["t", "-j", "64"]])
# The walk without links, for every system.
case("folder_walk_plain", {n: d for n, d in TREE.items() if not isinstance(d, tuple)}, ["t"],
     stdout="".join(l + "\n" for l in TREE_TEXT.splitlines() if not l.startswith("t/link.srt")),
     stderr=summary(5, 3, 9), status=1, also=[["-j", "1", "t/"]])
case("folder_walk_trailing_slash", TREE, ["t/b/"],
     stdout="t/b/c.SRT:1: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); "
     "its 3 characters need 0.150 s (75.0 per second; at most 20)\n", stderr=summary(2, 1, 1), status=1)
case("folder_link_given_is_walked", TREE, ["t/folderlink"],
     stdout="t/folderlink/o.srt:1: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per "
     "second); its 3 characters need 0.150 s (75.0 per second; at most 20)\n",
     stderr=summary(1, 1, 1), status=1)
case("unreadable_among_good", {"a.srt": CLEAN_SRT, "c.srt": CLEAN_SRT},
     ["a.srt", "missing.srt", "c.srt"],
     stderr="cuelint: missing.srt: No such file or directory\n" + summary(2, 0, 0), status=2,
     also=[["-j", "1", "a.srt", "missing.srt", "c.srt"]])
case("unreadable_with_faults_json", {"f.srt": FAULTY_SRT}, ["--format", "json", "f.srt", "nope"],
     stdout=FAULTY_JSON + jchecked("f.srt", "subrip", 7)
     + '{"unreadable":{"path":"nope","reason":"No such file or directory"}}\n'
     + jsummary(1, 1, 7, unreadable=1),
     stderr="cuelint: nope: No such file or directory\n", status=2)
case("dangling_link_and_fifo_in_walk",
     {"w/ok.srt": CLEAN_SRT, "w/dangling.srt": ("link", "nowhere.srt"), "w/pipe.sub": ("fifo",)},
     ["w"],
     stderr="cuelint: w/dangling.srt: No such file or directory\n"
     "cuelint: w/pipe.sub: not a regular file\n" + summary(1, 0, 0), status=2)
case("same_path_twice", {"m.sub": b"{0}{1}abc\n"}, ["m.sub", "m.sub"],
     stdout=("m.sub:1: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); its "
             "3 characters need 0.150 s (75.0 per second; at most 20)\n") * 2,
     stderr=summary(2, 2, 2), status=1)
case("name_not_utf8_json", {b"caf\xe9.sub": b"{0}{1}abc\n"}, ["--format", "json", b"caf\xe9.sub"],
     stdout='{"file":"caf\ufffd.sub","file_bytes":"636166e92e737562","line":1,"format":"microdvd",'
     '"check":"reading-time",'
     '"subtitle":null,"start":0,"stop":40,"message":"the subtitle at line 1 is shown 0.040 s '
     '(1 frame at 25 per second); its 3 characters need 0.150 s (75.0 per second; at most 20)"}\n'
     + jchecked("caf\ufffd.sub", "microdvd", 1, rate="25").replace(
         '.sub",', '.sub","file_bytes":"636166e92e737562",') + jsummary(1, 1, 1), status=1)
# Names in any script, in file and folder names, walked and given: byte order of the UTF-8
# names (Cyrillic, then CJK, then the emoji), the same on every system.
CYRILLIC, CJK, EMOJI = "\u041f\u0430\u043f\u043a\u0430", "\u5b57\u5e55", "\U0001f3ac"
SCRIPTS = {
    "n/%s/%s.srt" % (CYRILLIC, "\u0444\u0438\u043b\u044c\u043c"): FAULTY_SRT,
    "n/%s/%s.sub" % (CJK, "\u7b2c\u4e00"): b"{0}{1}abc\n",
    "n/%s/%s.srt" % (EMOJI, EMOJI): CLEAN_SRT,
    "n/%s.srt" % EMOJI: b"{0}{100}ok\n",
}
SCRIPTS_MDVD_FAULT = ("the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); its 3 "
                      "characters need 0.150 s (75.0 per second; at most 20)")
case("names_in_any_script", SCRIPTS, ["n"],
     stdout=FAULTY_TEXT.replace("f.srt", "n/%s/%s.srt" % (CYRILLIC, "\u0444\u0438\u043b\u044c\u043c"))
     + "n/%s/%s.sub:1: %s\n" % (CJK, "\u7b2c\u4e00", SCRIPTS_MDVD_FAULT),
     stderr=summary(4, 2, 8), status=1, also=[["-j", "1", "n/"]])
case("names_in_any_script_json", SCRIPTS, ["--format", "json", "n/%s" % CJK, "n/%s.srt" % EMOJI],
     stdout='{"file":"n/%s/%s.sub","line":1,"format":"microdvd","check":"reading-time",'
     '"subtitle":null,"start":0,"stop":40,"message":"%s"}\n' % (CJK, "\u7b2c\u4e00",
                                                               SCRIPTS_MDVD_FAULT)
     + jchecked("n/%s/%s.sub" % (CJK, "\u7b2c\u4e00"), "microdvd", 1, rate="25")
     + jchecked("n/%s.srt" % EMOJI, "microdvd", rate="25") + jsummary(2, 1, 1), status=1)
case("help", {}, ["--help"], stdout=USAGE, also=[["-h"], ["--bogus", "-h", "--cps", "x"]])
case("version", {}, ["--version"], stdout="cuelint 1.0.0\n")
case("dash_dash_ends_options", {"-h": b"{0}{100}ok\n"}, ["--", "-h"], stderr=summary(1, 0, 0))
case("no_path", {}, [], stderr="cuelint: no PATH given\n" + USAGE, status=2)
case("cps_too_large", {"c.srt": CLEAN_SRT}, ["--cps", "1001", "c.srt"],
     stderr="cuelint: --cps: not a number from 0 to 1000: 1001\n" + USAGE, status=2)
case("bad_fps", {"c.srt": CLEAN_SRT}, ["--fps", "23,976", "c.srt"],
     stderr="cuelint: --fps: not a frame rate: 23,976\n" + USAGE, status=2)
case("bad_format", {"c.srt": CLEAN_SRT}, ["--format", "xml", "c.srt"],
     stderr="cuelint: --format: not one of text, json, github, sarif, gitlab: xml\n" + USAGE,
     status=2)
case("bad_jobs", {"c.srt": CLEAN_SRT}, ["-j", "0", "c.srt"],
     stderr="cuelint: -j: not a number of at least 1: 0\n" + USAGE, status=2)
case("unknown_option", {"c.srt": CLEAN_SRT}, ["--bogus", "c.srt"],
     stderr="cuelint: The following argument was not expected: --bogus\n" + USAGE, status=2)

# Rule selection over the faulty file: its faults are reading-time, overlap, line-break-mark,
# numbering, order, too-many-lines and time-code.
FAULTY_LINES = classic_text(FAULTY_TEXT).splitlines(keepends=True)
case("ignore_rules", {"f.srt": FAULTY_SRT}, ["--ignore", "reading-time,time-code", "f.srt"],
     stdout="".join(FAULTY_LINES[1:6]), stderr=summary(1, 1, 5), status=1, classic=False,
     also=[["--ignore=order", "--ignore", "reading-time,time-code", "f.srt"],
           ["--set", "reading-time.severity=off", "--ignore=time-code", "f.srt"]])
case("select_rules", {"f.srt": FAULTY_SRT}, ["--select", "order,numbering", "f.srt"],
     stdout="".join(FAULTY_LINES[3:5]), stderr=summary(1, 1, 2), status=1, classic=False)
case("select_nothing_leaves_format", {"f.srt": FAULTY_SRT, "b.srt": b"\x00\x01"},
     ["--select=", "f.srt", "b.srt"],
     stdout="b.srt:1: error: not a MicroDVD, SBV, SubRip, Subviewer 2.0 or WebVTT file [format]\n",
     stderr=summary(2, 1, 1), status=1, classic=False)
WARNED = "".join(l.replace(": error: ", ": warning: ") if "[numbering]" in l else l
                 for l in FAULTY_LINES[3:5])
case("warnings_pass_fail_on_error", {"f.srt": FAULTY_SRT},
     ["--select", "order,numbering", "--set", "numbering.severity=warning", "--ignore", "order",
      "f.srt"],
     stdout=WARNED.splitlines(keepends=True)[0], stderr=summary(1, 1, 1) .replace(
         "1 fault\n", "1 fault (1 warning)\n"), classic=False,
     also=[["--set", "numbering.severity=warning", "--select", "numbering", "--fail-on",
            "error", "f.srt"]])
case("warnings_fail_on_warning", {"f.srt": FAULTY_SRT},
     ["--select", "order,numbering", "--set", "numbering.severity=warning", "--fail-on",
      "warning", "f.srt"],
     stdout=WARNED, stderr=summary(1, 1, 2).replace("2 faults\n", "2 faults (1 warning)\n"),
     status=1, classic=False)
case("warnings_json", {"f.srt": FAULTY_SRT},
     ["--format", "json", "--select", "numbering", "--set", "numbering.severity=warning",
      "f.srt"],
     stdout='{"file":"f.srt","line":9,"format":"subrip","check":"numbering",'
     '"severity":"warning","subtitle":4,"start":5000,"stop":4000,"message":"subtitle numbered '
     '4 where 3 is expected"}\n' + jchecked("f.srt", "subrip", 1, warnings=1)
     + jsummary(1, 1, 1, warnings=1), classic=False)
case("unknown_rule", {"f.srt": FAULTY_SRT}, ["--ignore", "Order", "f.srt"],
     stderr='cuelint: --ignore: no rule named "Order"\n' + USAGE, status=2, classic=False,
     also=[["--list-rules", "--ignore", "Order"]])
case("format_cannot_be_ignored", {"f.srt": FAULTY_SRT}, ["--ignore", "format", "f.srt"],
     stderr="cuelint: the format rule cannot be ignored\n" + USAGE, status=2, classic=False)

# The config file: found from the current folder upwards, named by --config, or none.
SELECT_TOML = b'select = ["order", "numbering"]\n'
case("config_found", {".cuelint.toml": SELECT_TOML,
                            "f.srt": FAULTY_SRT},
     ["f.srt"], stdout="".join(FAULTY_LINES[3:5]), stderr=summary(1, 1, 2), status=1,
     classic=False, also=[["--isolated", "--config", ".cuelint.toml", "f.srt"]])
case("config_named_in_any_script", {"%s/c.toml" % CYRILLIC: SELECT_TOML, "f.srt": FAULTY_SRT},
     ["--config", "%s/c.toml" % CYRILLIC, "f.srt"], stdout="".join(FAULTY_LINES[3:5]),
     stderr=summary(1, 1, 2), status=1, classic=False)
case("config_isolated", {"cuelint.toml": SELECT_TOML, "f.srt": FAULTY_SRT},
     ["--isolated", "f.srt"], stdout=FAULTY_TEXT, stderr=summary(1, 1, 7), status=1)
case("config_command_line_over_file", {"cuelint.toml": SELECT_TOML + b'fail-on = "warning"\n',
                                       "f.srt": FAULTY_SRT},
     ["--set", "numbering.severity=warning", "--ignore", "order", "f.srt"],
     stdout=WARNED.splitlines(keepends=True)[0],
     stderr=summary(1, 1, 1).replace("1 fault\n", "1 fault (1 warning)\n"), status=1,
     classic=False)
case("config_error", {"cuelint.toml": b"profile = \"all\"\n\n[rules.tags]\nmax = 3\n",
                      "f.srt": FAULTY_SRT},
     ["f.srt"], stderr="cuelint: cuelint.toml:4: tags.max: no such parameter\n", status=2,
     classic=False, also=[["--show-settings"], ["--format", "json", "f.srt"]])
case("config_not_utf8", {"c.toml": b"# caf\xe9\n", "f.srt": FAULTY_SRT},
     ["--config", "c.toml", "f.srt"], stderr="cuelint: c.toml: not UTF-8 text\n", status=2,
     classic=False)
case("config_missing", {"f.srt": FAULTY_SRT}, ["--config", "none.toml", "f.srt"],
     stderr="cuelint: none.toml: cannot be read\n", status=2, classic=False)
case("list_rules_reads_no_config", {"cuelint.toml": b"bogus = 1\n"},
     ["--list-rules", "ignored.srt"],
     stdout=open(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                              "list_rules.txt")).read(), classic=False)
case("show_settings", {"cuelint.toml": b'fps = 24\nignore = ["order"]\n[rules.min-gap]\n'
                                       b'severity = "warning"\nmin = "3f"\n'},
     ["--show-settings", "--profile", "netflix", "--set", "max-duration.max=6.5s", "ignored"],
     stdout=open(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                              "show_settings.toml")).read(), classic=False)

# One file through each profile, in text and JSON; the expected outputs lie beside it.
PROFILES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "profiles")


def profile_file(name, mode="r"):
    with open(os.path.join(PROFILES, name), mode) as f:
        return f.read()


for name, faults, warnings in [("classic", 2, 0), ("netflix", 13, 2), ("all", 12, 0)]:
    film = {"film.srt": profile_file("film.srt", "rb")}
    text_summary = summary(1, 1, faults)
    if warnings:
        text_summary = text_summary.replace(" faults\n", " faults (%d warnings)\n" % warnings)
    case("profile_%s_text" % name, film, ["--profile", name, "film.srt"],
         stdout=profile_file(name + ".txt"), stderr=text_summary, status=1, classic=False)
    case("profile_%s_json" % name, film, ["--profile", name, "--format", "json", "film.srt"],
         stdout=profile_file(name + ".jsonl"), status=1, classic=False)


def make_files(root, files):
    for rel, data in files.items():
        path = os.path.join(os.fsencode(root), rel if isinstance(rel, bytes) else rel.encode())
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if isinstance(data, tuple) and data[0] == "link":
            os.symlink(data[1], path)
        elif isinstance(data, tuple) and data[0] == "fifo":
            os.mkfifo(path)
        else:
            with open(path, "wb") as f:
                f.write(data)


def show(data):
    return [repr(line) for line in data.splitlines(keepends=True)] or ["(empty)"]


def compare(label, want, got):
    if want == got:
        return []
    return ["\n".join(difflib.unified_diff(show(want), show(got), "expected " + label,
                                           "actual " + label, lineterm=""))]


def outcome_faults(args, want_out, want_err, want_status, got_out, got_err, got_status):
    """What differs of one finished run: standard output, standard error, exit status."""
    faults = compare("stdout %s" % args, want_out, got_out)
    faults += compare("stderr %s" % args, want_err, got_err)
    if got_status != want_status:
        faults.append("%s: exit status %d, expected %d" % (args, got_status, want_status))
    return faults


def run_case(binary, c):
    faults = []
    for args in [c["args"]] + list(c["also"]):
        with tempfile.TemporaryDirectory(prefix="cuelint-e2e-") as work:
            make_files(work, c["files"])
            argv = EMULATOR + [binary] + list(args)
            try:
                p = subprocess.run(argv, cwd=work, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
            except subprocess.TimeoutExpired:
                faults.append("%s: timed out" % args)
                continue
            got_out, got_err = p.stdout, p.stderr
            want_out, want_err = c["stdout"].encode(), c["stderr"].encode()
            if WINDOWS:
                got_out, got_err = with_slashes(got_out), with_slashes(got_err)
                want_out = as_windows_gives(c["stdout"]).encode()  # unreadable records
                want_err = as_windows_gives(c["stderr"]).encode()
            faults += outcome_faults(args, want_out, want_err, c["status"], got_out, got_err,
                                     p.returncode)
            if os.path.exists(os.path.join(work, "errors.txt")):
                faults.append("%s: errors.txt written" % args)
    return faults


def run_on_terminal(binary, args, files):
    """Runs with standard error on a pseudo-terminal; returns (stdout, stderr, status)."""
    import pty
    import tty
    with tempfile.TemporaryDirectory(prefix="cuelint-e2e-") as work:
        make_files(work, files)
        master, slave = pty.openpty()
        tty.setraw(slave)  # no CR added to line ends
        p = subprocess.Popen(EMULATOR + [binary] + args, cwd=work, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=slave)
        os.close(slave)
        err = b""
        while True:
            try:
                data = os.read(master, 4096)
            except OSError:  # the terminal is closed when the program ends
                break
            if not data:
                break
            err += data
        out = p.stdout.read()
        p.wait()
        os.close(master)
        return out, err, p.returncode


def progress_cases(binary):
    """The progress line: on a terminal with more than one file, updated in place and
    erased before anything else is written; never for one file."""
    faults = []
    files = {"d/%02d.sub" % i: b"{0}{100}ok\n" for i in range(40)}
    files["d/05.sub"] = b"{0}{1}abc\n"
    out, err, status = run_on_terminal(binary, ["-j", "2", "d"], files)
    erase = b"\r\x1b[K"
    want_out = classic_text(
        "d/05.sub:1: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); "
        "its 3 characters need 0.150 s (75.0 per second; at most 20)\n").encode()
    if out != want_out:
        faults.append("progress: stdout %r" % out)
    if status != 1:
        faults.append("progress: exit status %d" % status)
    if not err.startswith(erase + b"cuelint: ") or b" of 40 files" not in err:
        faults.append("progress: no progress line in %r" % err[:200])
    # Every progress line is erased; what is left is the summary alone.
    shown = err.split(erase)
    rest = [x for x in shown if not (x.startswith(b"cuelint: ") and x.endswith(b" of 40 files"))]
    if b"".join(rest) != summary(40, 1, 1).encode():
        faults.append("progress: left on the terminal %r" % rest)
    if not err.endswith(erase + summary(40, 1, 1).encode()):
        faults.append("progress: not erased before the summary: %r" % err[-120:])
    out, err, status = run_on_terminal(binary, ["d/05.sub"], files)
    if err != summary(1, 1, 1).encode():
        faults.append("progress: shown for one file: %r" % err)
    out, err, status = run_on_terminal(binary, ["--format", "json", "d"], files)
    if err != b"" or not out.endswith(jchecked("d/39.sub", "microdvd", rate="25").encode()
                                      + jsummary(40, 1, 1).encode()):
        faults.append("progress: shown in JSON mode: %r" % err)
    return faults


def write_failure_cases(binary):
    """A report that cannot be written is a failure: said on standard error where it can be,
    exit status 2; a reader that goes away ends the run quietly with 2."""
    faults = []
    many = "".join("%d\n00:00:01,000 --> 00:00:01,100\nfar too long to be read in time\n\n" % i
                   for i in range(1, 20001)).encode()
    files = {"f.srt": FAULTY_SRT, "c.srt": CLEAN_SRT, "many.srt": many, "list": b"f.srt\n"}
    full = "cuelint: standard output: No space left on device\n"
    bad = "cuelint: standard output: Bad file descriptor\n"
    runs = [
        ("text to a full disk", ["f.srt"], ">/dev/full", "", full),
        ("JSON summary to a full disk", ["--format", "json", "c.srt"], ">/dev/full", "", full),
        ("SARIF to a full disk", ["--format", "sarif", "c.srt"], ">/dev/full", "", full),
        ("GitLab to a full disk", ["--format", "gitlab", "f.srt"], ">/dev/full", "", full),
        ("GitHub to a full disk", ["--format", "github", "f.srt"], ">/dev/full", "", full),
        ("file list on stdin, text to a full disk", ["--files-from", "-"], "<list >/dev/full",
         "", full),
        ("help to a full disk", ["--help"], ">/dev/full", "", full),
        ("rule list to a full disk", ["--list-rules"], ">/dev/full", "", full),
        ("settings to a full disk", ["--show-settings"], ">/dev/full", "", full),
        ("summary to a full disk", ["c.srt"], "2>/dev/full", "", ""),
        ("stdout closed", ["f.srt"], ">&-", "", bad),
        ("many faults, stdout closed", ["-j", "2", "many.srt", "f.srt"], ">&-", "", bad),
    ]
    for label, args, redirect, want_out, want_err in runs:
        if "/dev/full" in redirect and not os.path.exists("/dev/full"):
            continue
        with tempfile.TemporaryDirectory(prefix="cuelint-e2e-") as work:
            make_files(work, files)
            cmd = " ".join("'%s'" % a for a in EMULATOR + [binary] + args) + " " + redirect
            if WINDOWS:
                want_err = as_windows_gives(want_err)
            p = subprocess.run(["/bin/sh", "-c", cmd], cwd=work, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
            if p.stdout.decode() != want_out or p.stderr.decode() != want_err or p.returncode != 2:
                faults.append("%s: status %d, stdout %r, stderr %r" % (
                    label, p.returncode, p.stdout[:200], p.stderr[:200]))
    # The reader takes one line and goes: the rest cannot be written.
    with tempfile.TemporaryDirectory(prefix="cuelint-e2e-") as work:
        make_files(work, files)
        p = subprocess.Popen(EMULATOR + [binary, "many.srt"], cwd=work, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        first = p.stdout.readline()
        p.stdout.close()
        err = p.stderr.read()
        p.wait()
        if not first.startswith(b"many.srt:2: error: subtitle 1 is shown") or err or p.returncode != 2:
            faults.append("broken pipe: status %d, first line %r, stderr %r" % (
                p.returncode, first, err[:200]))
    return faults


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    global WINDOWS
    binary = os.path.abspath(sys.argv[1])
    WINDOWS = is_windows(binary)
    only = set(sys.argv[2:])
    failed = 0
    ran = 0
    skipped = []
    for c in CASES:
        if only and c["name"] not in only:
            continue
        if WINDOWS and (c["posix"] or needs_posix(c["files"])):
            skipped.append(c["name"])
            continue
        ran += 1
        faults = run_case(binary, c)
        if faults:
            failed += 1
            print("FAIL %s" % c["name"])
            for f in faults:
                print("  " + f.replace("\n", "\n  "))
        else:
            print("ok   %s" % c["name"])
    if WINDOWS and (not only or "progress" in only):
        # The console API without a console: wine gives none to a test.
        skipped.append("progress")
    elif not WINDOWS and (not only or "progress" in only):
        ran += 1
        faults = progress_cases(binary)
        if faults:
            failed += 1
            print("FAIL progress")
            for f in faults:
                print("  " + f)
        else:
            print("ok   progress")
    if not only or "write_failure" in only:
        ran += 1
        faults = write_failure_cases(binary)
        if faults:
            failed += 1
            print("FAIL write_failure")
            for f in faults:
                print("  " + f)
        else:
            print("ok   write_failure")
    for name in skipped:
        print("SKIP %s (needs symbolic links, FIFOs, names not UTF-8 or a terminal)" % name)
    print("%d cases, %d failed, %d skipped" % (ran, failed, len(skipped)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
