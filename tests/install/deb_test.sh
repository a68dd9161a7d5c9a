#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of the build tree, installs it, plays a quarter
# with it as an unprivileged user, removes (purges) it and checks that nothing of it
# is left on the system. Needs root and dpkg (CI runs as root); skipped
# (exit 77) otherwise, and when the package is installed already from
# elsewhere, so as not to replace a player's installed game.
#   deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
[ "$(id -u)" -eq 0 ] && command -v dpkg >/dev/null || { echo "needs root and dpkg"; exit 77; }
if dpkg-query -W -f='${Status}' tessaro 2>/dev/null | grep -q "install ok installed"; then
    echo "a tessaro package is installed on this machine already; not touching it"; exit 77
fi
work=$(mktemp -d)
cleanup() {
    dpkg --purge tessaro >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/tessaro_*.deb)
dpkg-deb -f "$deb" Package Version Depends
files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#' | grep -v '/$')

find /usr /etc /var/lib/dpkg/info -xdev 2>/dev/null | sort > "$work/before"
dpkg -i "$deb" >/dev/null
for f in /usr/bin/tessaro /usr/bin/tessaro-cli /usr/share/applications/org.tessaro.Tessaro.desktop; do
    [ -e "$f" ] || fail "$f is not installed by the package"
done
home=$work/home
mkdir -p "$home" && chown 65534:65534 "$home"
player=(setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin HOME="$home")
out=$("${player[@]}" /usr/bin/tessaro-cli run 3000 10 WOTA) || fail "the packaged game could not play: $out"
echo "$out" | grep -q "PLAN-QUARTER NO. :: 3" || fail "no quarter was played: $out"
[ -f "$home/.local/share/tessaro/TESSARO_DB.mdb" ] || fail "the game file is not in the player's data folder"
[ ! -e /usr/bin/TESSARO_DB.mdb ] || fail "the game wrote beside the installed program"
"${player[@]}" /usr/bin/tessaro --version | grep -q "^tessaro " || fail "tessaro --version"

dpkg --purge tessaro >/dev/null
find /usr /etc /var/lib/dpkg/info -xdev 2>/dev/null | sort > "$work/after"
left=$(comm -13 "$work/before" "$work/after" || true)
[ -z "$left" ] || fail "the removal left files behind: $left"
for f in $files; do [ ! -e "$f" ] || fail "$f is still there after the removal"; done
echo "package $(basename "$deb"): installed, a quarter played as nobody, removed without a trace"
