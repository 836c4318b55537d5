-- Drives tallyvex-lsp through Neovim's own language server client, as an editor user meets it: the template is
-- opened, its marks arrive, an edit moves them, a hover explains a phrase, a quick fix replaces one, and the
-- server ends with the client.
-- Given by the environment: TALLYVEX_LSP (the server), TALLYVEX_DEFINITIONS, TALLYVEX_TEMPLATE (a copy of
-- spring-offer.html that may be changed). Ends Neovim with status 0 when every step held, else 1.

local server = assert(os.getenv('TALLYVEX_LSP'))
local definitions = assert(os.getenv('TALLYVEX_DEFINITIONS'))
local template = assert(os.getenv('TALLYVEX_TEMPLATE'))

local function fail(message)
  io.stderr:write('FAIL: ' .. message .. '\n')
  vim.cmd('cquit 1')
end

local function check(condition, message)
  if not condition then
    fail(message)
  end
end

vim.cmd('edit ' .. vim.fn.fnameescape(template))
local bufnr = vim.api.nvim_get_current_buf()
local exit_code
local client_id = vim.lsp.start_client({
  name = 'tallyvex',
  cmd = { server },
  root_dir = vim.fn.fnamemodify(template, ':h'),
  init_options = { definitions = definitions },
  on_exit = function(code)
    exit_code = code
  end,
})
check(client_id, 'the client did not start the server')
vim.lsp.buf_attach_client(bufnr, client_id)

local function line_text(lnum)
  return vim.api.nvim_buf_get_lines(bufnr, lnum, lnum + 1, true)[1]
end

-- The byte column of `text` on line `lnum`, as Neovim's diagnostics count columns.
local function column_of(lnum, text)
  return line_text(lnum):find(text, 1, true) - 1
end

-- Waits until a diagnostic of `code` stands on `lnum` over `text`.
local function wait_for_mark(code, lnum, text)
  local col = column_of(lnum, text)
  local found = vim.wait(10000, function()
    for _, d in ipairs(vim.diagnostic.get(bufnr)) do
      if d.code == code and d.lnum == lnum and d.col == col and d.end_col == col + #text then
        return true
      end
    end
    return false
  end, 20)
  check(found, string.format('no %s mark over "%s" on line %d; marks: %s', code, text, lnum + 1,
    vim.inspect(vim.diagnostic.get(bufnr))))
end

local steps = {
  function() -- the marks of the template as opened: the title, a phrase after an astral character, the verdict
    wait_for_mark('heavy', 2, 'Act now')
    wait_for_mark('medium', 4, 'free')
    wait_for_mark('light', 5, 'Click here')
    local verdict = vim.tbl_filter(function(d) return d.code == 'verdict' end, vim.diagnostic.get(bufnr))[1]
    check(verdict and verdict.message:find('^Fail — Overall Score: ') ~= nil,
      'no verdict: ' .. vim.inspect(verdict))
  end,
  function() -- an edit typed before the astral character moves the mark after it
    vim.api.nvim_buf_set_text(bufnr, 4, 3, 4, 3, { 'Free gift! ' })
    wait_for_mark('medium', 4, 'Free')
    wait_for_mark('medium', 4, 'free')
  end,
  function() -- a hover on the phrase says what the window's tooltip says
    vim.api.nvim_win_set_cursor(0, { 5, column_of(4, 'free sample') + 1 })
    local replies = vim.lsp.buf_request_sync(bufnr, 'textDocument/hover', vim.lsp.util.make_position_params(), 10000)
    local hover = replies and replies[client_id] and replies[client_id].result
    local text = hover and hover.contents.value or ''
    check(text:find('“free” adds 1.5 to the score each time a scan counts it.', 1, true),
      'hover: ' .. vim.inspect(hover))
  end,
  function() -- quick fixes offer the wordings, capitalised like the phrase; the first, applied and written, replaces it
    vim.api.nvim_win_set_cursor(0, { 6, column_of(5, 'Click here') + 2 })
    local params = vim.lsp.util.make_range_params()
    params.context = { diagnostics = vim.diagnostic.get(bufnr, { lnum = 5 }) }
    local replies = vim.lsp.buf_request_sync(bufnr, 'textDocument/codeAction', params, 10000)
    local actions = replies and replies[client_id] and replies[client_id].result or {}
    local titles = vim.tbl_map(function(action) return action.title end, actions)
    check(vim.deep_equal(titles, { 'Replace “click here” with “See the link”', 'Remove “click here”' }),
      'code actions: ' .. vim.inspect(titles))
    vim.lsp.util.apply_workspace_edit(actions[1].edit, 'utf-16')
    vim.cmd('write')
    local file = assert(io.open(template))
    local written = file:read('*a')
    file:close()
    check(written:find('<p>See the link to claim it.</p>', 1, true), 'written: ' .. written)
    wait_for_mark('medium', 4, 'free')
  end,
}

for _, step in ipairs(steps) do
  step()
end

vim.lsp.stop_client(client_id)
check(vim.wait(10000, function() return exit_code ~= nil end, 20), 'the server did not end')
check(exit_code == 0, 'the server ended with status ' .. tostring(exit_code))
vim.cmd('qall!')
