// node vargul.mjs | node bench.mjs [arguments] | node perft.mjs [arguments]
// Runs the WebAssembly build of the program this file is named after under
// Node, on this process's standard input and output, as the native program
// runs: the same bytes out, the same exit status.
//
// The engine runs on this thread and may block it (a read with no input
// waiting). Standard input is read by a second thread into a queue in shared
// memory, so that the engine's look for waiting input during a search sees a
// "stop" without blocking, as a look at a pipe does.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { isMainThread, Worker, workerData } from 'node:worker_threads';

import { createInputBuffer, InputQueue } from './input_queue.mjs';

const pause = new Int32Array(new SharedArrayBuffer(4));
const sleep = (ms) => Atomics.wait(pause, 0, 0, ms);

// A descriptor that another process left non-blocking answers EAGAIN.
function writeFully(fd, bytes) {
  let done = 0;
  while (done < bytes.length) {
    try {
      done += fs.writeSync(fd, bytes, done, bytes.length - done);
    } catch (error) {
      if (error.code === 'EAGAIN') {
        sleep(1);
        continue;
      }
      return;  // the reader has gone: nothing sensible is left to do
    }
  }
}

function readStandardInput(input) {
  const chunk = Buffer.alloc(65536);
  for (;;) {
    let got;
    try {
      got = fs.readSync(0, chunk, 0, chunk.length, null);
    } catch (error) {
      if (error.code === 'EAGAIN') {
        sleep(5);
        continue;
      }
      got = 0;  // as on a pipe, a read error ends the input
    }
    if (got === 0) break;
    input.writeAll(chunk.subarray(0, got));
  }
  input.end();
}

async function runProgram() {
  const name = path.basename(fileURLToPath(import.meta.url), '.mjs');
  const buffer = createInputBuffer();
  const input = new InputQueue(buffer);
  // Started at the first look at the input, so the tools, which never read
  // it, leave standard input alone.
  let reader = null;
  const startReader = () => {
    if (reader) return;
    reader = new Worker(new URL(import.meta.url), { workerData: { input: buffer } });
    reader.unref();
  };
  const { default: createProgram } = await import(new URL(`./${name}_wasm.mjs`, import.meta.url).href);
  await createProgram({
    wasmBinary: fs.readFileSync(new URL(`./${name}_wasm.wasm`, import.meta.url)),
    arguments: process.argv.slice(2),
    vargulHost: {
      read(target) {
        startReader();
        return input.read(target);
      },
      ready() {
        startReader();
        return input.ready();
      },
      write: writeFully,
    },
    // What the C library's stdio prints (the bench's latency lines) arrives line by line.
    print: (text) => writeFully(1, Buffer.from(`${text}\n`)),
    printErr: (text) => writeFully(2, Buffer.from(`${text}\n`)),
    onExit: (status) => process.exit(status),
  });
}

if (isMainThread) await runProgram();
else readStandardInput(new InputQueue(workerData.input));
