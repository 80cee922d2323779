#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
#   scripts/fuzz.sh fuzz_datafile 60     run fuzz_datafile for 60 seconds
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS]}
seconds=${2:-60}
scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target"
corpus=$(mktemp -d)
cp -r "tests/fuzz/corpus/$target/." "$corpus/" 2>/dev/null || true
"build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
