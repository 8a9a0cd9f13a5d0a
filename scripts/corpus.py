#!/usr/bin/env python3
"""Converts every script of the real-world corpus and reports per file the exit
status and the first diagnostic, then a summary line.

    scripts/corpus.py BIN [CORPUS_DIR] [--check] [--crlf]

--check  fails (exit 1) on a crash, a sanitizer report, an exit status other
         than 0, 1 or 2, or a run longer than 10 seconds.
--crlf   also converts each file with its line ends flipped (LF <-> CR LF) and
         fails when the output or the diagnostics differ.
Each file is converted in a scratch copy of its folder, so that scripts that
include or load their neighbours find them. A script whose path names its
processor family (FAMILIES) is converted a second time with the -a of that
family, and a second summary line counts those runs.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

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


# RUNNER runs a program built for another system (wine for Windows); that
# program uses its own system's temporary directory, and Wine needs TMPDIR as
# it is.
RUNNER = os.environ.get("RUNNER", "").split()


def family(rel):
    for pattern, arch in FAMILIES:
        if re.search(pattern, rel, re.IGNORECASE):
            return arch
    return None


def convert(exe, folder, name, tmp, options=()):
    out = os.path.join(folder, "__out.cmm")
    env = dict(os.environ) if RUNNER else dict(os.environ, TMPDIR=tmp)
    try:
        p = subprocess.run(RUNNER + [exe, *options, name, "__out.cmm"], cwd=folder, env=env, capture_output=True,
                           timeout=10,
                           stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return "timeout", b"", b"", None
    data = None
    if os.path.exists(out):
        with open(out, "rb") as f:
            data = f.read()
        os.remove(out)
    return p.returncode, p.stdout, p.stderr, data


def first_diagnostic(stdout, stderr):
    for stream in (stderr, stdout):
        for line in stream.decode("latin-1").splitlines():
            if line.strip():
                return line.strip()[:110]
    return ""


def flip_line_ends(data):
    if b"\r\n" in data:
        return data.replace(b"\r\n", b"\n")
    return data.replace(b"\n", b"\r\n")


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    check = "--check" in sys.argv
    crlf = "--crlf" in sys.argv
    exe = os.path.abspath(args[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    corpus = args[1] if len(args) > 1 else os.path.join(root, "..", "shared", "corpus", "gel")
    if not os.path.isdir(corpus):
        print(f"corpus folder {corpus} not found: skipped")
        return 0

    files = []
    for dirpath, _, names in os.walk(corpus):
        for n in sorted(names):
            if n.lower().endswith(".gel"):
                files.append(os.path.join(dirpath, n))
    files.sort()

    tmp = tempfile.mkdtemp(prefix="gel2querna-corpus.")
    counts = {}
    counts_a = {}
    with_a = 0
    problems = []

    def run(scratch, name, rel, options, tally):
        status, out, err, data = convert(exe, scratch, name, os.path.join(tmp), options)
        text = (out + err).decode("latin-1")
        crashed = status == "timeout" or not (status in (0, 1, 2)) or any(m in text for m in CRASH_MARKS)
        label = "0 (errors)" if status == 0 and data is None else str(status)
        tally[label] = tally.get(label, 0) + 1
        shown = rel + "".join(" " + o for o in options)
        print(f"| {label} | {shown} | {first_diagnostic(out, err)} |")
        if crashed:
            problems.append(f"{shown}: crash or hang (status {status}): {first_diagnostic(out, err)}")
        return crashed, (status, out, err, data)

    print("| status | file | first diagnostic |")
    print("|---|---|---|")
    for path in files:
        rel = os.path.relpath(path, corpus)
        scratch = os.path.join(tmp, "work")
        shutil.rmtree(scratch, ignore_errors=True)
        shutil.copytree(os.path.dirname(path), scratch)
        name = os.path.basename(path)
        crashed, result = run(scratch, name, rel, (), counts)
        arch = family(rel)
        if arch:
            with_a += 1
            run(scratch, name, rel, ("-a" + arch,), counts_a)
        else:
            label = "0 (errors)" if result[0] == 0 and result[3] is None else str(result[0])
            counts_a[label] = counts_a.get(label, 0) + 1
        if crlf and not crashed:
            with open(os.path.join(scratch, name), "rb") as f:
                flipped = flip_line_ends(f.read())
            with open(os.path.join(scratch, name), "wb") as f:
                f.write(flipped)
            if convert(exe, scratch, name, os.path.join(tmp)) != result:
                problems.append(f"{rel}: converts differently with its line ends flipped")
    shutil.rmtree(tmp, ignore_errors=True)

    def summary(tally):
        return ", ".join(f"{v} with status {k}" for k, v in sorted(tally.items()))

    print()
    print(f"corpus: {len(files)} scripts: {summary(counts)}")
    print(f"corpus with -a: {len(files)} scripts ({with_a} with the -a of their family): {summary(counts_a)}")
    for p in problems:
        print("PROBLEM: " + p)
    if check and problems:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
