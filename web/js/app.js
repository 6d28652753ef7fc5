// The page: a game against the engine or an analysis. This module wires the
// board, the engine panel, the game record and the settings together, and
// holds what happens on a move and on each button.
import { Chess } from 'chess.js';
import { checkFen, gameResult, lineToSan, promotionWithoutPiece, uciToMove } from './chess_text.js';
import { $, sideName, state } from './page_state.js';
import { askPromotion, createBoard, drawBoard } from './board_view.js';
import { cancelSearch, clearEngineLine, showEngineError, startEngine, startSearch, stopAnalysis } from './engine_panel.js';
import { drawMoves, drawPgn, forgetUndoneSideChanges, recordSideChange, setUpRecord, startRecord } from './game_record.js';
import { chosenHash, chosenMoveTime, chosenSide, setUpSettings } from './settings.js';

// The engine is there, idle, and the game goes on.
function engineIdle() {
  return state.session !== null && state.search === null && !gameResult(state.game);
}

function userMayMove() {
  return engineIdle() && state.game.turn() === state.userColor;
}

// --- the engine's side ---------------------------------------------------

function search(kind) {
  startSearch(kind, { moveTime: chosenMoveTime(), onStart: () => draw(), onBestMove });
}

function onBestMove(uci, kind) {
  if (kind === 'move') playEngineMove(uci);
  else showBestMove(uci);
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
  draw(`${state.engineName} played ${played.san}.`, { animate: true });
}

function showBestMove(uci) {
  const san = lineToSan(state.game.fen(), [uci]);
  draw(san ? `${state.engineName}'s move here: ${san}.` : `${state.engineName} has no move here.`);
}

// After any change of position or sides: the engine moves when it is its turn.
function engineMoveIfItsTurn() {
  if (state.session && !state.search && !gameResult(state.game) && state.game.turn() !== state.userColor) search('move');
}

// --- the player's side -----------------------------------------------------

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

createBoard({ mayMove: userMayMove, onMove: playUserMove });

$('move-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const text = $('move-input').value.trim();
  if (!userMayMove()) {
    showMoveMessage('It is not your turn to move.');
    return;
  }
  const move = uciToMove(text.toLowerCase()) ?? text;
  const promotion = promotionWithoutPiece(state.game, text);
  if (promotion) {
    $('move-message').hidden = true;
    $('move-input').value = '';
    askPromotion(promotion.from, promotion.to, playUserMove);
    return;
  }
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
  state.userColor = chosenSide();
  startRecord(state.userColor);
  clearEngineLine();
  draw(`New game: you play ${sideName(state.userColor)}.`);
  engineMoveIfItsTurn();
});

setUpSettings({
  onSide: () => {
    state.userColor = chosenSide();
    recordSideChange(state.userColor);
    // A search for the side the player has just taken over is not wanted.
    if (state.search?.kind === 'move' && state.game.turn() === state.userColor) cancelSearch();
    draw(`You play ${sideName(state.userColor)}.`);
    engineMoveIfItsTurn();
  },
  onHash: (megabytes) => state.session?.setHash(megabytes),
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
  forgetUndoneSideChanges();
  clearEngineLine();
  draw(undo > 0 ? 'Move taken back.' : 'There is no move of yours to take back.');
  engineMoveIfItsTurn();
});

$('analyse').addEventListener('click', () => {
  if (engineIdle()) search('analysis');
});

// After a position is set up or analysed with the engine to move, it plays
// only when asked.
$('engine-move').addEventListener('click', () => {
  if (engineIdle() && state.game.turn() !== state.userColor) search('move');
});

$('stop').addEventListener('click', stopAnalysis);

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
  startRecord(state.userColor);
  clearEngineLine();
  draw('Position set up.');
});

setUpRecord();

// --- drawing -------------------------------------------------------------

// `animate`: the engine's move slides into place; anything else (the
// player's own move, a new game, a take back) is drawn at once.
function draw(news, { animate = false } = {}) {
  const { game } = state;
  const result = gameResult(game);
  drawBoard(animate);
  drawMoves();

  let status;
  if (state.search?.kind === 'analysis') status = 'Analysing. Press Stop for the engine\'s move.';
  else if (state.search) status = `${state.engineName} is thinking…`;
  else if (result) status = 'The game is over.';
  else if (game.turn() === state.userColor) status = `Your move (${sideName(state.userColor)}).`;
  else status = `${state.engineName} to move: press Let Vargul move, or Analyse.`;
  if (!state.session) status = state.engineFailed ? 'The engine is not running.' : 'Starting the engine…';
  $('status').textContent = news && !state.search ? `${news} ${status}` : status;

  $('result').hidden = !result;
  $('result').textContent = result ? `${result.score}: ${result.reason}.` : '';

  $('take-back').disabled = !state.session || !game.history({ verbose: true }).some((move) => move.color === state.userColor);
  $('analyse').disabled = !engineIdle();
  $('engine-move').disabled = !engineIdle() || game.turn() === state.userColor;
  $('stop').disabled = state.search?.kind !== 'analysis';
  drawPgn(result);
  if (!$('fen-input').matches(':focus')) $('fen-input').value = game.fen();
}

// --- start ---------------------------------------------------------------

draw();
startEngine({
  hash: chosenHash(),
  onReady: () => {
    draw();
    engineMoveIfItsTurn();
  },
  // An engine that never started leaves nothing to play with: the message
  // stands instead of the board. One that stopped mid-game leaves its game.
  onGone: ({ atStart }) => {
    document.querySelector('main').hidden = atStart;
    draw();
  },
});
