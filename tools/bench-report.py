#!/usr/bin/env python3
"""Runs the table benchmarks and prints, per workload and key count, the
library's time divided by each peer's time, all measured in the same run.
Below 1.0 the library is faster; 2.00 means it takes twice the peer's time.

    python3 tools/bench-report.py build/bench/bench/kelBench
    python3 tools/bench-report.py build/bench/bench/kelBench --repetitions 1
    python3 tools/bench-report.py --json saved.json      # report a saved run
    python3 tools/bench-report.py BINARY --save run.json

Benchmarks are named workload/contestant/keys; the contestant "kel" is the
library. With repetitions the fastest repetition of each benchmark is
compared: other work on the machine only ever adds time.
Standard library only.
"""
import argparse
import json
import subprocess
import sys

LIBRARY = "kel"


def run(binary, repetitions, min_time, extra):
    """Runs each workload in a process of its own: node-based peers allocate
    per key, and the heap an earlier workload leaves behind would otherwise
    slow them down by several times."""
    listing = subprocess.run([binary, "--benchmark_list_tests=true"] + extra,
                             stdout=subprocess.PIPE, check=True, text=True).stdout.split()
    workloads = []
    for name in listing:
        workload = name.split("/")[0]
        if workload not in workloads:
            workloads.append(workload)
    report = None
    for workload in workloads:
        command = [binary, "--benchmark_format=json", f"--benchmark_min_time={min_time}",
                   f"--benchmark_repetitions={repetitions}"] + extra
        command.append(f"--benchmark_filter=^{workload}/")
        print("running:", " ".join(command), file=sys.stderr)
        result = json.loads(subprocess.run(command, stdout=subprocess.PIPE, check=True).stdout)
        if report is None:
            report = result
        else:
            report["benchmarks"] += result["benchmarks"]
    return report


def times(report, measure):
    """{(workload, size): {contestant: time in ns}}, the fastest repetition."""
    unit_ns = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
    table = {}
    for b in report["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            print(f"error in {name}: {b.get('error_message')}", file=sys.stderr)
            continue
        parts = name.split("/")
        if len(parts) != 3:
            continue
        workload, contestant, size = parts
        t = b[measure] * unit_ns[b.get("time_unit", "ns")]
        row = table.setdefault((workload, int(size)), {})
        row[contestant] = min(t, row.get(contestant, t))
    return table


def print_ratios(table):
    order = []
    for (workload, _size) in table:
        if workload not in order:
            order.append(workload)
    for workload in order:
        sizes = sorted(s for (w, s) in table if w == workload)
        peers = []
        for s in sizes:
            for c in table[(workload, s)]:
                if c != LIBRARY and c not in peers:
                    peers.append(c)
        width = max(len(p) for p in peers + ["keys"])
        print(f"\n{workload}: library time / peer time (below 1.00: library faster)")
        print(f"  {'peer':<{width}}" + "".join(f"{s:>12,}" for s in sizes))
        for peer in peers:
            cells = []
            for s in sizes:
                row = table[(workload, s)]
                if LIBRARY in row and peer in row and row[peer] > 0:
                    cells.append(f"{row[LIBRARY] / row[peer]:>12.2f}")
                else:
                    cells.append(f"{'-':>12}")
            print(f"  {peer:<{width}}" + "".join(cells))
        lib = [table[(workload, s)].get(LIBRARY) for s in sizes]
        print(f"  {'library ns/key':<{width}}" + "".join(
            f"{t / s:>12.1f}" if t else f"{'-':>12}" for t, s in zip(lib, sizes)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("binary", nargs="?", help="the benchmark program (bench/kelBench)")
    parser.add_argument("--json", help="report this saved JSON output instead of running")
    parser.add_argument("--save", help="also write the run's JSON output here")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--min-time", default="0.05", help="seconds per benchmark and repetition")
    parser.add_argument("--measure", choices=["cpu_time", "real_time"], default="cpu_time")
    parser.add_argument("extra", nargs="*", help="arguments passed on to the program (after --)")
    args = parser.parse_args()
    if args.json:
        with open(args.json) as f:
            report = json.load(f)
    elif args.binary:
        report = run(args.binary, args.repetitions, args.min_time, args.extra)
        if args.save:
            with open(args.save, "w") as f:
                json.dump(report, f, indent=1)
    else:
        parser.error("give the benchmark program or --json")
    context = report.get("context", {})
    print(f"{context.get('date', '')}  {context.get('num_cpus', '?')} CPUs at "
          f"{context.get('mhz_per_cpu', '?')} MHz  ({args.measure}"
          f", fastest of {report['benchmarks'][0].get('repetitions', 1) if report['benchmarks'] else 0})")
    print_ratios(times(report, args.measure))


if __name__ == "__main__":
    main()
