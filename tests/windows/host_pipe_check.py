#!/usr/bin/env python3
"""host_pipe_check.py <emulator> <engine.exe>

Runs the Windows engine under wine with an ordinary host pipe as its standard
input, held open as a Linux GUI or adapter holds it. Wine cannot peek at such
a pipe, so only a look that does not block keeps the search to its limits:
"go movetime 500" must be answered within 1.5 s with nothing or half a line
sent after it, a "stop" or "quit" during "go infinite" must be heard, and a
pipe closed during a search must end the run when the search is done. Exit
status 0 when it does.
"""
import os
import re
import select
import subprocess
import sys
import time

MOVE_TIME_BOUND = 1.5
START_SECONDS = 60


class Engine:
    def __init__(self, emulator, path):
        self.process = subprocess.Popen([emulator, path], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.seen = b""
        self.pending = b""

    def send(self, text):
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()

    def close_input(self):
        self.process.stdin.close()

    def wait_for(self, pattern, seconds):
        """The first whole line matching the pattern, or None at the deadline or the end of output."""
        deadline = time.monotonic() + seconds
        while True:
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                if re.match(pattern, line):
                    return line.rstrip(b"\r").decode()
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([self.process.stdout], [], [], left)
            if not ready:
                return None
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                return None
            self.seen += chunk
            self.pending += chunk

    def exit_status(self, seconds):
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            return None

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


failures = 0


def fail(engine, what):
    global failures
    failures += 1
    print("FAIL:", what, file=sys.stderr)
    print(engine.seen[-2000:].replace(b"\r\n", b"\n").decode("latin-1"), file=sys.stderr)


def exchange(engine, text, reply, seconds, failure):
    """Sends the text and waits for the reply; a failure is reported and answers False."""
    engine.send(text)
    if engine.wait_for(reply, seconds):
        return True
    fail(engine, failure)
    return False


DEEP_REPORT = rb"info  nps \d+ depth (?:[8-9]|\d\d) "  # comes after the first look at the input


def timed_move(engine, behind=""):
    """Sends "go movetime 500" and the text behind it; answers the seconds to its bestmove, or None."""
    started = time.monotonic()
    engine.send("go movetime 500\n" + behind)
    if not engine.wait_for(rb"bestmove ", MOVE_TIME_BOUND):
        return None
    return time.monotonic() - started


def check_open_pipe(emulator, path):
    engine = Engine(emulator, path)
    try:
        if not exchange(engine, "uci\n", rb"uciok", START_SECONDS, "no uciok"):
            return
        engine.send("position startpos\n")
        seconds = timed_move(engine)
        if seconds is None:
            return fail(engine, "go movetime 500 not answered within %.1f s" % MOVE_TIME_BOUND)
        print("go movetime 500 on an open host pipe: bestmove after %.2f s" % seconds)

        # Half a line during a search: the look must not wait for its rest,
        # and the rest must make it whole for the command loop.
        seconds = timed_move(engine, "isrea")
        if seconds is None:
            return fail(engine, "go movetime 500 held up by half a line")
        if not exchange(engine, "dy\n", rb"readyok", 5, "no readyok for the line sent in two halves"):
            return
        if not exchange(engine, "go infinite\n", DEEP_REPORT, 60, "the search stopped going deeper while nothing was sent"):
            return
        if not exchange(engine, "stop\n", rb"bestmove [a-h][1-8][a-h][1-8]", 5, "no bestmove after stop"):
            return
        # Lines the command loop reads after the search still come through.
        if not exchange(engine, "isready\n", rb"readyok", 5, "no readyok after the search"):
            return
        if not exchange(engine, "go infinite\n", DEEP_REPORT, 60, "the second search stopped going deeper"):
            return
        since_quit = len(engine.seen)
        engine.send("quit\n")
        status = engine.exit_status(5)
        if status != 1:
            return fail(engine, "exit status %s after quit during a search, expected 1" % status)
        engine.seen += engine.process.stdout.read()
        if b"bestmove" in engine.seen[since_quit:]:
            return fail(engine, "a bestmove after quit")
        print("go infinite: stop heard, then quit heard with status 1")
    finally:
        engine.end()


def check_closed_pipe(emulator, path):
    engine = Engine(emulator, path)
    try:
        engine.send("uci\nposition startpos\n")
        if not engine.wait_for(rb"uciok", START_SECONDS):
            return fail(engine, "no uciok")
        engine.send("go movetime 500\n")
        # The writer goes away during the search: it ends on its move time all the same.
        engine.close_input()
        if not engine.wait_for(rb"bestmove ", MOVE_TIME_BOUND):
            return fail(engine, "go movetime 500 not answered once the pipe was closed")
        status = engine.exit_status(5)
        if status != 0:
            return fail(engine, "exit status %s at the end of input, expected 0" % status)
        print("go movetime 500, pipe closed during the search: bestmove, then status 0")
    finally:
        engine.end()


def main():
    emulator, path = sys.argv[1], sys.argv[2]
    check_open_pipe(emulator, path)
    check_closed_pipe(emulator, path)
    sys.exit(1 if failures else 0)


main()
