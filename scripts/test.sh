#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh           the default preset (Release with tests)
#   scripts/test.sh --asan    the same suite under AddressSanitizer + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
[ "${1:-}" = "--asan" ] && preset=asan

scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)" 2>&1 | tee "build/$preset/ctest.log" | grep -v -E '^ +[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed'
