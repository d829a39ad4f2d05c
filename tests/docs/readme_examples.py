#!/usr/bin/env python3
"""The README's cuelint examples, run as a reader would run them: in a scratch folder, the
files the README shows are written from its own blocks (a block whose lead-in line ends in
`NAME`:), and each `$ ` command of a `console` block is run by bash with the built cuelint
first on PATH. Standard output and standard error go to one pipe, as on a terminal, and
must equal the lines the block shows under the command. Files and commands are taken in
the README's order, so a command sees the files shown above it.

Blocks of `sh` are shown, not run: that is where output depends on the machine.

usage: readme_examples.py CUELINT README
"""
import difflib
import os
import re
import subprocess
import sys
import tempfile

FIRST = "## cuelint: the same checks for today's files, in batches"
AFTER = "## cuelint in CI and over archives"
NAMED = re.compile(r"`([^`]+)`:$")


def section(text):
    lines = text.split("\n")
    try:
        start = lines.index(FIRST)
        end = lines.index(AFTER, start)
    except ValueError:
        raise SystemExit("FAIL the README has no section from %r to %r" % (FIRST, AFTER))
    return lines[start:end]


def blocks(lines):
    """(info, lead-in line, body lines) of each fenced block."""
    out, lead, i = [], "", 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            end = lines.index("```", i + 1)
            out.append((line[3:].strip(), lead, lines[i + 1:end]))
            i = end + 1
            continue
        if line.strip():
            lead = line.strip()
        i += 1
    return out


def steps(lines):
    """The README's files and commands in order: ("file", name, text) or
    ("run", command, expected output)."""
    out = []
    for info, lead, body in blocks(lines):
        if info == "console":
            for line in body:
                if line.startswith("$ "):
                    out.append(["run", line[2:], []])
                elif not out or out[-1][0] != "run":
                    raise SystemExit("FAIL a console block begins with %r, not a command" % line)
                else:
                    out[-1][2].append(line)
        elif info not in ("", "sh") and NAMED.search(lead):
            out.append(["file", NAMED.search(lead).group(1), body])
    return [(kind, what, "".join(l + "\n" for l in body)) for kind, what, body in out]


def main():
    cuelint, readme = (os.path.abspath(a) for a in sys.argv[1:3])
    with open(readme, encoding="utf-8") as f:
        todo = steps(section(f.read()))
    files = sum(kind == "file" for kind, _, _ in todo)
    runs = sum(kind == "run" for kind, _, _ in todo)
    if not files or not runs:
        print("FAIL the examples show %d files and %d commands" % (files, runs))
        return 1
    failed = 0
    with tempfile.TemporaryDirectory(prefix="readme-examples-") as tmp:
        bindir = os.path.join(tmp, "bin")
        work = os.path.join(tmp, "work")
        os.makedirs(bindir)
        os.makedirs(work)
        os.symlink(cuelint, os.path.join(bindir, "cuelint"))
        env = dict(os.environ, PATH=bindir + os.pathsep + os.environ["PATH"], LC_ALL="C")
        for kind, what, text in todo:
            if kind == "file":
                path = os.path.join(work, what)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8", newline="\n") as f:
                    f.write(text)
                continue
            p = subprocess.run(["bash", "-c", what], cwd=work, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
            got = p.stdout.decode("utf-8", "replace")
            if got != text:
                failed += 1
                print("FAIL $ %s" % what)
                sys.stdout.writelines(difflib.unified_diff(
                    text.splitlines(True), got.splitlines(True), "README", "cuelint"))
    if failed:
        print("%d of %d commands print otherwise than the README shows" % (failed, runs))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
