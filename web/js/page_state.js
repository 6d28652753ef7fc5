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
};
