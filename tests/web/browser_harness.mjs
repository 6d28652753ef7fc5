// What the browser checks share: Chromium started headless with a fresh
// profile, the page served with and without the isolation headers, checks
// that report one line each, and helpers that act as a player would, finding
// controls by their role and accessible name.
//
//   const run = await startRun();
//   const page = await run.newPage();
//   try { await check('...', async () => { ... }); } finally { await run.finish(); }
// Each check file takes [--screenshot FILE]. Needs `make wasm web` (the
// engine and the libraries in web/) and Chromium: $CHROMIUM or $CHROME_PATH if
// set, else chromium or chromium-browser on PATH.
import { createRequire } from 'node:module';
import { accessSync, constants, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { delimiter, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from '../../tools/web/serve.mjs';

export const webRoot = fileURLToPath(new URL('../../web/', import.meta.url));
const require = createRequire(join(webRoot, 'package.json'));
const puppeteer = require('puppeteer-core');
export const { Chess } = await import(join(webRoot, 'node_modules/chess.js/dist/esm/chess.js'));

// How long the page may take to show what a click or a key asked for. Not a
// requirement, only an upper bound, so a busy machine does not fail the test.
export const UI_WAIT = 10_000;

export const screenshotAt = process.argv.includes('--screenshot') ? process.argv[process.argv.indexOf('--screenshot') + 1] : null;

// Checks are grouped; each group reports once, and the first failure in it ends it.
let passed = 0;
let failed = 0;
export async function check(name, body) {
  const started = Date.now();
  try {
    await body();
    passed++;
    console.log(`ok   ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  } catch (error) {
    failed++;
    console.log(`FAIL ${name}: ${error.message}`);
  }
}
// A failure outside any check (the page would not load, say) ends the file.
export function broken(error) {
  failed++;
  console.log(`FAIL the checks stopped: ${error.stack ?? error}`);
}
export function expect(condition, message) {
  if (!condition) throw new Error(message);
}
export const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function findChromium() {
  const runnable = (file) => {
    try {
      accessSync(file, constants.X_OK);
      return true;
    } catch {
      return false;
    }
  };
  for (const variable of ['CHROMIUM', 'CHROME_PATH']) {
    const file = process.env[variable];
    if (!file) continue;
    if (runnable(file)) return file;
    console.log(`FAIL ${variable} is ${file}, which is not a program that can be run`);
    process.exit(1);
  }
  for (const name of ['chromium', 'chromium-browser'])
    for (const dir of (process.env.PATH ?? '').split(delimiter))
      if (dir && runnable(join(dir, name))) return join(dir, name);
  console.log('FAIL no Chromium found: set CHROMIUM (or CHROME_PATH) to the browser, or put chromium or ' +
    'chromium-browser on PATH (on Debian: apt-get install chromium)');
  process.exit(1);
}

// The browser and the two servers for one check file; `seconds` guards the
// whole file, so a hung page cannot hold CI.
export async function startRun({ seconds = 120 } = {}) {
  const guard = setTimeout(() => {
    console.log(`FAIL the browser checks took more than ${seconds} s`);
    process.exit(1);
  }, seconds * 1000);
  const isolated = await serve({ root: webRoot, port: 0 });
  const plain = await serve({ root: webRoot, port: 0, isolate: false });
  const address = (server) => `http://127.0.0.1:${server.address().port}/`;
  const profile = mkdtempSync(join(tmpdir(), 'vargul-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: findChromium(),
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const pageErrors = [];
  return {
    browser,
    pageErrors,
    page: address(isolated),        // the page as `make serve` serves it
    plainPage: address(plain),      // the same without the isolation headers
    // A new tab, desktop size unless told; its script errors are collected.
    // It starts with nothing the page kept in local storage (a game, the
    // settings), and keeps what the page keeps across its own reloads.
    async newPage({ width = 1200, height = 860, isMobile = false, hasTouch = false } = {}) {
      const page = await browser.newPage();
      await page.evaluateOnNewDocument(() => {
        try {
          if (sessionStorage.getItem('checks: storage cleared')) return;
          localStorage.clear();
          sessionStorage.setItem('checks: storage cleared', 'yes');
        } catch {
          // A document with no storage (about:blank): nothing to clear.
        }
      });
      page.on('pageerror', (error) => pageErrors.push(error.message));
      // The board library warns of input it could not place ("no piece on").
      page.on('console', (message) => {
        if (message.type() === 'warn') pageErrors.push(`warning: ${message.text()}`);
      });
      await page.setViewport({ width, height, isMobile, hasTouch });
      return page;
    },
    async finish() {
      clearTimeout(guard);
      await browser.close();
      isolated.close();
      plain.close();
      rmSync(profile, { recursive: true, force: true });
      console.log(`${passed} passed, ${failed} failed`);
      process.exit(failed === 0 ? 0 : 1);
    },
  };
}

export const noScriptErrors = (run) =>
  check('no script errors or warnings on the page', async () => expect(run.pageErrors.length === 0, run.pageErrors.join('; ')));

// The player's view of one page: controls by role and name, the board's
// squares, the texts the page shows.
export function player(page) {
  const text = (selector) => page.$eval(selector, (element) => element.textContent);
  const control = (role, name) => page.$(`::-p-aria([name="${name}"][role="${role}"])`);
  // Between holdSquares() and forgetSquares() the centres are measured once,
  // for moves that must follow at once; the board must not move meanwhile.
  let centres = null;
  async function squareCentre(square) {
    if (centres?.has(square)) return centres.get(square);
    const box = await (await page.$(`#board rect[data-square="${square}"]`)).boundingBox();
    const centre = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    centres?.set(square, centre);
    return centre;
  }
  // A player moves a piece of theirs they can see: the page takes a move at
  // once, but the board draws it only after its running animation (the
  // engine's reply sliding in), so a piece just moved, or a position just set
  // up, may not be on the screen yet.
  const pieceShownOn = (square) =>
    page.waitForFunction((at) => {
      const side = document.getElementById('side').value;
      return document.querySelector(`#board g[data-piece^="${side}"][data-square="${at}"]`);
    }, { polling: 'mutation', timeout: UI_WAIT }, square);
  const helpers = {
    text,
    shown: (selector) => page.$eval(selector, (element) => !element.hidden && element.textContent !== ''),
    status: () => text('#status'),
    control,
    async button(name) {
      const found = await control('button', name);
      expect(found, `no button "${name}"`);
      return found;
    },
    // As a player would: scrolled to where it can be seen first.
    async press(name) {
      const found = await helpers.button(name);
      await found.evaluate((element) => element.scrollIntoView({ block: 'center' }));
      await found.click();
    },
    // A select found by its label, set to the option with this value.
    async choose(label, value) {
      const found = await control('combobox', label);
      expect(found, `no select labelled "${label}"`);
      await found.select(String(value));
    },
    playedMoves: () => page.$$eval('#moves .move', (moves) => moves.map((move) => move.dataset.uci)),
    boardPieces: () =>
      page.$$eval('#board g[data-piece][data-square]', (pieces) => pieces.map((p) => `${p.dataset.piece}${p.dataset.square}`).sort().join(' ')),
    squareCentre,
    holdSquares: () => (centres = new Map()),
    forgetSquares: () => (centres = null),
    async clickMove(from, to) {
      await pieceShownOn(from);
      for (const square of [from, to]) {
        const { x, y } = await squareCentre(square);
        await page.mouse.click(x, y);
      }
    },
    async tapMove(from, to) {
      await pieceShownOn(from);
      for (const square of [from, to]) {
        const { x, y } = await squareCentre(square);
        await page.touchscreen.tap(x, y);
      }
    },
    async dragMove(from, to) {
      await pieceShownOn(from);
      const a = await squareCentre(from);
      const b = await squareCentre(to);
      await page.mouse.move(a.x, a.y);
      await page.mouse.down();
      await page.mouse.move(b.x, b.y, { steps: 8 });
      await page.mouse.up();
    },
    async typeMove(move) {
      await page.$eval('#move-input', (input) => (input.value = ''));
      await page.type('#move-input', move);
      await page.keyboard.press('Enter');
    },
    async setFen(fen) {
      await page.$eval('#fen-input', (input) => (input.value = ''));
      await page.type('#fen-input', fen);
      await page.keyboard.press('Enter');
    },
    waitForPlies: (count, timeout = UI_WAIT) =>
      page.waitForFunction((n) => document.querySelectorAll('#moves .move').length === n, { timeout }, count),
    // `timeout`: longer where the engine may think for long (the full engine
    // on a clock).
    waitForYourMove: (timeout = UI_WAIT) =>
      page.waitForFunction(() => document.getElementById('status').textContent.includes('Your move'), { timeout }),
    // Whether the board shows White ('w') or Black ('b') at the bottom; false
    // when it has not turned so within the wait. It redraws its squares as it
    // turns, so square positions are found only after this.
    seenFrom: (color) =>
      page
        .waitForFunction(
          (white) => {
            const box = (square) => document.querySelector(`#board rect[data-square="${square}"]`)?.getBoundingClientRect();
            const [a1, h8] = [box('a1'), box('h8')];
            return a1 && h8 && (white ? a1.y > h8.y && a1.x < h8.x : a1.y < h8.y && a1.x > h8.x);
          },
          { timeout: UI_WAIT },
          color === 'w',
        )
        .then(() => true, () => false),
    // Times, on the page's own clock, when the move list changed.
    watchMoves: () =>
      page.evaluate(() => {
        window.moveTimes = [];
        new MutationObserver(() => {
          window.moveTimes.push({ plies: document.querySelectorAll('#moves .move').length, at: performance.now() });
        }).observe(document.getElementById('moves'), { childList: true, subtree: true });
      }),
    // How long the page took from showing ply n to showing ply n + 1.
    replyTime: (plies) =>
      page.evaluate((n) => {
        const first = (count) => window.moveTimes.find((entry) => entry.plies === count)?.at;
        return first(n + 1) - first(n);
      }, plies),
  };
  return helpers;
}

// A first move against the engine at 0.1 s a move: 1. e4, and a legal reply.
export async function playFirstMove(page) {
  const { playedMoves, typeMove, waitForPlies, waitForYourMove } = player(page);
  await waitForYourMove();
  await page.select('#movetime', '100');
  await typeMove('e4');
  await waitForPlies(2);
  const [, reply] = await playedMoves();
  const after = new Chess();
  after.move('e4');
  expect(after.moves({ verbose: true }).some((move) => move.lan === reply), `the reply ${reply} is not legal`);
  await waitForYourMove();
}

// A move found in milliseconds, for checks where the player must answer at
// once: the first of the plan's moves (else any) whose piece is not left
// where the other side attacks it and that allows no mate in one.
export function quickMove(game) {
  const plan = ['e4', 'e5', 'Nf3', 'Nc6', 'd3', 'd6', 'Be2', 'Be7', 'Nc3', 'Nf6', 'O-O', 'Be3', 'Be6', 'h3', 'h6', 'a3', 'a6'];
  const rank = (move) => (plan.includes(move.san) ? plan.indexOf(move.san) : plan.length);
  const moves = game.moves({ verbose: true }).sort((a, b) => rank(a) - rank(b));
  const them = game.turn() === 'w' ? 'b' : 'w';
  const mateInOne = () =>
    game.moves().some((reply) => {
      game.move(reply);
      const mate = game.isCheckmate();
      game.undo();
      return mate;
    });
  const safe = moves.find((move) => {
    game.move(move);
    const ok = !game.isAttacked(move.to, them) && !mateInOne();
    game.undo();
    return ok;
  });
  return safe ?? moves[0];
}

// The player's move: the one that keeps the most material against any reply
// (two plies, mate counted as a loss), developing moves first among equals,
// so a game lasts ten moves or more.
export function chooseMove(game) {
  const plan = game.turn() === 'w'
    ? ['e4', 'Nf3', 'Bc4', 'Nc3', 'd3', 'O-O', 'h3', 'Re1', 'a3', 'Be3', 'Qd2', 'Rad1', 'Kh1', 'Bb3', 'Nh2']
    : ['e5', 'Nc6', 'Bc5', 'Nf6', 'd6', 'O-O', 'h6', 'Re8', 'a6', 'Be6', 'Qd7', 'Rad8', 'Kh8', 'Bb6', 'Nh7'];
  const value = { p: 1, n: 3, b: 3, r: 5, q: 9, k: 0 };
  const us = game.turn() === 'w' ? 1 : -1;
  const material = () =>
    us * game.board().flat().reduce((sum, piece) => sum + (piece ? (piece.color === 'w' ? 1 : -1) * value[piece.type] : 0), 0);
  let best = null;
  let bestScore = -Infinity;
  const rank = (move) => {
    const at = plan.indexOf(move.san);
    return at < 0 ? plan.length : at;
  };
  const ordered = game.moves({ verbose: true }).sort((a, b) => rank(a) - rank(b));
  for (const move of ordered) {
    game.move(move);
    let worst = game.isCheckmate() ? 1000 : Infinity;
    for (const reply of game.moves({ verbose: true })) {
      game.move(reply);
      worst = Math.min(worst, game.isCheckmate() ? -1000 : material());
      game.undo();
    }
    if (worst === Infinity) worst = 0;
    game.undo();
    if (worst > bestScore) {
      best = move;
      bestScore = worst;
    }
  }
  return best;
}

// A game of `plies` half-moves, the same each run: each side keeps its
// material against any reply and never repeats a position, so the game goes
// on; at ply queenHungAt, if given, the side to move puts its queen where a
// lesser piece takes it.
export function generatedGame({ plies, queenHungAt = 0 }) {
  const value = { p: 1, n: 3, b: 3, r: 5, q: 9, k: 0 };
  let seed = 7;
  const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
  const game = new Chess();
  const seen = new Set();
  const key = () => game.fen().split(' ').slice(0, 4).join(' ');
  const material = (color) =>
    game.board().flat().reduce((sum, piece) => sum + (piece ? (piece.color === color ? 1 : -1) * value[piece.type] : 0), 0);
  const worstAfterReply = (us) =>
    Math.min(...game.moves({ verbose: true }).map((reply) => {
      game.move(reply);
      const left = material(us);
      game.undo();
      return left;
    }));
  const hangsQueen = (move) => move.piece === 'q' && game.moves({ verbose: true }).some((reply) => reply.to === move.to && value[reply.piece] < 9);
  while (game.history().length < plies) {
    const us = game.turn();
    let best = null;
    let bestScore = -Infinity;
    for (const move of game.moves({ verbose: true })) {
      game.move(move);
      let score;
      if (game.history().length === queenHungAt) score = hangsQueen(move) ? 1 : -1;
      else if (seen.has(key()) || game.isGameOver()) score = -Infinity;
      else score = worstAfterReply(us) + random() / 2;
      game.undo();
      if (score > bestScore) [best, bestScore] = [move, score];
    }
    game.move(best);
    seen.add(key());
  }
  return game;
}
