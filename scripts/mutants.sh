#!/usr/bin/env bash
# A small mutation sample: builds the suite with each deliberate fault of scripts/mutants.txt in
# turn (in build/mutants, so the usual build is left alone), runs it, and says which faults it
# catches. The kernel test is left out: it needs minutes and checks the real HID path, which
# the sample does not mutate. A mutant in a windows/ folder is built and run in the Windows
# build under wine (build/windows, which scripts/windows.sh makes).
#   scripts/mutants.sh            every mutant
#   scripts/mutants.sh 3 7        mutants 3 and 7 only (numbered from 1)
set -uo pipefail
cd "$(dirname "$0")/.."
build=build/mutants
windows_build=build/windows
list=scripts/mutants.txt
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null || exit 1
cmake --build "$build" >/dev/null || { echo "mutants: the unmutated build fails"; exit 1; }

mapfile -t mutants < <(grep -v '^#' "$list" | grep -v '^\s*$')
wanted=("$@")
[ ${#wanted[@]} -eq 0 ] && wanted=($(seq 1 ${#mutants[@]}))
caught=0
total=0
for n in "${wanted[@]}"; do
    line=${mutants[$((n - 1))]}
    file=$(echo "$line" | awk -F' [|] ' '{print $1}')
    from=$(echo "$line" | awk -F' [|] ' '{print $2}')
    to=$(echo "$line" | awk -F' [|] ' '{print $3}')
    dir=$build
    if [[ "$file" == */windows/* ]]; then
        if [ ! -f "$windows_build/build.ninja" ]; then
            echo "mutant $n: needs the Windows build (scripts/windows.sh) first"
            continue
        fi
        dir=$windows_build
    fi
    cp "$file" "$build/original"
    if ! python3 - "$file" "$from" "$to" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2], sys.argv[3]
text = open(path).read()
if text.count(old) != 1:
    sys.exit(1)
open(path, 'w').write(text.replace(old, new))
PY
    then
        echo "mutant $n: its text is not found exactly once in $file"
        continue
    fi
    total=$((total + 1))
    if ! cmake --build "$dir" >/dev/null 2>&1; then
        verdict="caught (does not build)"
        caught=$((caught + 1))
    elif QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" -LE kernel -j "$(nproc)" \
            --stop-on-failure --timeout 120 >/dev/null 2>&1; then
        verdict="MISSED"
    else
        verdict="caught"
        caught=$((caught + 1))
    fi
    cp "$build/original" "$file"
    touch "$file"
    echo "mutant $n: $verdict: $file: $to"
done
cmake --build "$build" >/dev/null 2>&1
[ -f "$windows_build/build.ninja" ] && cmake --build "$windows_build" >/dev/null 2>&1
echo "mutants: $caught of $total caught"
