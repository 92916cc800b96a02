#!/bin/sh
# Fails, listing them, when any C++ file of the project differs from what clang-format writes
# for it (.clang-format). `cmake --build --preset dev --target format` formats them all.
set -eu
cd "$(dirname "$0")/.."
unformatted=$(git ls-files '*.cpp' '*.h' | while read -r file; do
  clang-format "$file" | cmp -s - "$file" || echo "$file"
done)
if [ -n "$unformatted" ]; then
  echo "check-format: these files are not formatted (cmake --build --preset dev --target format):"
  echo "$unformatted"
  exit 1
fi
echo "check-format: every C++ file is formatted"
