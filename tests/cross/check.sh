#!/usr/bin/env bash
# check.sh <bench|perft|transcripts|file-input|stop|quit|end-of-file|console|host-pipe>
# Runs a cross-built engine and its tools under an emulator (wine, qemu-user,
# Node for WebAssembly) and compares them with the native build: same bench lines and signature,
# same perft counts, the same replies byte for byte (CR LF on Windows).
# Set by ctest:
#   VARGUL_RUN        the emulator command, e.g. "wine", "qemu-aarch64" or "node"
#   VARGUL_BIN        folder of the cross-built engine and tools
#   VARGUL_EXE        their file-name suffix (".exe", ".mjs" or empty)
#   VARGUL_REFERENCE  folder of the native engine and tools
#   VARGUL_DRIVER     the Windows pipe driver, when the engine is a Windows program,
#                     or pipe_check.py, which runs the emulator itself
#   VARGUL_WORK       a scratch folder
set -euo pipefail

check=$1
read -r -a run <<<"$VARGUL_RUN"
bin=$VARGUL_BIN
exe=${VARGUL_EXE:-}
ref=$VARGUL_REFERENCE
work=$VARGUL_WORK/$check
rm -rf "$work" && mkdir -p "$work"
failed=0

fail() { echo "FAIL: $*" >&2; failed=1; }

# Times and rates differ from run to run; Windows line ends do not count here.
normalise() { tr -d '\r' | sed -E 's/ time_ms [0-9]+/ time_ms #/; s/ nps [0-9]+/ nps #/'; }

case $check in
bench)
  "$ref/bench" 4 | normalise >"$work/expected"
  "${run[@]}" "$bin/bench$exe" 4 | normalise >"$work/got"
  diff "$work/expected" "$work/got" || fail "bench 4 differs from the native one"
  tail -n 1 "$work/got"
  ;;

perft)
  start="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
  "${run[@]}" "$bin/perft$exe" "$start" 5 | normalise >"$work/start"
  grep -qx "nodes 4865609 time_ms # nps #" "$work/start" || fail "perft 5 of the initial position: $(cat "$work/start")"
  cat "$work/start"
  # Castling, en passant and promotions, move by move.
  other="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
  "$ref/perft" "$other" 3 --divide | normalise >"$work/expected"
  "${run[@]}" "$bin/perft$exe" "$other" 3 --divide | normalise >"$work/got"
  diff "$work/expected" "$work/got" || fail "perft --divide differs from the native one"
  ;;

transcripts)
  # Each script's searches stay below the first input poll (50,001 leaves),
  # so the replies do not depend on when the lines arrive.
  s=$work/scripts && mkdir -p "$s"
  printf 'uci\nisready\nucinewgame\nposition startpos moves e2e4 e7e5 g1f3\ngo depth 4\nisready\nquit\nisready\n' >"$s/game"
  printf 'uci\r\nposition startpos moves d2d4 d7d5 c2c4\r\ngo depth 3\r\nisready\r\n' >"$s/crlf_lines"
  printf 'uci\nposition fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1\ngo depth 3\nposition fen k7/8/1Q6/8/8/8/8/7K b - - 0 1\ngo depth 2\nposition fen 8/P7/8/8/8/8/k7/4K3 w - - 0 1\ngo depth 4\nposition fen 4k3/1P6/8/8/8/8/6p1/4K3 b - - 0 1 moves g2g1q\ngo depth 3\n' >"$s/mates_and_promotions"
  printf 'go depth 1\nsetoption name Hash value 1\nisready\n' >"$s/go_before_uci"
  printf 'uci \nUci\n\n debug\nucinewgame\nstop\nponderhit\nposition startpos moves e2e5 e2e4 e7\nposition fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8Q\nisready\r\r\nisready\0junk\nisready' >"$s/odd_lines"
  printf 'uci\nsetoption name Hash value 0\nsetoption name Hash value -7\nsetoption name Whatever Hash value 8\nsetoption name hash value 3\nisready\n' >"$s/hash_sizes"
  printf 'setoption name Hash value 8\nuci\nisready\n' >"$s/hash_before_uci"
  { head -c 65535 /dev/zero | tr '\0' x; printf '\r\nisready\n'; } >"$s/longest_line"
  { head -c 65536 /dev/zero | tr '\0' x; printf '\nisready\n'; } >"$s/too_long_line"
  for script in "$s"/*; do
    name=$(basename "$script")
    status=0
    "$ref/vargul" <"$script" >"$work/$name.expected" || status=$?
    if [ -n "${VARGUL_DRIVER:-}" ] && [[ $VARGUL_DRIVER != *.py ]]; then
      "${run[@]}" "$VARGUL_DRIVER" "$bin/vargul$exe" transcript "$script" "$work/$name.expected" "$status" ||
        fail "transcript $name"
    else
      got_status=0
      "${run[@]}" "$bin/vargul$exe" <"$script" >"$work/$name.got" || got_status=$?
      sed -E 's/ nps [0-9]+/ nps #/' -i "$work/$name.expected" "$work/$name.got"
      cmp "$work/$name.expected" "$work/$name.got" || fail "transcript $name"
      [ "$got_status" = "$status" ] || fail "transcript $name: exit status $got_status, expected $status"
    fi
  done
  echo "$(ls "$s" | wc -l) transcripts compared"
  ;;

stop | quit | end-of-file)
  if [[ $VARGUL_DRIVER == *.py ]]; then
    python3 "$VARGUL_DRIVER" "$check" "${run[@]}" "$bin/vargul$exe" || fail "$check"
  else
    "${run[@]}" "$VARGUL_DRIVER" "$bin/vargul$exe" "$check" || fail "$check"
  fi
  ;;

console)
  python3 "$(dirname "$0")/../windows/console_check.py" "${run[0]}" "$bin/vargul$exe" || fail "$check"
  ;;

host-pipe)
  # A Linux pipe, as Linux GUIs and adapters give a Windows engine under wine.
  python3 "$(dirname "$0")/../windows/host_pipe_check.py" "${run[0]}" "$bin/vargul$exe" || fail "$check"
  ;;

file-input)
  # The first read fills the engine's 65,536-byte buffer and ends on a line
  # end, so the poll that comes after the filler line finds nothing buffered
  # and must ask the file itself: on Windows a peek at a file fails, and that
  # has to count as waiting input.
  start=$'position startpos\ngo infinite\n'
  { printf '%s' "$start"; head -c $((65536 - ${#start} - 1)) /dev/zero | tr '\0' x; printf '\nstop\n'; } >"$work/script"
  status=0
  timeout 60 "${run[@]}" "$bin/vargul$exe" <"$work/script" >"$work/got" || status=$?
  tail -n 1 "$work/got" | tr -d '\r' | grep -q '^bestmove ' || fail "no bestmove: the stop in the file was not seen"
  [ "$status" = 0 ] || fail "exit status $status, expected 0"
  ;;

*)
  echo "unknown check $check" >&2
  exit 2
  ;;
esac
exit $failed
