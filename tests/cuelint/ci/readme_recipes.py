#!/usr/bin/env python3
"""The README's CI recipes, tested as far as this machine allows: every YAML block parses
and the commands in it run on a scratch folder with the built cuelint first on PATH (the
GitHub step's annotations, the GitLab job's report and failing second command); the
pre-commit block names the repository's hook; the archive recipe runs with this machine as
its only host, and its jq sum equals one run's summary.

Exits 77 (skipped, with the reason) when PyYAML, parallel or jq is missing.

usage: readme_recipes.py CUELINT REPO
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
SECTION = "## cuelint in CI and over archives"
FAULTY = b"1\n00:00:02,000 --> 00:00:01,000\nBackwards.\n\n2\n00:00:03,000 --> 00:00:04,000\nA|B\n"
CLEAN = b"{0}{100}Fine.\n"


def blocks(readme):
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    start = text.index(SECTION)
    end = text.find("\n## ", start)
    section = text[start:end if end != -1 else len(text)]
    return re.findall(r"```(\w+)\n(.*?)```", section, re.S)


def main():
    cuelint, repo = (os.path.abspath(a) for a in sys.argv[1:3])
    try:
        import yaml
    except ImportError:
        print("SKIPPED: PyYAML is not installed (Debian: python3-yaml)")
        return SKIP
    for tool in ("parallel", "jq", "bash"):
        if not shutil.which(tool):
            print("SKIPPED: %s is not installed" % tool)
            return SKIP
    found = blocks(os.path.join(repo, "README.md"))
    kinds = [k for k, _ in found]
    if kinds != ["yaml", "yaml", "yaml", "sh", "sh"]:
        print("FAIL the section's blocks are %s" % kinds)
        return 1
    github, gitlab, pre_commit = (yaml.safe_load(b) for _, b in found[:3])
    spread, total = found[3][1], found[4][1]
    failed = 0

    def fail(what):
        nonlocal failed
        failed += 1
        print("FAIL " + what)

    with tempfile.TemporaryDirectory(prefix="cuelint-readme-") as tmp:
        bindir = os.path.join(tmp, "bin")
        os.makedirs(bindir)
        os.symlink(cuelint, os.path.join(bindir, "cuelint"))
        env = dict(os.environ, PATH=bindir + os.pathsep + os.environ["PATH"])
        work = os.path.join(tmp, "work")
        os.makedirs(os.path.join(work, "subtitles", "s1"))
        with open(os.path.join(work, "subtitles", "s1", "bad.srt"), "wb") as f:
            f.write(FAULTY)
        with open(os.path.join(work, "subtitles", "ok.sub"), "wb") as f:
            f.write(CLEAN)

        def sh(command):
            return subprocess.run(["bash", "-c", command], cwd=work, env=env,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)

        # GitHub: one step with a command that annotates and fails.
        step = github[0]
        p = sh(step["run"])
        lines = p.stdout.decode().splitlines()
        if (p.returncode != 1 or len(lines) != 2
                or not all(l.startswith("::error file=subtitles/s1/bad.srt,line=") for l in lines)):
            fail("GitHub step: exit status %d, %r" % (p.returncode, lines))
        else:
            print("ok   GitHub step: %d annotations, exit status 1" % len(lines))
        p = sh(github[1]["run"])
        sarif = os.path.join(work, github[2]["with"]["sarif_file"])
        try:
            with open(sarif) as f:
                results = json.load(f)["runs"][0]["results"]
        except (OSError, ValueError, KeyError) as e:
            results = e
        if p.returncode != 0 or not isinstance(results, list) or len(results) != 2:
            fail("GitHub SARIF step: exit status %d, results %r" % (p.returncode, results))
        else:
            print("ok   GitHub SARIF step: %d results in the file uploaded, exit status 0"
                  % len(results))

        # GitLab: the report is written, the second command fails the job.
        job = gitlab["cuelint"]
        report = os.path.join(work, job["artifacts"]["reports"]["codequality"])
        statuses = [sh(c).returncode for c in job["script"]]
        try:
            with open(report) as f:
                issues = json.load(f)
        except (OSError, ValueError) as e:
            issues = e
        if statuses != [0, 1] or not isinstance(issues, list) or len(issues) != 2:
            fail("GitLab job: exit statuses %s, report %r" % (statuses, issues))
        else:
            print("ok   GitLab job: report of %d issues, exit statuses %s" % (len(issues),
                                                                             statuses))

        # pre-commit: the hook it names is the repository's.
        with open(os.path.join(repo, ".pre-commit-hooks.yaml")) as f:
            ids = [h["id"] for h in yaml.safe_load(f)]
        named = [h["id"] for r in pre_commit["repos"] for h in r["hooks"]]
        if named != ["cuelint"] or "cuelint" not in ids:
            fail("pre-commit block names %s, the repository has %s" % (named, ids))
        else:
            print("ok   pre-commit block names the repository's hook")

        # The archive recipe with this machine alone, then its sum.
        local = spread.replace("/archive", "subtitles").replace("host1,host2,:", ":")
        if local == spread:
            fail("the archive recipe's hosts or folder are not where the test expects")
        p = sh(local)
        if p.returncode not in (0, 1):
            fail("archive recipe: exit status %d: %s" % (p.returncode, p.stderr.decode()))
        q = sh(total)
        one = subprocess.run([cuelint, "--format", "json", "subtitles"], cwd=work,
                             stdout=subprocess.PIPE)
        summary = json.loads(one.stdout.decode().splitlines()[-1])["summary"]
        want = {k: summary[k] for k in ("files", "faulty", "faults", "unreadable")}
        try:
            got = json.loads(q.stdout)
        except ValueError:
            got = q.stdout.decode() + q.stderr.decode()
        if got != want:
            fail("archive recipe's sum %r, one run says %r" % (got, want))
        else:
            print("ok   archive recipe and its sum: %s" % json.dumps(got))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
