#!/usr/bin/env bash
# Builds the Debian package from a build tree, unpacks it into a temporary folder and checks that the
# unpacked copy works where it lies: tallyvex-scan finds its definitions in ../share/tallyvex, rates the
# sample messages (also as saved e-mails, one of HTML, with its two reader modules), tallyvex-lsp publishes
# the marks of an opened document, and the desktop file and metainfo validate.
# Usage: check-debian-package.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail

build="$1"
source="$2"
version="$3"
appId="$4"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb="$work/out/tallyvex_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "expected $(basename "$deb"), found: $(ls "$work/out")"

depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6core6 libgmime-3.0-0; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library (shlibdeps): $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
icons=()
for size in 48 64 128 256; do
    icons+=("usr/share/icons/hicolor/${size}x${size}/apps/$appId.png")
done
for file in usr/bin/tallyvex usr/bin/tallyvex-scan usr/bin/tallyvex-lsp usr/share/tallyvex/Definitions.dat usr/share/tallyvex/Alternatives.dat "${icons[@]}" \
    "usr/share/applications/$appId.desktop" "usr/share/metainfo/$appId.metainfo.xml" \
    usr/share/man/man1/tallyvex-scan.1.gz; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
for module in mailreader htmlreader; do
    find "$root/usr/lib" -path "*/tallyvex/libtallyvex-$module.so" | grep -q . \
        || fail "the package lacks libtallyvex-$module.so in a tallyvex folder under /usr/lib"
done
[ ! -e "$root/usr/bin/Definitions.dat" ] || fail "the definitions must not lie beside the installed programs"

# Each sample message: "Subject: ..." on the first line, a blank line, then the body.
scan_sample() {
    local sample="$1" expected="$2" output status=0
    output="$("$root/usr/bin/tallyvex-scan" --json --subject "$(sed -n '1s/^Subject: //p' "$sample")" \
        < <(tail -n +3 "$sample"))" || status=$?
    [ "$status" -eq "$expected" ] || fail "$(basename "$sample"): exit status $status, expected $expected"
    grep -q "\"path\": \"$root/usr/share/tallyvex/Definitions.dat\"" <<<"$output" \
        || fail "$(basename "$sample"): definitions not read from the unpacked share folder: $output"
    echo "$(basename "$sample"): exit status $status as expected"
}
scan_sample "$source/examples/legitimate.txt" 0
scan_sample "$source/examples/unsolicited.txt" 2

# Saved e-mails: the unpacked program finds its reader modules in the package's library folder, the HTML
# reader's for a message whose only text is HTML.
scan_saved() {
    local message="$1" expected="$2" part="$3" status=0
    "$root/usr/bin/tallyvex-scan" --eml "$message" >"$work/eml.out" 2>&1 || status=$?
    [ "$status" -eq "$expected" ] && grep -q "^Message part: $part$" "$work/eml.out" \
        || fail "--eml $(basename "$message"): exit status $status, expected $expected: $(cat "$work/eml.out")"
}
scan_saved "$source/examples/unsolicited.txt" 2 text/plain
scan_saved "$source/tests/data/eml/html-only.eml" 0 text/html

# The language server: a document opened, its diagnostics (with the verdict) published, an orderly end. It
# must find the definitions in the unpacked share folder, or it says so in a message instead.
frame() { LC_ALL=C printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
status=0
{
    frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
    frame '{"jsonrpc":"2.0","method":"initialized","params":{}}'
    frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///t/offer.txt","languageId":"plaintext","version":1,"text":"Act now: 100% free!"}}}'
    sleep 2
    frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
    frame '{"jsonrpc":"2.0","method":"exit"}'
} | timeout 30 "$root/usr/bin/tallyvex-lsp" >"$work/lsp.out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "tallyvex-lsp: exit status $status: $(cat "$work/lsp.out")"
grep -q '"code":"verdict"' "$work/lsp.out" || fail "tallyvex-lsp published no verdict: $(cat "$work/lsp.out")"
if grep -q 'window/showMessage' "$work/lsp.out"; then
    fail "tallyvex-lsp: $(cat "$work/lsp.out")"
fi
echo "tallyvex-lsp published the marks of a document"

status=0
message="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/tallyvex" 2>&1)" || status=$?
if [ "$status" -ne 1 ] || [[ "$message" != "Tallyvex needs a graphical display"* ]]; then
    fail "tallyvex without a display: exit status $status, said: $message"
fi

desktop-file-validate "$root/usr/share/applications/$appId.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$appId.metainfo.xml"
echo "$(basename "$deb") unpacks, scans the samples and validates"
