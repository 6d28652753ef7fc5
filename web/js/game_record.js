// The game as a record: the list of moves played and the PGN to copy.
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

export function drawPgn(result) {
  $('pgn').value = pgnText(result);
}

function pgnText(result) {
  const { game } = state;
  const you = 'You';
  game.setHeader('Event', 'Vargul in the browser');
  game.setHeader('Date', new Date().toISOString().slice(0, 10).replaceAll('-', '.'));
  game.setHeader('White', state.userColor === 'w' ? you : state.engineName);
  game.setHeader('Black', state.userColor === 'b' ? you : state.engineName);
  game.setHeader('Result', result ? result.score : '*');
  return game.pgn();
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
