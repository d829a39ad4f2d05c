#!/usr/bin/env python3
"""End-to-end cases for cuelint's CI side: the github, sarif and gitlab formats, JSON's
per-file records, file lists, standard input, the empty folder, --exit-zero, --quiet and
--statistics. Each case runs the built cuelint in a fresh temporary directory and compares
the whole standard output, standard error and exit status.

A cross-built cuelint runs under its emulator and a Windows build is compared as
run_cases.py does; the cases whose names Windows cannot hold, or that need links, are
skipped there and listed.

usage: ci_cases.py CUELINT [CASE ...]
"""
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from run_cases import (USAGE, jchecked, jsummary, make_files, outcome_faults,  # noqa: E402
                       needs_posix, summary)
from target import EMULATOR, as_windows_gives, is_windows, with_slashes  # noqa: E402

CASES = []
WINDOWS = False  # set from the binary's name


def case(name, files, args, stdout="", stderr="", status=0, stdin=b"", also=(), posix=False):
    """posix: the case needs what only POSIX systems have."""
    CASES.append(dict(name=name, files=files, args=args, stdout=stdout, stderr=stderr,
                      status=status, stdin=stdin, also=also, posix=posix))


def windows_cannot_name(files):
    return any(re.search(r'[\x00-\x1f<>:"|?*]', n) for n in files if isinstance(n, str))


ORDER_SRT = b"1\n00:00:02,000 --> 00:00:01,000\nHi\n"
ORDER_MSG = "subtitle 1 stops at 00:00:01,000, before it starts at 00:00:02,000"
SHORT_SUB = b"{0}{1}abc\n"
SHORT_MSG = ("the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); its 3 "
             "characters need 0.150 s (75.0 per second; at most 20)")
CLEAN_SRT = b"1\n00:00:01,000 --> 00:00:03,000\nClean.\n"

# In byte order: "a,b:c%.srt", "caf\xc3\xa9 x.sub", "new\nline.srt", "ok.srt".
FOLDER = {
    "d/a,b:c%.srt": ORDER_SRT,
    "d/caf\u00e9 x.sub": SHORT_SUB,
    "d/new\nline.srt": ORDER_SRT,
    "d/ok.srt": CLEAN_SRT,
}
FOLDER_FAULTS = [  # file, line, rule, message
    ("d/a,b:c%.srt", 2, "order", ORDER_MSG),
    ("d/caf\u00e9 x.sub", 1, "reading-time", SHORT_MSG),
    ("d/new\nline.srt", 2, "order", ORDER_MSG),
]
JOBS = [["-j", "1", "--format", "F", "d"], ["-j3", "--format=F", "d"]]


def jobs_for(fmt):
    return [[a.replace("F", fmt) for a in args] for args in JOBS]


case("github_folder", FOLDER, ["--format", "github", "d"],
     stdout="::error file=d/a%2Cb%3Ac%25.srt,line=2,title=cuelint order::" + ORDER_MSG + "\n"
     "::error file=d/caf\u00e9 x.sub,line=1,title=cuelint reading-time::" + SHORT_MSG + "\n"
     "::error file=d/new\\x0Aline.srt,line=2,title=cuelint order::" + ORDER_MSG + "\n",
     stderr=summary(4, 3, 3), status=1, also=jobs_for("github"))
case("github_warning_and_percent", {"w.srt": b"1\n00:00:01,000 --> 00:00:02,000\n50%|\n"},
     ["--format", "github", "--set", "line-break-mark.severity=warning", "w.srt"],
     stdout="::warning file=w.srt,line=3,title=cuelint line-break-mark::line-break mark "
     '"|" in subtitle 1\n',
     stderr=summary(1, 1, 1).replace("1 fault\n", "1 fault (1 warning)\n"))


def sarif_result(file_uri, line, rule, message):
    return ('{"ruleId":"%s","level":"error","message":{"text":%s},"locations":[{'
            '"physicalLocation":{"artifactLocation":{"uri":"%s"},"region":{"startLine":%d}}}]}'
            % (rule, json.dumps(message), file_uri, line))


SARIF_HEAD = ('{"$schema":"https://json.schemastore.org/sarif-2.1.0.json","version":"2.1.0",'
              '"runs":[{"results":[')
SARIF_DRIVER = ('"tool":{"driver":{"name":"cuelint","version":"1.0.0","informationUri":'
                '"https://github.com/cuecheck/cuecheck#cuelint-the-same-checks-for-todays-files'
                '-in-batches","rules":[%s]}}')
RULE_ORDER = ('{"id":"order","shortDescription":{"text":"a subtitle stops before it '
              'starts"}}')
RULE_READING = ('{"id":"reading-time","shortDescription":{"text":"a subtitle is shown too '
                'short for its characters"}}')
case("sarif_folder", dict(FOLDER, **{"d/gone.srt": ("link", "nowhere.srt")}),
     ["--format", "sarif", "d"],
     stdout=SARIF_HEAD + "\n" + ",\n".join([
         sarif_result("d/a%2Cb%3Ac%25.srt", 2, "order", ORDER_MSG),
         sarif_result("d/caf%C3%A9%20x.sub", 1, "reading-time", SHORT_MSG),
         sarif_result("d/new%0Aline.srt", 2, "order", ORDER_MSG)]) + "\n],"
     + SARIF_DRIVER % (RULE_ORDER + "," + RULE_READING) + ',"invocations":[{'
     '"executionSuccessful":false,"toolExecutionNotifications":[{"level":"error","message":'
     '{"text":"d/gone.srt: No such file or directory"},"locations":[{"physicalLocation":'
     '{"artifactLocation":{"uri":"d/gone.srt"}}}]}]}]}]}\n',
     stderr="cuelint: d/gone.srt: No such file or directory\n" + summary(4, 3, 3), status=2,
     also=jobs_for("sarif"))
case("sarif_clean", {"ok.srt": CLEAN_SRT}, ["--format", "sarif", "ok.srt"],
     stdout=SARIF_HEAD + "]," + SARIF_DRIVER % "" + ',"invocations":[{'
     '"executionSuccessful":true}]}]}\n', stderr=summary(1, 0, 0))


def fnv1a(data, h):
    for b in data:
        h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return h


def fingerprint(file, rule, line, message):
    """Two FNV-1a 64-bit hashes over the fields, each followed by its length (8 bytes,
    least significant first)."""
    out = ""
    for h in (0xcbf29ce484222325, 0x84222325cbf29ce4):
        for field in (file.encode(), rule.encode(), str(line).encode(), message.encode()):
            h = fnv1a(field + len(field).to_bytes(8, "little"), h)
        out += "%016x" % h
    return out


def gitlab_issue(file, line, rule, message):
    return json.dumps({"description": message, "check_name": rule,
                       "fingerprint": fingerprint(file, rule, line, message),
                       "severity": "major", "location": {"path": file, "lines": {"begin": line}}},
                      separators=(",", ":"), ensure_ascii=False)


case("gitlab_folder", FOLDER, ["--format", "gitlab", "d"],
     stdout="[\n" + ",\n".join(gitlab_issue(*f) for f in FOLDER_FAULTS) + "\n]\n",
     stderr=summary(4, 3, 3), status=1, also=jobs_for("gitlab"))
case("gitlab_clean", {"ok.srt": CLEAN_SRT}, ["--format", "gitlab", "ok.srt"], stdout="[]\n",
     stderr=summary(1, 0, 0))


def jfault(file, line, fmt, rule, message, start, stop, subtitle=None):
    return json.dumps({"file": file, "line": line, "format": fmt, "check": rule,
                       "severity": "error", "subtitle": subtitle, "start": start, "stop": stop,
                       "message": message}, separators=(",", ":"), ensure_ascii=False) + "\n"


case("json_records_in_order",
     {"d/a.srt": ORDER_SRT, "d/b.sub": b"{1}{1}23.976\n{0}{100}ok\n", "d/c.srt": b"\x00\x01",
      "d/c2.srt": ("link", "nowhere.srt"), "d/d.sub": b"\xff\xfe" + "{0}{100}ok\n"
      .encode("utf-16-le")},
     ["--format", "json", "d", "missing.sub"],
     stdout=jfault("d/a.srt", 2, "subrip", "order", ORDER_MSG, 2000, 1000, 1)
     + jchecked("d/a.srt", "subrip", 1)
     + jchecked("d/b.sub", "microdvd", rate="23.976")
     + jfault("d/c.srt", 1, None, "format", "not a MicroDVD, SBV, SubRip, Subviewer 2.0 or WebVTT file",
              None, None)
     + jchecked("d/c.srt", None, 1)
     + '{"unreadable":{"path":"d/c2.srt","reason":"No such file or directory"}}\n'
     + jchecked("d/d.sub", "microdvd", encoding="utf-16le", rate="25")
     + '{"unreadable":{"path":"missing.sub","reason":"No such file or directory"}}\n'
     + jsummary(4, 2, 2, unreadable=2),
     stderr="cuelint: d/c2.srt: No such file or directory\n"
     "cuelint: missing.sub: No such file or directory\n", status=2,
     also=[["-j", "1", "--format", "json", "d", "missing.sub"]])
case("json_rate_given", {"b.sub": b"{1}{1}23.976\n{0}{100}ok\n"},
     ["--format", "json", "--fps", "29.970", "b.sub"],
     stdout=jchecked("b.sub", "microdvd", rate="29.97") + jsummary(1, 0, 0))


def short(name):
    return "%s:1: error: %s [reading-time]\n" % (name, SHORT_MSG)


LIST_FILES = {"a.sub": SHORT_SUB, "sp ace.sub": SHORT_SUB, "c.sub": SHORT_SUB,
              "new\nline.sub": SHORT_SUB, "list.txt": b"a.sub\r\n\nsp ace.sub\n",
              "nul.lst": b"new\nline.sub\x00a.sub\x00\x00"}
case("files_from_lines", LIST_FILES, ["c.sub", "--files-from", "list.txt"],
     stdout=short("c.sub") + short("a.sub") + short("sp ace.sub"), stderr=summary(3, 3, 3),
     status=1, also=[["--files-from=nul.lst", "c.sub", "--files-from", "list.txt"]])
case("files_from_nul", LIST_FILES, ["-0", "--files-from", "nul.lst"],
     stdout=short("new\\x0Aline.sub") + short("a.sub"), stderr=summary(2, 2, 2), status=1,
     also=[["--files-from", "nul.lst", "--null"]])
case("files_from_stdin", LIST_FILES, ["--files-from", "-"], stdin=b"sp ace.sub\nc.sub",
     stdout=short("sp ace.sub") + short("c.sub"), stderr=summary(2, 2, 2), status=1)
case("files_from_unreadable", LIST_FILES, ["a.sub", "--files-from", "nolist.txt"],
     stderr="cuelint: nolist.txt: No such file or directory\n", status=2)
case("files_from_folder", {"l/x": b""}, ["--files-from", "l"],
     stderr="cuelint: l: Is a directory\n", status=2, posix=True)
case("files_from_empty", {"empty.txt": b"\n\r\n"}, ["--files-from", "empty.txt"],
     stderr=summary(0, 0, 0))
case("stdin_as_file", {}, ["-"], stdin=SHORT_SUB, stdout=short("-"),
     stderr=summary(1, 1, 1), status=1, also=[["--", "-"]])
case("stdin_filename", {}, ["--stdin-filename", "in/x.sub", "-"], stdin=SHORT_SUB,
     stdout=short("in/x.sub"), stderr=summary(1, 1, 1), status=1,
     also=[["-", "--stdin-filename=in/x.sub"]])
case("stdin_with_list", {"a.sub": SHORT_SUB, "l.txt": b"-\na.sub\n"},
     ["--files-from", "l.txt"], stdin=CLEAN_SRT,
     stdout=short("a.sub"), stderr=summary(2, 1, 1), status=1)
TWICE = 'cuelint: standard input ("-") may be given once\n' + USAGE
BOTH = 'cuelint: standard input ("-") cannot be both the list and a file\n' + USAGE
case("stdin_twice", {"l.txt": b"-\n"}, ["-", "-"], stderr=TWICE, status=2,
     also=[["-", "--", "-"], ["--files-from", "l.txt", "-"]])
case("stdin_list_and_file", {}, ["--files-from", "-", "-"], stderr=BOTH, status=2)
case("stdin_list_names_stdin", {}, ["--files-from", "-"], stdin=b"a.sub\n-\n", stderr=BOTH,
     status=2)
case("empty_folder", {"e/notes.txt": b"x", "a.sub": SHORT_SUB}, ["e", "a.sub"],
     stdout=short("a.sub"), stderr="cuelint: e: no subtitle files found\n" + summary(1, 1, 1),
     status=2, also=[["--exit-zero", "e", "a.sub"]])
case("empty_folder_json", {"e/notes.txt": b"x"}, ["--format", "json", "e"],
     stdout=jsummary(0, 0, 0), stderr="cuelint: e: no subtitle files found\n", status=2)
case("exit_zero", {"a.sub": SHORT_SUB}, ["--exit-zero", "a.sub"], stdout=short("a.sub"),
     stderr=summary(1, 1, 1))
case("exit_zero_unreadable", {"a.sub": SHORT_SUB}, ["--exit-zero", "a.sub", "no.sub"],
     stdout=short("a.sub"),
     stderr="cuelint: no.sub: No such file or directory\n" + summary(1, 1, 1), status=2)
case("quiet", {"a.sub": SHORT_SUB, "b.srt": CLEAN_SRT}, ["--quiet", "a.sub", "b.srt"],
     stdout=short("a.sub"), status=1)
# Counts 2, 2, 1: most first, ties in the rules' own order (order sorts before
# line-break-mark there).
case("statistics", {"f.srt": ORDER_SRT, "m.sub": b"{0}{1}a|b[br]c[br]d\n{2}{1}x\n"},
     ["--statistics", "f.srt", "m.sub"],
     stdout="f.srt:2: error: %s [order]\n" % ORDER_MSG
     + "m.sub:1: error: the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); "
     "its 4 characters need 0.200 s (100.0 per second; at most 20) [reading-time]\n"
     + 'm.sub:1: error: line-break mark "[br]" in the subtitle at line 1 ("|" breaks a line) '
     "[line-break-mark]\n"
     'm.sub:1: error: line-break mark "[br]" in the subtitle at line 1 ("|" breaks a line) '
     "[line-break-mark]\n"
     "m.sub:2: error: the subtitle at line 2 stops at frame 1 (00:00:00,040), before it starts "
     "at frame 2 (00:00:00,080) [order]\n",
     stderr=summary(2, 2, 5) + "      2  order\n      2  line-break-mark\n"
     "      1  reading-time\n", status=1)
case("statistics_quiet", {"f.srt": ORDER_SRT}, ["--statistics", "--quiet", "f.srt"],
     stdout="f.srt:2: error: %s [order]\n" % ORDER_MSG, stderr="      1  order\n", status=1)

# More files than the batch keeps in flight: slots are reused, the order holds.
MANY = {"w/%04d.sub" % i: SHORT_SUB if i % 97 == 0 else CLEAN_SRT for i in range(1300)}
case("more_files_than_slots", MANY, ["--format", "json", "-j", "3", "w"],
     stdout="".join(jfault("w/%04d.sub" % i, 1, "microdvd", "reading-time", SHORT_MSG, 0, 40)
                    + jchecked("w/%04d.sub" % i, "microdvd", 1, rate="25")
                    if i % 97 == 0 else jchecked("w/%04d.sub" % i, "subrip")
                    for i in range(1300)) + jsummary(1300, 14, 14),
     status=1, also=[["--format", "json", "-j1", "w"]])


def run_case(binary, c):
    faults = []
    for args in [c["args"]] + list(c["also"]):
        with tempfile.TemporaryDirectory(prefix="cuelint-ci-") as work:
            make_files(work, c["files"])
            try:
                p = subprocess.run(EMULATOR + [binary] + list(args), cwd=work,
                                   input=c["stdin"], stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, timeout=120)
            except subprocess.TimeoutExpired:
                faults.append("%s: timed out" % args)
                continue
            got_out, got_err = p.stdout, p.stderr
            want_out, want_err = c["stdout"], c["stderr"]
            if WINDOWS:
                got_out, got_err = with_slashes(got_out), with_slashes(got_err)
                want_out, want_err = as_windows_gives(want_out), as_windows_gives(want_err)
            faults += outcome_faults(args, want_out.encode(), want_err.encode(), c["status"],
                                     got_out, got_err, p.returncode)
    return faults


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    global WINDOWS
    binary = os.path.abspath(sys.argv[1])
    WINDOWS = is_windows(binary)
    only = set(sys.argv[2:])
    ran = failed = 0
    skipped = []
    for c in CASES:
        if only and c["name"] not in only:
            continue
        files = c["files"]
        if WINDOWS and (c["posix"] or needs_posix(files) or windows_cannot_name(files)):
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
    for name in skipped:
        print("SKIP %s (needs names Windows cannot hold, links or POSIX error texts)" % name)
    print("%d cases, %d failed, %d skipped" % (ran, failed, len(skipped)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
