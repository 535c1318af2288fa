#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs every test.
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
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

# The ".sdt" reader under libFuzzer for a minute: no crash, hang or leak.
fuzz_build=build-fuzz
CXX=clang++ CC=clang cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVANE_FUZZ=ON \
    -DTELVANE_WERROR=ON
cmake --build "$fuzz_build"
mkdir -p "$fuzz_build/corpus"
"$fuzz_build/bin/sdt_fuzz" -max_total_time=60 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$fuzz_build/corpus" fuzz/corpus
echo "sdt_fuzz: no crash, hang or leak in 60 seconds"

# The code text table reader for half a minute.
mkdir -p "$fuzz_build/corpus-codetable"
"$fuzz_build/bin/codetable_fuzz" -max_total_time=30 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$fuzz_build/corpus-codetable" fuzz/corpus-codetable
echo "codetable_fuzz: no crash, hang or leak in 30 seconds"
# The program file checks made before a download, for 30 seconds.
mkdir -p "$fuzz_build/corpus-hex"
"$fuzz_build/bin/program_file_fuzz" -max_total_time=30 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$fuzz_build/corpus-hex" fuzz/corpus-hex
echo "program_file_fuzz: no crash, hang or leak in 30 seconds"
