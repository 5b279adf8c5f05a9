#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quellin need.
# Safe to run again: it installs only what is missing.
#   setup.sh                 the Linux build and its tests
#   setup.sh windows-build   the cross compiler for the Windows build
#   setup.sh windows-test    that, plus Wine and what the Windows tests use
#   setup.sh web             the browser build and its tests: the Linux build
#                            (the font is baked by a native tool), Emscripten,
#                            Chromium, Node.js, and puppeteer-core from the
#                            lock file (npm ci)
set -euo pipefail
cd "$(dirname "$0")/.."

windows_build=(cmake ninja-build g++-mingw-w64-x86-64)
linux=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  # The browser's GL layer is tested natively on Mesa's EGL and OpenGL ES 2.
  libegl-dev libgles-dev
  libfreetype-dev libfontconfig-dev fonts-comic-neue fonts-dejavu-core
  libgtest-dev
  xvfb xauth x11-utils xdotool imagemagick python3-pil
  # The message box of a failed start draws with the X server's core fonts;
  # one test minimises the game, which needs a window manager.
  xfonts-base openbox
  clang libclang-rt-14-dev
  dpkg-dev lintian zip unzip
)
case "${1:-}" in
  "") packages=("${linux[@]}") ;;
  web)
    # The node packages need npm, which Debian ships apart from nodejs and
    # which a Node.js from elsewhere brings along itself.
    packages=("${linux[@]}" emscripten chromium nodejs python3)
    command -v npm >/dev/null 2>&1 || packages+=(npm) ;;
  windows-build) packages=("${windows_build[@]}") ;;
  windows-test)
    # GoogleTest is built from its sources (googletest) with the cross compiler;
    # the helpers that drive the game under Wine are native (X11, XFIXES);
    # one test puts another window in front, which needs a window manager.
    packages=("${windows_build[@]}" wine wine64 googletest
      build-essential libx11-dev libxfixes-dev libgl1-mesa-dri
      xvfb xauth x11-utils xdotool imagemagick openbox) ;;
  *) echo "usage: $0 [windows-build|windows-test|web]" >&2; exit 2 ;;
esac

# puppeteer-core, at the version package-lock.json pins; it brings no browser.
# Installed again whenever the lock file is newer than what npm last installed.
npm_ci() {
  if [ "${1:-}" = web ] && [ ! node_modules/.package-lock.json -nt package-lock.json ]; then
    npm ci --no-audit --no-fund --loglevel=error
  fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  npm_ci "${1:-}"
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
npm_ci "${1:-}"
