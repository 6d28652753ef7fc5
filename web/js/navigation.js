// Moving through a game's positions: ply 0 is the start, ply n the position
// after the game's nth half-move. Buttons and keys name the same four steps.
export const STEPS = ['start', 'back', 'forward', 'end'];

export const STEP_KEYS = { Home: 'start', ArrowLeft: 'back', ArrowRight: 'forward', End: 'end' };

// The ply a step leads to from ply `at` in a game of `last` plies.
export function plyAfter(step, at, last) {
  const target = { start: 0, back: at - 1, forward: at + 1, end: last }[step];
  return Math.max(0, Math.min(last, target));
}
