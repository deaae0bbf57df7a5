#!/bin/bash
# Every benchmark of bench/ in one run, after the machine's description: the figures the
# README's table is made from. Usage: bench/run_all.sh BUILD_DIR (a Release build).
set -euo pipefail
build=${1:?a Release build folder}
here=$(cd "$(dirname "$0")" && pwd)
echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores," \
     "$(free -g | awk '/^Mem:/ {print $2}') GiB, $(uname -sr);" \
     "disk $(df -h "$build" | awk 'NR == 2 {print $1}') ($(findmnt -no FSTYPE -T "$build"));" \
     "$(chromium --version 2>/dev/null || echo 'no Chromium')"
echo "Started $(date -u +%FT%TZ)"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
for program in bench_export bench_formatter bench_rich_text bench_lesson_files bench_store \
               bench_paper bench_score; do
    "$build/bench/$program" --benchmark_counters_tabular=true
done
# The start of the program on a real X display, the window mapped and painted.
xvfb-run -a -s "-screen 0 1400x900x24" env QT_QPA_PLATFORM=xcb \
    "$build/bench/bench_startup" --benchmark_counters_tabular=true
node "$here/player_click.mjs" 257 20000
node "$here/player_formulas.mjs"
echo "Ended $(date -u +%FT%TZ)"
