#!/bin/sh
# Installs what the Windows build needs on Debian (run as root), after tools/setup-debian.sh:
# the mingw-w64 cross compiler with its IDL and resource compilers, Wine to run and test the
# results, the help compiler, zlib for mingw-w64, and the source of Debian's pugixml package,
# which the cross build compiles itself (Debian packages no mingw-w64 build of it). The source goes
# to build/windows-deps.
set -e
export DEBIAN_FRONTEND=noninteractive
cd "$(dirname "$0")/.."
if [ ! -f /etc/apt/sources.list.d/orbelt-sources.sources ]; then
  cat > /etc/apt/sources.list.d/orbelt-sources.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
fi
apt-get update
apt-get install -y --no-install-recommends \
  g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev libz-mingw-w64-dev wine64 wine \
  fp-utils-3.2.2 googletest xvfb xauth dpkg-dev xz-utils zip
mkdir -p build/windows-deps
cd build/windows-deps
if [ ! -f pugixml-source/src/pugixml.cpp ]; then
  apt-get source --download-only pugixml
  rm -rf pugixml-source && mkdir pugixml-source
  tar -xzf pugixml_*.orig.tar.gz -C pugixml-source --strip-components=1
fi
