#!/usr/bin/env bash
# Takes the README's screenshots of the start on a virtual screen: the splash screen as the program shows
# it, and the About box beside the main window. Usage: tools/screenshot-startup.sh [build folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-screens}
out=$root/docs/screenshots

cmake -S "$root" -B "$build" -G Ninja -DTALLYVEX_BUILD_TOOLS=ON -DTALLYVEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tallyvex tallyvex-startup-screens
mkdir -p "$out"

xvfb-run -a -s "-screen 0 1280x800x24" bash -euo pipefail -c '
    bin=$1 out=$2
    # The splash screen stands in the middle of the screen for 2.5 seconds.
    "$bin/tallyvex" & program=$!
    sleep 1.2
    import -window root -crop 402x290+439+255 +repage "$out/splash.png"
    kill "$program"

    "$bin/tallyvex-startup-screens" & program=$!
    sleep 1.5
    import -window root -crop 1010x540+10+10 +repage "$out/about.png"
    kill "$program"
' screenshots "$build/bin" "$out"

echo "Wrote $out/splash.png and $out/about.png"
