#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs
# every test: the include layering, the unit tests (g++), the link and job
# tests again under ThreadSanitizer (their code runs on several threads), the
# fuzz targets' fixed replays (clang), and the Debian package built as it
# ships (hardened, checked by lintian). Every stage runs even when an earlier
# one failed; the script exits non-zero when any did and names them on its
# last line, which also names the tests that were skipped.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

failed=()
logs=$(mktemp -d /tmp/orlat-test.XXXXXX)
trap 'rm -rf "$logs"' EXIT
# stage NAME CMD...: runs CMD (a function of this script or a program) and
# records NAME when it fails; its output is kept to be shown again at the end.
stage() {
  local name=$1; shift
  echo "== $name"
  if ! "$@" 2>&1 | tee "$logs/$name"; then
    echo "== $name: FAILED"
    failed+=("$name")
  fi
}

# The tests ctest reports skipped (a tool or a server missing) in a stage's log.
skipped() {
  sed -n -E 's/^[[:space:]]*[0-9]+ - (.*) \(Skipped\)$/\1/p' "$1"
}

# The closing lines of a failed stage: ctest's summary when it got that far.
closing() {
  local from
  from=$(grep -n 'tests passed, ' "$1" | tail -1 | cut -d: -f1)
  if [ -n "$from" ]; then tail -n +"$from" "$1"; else tail -n 15 "$1"; fi
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The number parsers are tested under a German locale (comma decimals).
german_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && return 0
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
}

unit() {
  cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc \
        -DORLAT_SANITIZE=ON -DORLAT_WERROR=ON &&
    cmake --build build/test -j "$jobs" &&
    ctest --test-dir build/test -j "$jobs" --output-on-failure
}

# ThreadSanitizer: only the link, job and job-service test programs are built and run. A
# cache that lost the option (CMake drops it when the compiler changes) is
# started afresh, or the other test programs would show up as not built.
tsan() {
  grep -qs 'ORLAT_TSAN:BOOL=ON' build/tsan/CMakeCache.txt || rm -rf build/tsan
  cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc \
        -DORLAT_TSAN=ON -DORLAT_WERROR=ON &&
    cmake --build build/tsan -j "$jobs" --target test_link test_link_job test_jobs &&
    TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1} \
      ctest --test-dir build/tsan -j "$jobs" --output-on-failure
}

fuzz() {
  cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
        -DCMAKE_C_COMPILER=clang-14 -DORLAT_FUZZ=ON -DORLAT_WERROR=ON &&
    cmake --build build/fuzz -j "$jobs" &&
    ctest --test-dir build/fuzz -j "$jobs" --output-on-failure
}

stage includes tools/check-includes
stage deps tools/deps.sh
stage locale german_locale
stage unit unit
stage tsan tsan
stage fuzz fuzz
stage package tools/package.sh

skips=()
for log in "$logs"/*; do
  while IFS= read -r t; do skips+=("$(basename "$log"): $t"); done < <(skipped "$log")
done
skipnote=""
if [ ${#skips[@]} -gt 0 ]; then
  skipnote="; skipped ${#skips[@]}:"
  for t in "${skips[@]}"; do skipnote+=" $t,"; done
  skipnote=${skipnote%,}
fi

if [ ${#failed[@]} -gt 0 ]; then
  for name in "${failed[@]}"; do
    echo
    echo "== $name failed; its closing lines:"
    closing "$logs/$name"
  done
  echo "test.sh: failed stages: ${failed[*]}$skipnote"
  exit 1
fi
echo "test.sh: all stages passed$skipnote"
