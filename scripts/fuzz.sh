#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for SECONDS (default 30) from its seed corpus in fuzz/corpus/. New inputs go to
# a working corpus in the build folder, never into the repository; a finding stops the script
# with the target's status and leaves the input that broke it (crash-*, leak-*, timeout-*) in
# the build folder. Usage: fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
build=${POINTILLO_FUZZ_BUILD:-$root/build-fuzz}
targets=("$@")
((${#targets[@]})) || targets=(table_reader options help_file picture property_bag)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPOINTILLO_FUZZ=ON -DBUILD_TESTING=OFF -DPOINTILLO_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_odr_violation=0:detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
    work=$build/corpus/$t
    mkdir -p "$work"
    echo "== fuzz_$t for $seconds s"
    (cd "$build" && "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2560 -max_len=65536 -print_final_stats=1 "$work" "$root/fuzz/corpus/$t" \
        2>&1 | grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss|==|SUMMARY|.*property does not hold|INFO: Seed)' || true)
    # The pipe above hides the status; libFuzzer leaves a crash-, leak- or timeout- file.
    if compgen -G "$build/crash-*" >/dev/null || compgen -G "$build/leak-*" >/dev/null ||
        compgen -G "$build/timeout-*" >/dev/null || compgen -G "$build/oom-*" >/dev/null; then
        echo "fuzz_$t found a fault; the input is in $build" >&2
        exit 1
    fi
done
