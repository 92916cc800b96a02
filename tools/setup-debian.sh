#!/bin/sh
# Installs what Orbelt needs to build and test on Debian (run as root).
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  g++ cmake ninja-build pkg-config ca-certificates \
  libpugixml-dev zlib1g-dev nlohmann-json3-dev libcli11-dev libgtest-dev libgmock-dev libmimalloc-dev \
  git clang-format clang-tidy
