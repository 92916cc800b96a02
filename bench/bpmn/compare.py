#!/usr/bin/env python3
"""Compares `orbelt validate` on generated BPMN files with bpmnlint and with a bare XML parse.

For each size it generates a model (generate.py), then runs, each at least three times:
  - the bare pugixml parse (bench_bpmn_parse),
  - `orbelt validate FILE --format json`, end to end,
  - bpmnlint 11 with `bpmnlint:recommended`, installed with npm into a temporary folder,
  - the import alone, inside one process (bench_bpmn_import), to show its share,
and prints the medians of wall time and peak memory (maximum resident set) as a Markdown table,
with the number of placements that the start and end event checks must visit in each file.

usage: compare.py BUILD_DIR [--sizes 1000,10000,100000] [--runs 3] [--work DIR] [--skip-bpmnlint]
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def measure(command, cwd=None, accept=(0, 1)):
    """Runs a command with its output discarded; returns (seconds, peak resident KB)."""
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code not in accept:
        error = process.stderr.read().decode(errors="replace")
        sys.exit(f"{' '.join(command)} exited with {code}: {error[:500]}")
    process.stderr.close()
    return elapsed, usage.ru_maxrss


def median_of(command, runs, cwd=None, accept=(0, 1)):
    results = [measure(command, cwd, accept) for _ in range(runs)]
    return statistics.median(r[0] for r in results), statistics.median(r[1] for r in results)


def install_bpmnlint(work):
    folder = os.path.join(work, "bpmnlint")
    os.makedirs(folder, exist_ok=True)
    subprocess.run(["npm", "install", "--prefix", folder, "--no-audit", "--no-fund", "--silent", "bpmnlint@11"],
                   check=True)
    with open(os.path.join(folder, ".bpmnlintrc"), "w", encoding="utf-8") as rc:
        rc.write('{ "extends": "bpmnlint:recommended" }\n')
    version = subprocess.run(["node", "-p", "require('./node_modules/bpmnlint/package.json').version"], cwd=folder,
                             check=True, capture_output=True, text=True).stdout.strip()
    return folder, version


def import_seconds(build, technology, path):
    out = subprocess.run([os.path.join(build, "bench_bpmn_import"), technology, path], check=True,
                         capture_output=True, text=True).stdout
    return float(out.split()[-2]) / 1000.0


def scan_visits(path):
    """Placements that the start and end event checks visit: each such event walks every
    placement of the open diagram (the file's one diagram places every element)."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    events = len(re.findall(r"<(?:startEvent|endEvent)\b", text))
    return events * len(re.findall(r"<bpmndi:BPMNShape\b", text))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", help="build folder holding orbelt, bench_bpmn_parse and bench_bpmn_import")
    parser.add_argument("--sizes", default="1000,10000,100000")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", help="folder for generated files and bpmnlint (default: a new temporary one)")
    parser.add_argument("--skip-bpmnlint", action="store_true")
    args = parser.parse_args()
    if args.runs < 3:
        sys.exit("at least 3 runs")

    work = args.work or tempfile.mkdtemp(prefix="orbelt-bpmn-bench-")
    os.makedirs(work, exist_ok=True)
    orbelt = os.path.join(args.build, "orbelt")
    parse = os.path.join(args.build, "bench_bpmn_parse")
    technology = os.path.join(work, "technology.xml")
    subprocess.run([orbelt, "technology", "-o", technology], check=True)
    lint_folder, lint_version = (None, None) if args.skip_bpmnlint else install_bpmnlint(work)

    rows = []
    for size in (int(s) for s in args.sizes.split(",")):
        path = os.path.join(work, f"generated_{size}.bpmn")
        if not os.path.exists(path):
            subprocess.run([sys.executable, os.path.join(HERE, "generate.py"), str(size), path], check=True)
        megabytes = os.path.getsize(path) / 1e6
        parse_time, parse_memory = median_of([parse, path], args.runs, accept=(0,))
        ours_time, ours_memory = median_of([orbelt, "validate", path, "--format", "json"], args.runs)
        imported = statistics.median(import_seconds(args.build, technology, path) for _ in range(args.runs))
        lint = (None, None)
        if lint_folder:
            lint = median_of([os.path.join(lint_folder, "node_modules", ".bin", "bpmnlint"), path], args.runs,
                             cwd=lint_folder)
        rows.append((size, megabytes, scan_visits(path), parse_time, parse_memory, imported, ours_time, ours_memory) +
                    lint)
        print(f"measured {size} nodes", file=sys.stderr)

    print(f"bpmnlint {lint_version or '(skipped)'}, median of {args.runs} runs, wall time and peak resident memory\n")
    print("| flow nodes | file | scan visits | bare parse | import alone | orbelt validate | bpmnlint "
          "| orbelt ÷ parse | bpmnlint ÷ orbelt |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for (size, megabytes, visits, parse_time, parse_memory, imported, ours_time, ours_memory, lint_time,
         lint_memory) in rows:
        lint_cell = f"{lint_time:.3f} s, {lint_memory / 1024:.0f} MB" if lint_time else "—"
        lint_ratio = f"{lint_time / ours_time:.2f}×" if lint_time else "—"
        print(f"| {size:,} | {megabytes:.1f} MB | {visits / 1e6:,.1f} M | {parse_time:.3f} s, {parse_memory / 1024:.0f} MB "
              f"| {imported:.3f} s | {ours_time:.3f} s, {ours_memory / 1024:.0f} MB | {lint_cell} "
              f"| {ours_time / parse_time:.1f}× | {lint_ratio} |")
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
