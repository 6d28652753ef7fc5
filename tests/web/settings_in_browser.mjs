// Levels, clocks and what a reload keeps: a game at level 1, a 1+0 game
// whose player never moves until the flag falls (played in a second tab
// meanwhile), Flip board and Resign, and a reload mid-game that comes back
// to the same position, clocks and settings.
//
//   node tests/web/settings_in_browser.mjs [--screenshot FILE]
import { broken, Chess, check, expect, noScriptErrors, pause, player, quickMove, screenshotAt, startRun, UI_WAIT } from './browser_harness.mjs';

const run = await startRun({ seconds: 150 });
const page = await run.newPage();
const me = player(page);
const { choose, playedMoves, press, seenFrom, status, text, typeMove, waitForPlies, waitForYourMove } = me;

// The engine's reply to the player's last move, played on `game` too.
async function reply(game, on = me) {
  await on.waitForPlies(game.history().length + 1);
  const uci = (await on.playedMoves()).at(-1);
  game.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4] });
}

// The go lines the page sends the engine, as it encodes them for the queue
// the engine reads.
await page.evaluateOnNewDocument(() => {
  window.goLines = [];
  const { encode } = TextEncoder.prototype;
  TextEncoder.prototype.encode = function (text) {
    if (typeof text === 'string' && text.startsWith('go ')) window.goLines.push(text.trim());
    return encode.call(this, text);
  };
});
const goLines = () => page.evaluate(() => window.goLines);

// The flag test's tab: a 1+0 game as White, and no move ever.
const flagPage = await run.newPage();
const flagger = player(flagPage);
await flagPage.goto(run.page);
await flagger.waitForYourMove();
await flagger.choose('Clock', '1+0');
await flagger.press('New game');
const flagStarted = Date.now();

try {
  // The flag test's tab goes on behind (its clock ticks less often there).
  await page.bringToFront();
  await page.goto(run.page);
  await waitForYourMove();

  await check('a game at level 1: every reply legal, each from a search of depth 1', async () => {
    await choose('Level', 1);
    await press('New game');
    const game = new Chess();
    while (game.history().length < 40 && !game.isGameOver()) {
      await waitForYourMove();
      const move = quickMove(game);
      await typeMove(move.san);
      game.move(move);
      if (game.isGameOver()) break;
      await reply(game);
      expect((await text('#depth')) === '1', `a reply came from depth ${await text('#depth')}`);
    }
    expect((await playedMoves()).join(' ') === game.history({ verbose: true }).map((m) => m.lan).join(' '), 'the page\'s moves differ');
  });

  await check('Flip board turns the view only; Resign ends the game for the other side', async () => {
    await press('New game');
    await waitForYourMove();
    await press('Flip board');
    expect(await seenFrom('b'), 'the board did not turn');
    expect((await status()).includes('Your move (White)'), `the status: "${await status()}"`);
    await press('Flip board');
    expect(await seenFrom('w'), 'the board did not turn back');
    await press('Resign');
    await page.waitForFunction(() => !document.getElementById('result').hidden, { timeout: UI_WAIT });
    expect((await text('#result')) === '0-1: You resigned: Black wins.', `the result: "${await text('#result')}"`);
    expect((await page.$eval('#pgn', (area) => area.value)).includes('[Result "0-1"]'), 'the PGN has no result');
  });

  await check('a reload mid-game comes back to the same position, clocks and settings; New game starts afresh', async () => {
    await choose('Level', 2);
    await choose('Clock', '3+2');
    await choose('Hash', 64);
    await press('New game');
    await page.evaluate(() => (window.goLines = []));
    const game = new Chess();
    for (let i = 0; i < 3; i++) {
      await waitForYourMove();
      const move = quickMove(game);
      await typeMove(move.san);
      game.move(move);
      await reply(game);
    }
    await waitForYourMove();
    const sent = await goLines();
    expect(sent.length >= 3 && sent.every((line) => line === 'go depth 2'), `on the clock level 2 sent: ${sent.join(' / ')}`);
    const clocksBefore = [await text('#clock-w'), await text('#clock-b')];
    await page.reload();
    await waitForYourMove();
    expect((await playedMoves()).join(' ') === game.history({ verbose: true }).map((m) => m.lan).join(' '), 'the moves differ after the reload');
    expect((await page.$eval('#fen-input', (input) => input.value)) === game.fen(), 'the position differs after the reload');
    const settings = await page.evaluate(() => ['level', 'clock', 'hash', 'side'].map((id) => document.getElementById(id).value).join(' '));
    expect(settings === '2 3+2 64 w', `the settings after the reload: ${settings}`);
    const seconds = (clock) => clock.split(':').reduce((total, part) => total * 60 + Number(part), 0);
    const clocksAfter = [await text('#clock-w'), await text('#clock-b')];
    expect(clocksAfter.every((clock, i) => Math.abs(seconds(clock) - seconds(clocksBefore[i])) <= 2),
      `the clocks read ${clocksBefore.join(' / ')} before the reload, ${clocksAfter.join(' / ')} after`);
    await press('New game');
    await waitForYourMove();
    expect((await playedMoves()).length === 0, 'New game kept moves');
    // White's clock runs from the new game's start.
    const fresh = [await text('#clock-w'), await text('#clock-b')];
    expect(seconds(fresh[0]) >= 178 && fresh[1] === '3:00', `after New game the clocks read ${fresh.join(' / ')}`);
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
  });

  await check('on the clock the full engine moves with go wtime, btime, winc and binc from the clocks', async () => {
    await choose('Level', 8);
    await choose('You play', 'b');
    await press('New game');
    // The full engine may think up to a tenth of its clock: 18 s of 3 minutes.
    await waitForYourMove(18_000 + UI_WAIT);
    const line = (await goLines()).at(-1);
    const [, white] = /^go wtime (\d+) btime 180000 winc 2000 binc 2000$/.exec(line) ?? [];
    expect(white && Number(white) <= 180_000 && Number(white) > 170_000, `the engine was sent "${line}"`);
    await choose('You play', 'w');
  });

  await check('a 1+0 game whose player never moves ends on the flag, as a loss, in the PGN', async () => {
    await flagPage.bringToFront();
    const waited = 75_000 - (Date.now() - flagStarted);
    await flagPage.waitForFunction(() => !document.getElementById('result').hidden, { timeout: Math.max(waited, 1000) });
    const result = await flagger.text('#result');
    expect(result === '0-1: White lost on time.', `the result: "${result}"`);
    expect((await flagger.text('#clock-w')) === '0.0', `White's clock reads ${await flagger.text('#clock-w')}`);
    const pgn = await flagPage.$eval('#pgn', (area) => area.value);
    for (const tag of ['[TimeControl "60+0"]', '[Termination "time forfeit"]', '[Result "0-1"]'])
      expect(pgn.includes(tag), `the PGN has no ${tag}`);
    const took = (Date.now() - flagStarted) / 1000;
    expect(took >= 59, `the flag fell after ${took} s of a one-minute clock`);
  });

  await noScriptErrors(run);
} catch (error) {
  broken(error);
} finally {
  await run.finish();
}
