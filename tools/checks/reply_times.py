#!/usr/bin/env python3
"""Reply times of an engine binary: for each position (FEN per line), the
milliseconds from writing "go <limits>" to reading "bestmove", as a GUI sees
them. Prints one line per position, then median, 99th percentile and maximum.

    tools/checks/reply_times.py ENGINE "go movetime 100" POSITIONS [--stop-after MS] [--timeout S]

With --stop-after, "stop" is written that many milliseconds after "go" and
the time is measured from the "stop" instead.
"""
import argparse, os, select, subprocess, time


def read_until(proc, word, deadline):
    data = b""
    while word not in data:
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        ready, _, _ = select.select([proc.stdout], [], [], left)
        if not ready:
            return None
        chunk = os.read(proc.stdout.fileno(), 65536)
        if not chunk:
            return None
        data += chunk
    return data


def reply_ms(engine, fen, go, stop_after, timeout):
    proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, bufsize=0)
    try:
        proc.stdin.write(b"uci\nisready\n")
        read_until(proc, b"readyok", time.monotonic() + 10)
        proc.stdin.write(("position fen %s\n" % fen).encode())
        start = time.monotonic()
        proc.stdin.write((go + "\n").encode())
        if stop_after is not None:
            time.sleep(stop_after / 1000.0)
            start = time.monotonic()
            proc.stdin.write(b"stop\n")
        if read_until(proc, b"bestmove", start + timeout) is None:
            return None
        return (time.monotonic() - start) * 1000.0
    finally:
        proc.kill()
        proc.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("engine")
    parser.add_argument("go")
    parser.add_argument("positions")
    parser.add_argument("--stop-after", type=float)
    parser.add_argument("--timeout", type=float, default=30.0)
    args = parser.parse_args()
    times = []
    for line in open(args.positions):
        fen = line.strip()
        if not fen:
            continue
        ms = reply_ms(args.engine, fen, args.go, args.stop_after, args.timeout)
        times.append(ms if ms is not None else float("inf"))
        print("%10s  %s" % ("%.1f" % ms if ms is not None else ">%ds" % args.timeout, fen), flush=True)
    ordered = sorted(times)
    pick = lambda q: ordered[min(len(ordered) - 1, int(q * len(ordered)))]
    print("positions %d median %.1f p99 %.1f max %.1f ms" % (len(ordered), pick(0.5), pick(0.99), ordered[-1]))


if __name__ == "__main__":
    main()
