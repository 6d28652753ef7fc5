// The page: a game against the engine or an analysis. This module wires the
// board, the clocks, the engine panel, the game record and the settings
// together, and holds what happens on a move and on each button.
import { Chess } from 'chess.js';
import { checkFen, gameResult, lineToSan, promotionWithoutPiece, uciToMove } from './chess_text.js';
import { $, atGameEnd, gameMoves, shownFen, shownPly, sideName, state } from './page_state.js';
import { askPromotion, createBoard, drawBoard } from './board_view.js';
import { drawClocks, startTicking } from './clock_view.js';
import { flagResult, left, moveMade, newClocks, start, stop, timeControl } from './clock.js';
import { cancelSearch, clearEngineLine, showEngineError, startEngine, startSearch, stopAnalysis } from './engine_panel.js';
import { drawMoves, drawPgn, forgetUndoneSideChanges, recordSideChange, restoreGame, saveGame, setUpRecord, startRecord } from './game_record.js';
import { searchFor } from './levels.js';
import { chosenClock, chosenHash, chosenLevel, chosenMoveTime, chosenSide, drawSettings, setUpSettings } from './settings.js';
import { drawEngineView } from './engine_view.js';
import { drawNavigation, setUpNavigation, showPly } from './game_navigation.js';
import { drawGraph, setUpGraph } from './eval_graph.js';
import { cancelReview, drawReview, setUpReview } from './review_panel.js';
import { setUpPgnPanel } from './pgn_panel.js';
import { prepareServiceWorker } from './offline.js';

// How the game ended (by the rules, a resignation or a flag fall), or null.
const result = () => state.ended ?? gameResult(state.game);

// The engine is free for the game: started, not searching, not reviewing.
const engineFree = () => state.session !== null && state.search === null && state.reviewing === null;

// The engine is there, idle, and the game goes on.
function engineIdle() {
  return engineFree() && !result();
}

function userMayMove() {
  return engineIdle() && atGameEnd() && state.game.turn() === state.userColor;
}

// A game on the clock is played out: no looking back, analysis or review until it ends.
const onTheClock = () => state.clocks !== null && !result();

// The position shown, whoever is to move, unless the game is over there.
function mayAnalyse() {
  return engineFree() && !onTheClock() && !(atGameEnd() ? result() : gameResult(new Chess(shownFen())));
}

// --- the engine's side ---------------------------------------------------

function clockReading() {
  const { clocks } = state;
  if (!clocks) return null;
  const now = performance.now();
  return { white: left(clocks, 'w', now), black: left(clocks, 'b', now), increment: clocks.increment };
}

function search(kind) {
  const { go, stopAfter } = kind === 'move'
    ? searchFor(chosenLevel(), { moveTime: chosenMoveTime(), clock: clockReading(), turn: state.game.turn() })
    : { go: 'infinite', stopAfter: null };
  startSearch(kind, { go, stopAfter, onStart: () => draw(), onBestMove });
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
  if (!clockTakesMove()) return;
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

// --- the clocks ----------------------------------------------------------

// Clocks for a game that starts now with the side to move, per the Clock select.
function freshClocks() {
  const control = timeControl(chosenClock());
  state.clocks = control ? newClocks(control) : null;
  if (state.clocks) start(state.clocks, state.game.turn(), performance.now());
}

// The move just made on the game stops its mover's clock; one made after
// the flag fell is taken back and the flag decides. False then.
function clockTakesMove() {
  const { clocks } = state;
  if (!clocks?.running || moveMade(clocks, performance.now())) return true;
  const mover = state.game.turn() === 'w' ? 'b' : 'w';
  state.game.undo();
  flagFell(mover);
  return false;
}

function flagFell(color) {
  if (state.ended || !state.clocks) return;
  stop(state.clocks, performance.now());
  state.clocks.left[color] = 0;
  cancelSearch();
  state.ended = flagResult(state.game.board().flat().filter(Boolean), color);
  draw();
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
  if (!clockTakesMove()) return played;
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

// --- buttons and settings ----------------------------------------------------

// A game from `fen` (null: the initial position): nothing of the last one
// stays, its view and review included. A loaded game ({ moves, headers }) is
// shown from its start, off the clock.
function beginGame(fen, news, loaded = null) {
  cancelSearch();
  cancelReview();
  state.game = fen ? new Chess(fen) : new Chess();
  for (const move of loaded?.moves ?? []) state.game.move(move.san);
  state.startFen = fen;
  state.headers = loaded?.headers ?? null;
  state.viewPly = loaded?.moves.length ? 0 : null;
  state.ended = null;
  if (loaded) state.clocks = null;
  else freshClocks();
  startRecord(state.userColor);
  clearEngineLine();
  draw(news);
}

$('new-game').addEventListener('click', () => {
  state.userColor = chosenSide();
  beginGame(null, `New game: you play ${sideName(state.userColor)}.`);
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
  onLevel: () => draw('The level counts from the engine\'s next move.'),
  // Before the first move the new clock applies at once, later from the next game.
  onClock: () => {
    if (gameMoves().length === 0 && !result()) {
      freshClocks();
      draw('Clock set.');
    } else draw('The clock applies from the next new game.');
  },
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

$('flip').addEventListener('click', () => {
  state.flipped = !state.flipped;
  draw();
});

$('resign').addEventListener('click', () => {
  if (result()) return;
  cancelSearch();
  if (state.clocks) stop(state.clocks, performance.now());
  const winner = state.userColor === 'w' ? 'b' : 'w';
  state.ended = { score: winner === 'w' ? '1-0' : '0-1', reason: `You resigned: ${sideName(winner)} wins` };
  draw();
});

$('fen-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const checked = checkFen($('fen-input').value);
  if (checked.error) {
    $('fen-message').textContent = `${checked.error} The game is unchanged.`;
    $('fen-message').hidden = false;
    return;
  }
  $('fen-message').hidden = true;
  beginGame(checked.fen, 'Position set up.');
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
  mayLookBack: () => !onTheClock(),
  onShowPly: showOtherPosition,
  onContinue: () => {
    cancelSearch();
    cancelReview();
    state.ended = null;
    draw('Later moves dropped: play goes on from here.');
    engineMoveIfItsTurn();
  },
});
setUpGraph({ onSelectPly: showPly });
setUpReview({
  mayReview: () => engineFree() && !onTheClock(),
  onSelectPly: showPly,
  onChange: () => draw(),
});

// A game from a PGN is shown from its start; the engine plays in it only
// after a move of the player's, Continue from here or Let Vargul move.
setUpPgnPanel({
  onLoad: ({ headers, startFen, moves, result: score }) => {
    beginGame(startFen, `Game loaded: ${headers.White ?? '?'} \u2013 ${headers.Black ?? '?'}, ${moves.length} half-moves.`,
      { moves, headers: { ...headers, Result: score } });
  },
});

// --- drawing -------------------------------------------------------------

// `animate`: the engine's move slides into place; anything else (the
// player's own move, a new game, a take back) is drawn at once.
function draw(news, { animate = false } = {}) {
  const { game } = state;
  const ended = result();
  if (ended && state.clocks?.running) stop(state.clocks, performance.now());
  drawBoard(animate);
  drawMoves();
  drawClocks();
  drawSettings({ clocked: state.clocks !== null });

  let status;
  if (state.reviewing) status = `${state.engineName} is reviewing the game…`;
  else if (state.search?.kind === 'analysis') status = 'Analysing. Press Stop for the engine\'s move.';
  else if (state.search) status = `${state.engineName} is thinking…`;
  else if (!atGameEnd()) status = lookingBackText();
  else if (ended) status = 'The game is over.';
  else if (game.turn() === state.userColor) status = `Your move (${sideName(state.userColor)}).`;
  else status = `${state.engineName} to move: press Let Vargul move${state.clocks ? '' : ', or Analyse'}.`;
  if (!state.session) status = state.engineFailed ? 'The engine is not running.' : 'Starting the engine…';
  $('status').textContent = news && !state.search ? `${news} ${status}` : status;

  $('result').hidden = !ended;
  $('result').textContent = ended ? `${ended.score}: ${ended.reason}.` : '';

  // A game on the clock is played out: no take backs, no analysis until it ends.
  $('take-back').disabled = !state.session || state.clocks !== null || state.ended !== null ||
    !gameMoves().some((move) => move.color === state.userColor);
  $('analyse').disabled = !mayAnalyse();
  $('engine-move').disabled = !engineIdle() || !atGameEnd() || game.turn() === state.userColor;
  $('stop').disabled = state.search?.kind !== 'analysis';
  $('resign').disabled = Boolean(ended);
  drawPgn(ended);
  if (!$('fen-input').matches(':focus')) $('fen-input').value = shownFen();
  drawNavigation(!onTheClock());
  drawEngineView();
  drawGraph();
  drawReview(!onTheClock());
  saveGame();
}

function lookingBackText() {
  const ply = shownPly();
  if (ply === 0) return 'The game\'s start position. Press End to return to the game.';
  const move = gameMoves()[ply - 1];
  const number = `${Number(move.before.split(' ')[5])}${move.color === 'w' ? '.' : '...'}`;
  return `After ${number} ${move.san} (half-move ${ply} of ${gameMoves().length}). Press End to return to the game.`;
}

// --- start ---------------------------------------------------------------

if (!restoreGame()) {
  state.userColor = chosenSide();
  startRecord(state.userColor);
  freshClocks();
}
startTicking(flagFell);
addEventListener('pagehide', saveGame);
draw();
await prepareServiceWorker();
startEngine({
  hash: chosenHash(),
  // A game brought back by a reload goes on, unless it is a position set up
  // with the engine to move, which waits as it did before.
  onReady: () => {
    draw();
    if (!state.startFen || gameMoves().length > 0) engineMoveIfItsTurn();
  },
  // An engine that never started leaves nothing to play with: the message
  // stands instead of the board. One that stopped mid-game leaves its game.
  onGone: ({ atStart }) => {
    document.querySelector('main').hidden = atStart;
    draw();
  },
});
