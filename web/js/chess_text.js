// What the page reads from the engine and what it tells the player, with no
// page around it, so the rules are tested under Node as well.
import { Chess, validateFen } from 'chess.js';

// One "info" line as fields. The engine puts two blanks between some fields
// and between the moves of its line, so tokens are split on runs of blanks.
// Lines without a principal variation (currmove reports) give null.
export function parseInfo(line) {
  const tokens = line.trim().split(/\s+/);
  if (tokens[0] !== 'info' || !tokens.includes('pv')) return null;
  const info = { pv: [] };
  for (let i = 1; i < tokens.length; i++) {
    const token = tokens[i];
    if (token === 'pv') {
      info.pv = tokens.slice(i + 1);
      break;
    }
    if (token === 'score') {
      const kind = tokens[i + 1];
      const value = Number(tokens[i + 2]);
      if (kind === 'cp' || kind === 'mate') info.score = { kind, value };
      i += 2;
    } else if (['depth', 'seldepth', 'nodes', 'nps', 'time', 'multipv', 'hashfull'].includes(token)) {
      info[token] = Number(tokens[i + 1]);
      i += 1;
    }
  }
  return info;
}

// The engine scores from the side to move's point of view; the page shows
// White's, so a Black-to-move score changes sign.
export function scoreText(score, sideToMove) {
  if (!score) return '';
  const sign = sideToMove === 'w' ? 1 : -1;
  if (score.kind === 'mate') {
    // "mate 0": the side to move is mated already.
    const whiteMates = score.value === 0 ? sideToMove === 'b' : score.value * sign > 0;
    const moves = Math.abs(score.value);
    if (moves === 0) return whiteMates ? 'White has mated' : 'Black has mated';
    return `${whiteMates ? 'White' : 'Black'} mates in ${moves}`;
  }
  const pawns = (score.value * sign) / 100;
  if (pawns === 0) return '0.00';
  return `${pawns > 0 ? '+' : '\u2212'}${Math.abs(pawns).toFixed(2)}`;
}

// A UCI move (e2e4, e7e8q) as the object chess.js takes.
export function uciToMove(uci) {
  if (!/^[a-h][1-8][a-h][1-8][qrbn]?$/.test(uci)) return null;
  const move = { from: uci.slice(0, 2), to: uci.slice(2, 4) };
  if (uci.length === 5) move.promotion = uci[4];
  return move;
}

// A pawn move typed without the piece it becomes ("c8", "bxc8", "b7c8"):
// its squares, so the page can ask for the piece; null for anything else.
export function promotionWithoutPiece(game, text) {
  const typed = text.trim().replace(/[+#]+$/, '');
  const found = game
    .moves({ verbose: true })
    .find((move) => move.promotion && [move.san.replace(/=[QRBN].*$/, ''), move.from + move.to].includes(typed));
  return found ? { from: found.from, to: found.to } : null;
}

export function moveToUci(move) {
  return move.from + move.to + (move.promotion ?? '');
}

// The engine's line in SAN with move numbers, from the position it searched.
// It stops at the first move that is not legal there, so a stale line from
// an earlier position never shows as if it were about this one.
export function lineToSan(fen, pv) {
  const board = new Chess(fen);
  const parts = [];
  for (const uci of pv) {
    const move = uciToMove(uci);
    let played;
    try {
      played = move && board.move(move);
    } catch {
      played = null;
    }
    if (!played) break;
    const number = Number(played.before.split(' ')[5]);
    if (played.color === 'w') parts.push(`${number}.`);
    else if (parts.length === 0) parts.push(`${number}...`);
    parts.push(played.san);
  }
  return parts.join(' ');
}

export function npsText(nps) {
  if (!Number.isFinite(nps) || nps <= 0) return '';
  if (nps >= 1e6) return `${(nps / 1e6).toFixed(2)} M nodes/s`;
  if (nps >= 1e3) return `${(nps / 1e3).toFixed(0)} k nodes/s`;
  return `${nps} nodes/s`;
}

// How the game ended by the rules, or null while it goes on.
export function gameResult(game) {
  if (game.isCheckmate()) {
    const winner = game.turn() === 'w' ? 'Black' : 'White';
    return { score: winner === 'White' ? '1-0' : '0-1', reason: `Checkmate: ${winner} wins` };
  }
  if (game.isStalemate()) return { score: '1/2-1/2', reason: 'Draw by stalemate' };
  if (game.isInsufficientMaterial()) return { score: '1/2-1/2', reason: 'Draw: neither side has the material to mate' };
  if (game.isThreefoldRepetition()) return { score: '1/2-1/2', reason: 'Draw by threefold repetition' };
  if (game.isDrawByFiftyMoves()) return { score: '1/2-1/2', reason: 'Draw by the fifty-move rule' };
  return null;
}

// A position the page may hand the engine, or the reason it may not.
// Beyond chess.js's own checks: the side not to move must not be in check
// (its king could be taken), the castling field must be well formed, and each
// castling right needs its king and rook at home, since chess.js would castle
// on its flags alone.
export function checkFen(text) {
  const fen = text.trim().split(/\s+/).join(' ');
  if (fen === '') return { error: 'Enter a FEN first.' };
  const fields = fen.split(' ');
  const { ok, error } = validateFen(fields.length === 4 ? `${fen} 0 1` : fen);
  if (!ok) return { error: `Not a valid FEN: ${error.replace(/^Invalid FEN: /, '')}.` };
  const board = new Chess(fields.length === 4 ? `${fen} 0 1` : fen);
  const impossible = materialProblem(board, 'w') ?? materialProblem(board, 'b') ?? checkProblem(board);
  if (impossible) return { error: `Not a legal position: ${impossible}.` };
  const other = board.turn() === 'w' ? 'b' : 'w';
  const [otherKing] = board.findPiece({ type: 'k', color: other });
  if (board.isAttacked(otherKing, board.turn()))
    return { error: `Not a legal position: the side not to move (${other === 'w' ? 'White' : 'Black'}) is in check.` };
  if (!/^(-|[KQkq]{1,4})$/.test(fields[2])) return { error: 'Not a valid FEN: the castling field is malformed.' };
  const homes = { K: ['e1', 'h1', 'w'], Q: ['e1', 'a1', 'w'], k: ['e8', 'h8', 'b'], q: ['e8', 'a8', 'b'] };
  for (const right of fields[2] === '-' ? '' : fields[2]) {
    const [kingSquare, rookSquare, color] = homes[right];
    const king = board.get(kingSquare);
    const rook = board.get(rookSquare);
    if (!king || king.type !== 'k' || king.color !== color || !rook || rook.type !== 'r' || rook.color !== color)
      return { error: `Not a legal position: castling right "${right}" needs the king on ${kingSquare} and a rook on ${rookSquare}.` };
  }
  return { fen: board.fen() };
}

// A side has eight pawns, and each piece beyond the first set (one queen,
// two rooks, bishops, knights) is a promoted pawn.
function materialProblem(board, color) {
  const count = (type) => board.findPiece({ type, color }).length;
  const name = color === 'w' ? 'White' : 'Black';
  const pawns = count('p');
  if (pawns > 8) return `${name} has ${pawns} pawns, and a side has at most 8`;
  const promoted = Math.max(0, count('q') - 1) + Math.max(0, count('r') - 2) + Math.max(0, count('b') - 2) + Math.max(0, count('n') - 2);
  if (promoted > 8 - pawns)
    return `${name} has ${promoted} promoted pieces but only ${8 - pawns} pawns missing`;
  return null;
}

// One move gives check with at most two pieces: the one moved and one it
// uncovers, which must be a bishop, rook or queen on another line to the king.
function checkProblem(board) {
  const [king] = board.findPiece({ type: 'k', color: board.turn() });
  const checkers = board.attackers(king, board.turn() === 'w' ? 'b' : 'w');
  if (checkers.length > 2) return `the side to move is in check from ${checkers.length} pieces, and one move gives at most two`;
  if (checkers.length < 2) return null;
  const [a, b] = checkers;
  const stepper = (square) => ['p', 'n'].includes(board.get(square).type);
  const direction = (square) => {
    const file = square.charCodeAt(0) - king.charCodeAt(0);
    const rank = square.charCodeAt(1) - king.charCodeAt(1);
    return [Math.sign(file), Math.sign(rank)];
  };
  const [da, db] = [direction(a), direction(b)];
  const sameLine = (da[0] === db[0] && da[1] === db[1]) || (da[0] === -db[0] && da[1] === -db[1]);
  if ((stepper(a) && stepper(b)) || (!stepper(a) && !stepper(b) && sameLine))
    return `no single move gives the double check from ${a} and ${b}`;
  return null;
}
