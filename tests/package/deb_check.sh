#!/usr/bin/env bash
# The Debian package as a user meets it: lintian finds no error, dpkg installs
# it, /usr/games/vargul answers a transcript byte for byte, its manual page
# renders, and dpkg removes every file again. Run as root (dpkg).
#
#   tests/package/deb_check.sh dist/vargul_<version>_amd64.deb
set -euo pipefail
deb=$1
engine=/usr/games/vargul
fail() { echo "FAIL $*"; exit 1; }

# Tags at "info" level (hardening-no-bindnow and the like) are not shown;
# the one warning, hardening-no-pie, is the position-dependent build that
# reaches the engine's tables by absolute address.
lintian --fail-on error "$deb" || fail "lintian reports an error in $deb"

dpkg -i "$deb" >/dev/null
[ -x "$engine" ] || fail "$engine is not installed"

expected=$'id name Vargul_b3_3 Beta \nid author Marlovek21\noption name Hash type spin default 32 min 1 max 1024\nuciok\nreadyok\n\nWARNING ! Unknown command\n'
actual=$(printf 'uci\nisready\nposition startpos moves e2e4\nhello\nquit\n' | "$engine"; echo "status $?") || true
[ "$actual" = "${expected}status 1" ] || fail "the installed engine answered: $actual"
best=$(printf 'position startpos moves e2e4\ngo depth 3\n' | "$engine" | tail -n 1)
[ "$best" = "bestmove c7c6" ] || fail "go depth 3 after e2e4 gave '$best', not 'bestmove c7c6'"

manual=$(dpkg -L vargul | grep '/man6/vargul\.6\.gz$') || fail "no manual page in the package"
warnings=$(MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man warns: $warnings"
MANWIDTH=80 man -l "$manual" 2>/dev/null | grep -q 'vargul - chess engine speaking the UCI protocol' ||
  fail "the manual page does not render its NAME line"
for file in README.md copyright changelog.gz; do
  [ -f /usr/share/doc/vargul/$file ] || fail "/usr/share/doc/vargul/$file is missing"
done

files=$(dpkg -L vargul | while read -r path; do [ -f "$path" ] && echo "$path"; done)
dpkg -r vargul >/dev/null
for path in $files; do [ ! -e "$path" ] || fail "$path is left after dpkg -r"; done
echo "ok   $deb: lintian, dpkg -i, a transcript of $engine, man -l, dpkg -r"
