#!/usr/bin/env bash
# wasm_bench.sh <native build folder> <WebAssembly build folder> [depth]
# The bench of the native build and of the WebAssembly build under Node, one
# after the other, and the ratio of their node rates. The two signatures must
# agree: a different one means the builds search differently.
set -euo pipefail
native=$1
wasm=$2
depth=${3:-}

# Prints "signature nps" from a bench's summary line. A bench that fails or
# ends without its summary stops the tool: two missing signatures would
# otherwise compare equal.
summary() {
  local name=$1 output status=0
  shift
  output=$("$@") || status=$?
  local last=${output##*$'\n'}
  if [ "$status" -ne 0 ] || ! [[ $last =~ ^signature\ ([0-9]+)\ nodes\ [0-9]+\ time_ms\ [0-9]+\ nps\ ([0-9]+)$ ]]; then
    echo "the $name bench failed (exit status $status) or printed no summary line; its last line: \"$last\"" >&2
    exit 1
  fi
  echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}
# Assigned first, so that set -e sees a failed summary.
native_summary=$(summary native "$native/bench" $depth)
wasm_summary=$(summary wasm node "$wasm/bench.mjs" $depth)
read -r native_signature native_nps <<<"$native_summary"
read -r wasm_signature wasm_nps <<<"$wasm_summary"

printf 'native        signature %s nps %s\n' "$native_signature" "$native_nps"
printf 'wasm (node %s) signature %s nps %s\n' "$(node --version)" "$wasm_signature" "$wasm_nps"
awk -v w="$wasm_nps" -v n="$native_nps" 'BEGIN { printf "wasm/native nps ratio %.2f (target 0.50 or more)\n", w / n }'
if [ "$native_signature" != "$wasm_signature" ]; then
  echo "the signatures differ: the WebAssembly build searches differently" >&2
  exit 1
fi
