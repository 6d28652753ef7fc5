// The page's conversation with the engine. The engine hears only "stop" and
// "quit" while it searches and drops any other line, so every other command
// waits here until the search in progress has given its bestmove.
//
//   const session = new UciSession((line) => engine.send(line));
//   engine's onLine -> session.receive(line)
//   session.search({ fen, moves, go: 'movetime 1000', onInfo, onBestMove })

export class UciSession {
  constructor(send) {
    this.send = send;
    this.waiting = [];          // commands held until the engine is idle
    this.searching = null;      // the search whose bestmove is awaited
    this.stopSent = false;
    this.readyWaiters = [];
  }

  // Resolves with the engine's name once it has answered "uci" and "isready".
  start() {
    return new Promise((resolve) => {
      this.onUciOk = resolve;
      this.send('uci');
    }).then((name) => this.ready().then(() => name));
  }

  ready() {
    return new Promise((resolve) => {
      this.readyWaiters.push(resolve);
      this.command('isready');
    });
  }

  // One command for an idle engine: sent now, or after the current search.
  command(line) {
    if (this.searching) this.waiting.push(line);
    else this.send(line);
  }

  setHash(megabytes) {
    this.command(`setoption name Hash value ${megabytes}`);
  }

  // Starts a search once the engine is idle; a search already running is
  // stopped first and its bestmove goes to its own onBestMove, which the
  // caller can ignore by calling cancel() on the handle it got back.
  search({ fen, moves = [], go, onInfo, onBestMove }) {
    const handle = { fen, moves, onInfo, onBestMove, cancelled: false };
    handle.cancel = () => {
      handle.cancelled = true;
      this.stop(handle);
    };
    const position = fen ? `position fen ${fen}` : 'position startpos';
    const begin = () => {
      this.send(moves.length > 0 ? `${position} moves ${moves.join(' ')}` : position);
      this.send(`go ${go}`);
      this.searching = handle;
      this.stopSent = false;
    };
    handle.begin = begin;
    if (this.searching) {
      this.stop(this.searching);
      this.waiting.push(begin);
    } else {
      begin();
    }
    return handle;
  }

  // Asks the search of this handle to end now (its bestmove still comes).
  stop(handle) {
    if (this.searching === handle && !this.stopSent) {
      this.stopSent = true;
      this.send('stop');
    } else if (this.searching !== handle) {
      // Not started yet: it never will be.
      this.waiting = this.waiting.filter((item) => item !== handle.begin);
    }
  }

  get busy() {
    return this.searching !== null;
  }

  receive(raw) {
    const line = raw.trim();
    const word = line.split(/\s+/, 1)[0];
    if (word === 'id' && line.startsWith('id name ')) {
      this.name = line.slice('id name '.length);
    } else if (word === 'uciok') {
      this.onUciOk?.(this.name ?? 'the engine');
      this.onUciOk = null;
    } else if (word === 'readyok') {
      this.readyWaiters.shift()?.();
    } else if (word === 'info' && this.searching) {
      if (!this.searching.cancelled) this.searching.onInfo?.(line);
    } else if (word === 'bestmove') {
      const finished = this.searching;
      this.searching = null;
      this.stopSent = false;
      this.flush();
      if (finished && !finished.cancelled) finished.onBestMove?.(line.split(/\s+/)[1]);
    }
  }

  // Sends what waited, up to the next search, which makes the engine busy again.
  flush() {
    while (!this.searching && this.waiting.length > 0) {
      const item = this.waiting.shift();
      if (typeof item === 'function') item();
      else this.send(item);
    }
  }
}
