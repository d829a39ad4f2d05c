#!/usr/bin/env python3
"""cuelint's SARIF checked by the SARIF Multitool's `validate` (npm
@microsoft/sarif-multitool, installed into WORK on first use) and against the SARIF 2.1.0
schema that package carries. Documents: the samples folder, names with spaces and
non-ASCII letters, an unreadable path, a run past the results limit. Two broken documents
must be caught, so that a validator that checks nothing cannot pass.

Exits 77 (skipped, with the reason) when npm, the registry or python3-jsonschema is not
there.

usage: sarif_valid.py CUELINT SAMPLES_DIR WORK
"""
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
PACKAGE = "@microsoft/sarif-multitool@5.7.0"


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIP)


def multitool(work):
    found = glob.glob(os.path.join(work, "node_modules/@microsoft/sarif-multitool-*/Sarif.Multitool"))
    if not found:
        if not shutil.which("npm"):
            skip("npm is not installed (Debian: npm), so the SARIF Multitool cannot be")
        p = subprocess.run(["npm", "install", "--no-audit", "--no-fund", "--prefix", work,
                            PACKAGE], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=600)
        if p.returncode != 0:
            tail = p.stdout.decode(errors="replace").strip().splitlines()[-3:]
            skip("npm install %s failed (registry not reachable?): %s" % (PACKAGE,
                                                                           " / ".join(tail)))
        found = glob.glob(os.path.join(
            work, "node_modules/@microsoft/sarif-multitool-*/Sarif.Multitool"))
        if not found:
            skip("npm installed %s without a binary for this system" % PACKAGE)
    os.chmod(found[0], 0o755)  # npm may not run the package's install script that does it
    return found[0]


def validate(tool, path):
    """The Multitool's findings on a document: [(rule, level, text)]."""
    log = path + ".log"
    p = subprocess.run([tool, "validate", "--log", "ForceOverwrite", "-o", log, path],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
    if p.returncode != 0 or not os.path.exists(log):
        return [("(run)", "error", p.stdout.decode(errors="replace")[-500:])]
    with open(log, encoding="utf-8-sig") as f:
        run = json.load(f)["runs"][0]
    return [(r["ruleId"], r.get("level", "warning"), json.dumps(r["message"]))
            for r in run.get("results", []) if r.get("level", "warning") in ("error", "warning")]


def schema_errors(validator, path):
    with open(path, encoding="utf-8") as f:
        doc = json.load(f)
    return [e.message for e in validator.iter_errors(doc)]


def main():
    cuelint, samples, work = (os.path.abspath(a) for a in sys.argv[1:4])
    try:
        import jsonschema
    except ImportError:
        skip("python3-jsonschema is not installed")
    os.makedirs(work, exist_ok=True)
    tool = multitool(work)
    schema_file = os.path.join(os.path.dirname(tool), "sarif-2.1.0.json")
    with open(schema_file, encoding="utf-8-sig") as f:
        validator = jsonschema.Draft7Validator(json.load(f))

    failed = 0
    with tempfile.TemporaryDirectory(prefix="cuelint-sarif-") as tmp:
        names = os.path.join(tmp, "names")
        os.makedirs(os.path.join(names, "sous-titres \u00e9t\u00e9"))
        with open(os.path.join(names, "sous-titres \u00e9t\u00e9", "caf\u00e9 #1.srt"), "wb") as f:
            f.write(b"1\n00:00:02,000 --> 00:00:01,000\n\xc3\xa9t\xc3\xa9 \xe2\x80\x94 |\n")
        with open(os.path.join(names, "a,b:c%d.sub"), "wb") as f:
            f.write(b"{0}{1}\xe4\xbd\xa0\xe5\xa5\xbd|[br]\n")
        os.symlink("nowhere.srt", os.path.join(names, "gone.srt"))
        many = os.path.join(tmp, "many.sub")
        with open(many, "wb") as f:  # 25,010 reading-time faults: past the limit
            f.write(b"{0}{1}abc\n" * 25010)
        # The samples by a relative path, the others by absolute ones (file URIs).
        runs = [("samples", [os.path.basename(samples)], os.path.dirname(samples)),
                ("names", [names], tmp), ("many", [many], tmp)]
        for label, args, cwd in runs:
            out = os.path.join(tmp, label + ".sarif")
            with open(out, "wb") as f:
                p = subprocess.run([cuelint, "--format", "sarif"] + args, cwd=cwd, stdout=f,
                                   stderr=subprocess.PIPE, timeout=300)
            if p.returncode not in (0, 1, 2):
                print("FAIL %s: cuelint exit status %d" % (label, p.returncode))
                failed += 1
                continue
            findings = validate(tool, out)
            errors = schema_errors(validator, out)
            with open(out, encoding="utf-8") as f:
                results = len(json.load(f)["runs"][0]["results"])
            if findings or errors:
                failed += 1
                print("FAIL %s: %s" % (label, (findings + errors)[:5]))
            else:
                print("ok   %s: %d results; Multitool validate: no errors or warnings; schema: "
                      "valid" % (label, results))
        # The checks must catch a broken document, or their silence means nothing.
        with open(os.path.join(tmp, "samples.sarif"), encoding="utf-8") as f:
            good = f.read()
        cut = os.path.join(tmp, "cut.sarif")
        with open(cut, "w", encoding="utf-8") as f:
            f.write(good[: len(good) // 2])
        bad_level = os.path.join(tmp, "level.sarif")
        with open(bad_level, "w", encoding="utf-8") as f:
            f.write(good.replace('"level":"error"', '"level":"severe"'))
        if not validate(tool, cut):
            failed += 1
            print("FAIL the Multitool found nothing wrong in a cut document")
        if not schema_errors(validator, bad_level):
            failed += 1
            print("FAIL the schema found nothing wrong in a document with level \"severe\"")
        if not failed:
            print("ok   broken documents are caught")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
