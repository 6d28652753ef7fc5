// node vargul.mjs | node bench.mjs [arguments] | node perft.mjs [arguments]
// Runs the WebAssembly build of the program this file is named after under
// Node, on this process's standard input and output, as the native program
// runs: the same bytes out, the same exit status.
//
// The program runs on a second thread, which it may block (a read with no
// input waiting). This thread reads standard input into a queue in shared
// memory, so that the engine's look for waiting input during a search sees a
// "stop" without blocking, as a look at a pipe does. Standard input is read
// here, with Node's own streams, and not by a blocking read on a thread of
// its own: Node cannot end a process while one of its threads sits in read().
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { isMainThread, parentPort, Worker, workerData } from 'node:worker_threads';

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

// Feeds standard input into the queue, holding the stream back while the
// queue is full; a read error ends the input, as on a pipe.
function feedStandardInput(input) {
  const backlog = [];
  let ended = false;
  let retry = null;
  const pump = () => {
    retry = null;
    while (backlog.length > 0) {
      const written = input.write(backlog[0]);
      if (written < backlog[0].length) {
        backlog[0] = backlog[0].subarray(written);
        process.stdin.pause();
        retry = setTimeout(pump, 2);
        return;
      }
      backlog.shift();
    }
    if (ended) input.end();
    else process.stdin.resume();
  };
  const finish = () => {
    ended = true;
    if (retry === null) pump();
  };
  process.stdin.on('data', (chunk) => {
    backlog.push(chunk);
    if (retry === null) pump();
  });
  process.stdin.on('end', finish);
  process.stdin.on('error', finish);
}

function startProgram() {
  const buffer = createInputBuffer();
  const program = new Worker(new URL(import.meta.url), {
    workerData: { input: buffer, arguments: process.argv.slice(2) },
    stdin: false,
  });
  // Asked for at the program's first look at its input, so the tools, which
  // never read it, leave standard input alone.
  program.once('message', () => feedStandardInput(new InputQueue(buffer)));
  program.on('error', (error) => {
    writeFully(2, Buffer.from(`${error && error.stack ? error.stack : error}\n`));
    process.exit(1);
  });
  program.on('exit', (status) => process.exit(status));
}

async function runProgram({ input: buffer, arguments: args }) {
  const name = path.basename(fileURLToPath(import.meta.url), '.mjs');
  const input = new InputQueue(buffer);
  let asked = false;
  const ask = () => {
    if (asked) return;
    asked = true;
    parentPort.postMessage('input');
  };
  const { default: createProgram } = await import(new URL(`./${name}_wasm.mjs`, import.meta.url).href);
  await createProgram({
    wasmBinary: fs.readFileSync(new URL(`./${name}_wasm.wasm`, import.meta.url)),
    arguments: args,
    vargulHost: {
      read(target) {
        ask();
        return input.read(target);
      },
      ready() {
        ask();
        return input.ready();
      },
      write: writeFully,
    },
    // What the C library's stdio prints (the bench's latency lines) arrives line by line.
    print: (text) => writeFully(1, Buffer.from(`${text}\n`)),
    printErr: (text) => writeFully(2, Buffer.from(`${text}\n`)),
    // Ends this thread with the status, and the main thread passes it on.
    onExit: (status) => process.exit(status),
  });
}

if (isMainThread) startProgram();
else await runProgram(workerData);
