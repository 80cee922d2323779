#!/usr/bin/env bash
# The Windows build as a user meets it, under wine (scripts/windows.sh runs this last):
#   - tessik-cli.exe shows a table kept in a Japanese-named folder, and a path past MAX_PATH;
#   - Set Up Data on the simulated receiver writes the same trace, byte for byte, as the Linux
#     build, and every refusal below ends with the Linux build's exit status (and its message,
#     where the message is the tool's own and not the system's);
#   - tessik.exe opens its main window (English and Japanese) on a virtual display;
#   - the installer installs silently, the installed program runs, the uninstaller removes it.
# The Linux comparisons need the Linux build (build/default, which scripts/test.sh makes).
#   scripts/windows/check.sh BUILD_DIR
set -euo pipefail
# On a virtual display of its own, whatever display the caller has.
if [ -z "${TESSIK_CHECK_DISPLAY:-}" ]; then
    TESSIK_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x900x24 -nolisten tcp" "$0" "$@"
fi
cd "$(dirname "$0")/../.."
build=$1
stage=$build/stage
out=$build/out
linux_cli=build/default/src/cli/tessik-cli
wine=scripts/windows/wine-run.sh
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tessik/wine-prefix}
failures=0
checks=0

work=$(mktemp -d)
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

check() {
    local what=$1
    shift
    checks=$((checks + 1))
    if "$@"; then
        echo "check: $what: ok"
    else
        echo "check: $what: FAILED" >&2
        failures=$((failures + 1))
    fi
}

# Runs tessik-cli.exe (or, with "linux" first, the Linux build's tessik-cli) with the arguments;
# leaves the exit status in $work/NAME.status and the error output in $work/NAME.err.
run_cli() {
    local name=$1 program=$stage/tessik-cli.exe runner=$wine
    shift
    if [ "$name" = "${name#linux-}" ]; then :; else program=$linux_cli runner=; fi
    set +e
    $runner "$program" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null
    echo $? >"$work/$name.status"
    set -e
}

# --- Tables in places Windows treats its own way --------------------------------------------

japanese=$work/日本語の表
mkdir -p "$japanese"
deep=$work
for _ in 1 2 3 4 5 6 7; do deep=$deep/$(printf 'x%.0s' {1..40}); done
mkdir -p "$deep"
table=$japanese/居間のテレビ.ird
shows_table() {
    run_cli show-"$1" import res/samples/living-room-tv.json "$2" &&
        [ "$(cat "$work/show-$1.status")" = 0 ] && run_cli show-"$1" show "$2" &&
        [ "$(cat "$work/show-$1.status")" = 0 ] && grep -q "Power" "$work/show-$1.out"
}
check "show of a table in a Japanese-named folder" shows_table japanese "$table"
check "show of a table whose path is longer than MAX_PATH" shows_table deep "$deep/table.ird"

# --- The same as the Linux build --------------------------------------------------------------

if [ -x "$linux_cli" ]; then
    same_trace() {
        run_cli setup setup "$table" --simulate --trace "$work/windows.trace" &&
            run_cli linux-setup setup "$table" --simulate --trace "$work/linux.trace" &&
            [ "$(cat "$work/setup.status")" = 0 ] && [ -s "$work/windows.trace" ] &&
            cmp -s "$work/windows.trace" "$work/linux.trace"
    }
    check "Set Up Data writes the Linux build's trace byte for byte" same_trace

    printf 'not a table at all' >"$work/junk.ird"
    mkdir -p "$work/folder.ird"
    # NAME | compare messages too (the tool's own words) | arguments
    refusals=(
        "missing|text|show $work/missing.ird"
        "folder|text|show $work/folder.ird"
        "junk|text|show $work/junk.ird"
        "usage-command|text|frobnicate"
        "usage-option|text|show --bogus $table"
        "usage-missing|text|show"
        "usage-jitter|text|check $table --jitter many"
        "json-into-folder|status|import res/samples/living-room-tv.json $work/folder.ird"
        "fault-nak|text|setup $table --simulate --sim-fault nak-exchange=3"
        "fault-absent|text|setup $table --simulate --sim-fault absent"
        "fault-unplug|text|setup $table --simulate --sim-fault unplug-after=5"
        "fault-unknown|text|setup $table --simulate --sim-fault frobnicate"
        "no-receiver|status|version"
        "trace-is-input|text|setup $table --simulate --trace $table"
        "image-missing|status|image-info $work/missing.bin"
        "device-name|status|show NUL"
    )
    same_refusals() {
        local entry name compare args ok=0
        for entry in "${refusals[@]}"; do
            IFS='|' read -r name compare args <<<"$entry"
            # shellcheck disable=SC2086  # the arguments are split as written above
            run_cli "r-$name" $args
            # shellcheck disable=SC2086
            run_cli "linux-r-$name" $args
            if ! cmp -s "$work/r-$name.status" "$work/linux-r-$name.status" ||
                [ "$(cat "$work/r-$name.status")" = 0 ]; then
                echo "  $name: exit $(cat "$work/r-$name.status") on Windows," \
                    "$(cat "$work/linux-r-$name.status") on Linux" >&2
                ok=1
            elif [ "$compare" = text ] && ! cmp -s "$work/r-$name.err" "$work/linux-r-$name.err"; then
                echo "  $name: the messages differ" >&2
                diff "$work/r-$name.err" "$work/linux-r-$name.err" >&2 || true
                ok=1
            fi
        done
        return $ok
    }
    check "the refusal table ends with the Linux build's statuses and messages" same_refusals
else
    echo "check: no Linux build ($linux_cli): the comparisons with it are left out"
fi

# --- The window ------------------------------------------------------------------------------

# Whether a window's title is exactly TITLE (compared whole: xdotool's own search cannot match
# a Japanese title, which X carries in another encoding).
window_titled() {
    local w
    for w in $(xdotool search --name . 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && return 0
    done
    return 1
}

# Starts tessik.exe in LANGUAGE and waits (up to a minute) for the main window titled TITLE.
opens_window() {
    local language=$1 title=$2 found=1
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="$language" \
        "$wine" "$stage/tessik.exe" --simulate --sim-state "$work/sim.state" >/dev/null 2>&1 &
    local program=$!
    for _ in $(seq 60); do
        if window_titled "$title"; then
            found=0
            break
        fi
        sleep 1
    done
    kill "$program" 2>/dev/null
    wineserver -k 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    return $found
}
check "tessik.exe shows its main window" opens_window C.UTF-8 "Infrared-remote-control setting tool"
check "tessik.exe shows its main window in Japanese" opens_window ja_JP.UTF-8 "赤外線リモコン設定ツール"

# --- The installer ---------------------------------------------------------------------------

installed="$WINEPREFIX/drive_c/Program Files/Tessik"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessik.lnk"
installs() {
    "$wine" "$(echo "$out"/tessik-*-setup.exe)" /S && wineserver -w &&
        [ -f "$installed/tessik.exe" ] && [ -f "$installed/help/Ir_Help_e/index.html" ] &&
        [ -f "$shortcut" ] && "$wine" reg query 'HKLM\Software\Classes\.ird' 2>/dev/null |
        grep -q Tessik.IrData
}
installed_runs() {
    "$wine" "$installed/tessik.exe" --version 2>/dev/null | grep -q "^tessik [0-9.]*"
}
uninstalls() {
    "$wine" "$installed/uninstall.exe" /S && wineserver -w && sleep 1 && wineserver -w &&
        [ ! -e "$installed" ] && [ ! -e "$shortcut" ] &&
        ! "$wine" reg query 'HKLM\Software\Classes\.ird' >/dev/null 2>&1
}
check "the installer installs silently" installs
check "the installed tessik.exe --version runs" installed_runs
check "the uninstaller removes it" uninstalls

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
