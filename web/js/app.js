// The page: a game against the engine or an analysis. This module wires the
// board, the engine panel, the game record and the settings together, and
// holds what happens on a move and on each button.
import { Chess } from 'chess.js';
import { checkFen, gameResult, lineToSan, promotionWithoutPiece, uciToMove } from './chess_text.js';
import { $, atGameEnd, gameMoves, shownFen, shownPly, sideName, state } from './page_state.js';
import { askPromotion, createBoard, drawBoard } from './board_view.js';
import { cancelSearch, clearEngineLine, showEngineError, startEngine, startSearch, stopAnalysis } from './engine_panel.js';
import { drawMoves, drawPgn, forgetUndoneSideChanges, recordSideChange, setUpRecord, startRecord } from './game_record.js';
import { chosenHash, chosenMoveTime, chosenSide, setUpSettings } from './settings.js';
import { drawEngineView } from './engine_view.js';
import { drawNavigation, setUpNavigation, showPly } from './game_navigation.js';
import { drawGraph, setUpGraph } from './eval_graph.js';
import { cancelReview, drawReview, setUpReview } from './review_panel.js';
import { setUpPgnPanel } from './pgn_panel.js';
import { prepareServiceWorker } from './offline.js';

// The engine is free for the game: started, not searching, not reviewing.
const engineFree = () => state.session !== null && state.search === null && state.reviewing === null;

// The engine is there, idle, and the game goes on.
function engineIdle() {
  return engineFree() && !gameResult(state.game);
}

function userMayMove() {
  return engineIdle() && atGameEnd() && state.game.turn() === state.userColor;
}

// The position shown, whoever is to move, unless the game is over there.
function mayAnalyse() {
  return engineFree() && !gameResult(atGameEnd() ? state.game : new Chess(shownFen()));
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
  if (engineIdle() && atGameEnd() && state.game.turn() !== state.userColor) search('move');
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

// A game replaced: nothing of the old one's view or review stays.
function replaceGame(game, startFen, headers = null) {
  cancelSearch();
  cancelReview();
  state.game = game;
  state.startFen = startFen;
  state.headers = headers;
  state.viewPly = null;
  startRecord(state.userColor);
  clearEngineLine();
}

$('new-game').addEventListener('click', () => {
  state.userColor = chosenSide();
  replaceGame(new Chess(), null);
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
  cancelReview();
  state.viewPly = null;
  const history = gameMoves();
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
  if (mayAnalyse()) search('analysis');
});

// After a position is set up or loaded, or analysed, with the engine to move,
// it plays only when asked.
$('engine-move').addEventListener('click', () => {
  if (engineIdle() && atGameEnd() && state.game.turn() !== state.userColor) search('move');
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
});

// Looking back stops the engine's search: it is about another position, and
// the engine does not play while the game is looked back at; back at the end,
// it plays when asked (Let Vargul move).
function showOtherPosition() {
  cancelSearch();
  draw(undefined, { animate: true });
}

setUpRecord({ onSelectPly: showPly });
setUpNavigation({
  onShowPly: showOtherPosition,
  onContinue: () => {
    cancelSearch();
    cancelReview();
    draw('Later moves dropped: play goes on from here.');
    engineMoveIfItsTurn();
  },
});
setUpGraph({ onSelectPly: showPly });
setUpReview({
  mayReview: engineFree,
  onSelectPly: showPly,
  onChange: () => draw(),
});

// A game from a PGN is shown from its start; the engine plays in it only
// after a move of the player's, Continue from here or Let Vargul move.
setUpPgnPanel({
  onLoad: ({ headers, startFen, moves, result }) => {
    const game = new Chess(startFen ?? undefined);
    for (const move of moves) game.move(move.san);
    replaceGame(game, startFen, { ...headers, Result: result });
    state.viewPly = moves.length > 0 ? 0 : null;
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
  else status = `${state.engineName} to move: press Let Vargul move, or Analyse.`;
  if (!state.session) status = state.engineFailed ? 'The engine is not running.' : 'Starting the engine…';
  $('status').textContent = news && !state.search ? `${news} ${status}` : status;

  $('result').hidden = !result;
  $('result').textContent = result ? `${result.score}: ${result.reason}.` : '';

  $('take-back').disabled = !state.session || !gameMoves().some((move) => move.color === state.userColor);
  $('analyse').disabled = !mayAnalyse();
  $('engine-move').disabled = !engineIdle() || !atGameEnd() || game.turn() === state.userColor;
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
  // An engine that never started leaves nothing to play with: the message
  // stands instead of the board. One that stopped mid-game leaves its game.
  onGone: ({ atStart }) => {
    document.querySelector('main').hidden = atStart;
    draw();
  },
});
