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
xwininfo -id "$main" -shape | grep -Eq '(Window|Bounding) shape extents' || fail "the main window is not shaped"
echo "  the shaped 559 x 496 main window appeared"

# A scan typed through the keyboard: the subject, then the body two tab stops further; Enter scans.
subject="FREE offer for you"
body="Act now to get your free gift and save up to 50 percent. Click here"
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
# The score and percentage captions, read off the screen. Their bitmap font is small for OCR; a smooth
# enlargement reads it reliably.
read_caption() {
    local part="$1" name="$2"
    shoot "$main" "$work/$name.png" "$part"
    convert "$work/$name.png" -colorspace Gray -filter Gaussian -resize 800% -bordercolor white -border 40 \
        "$work/$name-large.png"
    tesseract "$work/$name-large.png" - --psm 7 -c tessedit_char_whitelist=0123456789.% 2>/dev/null | tr -d '[:space:]'
}
for caption in "Score 49x17+280+304" "Percentage 60x17+272+320"; do
    read -r name part <<<"$caption"
    shown="$(read_caption "$part" "$name")"
    wanted="$(sed -n "s/^Overall $name: //p" <<<"$expected")"
    [ "$shown" = "$wanted" ] || fail "the window shows the $name '$shown', the Linux program $wanted"
    echo "  the typed scan shows the $name $shown, as on Linux"
done

# The phrase list, eight tab stops after the body, copied to the clipboard.
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab ctrl+a ctrl+c
sleep 0.5
shown_phrases="$(xclip -o -selection clipboard | tr -d '\r' | sed '/^$/d')"
expected_phrases="$(sed -n '/^Trigger Phrases:/,/^Occurrences:/ s/^  //p' <<<"$expected")"
[ "$shown_phrases" = "$expected_phrases" ] \
    || fail "the phrase list differs: window '$shown_phrases', Linux '$expected_phrases'"
echo "  the phrase list matches ($(wc -l <<<"$shown_phrases") phrases)"

# F1 opens the About box; Alt+S presses its System Info button.
xdotool key F1
sleep 1
xdotool key alt+s
window_of notepad.exe >/dev/null || fail "the System Info button started no program"
echo "  System Info started the program the registry names"
