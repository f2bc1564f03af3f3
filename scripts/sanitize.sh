#!/bin/sh
# Runs the test suites built with AddressSanitizer and UndefinedBehaviorSanitizer
# (the instrumented build of scripts/instrumented-build.sh); any report fails
# the run. Suppressions (Qt-internal reports only, each explained) live in
# tests/sanitizers/.
#
#   ./scripts/sanitize.sh [suite-prefix...]     e.g. ./scripts/sanitize.sh word fields
#
# Without prefixes the whole suite is built and run.
set -eu
cd "$(dirname "$0")/.."
prefixes="$*"

regex="."
if [ -n "$prefixes" ]; then
    regex="^($(echo "$prefixes" | tr ' ' '|'))_tst_"
fi
build=$(./scripts/instrumented-build.sh | tail -n 1)

supp="$(pwd)/tests/sanitizers"
export ASAN_OPTIONS="abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="suppressions=$supp/ubsan.supp:print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -R "$regex" --timeout 600
