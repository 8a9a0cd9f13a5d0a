#!/usr/bin/env python3
"""Stress cases made at run time: each must convert, or fail with a clear
diagnostic, within its time limit and without a crash, a sanitizer report or
an exit status other than 0, 1 or 2.

    stress.py BIN [NAME...]
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

CRASH_MARKS = ("AddressSanitizer", "runtime error:", "LeakSanitizer", "FATAL INTERNAL ERROR", "Segmentation")


def wrap(body):
    return "StartUp()\n{\n" + body + "}\n"


def chain(n):
    return wrap("    x = " + " + ".join(f"a{i % 10}" for i in range(n)) + ";\n")


def statements(n):
    return wrap("".join(f"    x = {i};\n" for i in range(n)))


def nested(depth, opener="if (x)\n", close=""):
    return wrap(opener * depth + "    x = 1;\n")


def nested_blocks(depth):
    return wrap("    " + "while (x) {" * depth + "x = 1;" + "}" * depth + "\n")


def parens(depth):
    return wrap("    x = " + "(" * depth + "1" + ")" * depth + ";\n")


def string_literal(size):
    return wrap('    GEL_TextOut("' + "a" * size + '\\n");\n')


def identifier(size):
    return wrap("    " + "v" * size + " = 1;\n")


def long_line(size):
    return wrap("    x = 1;" * (size // 10) + "\n")


def big_script(size):
    parts, total, i = [], 0, 0
    while total < size:
        f = f"F{i}()\n{{\n    if (x == {i}) {{ y = y + 1; }}\n    while (y) {{ y = y - 1; if (y == 3) break; }}\n    GEL_TextOut(\"step\\n\");\n}}\n"
        parts.append(f)
        total += len(f)
        i += 1
    return "".join(parts)


def defines(n):
    return "".join(f"#define REG{i} 0x{i:X}\n" for i in range(n)) + wrap("    x = REG9999;\n")


CASES = {
    # name: (builder, time limit in seconds, acceptable statuses)
    "chain_100000_operators": (lambda: chain(100_000), 20, {0, 1}),
    "function_200000_statements": (lambda: statements(200_000), 30, {0, 1}),
    "ifs_nested_beyond_parser_limit": (lambda: nested(20_000), 20, {1}),
    "ifs_nested_to_1500": (lambda: nested(1_500), 20, {0, 1}),
    "loops_nested_beyond_parser_limit": (lambda: nested_blocks(20_000), 20, {1}),
    "loops_nested_to_1000": (lambda: nested_blocks(1_000), 20, {0, 1}),
    "parentheses_50000_deep": (lambda: parens(50_000), 20, {1}),
    "parentheses_3000_deep": (lambda: parens(3_000), 20, {0, 1}),
    "string_literal_1MB": (lambda: string_literal(1_000_000), 20, {0, 1}),
    "identifier_100000_chars": (lambda: identifier(100_000), 20, {0, 1}),
    "line_1MB": (lambda: long_line(1_000_000), 20, {0, 1}),
    "script_10MB": (lambda: big_script(10_000_000), 60, {0, 1}),
    "defines_10000": (lambda: defines(10_000), 20, {0, 1}),
    "macro_recursive": (lambda: "#define A B\n#define B A\n#define F(x) F(x)+1\n" + wrap("    x = A;\n    y = F(2);\n"), 20, {0, 1}),
    "include_itself": (lambda: '#include "input.gel"\n' + wrap("    x = 1;\n"), 20, {0, 1}),
    "nul_bytes": (lambda: "StartUp()\n{\n\0\0    x = 1;\0\n}\n", 20, {0, 1}),
}


def random_binary(seed, size):
    rng = random.Random(seed)
    return bytes(rng.randrange(256) for _ in range(size))


# Sanitizer builds run several times slower; the test command says how much.
SLOWDOWN = float(os.environ.get("STRESS_SLOWDOWN", "1"))
# RUNNER: see scripts/corpus.py.
RUNNER = os.environ.get("RUNNER", "").split()
# Under Wine every file operation goes through the Wine server: the inputs of
# several megabytes take over a minute there, against a few seconds natively.
TOO_SLOW_UNDER_WINE = {
    "function_200000_statements": "3 MB of statements, over 30 s under Wine",
    "line_1MB": "a line of 1 MB, about a minute under Wine",
    "script_10MB": "10 MB of script, over 60 s under Wine",
}


def run(exe, name, data, limit, statuses, tmp):
    limit = limit * SLOWDOWN
    work = os.path.join(tmp, name)
    os.makedirs(os.path.join(work, "tmp"))
    with open(os.path.join(work, "input.gel"), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))
    start = time.time()
    try:
        env = dict(os.environ) if RUNNER else dict(os.environ, TMPDIR=os.path.join(work, "tmp"))
        p = subprocess.run(RUNNER + [exe, "input.gel", "out.cmm"], cwd=work, capture_output=True, timeout=limit,
                           env=env, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return f"{name}: no answer within {limit} s"
    took = time.time() - start
    text = (p.stdout + p.stderr).decode("latin-1")
    shutil.rmtree(work, ignore_errors=True)
    if any(m in text for m in CRASH_MARKS) or p.returncode not in statuses:
        first = text.strip().splitlines()[:3]
        return f"{name}: exit status {p.returncode} in {took:.1f} s: {first}"
    if p.returncode != 0 and not text.strip():
        return f"{name}: failed without a diagnostic"
    print(f"ok {name}: status {p.returncode} in {took:.1f} s")
    return None


def main():
    exe = os.path.abspath(sys.argv[1])
    only = set(sys.argv[2:])
    tmp = tempfile.mkdtemp(prefix="gel2querna-stress.")
    failures = []
    cases = dict(CASES)
    for seed in range(3):
        cases[f"random_binary_{seed}"] = (lambda s=seed: random_binary(s, 200_000), 20, {0, 1})
    for name, (build, limit, statuses) in cases.items():
        if only and name not in only:
            continue
        if RUNNER and name in TOO_SLOW_UNDER_WINE:
            print(f"skipped under Wine: {name}: {TOO_SLOW_UNDER_WINE[name]}")
            continue
        r = run(exe, name, build(), limit, statuses, tmp)
        if r:
            print("FAILED " + r)
            failures.append(r)
    shutil.rmtree(tmp, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
