#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Both programs answer their options alike: -h/--help and -v/--version on
# standard output with status 0, and every usage error on standard error
# with status 64, ending with the same line that points to --help.
# Needs no display.
#   options_test.sh VERSION TESSARO_CLI [TESSARO]
set -uo pipefail
version=$1
cli=$2
window=${3:-}
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

answers() {  # PROGRAM NAME ARGS...: help and version
    local program=$1 name=$2
    for opt in -h --help; do
        out=$("$program" "$opt" 2>/dev/null) || fail "$name $opt: status $?"
        grep -q -- "--database" <<<"$out" || fail "$name $opt shows no options"
    done
    for opt in -v --version; do
        out=$("$program" "$opt" 2>/dev/null) || fail "$name $opt: status $?"
        [ "$out" = "$name $version" ] || fail "$name $opt said '$out'"
    done
}

usage_error() {  # PROGRAM NAME ARGS...: a usage error
    local program=$1 name=$2
    shift 2
    err=$("$program" "$@" 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 64 ] || fail "$name $*: status $status, not 64"
    [ "$(head -n1 <<<"$err" | cut -d: -f1)" = "$name" ] || fail "$name $*: '$err' does not start with '$name:'"
    [ "$(tail -n1 <<<"$err")" = "Try '$name --help' for more information." ] \
        || fail "$name $*: '$err' does not end with the line that points to --help"
}

answers "$cli" tessaro-cli
usage_error "$cli" tessaro-cli
usage_error "$cli" tessaro-cli --frobnicate
usage_error "$cli" tessaro-cli frobnicate
usage_error "$cli" tessaro-cli run 3000
usage_error "$cli" tessaro-cli status --csv
usage_error "$cli" tessaro-cli debrief out.pdf --paper a5
if [ -n "$window" ]; then
    answers "$window" tessaro
    usage_error "$window" tessaro --frobnicate
    usage_error "$window" tessaro extra
    usage_error "$window" tessaro --paper a4
    usage_error "$window" tessaro --debrief out.pdf --paper a5
    usage_error "$window" tessaro --screen 10x10
fi
[ "$failures" -eq 0 ] || exit 1
echo "both programs answer -h, --help, -v, --version and usage errors alike"
