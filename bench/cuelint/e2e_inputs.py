#!/usr/bin/env python3
"""Writes the inputs of cuelint's end-to-end cases for bench/cuelint/compare.sh.

  e2e_inputs.py DIR

For each case of tests/cuelint/e2e/run_cases.py: its files (links and FIFOs too) in
DIR/CASE/, and each of its argument lists in DIR/CASE.args.N, the arguments separated by
NUL bytes.
"""
import importlib
import os
import sys


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    # The case runner, and its neighbour target.py that it imports, from their own folder.
    sys.path.insert(0, os.path.join(here, "..", "..", "tests", "cuelint", "e2e"))
    cases = importlib.import_module("run_cases")
    for c in cases.CASES:
        root = os.path.join(out, c["name"])
        os.makedirs(root)
        cases.make_files(root, c["files"])
        for i, args in enumerate([c["args"]] + list(c["also"])):
            raw = [a if isinstance(a, bytes) else a.encode() for a in args]
            with open("%s.args.%d" % (root, i), "wb") as f:
                f.write(b"".join(a + b"\0" for a in raw))
    print("%s: %d cases" % (out, len(cases.CASES)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
