#!/usr/bin/env bash
# Checks what installing puts in place: `cmake --install` of the given build tree into a
# temporary prefix, the Debian package (its control data, its contents, lintian), and, as
# root, the package installed with apt: the menu entry's command runs a whole run and
# writes what the build tree's program writes, then the package is removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=org.kentrikh.kentrikh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/kentrikh share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/kentrikh.svg share/man/man1/kentrikh.1.gz \
    share/doc/kentrikh/copyright share/doc/kentrikh/changelog.gz; do
    [ -s "$prefix/$f" ] || fail "not installed: $f"
done
for size in 16 32 48 64 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/kentrikh.png" \
        | grep -q "PNG image data, $size x $size" || fail "no $size x $size icon"
done
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
# The manual page carries every option of --help.
for option in $("$prefix/bin/kentrikh" --help | grep -o -- '--[a-z-]*' | sort -u); do
    zcat "$prefix/share/man/man1/kentrikh.1.gz" | grep -qF -- "${option//-/\\-}" \
        || fail "the manual page lacks $option"
done

deb=$(bash scripts/package.sh | tail -n 1)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
# Run-time packages only: no compiler, build tool or development package.
dpkg-deb --field "$deb" Depends | grep -qE 'libqt6widgets6.*qt6-qpa-plugins|qt6-qpa-plugins.*libqt6widgets6' \
    || fail "the package does not depend on Qt's widgets and platform plugins"
! dpkg-deb --field "$deb" Depends | grep -qE -- '-dev\b|cmake|ninja|g\+\+|gtest' \
    || fail "the package depends on build tools"
lintian --fail-on error "$deb"

if [ "$(id -u)" -ne 0 ]; then
    echo "check_install: not root; the package was built and checked, not installed" >&2
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
# A package left installed by an earlier run (of the same version, say) must not be kept.
if dpkg-query -W -f='${Status}' kentrikh 2>/dev/null | grep -q 'ok installed'; then
    apt-get purge -y -qq kentrikh >/dev/null
fi
apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
command=$(sed -n 's/^Exec=//p' "/usr/share/applications/$id.desktop")
[ "$(command -v "$command")" = /usr/bin/kentrikh ] || fail "the menu entry runs $command"
(cd "$work" && "$command" --headless --press start --run --save-png installed.png \
    --save-csv installed.csv >/dev/null)
(cd "$work" && "$OLDPWD/$build/src/app/kentrikh" --headless --press start --run \
    --save-png built.png --save-csv built.csv >/dev/null)
file "$work/installed.png" | grep -q "PNG image data, 1080 x 1080" || fail "no picture"
cmp "$work/installed.png" "$work/built.png"
cmp "$work/installed.csv" "$work/built.csv"
man -w kentrikh >/dev/null 2>&1 || [ ! -x /usr/bin/man ] || fail "man cannot find kentrikh"
apt-get purge -y -qq kentrikh >/dev/null
[ ! -e /usr/bin/kentrikh ] || fail "removing the package left /usr/bin/kentrikh"
echo "check_install: the package installs, runs as built and uninstalls"
