// The page's engine module (web/engine/engine.js) with its worker and the
// WebAssembly engine that `make wasm` copies beside them, on Node: a Worker
// class over worker_threads stands in for the browser's.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { Worker as NodeWorker } from 'node:worker_threads';

const engineDir = new URL('../../web/engine/', import.meta.url);
const { createEngine, NOT_ISOLATED_MESSAGE } = await import(new URL('engine.js', engineDir).href);

class ShimWorker {
  constructor(url, options) {
    assert.equal(options?.type, 'module', 'the engine worker is an ES module');
    this.thread = new NodeWorker(new URL('./browser_worker_shim.mjs', import.meta.url), {
      workerData: { script: String(url) },
    });
    this.thread.on('message', (data) => this.onmessage?.({ data }));
    this.thread.on('error', (error) => this.onerror?.({ message: error.message }));
  }
  postMessage(message) {
    this.thread.postMessage(message);
  }
  terminate() {
    this.thread.terminate();
  }
}
globalThis.Worker = ShimWorker;

// The engine's lines as they come, with a way to wait for one.
function transcript() {
  const lines = [];
  let waiter = null;
  return {
    lines,
    onLine(text) {
      lines.push(text);
      if (waiter && waiter.match(text)) {
        waiter.resolve(lines.length);
        waiter = null;
      }
    },
    next(match, ms = 30000) {
      return new Promise((resolve, reject) => {
        const timer = setTimeout(() => reject(new Error(`no line like ${match} in ${ms} ms`)), ms);
        waiter = { match: (text) => match.test(text), resolve: (n) => (clearTimeout(timer), resolve(n)) };
      });
    },
  };
}

test('a page that is not cross-origin isolated is told which headers it needs', async () => {
  globalThis.crossOriginIsolated = false;
  await assert.rejects(createEngine({ onLine() {} }), (error) => {
    assert.equal(error.message, NOT_ISOLATED_MESSAGE);
    assert.match(error.message, /Cross-Origin-Opener-Policy: same-origin/);
    assert.match(error.message, /Cross-Origin-Embedder-Policy: require-corp/);
    return true;
  });
});

test('a missing worker script rejects instead of hanging', async () => {
  globalThis.crossOriginIsolated = true;
  await assert.rejects(
    createEngine({ onLine() {}, workerUrl: new URL('missing_worker.js', engineDir) }),
    /failed to start/,
  );
});

test('a worker that fails after the start is reported once, in words, and the engine goes quiet', async () => {
  globalThis.crossOriginIsolated = true;
  const rows = [
    { worker: 'crashes', before: ['uci', 'position startpos', 'go depth 8'], says: /stopped unexpectedly \(output lost\)/ },
    { worker: 'none', before: [], says: /stopped unexpectedly \(the worker broke\)/ },
  ];
  for (const row of rows) {
    const errors = [];
    const engine = await createEngine({
      onLine() {},
      onError: (error) => errors.push(error.message),
      workerUrl: new URL(`./failing_worker.mjs?engine=${row.worker}`, import.meta.url),
    });
    try {
      for (const line of row.before) engine.send(line);
      for (let waited = 0; errors.length === 0 && waited < 10000; waited += 10) await new Promise((r) => setTimeout(r, 10));
      assert.equal(errors.length, 1, `${row.worker}: ${errors.join('; ')}`);
      assert.match(errors[0], row.says, row.worker);
      assert.match(errors[0], /Reload the page/, row.worker);
      // The worker is gone: a line for it is dropped, not queued for ever.
      engine.send('isready');
      await new Promise((r) => setTimeout(r, 50));
      assert.equal(errors.length, 1, row.worker);
    } finally {
      engine.terminate();
    }
  }
});

test('the engine answers line by line, and hears stop and quit during a search', async () => {
  assert.ok(fs.existsSync(new URL('vargul_wasm.wasm', engineDir)), 'no engine in web/engine: run make wasm');
  globalThis.crossOriginIsolated = true;
  const out = transcript();
  let exited = null;
  const engine = await createEngine({ onLine: out.onLine, onExit: (status) => (exited = status) });
  try {
    assert.throws(() => engine.send('isready\nquit'), TypeError);

    engine.send('uci');
    engine.send('isready');
    await out.next(/^readyok$/);
    await new Promise((resolve) => setTimeout(resolve, 50));
    // One write of "readyok\n\n" is two lines; nothing else is split or joined.
    assert.deepEqual(out.lines, [
      'id name Vargul_b3_3 Beta ',
      'id author Marlovek21',
      'option name Hash type spin default 32 min 1 max 1024',
      'uciok',
      'readyok',
      '',
    ]);

    engine.send('position startpos moves e2e4');
    engine.send('go infinite');
    // Depth 6 comes after the first input look, so the stop is seen by a look during the search.
    await out.next(/^info  nps \d+ depth 6 /);
    engine.send('stop');
    await out.next(/^bestmove [a-h][1-8][a-h][1-8]/, 5000);

    engine.send('go infinite');
    await out.next(/^info  nps \d+ depth 6 /);
    const before = out.lines.length;
    engine.send('quit');
    for (let waited = 0; exited === null && waited < 5000; waited += 10) await new Promise((r) => setTimeout(r, 10));
    assert.equal(exited, 1);
    assert.ok(!out.lines.slice(before).some((line) => line.startsWith('bestmove')), 'a bestmove after quit');
  } finally {
    engine.terminate();
  }
});
