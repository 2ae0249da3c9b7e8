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
         usr/share/icons/hicolor/48x48/apps/io.github.swatchly.Swatchly.png \
         usr/share/man/man1/swatchly.1.gz usr/share/doc/swatchly/copyright usr/share/doc/swatchly/changelog.gz; do
    [ -e "$stage/$f" ] || { echo "FAIL: not installed (or a dangling link): $f"; exit 1; }
done
[ "$(readlink "$stage/usr/bin/swatchly")" = ../lib/swatchly/swatchly ] || { echo "FAIL: usr/bin/swatchly is not a relative link"; exit 1; }
hints="$(desktop-file-validate "$stage/usr/share/applications/io.github.swatchly.Swatchly.desktop" 2>&1)"
[ -z "$hints" ] || { echo "FAIL: desktop-file-validate: $hints"; exit 1; }
appstreamcli validate --pedantic --no-net "$stage/usr/share/metainfo/io.github.swatchly.Swatchly.metainfo.xml"
warnings="$(MANWIDTH=80 man --warnings -l "$stage/usr/share/man/man1/swatchly.1.gz" 2>&1 >/dev/null)"
[ -z "$warnings" ] || { echo "FAIL: man page: $warnings"; exit 1; }
# An absolute program folder (CMAKE_INSTALL_LIBDIR outside the prefix): only the link is
# installed from a second, unbuilt tree; it must lead to where the executable goes.
cmake -S . -B "$stage/tree" -DSWATCHLY_BUILD_TESTS=OFF -DSWATCHLY_BUILD_BENCH=OFF \
    -DCMAKE_INSTALL_LIBDIR=/opt/swatchly-libdir >/dev/null
DESTDIR="$stage/abs" cmake --install "$stage/tree" --prefix /usr/local --component link >/dev/null
[ "$(readlink -m "$stage/abs/usr/local/bin/swatchly")" = "$stage/abs/opt/swatchly-libdir/swatchly/swatchly" ] ||
    { echo "FAIL: with an absolute libdir usr/local/bin/swatchly -> $(readlink "$stage/abs/usr/local/bin/swatchly")"; exit 1; }
rm -rf "$stage"

echo "== sanitizer build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSWATCHLY_WERROR=ON -DSWATCHLY_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== end-to-end under Xvfb and openbox"
./tests/e2e/run.sh build-test/swatchly
echo "All tests passed."
