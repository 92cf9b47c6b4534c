#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need,
# only those that are missing. The install tests use Debian's validators
# (desktop-file-utils, appstream, shared-mime-info, groff-base) and
# xwininfo (x11-utils); the Debian package needs dpkg-shlibdeps and
# dpkg-buildflags (dpkg-dev), and lintian checks it.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      libgtest-dev libgmock-dev googletest libbenchmark-dev
      clang-14 libclang-rt-14-dev
      qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libusb-dev
      locales xvfb xauth x11-utils fonts-noto-cjk
      desktop-file-utils appstream shared-mime-info groff-base dpkg-dev lintian)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
