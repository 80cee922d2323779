#!/usr/bin/env bash
# Runs a Windows program under Debian's wine: quietly, in a wine prefix of Tessik's own (made on
# the first run, without asking for the .NET or HTML engines, which nothing here needs).
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tessik/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
