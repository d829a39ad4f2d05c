#!/usr/bin/env python3
"""The README's cuecheck runs against the built program: each paragraph that begins with a
`./build/cuecheck ...` command is followed by the output it shows, and a block led in by
`errors.txt`: shows the file that run wrote (its lines end in CR LF). Each command runs in
a scratch folder holding the repository's samples, with standard input from /dev/null (so
that the final wait ends at once) and standard output to a pipe (so the screen is not
cleared); output and file must be as shown, byte for byte.

usage: readme_cuecheck.py CUECHECK REPO
"""
import difflib
import os
import shlex
import subprocess
import sys
import tempfile

SECTION = "## cuecheck: the classic program"
PROGRAM = "./build/cuecheck"


def section(text):
    lines = text.split("\n")
    if SECTION not in lines:
        raise SystemExit("FAIL the README has no section %r" % SECTION)
    start = lines.index(SECTION)
    end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("## ")),
               len(lines))
    return lines[start:end]


def shown(lines):
    """[(command, output, errors.txt or None)] in the README's order."""
    out, command, lead, previous, i = [], None, "", "", 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            end = lines.index("```", i + 1)
            body = "".join(l + "\n" for l in lines[i + 1:end])
            if command:
                out.append([command, body, None])
                command = None
            elif lead.endswith("`errors.txt`:") and out:
                out[-1][2] = body
            i = end + 1
            previous = ""
            continue
        if line.strip():
            if not previous.strip() and line.startswith("`" + PROGRAM + " "):
                command = line[1:line.index("`", 1)]
            lead = line.strip()
        previous = line
        i += 1
    return out


def diff(what, want, got):
    print("FAIL " + what)
    sys.stdout.writelines(difflib.unified_diff(want.splitlines(True), got.splitlines(True),
                                               "README", "cuecheck"))


def main():
    cuecheck, repo = (os.path.abspath(a) for a in sys.argv[1:3])
    with open(os.path.join(repo, "README.md"), encoding="utf-8") as f:
        runs = shown(section(f.read()))
    if len(runs) < 3 or not any(e is not None for _, _, e in runs):
        print("FAIL the section shows %d runs of cuecheck, %d with errors.txt"
              % (len(runs), sum(e is not None for _, _, e in runs)))
        return 1
    failed = 0
    for command, output, errors in runs:
        with tempfile.TemporaryDirectory(prefix="readme-cuecheck-") as tmp:
            os.symlink(os.path.join(repo, "samples"), os.path.join(tmp, "samples"))
            args = [cuecheck] + shlex.split(command)[1:]
            p = subprocess.run(args, cwd=tmp, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
            got = p.stdout.decode("latin-1")
            if got != output or p.returncode != 0 or p.stderr:
                failed += 1
                diff("%s: exit status %d, standard error %r" % (command, p.returncode,
                                                                p.stderr[:200]), output, got)
            if errors is not None:
                with open(os.path.join(tmp, "errors.txt"), "rb") as f:
                    written = f.read().decode("latin-1")
                if written != errors.replace("\n", "\r\n"):
                    failed += 1
                    diff("%s: errors.txt" % command, errors, written.replace("\r\n", "\n"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
