// The page: a game against the engine or an analysis. This module wires the
// board, the clocks, the engine panel, the game record and the settings
// together, and holds what happens on a move and on each button.
import { Chess } from 'chess.js';
import { checkFen, gameResult, lineToSan, promotionWithoutPiece, uciToMove } from './chess_text.js';
import { $, sideName, state } from './page_state.js';
import { askPromotion, createBoard, drawBoard } from './board_view.js';
import { drawClocks, startTicking } from './clock_view.js';
import { flagResult, left, moveMade, newClocks, start, stop, timeControl } from './clock.js';
import { cancelSearch, clearEngineLine, showEngineError, startEngine, startSearch, stopAnalysis } from './engine_panel.js';
import { drawMoves, drawPgn, forgetUndoneSideChanges, recordSideChange, restoreGame, saveGame, setUpRecord, startRecord } from './game_record.js';
import { searchFor } from './levels.js';
import { chosenClock, chosenHash, chosenLevel, chosenMoveTime, chosenSide, drawSettings, setUpSettings } from './settings.js';

// How the game ended (by the rules, a resignation or a flag fall), or null.
const result = () => state.ended ?? gameResult(state.game);

// The engine is there, idle, and the game goes on.
function engineIdle() {
  return state.session !== null && state.search === null && !result();
}

function userMayMove() {
  return engineIdle() && state.game.turn() === state.userColor;
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
  const san = lineToSan(state.game.fen(), [uci]);
  draw(san ? `${state.engineName}'s move here: ${san}.` : `${state.engineName} has no move here.`);
}

// After any change of position or sides: the engine moves when it is its turn.
function engineMoveIfItsTurn() {
  if (engineIdle() && state.game.turn() !== state.userColor) search('move');
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

// A game from `fen` (null: the initial position): nothing of the last one stays.
function beginGame(fen, news) {
  cancelSearch();
  state.game = fen ? new Chess(fen) : new Chess();
  state.startFen = fen;
  state.ended = null;
  freshClocks();
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
    if (state.game.history().length === 0 && !result()) {
      freshClocks();
      draw('Clock set.');
    } else draw('The clock applies from the next new game.');
  },
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
  if (engineIdle() && !state.clocks) search('analysis');
});

// After a position is set up or analysed with the engine to move, it plays
// only when asked.
$('engine-move').addEventListener('click', () => {
  if (engineIdle() && state.game.turn() !== state.userColor) search('move');
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

setUpRecord();

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
  if (state.search?.kind === 'analysis') status = 'Analysing. Press Stop for the engine\'s move.';
  else if (state.search) status = `${state.engineName} is thinking…`;
  else if (ended) status = 'The game is over.';
  else if (game.turn() === state.userColor) status = `Your move (${sideName(state.userColor)}).`;
  else status = `${state.engineName} to move: press Let Vargul move${state.clocks ? '' : ', or Analyse'}.`;
  if (!state.session) status = state.engineFailed ? 'The engine is not running.' : 'Starting the engine…';
  $('status').textContent = news && !state.search ? `${news} ${status}` : status;

  $('result').hidden = !ended;
  $('result').textContent = ended ? `${ended.score}: ${ended.reason}.` : '';

  // A game on the clock is played out: no take backs, no analysis until it ends.
  $('take-back').disabled = !state.session || state.clocks !== null || state.ended !== null ||
    !game.history({ verbose: true }).some((move) => move.color === state.userColor);
  $('analyse').disabled = !engineIdle() || state.clocks !== null;
  $('engine-move').disabled = !engineIdle() || game.turn() === state.userColor;
  $('stop').disabled = state.search?.kind !== 'analysis';
  $('resign').disabled = Boolean(ended);
  drawPgn(ended);
  if (!$('fen-input').matches(':focus')) $('fen-input').value = game.fen();
  saveGame();
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
startEngine({
  hash: chosenHash(),
  // A game brought back by a reload goes on, unless it is a position set up
  // with the engine to move, which waits as it did before.
  onReady: () => {
    draw();
    if (!state.startFen || state.game.history().length > 0) engineMoveIfItsTurn();
  },
  // An engine that never started leaves nothing to play with: the message
  // stands instead of the board. One that stopped mid-game leaves its game.
  onGone: ({ atStart }) => {
    document.querySelector('main').hidden = atStart;
    draw();
  },
});
