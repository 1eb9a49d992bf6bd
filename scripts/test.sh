#!/usr/bin/env bash
# Builds everything and runs every test: in a plain build (with the Debian package built,
# validated and run from a scratch root), then each fuzz target for a bounded time under
# libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, then every test again in
# a build under those sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPACKAGE_TESTS=ON
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure

# About a minute of fuzzing in all; scripts/fuzz.sh SECONDS runs longer campaigns.
bash scripts/fuzz.sh 20

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_BENCHMARKS=OFF
cmake --build build/sanitize -j"$jobs"
# Test suites named *Slow (accuracy over whole grids of designs) run only in the plain build:
# the sanitizers see the same code paths in the quick tests.
GTEST_FILTER='-*Slow.*' ctest --test-dir build/sanitize --output-on-failure
