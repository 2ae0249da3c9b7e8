#!/bin/sh
# Installs what is missing, builds Swatchly for release with Debian's hardening flags and makes
# its Debian package, checked by lintian: build-package/swatchly_<version>_<arch>.deb.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
rm -f build-package/swatchly_*.deb
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DSWATCHLY_BUILD_TESTS=OFF -DSWATCHLY_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-package -j"$(nproc)"
cpack -G DEB --config build-package/CPackConfig.cmake -B build-package
deb="$(ls build-package/swatchly_*.deb)"
# Every tag, down to the pedantic and experimental ones, is shown; errors and warnings fail.
lintian -EvIL +pedantic --fail-on error,warning "$deb"
echo "Package: $deb"
