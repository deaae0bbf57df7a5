#!/usr/bin/env bash
# Line coverage of src/ by the whole suite: a --coverage build, the tests (fuzz and benchmark
# runs left out), then gcovr's summary. Usage: scripts/coverage.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-coverage}
command -v gcovr >/dev/null || { echo "coverage: needs gcovr (scripts/setup.sh installs it)"; exit 2; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS=--coverage \
  -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build"
find "$build" -name '*.gcda' -delete
(cd tests/player && [ -d node_modules ] || npm ci --no-audit --no-fund --loglevel=error)
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j2 -E 'fuzz|bench' --output-on-failure)
gcovr -r . --object-directory "$build" --filter 'src/' --gcov-ignore-parse-errors \
  --txt "$build/coverage.txt" --print-summary | tail -3
