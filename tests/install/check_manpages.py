#!/usr/bin/env python3
"""Renders each manual page with groff's warnings on and fails on any warning; and, given
the cuelint binary, checks that every option its --help names appears in its page.

usage: check_manpages.py MAN_DIR [CUELINT_BINARY]
"""
import os
import re
import subprocess
import sys


def main():
    man_dir = sys.argv[1]
    cuelint = sys.argv[2] if len(sys.argv) > 2 else None
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
    if cuelint:
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
