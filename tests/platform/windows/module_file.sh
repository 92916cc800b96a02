#!/bin/sh
# orbelt.dll and orbelt.exe need nothing beyond the system's DLLs, and the DLL exports exactly the
# four entry points of an in-process server, by name.
#   tests/platform/windows/module_file.sh WINDOWS_BUILD
set -u
objdump=x86_64-w64-mingw32-objdump
system='^(ADVAPI32|GDI32|KERNEL32|msvcrt|ole32|OLEAUT32|USER32|VERSION)\.dll$'
failures=0
for file in orbelt.dll orbelt.exe; do
  others=$("$objdump" -p "$1/$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | grep -Ev "$system")
  if [ -n "$others" ]; then
    echo "FAIL: $file needs DLLs that Windows does not have: $others"
    failures=$((failures + 1))
  fi
done
exports=$("$objdump" -p "$1/orbelt.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ]; then
  echo "FAIL: orbelt.dll exports: $exports"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "ok: system DLLs only; the four entry points exported"
