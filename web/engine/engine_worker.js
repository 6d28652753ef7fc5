// The engine's own thread in the page, started by engine.js as a module
// worker. Its first message carries the input queue's shared buffer; from
// then on the engine runs here on that queue, blocking this thread while it
// waits for a line, and posts each line it writes to the page.
import { InputQueue } from './input_queue.mjs';
import createProgram from './vargul_wasm.mjs';

self.onmessage = async ({ data }) => {
  self.onmessage = null;
  const input = new InputQueue(data.input);
  // The engine's two fatal messages are in this code page; the rest is ASCII.
  const decoder = new TextDecoder('windows-1251');
  let partial = '';
  const write = (fd, bytes) => {
    if (fd !== 1) return;
    partial += decoder.decode(bytes, { stream: true });
    let end;
    while ((end = partial.indexOf('\n')) >= 0) {
      postMessage({ line: partial.slice(0, end) });
      partial = partial.slice(end + 1);
    }
  };
  const text = (error) => String(error && error.message ? error.message : error);
  try {
    await createProgram({
      vargulHost: { read: (target) => input.read(target), ready: () => input.ready(), write },
      // Posted before the engine starts and blocks this thread.
      onRuntimeInitialized: () => postMessage({ ready: true }),
      onExit: (status) => {
        postMessage({ exit: status });
        self.close();
      },
      // Every end of the engine passes here. The normal one (an ExitStatus)
      // has been told by onExit; anything else is a crash in the engine, which
      // the runtime would only hand to its start-up promise, long settled, so
      // the page would wait for ever. The page ends this worker on the news.
      quit: (status, reason) => {
        if (reason?.name !== 'ExitStatus') postMessage({ error: text(reason) });
        throw reason;
      },
    });
  } catch (error) {
    // An ExitStatus after onExit is the engine's normal end.
    if (error && error.name === 'ExitStatus') return;
    postMessage({ error: text(error) });
  }
};
