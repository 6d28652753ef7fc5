#!/usr/bin/env node
// How long the page takes to review a 40-move game (81 positions) at 0.5 s a
// position in headless Chromium, and how the page answers meanwhile: a click
// on a move of the list (the board redrawn) and, in a second review, Cancel.
// Figures only; nothing here passes or fails.
//
//   node tools/web/review_speed.mjs [--plies N] [--time MS]
// Needs `make wasm web` and Chromium, as the browser checks do.
import { generatedGame, player, startRun } from '../../tests/web/browser_harness.mjs';

const option = (name, fallback) => {
  const at = process.argv.indexOf(name);
  return at >= 0 ? Number(process.argv[at + 1]) : fallback;
};
const plies = option('--plies', 80);
const movetime = option('--time', 500);

// Milliseconds on the page's clock from a click on the move button of `ply`
// to that move being the one marked as shown.
function clickToShown(page, ply) {
  return page.evaluate((target) => {
    const button = document.querySelector(`#moves button[data-ply="${target}"]`);
    const started = performance.now();
    button.click();
    return new Promise((resolve) => {
      const look = () => (button.isConnected && button.getAttribute('aria-current') === 'step') ||
        document.querySelector(`#moves button[data-ply="${target}"][aria-current="step"]`)
        ? resolve(performance.now() - started)
        : requestAnimationFrame(look);
      look();
    });
  }, ply);
}

function cancelToFree(page) {
  return page.evaluate(() => {
    const status = document.getElementById('status');
    const started = performance.now();
    document.getElementById('review-cancel').click();
    return new Promise((resolve) => {
      const look = () => (status.textContent.includes('reviewing') ? requestAnimationFrame(look) : resolve(performance.now() - started));
      look();
    });
  });
}

const run = await startRun({ seconds: 60 + (plies + 1) * (movetime / 1000) * 3 });
const page = await run.newPage();
const { choose, press, waitForYourMove } = player(page);
await page.goto(run.page);
await waitForYourMove();
await press('Load PGN');
await page.$eval('#pgn-text', (area, text) => (area.value = text), generatedGame({ plies }).pgn());
await press('Load');
await choose('Time per position', String(movetime));

const started = Date.now();
await press('Review game');
const clicks = [];
while (!(await page.$eval('#review-progress-text', (text) => text.textContent === 'Review done.'))) {
  await new Promise((resolve) => setTimeout(resolve, 2000));
  clicks.push(await clickToShown(page, 1 + (clicks.length % plies)));
}
const took = (Date.now() - started) / 1000;

await press('Review game');
await page.waitForFunction(() => document.getElementById('review-progress-text').textContent.startsWith('3 of'), { timeout: 60_000 });
const cancel = await cancelToFree(page);

const sorted = [...clicks].sort((a, b) => a - b);
console.log(`review of ${plies + 1} positions at ${movetime} ms each: ${took.toFixed(1)} s (${((took * 1000) / (plies + 1)).toFixed(0)} ms a position)`);
console.log(`a move clicked during the review, shown after: median ${sorted[sorted.length >> 1].toFixed(0)} ms, slowest ${sorted.at(-1).toFixed(0)} ms (${sorted.length} clicks)`);
console.log(`Cancel to the engine free: ${cancel.toFixed(0)} ms`);
await run.finish();
