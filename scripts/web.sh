#!/usr/bin/env bash
# Builds the web page with Emscripten into build-web/ and serves it on 127.0.0.1, printing
# the address. The build also writes build-web/web/kentrikh.html: the whole page in one
# file, the WebAssembly inside, that works when opened from disk.
#   scripts/web.sh [--build-only] [PORT]   (PORT defaults to 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build_only=""
if [ "${1:-}" = "--build-only" ]; then
    build_only=1
    shift
fi
port=${1:-8000}
build=build-web

# Emscripten's system libraries come prebuilt with Debian's package (its cache is frozen):
# the build compiles only our sources and writes nothing outside the build tree.
if ! log=$(emcmake cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release 2>&1); then
    echo "$log" >&2
    exit 1
fi
cmake --build "$build" -j"${JOBS:-2}"
echo "One-file page: $PWD/$build/web/kentrikh.html"
[ -z "$build_only" ] || exit 0

echo "Serving the page on http://127.0.0.1:$port/ (Ctrl+C stops)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$build/web/site"
