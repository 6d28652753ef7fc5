#!/usr/bin/env python3
"""pipe_check.py <stop|quit|end-of-file> <engine command...>

Drives an engine through pipes, as a GUI does, for the engines whose input
look is not the operating system's own (the WebAssembly engine under Node):
  stop         "go infinite", then "stop": answered with a bestmove, and the
               engine goes on answering; "quit" then ends it with status 1.
  quit         "go infinite", then "quit": no bestmove, exit status 1.
  end-of-file  the input closed while idle: the pending reply, status 0; closed
               during a search: the search ends by its limit, status 0.
Exit status 0 when the check passes; otherwise what went wrong is on stderr.
"""
import queue
import subprocess
import sys
import threading

# Generous: an emulated engine is slow to start; a stop that is not heard
# during "go infinite" never answers at all.
TIMEOUT = 30


class Engine:
    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put(raw.decode("latin-1"))
        self.lines.put(None)

    def send(self, text):
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()

    def close_input(self):
        self.process.stdin.close()

    def wait_for(self, prefix):
        """Every line up to and including the first that starts with prefix, or None."""
        seen = []
        while True:
            try:
                line = self.lines.get(timeout=TIMEOUT)
            except queue.Empty:
                return None
            if line is None:
                return None
            seen.append(line)
            if line.startswith(prefix):
                return seen

    def rest(self):
        """What the engine writes until it closes its output."""
        out = []
        while True:
            try:
                line = self.lines.get(timeout=TIMEOUT)
            except queue.Empty:
                break
            if line is None:
                break
            out.append(line)
        return "".join(out)

    def status(self):
        try:
            return self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return "none (still running)"


failures = []


def fail(what):
    print(f"FAIL: {what}", file=sys.stderr)
    failures.append(what)


# A report from the sixth iteration: the search has passed the first input
# look (the 50,002nd leaf call), so only a look at the pipe sees what follows.
def search_under_way(engine):
    engine.send("position startpos\ngo infinite\n")
    seen = engine.wait_for("info  nps")
    while seen is not None and " depth 6 " not in seen[-1]:
        seen = engine.wait_for("info  nps")
    return seen is not None


def check_stop(command):
    engine = Engine(command)
    engine.send("uci\n")
    if not search_under_way(engine):
        return fail("no report of depth 6 from go infinite")
    engine.send("stop\n")
    answer = engine.wait_for("bestmove ")
    if answer is None:
        return fail("no bestmove after stop")
    engine.send("isready\n")
    if engine.wait_for("readyok") is None:
        fail("no readyok after the stopped search")
    engine.send("quit\n")
    status = engine.status()
    if status != 1:
        fail(f"exit status after quit {status}, expected 1")
    print(f"go infinite, then stop: {answer[-1].strip()}")


def check_quit(command):
    engine = Engine(command)
    if not search_under_way(engine):
        return fail("no report of depth 6 from go infinite")
    engine.send("quit\n")
    rest = engine.rest()
    status = engine.status()
    if status != 1:
        fail(f"exit status after quit {status}, expected 1")
    if "bestmove" in rest:
        fail("a bestmove after quit")
    print(f"go infinite, then quit: status {status}")


def check_end_of_file(command):
    engine = Engine(command)
    engine.send("isready\n")
    engine.close_input()
    output = engine.rest()
    status = engine.status()
    if output != "readyok\n\n":
        fail(f"output after the input closed: {output!r}")
    if status != 0:
        fail(f"exit status at the end of input {status}, expected 0")
    # Closed during a search: every input look then finds the end, none may block.
    engine = Engine(command)
    engine.send("position startpos\ngo movetime 1500\n")
    if engine.wait_for("info  nps") is None:
        return fail("no report from go movetime")
    engine.close_input()
    output = engine.rest()
    status = engine.status()
    if not output.rstrip("\n").split("\n")[-1].startswith("bestmove "):
        fail(f"no bestmove after the input closed during a search: {output[-200:]!r}")
    if status != 0:
        fail(f"exit status after the search and the end of input {status}, expected 0")
    print(f"input closed idle and during a search: status {status}")


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    checks = {"stop": check_stop, "quit": check_quit, "end-of-file": check_end_of_file}
    check = checks.get(sys.argv[1])
    if check is None:
        print(f"unknown check {sys.argv[1]}", file=sys.stderr)
        return 2
    check(sys.argv[2:])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
