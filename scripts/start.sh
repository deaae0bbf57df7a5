#!/usr/bin/env bash
# Installs what is missing, builds the tool into build/Tavrin/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_BUILD_TESTS=OFF \
      -DTAVRIN_BUILD_BENCH=OFF >/dev/null
cmake --build build --target tavrin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Tavrin is built in build/Tavrin/, but there is no graphical display to show it on" >&2
  echo "(DISPLAY is not set). Run this from a desktop session, or under xvfb-run." >&2
  exit 2
fi
exec build/Tavrin/tavrin "$@"
