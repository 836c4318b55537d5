#!/usr/bin/env bash
# The window half of check-package.sh, run on its virtual X screen: starts tallyvex.exe under Wine, takes
# the screenshots, types a scan, and compares what the window shows with the Linux tallyvex-scan.
# Needs from check-package.sh: TALLYVEX_WORK, TALLYVEX_PROGRAM_DIR, TALLYVEX_SOURCE, TALLYVEX_LINUX_SCAN and
# TALLYVEX_SCREENSHOTS.
set -euo pipefail

work="$TALLYVEX_WORK"
shots="$TALLYVEX_SCREENSHOTS"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The first visible top-level window of the given Wine program, waited for up to 30 seconds.
window_of() {
    local class="$1" size="${2:-}" window
    for _ in $(seq 150); do
        for window in $(xdotool search --onlyvisible --class "$class" 2>/dev/null || true); do
            if [ -z "$size" ] || [ "$(geometry "$window" size)" = "$size" ]; then
                echo "$window"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}

# geometry WINDOW position|size: "X Y" or "WIDTHxHEIGHT" of the window on the screen.
geometry() {
    local info
    info="$(xwininfo -id "$1")"
    if [ "$2" = position ]; then
        echo "$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info") $(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")"
    else
        echo "$(sed -n 's/.*Width: *//p' <<<"$info")x$(sed -n 's/.*Height: *//p' <<<"$info")"
    fi
}

# shoot WINDOW OUTPUT [WIDTHxHEIGHT+X+Y]: a picture of the window, or of that part of it.
shoot() {
    local window="$1" output="$2" part="${3:-}" x y
    read -r x y < <(geometry "$window" position)
    if [ -z "$part" ]; then
        part="$(geometry "$window" size)+0+0"
    fi
    local size="${part%%+*}" offset="${part#*+}"
    import -window root -crop "${size}+$((x + ${offset%%+*}))+$((y + ${offset#*+}))" +repage "$output"
}

cd "$TALLYVEX_PROGRAM_DIR"
wine tallyvex.exe >"$work/tallyvex.log" 2>&1 &

splash="$(window_of tallyvex.exe)" || fail "no window appeared"
sleep 0.5
shoot "$splash" "$shots/windows-splash.png"
echo "  the splash screen appeared ($(geometry "$splash" size))"

main="$(window_of tallyvex.exe 559x496)" || fail "no 559 x 496 main window appeared"
xwininfo -id "$main" -shape | grep -q 'Bounding shape extents' || fail "the main window is not shaped"
echo "  the shaped 559 x 496 main window appeared"

# A scan typed through the keyboard: the subject, then the body two tab stops further; Enter scans.
subject="FREE offer for you"
body="Act now to get your free gift and save up to 50 percent. Click here!"
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
sleep 0.5
xdotool type --delay 30 "$subject"
xdotool key Tab Tab
xdotool type --delay 30 "$body"
xdotool key Return
sleep 1.5
shoot "$main" "$shots/windows-mainwindow.png"

printf '%s' "$body" >"$work/typed.txt"
expected="$("$TALLYVEX_LINUX_SCAN" --definitions "$TALLYVEX_SOURCE/resources/Definitions.dat" \
    --subject "$subject" "$work/typed.txt" || true)"
expected_score="$(sed -n 's/^Overall Score: //p' <<<"$expected")"
# The score caption, read off the screen (the label at 280, 304, 49 x 17 of the window).
shoot "$main" "$work/score.png" 49x17+280+304
convert "$work/score.png" -colorspace Gray -scale 800% -negate -threshold 50% "$work/score-large.png"
shown_score="$(tesseract "$work/score-large.png" - --psm 7 -c tessedit_char_whitelist=0123456789. 2>/dev/null | tr -d '[:space:]')"
[ "$shown_score" = "$expected_score" ] || fail "the window shows the score '$shown_score', the Linux program $expected_score"
echo "  the typed scan shows the score $shown_score, as on Linux"

# The phrase list, eight tab stops after the body, copied to the clipboard.
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab ctrl+a ctrl+c
sleep 0.5
shown_phrases="$(xclip -o -selection clipboard | tr -d '\r' | sed '/^$/d')"
expected_phrases="$(sed -n '/^Trigger Phrases:/,/^$/ s/^  //p' <<<"$expected")"
[ "$shown_phrases" = "$expected_phrases" ] \
    || fail "the phrase list differs: window '$shown_phrases', Linux '$expected_phrases'"
echo "  the phrase list matches ($(wc -l <<<"$shown_phrases") phrases)"

# F1 opens the About box; Alt+S presses its System Info button.
xdotool key F1
sleep 1
xdotool key alt+s
window_of notepad.exe >/dev/null || fail "the System Info button started no program"
echo "  System Info started the program the registry names"
