// Moving through the game: the buttons Start, Back, Forward and End, the keys
// Home, Left, Right and End, and "Continue from here", which drops the later
// moves so that play goes on from the position shown.
import { plyAfter, STEPS, STEP_KEYS } from './navigation.js';
import { $, gameMoves, shownPly, state } from './page_state.js';

const BUTTONS = { start: 'nav-start', back: 'nav-back', forward: 'nav-forward', end: 'nav-end' };
const lastPly = () => gameMoves().length;
let onShow = () => {};
let mayLook = () => true;

export function showPly(ply) {
  if (!mayLook()) return;
  const target = Math.max(0, Math.min(lastPly(), ply));
  state.viewPly = target === lastPly() ? null : target;
  onShow();
}

// Keys typed into a field, or on the board (which takes moves from the
// keyboard), are theirs, not the game's.
function keyIsForGame(event) {
  if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return false;
  return !event.target.closest?.('input, textarea, select, dialog, #board');
}

// onShowPly(): the position shown changed; onContinue(): the moves after it
// were dropped; mayLookBack(): whether the game may be looked back at now.
export function setUpNavigation({ mayLookBack, onShowPly, onContinue }) {
  onShow = onShowPly;
  mayLook = mayLookBack;
  for (const step of STEPS) $(BUTTONS[step]).addEventListener('click', () => showPly(plyAfter(step, shownPly(), lastPly())));
  document.addEventListener('keydown', (event) => {
    const step = STEP_KEYS[event.key];
    if (!step || !keyIsForGame(event) || !mayLook()) return;
    event.preventDefault();
    showPly(plyAfter(step, shownPly(), lastPly()));
  });
  $('continue-here').addEventListener('click', () => {
    const later = lastPly() - shownPly();
    if (later === 0 || !confirm(`Drop the ${later === 1 ? 'move' : `${later} moves`} after this position and play on from here?`)) return;
    for (let i = 0; i < later; i++) state.game.undo();
    state.viewPly = null;
    onContinue();
  });
}

// lookBack: whether the game may be looked back at now.
export function drawNavigation(lookBack) {
  const ply = shownPly();
  $('nav-start').disabled = !lookBack || ply === 0;
  $('nav-back').disabled = !lookBack || ply === 0;
  $('nav-forward').disabled = !lookBack || ply === lastPly();
  $('nav-end').disabled = !lookBack || ply === lastPly();
  $('continue-here').hidden = ply === lastPly();
}
