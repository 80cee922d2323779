#!/usr/bin/env bash
# Tessik for Windows, built on this Debian machine and tested under wine:
#   scripts/windows.sh          install what is missing, build Qt for Windows once (cached),
#                               cross-build tessik.exe, tessik-cli.exe and the test suites, run
#                               the suites under wine, make the installer and the portable zip
#   scripts/windows.sh qt       only install what is missing and build Qt for Windows
#
# Everything comes from Debian: the mingw-w64 compilers, wine, NSIS, and Qt built from Debian's
# own qt6-base source package (the same version as the Linux Qt installed here, whose moc, rcc
# and uic the build uses). The built Qt lives outside the checkout, in
# ${XDG_CACHE_HOME:-~/.cache}/tessik, keyed by its version, so a machine builds it once (about
# half an hour on two cores). The results land in build/windows/out.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build_dir=$source_dir/build/windows
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tessik

say() { echo "windows: $*"; }
die() {
    echo "windows: $*" >&2
    exit 1
}

# --- Debian packages ---------------------------------------------------------------------------

packages=(
    g++-mingw-w64-x86-64-posix wine wine64 nsis zip
    cmake ninja-build dpkg-dev xz-utils
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n googletest nlohmann-json3-dev libcli11-dev
    xvfb xauth xdotool fonts-noto-cjk
)

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 ||
            die "these packages are missing and neither root nor sudo is available: ${missing[*]}"
        sudo=(sudo)
    fi
    say "installing ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# --- Qt for Windows ----------------------------------------------------------------------------

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
qt_prefix=$cache/qt-${qt_version//[:+~]/_}-mingw-w64-static

# The source package comes through a private apt state whose one deb-src entry repeats the
# archive this machine already installs from, so /etc/apt stays as it is and no archive is
# named here.
fetch_qt_source() {
    local work=$1 codename uri
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    uri=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $codename" "Component: main" \
        "Created-By: Packages" | head -n 1)
    if [ -z "$uri" ]; then
        apt-get update -q >/dev/null 2>&1 || true
        uri=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $codename" \
            "Component: main" "Created-By: Packages" | head -n 1)
    fi
    [ -n "$uri" ] || die "no apt source for Debian $codename main is configured on this machine"
    mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/apt/parts"
    cat >"$work/apt/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $codename main
EOF
    local apt_opts=(-o "Dir::Etc::sourcelist=$work/apt/sources.list"
        -o "Dir::Etc::sourceparts=$work/apt/parts" -o "Dir::State::Lists=$work/apt/lists"
        -o "Dir::Cache::Archives=$work/apt/archives" -o "APT::Sandbox::User=root")
    apt-get "${apt_opts[@]}" update -q >"$work/source.log" 2>&1 &&
        (cd "$work" && apt-get "${apt_opts[@]}" source -q "qt6-base=$qt_version" \
            >>"$work/source.log" 2>&1) ||
        die "fetching the qt6-base source failed: see $work/source.log"
}

build_qt() {
    [ -f "$qt_prefix/.complete" ] && return 0
    [ -n "$qt_version" ] || die "qt6-base-dev is not installed"
    local work=$cache/qt-build
    say "building Qt $qt_version for Windows into $qt_prefix (once per machine; about 30 minutes)"
    rm -rf "$work" "$qt_prefix"
    mkdir -p "$work" "$qt_prefix"
    fetch_qt_source "$work"
    local src
    src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    [ -n "$src" ] || die "apt-get source qt6-base=$qt_version unpacked nothing"
    # Qt's qt-cmake keeps the toolchain file's path: the copy in the prefix outlives checkouts.
    cp cmake/mingw-w64-x86_64.cmake "$qt_prefix/mingw-w64-x86_64.cmake"
    # Debian's source leaves out the tablet header (wintab.h), so tablet events are off. OpenGL
    # stays on: the Windows platform plugin of this version does not compile without it.
    nice -n 10 cmake -G Ninja -S "$src" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF -DFEATURE_xml=OFF \
        -DFEATURE_tabletevent=OFF -DINPUT_openssl=no \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF >"$work/configure.log" 2>&1 ||
        die "configuring Qt failed: see $work/configure.log"
    # The CMake package files that programs build against exist only in the installed tree.
    nice -n 10 cmake --build "$work/build" --target install >"$work/build.log" 2>&1 ||
        die "building Qt failed: see $work/build.log"
    touch "$qt_prefix/.complete"
    rm -rf "$work"
}

# --- GoogleTest and the header-only libraries ---------------------------------------------------

gtest_version=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || true)
deps=$cache/deps-googletest-${gtest_version//[:+~]/_}-mingw-w64

# GoogleTest from the sources Debian's googletest package ships; CLI11 and nlohmann-json are
# headers only, taken as Debian installs them, through package files of their own whose include
# folder holds nothing but them (never the Linux system headers beside them).
build_deps() {
    [ -f "$deps/.complete" ] && return 0
    say "building GoogleTest $gtest_version for Windows into $deps"
    rm -rf "$deps" "$deps.build"
    mkdir -p "$deps/include" "$deps/share/cmake"
    nice -n 10 cmake -G Ninja -S /usr/src/googletest -B "$deps.build" \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" \
        -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF >"$deps.log" 2>&1 &&
        nice -n 10 cmake --build "$deps.build" --target install >>"$deps.log" 2>&1 ||
        die "building GoogleTest failed: see $deps.log"
    local name
    for name in CLI nlohmann; do ln -s "/usr/include/$name" "$deps/include/$name"; done
    for name in CLI11 nlohmann_json; do cp -r "/usr/share/cmake/$name" "$deps/share/cmake/"; done
    rm -rf "$deps.build" "$deps.log"
    touch "$deps/.complete"
}

# --- Tessik ------------------------------------------------------------------------------------

build_tessik() {
    say "cross-building tessik.exe, tessik-cli.exe and the test suites"
    "$qt_prefix/bin/qt-cmake" -G Ninja -S "$source_dir" -B "$build_dir" \
        -DCMAKE_BUILD_TYPE=Release -DTESSIK_BUILD_BENCH=OFF -DCMAKE_INSTALL_BINDIR=. \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$source_dir/scripts/windows/wine-run.sh" \
        -DGTest_DIR="$deps/lib/cmake/GTest" -DCLI11_DIR="$deps/share/cmake/CLI11" \
        -Dnlohmann_json_DIR="$deps/share/cmake/nlohmann_json" >"$build_dir.configure.log" 2>&1 ||
        die "configuring failed: see $build_dir.configure.log"
    cmake --build "$build_dir"
}

# The suites under wine, the widget tests on Qt's offscreen platform. Wine itself still wants a
# display for the hidden window every Windows program's event loop keeps: a virtual one.
run_tests() {
    say "running the test suites under wine"
    xvfb-run -a -s "-screen 0 1280x900x24 -nolisten tcp" \
        ctest --test-dir "$build_dir" -j "$(nproc)" --output-on-failure 2>&1 |
        tee "$build_dir/ctest.log" | grep -v -E '^ +[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed'
}

# The installed tree (the programs, help\, samples\ and Qt's Japanese texts), then the portable
# zip and the installer made from it.
package() {
    local version stage out
    version=$(sed -n 's/^project(tessik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    stage=$build_dir/stage
    out=$build_dir/out
    rm -rf "$stage" "$out"
    mkdir -p "$out"
    cmake --install "$build_dir" --prefix "$stage" >/dev/null
    x86_64-w64-mingw32-strip "$stage/tessik.exe" "$stage/tessik-cli.exe"
    (cd "$stage" && rm -f "$out/tessik-$version-portable.zip" &&
        zip -q -r -X "$out/tessik-$version-portable.zip" .)
    makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$source_dir/res/windows/tessik.ico" \
        -DOUTFILE="$out/tessik-$version-setup.exe" res/windows/installer.nsi
    say "made $(cd "$out" && echo *)"
}

install_missing
build_qt
[ "${1:-}" = qt ] && exit 0
build_deps
mkdir -p "$build_dir"
build_tessik
run_tests
package
scripts/windows/check.sh "$build_dir"
