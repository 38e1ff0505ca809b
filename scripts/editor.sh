#!/bin/sh
# Installs what is missing, builds and starts the editor; a file path may follow.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target iconmill -j "$(nproc)"
exec build/src/iconmill "$@"
