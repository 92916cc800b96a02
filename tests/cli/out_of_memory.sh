#!/bin/sh
# Running out of memory ends `orbelt` with a message and status 2, not a silent abort: a model
# with a 20 MB name is validated under a 100 MB address-space cap, within which the sample model
# validates.
# Usage: out_of_memory.sh ORBELT ADDIN
set -u
orbelt=$1
addin=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
{
  printf '{"format": "kelvo-model/1", "packages": [{"id": 1, "name": "'
  head -c 20000000 /dev/zero | tr '\0' x
  printf '"}]}'
} >"$dir/big.json"
err=$( (ulimit -v 100000 && "$orbelt" --addin "$addin" validate "$dir/big.json") 2>&1 >/dev/null)
status=$?
if [ "$status" -ne 2 ] || [ "$err" != "orbelt: out of memory" ]; then
  echo "expected status 2 and \"orbelt: out of memory\", got status $status and: $err"
  exit 1
fi
