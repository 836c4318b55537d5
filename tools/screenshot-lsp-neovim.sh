#!/usr/bin/env bash
# Opens a campaign template in Neovim inside xterm on a virtual X display, with tallyvex-lsp set up as the
# README shows for Neovim 0.7, waits for the marks, opens the hover of one phrase (or, with "actions", the
# menu of its quick fixes) and saves a picture of the terminal.
# Usage: tools/screenshot-lsp-neovim.sh [BUILD_DIR] [OUTPUT_PNG] [hover|actions]
# Needs xvfb-run, xterm, neovim, x11-utils (xwininfo), imagemagick (import) and fonts-dejavu-core.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
output="$(realpath -m "${2:-$root/docs/screenshots/lsp-neovim.png}")"
mkdir -p "$(dirname "$output")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
show="${3:-hover}"
case "$show" in
hover) open_it='vim.lsp.buf.hover()' ;;
# The menu waits for a choice, so the picture is taken a moment after it is asked for.
actions) open_it='vim.lsp.buf.code_action()' ;;
*) echo "Usage: $0 [BUILD_DIR] [OUTPUT_PNG] [hover|actions]" >&2; exit 64 ;;
esac

cat >"$work/welcome.html" <<'HTML'
<!DOCTYPE html>
<html>
<head>
  <title>Act now: {{first_name}}, your spring offer</title>
</head>
<body>
  <h1>Hello {{first_name}},</h1>
  <p>Our spring collection is here: claim your free sample, with no obligation.</p>
  <p>For a limited time, every order ships at no extra cost while supplies last.</p>
  <p><a href="{{offer_url}}">Click here</a> to choose your sample.</p>
  <p>Kind regards,<br>The Fenwick Lark team</p>
</body>
</html>
HTML

# The README's set-up for Neovim 0.7, with the server of this build; then, once the marks are in, the hover
# of "claim your" in a framed window (or the menu of its quick fixes) and a file that says the picture can be
# taken.
cat >"$work/init.lua" <<LUA
local tallyvex
vim.api.nvim_create_autocmd('FileType', {
  pattern = { 'html', 'markdown', 'text', 'mail', 'handlebars' },
  callback = function(args)
    tallyvex = tallyvex or vim.lsp.start_client({ name = 'tallyvex', cmd = { '$build/bin/tallyvex-lsp' } })
    vim.lsp.buf_attach_client(args.buf, tallyvex)
  end,
})
vim.opt.number = true
vim.cmd('highlight NormalFloat ctermbg=237 ctermfg=255')
vim.cmd('highlight FloatBorder ctermbg=237 ctermfg=250')
vim.lsp.handlers['textDocument/hover'] = vim.lsp.with(vim.lsp.handlers.hover, { border = 'rounded' })
vim.defer_fn(function()
  vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 50)
  vim.fn.search('claim your')
  io.open('$work/ready', 'w'):close()
  $open_it
end, 500)
LUA

export TALLYVEX_WORK="$work" TALLYVEX_SHOT="$output"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    cd "$TALLYVEX_WORK"
    xterm -title tallyvex-lsp -geometry 132x24+0+0 -fa "DejaVu Sans Mono" -fs 11 -bg "#1e1e1e" -fg "#d4d4d4" \
        -e env TERM=xterm-256color nvim -u init.lua welcome.html &
    terminal=$!
    trap "kill $terminal 2>/dev/null || true" EXIT
    for _ in $(seq 100); do
        [ -f ready ] && break
        sleep 0.2
    done
    [ -f ready ] || { echo "Neovim did not show the marks" >&2; exit 1; }
    sleep 1.5
    window=$(xwininfo -root -tree | awk "/\"tallyvex-lsp\"/ { print \$1; exit }")
    import -window "$window" "$TALLYVEX_SHOT"
'
echo "saved $output"
