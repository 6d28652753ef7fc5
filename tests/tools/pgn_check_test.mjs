// The self-play referee judges moves and endings with the engine's own move
// generator, so a generator fault would pass unseen there. Here chess.js, an
// independent rules library, re-reads the PGN that self-play writes, both for
// Vargul against itself and in a gauntlet's seating (another engine process in
// the opponent's seat): every move must be legal, no game may run on past an
// ending, and each game must end as its Termination tag says.
//
// Needs the native build's engine and selfplay (VARGUL_BUILD, default build/)
// and web/node_modules (make web); a missing one fails the test.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { Chess } from '../../web/node_modules/chess.js/dist/esm/chess.js';

const root = fileURLToPath(new URL('../../', import.meta.url));
const build = resolve(root, process.env.VARGUL_BUILD ?? 'build');
const selfplay = join(build, 'selfplay');
const engine = join(build, 'vargul');

// What chess.js must find at the end of a game, by its Termination tag.
const endings = {
  'checkmate': (chess) => chess.isCheckmate(),
  'stalemate': (chess) => chess.isStalemate(),
  'threefold repetition': (chess) => chess.isThreefoldRepetition(),
  'fifty-move rule': (chess) => chess.isDrawByFiftyMoves(),
  'insufficient material': (chess) => chess.isInsufficientMaterial(),
  'ply cap': (chess) => !chess.isGameOver(),
};

function games(pgn) {
  return pgn.split(/\n(?=\[Event )/).map((text) => text.trim()).filter((text) => text.length > 0);
}

// The moves as the PGN writes them, without move numbers, comments and result.
function sanTokens(text) {
  const movetext = text.slice(text.indexOf('\n\n')).replace(/\{[^}]*\}/g, ' ');
  return movetext.split(/\s+/).filter((t) => t && !/^\d+\.(\.\.)?$/.test(t) && !/^(1-0|0-1|1\/2-1\/2|\*)$/.test(t));
}

// Replays one game move by move; throws on the first disagreement.
function checkGame(text) {
  const parsed = new Chess();
  parsed.loadPgn(text, { strict: true });
  const tags = parsed.getHeaders();
  const chess = new Chess(tags.FEN ?? undefined);
  for (const san of sanTokens(text)) {
    assert.ok(!chess.isGameOver(), `round ${tags.Round}: ${san} played after the game was over`);
    const move = chess.move(san, { strict: true });
    assert.equal(move.san, san, `round ${tags.Round}: the standard's text of the move`);
  }
  const ending = endings[tags.Termination];
  assert.ok(ending, `round ${tags.Round}: no rules ending: ${tags.Termination}`);
  assert.ok(ending(chess), `round ${tags.Round}: chess.js does not see ${tags.Termination}`);
  if (tags.Termination === 'checkmate') {
    assert.equal(tags.Result, chess.turn() === 'w' ? '0-1' : '1-0', `round ${tags.Round}: result of the mate`);
  } else {
    assert.equal(tags.Result, '1/2-1/2', `round ${tags.Round}: a drawn ending's result`);
  }
}

// Every opening of the tool's list with both colours: 48 games.
function playAndCheck(extraArgs) {
  for (const path of [selfplay, engine]) assert.ok(existsSync(path), `${path} is missing: build it first`);
  const dir = mkdtempSync(join(tmpdir(), 'vargul-pgn-'));
  try {
    const pgnPath = join(dir, 'games.pgn');
    // Exit status 1 means a fault seen by the referee; execFileSync throws on it.
    execFileSync(selfplay, ['--games', '48', '--concurrency', '2', '--engine', engine, '--pgn', pgnPath,
      ...extraArgs], { stdio: ['ignore', 'pipe', 'pipe'] });
    const list = games(readFileSync(pgnPath, 'utf8'));
    assert.equal(list.length, 48);
    for (const text of list) checkGame(text);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

test('self-play PGN: every move legal and every ending real to chess.js', () => {
  playAndCheck(['--depth', '3']);
});

test('gauntlet-style PGN (an engine in the opponent seat) reads the same', () => {
  // A ply cap short enough that some games end on it.
  playAndCheck(['--depth', '2', '--max-plies', '60', '--opponent', engine, '--opponent-name', 'Second Vargul']);
});

// The check itself fails on what it is there to catch.
test('the check rejects an illegal move, a game played past mate and a wrong ending', () => {
  const game = (termination, result, moves) =>
    `[Event "x"]\n[Round "1"]\n[Result "${result}"]\n[Termination "${termination}"]\n\n${moves} ${result}\n`;
  assert.doesNotThrow(() => checkGame(game('checkmate', '0-1', '1. f3 e5 2. g4 Qh4#')));
  assert.throws(() => checkGame(game('checkmate', '0-1', '1. f3 e5 2. g4 Qh5#')));
  assert.throws(() => checkGame(game('checkmate', '1-0', '1. f3 e5 2. g4 Qh4#')));
  assert.throws(() => checkGame(game('ply cap', '1/2-1/2', '1. f3 e5 2. g4 Qh4#')));
  assert.throws(() => checkGame(game('stalemate', '1/2-1/2', '1. e4 e5')));
  assert.throws(() => checkGame(game('checkmate', '0-1', '1. f3 e5 2. g4 Qh4+')), 'a mate written as a check');
});
