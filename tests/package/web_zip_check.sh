#!/usr/bin/env bash
# The web zip unpacked into a fresh folder and its page loaded in a browser.
#
#   tests/package/web_zip_check.sh dist/vargul-<version>-web.zip
set -euo pipefail
zip=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
folders=("$work"/vargul-*-web)
[ -f "${folders[0]}/HOSTING.md" ] || { echo "FAIL no HOSTING.md at the top of $zip"; exit 1; }
node "$(dirname "$0")/web_zip_in_browser.mjs" "${folders[0]}"
