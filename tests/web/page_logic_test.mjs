// The page's rules without a browser: what it reads from the engine's lines,
// what it shows, and what it lets reach the engine.
import { test } from 'node:test';
import assert from 'node:assert/strict';
// The copy web/js resolves 'chess.js' to.
import { Chess } from '../../web/node_modules/chess.js/dist/esm/chess.js';
import { checkFen, gameResult, lineToSan, parseInfo, promotionWithoutPiece, scoreText, uciToMove, moveToUci } from '../../web/js/chess_text.js';
import { UciSession } from '../../web/js/uci_session.js';

test('info lines are read across the double blanks the engine writes', () => {
  const info = parseInfo('info  nps 123 depth 6 seldepth 7 score cp -25 nodes 4567 pv e2e4  e7e5  g1f3  ');
  assert.deepEqual(info, { depth: 6, seldepth: 7, nps: 123, nodes: 4567, score: { kind: 'cp', value: -25 }, pv: ['e2e4', 'e7e5', 'g1f3'] });
  assert.deepEqual(parseInfo('info  nps 0 depth 3 score mate -2 nodes 1 pv h7h8 ').score, { kind: 'mate', value: -2 });
  assert.equal(parseInfo('info currmove b8c6 currmovenumber 2 depth 1'), null);
  assert.equal(parseInfo('bestmove e2e4'), null);
});

test('scores are shown from White\'s side', () => {
  const rows = [
    [{ kind: 'cp', value: 25 }, 'w', '+0.25'],
    [{ kind: 'cp', value: 25 }, 'b', '\u22120.25'],
    [{ kind: 'cp', value: -130 }, 'b', '+1.30'],
    [{ kind: 'cp', value: 0 }, 'b', '0.00'],
    [{ kind: 'mate', value: 3 }, 'w', 'White mates in 3'],
    [{ kind: 'mate', value: -2 }, 'w', 'Black mates in 2'],
    [{ kind: 'mate', value: 3 }, 'b', 'Black mates in 3'],
    [{ kind: 'mate', value: -1 }, 'b', 'White mates in 1'],
  ];
  for (const [score, side, text] of rows) assert.equal(scoreText(score, side), text, `${score.kind} ${score.value} ${side}`);
});

test('the engine\'s line reads in SAN with move numbers, up to its first illegal move', () => {
  const start = new Chess().fen();
  const afterE4 = 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1';
  const rows = [
    [start, ['e2e4', 'e7e5', 'g1f3'], '1. e4 e5 2. Nf3'],
    [afterE4, ['e7e5', 'g1f3', 'b8c6'], '1... e5 2. Nf3 Nc6'],
    [start, ['e2e4', 'e2e4', 'g1f3'], '1. e4'],
    [start, ['e2e5'], ''],
    ['4k3/P7/8/8/8/8/8/4K3 w - - 0 1', ['a7a8n', 'e8d7'], '1. a8=N Kd7'],
    ['4k3/P7/8/8/8/8/8/4K3 w - - 0 1', ['a7a8q'], '1. a8=Q+'],
  ];
  for (const [fen, pv, san] of rows) assert.equal(lineToSan(fen, pv), san, pv.join(' '));
});

test('UCI moves keep their promotion piece both ways', () => {
  assert.deepEqual(uciToMove('e7e8n'), { from: 'e7', to: 'e8', promotion: 'n' });
  assert.deepEqual(uciToMove('g1f3'), { from: 'g1', to: 'f3' });
  assert.equal(uciToMove('0000'), null);
  assert.equal(uciToMove('e7e8k'), null);
  const board = new Chess('4k3/P7/8/8/8/8/8/4K3 w - - 0 1');
  assert.equal(moveToUci(board.move({ from: 'a7', to: 'a8', promotion: 'r' })), 'a7a8r');
});

test('the game ends by each rule, and not before', () => {
  const repeated = new Chess();
  for (const san of ['Nf3', 'Nf6', 'Ng1', 'Ng8', 'Nf3', 'Nf6', 'Ng1']) repeated.move(san);
  assert.equal(gameResult(repeated), null, 'twice is not yet a repetition');
  repeated.move('Ng8');
  const fifty = new Chess('4k3/8/8/8/8/8/4R3/4K3 w - - 99 80');
  assert.equal(gameResult(fifty), null, '99 half moves do not end it');
  fifty.move('Ra2');
  const rows = [
    [new Chess(), null],
    [new Chess('6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1'), null],
    [new Chess('R5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 1 1'), '1-0 Checkmate: White wins'],
    [new Chess('7K/5k2/6q1/8/8/8/8/8 w - - 0 1'), '1/2-1/2 Draw by stalemate'],
    [new Chess('4k3/8/8/8/8/8/8/2B1K3 w - - 0 1'), '1/2-1/2 Draw: neither side has the material to mate'],
    [repeated, '1/2-1/2 Draw by threefold repetition'],
    [fifty, '1/2-1/2 Draw by the fifty-move rule'],
  ];
  for (const [game, expected] of rows) {
    const result = gameResult(game);
    assert.equal(result && `${result.score} ${result.reason}`, expected, game.fen());
  }
});

test('a FEN reaches the engine only when it is a legal position', () => {
  const good = [
    ['rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1', 'rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1'],
    ['  4k3/8/8/8/8/8/8/4K3   w - -  ', '4k3/8/8/8/8/8/8/4K3 w - - 0 1'],
    ['r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1', 'r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1'],
  ];
  for (const [text, fen] of good) assert.deepEqual(checkFen(text), { fen }, text);
  const bad = [
    ['', /Enter a FEN/],
    ['rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1', /Not a valid FEN: piece data/],
    ['rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1', /Not a valid FEN/],
    ['4k3/8/8/8/8/8/8/8 w - - 0 1', /missing white king/],
    ['4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1', /Black\) is in check/],
    ['4k3/8/8/8/8/8/8/4K3 w K - 0 1', /castling right "K"/],
    ['3k3r/8/8/8/8/8/8/4K3 w k - 0 1', /castling right "k"/],
    ['r3k2r/8/8/8/8/8/8/R3K2R w K- - 0 1', /castling field is malformed/],
    ['r3k2r/8/8/8/8/8/8/R3K2R w -K - 0 1', /castling field is malformed/],
    // Positions no game reaches.
    ['4k3/8/8/8/8/PPPPPPPP/PPPPPPPP/4K3 w - - 0 1', /White has 16 pawns, and a side has at most 8/],
    ['4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1', /Black has 9 pawns/],
    ['4k3/8/8/8/8/8/PPPPPPP1/QQQ1K3 w - - 0 1', /White has 2 promoted pieces but only 1 pawns missing/],
    ['k7/8/8/4r3/7b/3n4/8/4K3 w - - 0 1', /in check from 3 pieces/],
    ['4k3/8/8/8/8/3n1n2/8/4K3 w - - 0 1', /no single move gives the double check from (d3 and f3|f3 and d3)/],
    ['4r3/8/8/8/4K3/8/8/4r2k w - - 0 1', /double check from (e8 and e1|e1 and e8)/],
  ];
  for (const [text, message] of bad) assert.match(checkFen(text).error ?? '', message, text);
  // Near those, but reachable: a promoted queen for a missing pawn, four
  // knights with no pawns left, double checks a pawn or knight move uncovers.
  const reachable = ['4k3/8/8/8/8/8/PPPPPPP1/QQ2K3 w - - 0 1', 'nnnnk3/8/8/8/8/8/8/4K3 w - - 0 1',
    '4r2k/8/8/8/8/8/3p4/4K3 w - - 0 1', 'k3r3/8/8/8/8/3n4/8/4K3 w - - 0 1'];
  for (const text of reachable) assert.equal(checkFen(text).error, undefined, text);
});

test('a pawn move typed without its piece is found, and nothing else', () => {
  const game = new Chess('1r2k3/2P5/8/8/8/8/8/4K3 w - - 0 1');
  for (const text of ['c8', 'c7c8', 'cxb8', 'c7b8', 'c8+']) assert.ok(promotionWithoutPiece(game, text), text);
  assert.deepEqual(promotionWithoutPiece(game, 'cxb8'), { from: 'c7', to: 'b8' });
  for (const text of ['c8=Q', 'c7c8q', 'Ke2', 'b8', 'd8']) assert.equal(promotionWithoutPiece(game, text), null, text);
});

// A fake engine: records what the page sends.
function session() {
  const sent = [];
  const uci = new UciSession((line) => sent.push(line));
  return { sent, uci };
}

test('the session starts the engine with uci and isready', async () => {
  const { sent, uci } = session();
  const started = uci.start();
  assert.deepEqual(sent, ['uci']);
  uci.receive('id name Vargul_b3_3 Beta ');
  uci.receive('uciok ');
  await Promise.resolve();
  assert.deepEqual(sent, ['uci', 'isready']);
  uci.receive('readyok ');
  uci.receive('');
  assert.equal(await started, 'Vargul_b3_3 Beta');
});

test('during a search only stop reaches the engine; the rest waits for its bestmove', () => {
  const { sent, uci } = session();
  const moves = [];
  uci.search({ moves: ['e2e4'], go: 'movetime 100', onBestMove: (move) => moves.push(move) });
  assert.deepEqual(sent, ['position startpos moves e2e4', 'go movetime 100']);
  uci.setHash(64);
  const second = uci.search({ fen: '4k3/8/8/8/8/8/8/4K3 w - - 0 1', go: 'infinite', onBestMove: (move) => moves.push(move) });
  assert.deepEqual(sent.slice(2), ['stop'], 'the running search is stopped, nothing else sent');
  uci.stop(second);
  uci.receive('bestmove e7e5 ');
  assert.deepEqual(sent.slice(3), ['setoption name Hash value 64'], 'the stopped second search never starts');
  assert.deepEqual(moves, ['e7e5']);
});

test('a cancelled search is stopped once and its lines and move are not delivered', () => {
  const { sent, uci } = session();
  const seen = [];
  const first = uci.search({ go: 'movetime 5000', onInfo: (line) => seen.push(line), onBestMove: (move) => seen.push(move) });
  uci.receive('info  nps 1 depth 1 score cp 3 nodes 1 pv e2e4 ');
  first.cancel();
  first.cancel();
  uci.receive('info  nps 1 depth 2 score cp 3 nodes 1 pv d2d4 ');
  const next = uci.search({ moves: ['g1f3'], go: 'movetime 100', onBestMove: (move) => seen.push(move) });
  assert.deepEqual(sent, ['position startpos', 'go movetime 5000', 'stop']);
  uci.receive('bestmove d2d4');
  assert.deepEqual(sent.slice(3), ['position startpos moves g1f3', 'go movetime 100']);
  assert.equal(uci.busy, true);
  uci.receive('bestmove g8f6');
  assert.deepEqual(seen, ['info  nps 1 depth 1 score cp 3 nodes 1 pv e2e4', 'g8f6']);
  assert.equal(uci.busy, false);
  assert.ok(next);
});
