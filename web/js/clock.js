// Chess clocks: the arithmetic, with no page around it (times in ms, `now`
// from any steady clock such as performance.now()).

// The time controls offered: minutes for the game + seconds added per move.
export const TIME_CONTROLS = [
  { id: 'none', label: 'Untimed' },
  { id: '1+0', label: '1 min', base: 60_000, increment: 0 },
  { id: '3+2', label: '3 min + 2 s', base: 180_000, increment: 2_000 },
  { id: '5+0', label: '5 min', base: 300_000, increment: 0 },
  { id: '10+5', label: '10 min + 5 s', base: 600_000, increment: 5_000 },
  { id: '15+10', label: '15 min + 10 s', base: 900_000, increment: 10_000 },
];

export function timeControl(id) {
  const control = TIME_CONTROLS.find((entry) => entry.id === id);
  return control && control.base ? control : null;
}

// The PGN's TimeControl tag: seconds + seconds, "-" untimed.
export function timeControlTag(control) {
  return control ? `${control.base / 1000}+${control.increment / 1000}` : '-';
}

// A clock pair for a new game; `running`: the side whose clock runs, and
// since when.
export function newClocks(control) {
  return { control: control.id, increment: control.increment, left: { w: control.base, b: control.base }, running: null, since: 0 };
}

export function start(clocks, color, now) {
  clocks.running = color;
  clocks.since = now;
}

// What a side has left now.
export function left(clocks, color, now) {
  const spent = clocks.running === color ? now - clocks.since : 0;
  return clocks.left[color] - spent;
}

// The mover's clock stops and gets the increment; the other side's starts.
// False when the mover had run out before moving (the move comes too late).
export function moveMade(clocks, now) {
  const mover = clocks.running;
  if (!mover) return true;
  const remaining = left(clocks, mover, now);
  if (remaining <= 0) {
    clocks.left[mover] = 0;
    clocks.running = null;
    return false;
  }
  clocks.left[mover] = remaining + clocks.increment;
  start(clocks, mover === 'w' ? 'b' : 'w', now);
  return true;
}

// Both clocks stop where they are (the game is over, or the page goes away).
export function stop(clocks, now) {
  if (clocks.running) clocks.left[clocks.running] = Math.max(0, left(clocks, clocks.running, now));
  clocks.running = null;
}

// "4:59" down to ten seconds, then tenths: "9.7".
export function clockText(ms) {
  const time = Math.max(0, ms);
  if (time < 10_000) return (Math.floor(time / 100) / 10).toFixed(1);
  const seconds = Math.floor(time / 1000);
  return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
}

// A flag fall loses, unless the other side could not mate by any means: a
// king alone, or a king and one bishop or knight, cannot.
export function flagResult(pieces, flagged) {
  const winner = flagged === 'w' ? 'b' : 'w';
  const name = { w: 'White', b: 'Black' };
  const theirs = pieces.filter((piece) => piece.color === winner && piece.type !== 'k').map((piece) => piece.type);
  const cannotMate = theirs.length === 0 || (theirs.length === 1 && ['b', 'n'].includes(theirs[0]));
  if (cannotMate)
    return { score: '1/2-1/2', reason: `Draw: ${name[flagged]}'s time ran out, but ${name[winner]} has too little to mate`, termination: 'time forfeit' };
  return { score: winner === 'w' ? '1-0' : '0-1', reason: `${name[flagged]} lost on time`, termination: 'time forfeit' };
}
