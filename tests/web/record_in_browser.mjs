// The game's record on the page: the PGN of a game played, its copy (and a
// copy the browser refuses), and a bad FEN that leaves the game as it was.
//
//   node tests/web/record_in_browser.mjs [--screenshot FILE]
import { broken, Chess, check, expect, noScriptErrors, pause, player, quickMove, screenshotAt, startRun, UI_WAIT } from './browser_harness.mjs';

const run = await startRun();
await run.browser.defaultBrowserContext().overridePermissions(run.page.slice(0, -1), ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
const page = await run.newPage();
const { boardPieces, choose, playedMoves, setFen, text, typeMove, waitForPlies, waitForYourMove } = player(page);

try {
  await page.goto(run.page);
  await waitForYourMove();
  await page.select('#movetime', '100');
  const game = new Chess();
  for (const san of ['e4', 'Nf3', 'Bc4']) {
    await typeMove(san);
    game.move(san);
    await waitForPlies(game.history().length + 1);
    const reply = (await playedMoves()).at(-1);
    game.move({ from: reply.slice(0, 2), to: reply.slice(2, 4), promotion: reply[4] });
    await waitForYourMove();
  }
  await pause(400);  // the engine's last move still sliding on the board

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
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
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
    await pause(300);
    expect((await boardPieces()) === pieces, 'the board changed');
    expect((await playedMoves()).join() === moves.join(), 'the moves changed');
    expect((await text('#status')).includes('Your move'), 'it is no longer the player\'s move');
  });

  await check('positions no game reaches are refused with the reason', async () => {
    const moves = await playedMoves();
    const impossible = [
      ['4k3/8/8/8/8/PPPPPPPP/PPPPPPPP/4K3 w - - 0 1', /White has 16 pawns/],
      ['4k3/8/8/8/8/1P6/PPPPPPPP/4K3 w - - 0 1', /White has 9 pawns/],
      ['k7/8/8/4r3/7b/3n4/8/4K3 w - - 0 1', /check from 3 pieces/],
    ];
    for (const [fen, reason] of impossible) {
      await page.$eval('#fen-message', (message) => (message.hidden = true));
      await setFen(fen);
      await page.waitForFunction(() => !document.getElementById('fen-message').hidden, { timeout: UI_WAIT });
      const message = await text('#fen-message');
      expect(/Not a legal position/.test(message) && reason.test(message), `for ${fen}: "${message}"`);
    }
    expect((await playedMoves()).join() === moves.join(), 'the moves changed');
  });

  await check('after six moves as Black and a switch to White, the PGN credits each side\'s moves rightly', async () => {
    await page.select('#side', 'b');
    await page.click('#new-game');
    const switched = new Chess();
    const reply = async () => {
      await waitForPlies(switched.history().length + 1);
      const uci = (await playedMoves()).at(-1);
      switched.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4] });
    };
    await reply();
    for (let i = 0; i < 6; i++) {
      await waitForYourMove();
      // The switch comes while the engine thinks about White's seventh move.
      if (i === 5) {
        await choose('Level', 8);
        await page.select('#movetime', '10000');
      }
      const move = quickMove(switched);
      await typeMove(move.san);
      switched.move(move);
      if (i < 5) await reply();
    }
    await page.select('#side', 'w');
    await page.select('#movetime', '100');
    await waitForYourMove();
    await typeMove(quickMove(switched).san);
    await waitForPlies(switched.history().length + 2);
    const pgn = await page.$eval('#pgn', (area) => area.value);
    expect(pgn.includes('[White "Vargul"]') && pgn.includes('[Black "You"]'), 'the headers do not name the sides at the start');
    const comment = /6\. \S+ \S+ \{([^}]*)\}/.exec(pgn.replace(/\s+/g, ' '))?.[1] ?? '';
    expect(/White is You, Black is Vargul/.test(comment), `no change of sides after Black's sixth move: ${pgn.slice(pgn.indexOf('1.'))}`);
    await page.select('#side', 'w');
  });

  await check('a long game\'s moves wrap in pairs and scroll down, the last one in view', async () => {
    await page.click('#new-game');
    await waitForYourMove();
    const long = new Chess();
    while (long.history().length < 60 && !long.isGameOver()) {
      const move = quickMove(long);
      await typeMove(move.san);
      long.move(move);
      await waitForPlies(long.history().length + 1);
      const reply = (await playedMoves()).at(-1);
      long.move({ from: reply.slice(0, 2), to: reply.slice(2, 4), promotion: reply[4] });
      if (long.isGameOver()) break;
      await waitForYourMove();
    }
    const list = await page.$eval('#moves', (moves) => {
      const box = moves.getBoundingClientRect();
      const last = moves.querySelector('li:last-child').getBoundingClientRect();
      return { wide: moves.scrollWidth, width: moves.clientWidth, tall: moves.scrollHeight, height: moves.clientHeight,
        lastShown: last.top >= box.top - 1 && last.bottom <= box.bottom + 1 };
    });
    expect(list.wide <= list.width, `the list is ${list.wide} px wide in a ${list.width} px box`);
    expect(list.tall > list.height, 'the list does not scroll down: it is not taller than its box');
    expect(list.lastShown, 'the last move is out of view');
  });

  await noScriptErrors(run);
} catch (error) {
  broken(error);
} finally {
  await run.finish();
}
