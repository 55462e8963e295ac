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

-- The quick fix of the misspelt keyword on the line after it, applied by
-- Neovim's own workspace-edit code.
local misspelt = line + 1
local params = {
  textDocument = vim.lsp.util.make_text_document_params(),
  range = { start = { line = misspelt - 1, character = 0 }, ["end"] = { line = misspelt - 1, character = 0 } },
  context = { diagnostics = {} },
}
local fixed = false
for _, a in pairs(vim.lsp.buf_request_sync(0, "textDocument/codeAction", params, 10000) or {}) do
  for _, action in ipairs(a.result or {}) do
    if action.title == "Replace with 'segnale'" and not fixed then
      vim.lsp.util.apply_workspace_edit(action.edit, "utf-16")
      fixed = true
    end
  end
end
local now = vim.api.nvim_buf_get_lines(0, misspelt - 1, misspelt, false)[1] or ""
if not fixed or now:sub(1, 8) ~= "segnale," then fail("quick fix: " .. now) end

-- The line kilometres as inlay hints.
local hints = 0
local range = { start = { line = 0, character = 0 }, ["end"] = { line = vim.api.nvim_buf_line_count(0), character = 0 } }
for _, a in pairs(vim.lsp.buf_request_sync(0, "textDocument/inlayHint",
    { textDocument = vim.lsp.util.make_text_document_params(), range = range }, 10000) or {}) do
  for _, h in ipairs(a.result or {}) do
    if h.label:match("^ km %d+%+%d%d%d$") then hints = hints + 1 end
  end
end
if hints == 0 then fail("no inlay hint of a kilometre") end

vim.lsp.stop_client(client)
finish()
