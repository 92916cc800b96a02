#!/bin/sh
# Installs what the fuzz preset needs beside tools/setup-debian.sh (run as root): clang and its
# runtime libraries, which hold libFuzzer and the sanitizers.
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends clang libclang-rt-14-dev
