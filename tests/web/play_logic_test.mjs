// Levels and clocks without a browser: the go words each level sends, and
// the clock arithmetic a game on the clock runs on.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { LEVELS, levelLabel, searchFor } from '../../web/js/levels.js';
import { clockText, flagResult, left, moveMade, newClocks, start, stop, timeControl, timeControlTag } from '../../web/js/clock.js';

test('levels search deeper as they rise, up to the full engine, each labelled with its rating and the day', () => {
  assert.ok(LEVELS.length >= 8);
  for (let i = 1; i < LEVELS.length - 1; i++) assert.ok(LEVELS[i].depth > LEVELS[i - 1].depth, `level ${i + 1}`);
  assert.equal(LEVELS.at(-1).depth, null);
  assert.match(levelLabel(LEVELS[0]), /^Level 1: about \d{4}, measured 2026-12-\d\d$/);
  assert.match(levelLabel(LEVELS.at(-1)), /full strength, about \d{4} at 1 s a move, measured/);
});

test('a level sends a depth, or the full engine the time per move or the clocks', () => {
  assert.deepEqual(searchFor(1, { moveTime: 1000, clock: null, turn: 'w' }), { go: 'depth 1', stopAfter: null });
  assert.deepEqual(searchFor(8, { moveTime: 250, clock: null, turn: 'w' }), { go: 'movetime 250', stopAfter: null });
  const clock = { white: 59_500.7, black: 61_000, increment: 2000 };
  // On a clock a low level keeps its depth: the clock only caps it.
  assert.deepEqual(searchFor(3, { moveTime: 1000, clock, turn: 'b' }), { go: 'depth 3', stopAfter: 6100 });
  assert.deepEqual(searchFor(8, { moveTime: 1000, clock, turn: 'w' }),
    { go: 'wtime 59500 btime 61000 winc 2000 binc 2000', stopAfter: 5950 });
  assert.equal(searchFor(2, { clock: { white: 50, black: 50, increment: 0 }, turn: 'w' }).stopAfter, 20);
  assert.equal(searchFor('99', { moveTime: 500, clock: null }).go, 'movetime 500', 'an unknown level is the top one');
});

test('the mover\'s clock runs, stops with the increment added, and the other starts', () => {
  const clocks = newClocks(timeControl('3+2'));
  start(clocks, 'w', 1000);
  assert.equal(left(clocks, 'w', 4000), 177_000);
  assert.equal(left(clocks, 'b', 4000), 180_000, 'the side not to move keeps its time');
  assert.ok(moveMade(clocks, 4000));
  assert.equal(clocks.left.w, 179_000);
  assert.equal(clocks.running, 'b');
  assert.equal(left(clocks, 'b', 9000), 175_000);
  stop(clocks, 9000);
  assert.equal(clocks.running, null);
  assert.equal(left(clocks, 'b', 99_000), 175_000, 'a stopped clock stays');
});

test('a move after the flag fell does not count', () => {
  const clocks = newClocks(timeControl('1+0'));
  start(clocks, 'b', 0);
  assert.equal(moveMade(clocks, 60_001), false);
  assert.equal(clocks.left.b, 0);
});

test('clock texts, time control tags, and unknown controls', () => {
  assert.deepEqual(['5:00', '1:00', '0:10', '9.9', '0.0', '0.0'],
    [300_000, 60_999, 10_000, 9_999, 0, -5].map(clockText));
  assert.equal(timeControlTag(timeControl('15+10')), '900+10');
  assert.equal(timeControlTag(null), '-');
  assert.equal(timeControl('none'), null);
  assert.equal(timeControl('2+1'), null);
});

test('a flag fall loses, or draws when the other side has too little to mate', () => {
  const kings = [{ type: 'k', color: 'w' }, { type: 'k', color: 'b' }];
  const with_ = (...more) => kings.concat(more.map(([color, type]) => ({ color, type })));
  assert.deepEqual(flagResult(with_(['b', 'p']), 'w'), { score: '0-1', reason: 'White lost on time', termination: 'time forfeit' });
  assert.equal(flagResult(with_(['w', 'q']), 'b').score, '1-0');
  assert.equal(flagResult(with_(['w', 'n']), 'b').score, '1/2-1/2', 'a knight alone cannot mate');
  assert.equal(flagResult(with_(['w', 'b'], ['b', 'q']), 'b').score, '1/2-1/2', 'a bishop alone cannot mate');
  assert.equal(flagResult(with_(['w', 'n'], ['w', 'n']), 'b').score, '1-0', 'two knights can');
  assert.equal(flagResult(kings, 'w').score, '1/2-1/2');
});
