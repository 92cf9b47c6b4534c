#!/usr/bin/env bash
# Builds the Debian package: a Release build in build/package installed
# under /usr, packed by CPack with the dependencies its libraries need.
# Prints the package's path; install it with
#   sudo apt install ./build/package/orlatcenter_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DORLAT_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build/package -j "${JOBS:-$(nproc)}"
rm -f build/package/orlatcenter_*.deb
(cd build/package && cpack -G DEB >/dev/null)
ls build/package/orlatcenter_*.deb
