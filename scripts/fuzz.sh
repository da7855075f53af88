#!/usr/bin/env bash
# Runs one fuzz target with libFuzzer for a while, growing its corpus.
#   scripts/fuzz.sh TARGET [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

# The targets are the tree's yonda_fuzzer() declarations.
targets() {
  grep -rhoE --include=CMakeLists.txt --exclude-dir='build*' --exclude-dir=.git '^\s*yonda_fuzzer\(\s*[A-Za-z0-9_]+' . |
    sed -E 's/.*\(\s*//' | sort -u
}

usage() {
  echo "usage: scripts/fuzz.sh TARGET [SECONDS]"
  echo "Runs the fuzz target TARGET with libFuzzer for SECONDS (default 60), growing its corpus in"
  echo "build-fuzz/corpus/TARGET. Builds the target with clang in build-fuzz/ first."
  echo "Targets: $(targets | paste -sd ' ')"
}

if [ $# -eq 0 ]; then
  usage >&2
  exit 2
fi
case "$1" in
  -h|--help) usage; exit 0 ;;
esac
target=$1
seconds=${2:-60}
if ! targets | grep -qx -- "$target"; then
  echo "scripts/fuzz.sh: no fuzz target '$target'" >&2
  usage >&2
  exit 2
fi
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "scripts/fuzz.sh: SECONDS is a whole number of seconds, not '$seconds'" >&2
  exit 2
fi
if [ $# -gt 2 ]; then
  echo "scripts/fuzz.sh: too many arguments" >&2
  usage >&2
  exit 2
fi

scripts/deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DYONDA_FUZZ=ON -DYONDA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "$target"
corpus=$(ctest --test-dir build-fuzz -N -V -R "^fuzz\.$target\$" | sed -n 's/.*Test command: [^ ]* //p' | head -1 | tr -d '"')
mkdir -p "build-fuzz/corpus/$target"
exec "build-fuzz/fuzz/$target" -max_total_time="$seconds" "build-fuzz/corpus/$target" $corpus
