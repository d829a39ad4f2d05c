#!/usr/bin/env python3
"""Renders each manual page with groff's warnings on and fails on any warning; checks that
each page's title line carries the project's version; and, given the cuelint binary,
checks that it reports that version and that every option its --help names appears in its
page.

usage: check_manpages.py MAN_DIR VERSION [CUELINT_BINARY]
"""
import os
import re
import shlex
import subprocess
import sys


def title_version(path):
    """The version in the page's .TH line ("cuecheck X.Y.Z", its fourth field), or None."""
    with open(path) as f:
        for line in f:
            if line.startswith(".TH "):
                fields = shlex.split(line[4:])
                if len(fields) >= 4 and fields[3].startswith("cuecheck "):
                    return fields[3][len("cuecheck "):]
                return None
    return None


def main():
    man_dir, version = sys.argv[1], sys.argv[2]
    cuelint = sys.argv[3] if len(sys.argv) > 3 else None
    failed = passed = 0
    for page in sorted(os.listdir(man_dir)):
        path = os.path.join(man_dir, page)
        proc = subprocess.run(["groff", "-man", "-ww", "-z", path], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE)
        if proc.returncode != 0 or proc.stderr:
            print("FAIL %s: groff says\n%s" % (page, proc.stderr.decode(errors="replace")))
            failed += 1
        else:
            passed += 1
        found = title_version(path)
        if found == version:
            passed += 1
        else:
            print("FAIL %s: its .TH line says version %s, the project %s" % (page, found, version))
            failed += 1
    if cuelint:
        said = subprocess.run([cuelint, "--version"], stdout=subprocess.PIPE,
                              check=True).stdout.decode()
        if said == "cuelint %s\n" % version:
            passed += 1
        else:
            print("FAIL cuelint --version says %r, the project %s" % (said, version))
            failed += 1
        helptext = subprocess.run([cuelint, "--help"], stdout=subprocess.PIPE,
                                  check=True).stdout.decode()
        options = set(re.findall(r"(?<![\w-])(--[a-z][a-z-]*|-[a-zA-Z])\b", helptext))
        with open(os.path.join(man_dir, "cuelint.1")) as f:
            page = f.read().replace("\\-", "-")
        if len(options) < 5:
            print("FAIL found only %s in cuelint --help" % sorted(options))
            failed += 1
        for opt in sorted(options):
            if re.search(r"(?<![\w-])" + re.escape(opt) + r"(?![\w-])", page):
                passed += 1
            else:
                print("FAIL cuelint.1 does not name %s" % opt)
                failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
