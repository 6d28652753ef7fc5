// The page on hosts that know nothing of it: a plain static server sending no
// isolation headers (Python's http.server), where the service worker isolates
// the page after one reload, the engine plays and hears Stop; and no network
// at all, after one visit.
//
//   node tests/web/hosting_in_browser.mjs [--screenshot FILE]
import { spawn } from 'node:child_process';
import { serve } from '../../tools/web/serve.mjs';
import { Chess, check, expect, noScriptErrors, player, playFirstMove, screenshotAt, startRun, UI_WAIT, webRoot } from './browser_harness.mjs';

// python3 -m http.server on a free port; resolves with its address and process.
function pythonServer() {
  return new Promise((resolve, reject) => {
    const python = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', webRoot], { stdio: ['ignore', 'pipe', 'pipe'] });
    python.on('error', reject);
    python.stdout.on('data', (chunk) => {
      const port = String(chunk).match(/port (\d+)/)?.[1];
      if (port) resolve({ address: `http://127.0.0.1:${port}/`, python });
    });
    setTimeout(() => reject(new Error('python3 -m http.server did not start')), UI_WAIT);
  });
}

const run = await startRun({ seconds: 120 });
const { address, python } = await pythonServer();
const page = await run.newPage();
const helpers = player(page);
const { playedMoves, typeMove, waitForPlies, waitForYourMove } = helpers;

const playAMove = () => playFirstMove(page);

// The service worker has kept the page's files.
const filesKept = (tab) =>
  tab.waitForFunction(
    async () => {
      const cache = await caches.open('vargul-page');
      const wanted = ['./', 'js/app.js', 'js/review.js', 'vendor/chess.js/chess.js', 'engine/vargul_wasm.wasm', 'vendor/cm-chessboard/src/Chessboard.js'];
      const found = await Promise.all(wanted.map((file) => cache.match(new URL(file, location.href).href, { ignoreSearch: true })));
      return found.every(Boolean);
    },
    { timeout: UI_WAIT, polling: 200 },
  );

try {
  await check('on a plain static server the page isolates itself, plays, and hears Stop', async () => {
    await page.goto(address);
    await waitForYourMove();
    expect(await page.evaluate(() => crossOriginIsolated && navigator.serviceWorker.controller !== null), 'the page is not isolated by its service worker');
    await playAMove();
    await helpers.press('Analyse');
    await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 5, { timeout: 20_000 });
    const took = await page.evaluate(
      () =>
        new Promise((resolve) => {
          const shown = document.getElementById('status');
          const started = performance.now();
          new MutationObserver((_, watcher) => {
            if (!shown.textContent.includes('move here')) return;
            watcher.disconnect();
            resolve(performance.now() - started);
          }).observe(shown, { childList: true, characterData: true, subtree: true });
          document.getElementById('stop').click();
          setTimeout(() => resolve(Infinity), 10_000);
        }),
    );
    // An analysis ends only on Stop: its move at all is the proof it was heard.
    console.log(`     stop to move: ${took.toFixed(0)} ms`);
    expect(took < Infinity, 'no move came after Stop');
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
  });

  await check('after one visit the page opens and plays with no network', async () => {
    // The page as `make serve` serves it, on a server of its own that then goes away.
    const server = await serve({ root: webRoot, port: 0 });
    const offline = await run.newPage();
    try {
      await offline.goto(`http://127.0.0.1:${server.address().port}/`);
      const away = player(offline);
      await away.waitForYourMove();
      await filesKept(offline);
      server.closeAllConnections();
      await new Promise((resolve) => server.close(resolve));
      await offline.setOfflineMode(true);
      await offline.reload();
      await away.waitForYourMove();
      await away.typeMove('e4');
      await away.waitForPlies(2);
      const [, reply] = await away.playedMoves();
      expect(new Chess('rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1').moves({ verbose: true }).some((move) => move.lan === reply),
        `the reply ${reply} is not legal`);
    } finally {
      await offline.close();
      server.close();
    }
  });

  await noScriptErrors(run);
} finally {
  python.kill();
  await run.finish();
}
