#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it. The
# program is a desktop window: it needs a display (X11 or Wayland), which a
# login over ssh or a container shell lacks; said here in one line rather
# than by Qt's abort after the build.
set -euo pipefail
cd "$(dirname "$0")/.."
answers_without_window=false
for a in "$@"; do
  case "$a" in -h|--help|-v|--version) answers_without_window=true ;; esac
done
if ! $answers_without_window && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "tools/start.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): run it in a desktop session" >&2
  exit 1
fi
tools/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORLAT_TESTS=OFF
cmake --build build/release -j "$(nproc)"
if [ -x build/release/app/OrlatCenter ]; then
  exec build/release/app/OrlatCenter "$@"
fi
echo "build/release/app/OrlatCenter was not built" >&2
exit 1
