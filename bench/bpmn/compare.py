#!/usr/bin/env python3
"""Compares `orbelt validate` on generated BPMN files with bpmnlint and with a bare XML parse.

For each size it generates a model (generate.py), then runs, each at least three times:
  - the bare pugixml parse (bench_bpmn_parse),
  - `orbelt validate FILE --format json`, end to end,
  - bpmnlint 11 with `bpmnlint:recommended`, installed with npm into a temporary folder,
  - the import alone, inside one process (bench_bpmn_import), to show its share,
and prints the medians of wall time and peak memory (maximum resident set) as a Markdown table,
with the host calls of the validation run (`--stats`) against the model's elements, connectors
and placements. bpmnlint is left out above --lint-max nodes (default 100,000).

With --folder N it also validates a folder of N corpus-sized files (copies of the readable files
of tests/data/bpmn) with -j 1 and with -j 2, and prints both times.

usage: compare.py BUILD_DIR [--sizes 1000,10000,100000] [--runs 3] [--work DIR] [--skip-bpmnlint]
                  [--lint-max N] [--folder N]
"""

import json

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
    """Runs a command with its output discarded; returns (seconds, peak resident KB). Its error
    stream goes to a file, which a chatty run cannot fill up as it would a pipe."""
    with tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=errors)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
        code = os.waitstatus_to_exitcode(status)
        if code not in accept:
            errors.seek(0)
            sys.exit(f"{' '.join(command)} exited with {code}: {errors.read().decode(errors='replace')[:500]}")
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


def host_calls(orbelt, path):
    """The validation run's host calls and the model's elements + connectors + placements."""
    out = subprocess.run([orbelt, "validate", path, "--format", "json", "--stats"], capture_output=True, text=True)
    if out.returncode not in (0, 1):
        sys.exit(f"orbelt validate --stats {path} exited with {out.returncode}: {out.stderr[:500]}")
    model = json.loads(out.stdout)["models"][0]
    with open(path, encoding="utf-8") as f:
        placements = len(re.findall(r"<bpmndi:BPMNShape\b", f.read()))
    return model["stats"]["hostCalls"], model["summary"]["elements"] + model["summary"]["connectors"] + placements


def folder_of_files(orbelt, work, count):
    """A folder of `count` copies of the corpus files that orbelt reads."""
    corpus = os.path.join(HERE, "..", "..", "tests", "data", "bpmn")
    readable = []
    for root, _, names in os.walk(corpus):
        for name in sorted(names):
            path = os.path.join(root, name)
            if name.endswith(".bpmn") and subprocess.run([orbelt, "validate", path], capture_output=True).returncode < 2:
                readable.append(path)
    folder = os.path.join(work, f"folder_{count}")
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        shutil.copyfile(readable[i % len(readable)], os.path.join(folder, f"{i:05d}.bpmn"))
    return folder


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", help="build folder holding orbelt, bench_bpmn_parse and bench_bpmn_import")
    parser.add_argument("--sizes", default="1000,10000,100000")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", help="folder for generated files and bpmnlint (default: a new temporary one)")
    parser.add_argument("--skip-bpmnlint", action="store_true")
    parser.add_argument("--lint-max", type=int, default=100000, help="largest size that bpmnlint is run on")
    parser.add_argument("--folder", type=int, default=0, help="also time a folder of this many files, -j 1 and -j 2")
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
        if lint_folder and size <= args.lint_max:
            lint = median_of([os.path.join(lint_folder, "node_modules", ".bin", "bpmnlint"), path], args.runs,
                             cwd=lint_folder)
        rows.append((size, megabytes, host_calls(orbelt, path), parse_time, parse_memory, imported, ours_time, ours_memory) +
                    lint)
        print(f"measured {size} nodes", file=sys.stderr)

    print(f"bpmnlint {lint_version or '(skipped)'}, median of {args.runs} runs, wall time and peak resident memory\n")
    print("| flow nodes | file | host calls (per element, connector, placement) | bare parse | import alone "
          "| orbelt validate | bpmnlint | orbelt ÷ parse | bpmnlint ÷ orbelt |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for (size, megabytes, (calls, objects), parse_time, parse_memory, imported, ours_time, ours_memory, lint_time,
         lint_memory) in rows:
        lint_cell = f"{lint_time:.3f} s, {lint_memory / 1024:.0f} MB" if lint_time else "—"
        lint_ratio = f"{lint_time / ours_time:.2f}×" if lint_time else "—"
        print(f"| {size:,} | {megabytes:.1f} MB | {calls / 1e6:,.2f} M ({calls / objects:.1f}) | {parse_time:.3f} s, {parse_memory / 1024:.0f} MB "
              f"| {imported:.3f} s | {ours_time:.3f} s, {ours_memory / 1024:.0f} MB | {lint_cell} "
              f"| {ours_time / parse_time:.1f}× | {lint_ratio} |")
    if args.folder:
        folder = folder_of_files(orbelt, work, args.folder)
        one, _ = median_of([orbelt, "validate", folder, "-j", "1"], args.runs)
        two, _ = median_of([orbelt, "validate", folder, "-j", "2"], args.runs)
        print(f"\nA folder of {args.folder:,} corpus files: -j 1 {one:.3f} s, -j 2 {two:.3f} s, "
              f"{one / two:.2f}× faster on 2 threads ({os.cpu_count()} cores)")
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
