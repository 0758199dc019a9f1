#!/usr/bin/env python3
"""Runs bench/collisionBench.cpp, every benchmark in a process of its own
(the fastest of the repetitions counts), and prints, as Markdown, keys that
share one bucket against ordinary keys of the same length doing the same
work, and against Boost's flat map on the same colliding keys.

    python3 tools/collision-report.py build/bench/bench/collisionBench --save run.json
    python3 tools/collision-report.py --json run.json
    KEL_BENCH_LIBRARY=old/libkelHashTableFun.so \\
        python3 tools/collision-report.py build/bench/bench/collisionBench --sizes 20000

Ratios: colliding / ordinary (the library on both), and library / Boost
(both on the colliding keys).

Each process runs with glibc told to keep the memory it is given
(GLIBC_TUNABLES below; --glibc-defaults runs without): glibc returns a freed
block above its mmap threshold to the system, and that threshold only rises
to the size of the largest block freed so far, so an index whose slot
array doubles gets new pages at every doubling, each a page fault. On a
virtual machine where a fault costs 10 us, faults then decide the result
for colliding and ordinary keys alike (docs/design.md has the numbers).
"""
import argparse
import json
import os
import subprocess
import sys

SHAPES = [
    ("40-byte keys that differ only at bytes the hash skips", "skip40", "plain40",
     ["build", "hit", "miss", "grow", "set", "remove"]),
    ("24-byte keys that differ only in where their spaces are", "space24", "plain24",
     ["build", "hit", "miss", "grow", "set", "remove"]),
    ("a restart file whose one chain holds every key", "skip40", "plain40",
     ["load", "loadhit", "loadremove"]),
]
NAMES = {"build": "build from an array", "hit": "search, all hits", "miss": "search, all misses",
         "grow": "one-by-one adds (growth)", "set": "set every content", "remove": "remove every key",
         "load": "load", "loadhit": "search the loaded table, all hits",
         "loadremove": "remove every key of the loaded table"}
KEEP_FREED_MEMORY = "glibc.malloc.mmap_threshold=33554432:glibc.malloc.trim_threshold=4294967295"
UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def run(binary, sizes, repetitions, min_time, env):
    names = subprocess.run([binary, "--benchmark_list_tests=true"], stdout=subprocess.PIPE,
                           check=True, text=True).stdout.split()
    results = {}
    for name in names:
        if int(name.split("/")[-1]) not in sizes:
            continue
        print("running:", name, file=sys.stderr)
        out = subprocess.run([binary, "--benchmark_format=json", f"--benchmark_filter=^{name}$",
                              f"--benchmark_repetitions={repetitions}", f"--benchmark_min_time={min_time}"],
                             stdout=subprocess.PIPE, check=True, env=env).stdout
        for b in json.loads(out)["benchmarks"]:
            if b.get("run_type") != "iteration" or b.get("error_occurred"):
                continue
            n = int(name.split("/")[-1])
            ns = b["cpu_time"] * UNIT_NS[b["time_unit"]] / n
            results[name] = min(results.get(name, ns), ns)
    return results


def report(results):
    sizes = sorted({int(name.split("/")[-1]) for name in results})
    for n in sizes:
        print(f"\n### {n:,} keys, ns per key\n")
        print("| keys | workload | colliding | ordinary | colliding / ordinary | Boost, colliding | library / Boost |")
        print("|---|---|---:|---:|---:|---:|---:|")
        for title, colliding, ordinary, workloads in SHAPES:
            for w in workloads:
                c = results.get(f"{w}_{colliding}/kel/{n}")
                o = results.get(f"{w}_{ordinary}/kel/{n}")
                b = results.get(f"{w}_{colliding}/boost/{n}")
                if c is None:
                    continue
                cells = [f"{c:.1f}", f"{o:.1f}" if o else "", f"**{c / o:.2f}**" if o else "",
                         f"{b:.1f}" if b else "", f"{c / b:.2f}" if b else ""]
                print(f"| {title} | {NAMES[w]} | " + " | ".join(cells) + " |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary", nargs="?")
    parser.add_argument("--json", action="append", default=[])
    parser.add_argument("--save")
    parser.add_argument("--sizes", default="20000,200000")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--min-time", default="0.5")
    parser.add_argument("--glibc-defaults", action="store_true", help="run without GLIBC_TUNABLES")
    args = parser.parse_args()
    results = {}
    for path in args.json:
        results.update(json.load(open(path)))
    if args.binary:
        env = dict(os.environ)
        if not args.glibc_defaults:
            env["GLIBC_TUNABLES"] = KEEP_FREED_MEMORY
        sizes = {int(s) for s in args.sizes.split(",")}
        results.update(run(args.binary, sizes, args.repetitions, args.min_time, env))
    if args.save:
        json.dump(results, open(args.save, "w"), indent=1, sort_keys=True)
    report(results)


if __name__ == "__main__":
    main()
