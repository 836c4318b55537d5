#!/usr/bin/env bash
# Starts the real main window on a virtual X display and saves a picture of it, cut to the window.
# Usage: tools/screenshot-mainwindow.sh [BUILD_DIR] [OUTPUT_PNG]
# Needs xvfb-run, x11-utils (xwininfo) and imagemagick (import, convert).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
output="${2:-$root/docs/screenshots/mainwindow.png}"
mkdir -p "$(dirname "$output")"

export TALLYVEX_PROGRAM="$build/bin/tallyvex"
export TALLYVEX_SHOT="$output"
export TALLYVEX_SKIN="$root/resources/skin.bmp"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
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
    # Outside the outline the picture is left transparent: the skin'"'"'s key colour marks what is cut away.
    convert "$TALLYVEX_SHOT.full.png" -crop "${w}x${h}+${x}+${y}" +repage \
        \( "$TALLYVEX_SKIN" -fill white +opaque black \) -alpha off -compose CopyOpacity -composite "$TALLYVEX_SHOT"
    rm -f "$TALLYVEX_SHOT.full.png"
'
echo "saved $output"
