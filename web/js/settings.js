// The player's choices: the side they play, the engine's time per move, and
// the engine's hash size.
import { $ } from './page_state.js';

export const chosenSide = () => $('side').value;
export const chosenMoveTime = () => $('movetime').value;
export const chosenHash = () => $('hash').value;

// onSide(): the side select changed; onHash(megabytes): the hash select did.
export function setUpSettings({ onSide, onHash }) {
  $('side').addEventListener('change', onSide);
  $('hash').addEventListener('change', () => onHash(chosenHash()));
}
