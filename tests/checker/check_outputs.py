#!/usr/bin/env python3
"""Runs querna_check over every converted script the project knows of and
compares its findings with the checked-in list of known findings.

    check_outputs.py GEL2QUERNA QUERNA_CHECK SOURCE_DIR [--update]

Scripts: every end-to-end expected.out, every examples/*.cmm, and every script
of the corpus (SOURCE_DIR/../shared/corpus/gel, or the folder that the
environment variable GEL2QUERNA_CORPUS names) converted with -d; the
converter's "Call to undefined function" warnings excuse those calls.
A finding is keyed by file, kind and text (never by line number). The run fails
on findings that are not in tests/checker/known_findings.txt, and lists the
known ones that no longer occur so that they can be pruned. --update rewrites
the list from this run instead.
"""
import os
import shutil
import subprocess
import sys
import tempfile

BASELINE = os.path.join("tests", "checker", "known_findings.txt")
HEADER = ("# Findings of querna_check that are known and not yet fixed: file, kind and text,\n"
          "# separated by tabs, sorted. Regenerate: see tests/checker/README.md.\n")


def e2e_scripts(src):
    cases = os.path.join(src, "tests", "e2e", "cases")
    for name in sorted(os.listdir(cases)):
        out = os.path.join(cases, name, "expected.out")
        if os.path.isfile(out):
            warnings = os.path.join(cases, name, "expected.stderr")
            yield "e2e/" + name, out, warnings if os.path.isfile(warnings) else None


def example_scripts(src):
    folder = os.path.join(src, "examples")
    for name in sorted(os.listdir(folder)):
        if name.endswith(".cmm"):
            warnings = os.path.join(folder, name[:-4] + ".stderr")
            yield "examples/" + name, os.path.join(folder, name), warnings if os.path.isfile(warnings) else None


def corpus_scripts(exe, corpus, tmp):
    """Converts each corpus script with -d in a scratch copy of its folder."""
    files = []
    for dirpath, _, names in os.walk(corpus):
        files += [os.path.join(dirpath, n) for n in names if n.lower().endswith(".gel")]
    env = dict(os.environ, TMPDIR=os.path.join(tmp, "tmp"))
    os.makedirs(env["TMPDIR"], exist_ok=True)
    for index, path in enumerate(sorted(files)):
        rel = os.path.relpath(path, corpus).replace(os.sep, "/")
        scratch = os.path.join(tmp, "work")
        shutil.rmtree(scratch, ignore_errors=True)
        shutil.copytree(os.path.dirname(path), scratch)
        try:
            run = subprocess.run([exe, "-d", os.path.basename(path), "__out.cmm"], cwd=scratch, env=env,
                                 capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            continue  # the corpus test reports hangs
        out = os.path.join(scratch, "__out.cmm")
        if not os.path.isfile(out):
            continue
        kept = os.path.join(tmp, "corpus%d.cmm" % index)
        warnings = kept + ".stderr"
        shutil.move(out, kept)
        with open(warnings, "wb") as f:
            f.write(run.stderr)
        yield "corpus/" + rel, kept, warnings


def findings_of(checker, key, script, warnings):
    command = [checker]
    if warnings:
        command += ["--warnings", warnings]
    run = subprocess.run(command + [script], capture_output=True, timeout=60)
    if run.returncode not in (0, 1):
        raise SystemExit("querna_check failed on %s (status %d): %s" %
                         (key, run.returncode, run.stderr.decode("utf-8", "replace")))
    found = set()
    prefix = script + ":"
    for line in run.stdout.decode("utf-8", "replace").splitlines():
        if not line.startswith(prefix):
            continue
        parts = line[len(prefix):].split(": ", 2)
        kind, text = (parts + ["", ""])[1:3]
        found.add("%s\t%s\t%s" % (key, kind, text.replace("\t", " ")))
    return found


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    update = "--update" in sys.argv
    exe, checker, src = (os.path.abspath(a) for a in args[:3])
    corpus = os.environ.get("GEL2QUERNA_CORPUS") or os.path.join(src, "..", "shared", "corpus", "gel")
    corpus = os.path.normpath(corpus)
    baseline_path = os.path.join(src, BASELINE)

    tmp = tempfile.mkdtemp(prefix="querna-check.")
    try:
        scripts = list(e2e_scripts(src)) + list(example_scripts(src))
        have_corpus = os.path.isdir(corpus)
        if not have_corpus:
            print("corpus folder %s not found: corpus skipped" % corpus)
        found = set()
        counted = 0
        for group in (scripts, corpus_scripts(exe, corpus, tmp) if have_corpus else []):
            for key, script, warnings in group:
                found |= findings_of(checker, key, script, warnings)
                counted += 1
    finally:
        shutil.rmtree(tmp, ignore_errors=True)

    known = set()
    if os.path.isfile(baseline_path):
        with open(baseline_path, encoding="utf-8") as f:
            known = {l.rstrip("\n") for l in f if l.strip() and not l.startswith("#")}

    by_kind = {}
    for entry in found:
        kind = entry.split("\t")[1]
        area = entry.split("/")[0]
        by_kind.setdefault((area, kind), 0)
        by_kind[(area, kind)] += 1
    print("%d scripts checked; distinct findings by area and kind:" % counted)
    for (area, kind), n in sorted(by_kind.items()):
        print("  %-9s %-24s %d" % (area, kind, n))

    if update:
        if not have_corpus:  # keep the corpus entries that could not be checked
            found |= {k for k in known if k.startswith("corpus/")}
        with open(baseline_path, "w", encoding="utf-8") as f:
            f.write(HEADER)
            for entry in sorted(found):
                f.write(entry + "\n")
        print("wrote %d entries to %s" % (len(found), BASELINE))
        return 0

    gone = sorted(k for k in known - found if have_corpus or not k.startswith("corpus/"))
    if gone:
        print("\nKnown findings that no longer occur (prune them from %s):" % BASELINE)
        for entry in gone:
            print("  " + entry)
    new = sorted(found - known)
    if new:
        print("\nNew findings (fix the converter, or see tests/checker/README.md):")
        for entry in new:
            print("  " + entry)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
