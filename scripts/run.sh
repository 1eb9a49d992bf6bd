#!/usr/bin/env bash
# Builds both programs and starts them in the current working directory, where each
# reads or writes "startfile.cir".
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
source "$repo/scripts/deps.sh"
need_packages "${BUILD_PACKAGES[@]}"

cmake -S "$repo" -B "$repo/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$repo/build/release" -j"$(nproc)" --target sorvel mirabo
"$repo/build/release/analyser/app/sorvel" &
"$repo/build/release/designer/app/mirabo" &
wait
