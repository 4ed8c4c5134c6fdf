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
    # The desktop test: a window manager, window properties, and the locales the suite
    # runs under.
    openbox x11-utils locales
)

# Packaging and its checks: CPack's Debian package (dpkg-shlibdeps), the desktop entry,
# the AppStream metainfo and lintian.
packages+=(dpkg-dev file desktop-file-utils appstream lintian)

# The Emscripten build of the page (its system libraries come prebuilt with the package),
# Debian's Chromium for the browser tests, and Node.js with npm to run them.
packages+=(emscripten chromium)
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq >/dev/null
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Locales: the suite also runs where the decimal separator is a comma (German) and where
# the captions' script is the locale's own (Greek).
locales=(de_DE.UTF-8 el_GR.UTF-8)
for l in "${locales[@]}"; do
    if ! locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}"; then
        echo "Generating the locale $l" >&2
        $sudo sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
        grep -qx "$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
        regenerate=1
    fi
done
[ -z "${regenerate:-}" ] || $sudo locale-gen >/dev/null

# playwright-core at the version package-lock.json pins; it drives Debian's Chromium and
# never downloads a browser of its own.
(
    cd "$(dirname "$0")/.."
    if ! node -e '
        const pinned = require("./package-lock.json").packages["node_modules/playwright-core"].version;
        process.exit(require("./node_modules/playwright-core/package.json").version === pinned ? 0 : 1);
        ' >/dev/null 2>&1; then
        echo "Installing the npm packages of the browser tests" >&2
        PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent >/dev/null
    fi
)
