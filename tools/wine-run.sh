#!/bin/sh
# Runs a Windows program of the build under Wine: the build's own Wine prefix (beside the
# program, made on first use), no Wine diagnostics, and the help viewer stand-in beside the program
# preferred to Wine's own. Windows really open, so that message boxes and dialogs can be captured:
# on a display driver that needs no X server, or with ORBELT_WINE_DISPLAY=x11 on a virtual X
# display (xvfb-run, a prefix of its own).
#   [ORBELT_WINE_DISPLAY=x11] tools/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -e
program_dir=$(cd "$(dirname "$1")" && pwd)
display="${ORBELT_WINE_DISPLAY:-null}"
export WINEPREFIX="${ORBELT_WINEPREFIX:-$program_dir/wineprefix}"
# A prefix keeps its display driver, so the X display gets a prefix of its own.
[ "$display" = x11 ] && WINEPREFIX="$WINEPREFIX-x11"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES-hhctrl.ocx=n,b}"
if [ ! -f "$WINEPREFIX/.orbelt-ready" ]; then
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.orbelt-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      if [ "$display" = x11 ]; then
        # Without a window manager every window would wait for one.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      else
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      fi
      wineserver -w
      touch "$WINEPREFIX/.orbelt-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
if [ "$display" = x11 ]; then
  # Wine's services end before the display goes, so that none of them reports a lost connection.
  exec xvfb-run -a sh -c 'wine "$@"; status=$?; wineserver -k; exit $status' wine-run "$@"
fi
exec wine "$@"
