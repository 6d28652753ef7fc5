#!/usr/bin/env bash
# wasm_bench.sh <native build folder> <WebAssembly build folder> [depth]
# The bench of the native build and of the WebAssembly build under Node, one
# after the other, and the ratio of their node rates. The two signatures must
# agree: a different one means the builds search differently.
set -euo pipefail
native=$1
wasm=$2
depth=${3:-}

summary() { tail -n 1 | awk '{ print $2, $8 }'; }  # signature, nps
read -r native_signature native_nps < <("$native/bench" $depth | summary)
read -r wasm_signature wasm_nps < <(node "$wasm/bench.mjs" $depth | summary)

printf 'native        signature %s nps %s\n' "$native_signature" "$native_nps"
printf 'wasm (node %s) signature %s nps %s\n' "$(node --version)" "$wasm_signature" "$wasm_nps"
awk -v w="$wasm_nps" -v n="$native_nps" 'BEGIN { printf "wasm/native nps ratio %.2f (target 0.50 or more)\n", w / n }'
if [ "$native_signature" != "$wasm_signature" ]; then
  echo "the signatures differ: the WebAssembly build searches differently" >&2
  exit 1
fi
