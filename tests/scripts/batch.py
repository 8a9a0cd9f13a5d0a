#!/usr/bin/env python3
"""Checks the batch mode on the board folder of the end-to-end case batch_board.

    tests/scripts/batch.py BIN SOURCE_DIR
"""
import json
import os
import pty
import shutil
import subprocess
import sys
import tempfile

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(args, cwd, stderr=subprocess.PIPE):
    env = dict(os.environ, TMPDIR=os.path.join(cwd, "tmp"))
    os.makedirs(env["TMPDIR"], exist_ok=True)
    p = subprocess.run(args, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=stderr,
                       timeout=120)
    return p.returncode, p.stdout, p.stderr


def tree(folder):
    files = {}
    for dirpath, _, names in os.walk(folder):
        for n in names:
            path = os.path.join(dirpath, n)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = f.read()
    return files


# --- a subset of JSON Schema: type, enum, required, properties,
# additionalProperties, items, minimum and local $ref ---
def validate(value, schema, root, where="$"):
    if "$ref" in schema:
        target = root
        for part in schema["$ref"].lstrip("#/").split("/"):
            target = target[part]
        return validate(value, target, root, where)
    errors = []
    kinds = {"object": dict, "array": list, "string": str, "null": type(None)}
    if "type" in schema:
        types = schema["type"] if isinstance(schema["type"], list) else [schema["type"]]
        ok = any((t == "integer" and isinstance(value, int) and not isinstance(value, bool)) or
                 (t in kinds and isinstance(value, kinds[t])) for t in types)
        if not ok:
            return [f"{where}: {value!r} is not of type {types}"]
    if "enum" in schema and value not in schema["enum"]:
        errors.append(f"{where}: {value!r} is not one of {schema['enum']}")
    if "minimum" in schema and value < schema["minimum"]:
        errors.append(f"{where}: {value} is below {schema['minimum']}")
    if isinstance(value, dict):
        for key in schema.get("required", []):
            if key not in value:
                errors.append(f"{where}: {key} is missing")
        props = schema.get("properties", {})
        for key, item in value.items():
            if key in props:
                errors += validate(item, props[key], root, f"{where}.{key}")
            elif schema.get("additionalProperties") is False:
                errors.append(f"{where}: {key} is not allowed")
    if isinstance(value, list) and "items" in schema:
        for i, item in enumerate(value):
            errors += validate(item, schema["items"], root, f"{where}[{i}]")
    return errors


def main():
    exe, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    case = os.path.join(source, "tests", "e2e", "cases", "batch_board")
    with open(os.path.join(case, "args")) as f:
        args = f.read().split()
    options = args[:args.index("--out-dir")]
    with open(os.path.join(source, "doc", "conversion-report.schema.json")) as f:
        schema = json.load(f)
    work = tempfile.mkdtemp(prefix="gel2querna-batch-test.")
    try:
        # -j1 and -j4, each in a folder of its own, give the same bytes.
        results = {}
        for jobs in ("-j1", "-j4"):
            cwd = os.path.join(work, jobs)
            shutil.copytree(case, cwd)
            # What an earlier batch left must not pass for this batch's result.
            os.makedirs(os.path.join(cwd, "out", "periph"))
            with open(os.path.join(cwd, "out", "periph", "broken.cmm"), "w") as f:
                f.write("stale\n")
            status, out, err = run([exe, jobs] + args, cwd)
            results[jobs] = (status, out, err, tree(os.path.join(cwd, "out")))
            check(tree(os.path.join(cwd, "board")) == tree(os.path.join(case, "board")),
                  f"{jobs}: the board folder was changed")
        check(results["-j1"] == results["-j4"], "-j1 and -j4 give different results")
        status, _, err, files = results["-j1"]
        check("periph/broken.cmm" not in files, "the stale output of a script that failed was kept")
        check(not any(p.startswith("regs/") for p in files), "an included file was converted on its own")

        report = json.loads(files["conversion-report.json"])
        for e in validate(report, schema, schema):
            check(False, "schema: " + e)
        md = files["conversion-report.md"].decode()
        for s in report["scripts"]:
            row = "| {} | {} | {} | {} | {} | {} | {} |".format(s["path"], s["output"] or "-", s["status"],
                                                             s["exit_status"], s["warnings"], s["errors"],
                                                             s["first_diagnostic"].replace("|", "\\|"))
            check(row in md, "the Markdown report lacks the row " + row)

        # Each script converts exactly as a single run in its own folder does.
        single = os.path.join(work, "single")
        shutil.copytree(os.path.join(case, "board"), single)
        prefixed = []
        for s in report["scripts"]:
            folder, name = os.path.split(os.path.join(single, s["path"]))
            out_name = os.path.splitext(name)[0] + ".cmm"
            one_status, one_out, one_err = run([exe] + options + [name, out_name], folder)
            check(one_status == s["exit_status"], f"{s['path']}: exit status {s['exit_status']}, alone {one_status}")
            for suffix in ("", ".regs"):
                path = os.path.join(folder, out_name + suffix)
                alone = open(path, "rb").read() if os.path.exists(path) else None
                check(alone == files.get(os.path.splitext(s["path"])[0] + ".cmm" + suffix),
                      f"{s['path']}: {out_name + suffix} differs from a single run")
            prefixed += [b"board/" + s["path"].encode() + b": " + line for line in one_err.splitlines() if line]
        check(err.splitlines() == prefixed, "the diagnostics differ from those of single runs")

        # On a terminal a progress line counts the scripts.
        cwd = os.path.join(work, "-j1")
        master, slave = pty.openpty()
        run([exe] + args, cwd, stderr=slave)
        os.close(slave)
        seen = b""
        try:
            while chunk := os.read(master, 4096):
                seen += chunk
        except OSError:
            pass
        check(b"5/5 done, 3 converted, 2 failed\r" in seen, "no progress line on a terminal")

        # Bad command lines: status 1, the usage text, nothing written.
        for bad in (["-j0"], ["-jx"], ["-j2", "-j2"], ["-x"], ["-d", "-d"], ["-aC67"],
                    ["-a64x", "-tDEMO8", "-r", "-d", "-w"], ["--out-dir", "other"]):
            cwd = os.path.join(work, "bad")
            shutil.rmtree(cwd, ignore_errors=True)
            shutil.copytree(case, cwd)
            status, out, _ = run([exe] + bad + ["--out-dir", "out", "board"], cwd)
            check(status == 1 and b"Batch: " in out and not os.path.exists(os.path.join(cwd, "out")),
                  f"{bad}: status {status}, {out[:60]!r}")
        status, out, _ = run([exe, "--out-dir", "out", "board", "nothing.gel"], cwd)
        check(status == 1 and out.startswith(b"Input not found: nothing.gel\n"), "a missing input is accepted")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print("FAIL: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
