#!/usr/bin/env bash
# Installs what is needed, builds, and makes the Debian package from the
# build: build/package/resale_<version>_<arch>.deb (or in $PACKAGE_DIR).
# lintian's findings on it are printed; the package is never installed here.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build=${BUILD_DIR:-$here/build}
out=${PACKAGE_DIR:-$build/package}
rm -f "$out"/*.deb
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/*.deb)
echo "Package: $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends
if command -v lintian >/dev/null; then
    echo "lintian:"
    lintian --display-info --display-experimental --pedantic --tag-display-limit 0 "$deb" 2>&1 | grep -v "^running with root privileges" || true
fi
echo "Install it with:  sudo apt install $deb"
