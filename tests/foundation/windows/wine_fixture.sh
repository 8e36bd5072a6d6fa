#!/bin/sh
# SPDX-License-Identifier: MIT
# The Wine prefix and server of a test run: `start` makes the prefix when it
# is not there yet, then starts the server to persist, with Wine's own
# services; `stop` ends them. Usage: wine_fixture.sh start|stop WINE WINESERVER
set -u
action=$1 wine=$2 wineserver=$3
export WINEDEBUG=-all
case $action in
start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 || exit 1
    fi
    # Without a debugger in the prefix, a fault that nothing handles ends
    # the process at once with the fault's code. The listing of the tests
    # may have made the prefix before this ran, so this runs every time.
    "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /f </dev/null >/dev/null 2>&1
    # A server left from those starts would go away when idle: one that
    # persists takes its place.
    "$wineserver" -k 2>/dev/null
    "$wineserver" -w
    "$wineserver" -p </dev/null >/dev/null 2>&1 || exit 1
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    ;;
stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
esac
