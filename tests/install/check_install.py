#!/usr/bin/env python3
"""Installs the build into a temporary DESTDIR and compares the installed files with the
list they must be: the programs, their manual pages, the README and the license.

usage: check_install.py BUILD_DIR [cuelint]   (cuelint: it is built and must be installed)
"""
import os
import subprocess
import sys
import tempfile


def main():
    build = sys.argv[1]
    with_cuelint = "cuelint" in sys.argv[2:]
    want = {"bin/cuecheck", "share/man/man1/cuecheck.1", "share/doc/cuecheck/README.md",
            "share/doc/cuecheck/LICENSE"}
    if with_cuelint:
        want |= {"bin/cuelint", "share/man/man1/cuelint.1"}
    with tempfile.TemporaryDirectory(prefix="cuecheck-install-") as dest:
        env = dict(os.environ, DESTDIR=dest)
        proc = subprocess.run(["cmake", "--install", build, "--prefix", "/opt/cc"], env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if proc.returncode != 0:
            print(proc.stdout.decode(errors="replace"))
            print("FAIL cmake --install exited %d" % proc.returncode)
            return 1
        root = os.path.join(dest, "opt", "cc")
        got = set()
        for top, _, files in os.walk(dest):
            for name in files:
                path = os.path.join(top, name)
                if not path.startswith(root + os.sep):
                    got.add(os.path.relpath(path, dest))
                else:
                    got.add(os.path.relpath(path, root))
        ok = True
        for path in sorted(want - got):
            print("FAIL missing: %s" % path)
            ok = False
        for path in sorted(got - want):
            print("FAIL not expected: %s" % path)
            ok = False
        for prog in ("cuecheck", "cuelint"):
            path = os.path.join(root, "bin", prog)
            if os.path.exists(path) and not os.access(path, os.X_OK):
                print("FAIL %s is not executable" % path)
                ok = False
        print("installed %d files: %s" % (len(got), ", ".join(sorted(got))))
        print("%d passed, %d failed" % ((1, 0) if ok else (0, 1)))
        return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
