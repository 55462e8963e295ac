-- Run inside headless Neovim by neovim_test.sh: attaches the built-in
-- language-server client to the current buffer, then compares what it
-- receives with the check's JSON and writes "OK" or the differences.
local result = {}
local function finish()
  if #result == 0 then result = { "OK" } end
  vim.fn.writefile(result, os.getenv("RESULT"))
  vim.cmd("qa!")
end
local function fail(text) table.insert(result, text) end

local expected = {}
local file = vim.api.nvim_buf_get_name(0)
for _, f in ipairs(vim.fn.json_decode(table.concat(vim.fn.readfile(os.getenv("CHECK_JSON")), "\n"))) do
  if f.file == file then table.insert(expected, f) end
end
if #expected < 2 then fail("the check found " .. #expected .. " problems, expected at least 2") end

local client = vim.lsp.start_client({
  name = "scenario",
  cmd = { os.getenv("SCENARIO_TOOL"), "lsp" },
  root_dir = vim.fn.fnamemodify(file, ":h"),
})
if not client then
  fail("the server did not start")
  return finish()
end
vim.lsp.buf_attach_client(0, client)

local got = {}
vim.wait(20000, function()
  got = vim.diagnostic.get(0)
  return #got >= #expected and #expected > 0
end, 50)

local severities = { error = vim.diagnostic.severity.ERROR, warning = vim.diagnostic.severity.WARN }
for _, e in ipairs(expected) do
  local found = false
  for _, d in ipairs(got) do
    if d.lnum == e.line - 1 and d.col == e.column - 1 and d.message == e.message
        and d.severity == severities[e.severity] then
      found = true
    end
  end
  if not found then
    fail(string.format("no diagnostic at %d:%d: %s", e.line, e.column, e.message))
  end
end
if #got ~= #expected then fail(string.format("%d diagnostics, the check has %d", #got, #expected)) end

-- Hover on the planted signal's keyword.
local line = tonumber(os.getenv("HOVER_LINE"))
vim.api.nvim_win_set_cursor(0, { line, 2 })
local answers = vim.lsp.buf_request_sync(0, "textDocument/hover", vim.lsp.util.make_position_params(), 10000)
local text = ""
for _, a in pairs(answers or {}) do
  if a.result and a.result.contents then text = text .. (a.result.contents.value or "") end
end
if not text:find("**segnale**: signal", 1, true) then fail("hover: " .. text) end

vim.lsp.stop_client(client)
finish()
