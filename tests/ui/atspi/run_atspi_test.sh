#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Tessaro developers
# Starts the game as a screen reader's user has it and reads its windows back
# through the accessibility bus (AT-SPI): an X screen under a window manager,
# a private session bus, the accessibility bus launcher, then the game on a
# fresh game file with Qt's bridge on. read_windows.py does the reading.
#   run_atspi_test.sh TESSARO DESKTOP_SCRIPT
# Exit 0 when every check holds, 1 when one fails, 77 when a program the
# test needs is missing on this machine (scripts/bootstrap installs them).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
reader_python=/usr/bin/python3

if [ "${1:-}" = --inside ]; then
    # Second stage: DISPLAY and a private session bus are set up.
    tessaro=$2
    work=$(mktemp -d "${TMPDIR:-/tmp}/tessaro-atspi.XXXXXX")
    launcher_pid=
    game_pid=
    stop() {
        local status=$?
        # A stopped process's status is no failure of the checks.
        set +e
        trap '' INT TERM HUP
        # Only what this stage started, by id; the session bus and the X
        # screen are stopped by the stages around it.
        [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
        [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null && wait "$launcher_pid" 2>/dev/null
        rm -rf "$work"
        exit "$status"
    }
    trap stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP

    "$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
    launcher_pid=$!
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb \
        "$tessaro" --database "$work/game.mdb" >"$work/game.log" 2>&1 &
    game_pid=$!
    status=0
    "$reader_python" "$here/read_windows.py" --pid "$game_pid" ${TESSARO_ATSPI_DUMP:+--dump} || status=$?
    if [ "$status" -ne 0 ]; then
        echo "--- the game said:" >&2
        cat "$work/game.log" >&2
    fi
    exit "$status"
fi

if [ $# -ne 2 ]; then
    echo "usage: run_atspi_test.sh TESSARO DESKTOP_SCRIPT" >&2
    exit 2
fi
tessaro=$1
desktop=$2
missing() { echo "run_atspi_test: $1 is missing (scripts/bootstrap installs it); skipped" >&2; exit 77; }
for tool in Xvfb openbox xprop dbus-run-session; do
    command -v "$tool" >/dev/null || missing "$tool"
done
[ -x "$launcher" ] || missing "$launcher (at-spi2-core)"
"$reader_python" -c 'import pyatspi' 2>/dev/null || missing "pyatspi (python3-pyatspi)"
[ -x "$tessaro" ] || { echo "run_atspi_test: no game program at $tessaro" >&2; exit 1; }

exec "$desktop" --size 1024x768 --wm openbox -- \
    dbus-run-session -- "$0" --inside "$tessaro"
