// The review on the page: "Review game" at the chosen time per position, its
// progress and Cancel, then a summary per side and the marked moves, each with
// the engine's better move and line.
import { lineToSan } from './chess_text.js';
import { reviewGame } from './game_review.js';
import { $, currentReview, gameKey, gameMoves, sideName, state } from './page_state.js';

const capitalised = (word) => word[0].toUpperCase() + word.slice(1);

// The engine's better move and its line, in SAN, from the position before move i.
function betterLine(i, position) {
  const fen = gameMoves()[i].before;
  const line = lineToSan(fen, position.pv);
  return { move: lineToSan(fen, [position.best]).replace(/^\d+\.+ /, ''), line };
}

// For the PGN: each move's evaluation, mark, and for a marked move the better line.
export function reviewNotes() {
  const review = currentReview();
  if (!review) return [];
  return review.judgements.map((judgement, i) => {
    const note = { evaluation: review.positions[i + 1].evaluation, nag: judgement.mark?.nag };
    if (judgement.mark) {
      const better = betterLine(i, review.positions[i]);
      note.comment = `${capitalised(judgement.mark.name)}: ${Math.round(judgement.drop)} points of winning chance lost. ` +
        `Better was ${better.move} (${better.line}).`;
    }
    return note;
  });
}

export function cancelReview() {
  state.reviewing?.cancel();
  state.reviewing = null;
}

// onChange(): the review started, moved on, ended or was cancelled;
// onSelectPly(ply): a marked move was chosen; mayReview(): the engine is free.
export function setUpReview({ onChange, onSelectPly, mayReview }) {
  $('review').addEventListener('click', () => {
    if (!mayReview()) return;
    startReview(onChange);
  });
  $('review-cancel').addEventListener('click', () => {
    cancelReview();
    $('review-progress-text').textContent = 'Review cancelled.';
    onChange();
  });
  $('review-marks').addEventListener('click', (event) => {
    const button = event.target.closest('button[data-ply]');
    if (button) onSelectPly(Number(button.dataset.ply));
  });
}

function startReview(onChange) {
  const key = gameKey();
  const moves = gameMoves();
  const total = moves.length + 1;
  const review = reviewGame({
    session: state.session,
    startFen: state.startFen,
    moves,
    movetime: Number($('review-time').value),
    onProgress: (done) => {
      $('review-progress').value = done / total;
      $('review-progress-text').textContent = `${done} of ${total} positions`;
    },
  });
  state.reviewing = review;
  $('review-progress').value = 0;
  $('review-progress-text').textContent = `0 of ${total} positions`;
  onChange();
  review.done.then((result) => {
    if (state.reviewing !== review) return;
    state.reviewing = null;
    if (result) {
      state.review = { key, ...result };
      $('review-progress-text').textContent = 'Review done.';
    }
    onChange();
  });
}

// allowed: whether a review may start now (not during a game on the clock).
export function drawReview(allowed) {
  const reviewing = state.reviewing !== null;
  $('review').disabled = reviewing || !allowed || !state.session || state.search !== null || gameMoves().length === 0;
  $('review-cancel').hidden = !reviewing;
  $('review-progress-row').hidden = !reviewing;
  const review = currentReview();
  $('review-summary').hidden = !review;
  $('review-marks').replaceChildren();
  if (!review) return;
  drawSummary(review.summary);
  drawMarks(review);
}

function drawSummary(summary) {
  const rows = ['w', 'b'].map((color) => {
    const side = summary[color];
    const row = document.createElement('tr');
    const cells = [sideName(color), side.inaccuracies, side.mistakes, side.blunders, side.averageLoss];
    cells.forEach((value, i) => {
      const cell = document.createElement(i === 0 ? 'th' : 'td');
      if (i === 0) cell.scope = 'row';
      cell.textContent = String(value);
      row.append(cell);
    });
    return row;
  });
  $('review-summary').tBodies[0].replaceChildren(...rows);
}

function drawMarks(review) {
  const moves = gameMoves();
  review.judgements.forEach((judgement, i) => {
    if (!judgement.mark) return;
    const move = moves[i];
    const number = `${Number(move.before.split(' ')[5])}${move.color === 'w' ? '.' : '...'}`;
    const better = betterLine(i, review.positions[i]);
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.ply = String(i + 1);
    button.className = `move ${judgement.mark.name}`;
    button.textContent = `${number} ${move.san}${judgement.mark.nag}`;
    item.append(button, ` ${judgement.mark.name} (${Math.round(judgement.drop)} points lost). Better: ${better.move}, line ${better.line}.`);
    $('review-marks').append(item);
  });
  if ($('review-marks').children.length === 0) {
    const item = document.createElement('li');
    item.textContent = 'No move marked.';
    $('review-marks').append(item);
  }
}
