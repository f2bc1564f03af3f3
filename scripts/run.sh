#!/bin/sh
# Builds Quillora and starts it, with its folders sablonok/ and mezoadatok/
# (and their samples) beside the program in build/bin.
# Usage: ./scripts/run.sh [file]   (a .sab, .mza or Word file to open at start)
set -eu
cd "$(dirname "$0")/.."

./scripts/setup-deps.sh
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=Release \
    -DQUILLORA_BUILD_TESTS=OFF -DQUILLORA_BUILD_BENCH=OFF >/dev/null
cmake --build build --target quillora quillora_folders -j"$(nproc)"
exec ./build/bin/quillora "$@"
