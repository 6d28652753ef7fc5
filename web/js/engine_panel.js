// The engine: started in its worker, asked for a move or an analysis, and its
// line (depth, score, speed, moves) shown in the panel while it thinks.
import { createEngine } from '../engine/engine.js';
import { UciSession } from './uci_session.js';
import { lineToSan, npsText, parseInfo, scoreText } from './chess_text.js';
import { $, gameMoves, shownFen, shownPly, state } from './page_state.js';
import { showEngineReport } from './engine_view.js';

function uciMoves() {
  return gameMoves().slice(0, shownPly()).map((move) => move.lan);
}

// A search of the position shown: kind 'move' with the go words given,
// 'analysis' with "infinite" until Stop. stopAfter: ms after which the page
// stops it (null: never). onBestMove(uci, kind) comes after state.search is
// cleared; onStart() after it is set.
export function startSearch(kind, { go, stopAfter = null, onStart, onBestMove }) {
  const fen = shownFen();
  const shown = { info: null, nps: null, fen, frame: 0 };
  clearEngineLine();
  const search = { handle: null, kind, shown };
  search.handle = state.session.search({
    fen: state.startFen,
    moves: uciMoves(),
    go,
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
      onBestMove(uci, kind);
    },
  });
  state.search = search;
  // Only a search under way is stopped: one still waiting would never start.
  if (stopAfter !== null)
    setTimeout(() => state.session?.searching === search.handle && state.session.stop(search.handle), stopAfter);
  onStart();
}

// A frame asked for by the last info line would draw it after the search is
// over: over the cleared line of a new position, say.
function stopDrawing(search) {
  if (search?.shown.frame) cancelAnimationFrame(search.shown.frame);
  if (search) search.shown.frame = 0;
}

export function cancelSearch() {
  if (state.search) state.search.handle.cancel();
  stopDrawing(state.search);
  state.search = null;
}

export function stopAnalysis() {
  if (state.search?.kind === 'analysis') state.session.stop(state.search.handle);
}

export function clearEngineLine() {
  for (const id of ['depth', 'score', 'nps', 'line']) $(id).textContent = '–';
}

function drawEngineLine({ info, nps, fen }) {
  if (info.depth !== undefined) $('depth').textContent = String(info.depth);
  if (info.score) $('score').textContent = scoreText(info.score, fen.split(' ')[1]);
  $('nps').textContent = npsText(nps) || '–';
  $('line').textContent = lineToSan(fen, info.pv) || '–';
  showEngineReport(fen, info);
}

export function showEngineError(text) {
  $('engine-error').textContent = text;
  $('engine-error').hidden = false;
}

// Starts the engine with the given Hash; onReady() once it answers,
// onGone({ atStart }) when it could not start or has stopped (the reason is
// shown already).
export function startEngine({ hash, onReady, onGone }) {
  // The engine is gone: nothing waits for it any more, and the page says why.
  const gone = (message, atStart = false) => {
    state.engineFailed = true;
    state.session = null;
    stopDrawing(state.search);
    state.search = null;
    showEngineError(message);
    onGone({ atStart });
  };
  createEngine({
    onLine: (line) => state.session?.receive(line),
    onExit: (status) => gone(`The engine stopped (exit status ${status}). Reload the page to start it again.`),
    onError: (error) => gone(error.message),
  })
    .then(async (engine) => {
      const starting = new UciSession((line) => engine.send(line));
      state.session = starting;
      await starting.start();
      starting.setHash(hash);
      onReady();
    })
    .catch((error) => gone(error.message, true));
}
