// The arithmetic of a game's review, with no page around it: evaluations
// from White's side, White's winning chances, how much a move lost, and the
// marks and summaries that follow. The page's help states the same formula.
//
// An evaluation is { cp } (centipawns, White's side) or { mate, winner }
// (moves to mate, 0 once mated; winner 'w' or 'b').

// The logistic curve's steepness: +1.00 is a 59% chance for White, +3.00 a 75% one.
export const WIN_CHANCE_SLOPE = 0.00368208;
// Beyond a thousand centipawns the curve is flat: the game is won either way.
const CP_LIMIT = 1000;

// Drops in the mover's winning chances (points of 100), largest first.
export const MARKS = [
  { name: 'blunder', drop: 30, nag: '??' },
  { name: 'mistake', drop: 20, nag: '?' },
  { name: 'inaccuracy', drop: 10, nag: '?!' },
];

// The engine scores from the side to move; the review keeps White's side.
export function whiteView(score, sideToMove) {
  const sign = sideToMove === 'w' ? 1 : -1;
  if (score.kind === 'cp') return { cp: score.value * sign };
  // "mate 0" or a negative mate: the side to move is the one mated.
  const moverWins = score.value > 0;
  const winner = moverWins === (sideToMove === 'w') ? 'w' : 'b';
  return { mate: Math.abs(score.value), winner };
}

// A finished position's evaluation by the rules, or null if play goes on.
export function ruledEvaluation(game) {
  if (game.isCheckmate()) return { mate: 0, winner: game.turn() === 'w' ? 'b' : 'w' };
  if (game.isGameOver()) return { cp: 0 };
  return null;
}

const clampedCp = (evaluation) =>
  'cp' in evaluation
    ? Math.max(-CP_LIMIT, Math.min(CP_LIMIT, evaluation.cp))
    : (evaluation.winner === 'w' ? CP_LIMIT : -CP_LIMIT);

// White's winning chance in points of 100: 50 + 50 (2 / (1 + e^(-k cp)) - 1).
export function winChance(evaluation) {
  if ('mate' in evaluation) return evaluation.winner === 'w' ? 100 : 0;
  return 50 + 50 * (2 / (1 + Math.exp(-WIN_CHANCE_SLOPE * clampedCp(evaluation))) - 1);
}

// How much of the mover's winning chance a move gave away (never below 0).
export function chanceDrop(before, after, mover) {
  const drop = winChance(before) - winChance(after);
  return Math.max(0, mover === 'w' ? drop : -drop);
}

// The same in centipawns, a mate counted as a thousand.
export function centipawnLoss(before, after, mover) {
  const loss = clampedCp(before) - clampedCp(after);
  return Math.max(0, mover === 'w' ? loss : -loss);
}

export function markFor(drop) {
  return MARKS.find((mark) => drop >= mark.drop) ?? null;
}

// Each move of a reviewed game judged. positions[i] is the position before
// moves[i] ({ evaluation, best: uci or null, pv: [uci] }); positions has one
// more entry, the final position. A move that was the engine's own choice is
// never marked: a later, deeper look may score it a little lower.
export function judgeMoves(moves, positions) {
  return moves.map((move, i) => {
    const before = positions[i].evaluation;
    const after = positions[i + 1].evaluation;
    const drop = chanceDrop(before, after, move.color);
    const engineChoice = positions[i].best === move.lan;
    return {
      drop,
      loss: engineChoice ? 0 : centipawnLoss(before, after, move.color),
      mark: engineChoice ? null : markFor(drop),
    };
  });
}

// Per side: how many of each mark, and the average loss in centipawns a move.
export function summary(moves, judgements) {
  const sides = {};
  for (const color of ['w', 'b']) {
    const own = judgements.filter((_, i) => moves[i].color === color);
    const count = (name) => own.filter((judgement) => judgement.mark?.name === name).length;
    const total = own.reduce((sum, judgement) => sum + judgement.loss, 0);
    sides[color] = {
      moves: own.length,
      inaccuracies: count('inaccuracy'),
      mistakes: count('mistake'),
      blunders: count('blunder'),
      averageLoss: own.length > 0 ? Math.round(total / own.length) : 0,
    };
  }
  return sides;
}

// White's share of the evaluation bar, 0 to 1: its winning chance.
export function barShare(evaluation) {
  return winChance(evaluation) / 100;
}

// The bar's text: "+0.35", "M3" when White mates, "-M2" when Black does,
// the result once mated.
export function barText(evaluation) {
  if ('mate' in evaluation) {
    if (evaluation.mate === 0) return evaluation.winner === 'w' ? '1-0' : '0-1';
    return `${evaluation.winner === 'w' ? '' : '-'}M${evaluation.mate}`;
  }
  const pawns = evaluation.cp / 100;
  if (pawns === 0) return '0.00';
  return `${pawns > 0 ? '+' : '-'}${Math.abs(pawns).toFixed(2)}`;
}

// The evaluation as other tools read it in a PGN comment: "0.17", "#3", "#-2".
export function pgnEval(evaluation) {
  if ('mate' in evaluation) return `#${evaluation.winner === 'w' ? '' : '-'}${evaluation.mate}`;
  return (evaluation.cp / 100).toFixed(2);
}
