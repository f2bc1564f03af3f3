#!/bin/sh
# Builds the engine benchmark in Release (build-bench/) and runs it.
# Arguments are passed on: --repeat N (default 3), --strict (exit 3 on a missed budget).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLORA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target quillora-bench -j"${JOBS:-2}"
QT_QPA_PLATFORM=offscreen exec "$build/bin/quillora-bench" "$@"
