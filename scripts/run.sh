#!/bin/sh
# Installs what is missing, builds Swatchly and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSWATCHLY_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
exec ./build/swatchly
