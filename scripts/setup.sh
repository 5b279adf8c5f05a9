#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quellin need.
# Safe to run again: it installs only what is missing.
#   setup.sh                 the Linux build and its tests
#   setup.sh windows-build   the cross compiler for the Windows build
#   setup.sh windows-test    that, plus Wine and what the Windows tests use
set -euo pipefail

windows_build=(cmake ninja-build g++-mingw-w64-x86-64)
case "${1:-}" in
  "")
    packages=(
      build-essential cmake ninja-build pkg-config
      libsdl2-dev libx11-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
      libfreetype-dev libfontconfig-dev fonts-comic-neue fonts-dejavu-core
      libgtest-dev
      xvfb xauth x11-utils xdotool imagemagick python3-pil
      clang libclang-rt-14-dev
      dpkg-dev lintian zip unzip
    ) ;;
  windows-build) packages=("${windows_build[@]}") ;;
  windows-test)
    # GoogleTest is built from its sources (googletest) with the cross compiler;
    # the helpers that drive the game under Wine are native (X11, XFIXES).
    packages=("${windows_build[@]}" wine wine64 googletest
      build-essential libx11-dev libxfixes-dev libgl1-mesa-dri
      xvfb xauth x11-utils xdotool imagemagick) ;;
  *) echo "usage: $0 [windows-build|windows-test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
