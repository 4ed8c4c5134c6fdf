#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
    xvfb xauth xdotool imagemagick
)

# Packaging and its checks: CPack's Debian package (dpkg-shlibdeps), the desktop entry,
# the AppStream metainfo and lintian.
packages+=(dpkg-dev file desktop-file-utils appstream lintian)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
