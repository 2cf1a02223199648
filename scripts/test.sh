#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite, the packaging
# checks, the same suite under AddressSanitizer/UBSan, and a bounded run of each fuzzer.
# FUZZ_SECONDS sets the time per fuzz target (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== Formatting"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

jobs=$(nproc)
echo "== Test suite"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Packaging"
bash scripts/check-packaging.sh build

echo "== Test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
if [ ! -f build-asan/build.ninja ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
fi
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Fuzzing"
if [ ! -f build-fuzz/build.ninja ]; then
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++-14 -DMARLOX_BUILD_FUZZ=ON -DMARLOX_BUILD_TESTS=OFF
fi
cmake --build build-fuzz
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

echo "== All tests passed"
