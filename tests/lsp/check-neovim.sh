#!/usr/bin/env bash
# Runs Neovim headless with neovim-client.lua against tallyvex-lsp on a copy of the spring-offer template.
# Usage: check-neovim.sh TALLYVEX_LSP DEFINITIONS
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$here/spring-offer.html" "$work/"
status=0
TALLYVEX_LSP="$1" TALLYVEX_DEFINITIONS="$2" TALLYVEX_TEMPLATE="$work/spring-offer.html" \
    timeout 120 nvim --headless --clean -n -c "luafile $here/neovim-client.lua" </dev/null || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: Neovim's client run ended with status $status" >&2; exit 1; }
echo "Neovim's client received the marks, followed an edit and showed the hover"
