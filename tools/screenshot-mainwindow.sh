#!/usr/bin/env bash
# Starts the real main window on a virtual X display and saves a picture of it, cut to the window.
# Usage: tools/screenshot-mainwindow.sh [BUILD_DIR] [OUTPUT_PNG]
# Needs xvfb-run, x11-utils (xwininfo) and imagemagick (display, import, convert).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
output="${2:-$root/docs/screenshots/mainwindow.png}"
mkdir -p "$(dirname "$output")"

export TALLYVEX_PROGRAM="$build/bin/tallyvex"
export TALLYVEX_SHOT="$output"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    # A light desktop shows the window outline cut from the skin.
    convert -size 1024x768 "xc:#dfe3ea" "$TALLYVEX_SHOT.desktop.png"
    display -window root "$TALLYVEX_SHOT.desktop.png"
    QT_QPA_PLATFORM=xcb "$TALLYVEX_PROGRAM" &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT
    for _ in $(seq 50); do
        xwininfo -name Tallyvex >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1.5
    info="$(xwininfo -name Tallyvex)"
    x=$(sed -n "s/.*Absolute upper-left X: *//p" <<<"$info")
    y=$(sed -n "s/.*Absolute upper-left Y: *//p" <<<"$info")
    w=$(sed -n "s/.*Width: *//p" <<<"$info")
    h=$(sed -n "s/.*Height: *//p" <<<"$info")
    import -window root "$TALLYVEX_SHOT.full.png"
    convert "$TALLYVEX_SHOT.full.png" -crop "${w}x${h}+${x}+${y}" +repage "$TALLYVEX_SHOT"
    rm -f "$TALLYVEX_SHOT.full.png" "$TALLYVEX_SHOT.desktop.png"
'
echo "saved $output"
