#!/usr/bin/env bash
# Builds the Debian package in build-package/ and prints its path: the program alone,
# compiled with Debian's hardening flags, installed under /usr and packed by CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export DEB_BUILD_MAINT_OPTIONS=hardening=+bindnow
eval "$(dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
# Packing installs what the install rules name, and builds only that: not the tests.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKENTRIKH_BENCHMARKS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build-package -j"${JOBS:-2}" --target kentrikh kentrikh_data
rm -f build-package/kentrikh_*.deb
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/kentrikh_*.deb
