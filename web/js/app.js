// The page: a game against the engine or an analysis. This module wires the
// board, the engine panel, the game record and the settings together, and
// holds what happens on a move and on each button.
import { Chess } from 'chess.js';
import { checkFen, gameResult, lineToSan, promotionWithoutPiece, uciToMove } from './chess_text.js';
import { $, atGameEnd, gameMoves, shownFen, shownPly, sideName, state } from './page_state.js';
import { askPromotion, createBoard, drawBoard } from './board_view.js';
import { cancelSearch, clearEngineLine, showEngineError, startEngine, startSearch, stopAnalysis } from './engine_panel.js';
import { drawMoves, drawPgn, setUpRecord } from './game_record.js';
import { chosenHash, chosenMoveTime, chosenSide, setUpSettings } from './settings.js';
import { drawEngineView } from './engine_view.js';
import { drawNavigation, setUpNavigation, showPly } from './game_navigation.js';
import { drawGraph, setUpGraph } from './eval_graph.js';
import { cancelReview, drawReview, setUpReview } from './review_panel.js';
import { setUpPgnPanel } from './pgn_panel.js';
import { prepareServiceWorker } from './offline.js';

// The engine is free for the game: started, not searching, not reviewing.
const engineFree = () => state.session !== null && state.search === null && state.reviewing === null;

function userMayMove() {
  return engineFree() && atGameEnd() && !gameResult(state.game) && state.game.turn() === state.userColor;
}

// At the game's end as in play; a position looked back at, whoever is to move.
function mayAnalyse() {
  if (!atGameEnd()) return engineFree() && !gameResult(new Chess(shownFen()));
  return userMayMove();
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
  const san = lineToSan(shownFen(), [uci]);
  draw(san ? `${state.engineName}'s move here: ${san}.` : `${state.engineName} has no move here.`);
}

// After any change of position or sides: the engine moves when it is its turn.
function engineMoveIfItsTurn() {
  if (engineFree() && atGameEnd() && !state.engineWaits && !gameResult(state.game) && state.game.turn() !== state.userColor) search('move');
}

// --- the player's side -----------------------------------------------------

function playUserMove(move) {
  let played;
  try {
    played = state.game.move(move);
  } catch {
    return false;
  }
  // A move of the player's on a loaded game takes it up: the engine answers.
  state.engineWaits = false;
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

// A game replaced: nothing of the old one's view or review stays.
function replaceGame(game, startFen, headers = null) {
  cancelSearch();
  cancelReview();
  state.game = game;
  state.startFen = startFen;
  state.headers = headers;
  state.viewPly = null;
  state.engineWaits = false;
  clearEngineLine();
}

$('new-game').addEventListener('click', () => {
  replaceGame(new Chess(), null);
  state.userColor = chosenSide();
  draw(`New game: you play ${sideName(state.userColor)}.`);
  engineMoveIfItsTurn();
});

setUpSettings({
  onSide: () => {
    state.userColor = chosenSide();
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
  cancelReview();
  state.viewPly = null;
  const history = gameMoves();
  let undo = 0;
  while (undo < history.length && history[history.length - 1 - undo].color !== state.userColor) undo++;
  if (undo < history.length) undo++;
  else undo = 0;
  for (let i = 0; i < undo; i++) state.game.undo();
  clearEngineLine();
  draw(undo > 0 ? 'Move taken back.' : 'There is no move of yours to take back.');
  engineMoveIfItsTurn();
});

$('analyse').addEventListener('click', () => {
  if (!mayAnalyse()) return;
  search('analysis');
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
  replaceGame(new Chess(checked.fen), checked.fen);
  draw('Position set up.');
  engineMoveIfItsTurn();
});

// Looking back stops the engine's search: it is about another position, and
// the engine does not play while the game is looked back at.
function showOtherPosition() {
  cancelSearch();
  draw(undefined, { animate: true });
  engineMoveIfItsTurn();
}

setUpRecord({ onSelectPly: showPly });
setUpNavigation({
  onShowPly: showOtherPosition,
  onContinue: () => {
    cancelSearch();
    draw('Later moves dropped: play goes on from here.');
    engineMoveIfItsTurn();
  },
});
setUpGraph({ onSelectPly: showPly });
setUpReview({
  mayReview: engineFree,
  onSelectPly: showPly,
  onChange: () => {
    draw();
    engineMoveIfItsTurn();
  },
});

// A game from a PGN is shown from its start; the engine waits until play goes
// on, by a move of the player's or Continue from here.
setUpPgnPanel({
  onLoad: ({ headers, startFen, moves, result }) => {
    const game = new Chess(startFen ?? undefined);
    for (const move of moves) game.move(move.san);
    replaceGame(game, startFen, { ...headers, Result: result });
    state.viewPly = moves.length > 0 ? 0 : null;
    state.engineWaits = true;
    draw(`Game loaded: ${headers.White ?? '?'} \u2013 ${headers.Black ?? '?'}, ${moves.length} half-moves.`);
  },
});

// --- drawing -------------------------------------------------------------

// `animate`: the engine's move slides into place; anything else (the
// player's own move, a new game, a take back) is drawn at once.
function draw(news, { animate = false } = {}) {
  const { game } = state;
  const result = gameResult(game);
  drawBoard(animate);
  drawMoves();

  let status;
  if (state.reviewing) status = `${state.engineName} is reviewing the game…`;
  else if (state.search?.kind === 'analysis') status = 'Analysing. Press Stop for the engine\'s move.';
  else if (state.search) status = `${state.engineName} is thinking…`;
  else if (!atGameEnd()) status = lookingBackText();
  else if (result) status = 'The game is over.';
  else if (game.turn() === state.userColor) status = `Your move (${sideName(state.userColor)}).`;
  else if (state.engineWaits) status = `${state.engineName} to move: press Continue from here to let it play.`;
  else status = `${state.engineName} to move.`;
  if (!state.session) status = state.engineFailed ? 'The engine is not running.' : 'Starting the engine…';
  $('status').textContent = news && !state.search ? `${news} ${status}` : status;

  $('result').hidden = !result;
  $('result').textContent = result ? `${result.score}: ${result.reason}.` : '';

  $('take-back').disabled = !state.session || !gameMoves().some((move) => move.color === state.userColor);
  $('analyse').disabled = !mayAnalyse();
  $('stop').disabled = state.search?.kind !== 'analysis';
  drawPgn(result);
  if (!$('fen-input').matches(':focus')) $('fen-input').value = shownFen();
  drawNavigation();
  drawEngineView();
  drawGraph();
  drawReview();
}

function lookingBackText() {
  const ply = shownPly();
  if (ply === 0) return 'The game\'s start position. Press End to return to the game.';
  const move = gameMoves()[ply - 1];
  const number = `${Number(move.before.split(' ')[5])}${move.color === 'w' ? '.' : '...'}`;
  return `After ${number} ${move.san} (half-move ${ply} of ${gameMoves().length}). Press End to return to the game.`;
}

// --- start ---------------------------------------------------------------

draw();
await prepareServiceWorker();
startEngine({
  hash: chosenHash(),
  onReady: () => {
    draw();
    engineMoveIfItsTurn();
  },
  onGone: () => draw(),
});
