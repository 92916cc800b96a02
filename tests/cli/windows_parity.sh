#!/bin/sh
# orbelt.exe with orbelt.dll under Wine does what the native orbelt does with liborbelt.so:
# it registers the DLL in the real (Wine) registry as an installer would, plays every scenario
# under tests/data/scenarios and a help scenario to the same transcript (a missing help viewer is
# the help command's error), validates the bundled sample and the BPMN corpus (on two threads,
# each with its own apartment) to the same reports, and unregistration removes the class again.
# Values that the host chooses differ and are made equal first: the folder of the add-in module
# (the help file lives there), and Windows line ends.
#   tests/cli/windows_parity.sh WINDOWS_BUILD NATIVE_BUILD
set -u
windows=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
data="$source_dir/tests/data"
# One Wine prefix for the programs of the build and for Wine's own tools (reg) alike.
export ORBELT_WINEPREFIX="$windows/wineprefix"
run_windows() { "$source_dir/tools/wine-run.sh" "$windows/orbelt.exe" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Both outputs with separators (JSON escapes them), drive, module folders and line ends made equal,
# then compared.
normalise() {
  tr -d '\r' <"$1" | sed -e 's|\\\\|/|g' -e 's|\\|/|g' -e 's|Z:/|/|g' -e "s|$2|MODULE_DIR|g" >"$3"
}
same() {
  normalise "$work/native.out" "$native" "$work/native.txt"
  normalise "$work/windows.out" "$windows" "$work/windows.txt"
  if cmp -s "$work/native.txt" "$work/windows.txt"; then
    echo "ok: $1"
  else
    fail "$1 differs (native, then Windows):"
    diff "$work/native.txt" "$work/windows.txt" | head -40
  fi
}

# Registration, as an installer does it.
if run_windows --addin "$windows/orbelt.dll" register >"$work/register.out" 2>&1 &&
  "$source_dir/tools/wine-run.sh" reg query 'HKCR\Orbelt.COrbelt\CLSID' >/dev/null 2>&1; then
  echo "ok: registered"
else
  fail "registration"
  cat "$work/register.out"
fi

cat >"$work/help.json" <<'SCENARIO'
{
  "format": "kelvo-scenario/1",
  "model": { "format": "kelvo-model/1", "packages": [ { "id": 1, "name": "Model", "parent": 0 } ] },
  "steps": [ { "call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&Help"] } ]
}
SCENARIO

for scenario in "$data"/scenarios/*.json "$work/help.json"; do
  "$native/orbelt" --addin "$native/liborbelt.so" host "$scenario" >"$work/native.out" 2>&1
  run_windows --addin "$windows/orbelt.dll" host "$scenario" >"$work/windows.out" 2>&1
  same "host $(basename "$scenario")"
done

# The same on a virtual X display, where the add-in's windows open as on a desktop.
for scenario in "$data"/scenarios/shell_session.json "$work/help.json"; do
  "$native/orbelt" --addin "$native/liborbelt.so" host "$scenario" >"$work/native.out" 2>&1
  ORBELT_WINE_DISPLAY=x11 run_windows --addin "$windows/orbelt.dll" register >/dev/null 2>&1
  ORBELT_WINE_DISPLAY=x11 run_windows --addin "$windows/orbelt.dll" host "$scenario" >"$work/windows.out" 2>&1
  same "host $(basename "$scenario") on an X display"
done

# Without a help viewer the help command fails, and the host gets the reason.
WINEDLLOVERRIDES=hhctrl.ocx=d run_windows --addin "$windows/orbelt.dll" host "$work/help.json" >"$work/windows.out" 2>&1
if grep -q '"message": "the help viewer hhctrl.ocx cannot be loaded' "$work/windows.out"; then
  echo "ok: no help viewer"
else
  fail "a missing help viewer is not the help command's error:"
  cat "$work/windows.out"
fi

for format in text json; do
  for input in "$source_dir/cli/sample/orders.json" "$data/bpmn"; do
    "$native/orbelt" --addin "$native/liborbelt.so" validate --format "$format" -j 1 "$input" \
      >"$work/native.out" 2>&1
    echo "exit $?" >>"$work/native.out"
    run_windows --addin "$windows/orbelt.dll" validate --format "$format" -j 2 "$input" >"$work/windows.out" 2>&1
    echo "exit $?" >>"$work/windows.out"
    same "validate --format $format $(basename "$input")"
  done
done

if run_windows --addin "$windows/orbelt.dll" unregister >"$work/unregister.out" 2>&1 &&
  ! "$source_dir/tools/wine-run.sh" reg query 'HKCR\Orbelt.COrbelt' >/dev/null 2>&1; then
  echo "ok: unregistered"
else
  fail "unregistration"
  cat "$work/unregister.out"
fi

[ "$failures" -eq 0 ]
