#!/usr/bin/env bash
# Builds the tool and starts it. Without a receiver (USB 07f7:0018/0019/0021) attached, it
# starts with the built-in simulated receiver.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tessik-cli

sample=build/default/living-room-tv.ird
build/default/src/cli/tessik-cli import res/samples/living-room-tv.json "$sample"
build/default/src/cli/tessik-cli show "$sample"
