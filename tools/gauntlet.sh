#!/bin/sh
# Vargul against a ladder of other engines: one refereed match each through
# build/selfplay, then a table of the results and an SVG chart of the Elo
# differences with their 95% intervals.
#
# Settings come from the environment (make gauntlet passes them on):
#   SELFPLAY     the self-play tool              (build/selfplay)
#   OUT          where logs, PGN, results go     (build/gauntlet)
#   GAMES        games per opponent              (100)
#   TC           time control BASE+INC in ms     (10000+100)
#   CONCURRENCY  games at once                   (1)
#   OPPONENTS    which opponents, by label       (all of them, strongest last
#                among the limited ones): stockfish-<Elo> for any UCI_Elo
#                stockfish accepts, toga2, glaurung; LABEL:N plays N games
#                against that one instead of GAMES
#   VARGUL_GO    Vargul's level: the words after "go" it gets instead of the
#                clock ("depth 3"); the opponents keep the clock  (empty)
# Exit status 1 when any match saw a fault of Vargul's (time forfeits
# included), 2 when an opponent is missing or a match could not be played.
set -u

SELFPLAY=${SELFPLAY:-build/selfplay}
OUT=${OUT:-build/gauntlet}
GAMES=${GAMES:-100}
TC=${TC:-10000+100}
CONCURRENCY=${CONCURRENCY:-1}
VARGUL_GO=${VARGUL_GO:-}
OPPONENTS=${OPPONENTS:-stockfish-1600 stockfish-1800 stockfish-2000 stockfish-2200 toga2 glaurung}

RESULTS=$OUT/results.tsv
TABLE=$OUT/table.txt
CHART=$OUT/gauntlet.svg

# Sets the positional parameters to: program, name, then selfplay's
# --opponent-option arguments. Every opponent gets one search thread and the
# same hash as Vargul, and no opening book of its own: the openings are the
# tool's. Stockfish keeps 100 ms a move in hand rather than 10: at 10+0.1 on a
# busy machine it otherwise lost games on time by a few milliseconds.
opponent() {
    case $1 in
        stockfish-*)
            elo=${1#stockfish-}
            set -- /usr/games/stockfish "Stockfish $elo" \
                --opponent-option UCI_LimitStrength=true --opponent-option "UCI_Elo=$elo" \
                --opponent-option Threads=1 --opponent-option Hash=32 \
                --opponent-option "Move Overhead=100" ;;
        toga2)
            set -- /usr/games/toga2 "Toga II" \
                --opponent-option "Number of Threads=1" --opponent-option Hash=32 \
                --opponent-option OwnBook=false ;;
        glaurung)
            set -- /usr/games/glaurung "Glaurung" \
                --opponent-option Threads=1 --opponent-option Hash=32 \
                --opponent-option OwnBook=false --opponent-option Ponder=false ;;
        *)
            echo "gauntlet: unknown opponent $1 (stockfish-<Elo>, toga2, glaurung)" >&2
            return 2 ;;
    esac
    OPPONENT_ARGS=$(printf '%s\n' "$@")
}

# Sets label and games from an OPPONENTS entry, LABEL or LABEL:N.
split_entry() {
    label=${1%%:*}
    games=${1#"$label"}
    games=${games#:}
    case ${games:-1} in
        *[!0-9]* | 0*) echo "gauntlet: $1: the games after the colon must be a positive number" >&2; return 2 ;;
    esac
    games=${games:-$GAMES}
}

for entry in $OPPONENTS; do
    split_entry "$entry" || exit 2
    opponent "$label" || exit 2
    program=$(printf '%s\n' "$OPPONENT_ARGS" | head -n 1)
    if [ ! -x "$program" ]; then
        echo "gauntlet: $program is missing; install it with: apt-get install stockfish toga2 glaurung" >&2
        exit 2
    fi
done
[ -x "$SELFPLAY" ] || { echo "gauntlet: no self-play tool at $SELFPLAY" >&2; exit 2; }

mkdir -p "$OUT"
: > "$RESULTS"
status=0
for entry in $OPPONENTS; do
    split_entry "$entry"
    opponent "$label"
    # The opponent's arguments, one a line, back into positional parameters
    # (option names may hold blanks).
    old_ifs=$IFS
    IFS='
'
    set -- $OPPONENT_ARGS
    IFS=$old_ifs
    program=$1 name=$2
    shift 2
    echo "== $label: $games games at $TC against $name${VARGUL_GO:+ (Vargul: go $VARGUL_GO)}"
    "$SELFPLAY" --games "$games" --tc "$TC" --concurrency "$CONCURRENCY" \
        --opponent "$program" --opponent-name "$name" "$@" ${VARGUL_GO:+--vargul-go "$VARGUL_GO"} \
        --pgn "$OUT/$label.pgn" --results "$RESULTS"
    case $? in
        0) ;;
        1) status=1 ;;
        *) echo "gauntlet: the match against $name could not be played" >&2; exit 2 ;;
    esac
done

# Columns of the results rows, as selfplay writes them: name, games, wins,
# draws, losses, score, Elo, 95% low, 95% high, Vargul's time forfeits, the
# opponent's, Vargul's faults, the opponent's.
awk -F '\t' '
function signed(x) { return x == "inf" ? "+inf" : x == "-inf" ? "-inf" : sprintf("%+d", x + (x < 0 ? -0.5 : 0.5)) }
BEGIN { printf "%-16s %6s %13s %7s %16s %15s\n", "opponent", "games", "W/D/L", "score", "Elo +/- 95%", "Vargul forfeits" }
{
    if ($7 == "inf" || $7 == "-inf") elo = signed($7)
    else if ($8 ~ /inf/ || $9 ~ /inf/) elo = signed($7) " +/- inf"
    else elo = signed($7) sprintf(" +/- %d", ($9 - $8) / 2 + 0.5)
    printf "%-16s %6d %13s %6.1f%% %16s %15d\n", $1, $2, $3 "/" $4 "/" $5, 100 * $6, elo, $10
}' "$RESULTS" > "$TABLE"

# The chart: one row per opponent, a dot at the Elo difference and a bar over
# its 95% interval, the figures at the right; ends beyond the axis (or
# infinite) stop at its edge with an arrow head.
awk -F '\t' -v title="Vargul gauntlet at $TC ms (games per opponent in brackets)" '
function finite(x) { return x != "inf" && x != "-inf" }
function clamp(x) { if (x == "inf" || x > amax) return amax; if (x == "-inf" || x < amin) return amin; return x + 0 }
function xpos(e) { return left + (clamp(e) - amin) / (amax - amin) * plot }
function esc(s) { gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); return s }
function signed(x) { return x == "inf" ? "+inf" : x == "-inf" ? "-inf" : sprintf("%+d", x + (x < 0 ? -0.5 : 0.5)) }
{
    n++; name[n] = $1 " (" $2 ")"; elo[n] = $7; low[n] = $8; high[n] = $9
    figures[n] = !finite($7) ? signed($7) : finite($8) && finite($9) ? signed($7) sprintf(" +/- %d", ($9 - $8) / 2 + 0.5) : signed($7) " +/- inf"
}
END {
    amin = -200; amax = 200
    for (i = 1; i <= n; i++) {
        if (finite(low[i]) && low[i] < amin) amin = low[i]
        if (finite(high[i]) && high[i] > amax) amax = high[i]
        if (finite(elo[i]) && elo[i] < amin) amin = elo[i]
        if (finite(elo[i]) && elo[i] > amax) amax = elo[i]
    }
    if (amin < -1000) amin = -1000
    if (amax > 1000) amax = 1000
    amin = -100 * int((-amin + 99) / 100); amax = 100 * int((amax + 99) / 100)
    step = (amax - amin) > 800 ? 200 : 100
    left = 150; plot = 560; top = 50; row = 34
    width = left + plot + 110; height = top + n * row + 50
    printf "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" font-family=\"sans-serif\" font-size=\"12\">\n", width, height
    printf "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n"
    printf "<text x=\"%d\" y=\"24\" font-size=\"14\" font-weight=\"bold\">%s</text>\n", left, esc(title)
    bottom = top + n * row
    for (t = amin; t <= amax; t += step) {
        x = xpos(t)
        printf "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"%s\"/>\n", x, top - 8, x, bottom, t == 0 ? "#444" : "#ddd"
        printf "<text x=\"%.1f\" y=\"%d\" text-anchor=\"middle\">%s</text>\n", x, bottom + 16, t == 0 ? "0" : sprintf("%+d", t)
    }
    printf "<text x=\"%d\" y=\"%d\" text-anchor=\"middle\">Elo difference, Vargul minus opponent (95%% interval)</text>\n", left + plot / 2, bottom + 38
    for (i = 1; i <= n; i++) {
        y = top + (i - 1) * row + row / 2
        printf "<text x=\"%d\" y=\"%d\" text-anchor=\"end\">%s</text>\n", left - 10, y + 4, esc(name[i])
        x1 = xpos(low[i]); x2 = xpos(high[i])
        printf "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#1f5fa8\" stroke-width=\"2\"/>\n", x1, y, x2, y
        if (clamp(low[i]) == amin && (low[i] == "-inf" || low[i] < amin))
            printf "<path d=\"M%.1f %d l8 -5 v10 z\" fill=\"#1f5fa8\"/>\n", x1, y
        else
            printf "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#1f5fa8\" stroke-width=\"2\"/>\n", x1, y - 6, x1, y + 6
        if (clamp(high[i]) == amax && (high[i] == "inf" || high[i] > amax))
            printf "<path d=\"M%.1f %d l-8 -5 v10 z\" fill=\"#1f5fa8\"/>\n", x2, y
        else
            printf "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#1f5fa8\" stroke-width=\"2\"/>\n", x2, y - 6, x2, y + 6
        printf "<circle cx=\"%.1f\" cy=\"%d\" r=\"4.5\" fill=\"#c0392b\"/>\n", xpos(elo[i]), y
        printf "<text x=\"%d\" y=\"%d\" fill=\"#444\">%s</text>\n", left + plot + 14, y + 4, figures[i]
    }
    printf "</svg>\n"
}' "$RESULTS" > "$CHART"

echo
cat "$TABLE"
echo "results in $RESULTS, chart in $CHART, games in $OUT/*.pgn"
exit $status
