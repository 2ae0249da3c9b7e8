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
for f in usr/bin/swatchly usr/share/swatchly/swatchly.hlp usr/share/swatchly/swatchly.installed \
         usr/share/applications/io.github.swatchly.Swatchly.desktop \
         usr/share/metainfo/io.github.swatchly.Swatchly.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/io.github.swatchly.Swatchly.png \
         usr/share/icons/hicolor/32x32/apps/io.github.swatchly.Swatchly.png \
         usr/share/icons/hicolor/48x48/apps/io.github.swatchly.Swatchly.png \
         usr/share/man/man1/swatchly.1.gz usr/share/doc/swatchly/copyright usr/share/doc/swatchly/changelog.gz; do
    [ -e "$stage/$f" ] || { echo "FAIL: not installed (or a dangling link): $f"; exit 1; }
done
[ ! -e "$stage/usr/lib" ] || { echo "FAIL: installed under usr/lib: $(find "$stage/usr/lib" -type f)"; exit 1; }
! readelf -d "$stage/usr/bin/swatchly" | grep -qE '\((RUNPATH|RPATH)\)' || { echo "FAIL: usr/bin/swatchly has a RUNPATH"; exit 1; }
hints="$(desktop-file-validate "$stage/usr/share/applications/io.github.swatchly.Swatchly.desktop" 2>&1)"
[ -z "$hints" ] || { echo "FAIL: desktop-file-validate: $hints"; exit 1; }
appstreamcli validate --pedantic --no-net "$stage/usr/share/metainfo/io.github.swatchly.Swatchly.metainfo.xml"
warnings="$(MANWIDTH=80 man --warnings -l "$stage/usr/share/man/man1/swatchly.1.gz" 2>&1 >/dev/null;
    mandoc -Tlint -W warning "$stage/usr/share/man/man1/swatchly.1.gz" 2>&1)"
[ -z "$warnings" ] || { echo "FAIL: man page: $warnings"; exit 1; }
# Installed with --strip, the executable also loses its .comment section.
DESTDIR="$stage/stripped" cmake --install build-test --prefix /usr --strip >/dev/null
! readelf -S -W "$stage/stripped/usr/bin/swatchly" | grep -q ' \.comment ' ||
    { echo "FAIL: cmake --install --strip leaves the .comment section"; exit 1; }
rm -rf "$stage"

echo "== sanitizer build and tests"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSWATCHLY_WERROR=ON -DSWATCHLY_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== end-to-end under Xvfb and openbox"
./tests/e2e/run.sh build-test/swatchly
echo "All tests passed."
