#!/usr/bin/env bash
# Renders every window, in English and Japanese, to PNG files for review.
#   scripts/screenshots.sh OUT_DIR        at 100 %
#   scripts/screenshots.sh OUT_DIR 2      at 200 % (QT_SCALE_FACTOR)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: scripts/screenshots.sh OUT_DIR [SCALE]}
cmake --preset default >/dev/null
cmake --build --preset default --target tessik_screenshots
mkdir -p "$out"
TESSIK_SCREENSHOT_DIR=$(realpath "$out") QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=${2:-1} \
    build/default/scripts/screenshots/tessik_screenshots --gtest_brief=1
ls "$out"
