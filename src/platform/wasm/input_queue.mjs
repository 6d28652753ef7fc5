// The engine's standard input in shared memory: a byte ring that one thread
// fills (the Node runner's stdin reader, or the page) and the engine's thread
// empties. The engine blocks in Atomics.wait only when it reads with nothing
// there, as a read on an empty pipe would; its look for waiting input during
// a search never blocks, so "stop" and "quit" are heard.
//
// Layout: four Int32 words, then the ring. The two counters run on modulo
// 2^32, so their difference is the number of bytes waiting however long the
// run. Every change bumps the change word and wakes whoever waits on it; a
// waiter reads that word before it looks, so no change can slip between its
// look and its wait.
const WRITTEN = 0;
const READ = 1;
const ENDED = 2;
const CHANGES = 3;
const HEADER_BYTES = 16;

export const DEFAULT_CAPACITY = 1 << 20;

export function createInputBuffer(capacity = DEFAULT_CAPACITY) {
  if (capacity <= 0 || (capacity & (capacity - 1)) !== 0 || capacity > 1 << 30)
    throw new RangeError(`queue capacity ${capacity} is not a power of two up to 2^30`);
  return new SharedArrayBuffer(HEADER_BYTES + capacity);
}

export class InputQueue {
  constructor(buffer) {
    this.words = new Int32Array(buffer, 0, 4);
    this.ring = new Uint8Array(buffer, HEADER_BYTES);
    this.mask = this.ring.length - 1;
  }

  waiting() {
    return (Atomics.load(this.words, WRITTEN) - Atomics.load(this.words, READ)) >>> 0;
  }

  free() {
    return this.ring.length - this.waiting();
  }

  ended() {
    return Atomics.load(this.words, ENDED) !== 0;
  }

  changed() {
    Atomics.add(this.words, CHANGES, 1);
    Atomics.notify(this.words, CHANGES);
  }

  // Copies as many of the bytes as fit now and returns their count; never blocks.
  write(bytes) {
    const count = Math.min(bytes.length, this.free());
    if (count === 0) return 0;
    const at = Atomics.load(this.words, WRITTEN);
    const start = at & this.mask;
    const first = Math.min(count, this.ring.length - start);
    this.ring.set(bytes.subarray(0, first), start);
    this.ring.set(bytes.subarray(first, count), 0);
    Atomics.store(this.words, WRITTEN, (at + count) | 0);
    this.changed();
    return count;
  }

  // All the bytes, waiting for room when the ring is full; only where the
  // thread may block (not a page's main thread).
  writeAll(bytes) {
    let done = 0;
    while (done < bytes.length) {
      const seen = Atomics.load(this.words, CHANGES);
      const count = this.write(bytes.subarray(done));
      if (count === 0) Atomics.wait(this.words, CHANGES, seen);
      done += count;
    }
  }

  // No more input: once the waiting bytes are read, reads return 0.
  end() {
    Atomics.store(this.words, ENDED, 1);
    this.changed();
  }

  // Whether a read would return at once: bytes wait, or the input has ended.
  ready() {
    return this.waiting() > 0 || this.ended();
  }

  // Blocks until some bytes wait or the input ends; copies up to
  // target.length of them into target and returns their count, 0 at the end.
  read(target) {
    for (;;) {
      const seen = Atomics.load(this.words, CHANGES);
      const count = Math.min(this.waiting(), target.length);
      if (count > 0) {
        const at = Atomics.load(this.words, READ);
        const start = at & this.mask;
        const first = Math.min(count, this.ring.length - start);
        target.set(this.ring.subarray(start, start + first), 0);
        target.set(this.ring.subarray(0, count - first), first);
        Atomics.store(this.words, READ, (at + count) | 0);
        this.changed();
        return count;
      }
      if (target.length === 0 || this.ended()) return 0;
      Atomics.wait(this.words, CHANGES, seen);
    }
  }
}
