#!/bin/sh
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each of them for the given number of seconds (60 by default) on its
# seeds: the engine corpus of ../shared/corpus plus small generated files.
#
#   ./scripts/fuzz.sh [seconds] [target...]
#
# Findings land in build-inst/findings/<target>/; copy each one, after fixing
# it, into fuzz/regressions/<target>/, which the normal test suite reads.
# Runs at the lowest priority: the machine is shared.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets="${*:-fuzz_package fuzz_docreader fuzz_fill fuzz_fielddata fuzz_formats}"
# The targets come from the instrumented build the sanitizer suite uses too.
# shellcheck disable=SC2086
build=$(./scripts/instrumented-build.sh $targets | tail -n 1)

seeds="$build/seeds"
rm -rf "$seeds"
python3 fuzz/make-seeds.py "$seeds"
corpus="../shared/corpus"
# Only files within -max_len: a longer seed is cut to it, and a zip cut short
# has lost its central directory, so it would only be refused again and again.
for t in fuzz_package fuzz_docreader fuzz_fill; do
    if [ -d "$corpus" ]; then
        find "$corpus" -type f \( -iname '*.docx' -o -iname '*.dotx' -o -iname '*.docm' -o -iname '*.dotm' -o -iname '*.xml' \) \
            -size -64k -exec cp {} "$seeds/$t/" \;
    fi
done
for t in fuzz_package fuzz_docreader fuzz_fill fuzz_fielddata fuzz_formats; do
    [ -d "fuzz/regressions/$t" ] && cp fuzz/regressions/"$t"/* "$seeds/$t/" 2>/dev/null || true
done

status=0
for t in $targets; do
    work="$build/corpus/$t"
    findings="$build/findings/$t"
    mkdir -p "$work" "$findings"
    echo "== $t: $seconds s"
    # Qt's own leaks at exit (fonts, plugins) are not findings of ours.
    if ! ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        QT_QPA_PLATFORM=offscreen nice -n 19 "$build/bin/$t" "$work" "$seeds/$t" \
        -dict=fuzz/wordml.dict -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=3072 \
        -artifact_prefix="$findings/" -print_final_stats=1 >"$build/$t.log" 2>&1; then
        echo "fuzz.sh: $t found something; see $build/$t.log and $findings/" >&2
        tail -n 30 "$build/$t.log" >&2
        status=1
    fi
    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+.*DONE)" "$build/$t.log" || true
done
exit $status
