// The analysis's rules without a browser: reading and writing PGN, the
// review's arithmetic, the evaluation bar and the steps through a game.
import { test } from 'node:test';
import assert from 'node:assert/strict';
// The copy web/js resolves 'chess.js' to.
import { Chess } from '../../web/node_modules/chess.js/dist/esm/chess.js';
import { gameLabel, readPgn } from '../../web/js/pgn_read.js';
import { writePgn } from '../../web/js/pgn_write.js';
import { barShare, barText, judgeMoves, pgnEval, ruledEvaluation, summary, whiteView, winChance } from '../../web/js/review.js';
import { plyAfter } from '../../web/js/navigation.js';
import { reviewGame } from '../../web/js/game_review.js';
import { UciSession } from '../../web/js/uci_session.js';
import { THREE_GAMES, THREE_GAMES_LABELS, THREE_GAMES_LINES } from './sample_games.mjs';


test('a file of three games: headers, comments, variations, NAGs and a FEN start', () => {
  const { games, error } = readPgn(THREE_GAMES);
  assert.equal(error, undefined);
  assert.equal(games.length, 3);
  games.forEach((game, i) => {
    assert.equal(game.startFen, THREE_GAMES_LINES[i].startFen, `game ${i + 1}`);
    assert.deepEqual(game.moves.map((move) => move.san), THREE_GAMES_LINES[i].san, `game ${i + 1}`);
  });
  assert.deepEqual(games.map(gameLabel), THREE_GAMES_LABELS);
  assert.equal(readPgn('[White "Anna \\"A\\" Berg"]\n1. e4 *').games[0].headers.White, 'Anna "A" Berg', 'an escaped quote');
  assert.equal(readPgn('1. e4 e5 2. Nf3').games[0].moves.length, 3, 'movetext alone, no result');
});

test('a bad PGN is refused with the line and the move that failed', () => {
  const rows = [
    ['[White "A"]\n\n1. e4 e5\n2. Nf3 Nc6 3. Bb5 Ke7 4. Qh5 Kf6?? *', /^Game 1, line 4: 4\. Qh5 is not a legal move/],
    ['1. e4 e5 *\n\n1. d4 d5\n2. Bxd5 *', /^Game 2, line 4: 2\. Bxd5 is not a legal move/],
    ['1. e4 e5 2. Nf3 Nf6 3. e6 *', /line 1: 3\. e6 is not a legal move/],
    ['1. e4 { never closed\n2. d4', /^Line 1: a comment "\{" is never closed/],
    ['1. e4 (1. d4 d5', /variation "\(" is never closed/],
    ['1. e4 e5\n2. Nf3) Nc6', /^Line 2: "\)" closes no variation/],
    ['[White "A"\n1. e4', /^Line 1: a header/],
    ['[FEN "8/8/8/8/8/8/8/8 w - - 0 1"]\n\n1. e4', /^Game 1 \(line 1\): its FEN header is refused\. .*king/],
    ['  \n; only a comment\n', /^No game found/],
  ];
  for (const [text, message] of rows) {
    const { games, error } = readPgn(text);
    assert.match(error ?? games.find((game) => game.error)?.error ?? '', message, text);
  }
});

// The review of the five plies 1. e4 e5 2. Qh5 Nc6 3. Qxf7+?? (a queen hung for a pawn, as White).
function hungQueen() {
  const game = new Chess();
  for (const san of ['e4', 'e5', 'Qh5', 'Nc6', 'Qxf7+']) game.move(san);
  const moves = game.history({ verbose: true });
  const positions = [
    { evaluation: { cp: 30 }, best: 'e2e4', pv: ['e2e4'] },
    { evaluation: { cp: 25 }, best: 'e7e5', pv: ['e7e5'] },
    { evaluation: { cp: 30 }, best: 'g1f3', pv: ['g1f3'] },
    { evaluation: { cp: -150 }, best: 'b8c6', pv: ['b8c6'] },
    { evaluation: { cp: -160 }, best: 'f1c4', pv: ['f1c4', 'g8f6'] },
    { evaluation: { cp: -850 }, best: 'e8f7', pv: ['e8f7'] },
  ];
  return { moves, positions };
}

test('the review marks each move by the drop in the mover\'s winning chances', () => {
  const { moves, positions } = hungQueen();
  const judged = judgeMoves(moves, positions);
  assert.deepEqual(judged.map((judgement) => judgement.mark?.name ?? null), [null, null, 'inaccuracy', null, 'blunder']);
  assert.ok(judged[2].drop >= 10 && judged[2].drop < 20, `Qh5 drops ${judged[2].drop}`);
  // Black's moves count from Black's side: -1.50 to -1.60 was good for Black.
  assert.equal(judged[3].drop, 0);
  assert.equal(judged[4].loss, 690);
  // The engine's own choice is never marked, whatever the next score.
  const engineChoice = judgeMoves(moves, positions.map((position, i) => (i === 4 ? { ...position, best: 'h5f7' } : position)));
  assert.equal(engineChoice[4].mark, null);
  assert.deepEqual(summary(moves, judged), {
    w: { moves: 3, inaccuracies: 1, mistakes: 0, blunders: 1, averageLoss: Math.round((0 + 180 + 690) / 3) },
    b: { moves: 2, inaccuracies: 0, mistakes: 0, blunders: 0, averageLoss: 0 },
  });
});

test('the winning chance: a logistic curve of the score, flat beyond ten pawns, sure for a mate', () => {
  assert.equal(winChance({ cp: 0 }), 50);
  assert.ok(Math.abs(winChance({ cp: 100 }) - 59.1) < 0.1, String(winChance({ cp: 100 })));
  assert.ok(Math.abs(winChance({ cp: 300 }) - 75.1) < 0.1, String(winChance({ cp: 300 })));
  assert.ok(Math.abs(winChance({ cp: -300 }) + winChance({ cp: 300 }) - 100) < 1e-9);
  assert.equal(winChance({ cp: 5000 }), winChance({ cp: 1000 }));
  assert.equal(winChance({ mate: 7, winner: 'w' }), 100);
  assert.equal(winChance({ mate: 0, winner: 'b' }), 0);
  // A mistake's band: 20 to 30 points lost, not 30.
  const { moves, positions } = hungQueen();
  positions[5] = { evaluation: { cp: -480 } };
  assert.equal(judgeMoves(moves, positions)[4].mark.name, 'mistake');
});

test('scores turn to White\'s side, and the bar and the PGN show them', () => {
  const rows = [
    // engine's score, side to move, White's view, bar text, PGN eval
    [{ kind: 'cp', value: 17 }, 'w', { cp: 17 }, '+0.17', '0.17'],
    [{ kind: 'cp', value: 17 }, 'b', { cp: -17 }, '-0.17', '-0.17'],
    [{ kind: 'cp', value: 0 }, 'b', { cp: -0 }, '0.00', '0.00'],
    [{ kind: 'mate', value: 3 }, 'w', { mate: 3, winner: 'w' }, 'M3', '#3'],
    [{ kind: 'mate', value: 2 }, 'b', { mate: 2, winner: 'b' }, '-M2', '#-2'],
    [{ kind: 'mate', value: -2 }, 'b', { mate: 2, winner: 'w' }, 'M2', '#2'],
    [{ kind: 'mate', value: -1 }, 'w', { mate: 1, winner: 'b' }, '-M1', '#-1'],
  ];
  for (const [score, side, view, bar, pgn] of rows) {
    const label = `${score.kind} ${score.value} ${side}`;
    assert.deepEqual(whiteView(score, side), view, label);
    assert.equal(barText(view), bar, label);
    assert.equal(pgnEval(view), pgn, label);
  }
  assert.equal(barShare({ mate: 2, winner: 'b' }), 0);
  assert.equal(barShare({ cp: 0 }), 0.5);
  assert.ok(barShare({ cp: 150 }) > 0.6 && barShare({ cp: 150 }) < 0.7);
  assert.deepEqual(ruledEvaluation(new Chess('R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 1 1')), { mate: 0, winner: 'w' });
  assert.deepEqual(ruledEvaluation(new Chess('7K/5k2/6q1/8/8/8/8/8 w - - 0 1')), { cp: 0 });
  assert.equal(ruledEvaluation(new Chess()), null);
});

test('a reviewed game is written as PGN that chess.js reads back, evaluations and marks included', () => {
  const { moves, positions } = hungQueen();
  const judged = judgeMoves(moves, positions);
  const notes = judged.map((judgement, i) => ({
    evaluation: positions[i + 1].evaluation,
    nag: judgement.mark?.nag,
    comment: judgement.mark ? `${judgement.mark.name} {braces} dropped` : '',
  }));
  const pgn = writePgn({ headers: { White: 'You', Result: '*', Annotator: 'Vargul' }, moves, notes });
  assert.match(pgn, /^\[Event "\?"\]\n\[Site "\?"\]\n\[Date "\?\?\?\?\.\?\?\.\?\?"\]\n\[Round "\?"\]\n\[White "You"\]\n\[Black "\?"\]\n\[Result "\*"\]\n\[Annotator "Vargul"\]\n\n/);
  const movetext = pgn.split('\n\n')[1].replace(/\n/g, ' ');
  assert.match(movetext, /2\. Qh5\?! \{ \[%eval -1\.50\] inaccuracy/);
  assert.match(movetext, /3\. Qxf7\+\?\? \{ \[%eval -8\.50\] blunder braces dropped \}/);
  assert.match(movetext, /\} 1\.\.\. e5 \{/, 'Black\'s move after a comment carries its number');
  assert.ok(pgn.split('\n').every((line) => line.length <= 79), 'a line is longer than 79 characters');
  const back = new Chess();
  back.loadPgn(pgn);
  assert.deepEqual(back.history(), moves.map((move) => move.san));
  const evals = back.getComments().map(({ comment }) => comment.match(/\[%eval (\S+)\]/)?.[1]);
  assert.deepEqual(evals, ['0.25', '0.30', '-1.50', '-1.60', '-8.50']);

  const fen = '4k3/8/8/8/8/8/4q3/K7 b - - 0 40';
  const fromFen = new Chess(fen);
  fromFen.move('Qe1+');
  const mated = writePgn({ startFen: fen, moves: fromFen.history({ verbose: true }), notes: [{ evaluation: { mate: 3, winner: 'b' } }] });
  assert.match(mated, /\[SetUp "1"\]\n\[FEN "4k3\/8\/8\/8\/8\/8\/4q3\/K7 b - - 0 40"\]/);
  assert.match(mated, /\n40\.\.\. Qe1\+ \{ \[%eval #-3\] \} \*\n$/);
  const reread = readPgn(mated).games[0];
  assert.equal(reread.startFen, fen);
  assert.deepEqual(reread.moves.map((move) => move.san), ['Qe1+']);
});

test('the four steps through a game stay within it', () => {
  const rows = [
    ['back', 3, 10, 2], ['back', 0, 10, 0], ['forward', 9, 10, 10], ['forward', 10, 10, 10],
    ['start', 7, 10, 0], ['end', 2, 10, 10], ['end', 0, 0, 0],
  ];
  for (const [step, at, last, expected] of rows) assert.equal(plyAfter(step, at, last), expected, `${step} from ${at} of ${last}`);
});

// An engine that answers each search with the scores it is given, one per
// position, from the side to move's point of view, as the engine writes them.
function scriptedEngine(scores) {
  const sent = [];
  let session = null;
  let searches = 0;
  session = new UciSession((line) => {
    sent.push(line);
    if (!line.startsWith('go')) return;
    const [kind, value, best] = scores[searches++];
    setTimeout(() => {
      session.receive(`info depth 5 score ${kind} ${value} nodes 10 pv ${best} e7e5`);
      session.receive(`bestmove ${best}`);
    });
  });
  return { sent, session };
}

test('a review searches each position in turn, judges the moves, and leaves a mated position to the rules', async () => {
  const game = new Chess();
  for (const san of ['f3', 'e5', 'g4', 'Qh4#']) game.move(san);
  const moves = game.history({ verbose: true });
  // Side to move's scores: after 2. g4 Black to move sees its mate.
  const { sent, session } = scriptedEngine([['cp', 20, 'e2e4'], ['cp', 150, 'e7e5'], ['cp', -90, 'e2e4'], ['mate', 1, 'd8h4']]);
  const progress = [];
  const review = reviewGame({ session, moves, movetime: 200, onProgress: (done, total) => progress.push(`${done}/${total}`) });
  const result = await review.done;
  assert.deepEqual(sent.filter((line) => line.startsWith('go')), ['go movetime 200', 'go movetime 200', 'go movetime 200', 'go movetime 200']);
  assert.equal(sent.filter((line) => line.startsWith('position')).at(-1), 'position startpos moves f2f3 e7e5 g2g4');
  assert.deepEqual(progress, ['1/5', '2/5', '3/5', '4/5', '5/5']);
  assert.deepEqual(result.positions.map((position) => position.evaluation),
    [{ cp: 20 }, { cp: -150 }, { cp: -90 }, { mate: 1, winner: 'b' }, { mate: 0, winner: 'b' }]);
  assert.deepEqual(result.judgements.map((judgement) => judgement.mark?.name ?? null), ['inaccuracy', null, 'blunder', null]);
  assert.deepEqual(result.positions[2].pv, ['e2e4', 'e7e5']);
});

test('a cancelled review sends no further search and ends with nothing', async () => {
  const game = new Chess();
  for (const san of ['e4', 'e5', 'Nf3']) game.move(san);
  const { sent, session } = scriptedEngine([['cp', 20, 'e2e4'], ['cp', -20, 'e7e5'], ['cp', 20, 'g1f3'], ['cp', -20, 'b8c6']]);
  let review = null;
  review = reviewGame({ session, moves: game.history({ verbose: true }), movetime: 100, onProgress: (done) => done === 2 && review.cancel() });
  assert.equal(await review.done, null);
  await new Promise((resolve) => setTimeout(resolve, 20));
  assert.equal(sent.filter((line) => line.startsWith('go')).length, 2);
  assert.ok(!session.busy, 'the engine is left searching');
});
