// The page on a phone (390 x 844, touch): a game on the clock of ten moves
// made by taps, during which the page never moves by itself, and the clocks,
// the board, the status and the engine's line fit on one screen.
//
//   node tests/web/phone_in_browser.mjs [--screenshot FILE]
import { broken, Chess, check, expect, noScriptErrors, player, quickMove, screenshotAt, startRun, UI_WAIT } from './browser_harness.mjs';

const run = await startRun();
const page = await run.newPage({ width: 390, height: 844, isMobile: true, hasTouch: true });
const { choose, playedMoves, press, tapMove, waitForPlies, waitForYourMove } = player(page);

// Where the board, the status and the engine's line are on the screen, and how
// far the page is scrolled.
const layout = () =>
  page.evaluate(() => {
    const box = (id) => document.getElementById(id).getBoundingClientRect();
    return { scrolled: window.scrollY, clocks: box('clocks').top, board: box('board').top, status: box('status').bottom, line: box('line').bottom, screen: window.innerHeight };
  });

try {
  await page.goto(run.page);
  await waitForYourMove();
  // A game as a phone player would have it: a level and a clock.
  await choose('Level', 2);
  await choose('Clock', '3+2');
  await press('New game');
  await waitForYourMove();
  await page.evaluate(() => window.scrollTo(0, 0));

  await check('a phone game of 10 moves by taps: the page never scrolls, the board\'s top never leaves the screen', async () => {
    const game = new Chess();
    const seen = [];
    for (let i = 0; i < 10 && !game.isGameOver(); i++) {
      const move = quickMove(game);
      await tapMove(move.from, move.to);
      game.move(move);
      await waitForPlies(game.history().length + 1);
      const reply = (await playedMoves()).at(-1);
      game.move({ from: reply.slice(0, 2), to: reply.slice(2, 4), promotion: reply[4] });
      if (!game.isGameOver()) await waitForYourMove();
      seen.push(await layout());
    }
    const worst = seen.reduce((a, b) => (b.scrolled > a.scrolled || b.board < a.board ? b : a));
    expect(worst.scrolled === 0 && worst.board >= 0, `the page scrolled by ${worst.scrolled} px, the board's top at ${worst.board} px`);
    expect(game.history().length >= 20, `only ${game.history().length / 2} moves were played`);
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
  });

  await check('on the phone, the clocks, the board, the status and the engine\'s line fit on one screen', async () => {
    // Where they are on the page, however far it is scrolled.
    const { clocks, line, screen, scrolled, status } = await layout();
    expect(clocks + scrolled >= 0, 'the clocks are above the page');
    const wide = await page.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
    expect(wide[0] <= 390 && wide[1] === 390, `the page is ${wide[0]} px wide, laid out for ${wide[1]} px: the browser zooms it out`);
    expect(status + scrolled <= screen && line + scrolled <= screen,
      `the status ends at ${status + scrolled} px, the engine's line at ${line + scrolled} px, on a ${screen} px screen`);
  });

  await noScriptErrors(run);
} catch (error) {
  broken(error);
} finally {
  await run.finish();
}
