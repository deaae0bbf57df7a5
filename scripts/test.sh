#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UBSan, and runs
# the whole test suite offscreen. Pass --no-sanitizers for a plain build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
sanitizers=ON
build=build-tests
if [ "${1:-}" = "--no-sanitizers" ]; then
  sanitizers=OFF
  build=build-tests-plain
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENABLE_SANITIZERS=$sanitizers >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j2
