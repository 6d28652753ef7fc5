#!/usr/bin/env python3
"""The session the README's quick start asks a newcomer to type, typed into the
real engine the way it says: one line at a time, waiting for `bestmove`
before `quit`. It must give uciok, readyok and a bestmove, and end with 1;
the README names the move it answers.

    readme_quick_start.py README.md build/vargul
"""
import re
import subprocess
import sys


def typed_session(readme):
    """The indented block that follows the words "Type these lines"."""
    text = open(readme, encoding="utf-8").read()
    found = re.search(r"Type these lines[\s\S]*?\n\n((?:    \S[^\n]*\n)+)", text)
    if not found:
        sys.exit("FAIL the README has no session after 'Type these lines'")
    return [line.strip() for line in found.group(1).splitlines()]


def main(readme, engine):
    session = typed_session(readme)
    if session[-1] != "quit" or not any(line.startswith("go ") for line in session):
        sys.exit(f"FAIL the README's session is not a search ended by quit: {session}")
    process = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    seen = []

    def read_until(word):
        for line in process.stdout:
            seen.append(line.rstrip("\n"))
            if line.startswith(word):
                return
        sys.exit(f"FAIL the engine ended before writing {word!r}")

    answers = {"uci": "uciok", "isready": "readyok", "go": "bestmove"}
    for line in session:
        process.stdin.write(line + "\n")
        process.stdin.flush()
        wanted = answers.get(line.split()[0])
        if wanted:
            read_until(wanted)
    status = process.wait(timeout=60)
    if status != 1:
        sys.exit(f"FAIL the engine ended with {status} after quit, not 1")
    best = [line for line in seen if line.startswith("bestmove ")]
    if f"`{best[0]}`" not in open(readme, encoding="utf-8").read():
        sys.exit(f"FAIL the engine answered {best[0]!r}, which the README does not say")
    print(f"ok   {len(session)} lines typed, {len(seen)} read, {best[0]}")


if __name__ == "__main__":
    main(*sys.argv[1:3])
