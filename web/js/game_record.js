// The game as a record: the list of moves played and the PGN to copy.
import { Chess } from 'chess.js';
import { uciToMove } from './chess_text.js';
import { left, start, timeControlTag, timeControl } from './clock.js';
import { $, atGameEnd, currentReview, gameMoves, shownPly, state } from './page_state.js';
import { writePgn } from './pgn_write.js';
import { reviewNotes } from './review_panel.js';

// Each move a button that shows the position after it; the one shown is
// marked for the eye and for screen readers, with the review's mark if any.
export function drawMoves() {
  const list = $('moves');
  list.replaceChildren();
  const judgements = currentReview()?.judgements ?? [];
  const shown = shownPly();
  let item = null;
  gameMoves().forEach((move, index) => {
    const number = Number(move.before.split(' ')[5]);
    if (move.color === 'w' || index === 0) {
      item = document.createElement('li');
      item.value = number;
      list.append(item);
      if (move.color === 'b') item.append('… ');
    }
    const mark = judgements[index]?.mark;
    const button = document.createElement('button');
    button.type = 'button';
    button.className = mark ? `move ${mark.name}` : 'move';
    button.dataset.uci = move.lan;
    button.dataset.ply = String(index + 1);
    button.textContent = move.san + (mark?.nag ?? '');
    button.setAttribute('aria-label', `${number}${move.color === 'w' ? '.' : '...'} ${move.san}${mark ? `, ${mark.name}` : ''}`);
    if (index + 1 === shown) button.setAttribute('aria-current', 'step');
    item.append(button, ' ');
  });
  const current = list.querySelector('[aria-current]');
  // The list's own scroll only: scrolling the page would move the board.
  if (atGameEnd() || !current) list.scrollTop = list.scrollHeight;
  else keepInView(list, current);
}

function keepInView(list, element) {
  const top = element.offsetTop - list.offsetTop;
  if (top < list.scrollTop) list.scrollTop = top;
  else if (top + element.offsetHeight > list.scrollTop + list.clientHeight) list.scrollTop = top + element.offsetHeight - list.clientHeight;
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
    moves: gameMoves().map((move) => move.lan),
    headers: state.headers,
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
    Object.assign(state, { game, startFen: saved.startFen, headers: saved.headers ?? null, userColor: saved.userColor, record: saved.record,
      ended: saved.ended, flipped: Boolean(saved.flipped), clocks: saved.clocks });
    if (state.clocks?.running) start(state.clocks, state.clocks.running, performance.now());
    return true;
  } catch {
    return false;
  }
}

// A loaded game keeps its own headers. A game played here names who had each
// side at the start, and a change of sides is a comment after the move it
// followed, so no one is credited with moves they did not make. A review adds
// its evaluations and marks.
function pgnText(result) {
  const { record } = state;
  const player = (color, userColor) => (color === userColor ? 'You' : state.engineName);
  const headers = {
    ...(state.headers ?? {
      Event: 'Vargul in the browser',
      Date: new Date().toISOString().slice(0, 10).replaceAll('-', '.'),
      White: player('w', record.startColor),
      Black: player('b', record.startColor),
    }),
  };
  if (state.clocks) headers.TimeControl = timeControlTag(timeControl(state.clocks.control));
  if (result?.termination) headers.Termination = result.termination;
  const finished = result?.score ?? (state.headers ? headers.Result : null);
  const notes = reviewNotes();
  for (const change of record.switches) {
    const note = (notes[change.ply - 1] ??= {});
    const text = `Sides changed: from here White is ${player('w', change.color)}, Black is ${player('b', change.color)}`;
    note.comment = note.comment ? `${note.comment} ${text}` : text;
  }
  return writePgn({ headers: { ...headers, Result: finished ?? '*' }, startFen: state.startFen, moves: gameMoves(), notes });
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

// onSelectPly(ply): a move of the list was chosen.
export function setUpRecord({ onSelectPly }) {
  $('copy-pgn').addEventListener('click', copyPgn);
  $('moves').addEventListener('click', (event) => {
    const button = event.target.closest('button[data-ply]');
    if (button) onSelectPly(Number(button.dataset.ply));
  });
}
