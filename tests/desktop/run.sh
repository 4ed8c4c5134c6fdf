#!/usr/bin/env bash
# Starts a virtual X server (1280 x 1024) with the openbox window manager and runs the
# desktop driver on it with the arguments given; everything it started stops with it.
set -euo pipefail
driver="$1"
shift

workdir="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

# The server picks a free display and writes its number once it accepts connections.
exec 3>"$workdir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$workdir/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$workdir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$workdir/display")"

openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
pids+=($!)
# The window manager is up once its check window carries its name: a program started
# earlier meets a window manager still taking over the screen.
wm_ready() {
    local check
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*') || return 1
    xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q Openbox
}
for _ in $(seq 100); do wm_ready && break; sleep 0.1; done
wm_ready || { echo "openbox did not start" >&2; cat "$workdir/openbox.log" >&2; exit 1; }

unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export XDG_RUNTIME_DIR="$workdir"
chmod 700 "$workdir"
"$driver" "$@"
