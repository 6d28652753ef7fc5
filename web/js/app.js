// The page: a game against the engine or an analysis, on one chess.js game
// that is the truth; the board and the texts are drawn from it.
import { Chess } from 'chess.js';
import { Chessboard, COLOR, INPUT_EVENT_TYPE } from 'cm-chessboard/src/Chessboard.js';
import { Markers, MARKER_TYPE } from 'cm-chessboard/src/extensions/markers/Markers.js';
import { PromotionDialog, PROMOTION_DIALOG_RESULT_TYPE } from 'cm-chessboard/src/extensions/promotion-dialog/PromotionDialog.js';
import { Accessibility } from 'cm-chessboard/src/extensions/accessibility/Accessibility.js';
import { createEngine } from '../engine/engine.js';
import { UciSession } from './uci_session.js';
import { checkFen, gameResult, lineToSan, npsText, parseInfo, scoreText, uciToMove } from './chess_text.js';

const $ = (id) => document.getElementById(id);
const sideName = (color) => (color === 'w' ? 'White' : 'Black');

const state = {
  game: new Chess(),
  startFen: null,        // null: the standard starting position
  userColor: 'w',
  search: null,          // { handle, kind: 'move' | 'analysis', shown }
  engineName: 'Vargul',  // its "id name" carries a build tag, not for the page
  engineFailed: false,
};

const board = new Chessboard($('board'), {
  position: state.game.fen(),
  assetsUrl: './vendor/cm-chessboard/assets/',
  style: { cssClass: 'default', showCoordinates: true, pieces: { file: 'pieces/standard.svg' }, animationDuration: 150 },
  extensions: [
    { class: Markers, props: { autoMarkers: null } },
    { class: PromotionDialog, props: { language: 'en' } },
    { class: Accessibility, props: { language: 'en', keyboardMoveInput: true, movePieceForm: false, boardAsTable: true, piecesAsList: true } },
  ],
});

let session = null;

function userMayMove() {
  return session !== null && state.search === null && !gameResult(state.game) && state.game.turn() === state.userColor;
}

function uciMoves() {
  return state.game.history({ verbose: true }).map((move) => move.lan);
}

// --- the engine's side ---------------------------------------------------

function startSearch(kind) {
  const fen = state.game.fen();
  const shown = { info: null, nps: null, fen, frame: 0 };
  clearEngineLine();
  const search = { handle: null, kind, shown };
  search.handle = session.search({
    fen: state.startFen,
    moves: uciMoves(),
    go: kind === 'move' ? `movetime ${$('movetime').value}` : 'infinite',
    onInfo: (line) => {
      const info = parseInfo(line);
      if (!info) return;
      shown.info = info;
      if (info.nps > 0) shown.nps = info.nps;
      // Many lines a second at low depths: draw the latest once a frame.
      shown.frame ||= requestAnimationFrame(() => {
        shown.frame = 0;
        drawEngineLine(shown);
      });
    },
    onBestMove: (uci) => {
      stopDrawing(search);
      state.search = null;
      if (shown.info) drawEngineLine(shown);
      if (kind === 'move') playEngineMove(uci);
      else showBestMove(uci);
    },
  });
  state.search = search;
  draw();
}

// A frame asked for by the last info line would draw it after the search is
// over: over the cleared line of a new position, say.
function stopDrawing(search) {
  if (search?.shown.frame) cancelAnimationFrame(search.shown.frame);
  if (search) search.shown.frame = 0;
}

function cancelSearch() {
  if (state.search) state.search.handle.cancel();
  stopDrawing(state.search);
  state.search = null;
}

function playEngineMove(uci) {
  const move = uciToMove(uci);
  let played = null;
  try {
    played = move && state.game.move(move);
  } catch {
    played = null;
  }
  if (!played) {
    showEngineError(`${state.engineName} answered with "${uci}", which is not a legal move here. The game stops; take back or start a new one.`);
    draw();
    return;
  }
  draw(`${state.engineName} played ${played.san}.`);
}

function showBestMove(uci) {
  const san = lineToSan(state.game.fen(), [uci]);
  draw(san ? `${state.engineName}'s move here: ${san}.` : `${state.engineName} has no move here.`);
}

// After any change of position or sides: the engine moves when it is its turn.
function engineMoveIfItsTurn() {
  if (session && !state.search && !gameResult(state.game) && state.game.turn() !== state.userColor) startSearch('move');
}

function clearEngineLine() {
  for (const id of ['depth', 'score', 'nps', 'line']) $(id).textContent = '–';
}

function drawEngineLine({ info, nps, fen }) {
  if (info.depth !== undefined) $('depth').textContent = String(info.depth);
  if (info.score) $('score').textContent = scoreText(info.score, fen.split(' ')[1]);
  $('nps').textContent = npsText(nps) || '–';
  $('line').textContent = lineToSan(fen, info.pv) || '–';
}

function showEngineError(text) {
  $('engine-error').textContent = text;
  $('engine-error').hidden = false;
}

// --- the player's side -----------------------------------------------------

function legalMovesFrom(square) {
  return state.game.moves({ square, verbose: true });
}

function playUserMove(move) {
  let played;
  try {
    played = state.game.move(move);
  } catch {
    return false;
  }
  $('move-message').hidden = true;
  draw();
  engineMoveIfItsTurn();
  return played;
}

board.enableMoveInput((event) => {
  switch (event.type) {
    case INPUT_EVENT_TYPE.moveInputStarted: {
      if (!userMayMove()) return false;
      const moves = legalMovesFrom(event.squareFrom);
      board.removeLegalMovesMarkers();
      board.addLegalMovesMarkers(moves);
      return moves.length > 0;
    }
    case INPUT_EVENT_TYPE.validateMoveInput: {
      board.removeLegalMovesMarkers();
      const moves = legalMovesFrom(event.squareFrom).filter((move) => move.to === event.squareTo);
      if (moves.length === 0) return false;
      if (moves.some((move) => move.promotion)) {
        board.showPromotionDialog(event.squareTo, state.userColor === 'w' ? COLOR.white : COLOR.black, (result) => {
          if (result.type === PROMOTION_DIALOG_RESULT_TYPE.pieceSelected)
            playUserMove({ from: event.squareFrom, to: event.squareTo, promotion: result.piece.charAt(1) });
          else board.setPosition(state.game.fen(), true);
        });
        return true;
      }
      // The board shows the move itself; drawing it again would restart the animation.
      setTimeout(() => playUserMove(moves[0]));
      return true;
    }
    case INPUT_EVENT_TYPE.moveInputCanceled:
      board.removeLegalMovesMarkers();
      return undefined;
    default:
      return undefined;
  }
});

$('move-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const text = $('move-input').value.trim();
  if (!userMayMove()) {
    showMoveMessage('It is not your turn to move.');
    return;
  }
  const move = uciToMove(text.toLowerCase()) ?? text;
  if (!playUserMove(move)) {
    showMoveMessage(`"${text}" is not a legal move here.`);
    return;
  }
  $('move-input').value = '';
});

function showMoveMessage(text) {
  $('move-message').textContent = text;
  $('move-message').hidden = false;
}

// --- buttons -------------------------------------------------------------

$('new-game').addEventListener('click', () => {
  cancelSearch();
  state.game = new Chess();
  state.startFen = null;
  state.userColor = $('side').value;
  clearEngineLine();
  draw(`New game: you play ${sideName(state.userColor)}.`);
  engineMoveIfItsTurn();
});

$('side').addEventListener('change', () => {
  state.userColor = $('side').value;
  // A search for the side the player has just taken over is not wanted.
  if (state.search?.kind === 'move' && state.game.turn() === state.userColor) cancelSearch();
  draw(`You play ${sideName(state.userColor)}.`);
  engineMoveIfItsTurn();
});

// Back to the player's last turn before their last move.
$('take-back').addEventListener('click', () => {
  cancelSearch();
  const history = state.game.history({ verbose: true });
  let undo = 0;
  while (undo < history.length && history[history.length - 1 - undo].color !== state.userColor) undo++;
  if (undo < history.length) undo++;
  else undo = 0;
  for (let i = 0; i < undo; i++) state.game.undo();
  draw(undo > 0 ? 'Move taken back.' : 'There is no move of yours to take back.');
  engineMoveIfItsTurn();
});

$('analyse').addEventListener('click', () => {
  if (!userMayMove()) return;
  startSearch('analysis');
});

$('stop').addEventListener('click', () => {
  if (state.search?.kind === 'analysis') session.stop(state.search.handle);
});

$('hash').addEventListener('change', () => session?.setHash($('hash').value));

$('fen-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const checked = checkFen($('fen-input').value);
  if (checked.error) {
    $('fen-message').textContent = `${checked.error} The game is unchanged.`;
    $('fen-message').hidden = false;
    return;
  }
  $('fen-message').hidden = true;
  cancelSearch();
  state.game = new Chess(checked.fen);
  state.startFen = checked.fen;
  clearEngineLine();
  draw('Position set up.');
  engineMoveIfItsTurn();
});

let copyMessageTimer = 0;
$('copy-pgn').addEventListener('click', async () => {
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
});

// --- drawing -------------------------------------------------------------

function draw(news) {
  const { game } = state;
  const result = gameResult(game);
  board.setPosition(game.fen(), true);
  const orientation = state.userColor === 'w' ? COLOR.white : COLOR.black;
  if (board.getOrientation() !== orientation) board.setOrientation(orientation);
  drawMoves();
  const last = game.history({ verbose: true }).at(-1);
  board.removeMarkers(MARKER_TYPE.square);
  if (last) for (const square of [last.from, last.to]) board.addMarker(MARKER_TYPE.square, square);

  let status;
  if (state.search?.kind === 'analysis') status = 'Analysing. Press Stop for the engine\'s move.';
  else if (state.search) status = `${state.engineName} is thinking…`;
  else if (result) status = 'The game is over.';
  else if (game.turn() === state.userColor) status = `Your move (${sideName(state.userColor)}).`;
  else status = `${state.engineName} to move.`;
  if (!session) status = state.engineFailed ? 'The engine is not running.' : 'Starting the engine…';
  $('status').textContent = news && !state.search ? `${news} ${status}` : status;

  $('result').hidden = !result;
  $('result').textContent = result ? `${result.score}: ${result.reason}.` : '';

  $('take-back').disabled = !session || !game.history({ verbose: true }).some((move) => move.color === state.userColor);
  $('analyse').disabled = !userMayMove();
  $('stop').disabled = state.search?.kind !== 'analysis';
  $('pgn').value = pgnText(result);
  if (!$('fen-input').matches(':focus')) $('fen-input').value = game.fen();
}

function drawMoves() {
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
  list.lastElementChild?.scrollIntoView({ block: 'nearest' });
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

// --- start ---------------------------------------------------------------

// The engine is gone: nothing waits for it any more, and the page says why.
function engineGone(message) {
  state.engineFailed = true;
  session = null;
  stopDrawing(state.search);
  state.search = null;
  showEngineError(message);
  draw();
}

draw();
createEngine({
  onLine: (line) => session?.receive(line),
  onExit: (status) => engineGone(`The engine stopped (exit status ${status}). Reload the page to start it again.`),
  onError: (error) => engineGone(error.message),
})
  .then(async (engine) => {
    const starting = new UciSession((line) => engine.send(line));
    session = starting;
    await starting.start();
    starting.setHash($('hash').value);
    draw();
    engineMoveIfItsTurn();
  })
  .catch((error) => engineGone(error.message));
