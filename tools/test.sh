#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs
# every test: the unit tests (g++), the link and job tests again under
# ThreadSanitizer (their code runs on several threads), and the fuzz targets'
# fixed replays (clang).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc \
      -DORLAT_SANITIZE=ON -DORLAT_WERROR=ON
cmake --build build/test -j "$jobs"
ctest --test-dir build/test -j "$jobs" --output-on-failure

# ThreadSanitizer: only the link and job test programs are built and run. A
# cache that lost the option (CMake drops it when the compiler changes) is
# started afresh, or the other test programs would show up as not built.
grep -qs 'ORLAT_TSAN:BOOL=ON' build/tsan/CMakeCache.txt || rm -rf build/tsan
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc \
      -DORLAT_TSAN=ON -DORLAT_WERROR=ON
cmake --build build/tsan -j "$jobs" --target test_link test_link_job
TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1} \
  ctest --test-dir build/tsan -j "$jobs" --output-on-failure

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_C_COMPILER=clang-14 -DORLAT_FUZZ=ON -DORLAT_WERROR=ON
cmake --build build/fuzz -j "$jobs"
ctest --test-dir build/fuzz -j "$jobs" --output-on-failure
