#!/usr/bin/env python3
"""End-to-end cases for cuelint's walk against hostile trees and names: names that hold
terminal escapes, line ends or bytes that are not UTF-8, FIFOs and devices among the files,
and folders that cannot be listed or searched. Each case runs the built cuelint in a fresh
temporary directory and compares the whole standard output, standard error and exit status.

The cases need POSIX names, FIFOs and permissions: a Windows build skips them all (exit 77).
The permission cases run the program as an ordinary user: as root they drop to uid 65534
with setpriv, and are skipped, saying why, where that cannot be done.

usage: walk_cases.py CUELINT [CASE ...]
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from target import EMULATOR  # noqa: E402
from run_cases import jchecked, jsummary, make_files, outcome_faults, summary  # noqa: E402

SHORT_SUB = b"{0}{1}abc\n"
SHORT_MSG = ("the subtitle at line 1 is shown 0.040 s (1 frame at 25 per second); its 3 "
             "characters need 0.150 s (75.0 per second; at most 20)")
CLEAN_SRT = b"1\n00:00:01,000 --> 00:00:03,000\nClean.\n"
NOBODY = 65534

CASES = []


def case(name, files, args, stdout="", stderr="", status=0, stdin=b"", user=False, also=(),
         nproc=None):
    """Outputs are bytes or text; user: run as an ordinary user; nproc: that user's processes
    and threads limited to so many (prlimit)."""
    CASES.append(dict(name=name, files=files, args=args, stdout=stdout, stderr=stderr,
                      status=status, stdin=stdin, user=user, also=also, nproc=nproc))


def text_fault(name):
    return name + b":1: error: " + SHORT_MSG.encode() + b" [reading-time]\n"


def json_fault(name_json, extra=b""):
    return (b'{"file":"' + name_json + b'"' + extra + b',"line":1,"format":"microdvd",'
            b'"check":"reading-time","severity":"error","subtitle":null,"start":0,"stop":40,'
            b'"message":"' + SHORT_MSG.encode() + b'"}\n')


def checked(name_json, extra=b""):
    return jchecked("@", "microdvd", 1, rate="25").encode().replace(
        b'"@"', b'"' + name_json + b'"' + extra)


# ESC and a newline in a name: escaped in text and on standard error, exact in JSON.
FORGED = b"d/\x1b[2Jx\n.srt:9: error: forged.sub"
case("name_with_escape_and_newline_text", {FORGED: SHORT_SUB}, ["d"],
     stdout=text_fault(b"d/\\x1B[2Jx\\x0A.srt:9: error: forged.sub"),
     stderr=summary(1, 1, 1), status=1, also=[[FORGED]])
case("name_with_escape_and_newline_json", {FORGED: SHORT_SUB}, ["--format", "json", "d"],
     stdout=json_fault(b"d/\\u001b[2Jx\\n.srt:9: error: forged.sub")
     + checked(b"d/\\u001b[2Jx\\n.srt:9: error: forged.sub") + jsummary(1, 1, 1).encode(),
     status=1)
case("name_with_escape_unreadable", {b"d/\x1b]0;t\x07.srt": ("fifo",)}, ["d"],
     stderr=b"cuelint: d/\\x1B]0;t\\x07.srt: not a regular file\n" + summary(0, 0, 0).encode(),
     status=2)
# Bytes that are not UTF-8: \xHH in text, U+FFFD and the bytes in JSON.
case("name_not_utf8_text", {b"caf\xe9.sub": SHORT_SUB}, ["."],
     stdout=text_fault(b"./caf\\xE9.sub"), stderr=summary(1, 1, 1), status=1)
case("name_not_utf8_fifo_json", {b"w/caf\xe9.sub": ("fifo",), "w/ok.srt": CLEAN_SRT},
     ["--format", "json", "w"],
     stdout=b'{"unreadable":{"path":"w/caf\xef\xbf\xbd.sub","file_bytes":"772f636166e92e737562",'
     b'"reason":"not a regular file"}}\n' + jchecked("w/ok.srt", "subrip").encode()
     + jsummary(1, 0, 0, unreadable=1).encode(),
     stderr=b"cuelint: w/caf\\xE9.sub: not a regular file\n", status=2)
case("stdin_filename_not_utf8", {}, ["--format", "json", "--stdin-filename", b"in\xff\x1b.sub",
                                     "-"],
     stdin=SHORT_SUB,
     stdout=json_fault(b"in\xef\xbf\xbd\\u001b.sub", b',"file_bytes":"696eff1b2e737562"')
     + checked(b"in\xef\xbf\xbd\\u001b.sub", b',"file_bytes":"696eff1b2e737562"')
     + jsummary(1, 1, 1).encode(), status=1)
case("stdin_filename_text", {}, ["--stdin-filename", b"in\xff\x1b.sub", "-"], stdin=SHORT_SUB,
     stdout=text_fault(b"in\\xFF\\x1B.sub"), stderr=summary(1, 1, 1), status=1)
# FIFOs and devices the walk finds are never opened: the run would wait for a writer.
case("fifo_and_device_in_walk", {"t/a.srt": CLEAN_SRT, "t/p/pipe.srt": ("fifo",),
                                 "t/null.sub": ("link", "/dev/null"),
                                 "t/zero.srt": ("link", "/dev/zero")},
     ["-j", "2", "t"],
     stderr="cuelint: t/null.sub: not a regular file\ncuelint: t/p/pipe.srt: not a regular "
     "file\ncuelint: t/zero.srt: not a regular file\n" + summary(1, 0, 0), status=2,
     also=[["-j", "1", "t"]])
# A folder that can be listed but not searched, and one that can be searched but not listed:
# named, never passed over (the run checked nothing else, yet exits 2).
PERMS = {"top/a/x.srt": SHORT_SUB, "top/a/sub/y.srt": SHORT_SUB, "top/b/w.srt": SHORT_SUB,
         "top/ok.srt": CLEAN_SRT, ("chmod", "top/a"): 0o444, ("chmod", "top/b"): 0o311}
case("folders_without_permission", PERMS, ["top"],
     stderr="cuelint: top/a/sub: Permission denied\ncuelint: top/a/x.srt: Permission denied\n"
     "cuelint: top/b: Permission denied\n" + summary(1, 0, 0), status=2, user=True)
case("folder_without_permission_json", PERMS, ["--format", "json", "top/b"],
     stdout='{"unreadable":{"path":"top/b","reason":"Permission denied"}}\n'
     + jsummary(0, 0, 0, unreadable=1), stderr="cuelint: top/b: Permission denied\n", status=2,
     user=True)

# No thread can be started: the files are checked in turn, the report is the same.
SMALL = {"t/%d.sub" % i: SHORT_SUB for i in range(1, 5)}
case("threads_refused", SMALL, ["-j", "4", "t"],
     stdout=b"".join(text_fault(b"t/%d.sub" % i) for i in range(1, 5)),
     stderr=summary(4, 4, 4), status=1, user=True, nproc=1, also=[["-j", "1", "t"]])


def as_bytes(x):
    return x if isinstance(x, bytes) else x.encode()


def ordinary_user():
    """The words that run the program as an ordinary user, or the reason it cannot be."""
    if os.geteuid() != 0:
        return [], None
    setpriv = shutil.which("setpriv")
    if not setpriv:
        return None, "running as root, and no setpriv to run as an ordinary user"
    return [setpriv, "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"], None


def run_case(binary, c, as_user):
    faults = []
    files = {k: v for k, v in c["files"].items() if not isinstance(k, tuple)}
    modes = [(k[1], v) for k, v in c["files"].items() if isinstance(k, tuple)]
    for args in [c["args"]] + list(c["also"]):
        with tempfile.TemporaryDirectory(prefix="cuelint-walk-") as work:
            make_files(work, files)
            prefix = []
            env = None
            if c["nproc"]:
                # LeakSanitizer checks at exit from a thread of its own, which the limit
                # refuses: the check is left to the other cases.
                env = dict(os.environ)
                env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
            if c["user"]:
                prefix = as_user
                if c["nproc"]:
                    prefix = prefix + ["prlimit", "--nproc=%d" % c["nproc"]]
                os.chmod(work, 0o755)
                for top, _, names in os.walk(work):
                    for n in names:
                        os.chmod(os.path.join(top, n), 0o644)
            for rel, mode in modes:
                os.chmod(os.path.join(work, rel), mode)
            try:
                p = subprocess.run(prefix + EMULATOR + [binary] + list(args), cwd=work,
                                   env=env, input=c["stdin"], stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, timeout=60)
            except subprocess.TimeoutExpired:
                faults.append("%s: timed out" % args)
                continue
            finally:
                for rel, _ in modes:
                    os.chmod(os.path.join(work, rel), 0o755)
            faults += outcome_faults(args, as_bytes(c["stdout"]), as_bytes(c["stderr"]),
                                     c["status"], p.stdout, p.stderr, p.returncode)
    return faults


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    binary = os.path.abspath(sys.argv[1])
    if binary.lower().endswith(".exe"):
        print("SKIPPED: the cases need POSIX names, FIFOs and permissions")
        return 77
    only = set(sys.argv[2:])
    as_user, why_not = ordinary_user()
    ran = failed = 0
    skipped = []
    for c in CASES:
        if only and c["name"] not in only:
            continue
        if c["user"] and as_user is None:
            skipped.append((c["name"], why_not))
            continue
        if c["nproc"] and not shutil.which("prlimit"):
            skipped.append((c["name"], "no prlimit to limit the threads"))
            continue
        if c["nproc"] and EMULATOR:
            # The emulator starts threads of its own, which the limit refuses first.
            skipped.append((c["name"], "an emulator needs threads of its own"))
            continue
        ran += 1
        faults = run_case(binary, c, as_user)
        if faults:
            failed += 1
            print("FAIL %s" % c["name"])
            for f in faults:
                print("  " + f.replace("\n", "\n  "))
    for name, why in skipped:
        print("SKIP %s (%s)" % (name, why))
    print("%d cases, %d failed, %d skipped" % (ran, failed, len(skipped)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
