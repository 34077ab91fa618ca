#!/usr/bin/env bash
# Builds the .deb with cpack, unpacks it with dpkg -x into a temporary root
# and checks that every file is where the menu entry, the AppStream data, the
# man pages and the programs expect it; validates the menu entries and the
# AppStream data; runs the installed programs (--version, --check-install,
# and --check-install with a file taken away); runs lintian.
#   test-package.sh <build folder> <version>
set -uo pipefail
build=$1 version=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing (install it: $2)"; exit 1; }; }
need cpack cmake
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need file file
need lintian lintian

work=$(mktemp -d /tmp/resale-package.XXXXXX)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
fi
deb=$(ls "$work"/out/*.deb)
pass "built $(basename "$deb")"
[ "$(basename "$deb")" = "resale_${version}_$(dpkg --print-architecture).deb" ] || fail "package file is named $(basename "$deb")"

# Control data: the version, and dependencies found by dpkg-shlibdeps from
# what the programs link (Qt's and the C library's packages), plus the
# plug-ins and translations it cannot see.
control() { dpkg-deb -f "$deb" "$1"; }
[ "$(control Package)" = resale ] || fail "Package: $(control Package)"
[ "$(control Version)" = "$version" ] || fail "Version: $(control Version)"
depends=$(control Depends)
echo "Depends: $depends"
for d in libc6 libqt6core6 libqt6widgets6 libqt6sql6 libqt6printsupport6 libqt6charts6 libqt6sql6-sqlite qt6-translations-l10n qt6-qpa-plugins; do
    grep -Eq "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d"
done

root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
files=(
    usr/bin/resale usr/bin/kalvina-suite
    usr/share/resale/resale.db usr/share/resale/salecontract.rtf
    usr/share/resale/resale_help.html usr/share/resale/doc_resale.html
    usr/share/doc/resale/copyright usr/share/doc/resale/changelog.gz
    usr/share/doc/resale/resale_help.html usr/share/doc/resale/doc_resale.html
    usr/share/applications/bg.orvel.resale.desktop usr/share/applications/bg.orvel.kalvina-suite.desktop
    usr/share/metainfo/bg.orvel.resale.metainfo.xml
    usr/share/man/man1/resale.1.gz usr/share/man/man1/kalvina-suite.1.gz
    usr/share/icons/hicolor/scalable/apps/bg.orvel.resale.svg
)
for f in "${files[@]}"; do [ -f "$root/$f" ] || fail "missing /$f"; done
for p in resale kalvina-suite; do
    [ -x "$root/usr/bin/$p" ] || fail "/usr/bin/$p is not executable"
    file -b "$root/usr/bin/$p" | grep -q "ELF.*stripped" && ! file -b "$root/usr/bin/$p" | grep -q "not stripped" ||
        fail "/usr/bin/$p is not a stripped ELF program"
done
for s in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${s}x${s}/apps/bg.orvel.resale.png
    file -b "$png" | grep -q "PNG image data, $s x $s" || fail "icon ${s}x${s}: $(file -b "$png" 2>&1)"
done
file -b "$root/usr/share/resale/resale.db" | grep -q SQLite || fail "resale.db is not an SQLite database"
head -c 5 "$root/usr/share/resale/salecontract.rtf" | grep -q '{\\rtf' || fail "salecontract.rtf is not RTF"
for page in resale kalvina-suite; do
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH $(tr a-z A-Z <<<"$page") 1 .*$version" ||
        fail "man page $page.1 lacks its title or version"
done
zcat "$root/usr/share/doc/resale/changelog.gz" | head -1 | grep -q "^resale ($version)" || fail "changelog does not start with this version"
[ -z "$(find "$root" -xtype l)" ] || fail "dangling links: $(find "$root" -xtype l)"
[ -z "$(find "$root" -perm -o+w ! -type l)" ] || fail "files writable by anyone"

# Menu entries and AppStream data: valid, and pointing at what is installed.
for desktop in "$root"/usr/share/applications/*.desktop; do
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate $(basename "$desktop"): $out"
    [ -z "$out" ] || echo "desktop-file-validate $(basename "$desktop"): $out"
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -x "$root/usr/bin/$exec" ] || fail "$(basename "$desktop"): Exec=$exec is not in /usr/bin"
    [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "$(basename "$desktop"): no icon $icon"
    grep -q '^Name\[bg\]=' "$desktop" && grep -q '^Name=' "$desktop" || fail "$(basename "$desktop"): no Bulgarian and English name"
done
metainfo=$root/usr/share/metainfo/bg.orvel.resale.metainfo.xml
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
echo "$out"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$root/usr/share/applications/$launchable" ] || fail "metainfo launches $launchable, which is not installed"
for b in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
    [ -x "$root/usr/bin/$b" ] || fail "metainfo names binary $b, which is not installed"
done
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo does not name release $version"

# The installed programs, run from the unpacked root without a display.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen
v=$("$root/usr/bin/resale" --version 2>&1)
[ "$v" = "resale $version" ] || fail "resale --version says: $v"
v=$("$root/usr/bin/kalvina-suite" --version 2>&1)
[ "$v" = "kalvina-suite $version" ] || fail "kalvina-suite --version says: $v"
if check=$("$root/usr/bin/resale" --check-install 2>&1); then pass "resale --check-install"; else fail "resale --check-install exited $?"; fi
echo "$check"
for f in resale.db salecontract.rtf resale_help.html doc_resale.html; do
    grep -qxF "$f: $root/usr/share/resale/$f" <<<"$check" || fail "--check-install does not find $f in /usr/share/resale"
done
grep -q "^Текстовете на Qt на български: .*qtbase_bg.qm" <<<"$check" || fail "--check-install finds no qtbase_bg.qm"

# A shop's own sale contract in the system's configuration folder is used
# instead of the shipped one.
mkdir -p "$root/etc/xdg/resale"
cp "$root/usr/share/resale/salecontract.rtf" "$root/etc/xdg/resale/"
check=$(XDG_CONFIG_DIRS=$root/etc/xdg "$root/usr/bin/resale" --check-install 2>&1) || fail "--check-install with the shop's own contract"
grep -qxF "salecontract.rtf: $root/etc/xdg/resale/salecontract.rtf (на магазина)" <<<"$check" ||
    fail "--check-install does not name the shop's own contract: $check"

# A file taken away is named, with where it was looked for.
rm "$root/usr/share/resale/doc_resale.html"
if check=$("$root/usr/bin/resale" --check-install 2>&1); then fail "--check-install exits 0 without the manual"; fi
grep -qF "Файлът \"doc_resale.html\" на програмата липсва: няма го нито в $root/usr/bin, нито в $root/usr/share/resale." <<<"$check" ||
    fail "--check-install does not name the missing manual: $check"

# lintian: no errors; its other findings are shown.
if out=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1); then pass "lintian: no errors"; else fail "lintian"; fi
grep -v "^running with root privileges" <<<"$out" || true

if [ "$failures" -ne 0 ]; then echo "$failures checks failed"; exit 1; fi
echo "package checked"
