#!/bin/sh
# Runs a Windows program of the build under Wine: the build's own Wine prefix (beside the
# program, made on first use), no Wine diagnostics, a display driver that needs no X server (so
# message boxes and dialogs really open and can be captured), and the help viewer stand-in beside
# the program preferred to Wine's own.
#   tools/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -e
program_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX="${ORBELT_WINEPREFIX:-$program_dir/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES-hhctrl.ocx=n,b}"
if [ ! -f "$WINEPREFIX/.orbelt-ready" ]; then
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.orbelt-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.orbelt-ready"
    fi
  ) 9>"$program_dir/.wineprefix.lock"
fi
exec wine "$@"
