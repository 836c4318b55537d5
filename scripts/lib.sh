# Shared by the project's scripts: messages and the installation of missing Debian packages.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

# Everything a build and the test-suite need on Debian 12.
BUILD_PACKAGES=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev libgl-dev
    libgmime-3.0-dev libxml2-dev
    libgtest-dev libgmock-dev googletest
    fonts-liberation fonts-dejavu-core
)
# neovim: its own language server client drives tallyvex-lsp in the test-suite.
TEST_PACKAGES=(clang-format xvfb xauth python3 python3-jsonschema
    dpkg-dev desktop-file-utils appstream file
    g++-mingw-w64-x86-64 wine wine64 neovim)
FULL_TEST_PACKAGES=(clang-14 libclang-rt-14-dev)
# scripts/bench: the benchmark library, the prose workload's source text (perl-doc) and Hyperscan as the
# reference it is measured against.
BENCH_PACKAGES=(libbenchmark-dev libhyperscan-dev perl-doc)
# scripts/bench --peers: the server-side spam filters tallyvex-scan is compared with (scripts/bench-peers
# starts spamd and rspamd on loopback ports of their own).
PEER_PACKAGES=(spamassassin spamc spamd rspamd)

# The Windows build (scripts/package-windows) and its checks under Wine.
WINDOWS_PACKAGES=(qt6-base-dev-tools g++-mingw-w64-x86-64-posix dpkg-dev zip unzip
    wine wine64 xvfb xauth x11-utils xdotool xclip imagemagick tesseract-ocr)

# The mirror of the main archive in this machine's apt sources, in either of their two formats;
# DEBIAN_MIRROR when set.
machine_mirror() {
    if [ -n "${DEBIAN_MIRROR:-}" ]; then
        echo "$DEBIAN_MIRROR"
        return
    fi
    { cat /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } | sed -n 's/^URIs: *\([^ ]*\/debian\)$/\1/p'
    { grep -hE '^deb +[^ ]+/debian +' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true; } \
        | awk '{print $2}'
}

say() { printf '==> %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        say "Need root rights to run: $*"
        return 1
    fi
}

# Installs the packages that are not installed yet; does nothing when all are there.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        say "All ${#} required packages are installed"
        return 0
    fi
    say "Installing missing packages: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir="$1"
    shift
    say "Configuring $dir"
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    say "Building $dir"
    cmake --build "$dir" -j "$(nproc)"
}
