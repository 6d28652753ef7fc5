// A worker that fails after the engine has started, for the page's engine
// module, run by the shim like the real one. ?engine=crashes: the real worker
// and engine, whose output fails on the first "info" line, so the engine dies
// mid-search with a JS error unwinding through it. ?engine=none: no engine,
// the worker says it is ready and then throws out of its own code.
const mode = new URL(import.meta.url).searchParams.get('engine');
const post = globalThis.postMessage;
if (mode === 'crashes') {
  globalThis.postMessage = (message) => {
    if (typeof message.line === 'string' && message.line.startsWith('info')) throw new Error('output lost');
    post(message);
  };
  await import('../../web/engine/engine_worker.js');
} else {
  globalThis.onmessage = () => {
    post({ ready: true });
    setTimeout(() => {
      throw new Error('the worker broke');
    }, 20);
  };
}
