#!/bin/sh
# Checks on a real X display (run it under xvfb-run): the window suites pass on
# the xcb platform, and the program starts and shows its main window.
# Usage: display-check.sh <build dir> [screenshot.png]
set -eu
build="$1"
shot="${2:-}"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

for suite in widgets_tst_tmgrid widgets_tst_controls app_tst_mainwindow; do
    QT_QPA_PLATFORM=xcb "$build/bin/$suite" -silent
done

QT_QPA_PLATFORM=xcb "$build/bin/quillora" &
pid=$!
found=""
for _ in $(seq 1 100); do
    if xwininfo -root -tree | grep -q '"Zirkoma 1.4"'; then found=yes; break; fi
    sleep 0.1
done
sleep 1
[ -n "$shot" ] && [ -n "$found" ] && import -window root "$shot"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
if [ -z "$found" ]; then
    echo "display check: the main window did not appear" >&2
    exit 1
fi
echo "display check: 1 passed, 0 failed"
