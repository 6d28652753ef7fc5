// Analysing a game on the page: PGN loaded from a file of three games and
// from pasted text, a bad PGN refused, the game stepped through by clicks and
// keys with the engine silent, Continue from here, the evaluation bar and the
// arrow against the engine's own report, and a review of a game with a hung
// queen, its graph, its marks and its downloaded PGN.
//
//   node tests/web/analysis_in_browser.mjs [--screenshot FILE]
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { THREE_GAMES, THREE_GAMES_LABELS, THREE_GAMES_LINES } from './sample_games.mjs';
import { Chess, check, expect, generatedGame, noScriptErrors, pause, player, screenshotAt, startRun, UI_WAIT } from './browser_harness.mjs';


const QUEEN_HUNG_AT = 21; // White's 11th move puts the queen where a lesser piece takes it

const piecesOf = (fen) =>
  new Chess(fen).board().flat().filter(Boolean).map((piece) => `${piece.color}${piece.type}${piece.square}`).sort().join(' ');

const run = await startRun({ seconds: 180 });
const page = await run.newPage();
const { boardPieces, choose, playedMoves, press, status, text, typeMove, waitForYourMove } = player(page);
const files = mkdtempSync(join(tmpdir(), 'vargul-pgn-'));
const planted = generatedGame({ plies: 60, queenHungAt: QUEEN_HUNG_AT });
const plantedPgn = planted.pgn();
const plantedMoves = planted.history({ verbose: true });
const fenAt = (ply) => (ply === 0 ? new Chess().fen() : plantedMoves[ply - 1].after);

const waitForPieces = (fen) =>
  page.waitForFunction(
    (expected) => [...document.querySelectorAll('#board g[data-piece][data-square]')].map((p) => `${p.dataset.piece}${p.dataset.square}`).sort().join(' ') === expected,
    { timeout: UI_WAIT }, piecesOf(fen),
  ).catch(() => null);
async function expectBoard(fen, what) {
  await waitForPieces(fen);
  expect((await boardPieces()) === piecesOf(fen), `the board does not show ${what}`);
}
const currentMove = () => page.$eval('#moves [aria-current="step"]', (move) => move.getAttribute('aria-label')).catch(() => null);

// A check that failed with the dialog open would leave the page behind it out of reach.
const closeDialog = () => page.evaluate(() => document.getElementById('pgn-dialog').close());

async function pastePgn(pgn) {
  await closeDialog();
  await press('Load PGN');
  await page.$eval('#pgn-text', (area, value) => (area.value = value), pgn);
  await press('Load');
}

try {
  await page.goto(run.page);
  await waitForYourMove();
  await page.select('#movetime', '100');

  await check('a file of three games with comments and variations offers each; the chosen one starts from its FEN', async () => {
    const file = join(files, 'three.pgn');
    writeFileSync(file, THREE_GAMES);
    await press('Load PGN');
    await (await page.$('#pgn-file')).uploadFile(file);
    const names = THREE_GAMES_LABELS;
    for (const name of names) await page.waitForSelector(`::-p-aria([name="${name}"][role="button"])`, { timeout: UI_WAIT });
    await press(names[1]);
    await expectBoard('4k3/8/8/8/8/8/4q3/K7 b - - 0 40', 'the FEN header\'s position');
    expect((await playedMoves()).join(' ') === 'e2e1 a1a2 e8d7', `moves ${await playedMoves()}`);
    await page.click('h1');
    await page.keyboard.press('End');
    await expectBoard('8/3k4/8/8/8/8/K7/4q3 w - - 3 42', 'the second game\'s last position after the End key');
    await press('Load PGN');
    await (await page.$('#pgn-file')).uploadFile(file);
    await press(names[0]);
    const first = new Chess();
    for (const san of THREE_GAMES_LINES[0].san) first.move(san);
    const lans = first.history({ verbose: true }).map((move) => move.lan).join(' ');
    expect((await playedMoves()).join(' ') === lans, `the first game's main line: ${await playedMoves()}`);
    // At a loaded game's end the engine, Black to move, waits to be asked.
    await press('5. O-O');
    await expectBoard(first.fen(), 'the first game\'s last position');
    await pause(500);
    expect((await playedMoves()).length === 9 && (await status()).includes('Let Vargul move'), `the engine did not wait: "${await status()}"`);
  });

  await closeDialog();
  await check('a bad PGN is refused with the move and line that failed, and the game stays', async () => {
    const moves = await playedMoves();
    const pieces = await boardPieces();
    await pastePgn('[White "A"]\n\n1. e4 e5\n2. Ke3 Nc6 *');
    await page.waitForSelector('#pgn-message:not([hidden])', { timeout: UI_WAIT });
    const message = await text('#pgn-message');
    expect(/line 4/.test(message) && /2\. Ke3 is not a legal move/.test(message) && /unchanged/.test(message), `message "${message}"`);
    await press('Cancel');
    expect((await playedMoves()).join() === moves.join() && (await boardPieces()) === pieces, 'the game changed');
  });

  await closeDialog();
  await check('clicks and keys step through the game and the board follows', async () => {
    await pastePgn(plantedPgn);
    await expectBoard(fenAt(0), 'the start');
    await page.click('h1');  // keys go to the page, not a field
    for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowRight');
    await expectBoard(fenAt(3), 'the position after 2. ...');
    expect((await currentMove()) === `2. ${plantedMoves[2].san}`, `current move ${await currentMove()}`);
    await page.keyboard.press('ArrowLeft');
    await expectBoard(fenAt(2), 'the position after Left');
    await page.keyboard.press('Home');
    await page.keyboard.press('ArrowLeft');
    await expectBoard(fenAt(0), 'the start after Home and Left');
    await press(`11... ${plantedMoves[21].san}`);
    await expectBoard(fenAt(22), 'the position after the clicked move');
    await press('Back');
    await expectBoard(fenAt(21), 'the position after Back');
    expect((await status()).includes('After 11. '), `status "${await status()}"`);
  });

  await check('the engine does not play while the game is looked back at, and plays on at its end when asked', async () => {
    await press('End');
    await page.select('#level', '8');  // the full engine, which thinks for the time per move
    await page.select('#movetime', '1000');
    const game = new Chess(fenAt(60));
    await typeMove(game.moves()[0]);
    await page.waitForFunction(() => document.getElementById('status').textContent.includes('thinking'), { timeout: UI_WAIT });
    await press('Back');
    await pause(1500);
    expect((await playedMoves()).length === 61, 'the engine played while the game was looked back at');
    expect(!(await status()).includes('thinking'), 'the engine is still thinking');
    expect(await page.$eval('#engine-error', (error) => error.hidden), 'the engine tried to move');
    await press('End');
    await pause(500);
    expect((await playedMoves()).length === 61, 'the engine played on by itself at the end');
    await press('Let Vargul move');
    await page.waitForFunction(() => document.querySelectorAll('#moves .move').length === 62, { timeout: 3000 });
    await page.select('#movetime', '100');
    await press('11. ' + plantedMoves[20].san);
  });

  await check('Continue from here drops the later moves and the engine plays on', async () => {
    page.once('dialog', (dialog) => dialog.accept());
    await press('Continue from here');
    await page.waitForFunction((n) => document.querySelectorAll('#moves .move').length === n, { timeout: UI_WAIT }, QUEEN_HUNG_AT + 1);
    const moves = await playedMoves();
    const replay = new Chess();
    for (const move of plantedMoves.slice(0, QUEEN_HUNG_AT)) replay.move(move);
    expect(moves.slice(0, QUEEN_HUNG_AT).join() === plantedMoves.slice(0, QUEEN_HUNG_AT).map((m) => m.lan).join(), 'the kept moves differ');
    expect(replay.moves({ verbose: true }).some((move) => move.lan === moves[QUEEN_HUNG_AT]), `the engine's move ${moves[QUEEN_HUNG_AT]} is not legal`);
  });

  await check('the evaluation bar and the arrow show the engine\'s reported score and move', async () => {
    await waitForYourMove();
    await press('Analyse');
    await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 6, { timeout: 20_000 });
    await press('Stop');
    await page.waitForFunction(() => document.getElementById('status').textContent.includes('move here'), { timeout: UI_WAIT });
    const san = (await status()).match(/move here: (?:\d+\.+ )?(\S+)\./)?.[1];
    const meter = await page.$('::-p-aria([role="meter"])');
    expect(meter, 'no meter');
    const shownScore = await page.$eval('#eval-bar', (bar) => bar.getAttribute('aria-valuetext'));
    const reported = (await text('#score')).replace('\u2212', '-').replace(/^(White|Black) mates in (\d+)$/, (_, side, n) => `${side === 'Black' ? '-' : ''}M${n}`);
    expect(shownScore === reported, `the bar says "${shownScore}", the engine "${reported}"`);
    expect((await text('#best-move')) === `Engine's move: ${san}`, `"${await text('#best-move')}" for the move ${san}`);
    const fen = await page.$eval('#fen-input', (input) => input.value);
    const move = new Chess(fen).move(san);
    const arrow = await page.$eval('#board [data-arrow]', (element) => element.dataset.arrow).catch(() => null);
    expect(arrow === move.from + move.to, `the arrow ${arrow} is not ${move.from + move.to}`);
  });

  await check('a review of a 30-move game marks the hung queen, draws its graph, and its PGN carries the evaluations', async () => {
    await pastePgn(plantedPgn);
    await choose('Time per position', '200');
    await press('Review game');
    await page.waitForSelector('::-p-aria([name="Cancel"][role="button"])', { timeout: UI_WAIT });
    await page.waitForFunction(() => document.getElementById('review-progress-text').textContent === 'Review done.', { timeout: 60_000 });
    const hung = `11. ${plantedMoves[QUEEN_HUNG_AT - 1].san}`;
    expect(await page.$(`::-p-aria([name="${hung}, blunder"][role="button"])`), `${hung} is not marked a blunder`);
    const marks = await page.$eval('#review-marks', (list) => list.textContent);
    expect(marks.includes(`${hung}??`) && /Better: \S+, line 11\. /.test(marks), `marks: ${marks.slice(0, 300)}`);
    const graph = await page.$('::-p-aria([role="image"][name="Evaluation graph of 61 positions; the moves list goes to each of them too"])');
    expect(graph, 'no graph');
    const dot = await page.$(`#eval-graph circle[data-ply="${QUEEN_HUNG_AT}"]`);
    expect(dot, 'no point on the graph for the hung queen');
    await dot.click();
    await expectBoard(fenAt(QUEEN_HUNG_AT), 'the position after the graph\'s point');
    expect((await currentMove()) === `${hung}, blunder`, `the current move is ${await currentMove()}`);
    if (screenshotAt) await page.screenshot({ path: screenshotAt });
    // On a phone the review, its graph and its table fit the screen's width.
    await page.setViewport({ width: 390, height: 844 });
    // The board redraws itself to the new size a moment later.
    await page.waitForFunction(() => document.documentElement.scrollWidth <= 390, { timeout: 2000 }).catch(() => null);
    const wide = await page.evaluate(() => document.documentElement.scrollWidth);
    await page.setViewport({ width: 1200, height: 860 });
    expect(wide <= 390, `on a 390 px phone the page is ${wide} px wide`);

    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: files });
    await press('Download PGN');
    const started = Date.now();
    let saved = [];
    while ((saved = readdirSync(files).filter((name) => name.endsWith('.pgn') && name !== 'three.pgn')).length === 0 && Date.now() - started < UI_WAIT) await pause(100);
    expect(saved.length === 1, 'no PGN downloaded');
    const pgn = readFileSync(join(files, saved[0]), 'utf8');
    const back = new Chess();
    back.loadPgn(pgn);
    expect(back.history().join(' ') === planted.history().join(' '), 'the downloaded PGN has other moves');
    const evals = back.getComments().map(({ comment }) => comment.match(/\[%eval (-?\d+\.\d\d|#-?\d+)\]/)?.[1]).filter(Boolean);
    expect(evals.length === 60, `${evals.length} [%eval] comments for 60 moves`);
    expect(pgn.includes(`${plantedMoves[QUEEN_HUNG_AT - 1].san}??`), 'the hung queen has no "??"');
  });

  await check('Cancel ends a review and the engine is free again', async () => {
    await choose('Time per position', '2000');
    await press('Review game');
    await page.waitForFunction(() => document.getElementById('review-progress-text').textContent.startsWith('1 of'), { timeout: UI_WAIT });
    await press('Cancel');
    await page.waitForFunction(() => !document.getElementById('status').textContent.includes('reviewing'), { timeout: UI_WAIT });
    expect(!(await page.$eval('#review', (review) => review.disabled)), 'Review game is not offered again');
    // An analysis now runs until Stop: no search of the review comes after it.
    await press('Analyse');
    await pause(1500);
    expect((await status()).startsWith('Analysing'), `after Analyse: "${await status()}"`);
    await press('Stop');
  });

  await noScriptErrors(run);
} finally {
  rmSync(files, { recursive: true, force: true });
  await run.finish();
}
