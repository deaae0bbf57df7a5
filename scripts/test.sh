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
# The player's browser tests: puppeteer-core as the lock file pins it.
(cd tests/player && npm ci --no-audit --no-fund --loglevel=error)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENABLE_SANITIZERS=$sanitizers >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j2

# Short runs of the fuzz targets (the RTF reader, the tag text, the export script, the
# lesson text path, the player data, the Word, GIFT and Moodle XML readers, the answer
# sheets alone and with an exam's record, the scans of answer sheets), built with clang's
# libFuzzer.
if [ "$sanitizers" = ON ]; then
  cd ..
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DENABLE_SANITIZERS=ON -DTAVRIN_BUILD_FUZZ=ON -DTAVRIN_BUILD_TESTS=OFF \
    -DTAVRIN_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz --target fuzz_rtf_reader fuzz_tag_text fuzz_export_script \
    fuzz_lesson_text fuzz_quiz_data fuzz_docx fuzz_gift fuzz_moodle_xml fuzz_answer_sheets \
    fuzz_exam_sheets fuzz_scan_pages
  (cd build-fuzz && ctest --output-on-failure)
fi
