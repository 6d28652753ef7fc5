#!/bin/sh
# tools/speed_compare.sh BASE [PAIRS]
# The bench of commit BASE against the bench of the current build, run in
# turns PAIRS times (5 unless told), so that whatever else loads the machine
# weighs on both sides alike; which side goes first alternates from pair to
# pair. Both must give the same signature, or the trees differ and the rates
# say nothing: that stops the run. Prints each side's nodes per second
# (min / median / max) and the ratio of the medians, current over base.
#
# BASE is built in its own git work tree under build-speed/ (kept, so the next
# comparison with it builds nothing). Settings from the environment:
#   BUILD  the current build's folder (build); its bench must be built already
#   JOBS   compile jobs for the base (2)
#   DEPTH  bench depth for both sides (the bench's own default)
#   TOGETHER=1  run the two sides at the same time, one on each of CPUs 0
#          and 1, then again with the CPUs swapped. On a shared machine the
#          two CPUs may run at very different speeds, and the speed of both
#          may drift over minutes: a run landing on the slow one can cost
#          30%, far more than the change being measured. Each such double
#          pair gives the ratio sqrt(current0 * current1 / (base0 * base1)),
#          in which the CPUs' speeds and the drift cancel; the median of
#          those ratios is printed as well.
set -eu

usage() {
    echo "usage: $0 BASE [PAIRS]" >&2
    exit 2
}
[ $# -ge 1 ] && [ $# -le 2 ] || usage
base_ref=$1
pairs=${2:-5}
case $pairs in '' | *[!0-9]* | 0) echo "speed_compare: PAIRS must be a whole number from 1 on" >&2; exit 2 ;; esac
build=${BUILD:-build}
jobs=${JOBS:-2}
depth=${DEPTH:-}
together=${TOGETHER:-}
if [ -n "$together" ]; then
    command -v taskset >/dev/null || { echo "speed_compare: TOGETHER needs taskset" >&2; exit 2; }
    [ "$(nproc)" -ge 2 ] || { echo "speed_compare: TOGETHER needs two CPUs" >&2; exit 2; }
fi

root=$(git rev-parse --show-toplevel)
cd "$root"
base=$(git rev-parse --verify --quiet "$base_ref^{commit}") || {
    echo "speed_compare: $base_ref is not a commit" >&2
    exit 2
}
current_bench=$root/$build/bench
[ -x "$current_bench" ] || { echo "speed_compare: no $current_bench; build it first" >&2; exit 2; }

# The base's own tree and build. A work tree left from an earlier run is
# reused only if it still holds that commit, untouched.
tree=$root/build-speed/$base
if [ -d "$tree" ]; then
    if [ "$(git -C "$tree" rev-parse HEAD)" != "$base" ] || [ -n "$(git -C "$tree" status --porcelain)" ]; then
        echo "speed_compare: $tree no longer holds $base as committed; remove it (git worktree remove --force $tree)" >&2
        exit 2
    fi
else
    mkdir -p "$root/build-speed"
    # --force: a tree deleted by hand is still registered, and may come back.
    git worktree add --force --detach --quiet "$tree" "$base"
fi
echo "base $(git log -1 --format='%h %s' "$base")"
# Both sides built alike: the same extra CMake settings as the current build.
cmake -S "$tree" -B "$tree/build" -DCMAKE_BUILD_TYPE=Release -DVARGUL_TESTS=OFF ${CMAKE_ARGS:-} >/dev/null
cmake --build "$tree/build" -j "$jobs" --target bench -- --no-print-directory >/dev/null
base_bench=$tree/build/bench

runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT

# The last line of one bench run, kept in $runs/out.<side>.
bench_once() {
    side=$1
    binary=$2
    cpu=${3:-}
    if [ -n "$cpu" ]; then
        # shellcheck disable=SC2086  # DEPTH is one word or none
        taskset -c "$cpu" "$binary" $depth >"$runs/out.$side" || { echo "speed_compare: the $side bench failed" >&2; exit 1; }
    else
        # shellcheck disable=SC2086
        "$binary" $depth >"$runs/out.$side" || { echo "speed_compare: the $side bench failed" >&2; exit 1; }
    fi
}

# Appends a finished run's nodes per second to $runs/<side> and keeps its
# signature and node count, which must match every run before it.
record_side() {
    side=$1
    last=$(tail -n 1 "$runs/out.$side")
    set -- $last
    [ "${1:-}" = signature ] && [ "${7:-}" = nps ] && [ -n "${8:-}" ] || { echo "speed_compare: the $side bench ended with: $last" >&2; exit 1; }
    tree_id="$2 $4"
    if [ -z "${first_tree:-}" ]; then
        first_tree=$tree_id
    elif [ "$tree_id" != "$first_tree" ]; then
        echo "speed_compare: DIFFERENT TREES: the $side bench gives signature $2 nodes $4," \
             "an earlier run signature ${first_tree% *} nodes ${first_tree#* }" >&2
        exit 1
    fi
    echo "$8" >>"$runs/$side"
    last_nps=$8
    printf '  %-7s signature %s nodes %s time_ms %s nps %s\n' "$side" "$2" "$4" "$6" "$8"
}

run_side() {
    bench_once "$1" "$2"
    record_side "$1"
}

# Both sides at once, base on CPU $1 and current on CPU $2; sets base_nps and current_nps.
run_together() {
    bench_once base "$base_bench" "$1" &
    base_job=$!
    bench_once current "$current_bench" "$2" &
    current_job=$!
    wait "$base_job" || exit 1
    wait "$current_job" || exit 1
    record_side base
    base_nps=$last_nps
    record_side current
    current_nps=$last_nps
}

echo "load before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
pair=1
while [ "$pair" -le "$pairs" ]; do
    echo "pair $pair"
    if [ -n "$together" ]; then
        echo "  (base on CPU 0, current on CPU 1)"
        run_together 0 1
        b0=$base_nps c1=$current_nps
        echo "  (base on CPU 1, current on CPU 0)"
        run_together 1 0
        awk -v b0="$b0" -v b1="$base_nps" -v c0="$current_nps" -v c1="$c1" \
            'BEGIN { r = sqrt((c0 * c1) / (b0 * b1)); printf "  pair ratio %.4f\n", r; print r >> "'"$runs/ratios"'" }'
    elif [ $((pair % 2)) -eq 1 ]; then
        run_side base "$base_bench"
        run_side current "$current_bench"
    else
        run_side current "$current_bench"
        run_side base "$base_bench"
    fi
    pair=$((pair + 1))
done
echo "load after: $(cut -d ' ' -f 1-3 /proc/loadavg)"

# min, median (the mean of the middle two for an even count) and max.
summary() {
    sort -n "$runs/$1" | awk '{ v[NR] = $1 }
        END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.0f %.0f %.0f\n", v[1], m, v[NR] }'
}
set -- $(summary base) $(summary current)
printf '%-7s nps min %s median %s max %s\n' base "$1" "$2" "$3"
printf '%-7s nps min %s median %s max %s\n' current "$4" "$5" "$6"
awk -v b="$2" -v c="$5" -v n="$pairs" 'BEGIN { printf "ratio of medians (current / base) %.3f over %d pairs\n", c / b, n }'
if [ -n "$together" ]; then
    sort -n "$runs/ratios" | awk -v n="$pairs" '{ v[NR] = $1 }
        END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "median pair ratio (both sides at once, CPUs swapped) %.3f over %d pairs (min %.3f, max %.3f)\n", m, n, v[1], v[NR] }'
fi
