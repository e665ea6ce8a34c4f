#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a fresh wine prefix for one run of the Windows tests, or stops its wine server.
# Usage: wine-prefix.sh make|stop PREFIX WINE64 (wine's server is found beside it)
# Mono and Gecko are turned off: they would be fetched from the internet, and no test needs them.
set -euo pipefail
action=$1 prefix=$2 wine64=$3
wineserver=$(dirname "$wine64")/wineserver
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The caller gives wine a home of the test run's own (HOME, the XDG folders and TMPDIR): it
# writes menu entries there, and its server's folder.
mkdir -p "$HOME" "$TMPDIR"
case $action in
make)
    if [ -d "$prefix" ]; then
        "$wineserver" -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    # No 32-bit wine is installed: the complaint about its rundll32 is expected.
    "$wine64" wineboot --init 2>/dev/null
    "$wineserver" -w
    ;;
stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
esac
