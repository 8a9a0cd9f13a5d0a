#!/usr/bin/env python3
"""Benchmark: builds gel2querna in release mode, generates scripts of 5 KB,
100 KB, 1 MB and 10 MB with their C twins, and prints per size the median wall
time and peak memory of gel2querna, of `gcc -E` and of
`gcc -fsyntax-only -std=gnu89 -w` on the twin, the ratios, and the budgets.

    bench/run.py [--runs N] [--sizes 5000,100000,...] [--no-build]
"""
import argparse
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZES = [5_000, 100_000, 1_000_000, 10_000_000]


def measure(cmd, cwd, env=None):
    """Wall time (s) and peak resident memory (bytes) of one run."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    return wall, usage.ru_maxrss * 1024, code


def median_run(cmd, cwd, runs, env=None):
    walls, peaks, codes = [], [], set()
    for _ in range(runs):
        w, p, c = measure(cmd, cwd, env)
        walls.append(w)
        peaks.append(p)
        codes.add(c)
    return statistics.median(walls), max(peaks), codes


def human(n):
    for unit in ["B", "KB", "MB", "GB"]:
        if n < 1000 or unit == "GB":
            return f"{n:.0f} {unit}" if unit == "B" else f"{n:.1f} {unit}"
        n /= 1000


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--sizes", default=",".join(map(str, SIZES)))
    ap.add_argument("--no-build", action="store_true")
    a = ap.parse_args()
    sizes = [int(s) for s in a.sizes.split(",")]

    build = os.path.join(ROOT, "build", "release")
    if not a.no_build:
        subprocess.check_call([os.path.join(ROOT, "scripts", "build.sh"), build, "-DCMAKE_BUILD_TYPE=Release",
                               "-DGEL2QUERNA_TESTS=OFF"], stdout=subprocess.DEVNULL)
    exe = os.path.join(build, "gel2querna")

    work = tempfile.mkdtemp(prefix="gel2querna-bench.")
    env = dict(os.environ, TMPDIR=work)
    print(f"machine: {platform.machine()}, {os.cpu_count()} cores, {platform.platform()}")
    print(f"runs per measurement: {a.runs} (median wall time, peak memory)")
    print()
    print("| size | gel2querna | peak memory | gcc -E | gcc -fsyntax-only | vs gcc -E | vs -fsyntax-only |")
    print("|---:|---:|---:|---:|---:|---:|---:|")
    results = {}
    for size in sizes:
        gel = os.path.join(work, f"bench_{size}.gel")
        twin = os.path.join(work, f"bench_{size}.c")
        gen = os.path.join(ROOT, "bench", "generate.py")
        subprocess.check_call([sys.executable, gen, str(size), gel])
        subprocess.check_call([sys.executable, gen, str(size), twin, "--c-twin"])
        actual = os.path.getsize(gel)
        ours, peak, codes = median_run([exe, gel, os.path.join(work, "out.cmm")], work, a.runs, env)
        cpp, cpp_peak, _ = median_run(["gcc", "-E", "-o", os.devnull, twin], work, a.runs)
        syn, syn_peak, _ = median_run(["gcc", "-fsyntax-only", "-std=gnu89", "-w", twin], work, a.runs)
        results[size] = (ours, peak, cpp, syn, actual, codes)
        print(f"| {human(actual)} | {ours * 1000:.1f} ms | {human(peak)} | {cpp * 1000:.1f} ms | "
              f"{syn * 1000:.1f} ms | {ours / cpp:.2f}x | {ours / syn:.2f}x |")
    print()

    def budget(label, ok):
        print(f"{label}: {'ok' if ok else 'over'}")

    for size, (ours, peak, cpp, syn, actual, codes) in results.items():
        if codes - {0}:
            print(f"note: gel2querna exit status {sorted(codes)} on the {human(actual)} script")
    if 1_000_000 in results:
        ours, _, cpp, syn, _, _ = results[1_000_000]
        budget("1 MB: at most 2x gcc -E", ours <= 2 * cpp)
        budget("1 MB: faster than gcc -fsyntax-only", ours < syn)
    if 10_000_000 in results and 1_000_000 in results:
        ours10, peak10, _, _, actual10, _ = results[10_000_000]
        budget("10 MB: at most 11x the 1 MB time", ours10 <= 11 * results[1_000_000][0])
        budget("10 MB: peak memory at most 20x the input", peak10 <= 20 * actual10)
    if 5_000 in results:
        ours, _, cpp, _, _, _ = results[5_000]
        budget("5 KB: at most gcc -E", ours <= cpp)
    subprocess.call(["rm", "-rf", work])


if __name__ == "__main__":
    main()
