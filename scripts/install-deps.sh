#!/usr/bin/env bash
# Installs the Debian 12 packages Morvane needs to build, test and run. Safe to run
# again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  qt6-l10n-tools qt6-tools-dev  # lrelease builds the English translation in; lupdate refreshes it
  qt6-translations-l10n         # Qt's own dialogs and buttons in the window's language
  libftdi1-dev
  libusb-1.0-0-dev  # the libftdi driver asks libusb why a device cannot be opened; the USB emulator
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core
  xvfb xauth imagemagick
  libdsk-utils  # dsktrans and dskid: the tests check our TD0 files against libdsk
  fuse-emulator-utils  # tzxlist and listbasic: the tests read our tape files and BASIC listings with them
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
