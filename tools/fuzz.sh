#!/bin/sh
# Builds the fuzz preset and runs each fuzz target for SECONDS (default 300) on seeds made from
# the repository (tools/fuzz-seeds.sh), keeping what it learns in build/fuzz/corpus/<reader>/.
# A crash, a refusal other than the reader's own error, a leak, undefined behaviour, a run over
# 10 s or over 2 GB stops the target: its input is left in build/fuzz/findings/<reader>/ and the
# script fails. Keep an input worth replaying under tests/data/fuzz/<reader>/.
# Usage: tools/fuzz.sh [SECONDS]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-300}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
sh tools/fuzz-seeds.sh build/fuzz/seeds build/fuzz/generated/bpmn_technology.xml

failed=""
for reader in model scenario bpmn technology registry; do
  corpus=build/fuzz/corpus/$reader
  findings=build/fuzz/findings/$reader
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$reader for $seconds s"
  if ! build/fuzz/fuzz_$reader "$corpus" "build/fuzz/seeds/$reader" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$findings/" -print_final_stats=1 \
    >"build/fuzz/$reader.log" 2>&1; then
    failed="$failed $reader"
    tail -n 40 "build/fuzz/$reader.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|cov:' "build/fuzz/$reader.log" | tail -n 3
done
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed (inputs in build/fuzz/findings/)" >&2
  exit 1
fi
