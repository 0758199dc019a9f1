#!/usr/bin/env python3
"""Runs the benchmarks and prints the whole comparison as Markdown: every
cell's library time against the fastest peer measured in the same run, with
the part of each search that is the library's own hash of its keys, the
scaling series, the gather floor, the restart files against raw I/O and the
peak memory per key; and draws the scaling series as a plot.

    python3 tools/bench-report.py build/bench/bench
    python3 tools/bench-report.py build/bench/bench --largest 1000000
    python3 tools/bench-report.py build/bench/bench --save run.json --plot docs/benchmarks-scaling.png
    python3 tools/bench-report.py --json run.json          # report a saved run again
    python3 tools/bench-report.py build/bench/bench --smallest 10000000 --repetitions 1 \
        --tables-only --save large.json                    # the 10^7 points alone
    python3 tools/bench-report.py --json run.json --json large.json --plot docs/benchmarks-scaling.png

The argument is the folder holding kelBench, restartFileBench and
memoryPeak. Each workload and key set runs in a process of its own (with
--one-process, all of kelBench runs in one process, as a host that has done
other work first would see it). With repetitions the fastest repetition of
each benchmark counts: other work on the machine only ever adds time.
Ratios are library time / fastest peer time: below 1.00 the library is
faster. Beside each search, "of which hash" is the library's bulk hashing of
the same keys alone (contestant hash: bucket indices, no table), in ns per
key and as a share of the search; "-" where a run has no such measurement.
The plot needs matplotlib; without it the rest is still reported.
"""
import argparse
import json
import os
import re
import subprocess
import sys

LIBRARY = "kel"
FLOOR = "gather"
HASH = "hash"  # the library's bulk hash of a search's keys, without a table
NOT_PEERS = (LIBRARY, FLOOR, HASH)
SEARCHES = ("hit", "miss")
KEY_SETS = ["ascii", "path", "sjis", "lng"]
WORKLOADS = ["build", "hit", "miss", "grow", "enum"]
KEY_SET_NAMES = {"ascii": "short ASCII identifiers", "path": "path-like, 40-120 bytes",
                 "sjis": "Shift_JIS-like", "lng": "random 32-bit long keys"}
WORKLOAD_NAMES = {"build": "build from an array", "hit": "search, all hits",
                  "miss": "search, all misses", "grow": "one-by-one adds (growth)",
                  "enum": "full enumeration with keys"}
UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def run_benchmark(binary, name_filter, repetitions, min_time):
    command = [binary, "--benchmark_format=json", f"--benchmark_min_time={min_time}",
               f"--benchmark_repetitions={repetitions}", f"--benchmark_filter={name_filter}"]
    print("running:", " ".join(command), file=sys.stderr)
    out = subprocess.run(command, stdout=subprocess.PIPE, check=True).stdout
    return json.loads(out)


def list_names(binary, name_filter):
    out = subprocess.run([binary, "--benchmark_list_tests=true", f"--benchmark_filter={name_filter}"],
                         stdout=subprocess.PIPE, check=True, text=True).stdout
    return out.split()


def size_of(name):
    return int(name.split("/")[-1])


def run_all(folder, args):
    table_bench = os.path.join(folder, "kelBench")
    runs = {"context": None, "benchmarks": []}
    size_filter = "|".join(str(n) for n in sorted({size_of(n) for n in list_names(table_bench, ".")})
                           if args.smallest <= n <= args.largest)
    if args.one_process:
        groups = [f"/({size_filter})$"]
    else:
        groups = []
        for name in list_names(table_bench, "."):
            group = name.split("/")[0]
            if args.smallest <= size_of(name) <= args.largest and group not in groups:
                groups.append(group)
        groups = [f"^{g}/.*/({size_filter})$" for g in groups]
    for group in groups:
        result = run_benchmark(table_bench, group, args.repetitions, args.min_time)
        runs["context"] = runs["context"] or result["context"]
        runs["benchmarks"] += result["benchmarks"]
    files_bench = os.path.join(folder, "restartFileBench")
    if os.path.exists(files_bench) and not args.tables_only:
        for group in ["^dump_path/", "^load_path/"]:
            runs["benchmarks"] += run_benchmark(files_bench, group, args.repetitions,
                                                args.min_time)["benchmarks"]
    memory = os.path.join(folder, "memoryPeak")
    runs["memory"] = []
    if os.path.exists(memory) and not args.tables_only:
        for keys in ["ascii", "lng", "path", "sjis"]:
            for contestant in ["kel", "std", "absl", "boost"]:
                out = subprocess.run([memory, contestant, keys, str(args.memory_keys)],
                                     stdout=subprocess.PIPE, check=True, text=True).stdout.split()
                runs["memory"].append({"contestant": out[0], "keys": out[1], "n": int(out[2]),
                                       "bytes_per_key": float(out[3])})
                print("memory:", " ".join(out), file=sys.stderr)
    return runs


def times(runs):
    """{(group, n): {contestant: ns per key}}, the fastest repetition."""
    table = {}
    for b in runs["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            if b.get("error_occurred"):
                print(f"error in {b['name']}: {b.get('error_message')}", file=sys.stderr)
            continue
        parts = b.get("run_name", b["name"]).split("/")
        if len(parts) != 3:
            continue
        group, contestant, n = parts[0], parts[1], int(parts[2])
        # Files are timed by the clock: the flush to disk waits without using the CPU.
        measure = "real_time" if group.startswith(("dump_", "load_")) else "cpu_time"
        ns = b[measure] * UNIT_NS[b.get("time_unit", "ns")] / n
        row = table.setdefault((group, n), {})
        row[contestant] = min(ns, row.get(contestant, ns))
    return table


def fastest_peer(row):
    peers = {c: t for c, t in row.items() if c not in NOT_PEERS}
    if not peers:
        return None, None
    name = min(peers, key=peers.get)
    return name, peers[name]


def hash_cell(row, unit=""):
    """The hash of a search's keys: ns per key and its share of the library's search."""
    if LIBRARY not in row or HASH not in row:
        return "-"
    return f"{row[HASH]:.1f}{unit} ({100 * row[HASH] / row[LIBRARY]:.0f} %)"


def headline_size(table):
    """1,000,000 keys, or the most keys measured when a run stops short of that."""
    sizes = {n for (g, n), row in table.items() if g.split("_")[0] in WORKLOADS and LIBRARY in row}
    return 1000000 if 1000000 in sizes or not sizes else max(sizes)


def main_table(table, n):
    lines = [f"| key set | workload | library ns/key | of which hash | std | absl | boost | fastest peer | ratio |",
             "|---|---|---:|---:|---:|---:|---:|---|---:|"]
    for keys in KEY_SETS:
        for workload in WORKLOADS:
            row = table.get((f"{workload}_{keys}", n))
            if not row or LIBRARY not in row:
                continue
            name, best = fastest_peer(row)
            cells = [f"{row[c]:.1f}" if c in row else "-" for c in ("std", "absl", "boost")]
            ratio = row[LIBRARY] / best if best else float("nan")
            hashed = hash_cell(row) if workload in SEARCHES else ""
            lines.append(f"| {KEY_SET_NAMES[keys]} | {WORKLOAD_NAMES[workload]} | {row[LIBRARY]:.1f} | {hashed} | "
                         + " | ".join(cells) + f" | {name} | **{ratio:.2f}** |")
    return "\n".join(lines)


def scaling(table, keys):
    sizes = sorted({n for (g, n) in table if g.endswith("_" + keys)})
    lines = [f"| {KEY_SET_NAMES[keys]} | " + " | ".join(f"{n:,}" for n in sizes) + " |",
             "|---|" + "---:|" * len(sizes)]
    series = {}
    for workload in WORKLOADS:
        cells = []
        for n in sizes:
            row = table.get((f"{workload}_{keys}", n), {})
            _, best = fastest_peer(row)
            if LIBRARY in row and best:
                ratio = row[LIBRARY] / best
                series.setdefault(workload, []).append((n, ratio))
                cells.append(f"{ratio:.2f} ({row[LIBRARY]:.1f} ns)")
            else:
                cells.append("-")
        lines.append(f"| {workload} | " + " | ".join(cells) + " |")
        if workload in SEARCHES:
            hashed = [hash_cell(table.get((f"{workload}_{keys}", n), {}), " ns") for n in sizes]
            lines.append(f"| {workload}: of which hash | " + " | ".join(hashed) + " |")
    return "\n".join(lines), series


def small_tables(table, largest=100000):
    """Every key set and workload below the headline size: library / fastest peer."""
    sizes = sorted({n for (g, n), row in table.items()
                    if n <= largest and g.split("_")[0] in WORKLOADS and LIBRARY in row})
    if not sizes:
        return None
    lines = ["| key set | workload | " + " | ".join(f"{n:,}" for n in sizes) + " |",
             "|---|---|" + "---:|" * len(sizes)]
    for keys in KEY_SETS:
        for workload in WORKLOADS:
            cells = []
            for n in sizes:
                row = table.get((f"{workload}_{keys}", n), {})
                name, best = fastest_peer(row)
                cells.append(f"{row[LIBRARY] / best:.2f} ({name})" if LIBRARY in row and best else "-")
            lines.append(f"| {KEY_SET_NAMES[keys]} | {WORKLOAD_NAMES[workload]} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def floor_table(table):
    sizes = sorted({n for (g, n) in table if g in ("hit_lng", "miss_lng")})
    lines = ["| long keys | " + " | ".join(f"{n:,}" for n in sizes) + " |", "|---|" + "---:|" * len(sizes)]
    for workload in ("hit", "miss"):
        cells = []
        for n in sizes:
            row = table.get((f"{workload}_lng", n), {})
            if LIBRARY in row and FLOOR in row:
                cells.append(f"{row[LIBRARY] / row[FLOOR]:.2f} ({row[LIBRARY]:.1f} / {row[FLOOR]:.1f} ns)")
            else:
                cells.append("-")
        lines.append(f"| {workload}: library / gather | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def files_table(table):
    lines = ["| path-like keys | keys | library ns/key | raw ns/key | ratio |", "|---|---:|---:|---:|---:|"]
    for group, what in (("dump_path", "dump (vs one write + the same flush)"),
                        ("load_path", "load (vs one read + one malloc per key)")):
        for n in sorted(n for (g, n) in table if g == group):
            row = table[(group, n)]
            if LIBRARY in row and "raw" in row:
                lines.append(f"| {what} | {n:,} | {row[LIBRARY]:.1f} | {row['raw']:.1f} | "
                             f"**{row[LIBRARY] / row['raw']:.2f}** |")
    return "\n".join(lines)


def memory_table(runs):
    if not runs.get("memory"):
        return "(memoryPeak was not run)"
    by_keys = {}
    for m in runs["memory"]:
        by_keys.setdefault(m["keys"], {})[m["contestant"]] = m
    lines = ["| key set | keys | library | std | absl | boost | library / std |", "|---|---:|---:|---:|---:|---:|---:|"]
    for keys in KEY_SETS:
        row = by_keys.get(keys)
        if not row:
            continue
        n = next(iter(row.values()))["n"]
        cells = [f"{row[c]['bytes_per_key']:.1f}" if c in row else "-" for c in ("kel", "std", "absl", "boost")]
        ratio = (row["kel"]["bytes_per_key"] / row["std"]["bytes_per_key"]
                 if "kel" in row and "std" in row else float("nan"))
        lines.append(f"| {KEY_SET_NAMES[keys]} | {n:,} | " + " | ".join(cells) + f" | **{ratio:.2f}** |")
    return "\n".join(lines)


def plot(all_series, path):
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        print("matplotlib is missing: no plot (apt-get install python3-matplotlib)", file=sys.stderr)
        return
    fig, axes = plt.subplots(1, len(all_series), figsize=(6 * len(all_series), 4.5), sharey=True)
    if len(all_series) == 1:
        axes = [axes]
    for ax, (keys, series) in zip(axes, all_series.items()):
        for workload, points in series.items():
            ax.plot([n for n, _ in points], [r for _, r in points], marker="o", label=workload)
        ax.axhline(1.0, color="grey", linestyle="--", linewidth=1)
        ax.set_xscale("log")
        ax.set_title(KEY_SET_NAMES[keys])
        ax.set_xlabel("keys")
        ax.grid(True, alpha=0.3)
    axes[0].set_ylabel("library time / fastest peer's time")
    axes[-1].legend()
    fig.tight_layout()
    fig.savefig(path, dpi=100)
    print(f"plot written to {path}", file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder", nargs="?", help="the folder of the benchmark programs (build/bench/bench)")
    parser.add_argument("--json", action="append",
                        help="report this saved run instead of running (repeat to merge runs)")
    parser.add_argument("--save", help="also write the run's results here")
    parser.add_argument("--plot", help="draw the scaling series into this PNG file")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--min-time", default="0.05", help="seconds per benchmark and repetition")
    parser.add_argument("--largest", type=int, default=10000000, help="skip larger key counts")
    parser.add_argument("--smallest", type=int, default=0, help="skip smaller key counts")
    parser.add_argument("--tables-only", action="store_true", help="skip the restart files and memory")
    parser.add_argument("--memory-keys", type=int, default=1000000)
    parser.add_argument("--one-process", action="store_true", help="run all of kelBench in one process")
    args = parser.parse_args()
    if args.json:
        runs = {"context": None, "benchmarks": [], "memory": []}
        for path in args.json:
            with open(path) as f:
                part = json.load(f)
            runs["context"] = runs["context"] or part.get("context")
            runs["benchmarks"] += part["benchmarks"]
            runs["memory"] += part.get("memory", [])
    elif args.folder:
        runs = run_all(args.folder, args)
        if args.save:
            with open(args.save, "w") as f:
                json.dump(runs, f, indent=1)
    else:
        parser.error("give the benchmark folder or --json")
    context = runs.get("context") or {}
    table = times(runs)
    print(f"{context.get('date', '')}, {context.get('num_cpus', '?')} CPUs at "
          f"{context.get('mhz_per_cpu', '?')} MHz, fastest of {args.repetitions} (cpu time; files: real time)\n")
    size = headline_size(table)
    print(f"## {size:,} keys\n")
    print(main_table(table, size))
    small = small_tables(table)
    if small:
        print("\n## Every key set up to 100,000 keys: library / fastest peer (which peer)\n")
        print(small)
    all_series = {}
    for keys in ("ascii", "lng"):
        text, series = scaling(table, keys)
        all_series[keys] = series
        print(f"\n## Scaling, {KEY_SET_NAMES[keys]}: library / fastest peer (library ns/key)\n")
        print(text)
    print("\n## Long-key search against the gather floor\n")
    print(floor_table(table))
    print("\n## Restart files\n")
    print(files_table(table))
    print("\n## Peak resident memory, bytes per key\n")
    print(memory_table(runs))
    if args.plot:
        plot(all_series, args.plot)


if __name__ == "__main__":
    main()
