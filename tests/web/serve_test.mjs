// The page's server: the isolation headers on every answer, the types module
// scripts and WebAssembly need, and nothing from outside the served folder.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { request } from 'node:http';
import { mkdtempSync, mkdirSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from '../../tools/web/serve.mjs';

// Raw paths, so "..", encoded or not, reaches the server as sent.
function fetchRaw(port, path, method = 'GET') {
  return new Promise((resolve, reject) => {
    request({ host: '127.0.0.1', port, path, method }, (response) => {
      let body = '';
      response.on('data', (chunk) => (body += chunk));
      response.on('end', () => resolve({ status: response.statusCode, headers: response.headers, body }));
    })
      .on('error', reject)
      .end();
  });
}

test('the server sends the files of its folder only, with the isolation headers', async () => {
  const top = mkdtempSync(join(tmpdir(), 'vargul-serve-'));
  const root = join(top, 'web');
  mkdirSync(join(root, 'engine'), { recursive: true });
  mkdirSync(join(root, 'node_modules'));
  writeFileSync(join(root, 'index.html'), '<p>page</p>');
  writeFileSync(join(root, 'engine', 'engine.wasm'), 'wasm');
  writeFileSync(join(root, 'engine', 'engine.mjs'), 'export {}');
  writeFileSync(join(root, 'node_modules', 'x.js'), 'secret');
  writeFileSync(join(top, 'outside.txt'), 'secret');
  symlinkSync(join(top, 'outside.txt'), join(root, 'link.txt'));
  symlinkSync(top, join(root, 'up'));
  const server = await serve({ root, port: 0 });
  const { port } = server.address();
  try {
    const rows = [
      ['/', 200, 'text/html; charset=utf-8'],
      ['/engine/engine.wasm', 200, 'application/wasm'],
      ['/engine/engine.mjs?v=1', 200, 'text/javascript; charset=utf-8'],
      ['/missing.js', 404],
      ['/engine', 404],
      ['/../outside.txt', 404],
      ['/%2e%2e/outside.txt', 404],
      ['/engine/%2e%2e%2f%2e%2e%2foutside.txt', 404],
      ['/node_modules/x.js', 404],
      ['/link.txt', 404],
      ['/up/outside.txt', 404],
      ['/%E0%A4%A', 400],
    ];
    for (const [path, status, type] of rows) {
      const answer = await fetchRaw(port, path);
      assert.equal(answer.status, status, path);
      assert.equal(answer.headers['cross-origin-opener-policy'], 'same-origin', path);
      assert.equal(answer.headers['cross-origin-embedder-policy'], 'require-corp', path);
      if (type) assert.equal(answer.headers['content-type'], type, path);
      assert.ok(!answer.body.includes('secret'), path);
    }
    assert.equal((await fetchRaw(port, '/', 'POST')).status, 405);
  } finally {
    server.close();
  }
});
