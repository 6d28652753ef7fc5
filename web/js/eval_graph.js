// The reviewed game's evaluation as a graph under the board: White's winning
// chance position by position (White's area from below), the marked moves as
// dots, the position shown as a line. A click or tap goes to that position.
import { barShare, barText } from './review.js';
import { $, currentReview, shownPly } from './page_state.js';

const SVG = 'http://www.w3.org/2000/svg';
const WIDTH = 600;
const HEIGHT = 120;

function element(name, attributes) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, String(value));
  return node;
}

// onSelectPly(ply): a point of the graph was chosen.
export function setUpGraph({ onSelectPly }) {
  $('eval-graph').addEventListener('click', (event) => {
    const svg = event.target.closest('svg');
    const review = currentReview();
    if (!svg || !review) return;
    const box = svg.getBoundingClientRect();
    const last = review.positions.length - 1;
    onSelectPly(Math.round(((event.clientX - box.left) / box.width) * last));
  });
}

export function drawGraph() {
  const figure = $('eval-graph');
  const review = currentReview();
  figure.hidden = !review;
  figure.querySelector('svg')?.remove();
  if (!review) return;
  const last = Math.max(1, review.positions.length - 1);
  const x = (ply) => (ply / last) * WIDTH;
  const y = (evaluation) => (1 - barShare(evaluation)) * HEIGHT;
  const svg = element('svg', {
    viewBox: `0 0 ${WIDTH} ${HEIGHT}`,
    preserveAspectRatio: 'none',
    role: 'img',
    'aria-label': `Evaluation graph of ${review.positions.length} positions; the moves list goes to each of them too`,
  });
  const points = review.positions.map((position, ply) => `${x(ply).toFixed(1)},${y(position.evaluation).toFixed(1)}`);
  svg.append(
    element('rect', { class: 'graph-black', width: WIDTH, height: HEIGHT }),
    element('polygon', { class: 'graph-white', points: `0,${HEIGHT} ${points.join(' ')} ${WIDTH},${HEIGHT}` }),
    element('line', { class: 'graph-middle', x1: 0, x2: WIDTH, y1: HEIGHT / 2, y2: HEIGHT / 2 }),
    element('line', { class: 'graph-shown', x1: x(shownPly()), x2: x(shownPly()), y1: 0, y2: HEIGHT }),
  );
  review.judgements.forEach((judgement, i) => {
    if (!judgement.mark) return;
    const evaluation = review.positions[i + 1].evaluation;
    const dot = element('circle', { class: `graph-mark ${judgement.mark.name}`, cx: x(i + 1), cy: y(evaluation), r: 5, 'data-ply': i + 1 });
    const title = element('title', {});
    title.textContent = `${judgement.mark.name}, then ${barText(evaluation)}`;
    dot.append(title);
    svg.append(dot);
  });
  figure.prepend(svg);
}
