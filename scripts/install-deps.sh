#!/usr/bin/env bash
# Installs what the program needs to build, run and test on Debian 12.
set -euo pipefail
pkgs=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
      libsqlite3-dev sqlite3 libpq-dev postgresql xvfb xauth poppler-utils fonts-dejavu-core
      qt6-translations-l10n qt6-qpa-plugins qt6-charts-dev libqt6opengl6-dev dpkg-dev desktop-file-utils appstream lintian file pxlib-dev)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
