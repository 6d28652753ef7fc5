// What the page's modules share: one chess.js game that is the truth (the
// board and the texts are drawn from it), who plays which side, and the
// engine's conversation and search.
import { Chess } from 'chess.js';

export const $ = (id) => document.getElementById(id);
export const sideName = (color) => (color === 'w' ? 'White' : 'Black');

export const state = {
  game: new Chess(),
  startFen: null,        // null: the standard starting position
  userColor: 'w',
  record: { startColor: 'w', switches: [] },  // who had which side (game_record.js)
  ended: null,           // { score, reason, termination } of a resignation or a flag fall
  clocks: null,          // the game's clocks (clock.js), null when untimed
  flipped: false,        // the board seen from the other side
  session: null,         // the UciSession once the engine has answered
  search: null,          // { handle, kind: 'move' | 'analysis', shown }
  engineName: 'Vargul',  // its "id name" carries a build tag, not for the page
  engineFailed: false,
  viewPly: null,         // the ply shown while looking back; null: the game's last position
  headers: null,         // a loaded game's PGN headers; null: a game played here
  review: null,          // the last finished review: { key, positions, judgements, summary }
  reviewing: null,       // the review under way, with its cancel()
};

// chess.js replays the whole game for its history (some 8 ms for 80 moves),
// and a redraw asks for it a dozen times: it is kept until the game changes.
// Each move made adds a new entry to chess.js's own list, so the list's length
// and last entry tell whether the game is still the one the copy was made of.
let kept = { game: null, length: -1, last: null, moves: [] };
export function gameMoves() {
  const { game } = state;
  const own = game._history;
  if (!Array.isArray(own)) return game.history({ verbose: true });
  if (kept.game !== game || kept.length !== own.length || kept.last !== own.at(-1)) {
    // history() itself undoes and remakes every move: the entries are new after it.
    const moves = game.history({ verbose: true });
    kept = { game, length: own.length, last: own.at(-1), moves };
  }
  return kept.moves;
}

// Ply 0 is the game's start; the last ply is its current position.
export const shownPly = () => state.viewPly ?? gameMoves().length;
export const atGameEnd = () => state.viewPly === null;

export function shownFen() {
  const ply = shownPly();
  return ply === 0 ? new Chess(state.startFen ?? undefined).fen() : gameMoves()[ply - 1].after;
}

// Which game a review belongs to: its start and its moves.
export const gameKey = () => `${state.startFen ?? 'startpos'} ${gameMoves().map((move) => move.lan).join(' ')}`;

// The finished review, if it is of the game as it stands.
export const currentReview = () => (state.review?.key === gameKey() ? state.review : null);
