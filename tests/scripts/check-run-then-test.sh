#!/usr/bin/env bash
# scripts/run, then scripts/test, in the README's order, in a copy of the scripts that has no .git, with
# stand-ins for cmake, ctest, clang-format and dpkg-query. The cmake stand-in keeps TALLYVEX_BUILD_TESTS in
# its cache as CMake does, and the ctest stand-in finds tests only in a folder configured with them, so
# scripts/test passes only when it runs the test-suite whatever scripts/run configured before.
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

tree="$work/tree"
mkdir -p "$tree/examples" "$tree/src" "$work/stubs"
cp -r "$source_dir/scripts" "$tree/"
cp "$source_dir/examples/unsolicited.txt" "$tree/examples/"
touch "$tree/src/Sample.cpp"

cat >"$work/stubs/cmake" <<'STUB'
#!/usr/bin/env bash
if [ "$1" = "--build" ]; then
    mkdir -p "$2/bin" && printf '#!/bin/sh\ncat >/dev/null\n' >"$2/bin/tallyvex-scan" && chmod +x "$2/bin/tallyvex-scan"
    exit 0
fi
while [ $# -gt 0 ]; do
    case "$1" in
        -B) dir="$2"; shift ;;
        -DTALLYVEX_BUILD_TESTS=*) tests="${1#*=}" ;;
    esac
    shift
done
mkdir -p "$dir"
[ -n "${tests:-}" ] && echo "$tests" >"$dir/tests-cached"
[ -f "$dir/tests-cached" ] || echo ON >"$dir/tests-cached"
STUB
cat >"$work/stubs/ctest" <<'STUB'
#!/usr/bin/env bash
no_tests=ignore
while [ $# -gt 0 ]; do
    case "$1" in
        --test-dir) dir="$2"; shift ;;
        --no-tests=*) no_tests="${1#*=}" ;;
    esac
    shift
done
if [ "$(cat "$dir/tests-cached")" = "ON" ] && [ -z "${STUB_NO_TESTS:-}" ]; then
    echo "suite" >>"$dir/ran"
    exit 0
fi
echo "No tests were found!!!"
[ "$no_tests" = "error" ] && exit 8
exit 0
STUB
printf '#!/bin/sh\nfor f in "$@"; do case "$f" in -*) ;; *) echo "$f" >>"%s"; esac; done\n' \
    "$work/formatted" >"$work/stubs/clang-format"
printf '#!/bin/sh\necho "install ok installed"\n' >"$work/stubs/dpkg-query"
chmod +x "$work/stubs/"*

run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u CI PATH="$work/stubs:$PATH" BUILD_DIR="$work/build" "$@" >>"$work/log" 2>&1
}

run "$tree/scripts/run" || fail "scripts/run failed: $(cat "$work/log")"
run "$tree/scripts/test" || fail "scripts/test after scripts/run failed: $(cat "$work/log")"
[ "$(cat "$work/build/ran" 2>/dev/null)" = "suite" ] || fail "scripts/test ran no test after scripts/run"
grep -qx "$tree/src/Sample.cpp" "$work/formatted" 2>/dev/null \
    || fail "the formatting check did not see src/Sample.cpp in a tree without .git"

if STUB_NO_TESTS=1 run "$tree/scripts/test"; then
    fail "scripts/test passed although no test ran"
fi
echo "scripts/run then scripts/test runs the test-suite; a run without tests fails"
