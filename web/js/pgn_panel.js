// PGN in and out: "Load PGN" (pasted text or a .pgn file; a file of several
// games lists them to choose one) and "Download PGN" (the text the page
// shows, as a file).
import { gameLabel, readPgn } from './pgn_read.js';
import { $ } from './page_state.js';

function showProblem(text) {
  $('pgn-message').textContent = text ? `${text} The game on the board is unchanged.` : '';
  $('pgn-message').hidden = !text;
}

function listGames(games, onLoad) {
  const list = $('pgn-game-list');
  list.replaceChildren(
    ...games.map((game, index) => {
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = gameLabel(game, index);
      button.addEventListener('click', () => choose(game, onLoad));
      item.append(button);
      return item;
    }),
  );
  $('pgn-games').hidden = false;
  list.querySelector('button')?.focus();
}

function choose(game, onLoad) {
  if (game.error) {
    showProblem(game.error);
    return;
  }
  $('pgn-dialog').close();
  onLoad(game);
}

function load(text, onLoad) {
  $('pgn-games').hidden = true;
  const { games, error } = readPgn(text);
  if (error) showProblem(error);
  else if (games.length === 1) choose(games[0], onLoad);
  else {
    showProblem('');
    listGames(games, onLoad);
  }
}

// onLoad(game): a game was chosen ({ headers, startFen, moves, result }, see pgn_read.js).
export function setUpPgnPanel({ onLoad }) {
  const dialog = $('pgn-dialog');
  $('load-pgn').addEventListener('click', () => {
    showProblem('');
    $('pgn-games').hidden = true;
    dialog.showModal();
    $('pgn-text').focus();
  });
  $('pgn-cancel').addEventListener('click', () => dialog.close());
  $('pgn-form').addEventListener('submit', (event) => {
    event.preventDefault();
    load($('pgn-text').value, onLoad);
  });
  $('pgn-file').addEventListener('change', async () => {
    const [file] = $('pgn-file').files;
    if (!file) return;
    const text = await file.text();
    // Cleared, so that choosing the same file again is heard.
    $('pgn-file').value = '';
    $('pgn-text').value = text;
    load(text, onLoad);
  });
  $('download-pgn').addEventListener('click', downloadPgn);
}

function downloadPgn() {
  const url = URL.createObjectURL(new Blob([$('pgn').value], { type: 'application/x-chess-pgn' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = `vargul-${new Date().toISOString().slice(0, 10)}.pgn`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}
