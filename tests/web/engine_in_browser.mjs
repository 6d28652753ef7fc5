// The engine on the page: an analysis and its Stop, a line that must not
// outlive its search, an engine that dies mid-game, and the page served
// without the headers the engine needs.
//
//   node tests/web/engine_in_browser.mjs [--screenshot FILE]
import { broken, Chess, check, expect, noScriptErrors, pause, player, screenshotAt, startRun, UI_WAIT, webRoot } from './browser_harness.mjs';

const run = await startRun();
const page = await run.newPage();
const { choose, control, playedMoves, press, setFen, status, text, typeMove, waitForPlies, waitForYourMove } = player(page);

try {
  // Whether the page shows a board and game buttons a player might press.
  const boardShown = () => page.evaluate(() => document.getElementById('board').getBoundingClientRect().height > 0);
  const newGameShown = async () => (await (await control('button', 'New game'))?.boundingBox()) != null;

  await check('served without the isolation headers, the page says what to do instead of showing a board', async () => {
    // Where the page's service worker cannot step in to isolate it.
    await page.setBypassServiceWorker(true);
    await page.goto(run.plainPage);
    await page.waitForFunction(() => !document.getElementById('engine-error').hidden, { timeout: 10_000 });
    await page.setBypassServiceWorker(false);
    const message = await text('#engine-error');
    expect(message.includes('Cross-Origin-Opener-Policy: same-origin') && message.includes('Cross-Origin-Embedder-Policy: require-corp'),
      `the message does not name the headers: "${message}"`);
    expect(!(await boardShown()) && !(await newGameShown()), 'a board and its buttons are shown with the message');
  });

  await check('opened as a file, the page says to serve it instead of waiting for the engine', async () => {
    await page.goto(`file://${webRoot}index.html`);
    await page.waitForFunction(() => !document.getElementById('engine-error').hidden, { timeout: 10_000 }).catch(() => {});
    const message = await page.$eval('#engine-error', (element) => (element.hidden ? '' : element.textContent));
    expect(/opened as a file/.test(message) && /make serve/.test(message), `the message: "${message}"`);
    expect(!(await boardShown()) && !(await newGameShown()), 'a board and its buttons are shown with the message');
  });

  await page.goto(run.page);
  await waitForYourMove();
  await choose('Level', 8);

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
    expect(san && new Chess().moves().includes(san), `"${status}" does not give a legal move`);
    expect(/^(Depth)?\d+$/.test(await text('#depth')) && (await text('#line')).length > 2, 'the engine line is empty');
    expect(/^([+\u2212]\d+\.\d\d|0\.00|(White|Black) mates in \d+)$/.test(await text('#score')), `score "${await text('#score')}"`);
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
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

  await check('a position set up with the engine to move waits; Analyse works for either side', async () => {
    await page.select('#side', 'w');
    await setFen('r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 2 2');
    await pause(1000);
    expect((await playedMoves()).length === 0, `the engine played ${(await playedMoves()).join(' ')} by itself`);
    expect(/Vargul to move/.test(await status()), `the status: "${await status()}"`);
    await press('Analyse');
    await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 4, { timeout: UI_WAIT });
    await press('Stop');
    await page.waitForFunction(() => document.getElementById('status').textContent.includes('move here'), { timeout: UI_WAIT });
    await press('Let Vargul move');
    await waitForPlies(1);
    await waitForYourMove();
  });

  await check('take back while the engine thinks clears its line', async () => {
    await page.click('#new-game');
    await page.select('#movetime', '5000');
    await waitForYourMove();
    await typeMove('e4');
    await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 3, { timeout: UI_WAIT });
    await press('Take back');
    await page.waitForFunction(() => document.querySelectorAll('#moves .move').length === 0, { timeout: UI_WAIT });
    await pause(300);
    for (const id of ['depth', 'score', 'line'])
      expect((await text(`#${id}`)) === '–', `#${id} shows "${await text(`#${id}`)}" after the take back`);
    await page.select('#movetime', '250');
  });

  await check('an engine that dies mid-game is reported on the page, which stops waiting for it', async () => {
    const second = await run.newPage();
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
      await second.goto(run.page);
      await second.waitForFunction(() => document.getElementById('status').textContent.includes('Your move'), { timeout: UI_WAIT });
      await second.select('#level', '8');
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

  await noScriptErrors(run);
} catch (error) {
  broken(error);
} finally {
  await run.finish();
}
