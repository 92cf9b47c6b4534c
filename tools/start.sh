#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORLAT_TESTS=OFF
cmake --build build/release -j "$(nproc)"
if [ -x build/release/app/OrlatCenter ]; then
  exec build/release/app/OrlatCenter "$@"
fi
echo "build/release/app/OrlatCenter was not built" >&2
exit 1
