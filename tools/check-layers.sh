#!/bin/sh
# Checks that every folder includes only the folders below it, so that dependencies point one
# way: the add-in module (addin, rules, resources, technology) sees only host/ and platform/;
# the stand-in host sees no reader or writer above it; nothing includes the command line.
# Prints each include that crosses a layer the wrong way and fails if there is one.
cd "$(dirname "$0")/.." || exit 2
status=0
allowed() {
  case "$1" in
    host) echo "host" ;;
    platform) echo "host platform" ;;
    resources) echo "resources" ;;
    technology) echo "technology" ;;
    rules) echo "host platform resources rules" ;;
    addin) echo "host platform resources rules addin" ;;
    kelvo) echo "host platform technology kelvo" ;;
    bpmn) echo "host platform kelvo bpmn" ;;
    formats) echo "host platform kelvo formats" ;;
    cli) echo "host platform kelvo bpmn formats cli" ;;
    fuzz) echo "host platform kelvo bpmn formats fuzz" ;;
  esac
}
for folder in host platform resources technology rules addin kelvo bpmn formats cli fuzz; do
  [ -d "$folder" ] || continue
  for file in $(find "$folder" -name '*.h' -o -name '*.cpp'); do
    for used in $(sed -n 's/^#include "\([a-z_]*\)\/.*/\1/p' "$file" | sort -u); do
      case " $(allowed "$folder") " in
        *" $used "*) ;;
        *) echo "$file includes $used/, which $folder/ must not see"; status=1 ;;
      esac
    done
  done
done
exit $status
