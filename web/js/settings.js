// The player's choices: the side they play, the level, the clock, the
// engine's time per move at the top level, and its hash size. They are kept
// in the browser's local storage, so a reload keeps them.
import { $ } from './page_state.js';
import { LEVELS, levelLabel, TOP_LEVEL } from './levels.js';
import { TIME_CONTROLS } from './clock.js';

const KEY = 'vargul.settings';
const SELECTS = ['side', 'level', 'clock', 'movetime', 'hash'];
const DEFAULT_LEVEL = 3;

export const chosenSide = () => $('side').value;
export const chosenLevel = () => Number($('level').value);
export const chosenClock = () => $('clock').value;
export const chosenMoveTime = () => $('movetime').value;
export const chosenHash = () => $('hash').value;

function fillSelects() {
  for (const level of LEVELS) $('level').append(new Option(levelLabel(level), level.level, false, level.level === DEFAULT_LEVEL));
  for (const control of TIME_CONTROLS) $('clock').append(new Option(control.label, control.id));
}

// The choices saved last time, each where its select still offers it.
function restoreSettings() {
  let saved = {};
  try {
    saved = JSON.parse(localStorage.getItem(KEY)) ?? {};
  } catch {
    saved = {};
  }
  for (const id of SELECTS) {
    const value = String(saved[id] ?? '');
    if ([...$(id).options].some((option) => option.value === value)) $(id).value = value;
  }
}

function saveSettings() {
  try {
    localStorage.setItem(KEY, JSON.stringify(Object.fromEntries(SELECTS.map((id) => [id, $(id).value]))));
  } catch {
    // A browser that keeps nothing (private mode, storage full): the page works on.
  }
}

// The time per move counts only at the top level, and not on a clock.
export function drawSettings({ clocked }) {
  $('movetime').disabled = chosenLevel() !== TOP_LEVEL || clocked;
}

// Handlers for a change of each select; every change is saved.
export function setUpSettings({ onSide, onHash, onLevel, onClock }) {
  fillSelects();
  restoreSettings();
  const changed = (id, handler) =>
    $(id).addEventListener('change', () => {
      saveSettings();
      handler?.();
    });
  changed('side', onSide);
  changed('hash', () => onHash(chosenHash()));
  changed('level', onLevel);
  changed('clock', onClock);
  changed('movetime');
}
