#!/usr/bin/env bash
# Builds everything and runs every test, then builds a second tree with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the tests again there; exits non-zero when a test
# fails or a sanitizer reports anything.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=${JOBS:-2}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# The window tests once more where numbers are written with a decimal comma.
LC_ALL=de_DE.UTF-8 ctest --test-dir build --output-on-failure -j"$jobs" -R '^(app|curvature_window|platform|hidpi|cli)$'

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKENTRIKH_SANITIZE=ON -DKENTRIKH_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs"
# Every report ends its test program with a failure: the build makes undefined behaviour
# fatal, and leaks are reported when a program exits. The sweep over every setting runs in
# the first tree only: sanitized, it takes as long as all the other tests together. So does
# the desktop test: it watches the windows on an X server, not the program's memory.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j"$jobs" -E '^(sweep|desktop)$'

# The page built with Emscripten, opened from disk in headless Chromium and driven by clicks
# and keys, against the desktop program of the first tree.
bash scripts/web.sh --build-only
KENTRIKH_WEB_PAGE=build-web/web/kentrikh.html KENTRIKH_PROGRAM=build/src/app/kentrikh \
    node --test tests/web/web_test.mjs

# Installing and the Debian package: `cmake --install` into a temporary prefix, the .deb
# checked with dpkg-deb, desktop-file-validate, appstreamcli and lintian, and, as root (as
# CI runs), installed with apt, run through its menu entry's command and removed again.
bash scripts/check_install.sh build
