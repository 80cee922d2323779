#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing. Works as root or with
# sudo. Safe to run again: it does nothing when everything is there.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev libcli11-dev
    clang libclang-rt-14-dev
    xvfb xauth fonts-noto-cjk
    appstream desktop-file-utils libxml2-utils
    libudev-dev
    qemu-system-x86 busybox-static cpio gcovr
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi

echo "setup: installing ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
