#!/bin/sh
# Builds the test suites with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them; any report fails the run. Suppressions (Qt-internal reports
# only, each explained) live in tests/sanitizers/.
#
#   ./scripts/sanitize.sh [suite-prefix...]     e.g. ./scripts/sanitize.sh word fields
#
# Without prefixes every suite is built and run.
set -eu
cd "$(dirname "$0")/.."
build="${QUILLORA_SANITIZE_BUILD:-build-san}"
prefixes="$*"

launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_SANITIZE=address,undefined \
    -DQUILLORA_BUILD_TESTS=ON -DQUILLORA_BUILD_BENCH=OFF $launcher >/dev/null

regex="."
targets="all"
if [ -n "$prefixes" ]; then
    regex="^($(echo "$prefixes" | tr ' ' '|'))_tst_"
    targets=$(ninja -C "$build" -t targets all | sed -n 's/^\([a-z]*_tst_[a-z0-9_]*\): phony$/\1/p' | grep -E "$regex" | sort -u | tr '\n' ' ')
fi
# shellcheck disable=SC2086
# The programs only when their suites are asked for; the sample folders always.
extra="quillora_folders"
case " $prefixes " in *" cli "*|*" app "*|"  ") extra="$extra quillora quillora-cli" ;; esac
nice -n 10 cmake --build "$build" --target $targets $extra -j"$(nproc)"

supp="$(pwd)/tests/sanitizers"
export ASAN_OPTIONS="abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="suppressions=$supp/ubsan.supp:print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -R "$regex" --timeout 600
