#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary DESTDIR as a packager would, checks
# the desktop entry, the metainfo and the man pages, and plays a quarter
# with the installed tessaro-cli as an unprivileged user, whose game file
# must land in the user's own data folder, never in the installed tree.
#   installed_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
touch "$work/installed"

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in usr/bin/tessaro-cli usr/share/man/man6/tessaro-cli.6.gz \
         usr/share/doc/tessaro/copyright usr/share/doc/tessaro/LICENSE; do
    [ -e "$dest/$f" ] || fail "$f was not installed"
done
# The window's own files come with the window, and only with it.
window_files=(usr/bin/tessaro usr/share/applications/org.tessaro.Tessaro.desktop
              usr/share/metainfo/org.tessaro.Tessaro.metainfo.xml
              usr/share/icons/hicolor/scalable/apps/org.tessaro.Tessaro.svg
              usr/share/icons/hicolor/48x48/apps/org.tessaro.Tessaro.png
              usr/share/man/man6/tessaro.6.gz)
pages=(tessaro-cli)
if [ -e "$build/bin/tessaro" ]; then
    for f in "${window_files[@]}"; do [ -e "$dest/$f" ] || fail "$f was not installed"; done
    desktop-file-validate "$dest/usr/share/applications/org.tessaro.Tessaro.desktop"
    appstreamcli validate --no-net "$dest/usr/share/metainfo/org.tessaro.Tessaro.metainfo.xml" >/dev/null \
        || appstreamcli validate --no-net "$dest/usr/share/metainfo/org.tessaro.Tessaro.metainfo.xml"
    pages+=(tessaro)
else
    for f in "${window_files[@]}"; do [ ! -e "$dest/$f" ] || fail "$f was installed without the window"; done
fi
for page in "${pages[@]}"; do
    warnings=$(zcat "$dest/usr/share/man/man6/$page.6.gz" | groff -man -ww -z 2>&1)
    [ -z "$warnings" ] || fail "man page $page: $warnings"
    MANWIDTH=80 man -l "$dest/usr/share/man/man6/$page.6.gz" 2>/dev/null | grep -q "EXIT STATUS" \
        || fail "man page $page does not render"
    # Every option --help shows, the man page tells of too.
    man_text=$(zcat "$dest/usr/share/man/man6/$page.6.gz" | sed 's/\\-/-/g')
    for opt in $(env -u DISPLAY "$dest/usr/bin/$page" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- "$opt" <<<"$man_text" || fail "man page $page lacks $opt, which --help shows"
    done
done

# A normal user: nobody when the test runs as root, the test's own user otherwise.
home=$work/home
mkdir -p "$home"
as_player=(env -i PATH=/usr/bin:/bin HOME="$home")
if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$home"
    as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_player[@]}")
fi
cli=$dest/usr/bin/tessaro-cli
"${as_player[@]}" "$cli" --version | grep -q "^tessaro-cli [0-9]" || fail "--version"
out=$("${as_player[@]}" "$cli" run 3000 10 WOTA) || fail "the installed tessaro-cli could not play: $out"
echo "$out" | grep -q "PLAN-QUARTER NO. :: 3" || fail "no quarter was played: $out"
status=$("${as_player[@]}" "$cli" status)
echo "$status" | grep -q "^Game file: $home/.local/share/tessaro/TESSARO_DB.mdb" \
    || fail "the game file is not in the player's data folder: $status"
[ -f "$home/.local/share/tessaro/TESSARO_DB.mdb" ] || fail "no game file in the data folder"
written=$(find "$dest" -newer "$work/installed")
[ -z "$written" ] || fail "the game wrote into the installed tree: $written"
if [ -x "$dest/usr/bin/tessaro" ]; then
    # The window program answers --version and --help without a display.
    "${as_player[@]}" "$dest/usr/bin/tessaro" --version | grep -q "^tessaro [0-9]" || fail "tessaro --version"
    "${as_player[@]}" "$dest/usr/bin/tessaro" --help | grep -q "EXIT STATUS" || fail "tessaro --help"
fi
echo "installed tree: programs, desktop entry, metainfo, man pages and a quarter played as $( [ "$(id -u)" -eq 0 ] && echo nobody || id -un)"
