#!/bin/sh
# Builds the whole suite with AddressSanitizer (LeakSanitizer on) and UndefinedBehaviorSanitizer
# in build-asan and runs it. Any report in our code fails a test: undefined behaviour is not
# recoverable in this build and every sanitizer halts on its first error. Reports from inside the
# system libraries are suppressed by scripts/sanitize-suppressions/, each entry with its reason.
# The same build carries the fuzzer's coverage instrumentation (fuzzer-no-link) and links the
# libFuzzer targets, so scripts/fuzz-smoke.sh can run them without a build of its own.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/install-deps.sh --test
# The content pack of the plain build (scripts/test.sh makes it): the generator is build-time
# tooling, not a reader of outside data, and generating the pack again would only cost time.
pack="$root/build/pack"
if [ ! -f "$pack/options.txt" ]; then
  echo "sanitize.sh: no content pack in $pack; run scripts/test.sh first" >&2
  exit 1
fi
# The options hold for the build too: gtest_discover_tests runs the test binaries.
supp="$root/scripts/sanitize-suppressions"
ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:suppressions=$supp/asan.supp"
LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
export ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_BUILD_BENCH=OFF -DQUORVEX_BUILD_FUZZ=ON \
    -DQUORVEX_PACK_FROM="$pack" \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DQUORVEX_SANITIZE=fuzzer-no-link,address,undefined \
    -DCMAKE_C_FLAGS=-fno-sanitize-recover=undefined \
    -DCMAKE_CXX_FLAGS=-fno-sanitize-recover=undefined
cmake --build build-asan -j "$(nproc)"
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
