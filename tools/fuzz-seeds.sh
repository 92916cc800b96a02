#!/bin/sh
# Makes the seed folders of the fuzz targets from the repository's own files: DIR/<reader>/ for
# each reader of fuzz/readers.h, with the inputs kept under tests/data/fuzz/<reader>/ too.
# Usage: tools/fuzz-seeds.sh DIR [TECHNOLOGY_DOCUMENT]
set -eu
cd "$(dirname "$0")/.."
out=$1
built_technology=${2:-}
rm -rf "$out"
for reader in model scenario bpmn technology registry; do mkdir -p "$out/$reader"; done

# Copies each file given into the folder, named by its path so that names do not collide.
seed() {
  folder=$1
  shift
  for file in "$@"; do
    [ -f "$file" ] && cp "$file" "$out/$folder/$(echo "$file" | tr '/' '_')"
  done
  return 0
}

seed model cli/sample/*.json tests/data/scenarios/*.json
seed scenario tests/data/scenarios/*.json
# BPMN files small enough for many runs a second.
seed bpmn $(find tests/data/bpmn -type f \( -name '*.bpmn' -o -name '*.bpmn2' -o -name '*.xml' \) -size -64k | sort)
seed technology technology/document.xml $built_technology
printf '[Orbelt.COrbelt]\nPath=/opt/orbelt/liborbelt.so\nClass=COrbelt\n' >"$out/registry/one_section"
printf '; kept\nloose=1\n[A]\r\nx=1\r\n[B]\ny=a=b\n\n[]\n=\n' >"$out/registry/comments_and_crlf"
for reader in model scenario bpmn technology registry; do
  [ -d "tests/data/fuzz/$reader" ] && seed "$reader" tests/data/fuzz/"$reader"/*
done
exit 0
