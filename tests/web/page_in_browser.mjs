// The page in headless Chromium against the WebAssembly engine, as a player
// would use it: clicks, a drag and typed moves, a promotion, an analysis
// stopped by hand, a bad FEN, a mate, a game as Black, the page served
// without the isolation headers, and an engine that dies mid-game.
//
//   node tests/web/page_in_browser.mjs [--screenshot FILE]
// Needs `make wasm web` (the engine and the libraries in web/) and Chromium:
// $CHROMIUM or $CHROME_PATH if set, else chromium or chromium-browser on PATH.
import { createRequire } from 'node:module';
import { accessSync, constants, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { delimiter, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from '../../tools/web/serve.mjs';

const webRoot = fileURLToPath(new URL('../../web/', import.meta.url));
const require = createRequire(join(webRoot, 'package.json'));
const puppeteer = require('puppeteer-core');
const { Chess } = await import(join(webRoot, 'node_modules/chess.js/dist/esm/chess.js'));

const MOVE_TIME = 250;      // the page's time per move chosen here, ms
const SLACK = 300;          // what the engine and page may add to it, ms
const PLIES_WON = 10;       // moves of the player's against the engine
// How long the page may take to show what a click or a key asked for. Not a
// requirement, only an upper bound, so a busy machine does not fail the test.
const UI_WAIT = 10_000;

const screenshotAt = process.argv.includes('--screenshot') ? process.argv[process.argv.indexOf('--screenshot') + 1] : null;

// Checks are grouped; each group reports once, and the first failure in it ends it.
let passed = 0;
let failed = 0;
async function check(name, body) {
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
function expect(condition, message) {
  if (!condition) throw new Error(message);
}

// A whole-run guard, so a hung page cannot hold CI.
const guard = setTimeout(() => {
  console.log('FAIL the browser test took more than 4 minutes');
  process.exit(1);
}, 240_000);

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
const chromium = findChromium();

const isolated = await serve({ root: webRoot, port: 0 });
const plain = await serve({ root: webRoot, port: 0, isolate: false });
const address = (server) => `http://127.0.0.1:${server.address().port}/`;
const profile = mkdtempSync(join(tmpdir(), 'vargul-chromium-'));
const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  userDataDir: profile,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});

// The page copies the PGN, and the test reads it back.
await browser.defaultBrowserContext().overridePermissions(address(isolated).slice(0, -1), ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
const page = await browser.newPage();
const pageErrors = [];
page.on('pageerror', (error) => pageErrors.push(error.message));
await page.setViewport({ width: 1200, height: 860 });

const text = (selector) => page.$eval(selector, (element) => element.textContent);
const shown = (selector) => page.$eval(selector, (element) => !element.hidden && element.textContent !== '');
const playedMoves = () => page.$$eval('#moves .move', (moves) => moves.map((move) => move.dataset.uci));
const boardPieces = () =>
  page.$$eval('#board g[data-piece][data-square]', (pieces) => pieces.map((p) => `${p.dataset.piece}${p.dataset.square}`).sort().join(' '));

// Times, on the page's own clock, when the move list changed.
async function watchMoves() {
  await page.evaluate(() => {
    window.moveTimes = [];
    new MutationObserver(() => {
      window.moveTimes.push({ plies: document.querySelectorAll('#moves .move').length, at: performance.now() });
    }).observe(document.getElementById('moves'), { childList: true, subtree: true });
  });
}
// How long the page took from showing ply n to showing ply n + 1.
async function replyTime(plies) {
  return page.evaluate((n) => {
    const first = (count) => window.moveTimes.find((entry) => entry.plies === count)?.at;
    return first(n + 1) - first(n);
  }, plies);
}

async function squareCentre(square) {
  const box = await (await page.$(`#board rect[data-square="${square}"]`)).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}
async function clickMove(from, to) {
  for (const square of [from, to]) {
    const { x, y } = await squareCentre(square);
    await page.mouse.click(x, y);
  }
}
async function dragMove(from, to) {
  const a = await squareCentre(from);
  const b = await squareCentre(to);
  await page.mouse.move(a.x, a.y);
  await page.mouse.down();
  await page.mouse.move(b.x, b.y, { steps: 8 });
  await page.mouse.up();
}
async function typeMove(move) {
  await page.$eval('#move-input', (input) => (input.value = ''));
  await page.type('#move-input', move);
  await page.keyboard.press('Enter');
}
async function setFen(fen) {
  await page.$eval('#fen-input', (input) => (input.value = ''));
  await page.type('#fen-input', fen);
  await page.keyboard.press('Enter');
}
const waitForPlies = (count, timeout = MOVE_TIME + 5000) =>
  page.waitForFunction((n) => document.querySelectorAll('#moves .move').length === n, { timeout }, count);
const waitForYourMove = () =>
  page.waitForFunction(() => document.getElementById('status').textContent.includes('Your move'), { timeout: 10_000 });

// The player's move: the one that keeps the most material against any reply
// (two plies, mate counted as a loss), developing moves first among equals,
// so the game lasts the ten moves.
function chooseMove(game) {
  const plan = ['e4', 'Nf3', 'Bc4', 'Nc3', 'd3', 'O-O', 'h3', 'Re1', 'a3', 'Be3', 'Qd2', 'Rad1', 'Kh1', 'Bb3', 'Nh2'];
  const value = { p: 1, n: 3, b: 3, r: 5, q: 9, k: 0 };
  const material = () =>
    game.board().flat().reduce((sum, piece) => sum + (piece ? (piece.color === 'w' ? 1 : -1) * value[piece.type] : 0), 0);
  let best = null;
  let bestScore = -Infinity;
  const ordered = game.moves({ verbose: true }).sort((a, b) => rank(a) - rank(b));
  function rank(move) {
    const at = plan.indexOf(move.san);
    return at < 0 ? plan.length : at;
  }
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

try {
  await check('served without the isolation headers, the page says what to do', async () => {
    await page.goto(address(plain));
    await page.waitForFunction(() => !document.getElementById('engine-error').hidden, { timeout: 10_000 });
    const message = await text('#engine-error');
    expect(message.includes('Cross-Origin-Opener-Policy: same-origin') && message.includes('Cross-Origin-Embedder-Policy: require-corp'),
      `the message does not name the headers: "${message}"`);
  });

  await page.goto(address(isolated));
  await waitForYourMove();
  await page.select('#movetime', String(MOVE_TIME));
  await watchMoves();
  const game = new Chess();

  await check(`${PLIES_WON} moves against the engine, each reply legal and within ${MOVE_TIME} + ${SLACK} ms`, async () => {
    const slowest = [];
    for (let i = 0; i < PLIES_WON; i++) {
      const move = chooseMove(game);
      // Mostly clicks, one drag, one typed move: the three ways in.
      if (i === 1) await dragMove(move.from, move.to);
      else if (i === 2) await typeMove(move.san);
      else await clickMove(move.from, move.to);
      game.move(move);
      const plies = game.history().length;
      await waitForPlies(plies + 1);
      const reply = (await playedMoves())[plies];
      let played = null;
      try {
        played = game.move({ from: reply.slice(0, 2), to: reply.slice(2, 4), promotion: reply[4] });
      } catch {
        played = null;
      }
      expect(played, `the engine's reply ${reply} is not legal after ${game.history().join(' ')}`);
      const took = await replyTime(plies);
      slowest.push(Math.round(took));
      expect(took <= MOVE_TIME + SLACK, `the reply ${played.san} took ${took.toFixed(0)} ms`);
      await waitForYourMove();
      expect((await playedMoves()).join(' ') === game.history({ verbose: true }).map((m) => m.lan).join(' '),
        'the page\'s moves differ from the game played');
    }
    console.log(`     reply times (ms): ${slowest.join(' ')}`);
  });

  await check('take back returns to the player\'s move before their last one', async () => {
    const before = game.history().length;
    await page.click('#take-back');
    await waitForPlies(before - 2);
    game.undo();
    game.undo();
    await page.waitForFunction((fen) => document.getElementById('fen-input').value === fen, { timeout: UI_WAIT }, game.fen());
  });

  await check('an analysis reaches depth 6, and Stop brings the engine\'s move within 300 ms', async () => {
    await page.click('#analyse');
    await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 6, { timeout: 20_000 });
    expect(!(await page.$eval('#stop', (button) => button.disabled)), 'Stop is not enabled during the analysis');
    const took = await page.evaluate(
      () =>
        new Promise((resolve) => {
          const status = document.getElementById('status');
          const started = performance.now();
          const watcher = new MutationObserver(() => {
            if (status.textContent.includes('move here')) {
              watcher.disconnect();
              resolve(performance.now() - started);
            }
          });
          watcher.observe(status, { childList: true, characterData: true, subtree: true });
          document.getElementById('stop').click();
          setTimeout(() => resolve(Infinity), 5000);
        }),
    );
    console.log(`     stop to move: ${took.toFixed(0)} ms`);
    expect(took <= 300, `the engine's move came ${took} ms after Stop`);
    const status = await text('#status');
    const san = status.match(/move here: (?:\d+\.+ )?(\S+)\./)?.[1];
    expect(san && game.moves().includes(san), `"${status}" does not give a legal move`);
    expect(/^(Depth)?\d+$/.test(await text('#depth')) && (await text('#line')).length > 2, 'the engine line is empty');
    expect(/^([+\u2212]\d+\.\d\d|0\.00|(White|Black) mates in \d+)$/.test(await text('#score')), `score "${await text('#score')}"`);
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
  });

  await check('the PGN holds the game and copies', async () => {
    const pgn = await page.$eval('#pgn', (area) => area.value);
    expect(pgn.includes('[White "You"]') && pgn.includes('[Black "Vargul"]'), 'no player names in the PGN');
    const replay = new Chess();
    replay.loadPgn(pgn);
    expect(replay.fen() === game.fen(), 'the PGN does not replay to the position on the board');
    await page.click('#copy-pgn');
    await page.waitForFunction(() => document.getElementById('copy-message').textContent !== '', { timeout: UI_WAIT });
    expect((await text('#copy-message')) === 'Copied.', `after a copy: "${await text('#copy-message')}"`);
    expect((await page.evaluate(() => navigator.clipboard.readText())) === pgn, 'the clipboard does not hold the PGN');
  });

  await check('a copy the browser refuses says so and leaves the PGN selected', async () => {
    await page.evaluate(() => {
      document.getElementById('copy-message').textContent = '';
      const { writeText } = navigator.clipboard;
      const { execCommand } = document;
      navigator.clipboard.writeText = () => Promise.reject(new DOMException('refused', 'NotAllowedError'));
      document.execCommand = () => false;
      window.restoreClipboard = () => {
        navigator.clipboard.writeText = writeText;
        document.execCommand = execCommand;
      };
    });
    try {
      await page.click('#copy-pgn');
      await page.waitForFunction(() => document.getElementById('copy-message').textContent !== '', { timeout: UI_WAIT });
      const message = await text('#copy-message');
      expect(/did not let the page copy/.test(message) && /Ctrl\+C/.test(message), `after a refused copy: "${message}"`);
      const selected = await page.$eval('#pgn', (area) => document.activeElement === area && area.selectionStart === 0 && area.selectionEnd === area.value.length);
      expect(selected, 'the PGN is not selected for a copy by hand');
    } finally {
      await page.evaluate(() => window.restoreClipboard());
    }
  });

  await check('a bad FEN gets a message and leaves the game as it was', async () => {
    const pieces = await boardPieces();
    const moves = await playedMoves();
    await setFen('rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1');
    await page.waitForFunction(() => !document.getElementById('fen-message').hidden, { timeout: UI_WAIT });
    const message = await text('#fen-message');
    expect(/Not a valid FEN/.test(message) && /unchanged/.test(message), `message "${message}"`);
    await new Promise((resolve) => setTimeout(resolve, 300));
    expect((await boardPieces()) === pieces, 'the board changed');
    expect((await playedMoves()).join() === moves.join(), 'the moves changed');
    expect((await text('#status')).includes('Your move'), 'it is no longer the player\'s move');
  });

  await check('a search cancelled before its line is drawn leaves the line cleared', async () => {
    // Frames are held, so the cancel comes between an info line and its frame.
    await page.evaluate(() => {
      const held = new Map();
      let next = 1;
      const { requestAnimationFrame: request, cancelAnimationFrame: cancel } = window;
      window.requestAnimationFrame = (callback) => (held.set(next, callback), next++);
      window.cancelAnimationFrame = (id) => held.delete(id);
      window.engineLineHeld = () => [...held.values()].some((callback) => String(callback).includes('drawEngineLine'));
      window.releaseFrames = () => {
        window.requestAnimationFrame = request;
        window.cancelAnimationFrame = cancel;
        for (const callback of held.values()) callback(performance.now());
        return held.size;
      };
    });
    let released = false;
    try {
      await page.click('#analyse');
      await page.waitForFunction(() => document.getElementById('stop').disabled === false, { timeout: UI_WAIT });
      await page.waitForFunction(() => window.engineLineHeld(), { timeout: UI_WAIT });
      expect((await text('#depth')) === '–', 'a line was drawn while the frames were held');
      await page.$eval('#fen-input', (input) => (input.value = '4k3/P6p/8/8/8/8/7P/4K3 w - - 0 1'));
      await page.$eval('#fen-form', (form) => form.requestSubmit());
      await page.evaluate(() => window.releaseFrames());
      released = true;
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
      for (const id of ['depth', 'score', 'line'])
        expect((await text(`#${id}`)) === '–', `#${id} shows "${await text(`#${id}`)}" from the cancelled search`);
    } finally {
      if (!released) await page.evaluate(() => window.releaseFrames());
    }
  });

  await check('a promotion to a knight chosen in the dialog is played as a knight', async () => {
    await setFen('4k3/P6p/8/8/8/8/7P/4K3 w - - 0 1');
    await page.waitForFunction(() => document.querySelectorAll('#moves .move').length === 0, { timeout: UI_WAIT });
    expect(!(await shown('#fen-message')), 'the good FEN was refused');
    await clickMove('a7', 'a8');
    const knight = await page.waitForSelector('.promotion-dialog-button-group[data-piece="wn"]', { visible: true, timeout: UI_WAIT });
    await knight.click();
    await waitForPlies(2);
    const [promotion, reply] = await playedMoves();
    expect(promotion === 'a7a8n', `the promotion was played as ${promotion}`);
    const after = new Chess('4k3/P6p/8/8/8/8/7P/4K3 w - - 0 1');
    after.move('a8=N');
    expect(after.moves({ verbose: true }).some((move) => move.lan === reply), `the reply ${reply} is not legal after a8=N`);
    expect((await boardPieces()).includes('wna8'), 'no white knight on a8');
  });

  await check('mate ends the game with its result', async () => {
    await setFen('6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1');
    await waitForYourMove();
    await typeMove('Ra8');
    await page.waitForFunction(() => !document.getElementById('result').hidden, { timeout: UI_WAIT });
    const result = await text('#result');
    expect(result === '1-0: Checkmate: White wins.', `result "${result}"`);
    expect(await page.$eval('#analyse', (button) => button.disabled), 'Analyse is offered after the game ended');
    expect((await page.$eval('#pgn', (area) => area.value)).includes('[Result "1-0"]'), 'the PGN has no result');
  });

  await check('as Black, the board turns and the engine opens with a legal move in time', async () => {
    await page.select('#side', 'b');
    const took = await page.evaluate(
      () =>
        new Promise((resolve) => {
          const started = performance.now();
          const watcher = new MutationObserver(() => {
            if (document.querySelectorAll('#moves .move').length === 1) {
              watcher.disconnect();
              resolve(performance.now() - started);
            }
          });
          watcher.observe(document.getElementById('moves'), { childList: true, subtree: true });
          document.getElementById('new-game').click();
          setTimeout(() => resolve(Infinity), 5000);
        }),
    );
    expect(took <= MOVE_TIME + SLACK, `the opening move took ${took} ms`);
    const [opening] = await playedMoves();
    expect(new Chess().moves({ verbose: true }).some((move) => move.lan === opening), `opening ${opening} is not legal`);
    await waitForYourMove();
    // The board redraws its squares when it turns, so the check waits for it.
    const turned = await page
      .waitForFunction(
        () => {
          const box = (square) => document.querySelector(`#board rect[data-square="${square}"]`)?.getBoundingClientRect();
          const [a1, h8] = [box('a1'), box('h8')];
          return a1 && h8 && a1.y < h8.y && a1.x > h8.x;
        },
        { timeout: UI_WAIT },
      )
      .then(() => true, () => false);
    expect(turned, 'the board is not turned for Black');
  });

  await check('an engine that dies mid-game is reported on the page, which stops waiting for it', async () => {
    const second = await browser.newPage();
    second.on('pageerror', (error) => pageErrors.push(error.message));
    try {
      // The page's engine worker, kept where the test can end it.
      await second.evaluateOnNewDocument(() => {
        window.Worker = class extends window.Worker {
          constructor(...args) {
            super(...args);
            window.engineWorker = this;
          }
        };
      });
      await second.goto(address(isolated));
      await second.waitForFunction(() => document.getElementById('status').textContent.includes('Your move'), { timeout: UI_WAIT });
      await second.select('#movetime', '10000');
      await second.type('#move-input', 'e4');
      await second.keyboard.press('Enter');
      await second.waitForFunction(() => document.getElementById('status').textContent.includes('thinking'), { timeout: UI_WAIT });
      // As the browser reports a worker that died of an uncaught error.
      await second.evaluate(() => {
        window.engineWorker.terminate();
        window.engineWorker.dispatchEvent(new ErrorEvent('error', { message: 'RuntimeError: unreachable' }));
      });
      await second.waitForFunction(() => !document.getElementById('engine-error').hidden, { timeout: UI_WAIT });
      const message = await second.$eval('#engine-error', (element) => element.textContent);
      expect(/stopped unexpectedly/.test(message) && /Reload the page/.test(message), `the message: "${message}"`);
      const status = await second.$eval('#status', (element) => element.textContent);
      expect(status.includes('not running') && !status.includes('thinking'), `the status: "${status}"`);
    } finally {
      await second.close();
    }
  });

  await check('no script errors on the page', async () => {
    expect(pageErrors.length === 0, pageErrors.join('; '));
  });
} finally {
  clearTimeout(guard);
  await browser.close();
  isolated.close();
  plain.close();
  rmSync(profile, { recursive: true, force: true });
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
