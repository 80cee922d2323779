#!/usr/bin/env bash
# Builds Tessik and starts it. Without a receiver (USB vendor 07f7) attached it starts with the
# simulated receiver built into the program. Arguments are passed on to tessik.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tessik -j 2

# A receiver shows up as a hidraw device whose HID_ID names vendor 07F7 (any product ID: normal
# mode, the alternate ID, or waiting for a firmware update).
receiver_attached() {
    local uevent
    for uevent in /sys/class/hidraw/*/device/uevent; do
        [ -r "$uevent" ] || continue
        grep -qi '^HID_ID=[0-9a-f]*:000007F7:' "$uevent" && return 0
    done
    return 1
}

args=("$@")
if receiver_attached; then
    echo "run: receiver (USB 07f7) found: starting tessik with it."
else
    echo "run: no receiver (USB 07f7) attached: starting tessik with the simulated receiver (--simulate)."
    args=(--simulate "${args[@]}")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: there is no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    echo "run: start it from a desktop session, or under a virtual display: xvfb-run -a scripts/run.sh" >&2
    exit 2
fi

exec build/default/src/app/tessik "${args[@]}"
