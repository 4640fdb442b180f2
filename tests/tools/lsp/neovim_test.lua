-- A real editor client: Neovim (0.7, headless) starts `scenario-tool lsp`,
-- opens the embedded train file and checks what an author sees: no
-- diagnostics, error 16 for a signal moved onto a taken cell, the warning
-- for a misspelled keyword, and the name of a signal's third number on hover.
-- Run: SCENARIO_TOOL=build/bin/scenario-tool nvim --headless --clean -c "luafile tests/tools/lsp/neovim_test.lua"
local tool = os.getenv("SCENARIO_TOOL")
local dir = vim.fn.tempname()

local function fail(message)
  io.stderr:write("neovim_test: " .. message .. "\n")
  vim.cmd("cquit 1")
end

local function run()
  assert(tool and tool ~= "", "SCENARIO_TOOL is not set")
  vim.fn.system({ tool, "sources", dir })
  assert(vim.v.shell_error == 0, "scenario-tool sources failed")
  local path = dir .. "/Orvale_Tresca_IC 417-.txt"

  local published = {}
  local client_id = vim.lsp.start_client({
    name = "scenario-tool",
    cmd = { tool, "lsp" },
    root_dir = dir,
    flags = { debounce_text_changes = 0, allow_incremental_sync = true },
    handlers = {
      ["textDocument/publishDiagnostics"] = function(_, result)
        if vim.uri_to_fname(result.uri) == path then
          table.insert(published, result)
        end
      end,
    },
  })
  assert(client_id, "the server did not start")

  vim.cmd("edit " .. vim.fn.fnameescape(path))
  local buf = vim.api.nvim_get_current_buf()
  assert(vim.lsp.buf_attach_client(buf, client_id), "cannot attach the client")

  -- The diagnostics published after `count` publications, once the version
  -- of the buffer has been seen.
  local function next_diagnostics(count)
    local ok = vim.wait(10000, function()
      return #published > count
    end, 10)
    assert(ok, "no diagnostics published")
    return published[#published].diagnostics
  end
  local function find_line(prefix)
    for i, text in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do
      if text:sub(1, #prefix) == prefix then
        return i - 1
      end
    end
    error("no line " .. prefix)
  end

  local diagnostics = next_diagnostics(0)
  assert(#diagnostics == 0, "the embedded train file has diagnostics: " .. vim.inspect(diagnostics))

  -- 47500 m is the cell of a speed board.
  local row = find_line("segnale,   56300")
  local seen = #published
  vim.api.nvim_buf_set_text(buf, row, 11, row, 16, { "47500" })
  diagnostics = next_diagnostics(seen)
  assert(#diagnostics == 1 and diagnostics[1].code == 16 and diagnostics[1].range.start.line == row,
    "expected error 16 at line " .. row .. ": " .. vim.inspect(diagnostics))
  assert(diagnostics[1].severity == vim.lsp.protocol.DiagnosticSeverity.Error, "error 16 is not an error")

  seen = #published
  vim.api.nvim_buf_set_text(buf, row, 11, row, 16, { "56300" })
  local misspelled = find_line("segnale,   16300")
  vim.api.nvim_buf_set_text(buf, misspelled, 0, misspelled, 7, { "segnalle" })
  local ok = vim.wait(10000, function()
    local last = published[#published]
    return #published > seen and #last.diagnostics == 1 and last.diagnostics[1].code == "unknown-keyword"
  end, 10)
  diagnostics = published[#published].diagnostics
  assert(ok, "expected the misspelled keyword's warning: " .. vim.inspect(diagnostics))
  assert(diagnostics[1].range.start.line == misspelled, "the warning is not at line " .. misspelled)
  assert(diagnostics[1].severity == vim.lsp.protocol.DiagnosticSeverity.Warning, "not a warning")
  assert(diagnostics[1].message:find("segnalle", 1, true), diagnostics[1].message)

  -- The third number of the signal at 56300 m: s1.
  local text = vim.api.nvim_buf_get_lines(buf, row, row + 1, false)[1]
  local column = select(2, text:find("^segnale,%s*%d+,%s*%d+,%s*")) -- just before the third number
  local responses = vim.lsp.buf_request_sync(buf, "textDocument/hover", {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = row, character = column },
  }, 10000)
  local hover = responses and responses[client_id] and responses[client_id].result
  assert(hover, "no hover: " .. vim.inspect(responses))
  assert(hover.contents.value:find("**s1**", 1, true), "hover does not name s1: " .. hover.contents.value)

  vim.lsp.stop_client(client_id)
  vim.wait(5000, function()
    return vim.lsp.get_client_by_id(client_id) == nil
  end, 10)
  vim.fn.delete(dir, "rf")
  io.stdout:write("neovim_test: passed\n")
  vim.cmd("qall!")
end

local ok, err = pcall(run)
if not ok then
  vim.fn.delete(dir, "rf")
  fail(tostring(err))
end
