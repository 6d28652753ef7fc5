// The engine for a page: the WebAssembly build in a Web Worker, speaking UCI
// lines exactly as on a pipe.
//
//   const engine = await createEngine({ onLine: (text) => ..., onExit: (status) => ..., onError: (error) => ... });
//   engine.send('uci'); ... engine.terminate();
//
// Lines reach the engine through a queue in shared memory, which the engine
// reads without blocking during a search, so "stop" and "quit" are heard while
// it thinks. Shared memory needs a cross-origin isolated page.
import { createInputBuffer, InputQueue } from './input_queue.mjs';

export const NOT_ISOLATED_MESSAGE =
  'The chess engine cannot start: this page is not cross-origin isolated, so the ' +
  'shared memory that carries its input is not available. Serve the page with the headers ' +
  '"Cross-Origin-Opener-Policy: same-origin" and "Cross-Origin-Embedder-Policy: require-corp" ' +
  '(`make serve` does), then reload it.';

// onLine(text): once per line the engine writes, without its line feed.
// onExit(status), optional: the engine ended (1 after "quit").
// onError(error), optional: the engine's worker failed after it started (the
//   engine crashed, or the worker itself threw); the worker is ended and
//   error.message says so in words for the page.
// workerUrl, optional: where engine_worker.js is served, if not beside this file.
export async function createEngine({ onLine, onExit, onError, workerUrl } = {}) {
  if (typeof onLine !== 'function') throw new TypeError('createEngine needs an onLine(text) function');
  if (!globalThis.crossOriginIsolated || typeof SharedArrayBuffer === 'undefined')
    throw new Error(NOT_ISOLATED_MESSAGE);

  const buffer = createInputBuffer();
  const input = new InputQueue(buffer);
  const encoder = new TextEncoder();
  const worker = new Worker(workerUrl ?? new URL('./engine_worker.js', import.meta.url), { type: 'module' });

  // Bytes that found the queue full wait here, in order; the page's thread
  // must not block, so they are retried a moment later.
  const backlog = [];
  let retry = null;
  let running = true;
  const flush = () => {
    retry = null;
    while (backlog.length > 0) {
      const written = input.write(backlog[0]);
      if (written < backlog[0].length) {
        backlog[0] = backlog[0].subarray(written);
        retry = setTimeout(flush, 5);
        return;
      }
      backlog.shift();
    }
  };

  const end = () => {
    running = false;
    if (retry !== null) clearTimeout(retry);
    backlog.length = 0;
    worker.terminate();
  };
  // Until the engine is ready a failure rejects createEngine; after that it
  // goes to onError, since nobody else would hear of it and the page would
  // wait for a reply that never comes.
  let started = false;
  let failStart;
  const fail = (detail) => {
    if (!running) return;
    end();
    if (!started) failStart(new Error(`The chess engine failed to start: ${detail}`));
    else onError?.(new Error(`The chess engine stopped unexpectedly (${detail}). Reload the page to start it again.`));
  };

  await new Promise((resolve, reject) => {
    failStart = reject;
    worker.onmessage = ({ data }) => {
      if ('line' in data) onLine(data.line);
      else if ('ready' in data) {
        started = true;
        resolve();
      } else if ('exit' in data) {
        running = false;
        onExit?.(data.exit);
      } else if ('error' in data) fail(data.error);
    };
    worker.onerror = (event) => {
      // Reported here, in words, instead of as an uncaught error in the console.
      event.preventDefault?.();
      fail(event.message || (started ? 'its worker failed' : 'its worker script did not load'));
    };
    worker.postMessage({ input: buffer });
  });

  return {
    // Once the engine has ended or failed, lines go nowhere.
    send(line) {
      if (/[\r\n]/.test(line)) throw new TypeError('send takes one line, without a line feed');
      if (!running) return;
      backlog.push(encoder.encode(`${line}\n`));
      if (retry === null) flush();
    },
    terminate: end,
  };
}
