#!/usr/bin/env bash
# Builds the packages and tests them as players get them: lintian on the
# Debian package, then the game installed from it played on a virtual
# display; the Windows zip played under Wine where this tree builds it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/package.sh
version=$(cat build-package/packaging/version)
deb=dist/quellin_${version}_$(dpkg --print-architecture).deb
zip=dist/quellin-$version-windows-x64.zip
export QUELLIN_ARTIFACTS=$PWD/build-package/artifacts

echo "== lintian $deb"
lintian --fail-on error,warning "$deb"
echo "== the Debian package, unpacked and installed"
bash tests/package/deb_plays.sh "$deb"
if [ -f scripts/build-windows.sh ]; then
  echo "== the Windows zip under Wine"
  scripts/setup.sh windows-test # Wine
  bash tests/package/zip_plays.sh "$zip"
else
  echo "== the Windows zip: skipped, this tree has no Windows build (scripts/build-windows.sh)"
fi
