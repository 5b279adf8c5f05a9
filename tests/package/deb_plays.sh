#!/usr/bin/env bash
# The Debian package as a player gets it. Unpacked into a temporary root, and
# then (as root) installed with apt, the quellin command started from an
# unrelated folder plays in the player's data folder. Purging removes every
# file the package brought.
# Usage: deb_plays.sh <package.deb>
set -u
deb=$(readlink -f "$1")
PLAY_NAME=deb
. "$(dirname "$0")/lib.sh"

export HOME=$WORK/home
unset XDG_DATA_HOME
user=$HOME/.local/share/quellin
dpkg-deb -x "$deb" "$WORK/root" || fail "cannot unpack $deb"
# A link left by an install elsewhere is pointed at the data installed now.
mkdir -p "$user" && ln -s "$WORK/gone" "$user/Images"
play "$WORK/elsewhere" "$user" "$WORK/root/usr/games/quellin"
for part in Images Models Sounds; do
  [ "$(readlink "$user/$part")" = "$(readlink -f "$WORK/root/usr/share/games/quellin/$part")" ] ||
    fail "$user/$part does not point at the installed data"
done
[ ! -e "$WORK/elsewhere/TovarToolkitLog.xml" ] || fail "the log went to the folder the game was started from"
echo "passed: unpacked"

if [ "$(id -u)" != 0 ]; then
  echo "skipped: installing with apt needs root"
  exit 0
fi
apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >/dev/null || fail "apt could not install $deb"
# A player's PATH, as Debian's /etc/profile sets it.
player_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
[ "$(PATH=$player_path command -v quellin)" = /usr/games/quellin ] || fail "quellin is not on the PATH"
grep -qx 'Exec=/usr/games/quellin' /usr/share/applications/quellin.desktop || fail "the menu entry runs something else"
grep -qx 'Icon=quellin' /usr/share/applications/quellin.desktop &&
  [ -f /usr/share/icons/hicolor/128x128/apps/quellin.png ] || fail "the menu entry's icon is missing"
export XDG_DATA_HOME=$WORK/xdg
PLAY_NAME=deb-installed play "$WORK/elsewhere" "$XDG_DATA_HOME/quellin" env PATH=$player_path quellin

# An upgrade (a later version with a changed image) reaches the player's folder.
dpkg-deb -R "$deb" "$WORK/next" && sed -i 's/^Version: .*/&+1/' "$WORK/next/DEBIAN/control"
printf 'changed' >>"$WORK/next/usr/share/games/quellin/Images/Floor.bmp"
dpkg-deb --root-owner-group -b "$WORK/next" "$WORK/next.deb" >/dev/null &&
  apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$WORK/next.deb" >/dev/null || fail "the upgrade failed"
cmp -s "$XDG_DATA_HOME/quellin/Images/Floor.bmp" "$WORK/next/usr/share/games/quellin/Images/Floor.bmp" ||
  fail "the player's folder still shows the old data after the upgrade"

apt-get purge -y -qq -o DPkg::Lock::Timeout=300 quellin >/dev/null || fail "apt could not remove quellin"
dpkg-query -W -f='${Status}' quellin 2>/dev/null | grep -q installed && fail "quellin is still installed"
left=$(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | grep -v '/$' | while read -r f; do
  [ -e "$f" ] && echo "$f"; done)
[ -z "$left" ] || fail "left after purging: $left"
echo "passed: installed and purged"
