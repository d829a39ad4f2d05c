#!/usr/bin/env python3
"""Links of the repository's documents lead somewhere: every "](#anchor)" to a heading of
its own document (as GitHub names headings), every relative "](path#anchor)" to a file of
the repository and a heading there, and the address cuelint's SARIF output gives for its
rules (informationUri) to a heading of the README.

usage: doc_links.py REPO CUELINT DOCUMENT...
"""
import json
import os
import re
import subprocess
import sys

LINK = re.compile(r"\]\(([^)\s]+)\)")


def anchors(text):
    """GitHub's anchors of a Markdown text's headings, outside fenced blocks."""
    out, seen, fenced = set(), {}, False
    for line in text.split("\n"):
        if line.startswith("```"):
            fenced = not fenced
            continue
        m = re.match(r"#{1,6} (.*)", line)
        if fenced or not m:
            continue
        slug = re.sub(r"[^\w\- ]", "", m.group(1).strip().lower()).replace(" ", "-")
        n = seen.get(slug, 0)
        seen[slug] = n + 1
        out.add(slug if n == 0 else "%s-%d" % (slug, n))
    return out


def links(text):
    fenced, out = False, []
    for line in text.split("\n"):
        if line.startswith("```"):
            fenced = not fenced
        elif not fenced:
            out += LINK.findall(line)
    return out


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def main():
    repo, cuelint = (os.path.abspath(a) for a in sys.argv[1:3])
    failed = []
    for doc in sys.argv[3:]:
        path = os.path.join(repo, doc)
        for target in links(read(path)):
            if re.match(r"[a-z]+:", target):
                continue
            file, _, anchor = target.partition("#")
            dest = os.path.normpath(os.path.join(os.path.dirname(path), file)) if file else path
            if not os.path.exists(dest):
                failed.append("%s: %s: no such file" % (doc, target))
            elif anchor and anchor not in anchors(read(dest)):
                failed.append("%s: %s: no such heading" % (doc, target))
    sample = os.path.join(repo, "samples", "faulty.srt")
    sarif = subprocess.run([cuelint, "--isolated", "--format", "sarif", sample],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    uri = json.loads(sarif.stdout)["runs"][0]["tool"]["driver"]["informationUri"]
    anchor = uri.partition("#")[2]
    if anchor not in anchors(read(os.path.join(repo, "README.md"))):
        failed.append("cuelint's SARIF informationUri %s: the README has no such heading" % uri)
    for f in failed:
        print("FAIL " + f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
