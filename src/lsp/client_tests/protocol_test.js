// Drives `scenario-tool lsp` with the protocol client library that editors
// of the VS Code family use, over the server's own stdin and stdout:
// initialize, open a pair, an incremental edit that plants a fault after a
// character of two UTF-16 units, the diagnostics compared with
// `scenario-tool check`, hover, completion, the outline, definition, an
// unknown method, shutdown and exit; and a client that quits without
// shutdown.
//
// usage: node protocol_test.js SCENARIO_TOOL
'use strict';
const assert = require('assert');
const cp = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const rpc = require('vscode-languageserver-protocol/node');

const tool = path.resolve(process.argv[2]);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-lsp-'));
const docs = path.join(work, 'docs');
fs.mkdirSync(docs);
cp.execFileSync(tool, ['documents', '--out', docs]);
const linePath = path.join(docs, 'Borvasco_Lestrano_linea.txt');
const trainPath = path.join(docs, 'Borvasco_Lestrano_40817-.txt');
const lineUri = 'file://' + linePath;
const trainUri = 'file://' + trainPath;
// The documents are Windows-1252; the built-in ones hold nothing beyond
// Latin-1, which reads the same.
const lineText = fs.readFileSync(linePath, 'latin1');
const trainText = fs.readFileSync(trainPath, 'latin1');
const onDisk = [fs.readFileSync(linePath), fs.readFileSync(trainPath)];

function start() {
  const proc = cp.spawn(tool, ['lsp'], { stdio: ['pipe', 'pipe', 'inherit'] });
  const conn = rpc.createProtocolConnection(
    new rpc.StreamMessageReader(proc.stdout), new rpc.StreamMessageWriter(proc.stdin));
  conn.listen();
  const exited = new Promise((resolve) => proc.on('exit', (code) => resolve(code)));
  return { proc, conn, exited };
}

function within(ms, promise, what) {
  let timer;
  const timeout = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error('timed out: ' + what)), ms);
  });
  return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

async function main() {
  const { proc, conn, exited } = start();
  const published = new Map();
  let waiting = [];
  conn.onNotification(rpc.PublishDiagnosticsNotification.type, (p) => {
    published.set(p.uri, p);
    waiting = waiting.filter((w) => !w());
  });
  const until = (test, what) => within(10000, new Promise((resolve) => {
    if (test()) return resolve();
    waiting.push(() => test() && (resolve(), true));
  }), what);

  const init = await conn.sendRequest(rpc.InitializeRequest.type, {
    processId: process.pid, rootUri: null,
    capabilities: { textDocument: { completion: { completionItem: { snippetSupport: true } } } },
  });
  assert.strictEqual(init.capabilities.textDocumentSync.change, rpc.TextDocumentSyncKind.Incremental);
  assert.ok(init.capabilities.hoverProvider && init.capabilities.definitionProvider);
  await conn.sendNotification(rpc.InitializedNotification.type, {});

  for (const [uri, text] of [[lineUri, lineText], [trainUri, trainText]]) {
    await conn.sendNotification(rpc.DidOpenTextDocumentNotification.type,
      { textDocument: { uri, languageId: 'scenario', version: 1, text } });
  }
  await until(() => published.has(lineUri) && published.has(trainUri), 'diagnostics on open');
  assert.deepStrictEqual(published.get(trainUri).diagnostics, [], 'the built-in pair is clean');

  // Plant a fault: the third signal on the second one's position, with a
  // character of two UTF-16 units in its keyword field.
  const lines = trainText.split('\r\n');
  const first = lines.findIndex((l) => l.startsWith('segnale'));
  const secondPosition = lines[first + 1].split(',')[1].trim();
  const third = lines[first + 2];
  const comma = third.indexOf(',');
  const positionEnd = third.indexOf(',', comma + 1);
  const replacement = '\u{1F600},    ' + secondPosition;
  await conn.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri: trainUri, version: 2 },
    contentChanges: [{
      range: { start: { line: first + 2, character: comma }, end: { line: first + 2, character: positionEnd } },
      text: replacement,
    }],
  });
  await until(() => published.get(trainUri).version === 2, 'diagnostics after the edit');

  // The same pair through `scenario-tool check`, from files; the character
  // with no Windows-1252 code is a '?' there, one column for two units.
  lines[first + 2] = third.slice(0, comma) + replacement.replace('\u{1F600}', '?') + third.slice(positionEnd);
  const editedPath = path.join(work, 'Borvasco_Lestrano_40817-.txt');
  fs.writeFileSync(editedPath, Buffer.from(lines.join('\r\n'), 'latin1'));
  const check = JSON.parse(cp.spawnSync(tool, ['check', '--line', linePath, '--train', editedPath,
    '--format', 'json']).stdout.toString());
  const expected = check.filter((f) => f.file === editedPath);
  const got = published.get(trainUri).diagnostics;
  assert.ok(expected.some((f) => f.code === 16), 'the check finds the taken signal cell');
  assert.strictEqual(got.length, expected.length);
  expected.forEach((f, i) => {
    const d = got[i];
    assert.strictEqual(d.message, f.message);
    assert.strictEqual(d.code, f.code !== undefined ? f.code : f.kind);
    assert.strictEqual(d.severity, f.severity === 'error' ? 1 : 2);
    assert.strictEqual(d.range.start.line, f.line - 1);
    const astral = f.line - 1 === first + 2 && f.column - 1 > comma ? 1 : 0;
    assert.strictEqual(d.range.start.character, f.column - 1 + astral, f.message);
  });
  // The fault is on the record's keyword field, which ends after the
  // character of two units.
  const fault = got.find((d) => d.code === 16);
  assert.deepStrictEqual(fault.range, {
    start: { line: first + 2, character: 0 },
    end: { line: first + 2, character: comma + 2 },
  });

  // The quick fix of a misspelt keyword, applied as an editor applies a
  // workspace edit; then the line kilometres as inlay hints.
  const misspelt = lines.findIndex((l, i) => i > first + 2 && l.startsWith('segnale'));
  await conn.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri: trainUri, version: 3 },
    contentChanges: [{ range: { start: { line: misspelt, character: 0 }, end: { line: misspelt, character: 7 } }, text: 'sengale' }],
  });
  const actions = await conn.sendRequest(rpc.CodeActionRequest.type, {
    textDocument: { uri: trainUri },
    range: { start: { line: misspelt, character: 0 }, end: { line: misspelt, character: 0 } },
    context: { diagnostics: [] },
  });
  const fix = actions.find((a) => a.title === "Replace with 'segnale'");
  assert.ok(fix && fix.kind === rpc.CodeActionKind.QuickFix, 'a quick fix for the misspelling');
  const [edit] = fix.edit.changes[trainUri];
  assert.deepStrictEqual(edit.range, { start: { line: misspelt, character: 0 }, end: { line: misspelt, character: 7 } });
  await conn.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri: trainUri, version: 4 }, contentChanges: [{ range: edit.range, text: edit.newText }],
  });
  await until(() => published.get(trainUri).version === 4, 'diagnostics after the fix');
  assert.ok(!published.get(trainUri).diagnostics.some((d) => d.code === 'unknown-keyword'));
  const hints = await conn.sendRequest(rpc.InlayHintRequest.type, {
    textDocument: { uri: trainUri },
    range: { start: { line: 0, character: 0 }, end: { line: lines.length, character: 0 } },
  });
  // Kilometres beside the positions, what the package keeps beside the
  // speed limits, and nothing else.
  const kilometre = (h) => /^ km \d+\+\d{3}$/.test(h.label);
  const kept = (h) => /^ kept as \d+( \(\d+ km\/h\))?$/.test(h.label);
  assert.ok(hints.some(kilometre) && hints.some(kept) && hints.every((h) => kilometre(h) || kept(h)),
    'kilometres and kept speeds as hints');

  // Hover on a signal's position: the field, and the place as a kilometre.
  const hover = await conn.sendRequest(rpc.HoverRequest.type, {
    textDocument: { uri: trainUri }, position: { line: first, character: lines[first].indexOf(lines[first].split(',')[1].trim()) },
  });
  assert.match(hover.contents.value, /\*\*position\*\* \(m\): field 1 of 11 of a signal/);
  assert.match(hover.contents.value, /Line kilometre: km \d+\+\d{3}/);

  // Completion on a new line among the signals.
  await conn.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri: trainUri, version: 5 },
    contentChanges: [{ range: { start: { line: first, character: 0 }, end: { line: first, character: 0 } }, text: 'ral\r\n' }],
  });
  const completion = await conn.sendRequest(rpc.CompletionRequest.type,
    { textDocument: { uri: trainUri }, position: { line: first, character: 3 } });
  const restriction = completion.items.find((i) => i.label === 'rallentamento');
  assert.ok(restriction, 'rallentamento is offered');
  assert.strictEqual(restriction.insertTextFormat, rpc.InsertTextFormat.Snippet);
  assert.match(restriction.textEdit.newText, /^rallentamento,  \$\{1:start\},  \$\{2:speed\}/);
  assert.ok(!completion.items.some((i) => i.label === 'pendenza'), 'no line-description keyword');

  // The outline of the line description: its sections, boards inside.
  const symbols = await conn.sendRequest(rpc.DocumentSymbolRequest.type, { textDocument: { uri: lineUri } });
  assert.deepStrictEqual(symbols.map((s) => s.name),
    ['[generale]', '[curve]', '[pendenze]', '[montagne]', '[cartelli]', '[indicazioni]', '[fine]']);
  assert.strictEqual(symbols[5].children.length, 55);

  // Definition: from a station to the line-description records at its place.
  const station = lines.findIndex((l) => l.startsWith('stazione'));
  const where = await conn.sendRequest(rpc.DefinitionRequest.type,
    { textDocument: { uri: trainUri }, position: { line: station + 1, character: 12 } });
  assert.ok(Array.isArray(where) && where.length > 0 && where.every((l) => l.uri === lineUri));

  // An unknown method is refused, and the server carries on.
  await assert.rejects(conn.sendRequest('scenario/nothing', {}), (e) => e.code === rpc.ErrorCodes.MethodNotFound);
  await conn.sendRequest(rpc.ShutdownRequest.type);
  await conn.sendNotification(rpc.ExitNotification.type);
  assert.strictEqual(await within(10000, exited, 'exit after shutdown'), 0);
  conn.dispose();
  // The documents on disk were never touched.
  assert.ok(fs.readFileSync(linePath).equals(onDisk[0]) && fs.readFileSync(trainPath).equals(onDisk[1]));

  // A client that quits without shutdown: the server ends when its input
  // does, with status 1.
  const second = start();
  await second.conn.sendRequest(rpc.InitializeRequest.type, { processId: null, rootUri: null, capabilities: {} });
  second.proc.stdin.end();
  assert.strictEqual(await within(10000, second.exited, 'exit at the end of input'), 1);
  second.conn.dispose();
}

main().then(() => {
  fs.rmSync(work, { recursive: true, force: true });
  console.log('OK');
  process.exit(0);
}, (e) => {
  console.error(e);
  fs.rmSync(work, { recursive: true, force: true });
  process.exit(1);
});
