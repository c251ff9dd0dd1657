#!/usr/bin/env python3
"""Turns the output of bench_vector_math into the Markdown tables of docs/performance.md.

Usage: build/bin/bench_vector_math > run.txt
       build/bin/bench_vector_math --worst_errors=100000 > ulps.txt   (optional)
       bench/vector_math/report_markdown.py run.txt [ulps.txt]

Reads the per-case table (case, implementation, ns/item) that the ratio reporter prints
after the runs. The fastest 128-bit peer is the fastest line without the [ceiling] mark,
whatever its accuracy; the reference is the line marked [ref] (SLEEF's 1-ulp variant).
"""
import re
import sys
from collections import OrderedDict

ROW = re.compile(r"^([sd]\w+) n=(\d+)\s+(\S+(?: \[[^\]]+\])?)\s+([0-9.]+)")
# The program's header names each function's arguments, in the program's order.
ARGUMENTS = re.compile(r"^  (\w+)\s+arguments ")
PEERS = [("glibc_scalar", "glibc"), ("libmvec_128", "libmvec"),
         ("sleef_u10_sse2 [ref]", "SLEEF u10"), ("sleef_ilogb_sse2 [ref]", "SLEEF u10"),
         ("sleef_u35_sse2", "SLEEF u35"), ("instruction_loop", "instruction"),
         ("sleef_u05_sse2 [ref]", "SLEEF u05"), ("zorn_LA [slot]", "zorn LA"),
         ("zorn_EP [slot]", "zorn EP")]
# Columns shown only when some case has them (the pi-scaled and degree functions).
OPTIONAL_COLUMNS = ["SLEEF u05", "zorn LA", "zorn EP"]


def read_cases(lines):
    cases = OrderedDict()
    order = [m.group(1) for m in map(ARGUMENTS.match, lines) if m]
    in_table = False
    for line in lines:
        if line.startswith("case") and "peer / zorn" in line:
            in_table = True
            continue
        if in_table and line.startswith("case"):
            break
        m = ROW.match(line) if in_table else None
        if m:
            case = (m.group(1), int(m.group(2)))
            cases.setdefault(case, OrderedDict())[m.group(3)] = float(m.group(4))
    # Function order of the program, s before d, then size (random interleaving of the
    # runs shuffles the order in which cases first appear).
    def key(case):
        name, n = case
        return (order.index(name[1:]) if name[1:] in order else len(order), name[0] == "d", n)
    return OrderedDict(sorted(cases.items(), key=lambda item: key(item[0])))


def cell(value):
    return "" if value is None else f"{value:.2f}"


def main():
    cases = read_cases(open(sys.argv[1]).read().splitlines())
    columns = ["glibc", "libmvec", "SLEEF u10", "SLEEF u35", "instruction"]
    present = {label for impls in cases.values() for key, label in PEERS if key in impls}
    columns += [c for c in OPTIONAL_COLUMNS if c in present]
    print("| function | n | zorn | " + " | ".join(columns) +
          " | AVX2 ceiling | zorn / fastest 128-bit | zorn / SLEEF ref |")
    print("|---" * (len(columns) + 6) + "|")
    for (name, n), impls in cases.items():
        if n == 16:
            continue
        ours = impls.get("zorn")
        peers = {label: impls[key] for key, label in PEERS if key in impls}
        baseline = [ns for impl, ns in impls.items()
                    if impl != "zorn" and "[ceiling]" not in impl and "[slot]" not in impl]
        ceiling = [ns for impl, ns in impls.items() if "[ceiling]" in impl]
        fastest = min(baseline) if baseline else None
        ref = peers.get("SLEEF u10", peers.get("SLEEF u05"))
        size = "10^7" if n == 10**7 else str(n)
        print(f"| {name} | {size} | {cell(ours)} | " +
              " | ".join(cell(peers.get(c)) for c in columns) +
              f" | {cell(min(ceiling) if ceiling else None)} | {cell(ours / fastest if fastest else None)} | " +
              (f"{ours / ref:.2f} |" if ref else " |"))
    # Fixed cost of a call: what 16 elements cost beyond 16 elements at the in-cache rate.
    print()
    print("| function | zorn ns/call at n = 16 | of which fixed (vs n = 1000) "
          "| libmvec ns/call at n = 16 |")
    print("|---|---|---|---|")
    for (name, n), impls in cases.items():
        if n != 16 or (name, 1000) not in cases:
            continue
        ours16, ours1000 = impls["zorn"], cases[(name, 1000)]["zorn"]
        mvec = impls.get("libmvec_128")
        print(f"| {name} | {16 * ours16:.1f} | {16 * (ours16 - ours1000):.1f} | "
              f"{'' if mvec is None else f'{16 * mvec:.1f}'} |")


def print_worst_errors(lines):
    """The worst-error listing as one row per case, one column per implementation."""
    rows = OrderedDict()
    for line in lines:
        m = re.match(r"^([sd]\w+)\s+(\S+)\s+([0-9.]+|inf)\s", line)
        if m:
            rows.setdefault(m.group(1), OrderedDict())[m.group(2)] = m.group(3)
    names = ["zorn", "glibc_scalar", "libmvec_128", "sleef_u10_sse2", "sleef_u35_sse2",
             "instruction_loop"]
    print()
    print("| function | max ulp: " + " | ".join(names) + " |")
    print("|---" * (len(names) + 1) + "|")
    for case, impls in rows.items():
        if "sleef_ilogb_sse2" in impls:  # SLEEF's stand-in for logb
            impls["sleef_u10_sse2"] = impls["sleef_ilogb_sse2"]
        print(f"| {case} | " + " | ".join(impls.get(n, "") for n in names) + " |")


if __name__ == "__main__":
    main()
    if len(sys.argv) > 2:
        print_worst_errors(open(sys.argv[2]).read().splitlines())
