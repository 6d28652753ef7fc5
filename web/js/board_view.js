// The board: the position of the game drawn on it, and the player's moves
// made on it by click, drag or the keyboard.
import { Chessboard, COLOR, INPUT_EVENT_TYPE } from 'cm-chessboard/src/Chessboard.js';
import { Markers, MARKER_TYPE } from 'cm-chessboard/src/extensions/markers/Markers.js';
import { PromotionDialog, PROMOTION_DIALOG_RESULT_TYPE } from 'cm-chessboard/src/extensions/promotion-dialog/PromotionDialog.js';
import { Accessibility } from 'cm-chessboard/src/extensions/accessibility/Accessibility.js';
import { Arrows, ARROW_TYPE } from 'cm-chessboard/src/extensions/arrows/Arrows.js';
import { $, gameMoves, shownFen, shownPly, state } from './page_state.js';

// The library anchors its promotion dialog at the centre of the square, half
// a square right of and below (or above, towards the bottom edge) where it
// belongs; drawn, it is moved onto the square's file.
class AlignedPromotionDialog extends PromotionDialog {
  redrawDialog() {
    super.redrawDialog();
    const dialog = this.promotionDialogGroup.querySelector('.promotion-dialog');
    if (!dialog) return;
    const { view } = this.chessboard;
    const square = view.squareToPoint(this.state.dialogParams.square);
    const [x, y, height] = ['x', 'y', 'height'].map((name) => Number(dialog.getAttribute(name)));
    const top = this.turned ? square.y + view.squareHeight - height : square.y;
    this.promotionDialogGroup.setAttribute('transform', `translate(${square.x - x} ${top - y})`);
  }
}

let board = null;
let turnedTo = COLOR.white;

function legalMovesFrom(square) {
  return state.game.moves({ square, verbose: true });
}

// The board takes a new position at once but draws it only after the
// animations queued before it, so right after a quick exchange of moves a
// piece can be on a square for the board and not yet on the screen. Input
// from such a square is refused: the player cannot see the piece there, and
// the board, asked to show or hide it, would find nothing to draw.
function drawnOn(square) {
  const piece = board.getPiece(square);
  return Boolean(piece) && $('board').querySelector(`g[data-square="${square}"][data-piece="${piece}"]`) !== null;
}

// mayMove(): whether the player may move now; onMove(move): plays a move in
// chess.js's form, false when it is not legal.
export function createBoard({ mayMove, onMove }) {
  board = new Chessboard($('board'), {
    position: state.game.fen(),
    assetsUrl: './vendor/cm-chessboard/assets/',
    style: { cssClass: 'default', showCoordinates: true, pieces: { file: 'pieces/standard.svg' }, animationDuration: 150 },
    extensions: [
      { class: Markers, props: { autoMarkers: null } },
      { class: Arrows },
      { class: AlignedPromotionDialog, props: { language: 'en' } },
      { class: Accessibility, props: { language: 'en', keyboardMoveInput: true, movePieceForm: false, boardAsTable: true, piecesAsList: true } },
    ],
  });

  board.enableMoveInput((event) => {
    switch (event.type) {
      case INPUT_EVENT_TYPE.moveInputStarted: {
        if (!mayMove() || !drawnOn(event.squareFrom)) return false;
        const moves = legalMovesFrom(event.squareFrom);
        board.removeLegalMovesMarkers();
        board.addLegalMovesMarkers(moves);
        return moves.length > 0;
      }
      case INPUT_EVENT_TYPE.validateMoveInput: {
        board.removeLegalMovesMarkers();
        const moves = legalMovesFrom(event.squareFrom).filter((move) => move.to === event.squareTo);
        if (moves.length === 0) return false;
        if (moves.some((move) => move.promotion)) {
          askPromotion(event.squareFrom, event.squareTo, onMove);
          return true;
        }
        // Refused here and drawn by the page instead: the board would hold its
        // input until its own animation of the move had ended, and a move made
        // meanwhile (right after the engine's reply) would be lost.
        setTimeout(() => onMove(moves[0]));
        return false;
      }
      case INPUT_EVENT_TYPE.moveInputCanceled:
        board.removeLegalMovesMarkers();
        return undefined;
      default:
        return undefined;
    }
  });
}

// The dialog that asks which piece a pawn becomes; onMove gets the move
// with the piece chosen, and a cancel puts the pawn back.
export function askPromotion(from, to, onMove) {
  board.showPromotionDialog(to, state.game.turn() === 'w' ? COLOR.white : COLOR.black, (result) => {
    if (result.type === PROMOTION_DIALOG_RESULT_TYPE.pieceSelected) onMove({ from, to, promotion: result.piece.charAt(1) });
    else board.setPosition(state.game.fen(), false);
  });
}

// The position shown, seen from the player's side (or the other, flipped),
// the move that led to it marked;
// `animate`: the pieces slide there (the engine's moves, not the player's own).
export function drawBoard(animate) {
  board.setPosition(shownFen(), animate);
  const bottom = state.flipped ? (state.userColor === 'w' ? 'b' : 'w') : state.userColor;
  const orientation = bottom === 'w' ? COLOR.white : COLOR.black;
  // The board takes one turn at a time and reports the new side only once
  // it has turned, so the side asked for is kept here.
  if (turnedTo !== orientation) {
    turnedTo = orientation;
    board.setOrientation(orientation);
  }
  const last = gameMoves()[shownPly() - 1];
  board.removeMarkers(MARKER_TYPE.square);
  if (last) for (const square of [last.from, last.to]) board.addMarker(MARKER_TYPE.square, square);
}

// The engine's move for the position shown, as an arrow; null: none.
export function drawArrow(uci) {
  const [from, to] = uci ? [uci.slice(0, 2), uci.slice(2, 4)] : [];
  const [drawn] = board.getArrows();
  if (drawn?.from === from && drawn?.to === to) return;
  board.removeArrows();
  if (uci) board.addArrow(ARROW_TYPE.info, from, to);
}
