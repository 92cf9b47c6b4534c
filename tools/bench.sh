#!/usr/bin/env bash
# Release build of the benchmarks; runs them all (or those given as arguments).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORLAT_TESTS=OFF -DORLAT_BENCH=ON
cmake --build build/bench -j "$(nproc)"
for b in ${@:-build/bench/bench/bench_*}; do
  [ -x "$b" ] && "$b"
done
