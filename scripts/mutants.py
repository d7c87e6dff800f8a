#!/usr/bin/env python3
"""Injects single faults into the product code, one at a time, and tells which
ones the test suite did not notice.

Each fault flips one operator or constant in one line of src/, tools/ or
launcher/ (a comparison, && and ||, a negation, true and false, an integer off
by one), rebuilds, runs every test but the fuzz smoke runs, and puts the file
back. A fault that does not compile is left out of the count. Every survivor
is a missing test or a dead branch.

    scripts/mutants.py --count 60 --seed 7          # a sample over all files
    scripts/mutants.py --files src/store/Shell.cpp  # every site of one file
    scripts/mutants.py --list --files 'src/output/*' # the sites, nothing run
    scripts/mutants.py --lines src/store/Shell.cpp:52 # every site of one line
"""

import argparse
import fnmatch
import os
import random
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT_TREES = ("src", "tools", "launcher")

# (pattern, replacement) pairs; patterns match outside strings and comments.
OPERATORS = [
    (r"==", "!="),
    (r"!=", "=="),
    (r" < ", " <= "),
    (r" <= ", " < "),
    (r" > ", " >= "),
    (r" >= ", " > "),
    (r" && ", " || "),
    (r" \|\| ", " && "),
    (r"\btrue\b", "false"),
    (r"\bfalse\b", "true"),
]
NEGATION = re.compile(r"!(?=[A-Za-z_(])")
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
# Where a control is placed, in twips: one more is a fifteenth of a pixel,
# which no user sees and no test can be asked to notice. Operators on these
# lines are still mutated.
LAYOUT = re.compile(r"\b(TwipsRect|Placed|addControl|setGeometry|setFixedSize|resize)\(")


def product_files(patterns):
    found = []
    for tree in PRODUCT_TREES:
        for folder, _, names in os.walk(os.path.join(ROOT, tree)):
            for name in names:
                if not name.endswith((".cpp", ".h")):
                    continue
                rel = os.path.relpath(os.path.join(folder, name), ROOT)
                if not patterns or any(fnmatch.fnmatch(rel, p) for p in patterns):
                    found.append(rel)
    return sorted(found)


def code_spans(line):
    """Index ranges of a line that are code: outside literals and comments."""
    spans, start, i, quote = [], 0, 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                i += 2
                continue
            if c == quote:
                quote, start = None, i + 1
        elif c in "\"'":
            if c == "'" and i > 0 and line[i - 1].isalnum():  # digit separator
                i += 1
                continue
            spans.append((start, i))
            quote = c
        elif line.startswith("//", i) or line.startswith("/*", i):
            spans.append((start, i))
            return spans
        i += 1
    if not quote:
        spans.append((start, len(line)))
    return spans


def sites_of(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
    sites = []
    in_block = False
    open_layout = 0
    for number, line in enumerate(lines):
        stripped = line.strip()
        if in_block:
            in_block = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_block = "*/" not in stripped
            continue
        if stripped.startswith(("#", "//", "*")) or "static_assert" in line:
            continue
        # A placing call may run over several lines: until its parentheses close.
        code = "".join(line[b:e] for b, e in code_spans(line))
        layout = open_layout > 0 or LAYOUT.search(code) is not None
        if layout:
            open_layout = max(0, open_layout + code.count("(") - code.count(")"))
        for begin, end in code_spans(line):
            segment = line[begin:end]
            for pattern, replacement in OPERATORS:
                for m in re.finditer(pattern, segment):
                    sites.append((path, number, begin + m.start(), begin + m.end(), replacement))
            for m in NEGATION.finditer(segment):
                sites.append((path, number, begin + m.start(), begin + m.end(), ""))
            for m in ([] if layout else INTEGER.finditer(segment)):
                sites.append((path, number, begin + m.start(), begin + m.end(),
                              str(int(m.group(1)) + 1)))
    return sites


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--files", nargs="*", default=[], help="glob patterns of product files")
    parser.add_argument("--count", type=int, default=0, help="sample size (0: every site)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default="build-mutants", help="build folder (made if missing)")
    parser.add_argument("--exclude-tests", default="fuzz_", help="ctest -E pattern")
    parser.add_argument("--lines", nargs="*", default=[],
                        help="only the sites on these lines (path:line), say survivors of a run")
    parser.add_argument("--list", action="store_true", help="list the chosen sites and stop")
    args = parser.parse_args()

    sites = [s for f in product_files(args.files) for s in sites_of(f)]
    if args.lines:
        sites = [s for s in sites if f"{s[0]}:{s[1] + 1}" in args.lines]
    elif args.count and args.count < len(sites):
        sites = random.Random(args.seed).sample(sites, args.count)
    sites.sort()
    if args.list:
        for path, number, begin, end, replacement in sites:
            print(f"{path}:{number + 1}: '{open(os.path.join(ROOT, path), encoding='utf-8').read().split(chr(10))[number][begin:end]}' -> '{replacement}'")
        print(f"{len(sites)} sites")
        return 0

    build = os.path.join(ROOT, args.build)
    if not os.path.isdir(build):
        if run(["cmake", "-S", ".", "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                "-DKZ_BUILD_BENCH=OFF"], 600):
            sys.exit("cannot configure " + build)
    test = ["ctest", "--test-dir", build, "-E", args.exclude_tests, "-j", str(os.cpu_count() or 2),
            "--timeout", "120", "--stop-on-failure"]
    if run(["cmake", "--build", build], 3600) or run(test, 1800):
        sys.exit("the unchanged tree does not build or pass its tests")

    killed, survived, stillborn = 0, [], 0
    for index, (path, number, begin, end, replacement) in enumerate(sites, 1):
        full = os.path.join(ROOT, path)
        with open(full, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        before = lines[number]
        lines[number] = before[:begin] + replacement + before[end:]
        started = time.time()
        try:
            with open(full, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            if run(["cmake", "--build", build], 1800):
                stillborn += 1
                verdict = "does not compile"
            elif run(test, 1800):
                killed += 1
                verdict = "killed"
            else:
                survived.append(f"{path}:{number + 1}: {before.strip()}  =>  {lines[number].strip()}")
                verdict = "SURVIVED"
        finally:
            with open(full, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"[{index}/{len(sites)}] {path}:{number + 1} {verdict} ({time.time() - started:.0f} s)",
              flush=True)
    run(["cmake", "--build", build], 3600)  # leave the build matching the sources

    compiled = killed + len(survived)
    print(f"\n{killed} of {compiled} compiled faults caught"
          + (f" ({100.0 * killed / compiled:.0f}%)" if compiled else "")
          + f"; {stillborn} did not compile")
    for s in survived:
        print("survived: " + s)
    return 0


if __name__ == "__main__":
    sys.exit(main())
