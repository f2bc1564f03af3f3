#!/bin/sh
# The one instrumented build behind the sanitizer suite and the fuzzers:
# clang with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's
# coverage over every library, the test suites and the fuzz targets, in
# build-inst/ (QUILLORA_INSTRUMENTED_BUILD elsewhere). Builds the targets
# named, or everything.
#
#   ./scripts/instrumented-build.sh [target...]
#
# Prints the build folder on its last line. -O1 with line tables only: the
# sanitizers' own advice, and far quicker to build than full debug info.
set -eu
cd "$(dirname "$0")/.."
build="${QUILLORA_INSTRUMENTED_BUILD:-build-inst}"

if ! command -v clang++ >/dev/null 2>&1; then
    echo "instrumented-build.sh: clang++ is needed (Debian package clang)" >&2
    exit 1
fi
launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DQUILLORA_FUZZ=ON -DQUILLORA_BUILD_TESTS=ON -DQUILLORA_BUILD_BENCH=OFF $launcher >/dev/null
if [ $# -gt 0 ]; then
    nice -n 10 cmake --build "$build" --target "$@" -j"$(nproc)" >&2
else
    nice -n 10 cmake --build "$build" -j"$(nproc)" >&2
fi
echo "$build"
