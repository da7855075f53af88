#!/usr/bin/env bash
# Runs one fuzz target with libFuzzer for a while, growing its corpus.
#   scripts/fuzz.sh TARGET [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
scripts/deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DYONDA_FUZZ=ON -DYONDA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "$target"
corpus=$(ctest --test-dir build-fuzz -N -V -R "^fuzz\.$target\$" | sed -n 's/.*Test command: [^ ]* //p' | head -1 | tr -d '"')
mkdir -p "build-fuzz/corpus/$target"
exec "build-fuzz/fuzz/$target" -max_total_time="$seconds" "build-fuzz/corpus/$target" $corpus
