#!/usr/bin/env python3
"""Generates realistic GEL scripts of a given size for benchmarking.

Each script has #define'd register addresses, functions that write memory
through casts and @-forms, ifs and loops with breaks, calls of script functions
and built-ins, menus with hotmenus and dialogs, and comments. With --c-twin the
same kind of text is written as valid C (no menus, no @-forms, no empty
arguments), so that the C toolchain can be timed on it.

    generate.py SIZE_BYTES OUT.gel [--c-twin] [--seed N]
"""
import argparse
import random


def function_body(rng, n, c_twin, fn_names):
    lines = []
    for j in range(n):
        kind = rng.randrange(9)
        reg = f"REG_{rng.randrange(64)}"
        val = rng.randrange(1 << 16)
        if kind == 0:
            lines.append(f"    *(unsigned int *){reg} = 0x{val:X};")
        elif kind == 1:
            if c_twin:
                lines.append(f"    *(unsigned short *)0x{0x1000 + j * 4:X} = {val};")
            else:
                lines.append(f"    *(unsigned short *)0x{0x1000 + j * 4:X}@data = {val};")
        elif kind == 2:
            lines.append(f"    if ((*(unsigned int *){reg} & 0x{1 << rng.randrange(16):X}) != 0)")
            lines.append("    {")
            lines.append(f"        value = value + {rng.randrange(100)};")
            lines.append("    }")
            lines.append("    else")
            lines.append(f"        value = value - 1;")
        elif kind == 3:
            lines.append(f"    for (i = 0; i < {rng.randrange(2, 50)}; i++)")
            lines.append("    {")
            lines.append(f"        if (i == {rng.randrange(50)}) break;")
            lines.append(f"        *(unsigned int *)({reg} + i * 4) = i;")
            lines.append("    }")
        elif kind == 4:
            lines.append("    count = 0;")
            lines.append(f"    while ((*(unsigned int *){reg} & 0x1) == 0)")
            lines.append("    {")
            lines.append("        count++;")
            lines.append(f"        if (count > {rng.randrange(1000, 100000)}) break;")
            lines.append("    }")
        elif kind == 5 and fn_names:
            lines.append(f"    {rng.choice(fn_names)}();")
        elif kind == 6:
            lines.append(f'    GEL_TextOut("Step {j} done\\n");')
        elif kind == 7:
            lines.append(f"    /* configure {reg} */")
            lines.append(f"    value = (value << 2) | 0x{val:X};")
        else:
            lines.append(f"    GEL_MemoryFill(0x{0x80000000 + j * 0x100:X}, 0, 0x40, 0);")
    return lines


def generate(size, c_twin, seed):
    rng = random.Random(seed)
    out = []
    total = 0

    def emit(line):
        nonlocal total
        out.append(line)
        total += len(line) + 1

    emit("/* Generated board start-up script for benchmarking. */")
    for r in range(64):
        emit(f"#define REG_{r} 0x{0x01C00000 + r * 0x40:08X}")
    emit("")
    emit("int value;")
    emit("int count;")
    emit("int i;")
    emit("")
    fn_names = []
    n = 0
    while total < size:
        name = f"Setup_{n}"
        emit(f"/* Function {n}: PLL and memory controller step. */")
        emit(f"{name}()")
        emit("{")
        for line in function_body(rng, rng.randrange(8, 24), c_twin, fn_names[-20:]):
            emit(line)
        emit("}")
        emit("")
        fn_names.append(name)
        if not c_twin and n % 10 == 9:
            emit(f'menuitem "Board {n}";')
            emit(f"hotmenu Run_{n}()")
            emit("{")
            emit(f"    {name}();")
            emit("    GEL_Go(0x1000);")
            emit("}")
            emit(f"dialog Configure_{n}(speed \"Speed\", width \"Bus width\")")
            emit("{")
            emit("    value = speed * width;")
            emit("}")
            emit("")
        n += 1
    if not c_twin:
        emit("StartUp()")
        emit("{")
        emit("    Setup_0();")
        emit("}")
    else:
        emit("int main(void) { Setup_0(); return 0; }")
    return "\n".join(out) + "\n"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("size", type=int)
    p.add_argument("out")
    p.add_argument("--c-twin", action="store_true")
    p.add_argument("--seed", type=int, default=1)
    a = p.parse_args()
    with open(a.out, "w", newline="\n") as f:
        f.write(generate(a.size, a.c_twin, a.seed))


if __name__ == "__main__":
    main()
