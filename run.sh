#!/usr/bin/env bash
# Sets up what is missing, builds the loader (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEQ_TESTS=OFF -DVEQ_BENCH=OFF >/dev/null
cmake --build build/release
exe=build/release/bin/VEQ3Loader
if [ ! -x "$exe" ]; then
  echo "Built the libraries; the loader's window is not there yet."
  exit 0
fi
exec "$exe" "$@"
