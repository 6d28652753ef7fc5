// The engine's view of the position shown: the evaluation bar beside the
// board, the arrow of its move on it, and that move in words. It comes from
// the engine's latest report on this position, else from the game's review.
import { drawArrow } from './board_view.js';
import { lineToSan } from './chess_text.js';
import { barShare, barText, whiteView } from './review.js';
import { $, currentReview, shownFen, shownPly, state } from './page_state.js';

let live = null; // the engine's latest report: { fen, evaluation, move }

// From the engine panel, for each report it draws.
export function showEngineReport(fen, info) {
  if (!info.score || info.pv.length === 0) return;
  live = { fen, evaluation: whiteView(info.score, fen.split(' ')[1]), move: info.pv[0] };
  drawEngineView();
}

function viewOfShownPosition() {
  const fen = shownFen();
  if (live?.fen === fen) return live;
  const reviewed = currentReview()?.positions[shownPly()];
  return reviewed ? { fen, evaluation: reviewed.evaluation, move: reviewed.best } : { fen };
}

export function drawEngineView() {
  const { fen, evaluation, move } = viewOfShownPosition();
  const bar = $('eval-bar');
  const share = evaluation ? barShare(evaluation) : 0.5;
  bar.querySelector('.eval-black').style.height = `${(100 * (1 - share)).toFixed(1)}%`;
  bar.querySelector('.eval-text').textContent = evaluation ? barText(evaluation) : '–';
  bar.classList.toggle('flipped', state.userColor === 'b');
  bar.setAttribute('aria-valuenow', String(Math.round(100 * share)));
  bar.setAttribute('aria-valuetext', evaluation ? barText(evaluation) : 'no evaluation');
  const san = move ? lineToSan(fen, [move]).replace(/^\d+\.+ /, '') : '';
  $('best-move').textContent = `Engine's move: ${san || '–'}`;
  drawArrow(san ? move : null);
}
