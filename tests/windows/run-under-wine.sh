#!/usr/bin/env bash
# Cross-compiles the Windows registry test program with mingw-w64, writes its values with "wine reg add"
# into a fresh, temporary Wine prefix and runs it under Wine, headless.
# Usage: run-under-wine.sh SOURCE_DIR [--compile-only]
set -euo pipefail

source="$(cd "$1" && pwd)"
compile_only=false
[ "${2:-}" = "--compile-only" ] && compile_only=true

work="$(mktemp -d)"
wineserver_program="$(command -v wineserver || ls /usr/lib/wine/wineserver64 2>/dev/null || true)"
cleanup() {
    if [ -n "$wineserver_program" ] && [ -d "$work/prefix" ]; then
        WINEPREFIX="$work/prefix" "$wineserver_program" -k 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "Cross-compiling the registry test program"
cmake -S "$source/tests/windows" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" >/dev/null
program="$work/build/GetKeyValueWinTest.exe"
[ -f "$program" ] || fail "no $program"
# The Qt adapter over it cannot be linked without a Qt for Windows; its syntax is checked for the Windows
# target with the build machine's Qt headers.
if qt_flags="$(pkg-config --cflags Qt6Core 2>/dev/null)"; then
    echo "Checking the Windows registry adapter"
    # shellcheck disable=SC2086
    x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Werror $qt_flags -I"$source" \
        "$source/platform/WindowsRegistry.cpp" || fail "platform/WindowsRegistry.cpp does not compile for Windows"
fi
if $compile_only; then
    echo "Built $(basename "$program"); Wine is not installed, so it was not run"
    exit 0
fi

# No display, no Mono or Gecko installers, no debug chatter.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
echo "Creating a Wine prefix"
wine wineboot --init >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail "wineboot failed"; }

key='HKLM\SOFTWARE\Tallyvex Test'
add_value() {
    wine reg add "$key" /v "$1" /t "$2" /d "$3" /f >"$work/reg.log" 2>&1 \
        || { cat "$work/reg.log" >&2; fail "reg add $1 failed"; }
}
repeat() { local i; for ((i = 0; i < $2; ++i)); do printf '%s' "$1"; done; }
add_value Text REG_SZ 'C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe'
add_value Number REG_DWORD 0x01020A0B
add_value Long REG_SZ "$(repeat L 1100)"
add_value FullText REG_SZ "$(repeat F 1023)"
add_value Unterminated REG_BINARY "$(repeat 41 1024)"

echo "Running $(basename "$program") under Wine"
status=0
wine "$program" >"$work/output.txt" 2>"$work/stderr.txt" || status=$?
tr -d '\r' <"$work/output.txt"
passed="$(grep -c '^PASS ' "$work/output.txt" || true)"
[ "$status" -eq 0 ] || fail "the test program exited with status $status"
[ "$passed" -eq 7 ] || fail "expected 7 passed checks, got $passed"
