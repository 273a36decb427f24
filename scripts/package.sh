#!/usr/bin/env bash
# Builds the Debian package morvane_<version>_<arch>.deb from a Release build (without
# tests and benchmarks) and prints its path. Install it with: sudo apt install ./morvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build/package
# Debian's hardening flags: checked libc calls, stack protector, read-only relocations
# bound at start. The Release build's own optimisation stays.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMORVANE_BUILD_TESTS=OFF -DMORVANE_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/morvane_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/morvane_*.deb)
# Debian's own checks of the package, where lintian is installed: errors and warnings fail.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb"
fi
echo "$deb"
