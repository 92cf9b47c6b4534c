#!/usr/bin/env bash
# Builds the Debian package as Debian builds its own: a Release build in
# build/package with the hardening flags of dpkg-buildflags (stack
# protector, _FORTIFY_SOURCE, full RELRO with BIND_NOW; the program parses
# other programs' files and talks TCP), installed under /usr and packed by
# CPack with the dependencies its libraries need. Then lintian checks it:
# any error or warning, or a binary without the hardening, fails the build.
# Prints the package's path; install it with
#   sudo apt install ./build/package/orlatcenter_*.deb    (as root: apt install ...)
# The maintainer is whoever builds it: DEBFULLNAME and DEBEMAIL, else git's user.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DORLAT_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build/package -j "${JOBS:-$(nproc)}"
rm -f build/package/orlatcenter_*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/orlatcenter_*.deb)

# lintian warns against running as root, which is how the CI runs it.
report=build/package/lintian.txt
lintian --display-info --fail-on error,warning "$deb" >"$report" 2>&1 || {
  grep -v 'running with root privileges' "$report" >&2
  echo "package.sh: lintian found errors or warnings in $deb" >&2
  exit 1
}
if grep -q 'hardening-' "$report"; then
  grep 'hardening-' "$report" >&2
  echo "package.sh: $deb is built without the hardening" >&2
  exit 1
fi
echo "$deb"
