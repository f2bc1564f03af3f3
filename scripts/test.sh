#!/bin/sh
# Builds Quillora with its test suites and runs them all: first every suite on
# the offscreen platform through CTest, then the window suites and the program
# itself on a real X display (Xvfb).
set -eu
cd "$(dirname "$0")/.."

./scripts/setup-deps.sh --with-tests
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=Release \
    -DQUILLORA_BUILD_TESTS=ON -DQUILLORA_BUILD_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
xvfb-run -a -s "-screen 0 1280x1024x24" ./scripts/display-check.sh build
