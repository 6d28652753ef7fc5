// Runs a browser module-worker script on a Node worker thread: self,
// postMessage, onmessage and close as a Web Worker has them, and fetch for
// the file: URLs the emscripten glue asks for its .wasm.
import fs from 'node:fs';
import { parentPort, workerData } from 'node:worker_threads';

globalThis.self = globalThis;
globalThis.postMessage = (message) => parentPort.postMessage(message);
globalThis.close = () => process.exit(0);
globalThis.fetch = async (url) =>
  new Response(fs.readFileSync(new URL(url)), { headers: { 'content-type': 'application/wasm' } });

// As in a browser, messages sent before the script has run wait for it.
let early = [];
parentPort.on('message', (data) => (early ? early.push(data) : globalThis.onmessage?.({ data })));
await import(workerData.script);
for (const data of early.splice(0)) globalThis.onmessage?.({ data });
early = null;
