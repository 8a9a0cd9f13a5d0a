#!/usr/bin/env python3
"""Converts every script of the real-world corpus and reports per file the exit
status and the first diagnostic, then a summary line.

    scripts/corpus.py BIN [CORPUS_DIR] [--check] [--crlf]

--check  fails (exit 1) on a crash, a sanitizer report, an exit status other
         than 0, 1 or 2, or a run longer than 10 seconds.
--crlf   also converts each file with its line ends flipped (LF <-> CR LF) and
         fails when the output or the diagnostics differ.
Each file is converted in a scratch copy of its folder, so that scripts that
include or load their neighbours find them.
"""
import os
import shutil
import subprocess
import sys
import tempfile

CRASH_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "ERROR: LeakSanitizer", "FATAL INTERNAL ERROR")


# RUNNER runs a program built for another system (wine for Windows); that
# program uses its own system's temporary directory, and Wine needs TMPDIR as
# it is.
RUNNER = os.environ.get("RUNNER", "").split()


def convert(exe, folder, name, tmp):
    out = os.path.join(folder, "__out.cmm")
    env = dict(os.environ) if RUNNER else dict(os.environ, TMPDIR=tmp)
    try:
        p = subprocess.run(RUNNER + [exe, name, "__out.cmm"], cwd=folder, env=env, capture_output=True, timeout=10,
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
    problems = []
    print("| status | file | first diagnostic |")
    print("|---|---|---|")
    for path in files:
        rel = os.path.relpath(path, corpus)
        scratch = os.path.join(tmp, "work")
        shutil.rmtree(scratch, ignore_errors=True)
        shutil.copytree(os.path.dirname(path), scratch)
        name = os.path.basename(path)
        status, out, err, data = convert(exe, scratch, name, os.path.join(tmp))
        text = (out + err).decode("latin-1")
        crashed = status == "timeout" or not (status in (0, 1, 2)) or any(m in text for m in CRASH_MARKS)
        if status == 0 and data is None:
            label = "0 (errors)"
        else:
            label = str(status)
        counts[label] = counts.get(label, 0) + 1
        print(f"| {label} | {rel} | {first_diagnostic(out, err)} |")
        if crashed:
            problems.append(f"{rel}: crash or hang (status {status}): {first_diagnostic(out, err)}")
        if crlf and not crashed:
            with open(os.path.join(scratch, name), "rb") as f:
                flipped = flip_line_ends(f.read())
            with open(os.path.join(scratch, name), "wb") as f:
                f.write(flipped)
            status2, out2, err2, data2 = convert(exe, scratch, name, os.path.join(tmp))
            if (status2, out2, err2, data2) != (status, out, err, data):
                problems.append(f"{rel}: converts differently with its line ends flipped")
    shutil.rmtree(tmp, ignore_errors=True)
    summary = ", ".join(f"{v} with status {k}" for k, v in sorted(counts.items()))
    print()
    print(f"corpus: {len(files)} scripts: {summary}")
    for p in problems:
        print("PROBLEM: " + p)
    if check and problems:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
