#!/usr/bin/env bash
# Line coverage of src/ by the suite (gcovr), in build/coverage. The kernel test runs its
# programs inside a VM, whose coverage data never reaches this tree, so it is left out.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/coverage
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
cmake --build "$build" >/dev/null
find "$build" -name '*.gcda' -delete
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -LE kernel -j "$(nproc)" >/dev/null || true
gcovr --root . --filter 'src/' --exclude '.*_autogen/.*' --object-directory "$build" \
    --print-summary --txt "$build/coverage.txt" 2>/dev/null | grep -E '^(lines|branches):'
