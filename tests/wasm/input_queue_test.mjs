// The engine's input queue in shared memory (src/platform/wasm/input_queue.mjs).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Worker } from 'node:worker_threads';

import { createInputBuffer, InputQueue } from '../../src/platform/wasm/input_queue.mjs';

const bytes = (text) => new TextEncoder().encode(text);
const text = (view) => new TextDecoder().decode(view);

// Reads whatever waits, without blocking.
function drain(queue, size = 64) {
  const into = new Uint8Array(size);
  const got = queue.ready() ? queue.read(into) : 0;
  return text(into.subarray(0, got));
}

test('bytes come out in order across many turns of a small ring', () => {
  const queue = new InputQueue(createInputBuffer(16));
  let sent = '';
  let received = '';
  for (let i = 0; i < 200; ++i) {
    const chunk = `${i};`.padEnd(1 + (i % 15), '.');
    const written = queue.write(bytes(chunk));
    sent += chunk.slice(0, written);
    received += drain(queue, 1 + (i % 7));
  }
  while (queue.waiting() > 0) received += drain(queue);
  assert.equal(received, sent);
  assert.ok(sent.length > 20 * 16, 'too few turns of the ring');
});

test('a full ring takes only what fits, and reads make room again', () => {
  const queue = new InputQueue(createInputBuffer(8));
  assert.equal(queue.write(bytes('0123456789')), 8);
  assert.equal(queue.free(), 0);
  assert.equal(queue.write(bytes('x')), 0);
  assert.equal(drain(queue, 3), '012');
  assert.equal(queue.write(bytes('abcdef')), 3);
  assert.equal(drain(queue), '34567abc');
});

test('ready: bytes wait, or the input has ended so the end gets read', () => {
  const queue = new InputQueue(createInputBuffer(64));
  assert.equal(queue.ready(), false);
  queue.write(bytes('stop\n'));
  assert.equal(queue.ready(), true);
  queue.end();
  assert.equal(drain(queue), 'stop\n');
  // Ended and empty: ready, and every read returns 0 at once instead of waiting.
  assert.equal(queue.ready(), true);
  assert.equal(queue.read(new Uint8Array(8)), 0);
  assert.equal(queue.read(new Uint8Array(8)), 0);
});

test('only powers of two up to 2^30 make a ring', () => {
  for (const capacity of [0, 3, 100, 2 ** 31]) assert.throws(() => createInputBuffer(capacity), RangeError);
  assert.equal(createInputBuffer(1024).byteLength, 16 + 1024);
});

// The other end on a thread of its own, as the page or the Node runner is.
function otherThread(source, buffer) {
  const worker = new Worker(
    `const { workerData } = require('node:worker_threads');
     import(workerData.queue).then(({ InputQueue }) => {
       const queue = new InputQueue(workerData.buffer);
       const pause = (ms) => Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, ms);
       ${source}
     });`,
    { eval: true, workerData: { buffer, queue: new URL('../../src/platform/wasm/input_queue.mjs', import.meta.url).href } },
  );
  return new Promise((resolve, reject) => {
    worker.on('error', reject);
    worker.on('exit', resolve);
  });
}

test('a read with nothing waiting blocks until the other thread writes, then until it ends', async () => {
  const buffer = createInputBuffer(64);
  const queue = new InputQueue(buffer);
  const writer = otherThread("pause(100); queue.write(new TextEncoder().encode('quit\\n')); pause(100); queue.end();", buffer);
  const into = new Uint8Array(16);
  const started = Date.now();
  const got = queue.read(into);
  assert.equal(text(into.subarray(0, got)), 'quit\n');
  assert.ok(Date.now() - started >= 50, 'the read did not wait for the line');
  assert.equal(queue.read(into), 0);
  await writer;
});

test('writeAll waits for the reader to make room and loses nothing', async () => {
  const buffer = createInputBuffer(16);
  const queue = new InputQueue(buffer);
  const reader = otherThread(
    `let all = ''; const into = new Uint8Array(5);
     for (let got; (got = queue.read(into)) > 0; pause(1)) all += new TextDecoder().decode(into.subarray(0, got));
     if (all !== 'x'.repeat(500) + 'end') throw new Error('read ' + JSON.stringify(all));`,
    buffer,
  );
  queue.writeAll(bytes(`${'x'.repeat(500)}end`));
  queue.end();
  assert.equal(await reader, 0);
});
