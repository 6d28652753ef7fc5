// A game's review: the engine looks at every position of the game in turn
// for a fixed time, then each move is judged (review.js). No page here, so it
// runs under Node against a scripted engine as well.
//
//   const review = reviewGame({ session, startFen, moves, movetime, onProgress });
//   const result = await review.done;   // null once cancelled
//   review.cancel();
import { Chess } from 'chess.js';
import { parseInfo } from './chess_text.js';
import { judgeMoves, ruledEvaluation, summary, whiteView } from './review.js';

// moves: chess.js verbose moves from startFen (null: the usual start).
// onProgress(done, total, position): after each position.
export function reviewGame({ session, startFen = null, moves, movetime, onProgress }) {
  let cancelled = false;
  let current = null; // { handle, finish } of the search under way
  const positionsOf = (plies) => moves.slice(0, plies).map((move) => move.lan);

  function analyse(plies) {
    const board = new Chess(plies === 0 ? (startFen ?? undefined) : moves[plies - 1].after);
    const ruled = ruledEvaluation(board);
    if (ruled) return Promise.resolve({ evaluation: ruled, best: null, pv: [] });
    const side = board.turn();
    return new Promise((resolve) => {
      let last = null;
      const finish = (position) => {
        current = null;
        resolve(position);
      };
      const handle = session.search({
        fen: startFen,
        moves: positionsOf(plies),
        go: `movetime ${movetime}`,
        onInfo: (line) => {
          const info = parseInfo(line);
          if (info?.score) last = info;
        },
        onBestMove: (best) => {
          const evaluation = last ? whiteView(last.score, side) : { cp: 0 };
          const pv = last?.pv[0] === best ? last.pv : [best];
          finish({ evaluation, best, pv, depth: last?.depth ?? 0 });
        },
      });
      current = { handle, finish };
    });
  }

  const done = (async () => {
    const positions = [];
    for (let plies = 0; plies <= moves.length; plies++) {
      const position = cancelled ? null : await analyse(plies);
      if (!position) return null;
      positions.push(position);
      onProgress?.(plies + 1, moves.length + 1, position);
    }
    const judgements = judgeMoves(moves, positions);
    return { positions, judgements, summary: summary(moves, judgements) };
  })();

  return {
    done,
    cancel() {
      if (cancelled) return;
      cancelled = true;
      if (current) {
        current.handle.cancel();
        current.finish(null);
      }
    },
  };
}
