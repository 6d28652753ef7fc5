#!/usr/bin/env bash
# memcheck over a scripted session, the way a GUI drives the engine: each
# search is let finish (or stopped) before the next command goes out, so no
# command is swallowed by the in-search poll. Fails on any memcheck error, a
# definite leak, a lost "bestmove" or an exit status other than 1 after "quit".
set -uo pipefail
engine=${1:-build/vargul}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

coproc ENGINE { valgrind --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite \
                  --log-file="$log" "$engine"; }
to_engine=${ENGINE[1]}
from_engine=${ENGINE[0]}
engine_pid=$ENGINE_PID

send() { printf '%s\n' "$1" >&"$to_engine"; }
searches=0
answered=0
# Sends a "go" and reads until its "bestmove".
search() {
    send "$1"
    searches=$((searches + 1))
    local line
    while IFS= read -r -t 600 line <&"$from_engine"; do
        case $line in bestmove*) answered=$((answered + 1)); return ;; esac
    done
}

send uci
send "setoption name Hash value 8"
send isready
send ucinewgame
send "position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1"
search "go depth 4"
send "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
search "go depth 3"
send "position fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1 moves b4b1 h4g3"
search "go wtime 2000 btime 2000 winc 10 binc 10"
send "position fen 4k3/P7/8/8/8/8/7p/4K3 w - - 0 1 moves a7a8r h2h1n"
search "go movetime 300"
send "position fen rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3 moves e5f6 zz99 e7f6x"
search "go depth 3"
send "position fen 8/8/8/8/8/8/8/K7 w - - 0 1"
search "go depth 3"
send "position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"
search "go depth 2"
send "setoption name Hash value 1"
send "position startpos"
send "go infinite"
sleep 2
send stop
searches=$((searches + 1))
while IFS= read -r -t 600 line <&"$from_engine"; do
    case $line in bestmove*) answered=$((answered + 1)); break ;; esac
done
send "garbage line"
send "position startpos moves e2e4"
search "go depth 3"
send quit
wait "$engine_pid"
status=$?
cat "$log" | grep -E 'ERROR SUMMARY|definitely|in use at exit|Invalid|uninitialised' || true
echo "searches $searches answered $answered exit status $status"
[ "$status" -eq 1 ] && [ "$answered" -eq "$searches" ]
