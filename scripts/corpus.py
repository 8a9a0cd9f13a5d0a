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
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

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
        counts = {}
        print("| status | file | first diagnostic |")
        print("|---|---|---|")
        for s in report["scripts"]:
            rel = s["path"]
            counts[label(s)] = counts.get(label(s), 0) + 1
            print(f"| {label(s)} | {rel} | {s['first_diagnostic'][:110]} |")
            text = "\n".join(diagnostics[rel])
            if s["exit_status"] not in (0, 1, 2) or any(m in text for m in CRASH_MARKS):
                problems.append(f"{rel}: crash (status {s['exit_status']}): {s['first_diagnostic'][:110]}")
        for line in diagnostics.get("", []):
            problems.append("diagnostic of no script: " + line)
        summary = ", ".join(f"{v} with status {k}" for k, v in sorted(counts.items()))
        print()
        print(f"corpus: {len(report['scripts'])} scripts: {summary}")

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
