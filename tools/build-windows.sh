#!/bin/sh
# Builds orbelt.dll and orbelt.exe for 64-bit Windows and runs their tests under Wine, after
# tools/setup-debian.sh and tools/setup-windows.sh:
#   sh tools/setup-debian.sh && sh tools/setup-windows.sh && sh tools/build-windows.sh
# A native release build of the same sources (build/windows-native) supplies the build's own tools
# and is the reference that the Windows results are compared with. The package zip is made with
# `cpack --config build/windows/CPackConfig.cmake`.
set -e
cd "$(dirname "$0")/.."
cmake --preset windows-native
cmake --build --preset windows-native
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
