#!/bin/sh
# Checks the Windows package of a finished build: the compiled help holds the start page and the
# nine rule pages, its start page is the one in docs/help, context 1000 opens the start page, and
# the zip that cpack makes holds exactly orbelt.dll, orbelt.exe, Kelvo_BPMN.chm and README.txt
# in its top folder.
#   windows_package.sh BUILD_DIR SOURCE_DIR VERSION CPACK
set -u
export LC_ALL=C
build=$1 source=$2 version=$3 cpack=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The help: every page, the start page byte for byte, the context map.
cp "$build/Kelvo_BPMN.chm" "$work/" || exit 1
chmls -n list "$work/Kelvo_BPMN.chm" >"$work/pages" 2>/dev/null || fail "chmls cannot list Kelvo_BPMN.chm"
for page in index.html rule_01.html rule_02.html rule_03.html rule_04.html rule_05.html rule_06.html \
  rule_07.html rule_08.html rule_09.html; do
  grep -q -x "/$page" "$work/pages" || fail "Kelvo_BPMN.chm lacks $page"
done
chmls extract "$work/Kelvo_BPMN.chm" /index.html "$work/start.html" >/dev/null 2>&1
cmp -s "$work/start.html" "$source/docs/help/index.html" || fail "the start page in Kelvo_BPMN.chm differs from docs/help/index.html"
chmls extractalias "$work/Kelvo_BPMN.chm" >/dev/null 2>&1
grep -q -x '#define helpid1000 1000' "$work/Kelvo_BPMN.h" 2>/dev/null || fail "Kelvo_BPMN.chm maps no context 1000"
grep -q -x 'helpid1000=.*/index\.html' "$work/Kelvo_BPMN.ali" 2>/dev/null ||
  fail "context 1000 of Kelvo_BPMN.chm does not open index.html"

# The zip: exactly the four files, in the top folder named after the package.
top=orbelt-$version-windows-x64
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
(cd "$work" && "$(dirname "$cpack")/cmake" -E tar tf "package/$top.zip") | grep -v '/$' | sort >"$work/contents"
printf '%s\n' "$top/Kelvo_BPMN.chm" "$top/README.txt" "$top/orbelt.dll" "$top/orbelt.exe" | sort >"$work/expected"
if ! cmp -s "$work/contents" "$work/expected"; then
  fail "$top.zip does not hold exactly the four files:"
  diff "$work/expected" "$work/contents"
fi

[ "$failures" -eq 0 ] && echo "Windows package: help and zip as expected"
[ "$failures" -eq 0 ]
