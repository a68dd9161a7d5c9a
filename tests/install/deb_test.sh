#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that scripts/package built, runs their own
# tests (debian/tests, through autopkgtest, against what is installed),
# plays a quarter as an unprivileged user, removes and purges the packages
# and checks that nothing of them is left on the system. Needs root (CI
# runs as root); skipped (exit 77) otherwise, and when a package of ours is
# installed already, so as not to replace a player's installed game.
#   deb_test.sh OUT       OUT as given to scripts/package
set -euo pipefail
out=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "needs root to install packages"; exit 77; }
mapfile -t debs < <(ls "$out"/*.deb | grep -v -- '-dbgsym_')
packages=()
for deb in "${debs[@]}"; do packages+=("$(dpkg-deb -f "$deb" Package)"); done
for p in "${packages[@]}"; do
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        echo "$p is installed on this machine already; not touching it"; exit 77
    fi
done
work=$(mktemp -d)
cleanup() {
    dpkg --purge "${packages[@]}" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
files=$(for deb in "${debs[@]}"; do dpkg-deb -c "$deb"; done | awk '{print $6}' | sed 's#^\./#/#' | grep -v '/$')

snapshot() { find /usr /etc /var/lib/dpkg/info -xdev 2>/dev/null | grep -v '^/usr/lib/python3' | sort; }
snapshot >"$work/before"
# Every dependency is on the machine already (scripts/bootstrap): apt only
# checks them, and installs the packages in their order.
apt-get install -y -qq --no-install-recommends "${debs[@]}" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "the packages do not install"; }
for f in /usr/games/tessaro /usr/games/tessaro-cli /usr/share/applications/org.tessaro.Tessaro.desktop \
         /usr/share/man/man6/tessaro.6.gz /usr/share/man/man1/morvane-demo.1.gz; do
    [ -e "$f" ] || fail "$f is not installed by the packages"
done
[ -e /usr/lib/"$(dpkg-architecture -qDEB_HOST_MULTIARCH)"/libmorvane.so.1 ] || fail "the library is not in the multiarch folder"

# The packages' own tests, on the packages as installed.
source=$(ls -d "$out"/tessaro-*/)
autopkgtest --no-built-binaries --output-dir "$work/autopkgtest" "$source" -- null \
    >"$work/autopkgtest.log" 2>&1 || {
    tail -n 5 "$work"/autopkgtest/*-std* "$work/autopkgtest/summary" 2>/dev/null || tail -n 40 "$work/autopkgtest.log"
    fail "autopkgtest"
}
grep -E '^(play-quarter|build-against-library) ' "$work/autopkgtest/summary"

home=$work/home
mkdir -p "$home" && chown 65534:65534 "$home"
player=(setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/games:/usr/bin:/bin HOME="$home")
result=$("${player[@]}" tessaro-cli run 3000 10 WOTA) || fail "the packaged game could not play: $result"
grep -q "PLAN-QUARTER NO. :: 3" <<<"$result" || fail "no quarter was played: $result"
[ -f "$home/.local/share/tessaro/TESSARO_DB.mdb" ] || fail "the game file is not in the player's data folder"
"${player[@]}" morvane-demo --version | grep -q "^morvane-demo " || fail "morvane-demo --version"

dpkg --purge "${packages[@]}" >/dev/null
snapshot >"$work/after"
left=$(comm -13 "$work/before" "$work/after" || true)
[ -z "$left" ] || fail "the removal left files behind: $left"
for f in $files; do [ ! -e "$f" ] || fail "$f is still there after the removal"; done
echo "packages ${packages[*]}: installed, tested, a quarter played as nobody, purged without a trace"
