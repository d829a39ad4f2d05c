#!/usr/bin/env python3
"""The README's rule table against the program: the rules in the order and with the
descriptions and profile columns `cuelint --list-rules` prints, and each profile's
parameters as `cuelint --isolated --profile P --show-settings` prints them. A cell
"`key` = `value`" gives a default; "(P: `value`)" after it gives profile P's value.

usage: readme_rules.py CUELINT README
"""
import os
import re
import subprocess
import sys
import tempfile
import tomllib

HEADER = "| Rule |"
PAIR = re.compile(r"`([a-z-]+)` = `([^`]*)`((?: \([a-z]+: `[^`]*`\))*)")
OVERRIDE = re.compile(r"\(([a-z]+): `([^`]*)`\)")
NONE = "—"


def readme_table(path):
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    start = next((i for i, l in enumerate(lines) if l.startswith(HEADER)), None)
    if start is None:
        raise SystemExit("FAIL the README has no table beginning %r" % HEADER)
    rows = []
    for line in lines[start:]:
        if not line.startswith("|"):
            break
        rows.append([c.strip() for c in line.strip().strip("|").split("|")])
    return rows[0], rows[2:]


def params(cell, profiles):
    """{profile: {key: value}} from a parameter cell."""
    out = {p: {} for p in profiles}
    if cell == NONE:
        return out
    found = PAIR.findall(cell)
    if not found or re.sub(r",\s*", "", PAIR.sub("", cell)).strip():
        raise ValueError("cannot read the parameters %r" % cell)
    for key, default, overrides in found:
        for p in profiles:
            out[p][key] = default
        for p, value in OVERRIDE.findall(overrides):
            if p not in out:
                raise ValueError("no profile %r in %r" % (p, cell))
            out[p][key] = value
    return out


def run(cuelint, *args, cwd):
    p = subprocess.run([cuelint, "--isolated", *args], cwd=cwd, stdout=subprocess.PIPE,
                       stderr=subprocess.PIPE, timeout=60)
    if p.returncode != 0:
        raise SystemExit("FAIL cuelint %s: exit status %d: %s" % (" ".join(args), p.returncode,
                                                               p.stderr.decode()))
    return p.stdout.decode()


def main():
    cuelint, readme = (os.path.abspath(a) for a in sys.argv[1:3])
    with tempfile.TemporaryDirectory(prefix="readme-rules-") as tmp:
        listed = run(cuelint, "--list-rules", cwd=tmp).splitlines()
        head = listed[0].split()
        profiles = [h.lower() for h in head[1:head.index("WHAT")]]
        want = [l.split(None, len(profiles) + 1) for l in listed[1:]]
        settings = {p: tomllib.loads(run(cuelint, "--profile", p, "--show-settings", cwd=tmp))
                    for p in profiles}
    header, rows = readme_table(readme)
    failed = []
    if [h.lower() for h in header[1:1 + len(profiles)]] != profiles:
        failed.append("the table's profile columns are %s, cuelint has %s"
                      % (header[1:1 + len(profiles)], profiles))
    got = [[r[0].strip("`")] + r[1:1 + len(profiles) + 1] for r in rows]
    if [r[0] for r in got] != [w[0] for w in want]:
        failed.append("the table's rules are %s,\n     cuelint --list-rules has %s"
                      % ([r[0] for r in got], [w[0] for w in want]))
    for g, w in zip(got, want):
        if g != w:
            failed.append("the table's row %s, cuelint --list-rules prints %s" % (g, w))
    for row in rows:
        rule = row[0].strip("`")
        try:
            shown = params(row[-1], profiles)
        except ValueError as e:
            failed.append("%s: %s" % (rule, e))
            continue
        for p in profiles:
            actual = {k: str(v) for k, v in settings[p]["rules"].get(rule, {}).items()
                      if k != "severity"}
            if shown[p] != actual:
                failed.append("%s under %s: the table gives %s, --show-settings %s"
                              % (rule, p, shown[p], actual))
    for f in failed:
        print("FAIL " + f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
