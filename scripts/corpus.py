#!/usr/bin/env python3
"""Converts every script of the real-world corpus with one run of the batch mode
and reports per file the exit status and the first diagnostic, then a summary
line.

    scripts/corpus.py BIN [CORPUS_DIR] [--check] [--crlf] [--compare] [-- OPTION...]

--check    fails (exit 1) on a crash, a sanitizer report, an exit status other
           than 0, 1 or 2, or a batch that takes longer than 10 minutes.
--crlf     also converts a copy of the corpus with its line ends flipped
           (LF <-> CR LF) and fails when an output or the diagnostics differ.
--compare  also converts each file alone, the way a shell loop would (each in
           a scratch copy of its folder), fails when a result differs from the
           batch's, and prints the time of the batch and of the loop.
OPTIONs after "--" (-d, -w, ...) are given to every conversion.
A script whose path names its processor family (FAMILIES) is converted a
second time with the -a of that family (one batch per family, over a tree of
links to the family's scripts and the other files of their folders), and a
second summary line counts those runs.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

# The -a of a script's family, where its path names the device or the core.
# First match wins, case-insensitive, on the path below the corpus folder.
FAMILIES = [
    (r"f2823\d|2823x", "C28X"),                         # F2823x: C28x without FPU
    (r"f2833\d|2833x|f2838x|f28001\d", "C28XFPU"),     # F2833x, F2838x, F28001x: C28x with FPU
    (r"f281\d|281x|f280\d|280x", "C28X"),              # F281x, F280x
    (r"66ak2h14_a15|am335|arm__a8__", "CORTEXA"),       # Cortex-A15 of a 66AK2H, Cortex-A8 of AM335x
    (r"tms570|rm57", "CORTEXR"),                        # Cortex-R5F
    (r"msp432e|tm4c|ducati", "CORTEXM"),                # Cortex-M4F, the Cortex-M3 cores of Ducati
    (r"c66\d\d|evmc66", "C66X"),                        # C6670, C6678
    (r"c674x|c6748|omapl138_dsp|omap-l138_lcdk", "C674X"),  # C6748 and the DSP of OMAP-L138
    (r"c6713", "C6713"),
    (r"c55x|c5505|c5535", "C55X"),
]

CRASH_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer", "FATAL INTERNAL ERROR")


def batch(exe, options, corpus, out, tmp):
    """Runs the batch mode; returns the report, each script's diagnostic lines
    (without the file name) and the wall time, or None after a time-out."""
    env = dict(os.environ, TMPDIR=tmp)
    start = time.monotonic()
    try:
        p = subprocess.run([exe] + options + ["--out-dir", out, corpus], env=env, capture_output=True, timeout=600,
                           stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None, {}, 0.0
    seconds = time.monotonic() - start
    with open(os.path.join(out, "conversion-report.json")) as f:
        report = json.load(f)
    # The diagnostics come in the order of the scripts, each line behind its file's path.
    diagnostics = {s["path"]: [] for s in report["scripts"]}
    scripts = [s["path"] for s in report["scripts"]]
    i = 0
    for line in p.stderr.decode("latin-1").splitlines():
        while i < len(scripts) and not line.startswith(os.path.join(corpus, scripts[i]) + ": "):
            i += 1
        if i == len(scripts):
            diagnostics.setdefault("", []).append(line)
            i = 0
            continue
        diagnostics[scripts[i]].append(line[len(os.path.join(corpus, scripts[i])) + 2:])
    return report, diagnostics, seconds


def family(rel):
    for pattern, arch in FAMILIES:
        if re.search(pattern, rel, re.IGNORECASE):
            return arch
    return None


def family_tree(corpus, rels, root):
    """Links the scripts `rels` of the corpus, and every other file of their
    folders except the other GEL scripts, into a tree below `root`."""
    folders = set()
    for rel in rels:
        folder = os.path.dirname(rel)
        while folder and folder not in folders:
            folders.add(folder)
            folder = os.path.dirname(folder)
    folders.add("")
    for folder in sorted(folders):
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        for entry in os.listdir(os.path.join(corpus, folder)):
            rel = os.path.join(folder, entry)
            if rel in folders or (entry.lower().endswith(".gel") and rel not in rels):
                continue
            os.symlink(os.path.abspath(os.path.join(corpus, rel)), os.path.join(root, rel))


def crashed(script, lines):
    text = "\n".join(lines)
    return script["exit_status"] not in (0, 1, 2) or any(m in text for m in CRASH_MARKS)


def read(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def label(script):
    if script["exit_status"] == 0 and script["output"] is None:
        return "0 (errors)"
    return str(script["exit_status"])


def flip_line_ends(data):
    if b"\r\n" in data:
        return data.replace(b"\r\n", b"\n")
    return data.replace(b"\n", b"\r\n")


def convert_alone(exe, options, corpus, rel, tmp):
    """Converts one script the way a shell loop would: in a scratch copy of its folder."""
    scratch = os.path.join(tmp, "alone")
    shutil.rmtree(scratch, ignore_errors=True)
    shutil.copytree(os.path.dirname(os.path.join(corpus, rel)), scratch)
    name = os.path.basename(rel)
    out = os.path.splitext(name)[0] + ".cmm"
    p = subprocess.run([exe] + options + [name, out], cwd=scratch, env=dict(os.environ, TMPDIR=tmp), capture_output=True,
                       timeout=10, stdin=subprocess.DEVNULL)
    lines = [line for line in p.stderr.decode("latin-1").splitlines() if line]
    return p.returncode, lines, read(os.path.join(scratch, out))


def main():
    argv = sys.argv[1:]
    options = argv[argv.index("--") + 1:] if "--" in argv else []
    argv = argv[:argv.index("--")] if "--" in argv else argv
    args = [a for a in argv if not a.startswith("--")]
    check = "--check" in argv
    crlf = "--crlf" in argv
    compare = "--compare" in argv
    exe = os.path.abspath(args[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    corpus = args[1] if len(args) > 1 else os.path.join(root, "..", "shared", "corpus", "gel")
    if not os.path.isdir(corpus):
        print(f"corpus folder {corpus} not found: skipped")
        return 0

    tmp = tempfile.mkdtemp(prefix="gel2querna-corpus.")
    problems = []
    try:
        out = os.path.join(tmp, "out")
        report, diagnostics, seconds = batch(exe, options, corpus, out, tmp)
        if report is None:
            print("PROBLEM: the batch did not end within 10 minutes")
            return 1
        # Each family's scripts again, with the family's -a.
        by_family = {}
        if not any(o.startswith("-a") for o in options):
            for s in report["scripts"]:
                if family(s["path"]):
                    by_family.setdefault(family(s["path"]), set()).add(s["path"])
        with_a = {}
        for arch, rels in sorted(by_family.items()):
            root = os.path.join(tmp, "family", arch)
            family_tree(corpus, rels, root)
            report_a, diagnostics_a, _ = batch(exe, options + ["-a" + arch], root, os.path.join(tmp, "out-" + arch), tmp)
            if report_a is None:
                problems.append(f"the batch with -a{arch} did not end within 10 minutes")
                continue
            for s in report_a["scripts"]:
                with_a[s["path"]] = (arch, s, diagnostics_a[s["path"]])

        counts, counts_a = {}, {}
        print("| status | file | first diagnostic |")
        print("|---|---|---|")
        for s in report["scripts"]:
            rel = s["path"]
            counts[label(s)] = counts.get(label(s), 0) + 1
            print(f"| {label(s)} | {rel} | {s['first_diagnostic'][:110]} |")
            if crashed(s, diagnostics[rel]):
                problems.append(f"{rel}: crash (status {s['exit_status']}): {s['first_diagnostic'][:110]}")
            shown_a = s
            if rel in with_a:
                arch, shown_a, lines = with_a[rel]
                print(f"| {label(shown_a)} | {rel} -a{arch} | {shown_a['first_diagnostic'][:110]} |")
                if crashed(shown_a, lines):
                    problems.append(f"{rel} -a{arch}: crash (status {shown_a['exit_status']})")
            counts_a[label(shown_a)] = counts_a.get(label(shown_a), 0) + 1
        for line in diagnostics.get("", []):
            problems.append("diagnostic of no script: " + line)

        def summary(tally):
            return ", ".join(f"{v} with status {k}" for k, v in sorted(tally.items()))

        print()
        print(f"corpus: {len(report['scripts'])} scripts: {summary(counts)}")
        if by_family:
            print(f"corpus with -a: {len(report['scripts'])} scripts ({len(with_a)} with the -a of their family): "
                  f"{summary(counts_a)}")

        if crlf:
            flipped = os.path.join(tmp, "flipped")
            shutil.copytree(corpus, flipped)
            for s in report["scripts"] + report["included"]:
                path = os.path.join(flipped, s["path"])
                with open(path, "rb") as f:
                    data = flip_line_ends(f.read())
                with open(path, "wb") as f:
                    f.write(data)
            report2, diagnostics2, _ = batch(exe, options, flipped, os.path.join(tmp, "out2"), tmp)
            if report2 is None:
                problems.append("the batch over the flipped corpus did not end within 10 minutes")
            else:
                for s, s2 in zip(report["scripts"], report2["scripts"]):
                    rel = s["path"]
                    cmm = os.path.splitext(rel)[0] + ".cmm"
                    if (s != s2 or diagnostics[rel] != diagnostics2[rel] or
                            read(os.path.join(out, cmm)) != read(os.path.join(tmp, "out2", cmm))):
                        problems.append(f"{rel}: converts differently with its line ends flipped")

        if compare:
            start = time.monotonic()
            for s in report["scripts"]:
                rel = s["path"]
                status, lines, data = convert_alone(exe, options, corpus, rel, tmp)
                batch_data = read(os.path.join(out, os.path.splitext(rel)[0] + ".cmm"))
                if (status, lines, data) != (s["exit_status"], diagnostics[rel], batch_data):
                    problems.append(f"{rel}: converts differently alone")
                warnings = sum(1 for line in lines if line.startswith("line ") and ": Warning: " in line)
                first = next((line.strip() for line in lines if line.strip()), "")
                if warnings != s["warnings"] or first != s["first_diagnostic"]:
                    problems.append(f"{rel}: the report's figures differ from the run alone")
            loop = time.monotonic() - start
            print(f"batch: {seconds:.2f} s, one run per file: {loop:.2f} s")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    for p in problems:
        print("PROBLEM: " + p)
    if (check or compare) and problems:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
