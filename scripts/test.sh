#!/usr/bin/env bash
# Builds everything and runs every test: first a Release build (unit tests, the headless
# VST3 host tests, benchmarks built and smoke-run), then a Debug build of the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer (where JUCE assertions also fail),
# then the processor's tests (its threads: generation, parameters, state saves), the kit's
# (its worker threads) and the hosted plug-in's under ThreadSanitizer, and last the fuzz
# targets of every parser of outside input, built with clang's libFuzzer and each run for a few
# seconds from its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
# Test builds point the maker's web service at a closed port on this machine: a processor
# made by a test starts its update check, and no test may reach beyond loopback. The kit's
# own network tests run servers of their own on 127.0.0.1.
service=-DCORVESSA_SERVICE_BASE_URL=http://127.0.0.1:9
# Tests and benchmarks run with a HOME of their own: nothing they write (settings, sync files,
# bridge folders, lock files) may reach the real user folders. The build keeps the real HOME so
# that the compiler cache is found.
test_home=$(mktemp -d /tmp/corvessa-ci-home-XXXXXX)
trap 'rm -rf "$test_home"' EXIT
started=$SECONDS
phase() { echo "== [$((SECONDS - started)) s] $*"; }

# run_suite DIR all|unit-tests CMAKE-ARGS...: configure, build everything or only the unit-test
# executables, run ctest.
run_suite() {
    local dir=$1 what=$2; shift 2
    cmake -S . -B "$dir" -G Ninja "$service" "$@"
    if [ "$what" = unit-tests ]; then
        # shellcheck disable=SC2046
        cmake --build "$dir" -j "$jobs" --target $(ninja -C "$dir" -t targets | sed -n 's/^\([a-z_]*_tests\): .*/\1/p')
    else
        cmake --build "$dir" -j "$jobs"
    fi
    (cd "$dir" && HOME="$test_home" ctest -j "$jobs" --output-on-failure --timeout 300)
}

phase "Release: unit tests, host tests, benchmarks"
run_suite build/test-release all -DCMAKE_BUILD_TYPE=Release
if [ -x build/test-release/bench/corvessa_bench ]; then
    HOME="$test_home" build/test-release/bench/corvessa_bench --benchmark_min_time=0.01 > build/test-release/bench.txt
    echo "benchmarks ran: $(grep -c '^BM_' build/test-release/bench.txt) figures (build/test-release/bench.txt)"
fi
host_bench=build/test-release/bench/host/corvessa_host_bench_artefacts/Release/corvessa_host_bench
if [ -x "$host_bench" ]; then
    HOME="$test_home" "$host_bench" --benchmark_min_time=0.01 > build/test-release/host-bench.txt
    echo "host benchmarks ran: $(grep -c '^BM_' build/test-release/host-bench.txt) figures (build/test-release/host-bench.txt)"
fi

phase "Debug with AddressSanitizer and UndefinedBehaviorSanitizer: unit tests"
# Only the unit-test executables: the plug-in wrappers are covered by the Release run. Display
# tests load the X libraries, whose per-process allocations tests/lsan.supp names.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
run_suite build/test-asan unit-tests -DCMAKE_BUILD_TYPE=Debug -DCORVESSA_SANITIZE=address,undefined \
    -DCORVESSA_BUILD_HOST_TESTS=OFF -DCORVESSA_BUILD_BENCHMARKS=OFF

phase "Debug with ThreadSanitizer: processor, kit and hosted plug-in tests"
cmake -S . -B build/test-tsan -G Ninja "$service" -DCMAKE_BUILD_TYPE=Debug -DCORVESSA_SANITIZE=thread \
    -DCORVESSA_BUILD_HOST_TESTS=ON -DCORVESSA_BUILD_BENCHMARKS=OFF
cmake --build build/test-tsan -j "$jobs" --target processor_tests kit_tests bridge_tests corvessa_host_tests
host_tests=$(find build/test-tsan/tests/host -type f -name corvessa_host_tests -perm -u+x | head -n1)
# Each suite runs as a few processes side by side, each taking its share of the tests (GoogleTest's
# sharding); the shared test main gives every process a HOME of its own. Under the sanitizer the
# window tests of the host's suite take minutes each, and one process running them all in turn
# would hold CI for far longer than the rest of it.
# The kit's suites hold its worker threads (telemetry, update check, support request); the
# host's suite runs the plug-in (built with the sanitizer too) under a host's threads: its
# message thread, the host's parameter edits and the audio callback.
# A JUCE assertion only logs: it fails the run here too.
shards=$(( jobs < 4 ? jobs : 4 ))
for suite in build/test-tsan/tests/processor_tests build/test-tsan/tests/kit_tests build/test-tsan/tests/bridge_tests "$host_tests"; do
    log=build/test-tsan/$(basename "$suite").log
    pids=()
    for ((shard = 0; shard < shards; ++shard)); do
        HOME="$test_home" GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$shard \
            TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
            "$suite" > "$log.$shard" 2>&1 &
        pids+=($!)
    done
    failed=0
    for ((shard = 0; shard < shards; ++shard)); do
        wait "${pids[$shard]}" || failed=1
    done
    cat "$log".* > "$log"
    rm -f "$log".*
    if [ "$failed" != 0 ] || grep -q "JUCE Assertion failure" "$log"; then
        grep -n -B5 -A40 "FAILED\|ThreadSanitizer\|JUCE Assertion failure" "$log" | head -n 300
        echo "$(basename "$suite") failed under ThreadSanitizer (whole output: $log)" >&2
        exit 1
    fi
    echo "$(basename "$suite"): $(grep -h -c '^\[       OK \]' "$log") tests passed under ThreadSanitizer"
done

phase "Fuzz targets (clang, libFuzzer): built and each run briefly"
# A smoke run, not a fuzzing campaign: each target starts from its seed inputs (fuzz/corpus)
# and mutates them for a few seconds; any crash, hang, sanitizer report or broken promise
# fails the run and leaves the input in build/test-fuzz/work.
CC=clang CXX=clang++ cmake -S . -B build/test-fuzz -G Ninja "$service" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
    -DCORVESSA_BUILD_FUZZERS=ON -DCORVESSA_SANITIZE=address,undefined,fuzzer-no-link \
    -DCORVESSA_BUILD_TESTS=OFF -DCORVESSA_BUILD_HOST_TESTS=OFF -DCORVESSA_BUILD_BENCHMARKS=OFF
cmake --build build/test-fuzz -j "$jobs" --target corvessa_fuzzers
for fuzzer in build/test-fuzz/fuzz/fuzz_*; do
    name=${fuzzer##*/fuzz_}
    work=build/test-fuzz/work/$name
    rm -rf "$work"
    mkdir -p "$work"
    if ! "$fuzzer" -max_total_time=5 -max_len=4096 -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$work/" \
            "$work" "fuzz/corpus/$name" > "$work.log" 2>&1; then
        tail -n 60 "$work.log"
        echo "fuzz target $name failed; the input is in $work" >&2
        exit 1
    fi
    echo "fuzz_$name: $(grep -o 'Done [0-9]* runs' "$work.log")"
done
phase "all passed"
