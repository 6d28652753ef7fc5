// The levels the page offers, and the go words each sends. Every level is
// made of what the engine already understands: a depth limit for the lower
// ones, and the full engine (the chosen time per move, or the clock) at the
// top. The ratings were measured against Stockfish's UCI_Elo settings at
// 10+0.1 s (see docs/page.md for the games and their 95% intervals).

export const MEASURED = '2026-12-09';

export const LEVELS = [
  { level: 1, depth: 1, rating: 1090 },
  { level: 2, depth: 2, rating: 1310 },
  { level: 3, depth: 3, rating: 1490 },
  { level: 4, depth: 4, rating: 1550 },
  { level: 5, depth: 5, rating: 1590 },
  { level: 6, depth: 6, rating: 1780 },
  { level: 7, depth: 8, rating: 1830 },
  { level: 8, depth: null, rating: 1890 },  // the full engine, rated at 1 s a move
];

export const TOP_LEVEL = LEVELS.at(-1).level;

export function levelLabel({ level, depth, rating }) {
  const strength = depth === null ? `full strength, about ${rating} at 1 s a move` : `about ${rating}`;
  return `Level ${level}: ${strength}, measured ${MEASURED}`;
}

// A level's search of one position. moveTime: the chosen time per move, ms;
// clock: null when untimed, else { white, black, increment } in ms with the
// side to move. Gives the words after "go", and stopAfter: ms after which
// the page stops the search itself (null: never), so a depth-limited search
// cannot run a clock out; it stops only in the rare position where the
// depth would take more than a tenth of the time left.
export function searchFor(levelNumber, { moveTime, clock, turn }) {
  const level = LEVELS.find((entry) => entry.level === Number(levelNumber)) ?? LEVELS.at(-1);
  const own = clock ? (turn === 'w' ? clock.white : clock.black) : null;
  const stopAfter = clock ? Math.max(20, Math.floor(own / 10)) : null;
  if (level.depth !== null) return { go: `depth ${level.depth}`, stopAfter };
  if (!clock) return { go: `movetime ${moveTime}`, stopAfter: null };
  const times = `wtime ${Math.max(1, Math.floor(clock.white))} btime ${Math.max(1, Math.floor(clock.black))}`;
  return { go: `${times} winc ${clock.increment} binc ${clock.increment}`, stopAfter };
}
