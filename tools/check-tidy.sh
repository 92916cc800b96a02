#!/bin/sh
# Runs clang-tidy (.clang-tidy) over the project's C++ sources, tests excluded, with the compile
# commands of a built tree (default build/dev, whose generated headers the sources include), one
# file per core at a time. Fails when any file has a finding. The Windows sides (windows/ folders)
# are compiled by the Windows build only, and the fuzz targets' entry point by the fuzz preset
# only, so this Linux tree has no compile commands for them.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/dev}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-tidy: $build has no compile_commands.json; configure and build it first" >&2
  exit 2
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Findings go to standard output; clang-tidy's own notes are shown only when a file fails.
if git ls-files -z '*.cpp' ':!:tests/*' ':!:*/windows/*' ':!:fuzz/target.cpp' | xargs -0 -n 1 -P "$(nproc)" clang-tidy --quiet -p "$build" 2>"$log"; then
  echo "check-tidy: no findings"
else
  grep -v "warnings\? generated\|warnings\? treated as errors" "$log" >&2 || true
  echo "check-tidy: findings above" >&2
  exit 1
fi
