#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under AddressSanitizer
# and UndefinedBehaviorSanitizer, runs every test, then fuzzes the readers of
# outside input. Its last lines say how it went: the test suite's counts, then
# one line for each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELVANE_WERROR=ON -DTELVANE_SANITIZE=ON \
      -DTELVANE_BENCH=OFF -DTELVANE_TEST_HOOKS=ON
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
export QT_QPA_PLATFORM=offscreen
junit=$PWD/$build/ctest-results.xml
tests_rc=0
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 --output-junit "$junit" || tests_rc=$?
summary=$(scripts/ctest-summary.sh "$junit" "$build/Testing/Temporary/LastTest.log")
if [ "$tests_rc" -ne 0 ]; then
    echo "$summary"
    exit "$tests_rc"
fi

# Each reader of outside input under libFuzzer: no crash, hang or leak. The
# fuzzers' own statistics go to a log, shown only when one fails.
fuzz_build=build-fuzz
CXX=clang++ CC=clang cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVANE_FUZZ=ON \
    -DTELVANE_WERROR=ON
cmake --build "$fuzz_build"
fuzz_lines=()
fuzz() { # TARGET SECONDS WHAT SEED_CORPUS
    local target=$1 seconds=$2 what=$3 seeds=$4
    local corpus="$fuzz_build/corpus-$target" log="$fuzz_build/$target.log"
    mkdir -p "$corpus"
    echo "Fuzzing $what for $seconds seconds ($target)"
    if ! "$fuzz_build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 "$corpus" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$summary"
        echo "$target: FAILED (crash, hang or leak; see above and $log)"
        exit 1
    fi
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    fuzz_lines+=("$target: ${runs:-?} runs in $seconds seconds, no crash, hang or leak")
}
fuzz sdt_fuzz 60 "the .sdt reader" fuzz/corpus
fuzz codetable_fuzz 30 "the code text table reader" fuzz/corpus-codetable
fuzz program_file_fuzz 30 "the program file checks" fuzz/corpus-hex
fuzz telnet_fuzz 30 "the telnet reader of rfc2217:// connections" fuzz/corpus-telnet
fuzz device_text_fuzz 20 "the device text check" fuzz/corpus-devicetext
fuzz settings_fuzz 20 "the port settings file round trip" fuzz/corpus-settings

echo "$summary"
printf '%s\n' "${fuzz_lines[@]}"
