#!/usr/bin/env python3
"""The repository's pre-commit hook, run for real: `pre-commit try-repo REPO cuelint` in a
scratch git repository with a faulty and a clean subtitle file must fail, and pass once the
faulty file is mended. cuelint is the built one, put first on PATH.

Exits 77 (skipped, with the reason) when pre-commit or git is not installed.

usage: pre_commit_hook.py CUELINT REPO
"""
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
FAULTY = b"1\n00:00:02,000 --> 00:00:01,000\nBackwards.\n"
MENDED = b"1\n00:00:01,000 --> 00:00:02,000\nForwards.\n"
CLEAN = b"{0}{100}Fine.\n"


def main():
    cuelint, repo = (os.path.abspath(a) for a in sys.argv[1:3])
    for tool, package in (("pre-commit", "pre-commit"), ("git", "git")):
        if not shutil.which(tool):
            print("SKIPPED: %s is not installed (Debian: %s)" % (tool, package))
            return SKIP
    inside = subprocess.run(["git", "-C", repo, "rev-parse", "--is-inside-work-tree"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if inside.returncode != 0:
        print("SKIPPED: %s is not a git repository, so pre-commit cannot try it" % repo)
        return SKIP
    with tempfile.TemporaryDirectory(prefix="cuelint-pre-commit-") as tmp:
        bindir = os.path.join(tmp, "bin")
        os.makedirs(bindir)
        os.symlink(cuelint, os.path.join(bindir, "cuelint"))
        env = dict(os.environ, PATH=bindir + os.pathsep + os.environ["PATH"],
                   PRE_COMMIT_HOME=os.path.join(tmp, "cache"), HOME=tmp,
                   GIT_CONFIG_NOSYSTEM="1", GIT_AUTHOR_NAME="t", GIT_AUTHOR_EMAIL="t@t",
                   GIT_COMMITTER_NAME="t", GIT_COMMITTER_EMAIL="t@t")
        work = os.path.join(tmp, "work")
        os.makedirs(work)

        def run(*argv):
            return subprocess.run(list(argv), cwd=work, env=env, stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT, timeout=300)

        run("git", "init", "-q")
        files = {"film.srt": FAULTY, "intro.SUB": CLEAN, "notes.txt": b"not a subtitle\n"}
        for name, data in files.items():
            with open(os.path.join(work, name), "wb") as f:
                f.write(data)
        run("git", "add", ".")
        failed = 0
        first = run("pre-commit", "try-repo", repo, "cuelint", "--all-files")
        out = first.stdout.decode(errors="replace")
        if first.returncode != 1 or "film.srt:2: error:" not in out or "[order]" not in out:
            failed += 1
            print("FAIL faulty file: exit status %d\n%s" % (first.returncode, out))
        else:
            print("ok   faulty file: pre-commit exit status 1, the fault named")
        with open(os.path.join(work, "film.srt"), "wb") as f:
            f.write(MENDED)
        run("git", "add", ".")
        second = run("pre-commit", "try-repo", repo, "cuelint", "--all-files")
        out = second.stdout.decode(errors="replace")
        if second.returncode != 0 or "Passed" not in out:
            failed += 1
            print("FAIL mended file: exit status %d\n%s" % (second.returncode, out))
        else:
            print("ok   mended file: pre-commit exit status 0")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
