// Reading PGN text: one or many games, with their headers, comments, NAGs
// and variations. Only the main line is kept; a game that does not replay
// says which move on which line failed.
//
//   const { games, error } = readPgn(text);
//   games[i]: { headers, line, startFen, moves: [verbose chess.js moves], error }
import { Chess } from 'chess.js';
import { checkFen } from './chess_text.js';

const RESULTS = new Set(['1-0', '0-1', '1/2-1/2', '*']);

// The text as tokens with the line each starts on. Headers, comments and
// variations are recognised here; "%" lines are escapes that readers skip.
function tokenize(text) {
  const tokens = [];
  let line = 1;
  let i = 0;
  while (i < text.length) {
    const c = text[i];
    const lineStart = i === 0 || text[i - 1] === '\n';
    if (c === '\n') {
      line++;
      i++;
    } else if (/\s/.test(c)) {
      i++;
    } else if (c === '%' && lineStart) {
      while (i < text.length && text[i] !== '\n') i++;
    } else if (c === ';') {
      while (i < text.length && text[i] !== '\n') i++;
    } else if (c === '{') {
      const end = text.indexOf('}', i);
      if (end < 0) return { error: `Line ${line}: a comment "{" is never closed.` };
      const body = text.slice(i + 1, end);
      tokens.push({ kind: 'comment', text: body.trim(), line });
      line += body.split('\n').length - 1;
      i = end + 1;
    } else if (c === '[') {
      const match = /^\[\s*([A-Za-z0-9_]+)\s+"((?:[^"\\\n]|\\.)*)"\s*\]/.exec(text.slice(i, i + 10000));
      if (!match) return { error: `Line ${line}: a header is not of the form [Name "value"].` };
      tokens.push({ kind: 'header', name: match[1], value: match[2].replace(/\\(.)/g, '$1'), line });
      i += match[0].length;
    } else if (c === '(' || c === ')') {
      tokens.push({ kind: c, line });
      i++;
    } else {
      let end = i;
      while (end < text.length && !/[\s{}()[\];]/.test(text[end])) end++;
      if (end === i) return { error: `Line ${line}: unexpected "${c}".` };
      tokens.push({ kind: 'word', text: text.slice(i, end), line });
      i = end;
    }
  }
  return { tokens };
}

// Tokens into games: a header after moves, or a result, ends a game.
function splitGames(tokens) {
  const games = [];
  let game = null;
  let depth = 0;
  const begin = (token) => {
    game = { headers: {}, line: token.line, words: [] };
    games.push(game);
  };
  for (const token of tokens) {
    if (token.kind === 'header') {
      if (!game || game.words.length > 0 || game.ended) begin(token);
      game.headers[token.name] = token.value;
      continue;
    }
    if (!game || game.ended) begin(token);
    if (token.kind === '(') depth++;
    else if (token.kind === ')') {
      if (depth === 0) return { error: `Line ${token.line}: ")" closes no variation.` };
      depth--;
    } else if (token.kind === 'word' && depth === 0) {
      if (RESULTS.has(token.text)) {
        game.result = token.text;
        game.ended = true;
      } else {
        game.words.push(token);
      }
    }
  }
  if (depth > 0) return { error: `A variation "(" is never closed (game ${games.length}).` };
  return { games: games.filter((one) => one.words.length > 0 || Object.keys(one.headers).length > 0) };
}

// A move number ("12.", "12...") or a NAG ("$2") says nothing about the moves.
const isNumberOrNag = (word) => /^\d+\.*$/.test(word) || /^\$\d+$/.test(word);

// The main line played out from the game's start.
function replay(game, number) {
  const name = `Game ${number}`;
  let startFen = null;
  if (game.headers.FEN) {
    const checked = checkFen(game.headers.FEN);
    if (checked.error) return { error: `${name} (line ${game.line}): its FEN header is refused. ${checked.error}` };
    startFen = checked.fen;
  }
  const board = new Chess(startFen ?? undefined);
  const moves = [];
  for (const token of game.words) {
    let word = token.text.replace(/^\d+\.+/, '');
    if (word === '' || isNumberOrNag(word)) continue;
    // Annotation marks and castling with zeros, as many files write them.
    word = word.replace(/[!?]+$/, '').replace(/^0-0-0/, 'O-O-O').replace(/^0-0/, 'O-O');
    const label = `${board.moveNumber()}${board.turn() === 'w' ? '.' : '...'} ${token.text.replace(/^\d+\.+/, '')}`;
    let move = null;
    try {
      move = board.move(word);
    } catch {
      move = null;
    }
    if (!move) return { error: `${name}, line ${token.line}: ${label} is not a legal move in that position.` };
    moves.push(move);
  }
  return { startFen, moves };
}

// All games of a text; error is set when the text as a whole cannot be read.
export function readPgn(text) {
  const tokenized = tokenize(text);
  if (tokenized.error) return { games: [], error: tokenized.error };
  const split = splitGames(tokenized.tokens);
  if (split.error) return { games: [], error: split.error };
  if (split.games.length === 0) return { games: [], error: 'No game found in the text.' };
  const games = split.games.map((game, index) => ({
    headers: game.headers,
    line: game.line,
    result: game.headers.Result ?? game.result ?? '*',
    ...replay(game, index + 1),
  }));
  return { games };
}

// One line a game for a list to choose from: "Anna - Boris, 1-0, 2024.05.01".
export function gameLabel(game, index) {
  const { White = '?', Black = '?', Date: date } = game.headers;
  const when = date && !/^[?.]+$/.test(date) ? `, ${date}` : '';
  return `${index + 1}. ${White} \u2013 ${Black}, ${game.result}${when}`;
}
