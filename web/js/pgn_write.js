// Writing a game as PGN, with what a review adds in the forms other tools
// read: "?!", "?", "??" after a move and { [%eval 0.17] } after it.
//
//   writePgn({ headers, startFen, moves, notes })
//   headers: { Name: value }; moves: chess.js verbose moves;
//   notes[i], optional, for moves[i]: { evaluation, nag, comment }
import { pgnEval } from './review.js';

const ROSTER = ['Event', 'Site', 'Date', 'Round', 'White', 'Black', 'Result'];
const LINE_WIDTH = 79;

const escapeHeader = (value) => String(value).replace(/\\/g, '\\\\').replace(/"/g, '\\"');
// A brace would end the comment early.
const commentText = (text) => text.replace(/[{}]/g, '').replace(/\s+/g, ' ').trim();

function headerLines(headers, startFen) {
  const all = { ...headers };
  const unknown = { Date: '????.??.??', Result: '*' };
  for (const name of ROSTER) all[name] ??= unknown[name] ?? '?';
  if (startFen) Object.assign(all, { SetUp: '1', FEN: startFen });
  const names = [...ROSTER, ...Object.keys(all).filter((name) => !ROSTER.includes(name))];
  return names.map((name) => `[${name} "${escapeHeader(all[name])}"]`);
}

function noteComment(note) {
  if (!note) return '';
  const parts = [];
  // A mated position has no evaluation to give: the result says it.
  if (note.evaluation && !(note.evaluation.mate === 0)) parts.push(`[%eval ${pgnEval(note.evaluation)}]`);
  if (note.comment) parts.push(commentText(note.comment));
  return parts.length > 0 ? `{ ${parts.join(' ')} }` : '';
}

// The movetext's words: numbers, moves with their marks, comments, the result.
function moveWords(moves, notes, result) {
  const words = [];
  let numberDue = true;
  moves.forEach((move, i) => {
    const number = Number(move.before.split(' ')[5]);
    if (move.color === 'w') words.push(`${number}.`);
    else if (numberDue) words.push(`${number}...`);
    words.push(move.san + (notes[i]?.nag ?? ''));
    const comment = noteComment(notes[i]);
    if (comment) words.push(comment);
    // After a comment, Black's move gets its number again.
    numberDue = comment !== '';
  });
  words.push(result);
  return words;
}

// Lines up to LINE_WIDTH characters, broken between words (a comment may be broken inside).
function wrap(words) {
  const lines = [];
  let current = '';
  for (const piece of words.flatMap((word) => word.split(' '))) {
    if (current && current.length + 1 + piece.length > LINE_WIDTH) {
      lines.push(current);
      current = piece;
    } else {
      current = current ? `${current} ${piece}` : piece;
    }
  }
  if (current) lines.push(current);
  return lines;
}

export function writePgn({ headers = {}, startFen = null, moves, notes = [] }) {
  const result = headers.Result ?? '*';
  return `${headerLines(headers, startFen).join('\n')}\n\n${wrap(moveWords(moves, notes, result)).join('\n')}\n`;
}
