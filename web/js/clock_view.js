// The two clocks above the board: the time each side has left, the running
// one marked, and the flag fall noticed as it happens.
import { $, state } from './page_state.js';
import { clockText, left } from './clock.js';

export function drawClocks() {
  const { clocks } = state;
  $('clocks').hidden = !clocks;
  if (!clocks) return;
  const now = performance.now();
  for (const color of ['w', 'b']) {
    const time = left(clocks, color, now);
    $(`clock-${color}`).textContent = clockText(time);
    $(`clock-${color}-box`).classList.toggle('running', clocks.running === color);
    $(`clock-${color}-box`).classList.toggle('flagged', time <= 0);
  }
}

// Ten times a second while a clock runs: the clocks redrawn, and
// onFlag(color) once the running side's time is out.
export function startTicking(onFlag) {
  setInterval(() => {
    const { clocks } = state;
    if (!clocks?.running) return;
    drawClocks();
    if (left(clocks, clocks.running, performance.now()) <= 0) onFlag(clocks.running);
  }, 100);
}
