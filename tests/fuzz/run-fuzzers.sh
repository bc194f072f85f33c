#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for a bounded time.
#   run-fuzzers.sh [BUILD_DIR [SECONDS [TARGET...]]]
# BUILD_DIR defaults to out-fuzz, SECONDS to 60, the targets to all of them.
# Exits non-zero when a target crashes, hangs, runs out of memory, trips a
# sanitizer or breaks one of its properties; prints one line per target.
set -u

repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-out-fuzz}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
case $build in /*) ;; *) build=$repo/$build ;; esac

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_config fuzz_classify fuzz_fnmatch fuzz_unix2dos fuzz_project fuzz_messages fuzz_inistore fuzz_textfile
             fuzz_edits)
fi

if ! command -v clang++ >/dev/null; then
    echo "run-fuzzers: clang++ is needed (Debian packages clang and libclang-rt-14-dev)" >&2
    exit 2
fi

echo "== configuring $build"
cmake -S "$repo" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DBREWPAD_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log" >&2
    exit 2
}
rm -f "$build.configure.log"
echo "== building the fuzz targets"
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" || exit 2

export QT_QPA_PLATFORM=offscreen
# Temporary files of the targets (a crashed run leaves its own) stay in the build directory.
export TMPDIR=$build/fuzz/tmp
mkdir -p "$TMPDIR"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Leaks of system libraries (fontconfig's caches, for one) are suppressed by name, as in `make test`.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$repo/tests/lsan-suppressions.txt:print_suppressions=0}

failed=0
summary=()
for t in "${targets[@]}"; do
    name=${t#fuzz_}
    seeds=$repo/tests/fuzz/corpus/$name
    work=$build/fuzz/corpus-$name       # new inputs go here, not into the tree
    artifacts=$build/fuzz/artifacts-$name/
    log=$build/fuzz/$t.log
    mkdir -p "$work" "$artifacts"
    echo "== $t: ${seconds}s (log: $log)"
    ( cd "$build/fuzz" && "./$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts" "$work" "$seeds" ) >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
    if [ $rc -eq 0 ] && ! grep -qE '^==[0-9]+==ERROR|runtime error:|^SUMMARY: ' "$log"; then
        summary+=("PASS  $t  (${runs:-?} runs)")
    else
        failed=1
        what=$(grep -m1 -oE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer): [a-z-]+( signal| leaks| after [0-9]+ seconds)?|runtime error: .*' "$log")
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n1)
        summary+=("FAIL  $t  (exit $rc: ${what:-see log}${artifact:+; input: $artifact})")
        tail -n 40 "$log" >&2
    fi
done

echo "== fuzzing results (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
exit $failed
