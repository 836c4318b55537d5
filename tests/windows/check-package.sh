#!/usr/bin/env bash
# Checks the Windows package under Wine against the Linux build of the same source:
#  - tallyvex-scan.exe rates both sample messages with the same JSON, byte for byte, as the Linux program;
#  - tallyvex.exe, on a virtual X screen, shows the splash screen and then the shaped 559 x 496 main
#    window; a scan typed through the keyboard shows the Linux program's score, percentage and phrase list;
#  - the System Info button starts the program that the registry key written by "wine reg add" names;
#  - tallyvex-scan.exe, built without the mail reader, refuses --eml with status 64;
#  - tallyvex-lsp.exe publishes the marks and the verdict of a document opened over its standard input.
# Screenshots of the splash screen and the main window go to SCREENSHOT_DIR (windows-*.png), when given.
# Usage: check-package.sh ZIP SOURCE_DIR LINUX_BUILD_DIR [SCREENSHOT_DIR]
set -euo pipefail

zip="$(realpath "$1")"
source="$(cd "$2" && pwd)"
linux_build="$(cd "$3" && pwd)"
shots="${4:-}"
linux_scan="$linux_build/bin/tallyvex-scan"
[ -x "$linux_scan" ] || { echo "FAIL: no Linux build at $linux_build (run scripts/run first)" >&2; exit 1; }

work="$(mktemp -d)"
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

unzip -q "$zip" -d "$work"
program_dir="$(echo "$work"/tallyvex-*-win64)"
# The same locale on both sides, no Mono or Gecko installers, no debug chatter.
export LC_ALL=C.UTF-8 WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Creating a Wine prefix"
DISPLAY='' wine wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }

echo "Rating the sample messages with tallyvex-scan.exe"
cp "$source/resources/Definitions.dat" "$work/"
for sample in legitimate unsolicited; do
    cp "$source/examples/$sample.txt" "$work/"
    # Relative paths, so the reports name the same files on both sides.
    (cd "$work" && "$linux_scan" --json --definitions Definitions.dat "$sample.txt" >"$sample.linux.json") || true
    (cd "$work" && DISPLAY='' wine "$program_dir/tallyvex-scan.exe" --json --definitions Definitions.dat \
        "$sample.txt" >"$sample.windows.json" 2>"$sample.windows.err") || true
    cmp "$work/$sample.linux.json" "$work/$sample.windows.json" \
        || { diff "$work/$sample.linux.json" "$work/$sample.windows.json" | head -n 20 >&2; fail "$sample: the reports differ"; }
    echo "  $sample.txt: the same report"
done

status=0
(cd "$work" && DISPLAY='' wine "$program_dir/tallyvex-scan.exe" --eml unsolicited.txt >/dev/null 2>"eml.err") \
    || status=$?
[ "$status" = 64 ] || fail "tallyvex-scan.exe --eml exited with $status, not 64"
echo "  --eml: $(tr -d '\r' <"$work/eml.err")"

echo "Opening a document with tallyvex-lsp.exe"
frame() { LC_ALL=C printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
status=0
{
    frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
    frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///C:/t/offer.txt","languageId":"plaintext","version":1,"text":"Act now: 100% free!"}}}'
    sleep 5
    frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
    frame '{"jsonrpc":"2.0","method":"exit"}'
} | (cd "$program_dir" && DISPLAY='' wine tallyvex-lsp.exe >"$work/lsp.out" 2>"$work/lsp.err") || status=$?
[ "$status" = 0 ] || fail "tallyvex-lsp.exe exited with $status: $(cat "$work/lsp.out" "$work/lsp.err")"
grep -q '"code":"verdict"' "$work/lsp.out" || fail "tallyvex-lsp.exe published no verdict: $(cat "$work/lsp.out")"
echo "  the marks and the verdict published"

# The system information tool: a key naming a program Wine ships, whose window the check then looks for.
wine reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ \
    /d 'C:\windows\system32\notepad.exe' /f >"$work/reg.log" 2>&1 || { cat "$work/reg.log" >&2; fail "reg add"; }

# Wine's desktop process keeps the display it was started without; the window check needs a fresh one.
wineserver -k
wineserver -w

echo "Starting tallyvex.exe on a virtual screen"
export TALLYVEX_WORK="$work" TALLYVEX_PROGRAM_DIR="$program_dir" TALLYVEX_SOURCE="$source"
export TALLYVEX_LINUX_SCAN="$linux_scan" TALLYVEX_SCREENSHOTS="${shots:-$work}"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$source/tests/windows/check-window.sh"
