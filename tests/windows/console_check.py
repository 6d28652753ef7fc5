#!/usr/bin/env python3
"""console_check.py <emulator> <engine.exe>

Runs the Windows engine on a pseudo-terminal under wine, so that its standard
input is a console, and types as a person would: "go infinite", then "stop".
The search must go on well past its first input poll while nothing is typed
(a console is asked how many events wait, it is not read), and must answer
the typed "stop" with a bestmove. Exit status 0 when it does.
"""
import fcntl
import os
import pty
import re
import select
import struct
import sys
import termios
import time

ESCAPES = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]")


def main():
    emulator, engine = sys.argv[1], sys.argv[2]
    pid, fd = pty.fork()
    if pid == 0:
        os.execvp(emulator, [emulator, engine])
    # Wide enough that no info line is wrapped.
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 400, 0, 0))
    seen = b""

    def wait_for(pattern, seconds):
        nonlocal seen
        deadline = time.time() + seconds
        while time.time() < deadline:
            match = pattern.search(ESCAPES.sub(b"", seen))
            if match:
                return match
            ready, _, _ = select.select([fd], [], [], 0.1)
            if ready:
                try:
                    seen += os.read(fd, 65536)
                except OSError:
                    break
        return None

    def fail(what):
        print("FAIL:", what, file=sys.stderr)
        print(ESCAPES.sub(b"", seen)[-2000:].decode("latin-1"), file=sys.stderr)
        os.kill(pid, 9)
        sys.exit(1)

    # Keys typed before wine has set up the console are lost: ask until it answers.
    for _ in range(30):
        os.write(fd, b"isready\r")
        if wait_for(re.compile(rb"readyok"), 2):
            break
    os.write(fd, b"uci\r")
    if not wait_for(re.compile(rb"uciok"), 60):
        fail("no uciok")
    os.write(fd, b"position startpos\r")
    time.sleep(0.5)
    os.write(fd, b"go infinite\r")
    # The first poll comes after 50,001 leaves, before depth 7 ends.
    if not wait_for(re.compile(rb"info  nps \d+ depth (?:[8-9]|\d\d) "), 60):
        fail("the search stopped going deeper while nothing was typed")
    os.write(fd, b"stop\r")
    if not wait_for(re.compile(rb"bestmove [a-h][1-8][a-h][1-8]"), 30):
        fail("no bestmove after a typed stop")
    os.write(fd, b"quit\r")
    deadline = time.time() + 30
    while time.time() < deadline:
        ended, status = os.waitpid(pid, os.WNOHANG)
        if ended:
            if os.waitstatus_to_exitcode(status) != 1:
                fail("exit status %d after quit" % os.waitstatus_to_exitcode(status))
            print("console: the search ran on, stopped when told, and quit with status 1")
            return
        try:
            os.read(fd, 65536)
        except OSError:
            pass
        time.sleep(0.1)
    fail("still running after quit")


main()
