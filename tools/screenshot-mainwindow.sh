#!/usr/bin/env bash
# Starts the real main window on a virtual X display and saves a picture of it, cut to the window. With a
# DRAFT file, its first line is typed into the subject box and the rest into the body box first, so that
# the picture shows the trigger phrases marked.
# Usage: tools/screenshot-mainwindow.sh [BUILD_DIR] [OUTPUT_PNG] [DRAFT]
# Needs xvfb-run, x11-utils (xwininfo), imagemagick (import, convert) and, for a draft, xdotool.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
output="${2:-$root/docs/screenshots/mainwindow.png}"
mkdir -p "$(dirname "$output")"

export TALLYVEX_PROGRAM="$build/bin/tallyvex"
export TALLYVEX_SHOT="$output"
export TALLYVEX_SKIN="$root/resources/skin.bmp"
export TALLYVEX_DRAFT="${3:+$(cd "$(dirname "$3")" && pwd)/$(basename "$3")}"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    QT_QPA_PLATFORM=xcb "$TALLYVEX_PROGRAM" &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT
    # The splash screen comes first, for 2.5 seconds; after it only the main window is a mapped window of
    # the program (Qt keeps an unmapped 1 x 1 leader window of the same name).
    sleep 3
    window=""
    for _ in $(seq 50); do
        window=$(xwininfo -root -tree | awk '"'"'/\("tallyvex" "Tallyvex"\)/ { print $1; exit }'"'"')
        [ -n "$window" ] && break
        sleep 0.2
    done
    sleep 1.5
    if [ -n "$TALLYVEX_DRAFT" ]; then
        # The focus starts in the subject box; two Tabs lead to the body box.
        xdotool mousemove --window "$window" 300 60
        xdotool type --delay 5 "$(head -n 1 "$TALLYVEX_DRAFT")"
        xdotool key Tab Tab
        xdotool type --delay 5 "$(tail -n +2 "$TALLYVEX_DRAFT")"
        xdotool mousemove --window "$window" 300 470
        sleep 1
    fi
    info="$(xwininfo -id "$window")"
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
