#!/usr/bin/env bash
# Runs Neovim headless with neovim-client.lua against tallyvex-lsp on a copy of the spring-offer template, with
# a copy of the definitions and plainer wordings beside it.
# Usage: check-neovim.sh TALLYVEX_LSP DEFINITIONS
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$here/spring-offer.html" "$work/"
# The definitions with plainer wordings beside them, for the quick fixes.
cp "$2" "$work/Definitions.dat"
printf 'Wordings\t1\r\nclick here\tsee the link\t(remove)\r\n' >"$work/Alternatives.dat"
status=0
TALLYVEX_LSP="$1" TALLYVEX_DEFINITIONS="$work/Definitions.dat" TALLYVEX_TEMPLATE="$work/spring-offer.html" \
    timeout 120 nvim --headless --clean -n -c "luafile $here/neovim-client.lua" </dev/null || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: Neovim's client run ended with status $status" >&2; exit 1; }
echo "Neovim's client received the marks, followed an edit, showed the hover and applied a quick fix"
