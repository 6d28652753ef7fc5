// The game as a record: the list of moves played and the PGN to copy.
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

export function drawPgn(result) {
  $('pgn').value = pgnText(result);
}

// A loaded game keeps its own headers; a game played here names its players.
function pgnText(result) {
  const you = 'You';
  const headers = state.headers ?? {
    Event: 'Vargul in the browser',
    Date: new Date().toISOString().slice(0, 10).replaceAll('-', '.'),
    White: state.userColor === 'w' ? you : state.engineName,
    Black: state.userColor === 'b' ? you : state.engineName,
  };
  const finished = result?.score ?? (state.headers ? headers.Result : null);
  return writePgn({ headers: { ...headers, Result: finished ?? '*' }, startFen: state.startFen, moves: gameMoves(), notes: reviewNotes() });
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
