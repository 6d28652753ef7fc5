// The game as a record: the list of moves played and the PGN to copy.
import { Chess } from 'chess.js';
import { uciToMove } from './chess_text.js';
import { left, start, timeControlTag, timeControl } from './clock.js';
import { $, state } from './page_state.js';

export function drawMoves() {
  const list = $('moves');
  list.replaceChildren();
  const history = state.game.history({ verbose: true });
  let item = null;
  history.forEach((move, index) => {
    const number = Number(move.before.split(' ')[5]);
    if (move.color === 'w' || index === 0) {
      item = document.createElement('li');
      item.value = number;
      list.append(item);
      if (move.color === 'b') item.append('… ');
    }
    const span = document.createElement('span');
    span.className = 'move';
    span.dataset.uci = move.lan;
    span.textContent = move.san;
    item.append(span, ' ');
  });
  // The list's own scroll only: scrolling the page would move the board.
  list.scrollTop = list.scrollHeight;
}

// Who played which side: the player's side at the start, and each change of
// sides after the ply it followed.
export function startRecord(userColor) {
  state.record = { startColor: userColor, switches: [] };
}

export function recordSideChange(userColor) {
  const ply = state.game.history().length;
  const record = state.record;
  record.switches = record.switches.filter((change) => change.ply < ply);
  if (ply === 0) record.startColor = userColor;
  else if ((record.switches.at(-1)?.color ?? record.startColor) !== userColor) record.switches.push({ ply, color: userColor });
}

// After a take back: changes of sides after the moves taken back go with them.
export function forgetUndoneSideChanges() {
  const ply = state.game.history().length;
  state.record.switches = state.record.switches.filter((change) => change.ply <= ply);
}

export function drawPgn(result) {
  $('pgn').value = pgnText(result);
}

// --- kept across a reload --------------------------------------------------

const GAME_KEY = 'vargul.game';

// The game as it stands, the clocks as they read now.
export function saveGame() {
  const { clocks } = state;
  const now = performance.now();
  const saved = {
    startFen: state.startFen,
    moves: state.game.history({ verbose: true }).map((move) => move.lan),
    userColor: state.userColor,
    record: state.record,
    ended: state.ended,
    flipped: state.flipped,
    clocks: clocks && { ...clocks, left: { w: left(clocks, 'w', now), b: left(clocks, 'b', now) }, since: 0 },
  };
  try {
    localStorage.setItem(GAME_KEY, JSON.stringify(saved));
  } catch {
    // Nothing kept: a reload starts afresh.
  }
}

// The game saved last, its clocks going on from where they stood; false
// when there is none (or it does not replay).
export function restoreGame() {
  try {
    const saved = JSON.parse(localStorage.getItem(GAME_KEY));
    if (!saved) return false;
    const game = saved.startFen ? new Chess(saved.startFen) : new Chess();
    for (const lan of saved.moves) game.move(uciToMove(lan));
    Object.assign(state, { game, startFen: saved.startFen, userColor: saved.userColor, record: saved.record, ended: saved.ended,
      flipped: Boolean(saved.flipped), clocks: saved.clocks });
    if (state.clocks?.running) start(state.clocks, state.clocks.running, performance.now());
    return true;
  } catch {
    return false;
  }
}

// The headers name who had each side at the start; a change of sides is a
// comment after the move it followed, so no one is credited with moves they
// did not make.
function pgnText(result) {
  const { record } = state;
  const pgn = state.startFen ? new Chess(state.startFen) : new Chess();
  const player = (color, userColor) => (color === userColor ? 'You' : state.engineName);
  pgn.setHeader('Event', 'Vargul in the browser');
  pgn.setHeader('Date', new Date().toISOString().slice(0, 10).replaceAll('-', '.'));
  pgn.setHeader('White', player('w', record.startColor));
  pgn.setHeader('Black', player('b', record.startColor));
  pgn.setHeader('Result', result ? result.score : '*');
  if (state.clocks) pgn.setHeader('TimeControl', timeControlTag(timeControl(state.clocks.control)));
  if (result?.termination) pgn.setHeader('Termination', result.termination);
  state.game.history().forEach((san, index) => {
    pgn.move(san);
    const change = record.switches.find((entry) => entry.ply === index + 1);
    if (change)
      pgn.setComment(`Sides changed: from here White is ${player('w', change.color)}, Black is ${player('b', change.color)}`);
  });
  return pgn.pgn();
}

let copyMessageTimer = 0;
async function copyPgn() {
  const area = $('pgn');
  let copied = false;
  try {
    await navigator.clipboard.writeText(area.value);
    copied = true;
  } catch {
    // The older way, for a browser that refuses the clipboard API here.
    area.select();
    try {
      copied = document.execCommand('copy');
    } catch {
      copied = false;
    }
  }
  if (!copied) {
    area.focus();
    area.select();
  }
  clearTimeout(copyMessageTimer);
  $('copy-message').textContent = copied
    ? 'Copied.'
    : 'The browser did not let the page copy the PGN. It is selected: copy it with Ctrl+C (Cmd+C on a Mac).';
  copyMessageTimer = setTimeout(() => ($('copy-message').textContent = ''), copied ? 2000 : 15000);
}

export function setUpRecord() {
  $('copy-pgn').addEventListener('click', copyPgn);
}
