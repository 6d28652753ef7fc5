#!/usr/bin/env bash
# Fails when a folder under src/ includes a header of a folder above it in the
# layer order, which also rules out two folders that include each other.
set -euo pipefail
cd "$(dirname "$0")/../.."

order=(platform board position search uci app)
rank() {
    local i
    for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}

status=0
while IFS= read -r hit; do
    file=${hit%%:*}
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${hit#*:}")
    from=$(cut -d/ -f2 <<<"$file")
    to=${header%%/*}
    [ "$to" = "$header" ] && continue  # same-folder include without a path
    from_rank=$(rank "$from")
    to_rank=$(rank "$to")
    if [ "$from_rank" -lt 0 ] || [ "$to_rank" -lt 0 ]; then
        echo "layering: $file includes $header, outside the known layers (${order[*]})"
        status=1
    elif [ "$to_rank" -gt "$from_rank" ]; then
        echo "layering: $file ($from) includes $header ($to), a higher layer"
        status=1
    fi
done < <(grep -rnE '^\s*#\s*include\s+"' src --include='*.h' --include='*.cpp' | sed -E 's/^([^:]+):[0-9]+:/\1:/')

[ "$status" -eq 0 ] && echo "layering: ok (${order[*]})"
exit "$status"
