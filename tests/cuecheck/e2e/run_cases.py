#!/usr/bin/env python3
"""End-to-end runner: runs the built cuecheck on every case folder and compares bytes.

A case is a folder under the cases directory. Its control files:
  case.args    the arguments, one per line (an empty line is an empty argument);
               absent: no arguments at all
  case.stdin   bytes given on standard input; absent: standard input is empty
  case.stdout  the exact bytes expected on standard output
  case.status  the expected exit status (decimal); absent: 0
  case.errors  the exact bytes expected in "errors.txt"; absent: "errors.txt" must not exist
  case.note    what the case shows, for the reader (not used by the run)
  case.copy    files from elsewhere in the repository to copy in as well, one path per
               line, relative to the case folder (the samples use it)
Every other file or folder of the case is copied into a fresh temporary directory,
which becomes the current directory of the run.

usage: run_cases.py [--windows] BINARY CASES_DIR [CASE ...]

--windows: the program is a Windows build (started through a wrapper); its console line
end is CR LF, so every line feed of case.stdout is expected as CR LF.
"""
import difflib
import os
import shutil
import subprocess
import sys
import tempfile

CONTROL = {"case.args", "case.stdin", "case.stdout", "case.status", "case.errors", "case.note",
           "case.copy"}


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def show(data):
    return [repr(line) for line in data.splitlines(keepends=True)] or ["(empty)"]


def diff(label, want, got):
    lines = difflib.unified_diff(show(want), show(got), "expected " + label, "actual " + label,
                                 lineterm="")
    return "\n".join(lines)


def run_case(binary, case_dir, windows):
    args_data = read(os.path.join(case_dir, "case.args"))
    args = [] if args_data is None else args_data.decode("utf-8").split("\n")
    if args and args[-1] == "":
        args.pop()  # the final line end of the file
    stdin = read(os.path.join(case_dir, "case.stdin"), b"")
    want_out = read(os.path.join(case_dir, "case.stdout"))
    if want_out is None:
        return ["case.stdout is missing"]
    if windows:
        # Console lines never hold a line end of their own: every one is the program's.
        want_out = want_out.replace(b"\n", b"\r\n")
    want_status = int(read(os.path.join(case_dir, "case.status"), b"0").decode().strip())
    want_errors = read(os.path.join(case_dir, "case.errors"))

    with tempfile.TemporaryDirectory(prefix="cuecheck-e2e-") as work:
        for name in os.listdir(case_dir):
            if name in CONTROL:
                continue
            src = os.path.join(case_dir, name)
            if os.path.isdir(src):
                shutil.copytree(src, os.path.join(work, name), symlinks=True)
            else:
                shutil.copy(src, os.path.join(work, name), follow_symlinks=False)
        copies = read(os.path.join(case_dir, "case.copy"), b"").decode("utf-8").split("\n")
        for rel in filter(None, copies):
            src = os.path.normpath(os.path.join(case_dir, rel))
            shutil.copy(src, os.path.join(work, os.path.basename(src)))
        try:
            proc = subprocess.run([binary] + args, cwd=work, input=stdin,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        except subprocess.TimeoutExpired:
            return ["timed out after 60 s"]
        errors_path = os.path.join(work, "errors.txt")
        got_errors = read(errors_path) if os.path.isfile(errors_path) else None

    faults = []
    if proc.returncode != want_status:
        faults.append("exit status %d, expected %d" % (proc.returncode, want_status))
    if proc.stdout != want_out:
        faults.append(diff("stdout", want_out, proc.stdout))
    if want_errors is None and got_errors is not None:
        faults.append("errors.txt exists (%d bytes) but should not" % len(got_errors))
    elif want_errors is not None and got_errors is None:
        faults.append("errors.txt is missing")
    elif want_errors != got_errors:
        faults.append(diff("errors.txt", want_errors, got_errors))
    if proc.stderr:
        faults.append("unexpected standard error: %r" % proc.stderr[:200])
    return faults


def main():
    argv = sys.argv[1:]
    windows = bool(argv) and argv[0] == "--windows"
    if windows:
        argv = argv[1:]
    if len(argv) < 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(argv[0])
    cases_dir = argv[1]
    names = argv[2:] or sorted(
        n for n in os.listdir(cases_dir) if os.path.isdir(os.path.join(cases_dir, n)))
    passed = failed = 0
    for name in names:
        faults = run_case(binary, os.path.join(cases_dir, name), windows)
        if faults:
            failed += 1
            print("FAIL %s" % name)
            for fault in faults:
                print("  " + fault.replace("\n", "\n  "))
        else:
            passed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
