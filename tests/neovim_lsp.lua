-- Neovim's own LSP client on `scenario lsp`: the carried train file opened
-- with a station off the grid, the diagnostics neovim received, a hover on
-- a signal's position, and the fault mended in the buffer without saving.
-- Reads SCENARIO_SERVER (the words that start the server, one a line),
-- SCENARIO_DIR; writes what it saw, a line a fact, to
-- SCENARIO_OUT, then quits.
local server = vim.split(os.getenv('SCENARIO_SERVER'), '\n', { plain = true })
local dir = os.getenv('SCENARIO_DIR')
local out = {}

local function fine()
  local f = io.open(os.getenv('SCENARIO_OUT'), 'w')
  f:write(table.concat(out, '\n') .. '\n')
  f:close()
  vim.cmd('qa!')
end

-- Whatever happens, neovim ends.
vim.defer_fn(function()
  table.insert(out, 'scaduto')
  fine()
end, 30000)

local ok, err = pcall(function()
  vim.cmd('edit ' .. vim.fn.fnameescape(dir .. '/Lanvero_Ostrel_24817-.txt'))
  local buf = vim.api.nvim_get_current_buf()
  local righe = vim.api.nvim_buf_get_lines(buf, 0, -1, false)
  local stazione, segnale
  for i, r in ipairs(righe) do
    if r:find('^stazione,    4250,') then stazione = i - 1 end
    if r:find('^segnale,    1600,') then segnale = i - 1 end
  end
  local giusta = righe[stazione + 1]
  vim.api.nvim_buf_set_lines(buf, stazione, stazione + 1, false,
                             {(giusta:gsub('4250', '4275', 1))})

  local client = vim.lsp.start_client({ cmd = server, root_dir = dir, name = 'scenario' })
  vim.lsp.buf_attach_client(buf, client)

  local function errori()
    return vim.diagnostic.get(buf, { severity = vim.diagnostic.severity.ERROR })
  end
  vim.wait(10000, function() return #errori() > 0 end, 20)
  for _, d in ipairs(errori()) do
    local codice = d.code
    if codice == nil and d.user_data and d.user_data.lsp then codice = d.user_data.lsp.code end
    table.insert(out, string.format('errore riga=%d colonna=%d codice=%s messaggio=%s',
                                    d.lnum, d.col, tostring(codice), d.message))
  end
  table.insert(out, 'riga_stazione=' .. stazione)

  local colonna = righe[segnale + 1]:find('1600') -- 1-based: the second digit, 0-based
  local risposte = vim.lsp.buf_request_sync(buf, 'textDocument/hover', {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = segnale, character = colonna },
  }, 10000)
  for _, r in pairs(risposte or {}) do
    if r.result and r.result.contents then
      table.insert(out, 'hover=' .. r.result.contents.value:gsub('\n', ' '))
    end
  end

  vim.api.nvim_buf_set_lines(buf, stazione, stazione + 1, false, { giusta })
  vim.wait(10000, function() return #errori() == 0 end, 20)
  table.insert(out, 'errori_dopo=' .. #errori())
  table.insert(out, 'modificato=' .. tostring(vim.bo[buf].modified))
end)
if not ok then table.insert(out, 'guasto=' .. tostring(err)) end
fine()
