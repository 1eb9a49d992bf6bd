#!/usr/bin/env bash
# Builds every fuzz target with clang and libFuzzer in build/fuzz, then runs each for SECONDS
# (default 20) from its seed corpus, one after the other.
#   bash scripts/fuzz.sh [SECONDS]
# Inputs that reach new code are kept in build/fuzz/corpus/<target>; an input that crashes a
# target is saved in build/fuzz/findings/ and the script ends with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

seconds=${1:-20}
build=build/fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DFUZZ=ON -DBUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$build" --target fuzz -j"$(nproc)"

mkdir -p "$build/findings"
failed=0
while read -r program corpus; do
    name=$(basename "$program")
    work="$build/corpus/$name"
    mkdir -p "$work"
    dict=()
    [ -f "${corpus%_corpus}.dict" ] && dict=(-dict="${corpus%_corpus}.dict")
    echo "== $name for ${seconds}s"
    if ! "$program" "${dict[@]}" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
            -artifact_prefix="$build/findings/$name-" "$work" "$corpus" 2> "$build/$name.log"; then
        failed=1
        echo "$name FAILED; see $build/$name.log and $build/findings/"
    fi
    grep -E "DONE|^stat::number_of_executed_units|^stat::new_units_added" "$build/$name.log" || true
done < "$build/fuzz_targets.txt"
exit "$failed"
