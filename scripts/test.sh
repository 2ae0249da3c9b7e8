#!/bin/sh
# Installs what is missing, then builds and runs every test: the unit and GUI tests (warnings
# are errors), the same tests with AddressSanitizer and UndefinedBehaviorSanitizer, the format
# check, and the end-to-end script on a real X server.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs="$(nproc)"

echo "== format check"
find app color palette platform resources tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror

echo "== build and tests"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DSWATCHLY_WERROR=ON
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== installation"
stage="$(mktemp -d)"
DESTDIR="$stage" cmake --install build-test --prefix /usr >/dev/null
for f in usr/bin/swatchly usr/lib/swatchly/swatchly usr/lib/swatchly/swatchly.hlp usr/lib/swatchly/swatchly.installed \
         usr/share/applications/io.github.swatchly.Swatchly.desktop \
         usr/share/metainfo/io.github.swatchly.Swatchly.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/io.github.swatchly.Swatchly.png \
         usr/share/icons/hicolor/32x32/apps/io.github.swatchly.Swatchly.png \
         usr/share/icons/hicolor/48x48/apps/io.github.swatchly.Swatchly.png; do
    [ -e "$stage/$f" ] || { echo "FAIL: not installed: $f"; exit 1; }
done
desktop-file-validate "$stage/usr/share/applications/io.github.swatchly.Swatchly.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/io.github.swatchly.Swatchly.metainfo.xml"
rm -rf "$stage"

echo "== sanitizer build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSWATCHLY_WERROR=ON -DSWATCHLY_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== end-to-end under Xvfb and openbox"
./tests/e2e/run.sh build-test/swatchly
echo "All tests passed."
