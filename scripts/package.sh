#!/usr/bin/env bash
# Builds what a player installs, in dist/: the Debian package
# quellin_<version>_<arch>.deb, the browser version as
# quellin-<version>-web.zip (a static folder for any web server) and, where
# the Windows build is set up (scripts/build-windows.sh),
# quellin-<version>-windows-x64.zip. The version is the CMake project's;
# nothing else sets it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build-package
maintainer="Quellin developers <quellin@example.org>"

scripts/setup.sh

# File times, the build stamp in the log and the changelog date are those of
# the last commit, so the same tree gives the same package.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH

# ---- The Debian package ---------------------------------------------------------

# Debian's hardening flags. The log stamps its build time on purpose, so the
# warning about __DATE__ and __TIME__ is left out (SOURCE_DATE_EPOCH fixes them).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CPPFLAGS_MAINT_STRIP=-Wdate-time
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUELLIN_TESTS=OFF -DQUELLIN_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --target quellin
version=$(cat "$build/packaging/version")
arch=$(dpkg --print-architecture)

# Staged as debian/quellin under the build folder, with its DEBIAN folder,
# which is where dpkg-shlibdeps expects a package's files.
stage=$build/debian/quellin
rm -rf "$stage"
DESTDIR="$root/$stage" cmake --install "$build" >/dev/null
install -d "$stage/DEBIAN"
strip --remove-section=.comment --remove-section=.note "$stage/usr/lib/games/quellin/quellin"

doc=$stage/usr/share/doc/quellin
install -d "$doc"
install -m 644 packaging/copyright "$doc/copyright"
{
  printf 'quellin (%s) unstable; urgency=medium\n\n  * Release %s.\n\n' "$version" "$version"
  printf ' -- %s  %s\n' "$maintainer" "$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"
gzip -9nf "$stage/usr/share/man/man6/quellin.6"

# The shared libraries the binary links, as Debian package names and versions.
printf 'Source: quellin\n\nPackage: quellin\nArchitecture: any\n' >"$build/debian/control"
shlibs=$(cd "$build" && dpkg-shlibdeps -O -edebian/quellin/usr/lib/games/quellin/quellin |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || { echo "package: dpkg-shlibdeps found no libraries" >&2; exit 1; }
# SDL loads libGL.so.1 itself when it makes the GL context, so no link shows it.
shlibs="$shlibs, libgl1"

# Recommends: the message box of a failed start draws with core X fonts.
cat >"$stage/DEBIAN/control" <<EOF
Package: quellin
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk "$stage" | cut -f1)
Depends: $shlibs, fonts-comic-neue
Recommends: xfonts-base
Section: games
Priority: optional
Description: small first-person shooter against waves of creatures
 You stand in a square arena; waves of animated creatures walk toward you
 and shoot back. Shoot them all and the next wave, five larger, arrives.
 Each enemy bullet costs 5 health; at 0 the game is over until you press
 Space.
 .
 Start it from the desktop menu or with the quellin command.
EOF
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod -R u+rwX,go+rX,go-w "$stage"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

mkdir -p dist
deb=dist/quellin_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "Built $deb"

# ---- The browser zip ---------------------------------------------------------------

name=quellin-$version-web
zip=dist/$name.zip
rm -f "$zip"
bash scripts/build-web.sh
wstage=$build/web-root
rm -rf "$wstage"
mkdir -p "$wstage/$name"
# The page, the program and its data, and what installs it and keeps it
# for offline play: the manifest, its icons and the worker.
for f in quellin.html quellin.js quellin.wasm quellin.data quellin.webmanifest quellin-192.png quellin-512.png \
  service-worker.js; do
  [ -f "build-web/$f" ] || { echo "package: the browser build left no build-web/$f" >&2; exit 1; }
  cp "build-web/$f" "$wstage/$name/"
done
find "$wstage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$wstage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$root/$zip")
echo "Built $zip"

# ---- The Windows zip ---------------------------------------------------------------

name=quellin-$version-windows-x64
zip=dist/$name.zip
rm -f "$zip"
if [ ! -f scripts/build-windows.sh ]; then
  echo "Windows zip skipped: this tree has no Windows build (scripts/build-windows.sh)."
  exit 0
fi
bash scripts/build-windows.sh
exe=build-windows/quellin.exe
[ -f "$exe" ] || { echo "package: the Windows build left no $exe" >&2; exit 1; }

zstage=$build/zip-root
rm -rf "$zstage"
mkdir -p "$zstage/$name"
cp "$exe" "$zstage/$name/"
# The player needs no debugging symbols: strip them from the copy.
x86_64-w64-mingw32-strip "$zstage/$name/quellin.exe"
cp -r data/Images data/Models data/Sounds "$zstage/$name/"
sed 's/$/\r/' "$build/packaging/README.txt" >"$zstage/$name/README.txt"

# The MinGW runtime DLLs the game names, when it is not linked statically,
# from the compiler that built it (its thread model picks the right ones);
# every other DLL it names comes with Windows.
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build-windows/CMakeCache.txt 2>/dev/null || true)
cxx=${cxx:-x86_64-w64-mingw32-g++}
queue=("$zstage/$name/quellin.exe")
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -e "$zstage/$name/$dll" ] && continue
    found=$("$cxx" -print-file-name="$dll")
    if [ "$found" != "$dll" ] && [ -f "$found" ]; then
      cp "$found" "$zstage/$name/"
      x86_64-w64-mingw32-strip --strip-unneeded "$zstage/$name/$dll"
      queue+=("$zstage/$name/$dll")
    fi
  done
done

find "$zstage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$zstage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$root/$zip")
echo "Built $zip"
