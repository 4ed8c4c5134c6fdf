#!/usr/bin/env bash
# Builds the program and starts it with the arguments given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"${JOBS:-2}" --target kentrikh >/dev/null
exec "$root/build/src/app/kentrikh" "$@"
