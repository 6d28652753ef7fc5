// Playing on the page against the WebAssembly engine, as a player would: ten
// moves by click, drag and a typed move, take back, a promotion chosen in the
// dialog, a mate, a game as Black.
//
//   node tests/web/play_in_browser.mjs [--screenshot FILE]
import { broken, Chess, check, chooseMove, expect, noScriptErrors, pause, player, quickMove, screenshotAt, startRun, UI_WAIT } from './browser_harness.mjs';

const MOVE_TIME = 250;      // the page's time per move chosen here, ms
const SLACK = 300;          // what the engine and page may add to it, ms
const PLIES_WON = 10;       // moves of the player's against the engine

const run = await startRun();
const page = await run.newPage();
const { boardPieces, choose, clickMove, control, dragMove, forgetSquares, holdSquares, playedMoves, seenFrom, replyTime, setFen, shown, text, typeMove, waitForPlies, waitForYourMove, watchMoves } =
  player(page);

try {
  await page.goto(run.page);
  await waitForYourMove();
  // The full engine, at the time per move chosen.
  await choose('Level', 8);
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
      await waitForPlies(plies + 1, MOVE_TIME + 5000);
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
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
  });

  await check('a mouse click on the board draws no keyboard focus box', async () => {
    const marked = await page.evaluate(() => {
      const board = document.querySelector('#board svg');
      const focusBox = board.querySelector('.keyboard-focus');
      return { focused: document.activeElement === board, outline: getComputedStyle(board).outlineStyle,
        box: focusBox ? focusBox.getBoundingClientRect().width : 0 };
    });
    expect(marked.focused, 'the board does not have the focus after the clicks');
    expect(marked.outline === 'none' && marked.box === 0, `outline ${marked.outline}, a focus box ${marked.box} px wide`);
  });

  await check('take back returns to the player\'s move before their last one', async () => {
    const before = game.history().length;
    await page.click('#take-back');
    await waitForPlies(before - 2);
    game.undo();
    game.undo();
    await page.waitForFunction((fen) => document.getElementById('fen-input').value === fen, { timeout: UI_WAIT }, game.fen());
  });

  await check('a promotion to a knight chosen in the dialog is played as a knight', async () => {
    await setFen('4k3/P6p/8/8/8/8/7P/4K3 w - - 0 1');
    await page.waitForFunction(() => document.querySelectorAll('#moves .move').length === 0, { timeout: UI_WAIT });
    expect(!(await shown('#fen-message')), 'the good FEN was refused');
    await clickMove('a7', 'a8');
    const knight = await page.waitForSelector('::-p-aria([name="Knight"][role="button"])', { visible: true, timeout: UI_WAIT });
    const queen = await control('button', 'Queen');
    const [square, button] = [await (await page.$('#board rect[data-square="a8"]')).boundingBox(), await queen.boundingBox()];
    expect(Math.abs(square.x - button.x) < 1 && Math.abs(square.y - button.y) < 1,
      `the dialog's queen is at ${button.x}, ${button.y}, its square a8 at ${square.x}, ${square.y}`);
    await knight.click();
    await waitForPlies(2);
    const [promotion, reply] = await playedMoves();
    expect(promotion === 'a7a8n', `the promotion was played as ${promotion}`);
    const after = new Chess('4k3/P6p/8/8/8/8/7P/4K3 w - - 0 1');
    after.move('a8=N');
    expect(after.moves({ verbose: true }).some((move) => move.lan === reply), `the reply ${reply} is not legal after a8=N`);
    expect((await boardPieces()).includes('wna8'), 'no white knight on a8');
  });

  await check('a pawn move typed without its piece asks for the piece', async () => {
    await setFen('4k3/2P4p/8/8/8/8/7P/4K3 w - - 0 1');
    await waitForYourMove();
    await typeMove('c8');
    const rook = await page.waitForSelector('::-p-aria([name="Rook"][role="button"])', { visible: true, timeout: UI_WAIT });
    expect(!(await shown('#move-message')), `the page says: "${await text('#move-message')}"`);
    await rook.click();
    await waitForPlies(2);
    expect((await playedMoves())[0] === 'c7c8r', `the move played is ${(await playedMoves())[0]}`);
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
    expect(await seenFrom('b'), 'the board is not turned for Black');
  });

  await check('8 moves clicked or dragged the moment the engine\'s reply shows are all taken', async () => {
    await page.select('#side', 'w');
    await page.select('#movetime', '100');
    await page.click('#new-game');
    await waitForYourMove();
    expect(await seenFrom('w'), 'the board is not turned for White');
    const quick = new Chess();
    const lost = [];
    holdSquares();
    for (let i = 0; i < 8; i++) {
      const move = quickMove(quick);
      const plies = quick.history().length;
      // Clicks, and every third move a drag.
      if (i % 3 === 2) await dragMove(move.from, move.to);
      else await clickMove(move.from, move.to);
      // A lost click leaves the page waiting for the player: try once more.
      const atLeast = (n, timeout) =>
        page.waitForFunction((count) => document.querySelectorAll('#moves .move').length >= count, { timeout }, n);
      const taken = await atLeast(plies + 1, 1000).then(() => true, () => false);
      if (!taken) {
        lost.push(move.san);
        await pause(400);
        await clickMove(move.from, move.to);
        await atLeast(plies + 1, UI_WAIT);
      }
      quick.move(move);
      const reply = await page.waitForFunction(
        (n) => document.querySelectorAll('#moves .move')[n]?.dataset.uci,
        { polling: 'mutation', timeout: UI_WAIT },
        plies + 1,
      );
      const uci = await reply.jsonValue();
      quick.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4] });
    }
    forgetSquares();
    expect(lost.length === 0, `${lost.length} of 8 moves were lost: ${lost.join(' ')}`);
  });

  await noScriptErrors(run);
} catch (error) {
  broken(error);
} finally {
  await run.finish();
}
