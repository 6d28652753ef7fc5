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
  session: null,         // the UciSession once the engine has answered
  search: null,          // { handle, kind: 'move' | 'analysis', shown }
  engineName: 'Vargul',  // its "id name" carries a build tag, not for the page
  engineFailed: false,
  viewPly: null,         // the ply shown while looking back; null: the game's last position
  headers: null,         // a loaded game's PGN headers; null: a game played here
  review: null,          // the last finished review: { key, positions, judgements, summary }
  reviewing: null,       // the review under way, with its cancel()
};

export const gameMoves = () => state.game.history({ verbose: true });

// Ply 0 is the game's start; the last ply is its current position.
export const shownPly = () => state.viewPly ?? state.game.history().length;
export const atGameEnd = () => state.viewPly === null;

export function shownFen() {
  const ply = shownPly();
  return ply === 0 ? new Chess(state.startFen ?? undefined).fen() : gameMoves()[ply - 1].after;
}

// Which game a review belongs to: its start and its moves.
export const gameKey = () => `${state.startFen ?? 'startpos'} ${gameMoves().map((move) => move.lan).join(' ')}`;

// The finished review, if it is of the game as it stands.
export const currentReview = () => (state.review?.key === gameKey() ? state.review : null);
