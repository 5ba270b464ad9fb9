#!/usr/bin/env bash
# Sets up what is missing, builds everything with sanitizers, runs every test, then
# runs each fuzz target for a bounded number of inputs. Fails when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEQ_SANITIZE=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs" --timeout 300

# Fuzz targets: a separate clang build.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEQ_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzzers
shopt -s nullglob
for f in build/fuzz/bin/fuzz_*; do
  name=$(basename "$f")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "== $name"
  log="build/fuzz/$name.log"
  if ! "$f" -runs=20000 -max_len=4096 -timeout=10 "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name failed"
    exit 1
  fi
  tail -n 1 "$log"
done
echo "All tests and fuzz targets passed."
