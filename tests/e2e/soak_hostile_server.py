#!/usr/bin/env python3
"""Soak by hand (not a CTest test): the client as users get it against one
misbehaving exchange for a while, printing figures a minute and a summary.

    soak_hostile_server.py --client TovanClient.exe --driver release_driver.exe \
        --server down|overcount|close-after-logon [--minutes 10]

Servers: `down` does not listen (the client retries every 1.5 s); `overcount`
counts 20 rows more than it serves, with the last rows in view;
`close-after-logon` closes every connection right after its "!OK!" (the
account logged on elsewhere). The first connect always fails, so that the
connection log window is made and its lines can be counted.

Figures: the client process's resident memory, the slowest answer of the
frame to WM_NULL (sampled every second by the driver, 5 s at most), the lines
of the connection log window, and per minute the row requests and logons the
simulator saw. Run the three side by side, each in a network of its own with
a display of its own (the script starts an Xvfb), e.g.
`/work/iso NAME python3 tests/e2e/soak_hostile_server.py ...`.
"""

import argparse
import os
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, auto_logon, sim_binary, wine_argv  # noqa: E402

SERVERS = ("down", "overcount", "close-after-logon")
EXTRA_ROWS = 20


def client_pid(prefix):
    """The Linux process of the client running in that Wine prefix."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmdline = f.read()
            with open("/proc/%s/environ" % pid, "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if b"TovanClient.exe" in cmdline and ("WINEPREFIX=" + prefix).encode() in environ:
            return int(pid)
    return None


def rss_mb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
    except OSError:
        pass
    return None


class FrameWatch:
    """release_driver.exe watch: (answer ms, log lines) once a second."""

    def __init__(self, client, seconds):
        self.samples = []
        self.proc = subprocess.Popen(wine_argv([client.driver_exe, "watch", str(seconds)]),
                                     cwd=client.app, env=dict(client.env, WINEPREFIX=client.prefix),
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            parts = line.split()
            if len(parts) == 2:
                self.samples.append((time.monotonic(), int(parts[0]), int(parts[1])))

    def last(self):
        return self.samples[-1] if self.samples else None


def count_log(sim, start):
    """(row requests, logons) in the simulator's log from entry start on, and the new end."""
    entries = sim.log()
    rows = sum(1 for e in entries[start:] if e.message.startswith(b"!SINGLERECORD!"))
    logons = sum(1 for e in entries[start:] if e.message.startswith(b"!LOGON!"))
    return rows, logons, len(entries)


def wait_for(what, timeout, step=0.5):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = what()
        if value:
            return value
        time.sleep(step)
    return None


def soak(sim, client, server, minutes):
    pid = wait_for(lambda: client_pid(client.prefix), 60)
    if pid is None:
        print("the client process was not found")
        return 1
    watch = FrameWatch(client, minutes * 60 + 90)
    if not wait_for(lambda: watch.last() and watch.last()[2] >= 0, 60):
        print("the connection log window did not come up")
        return 1

    if server == "overcount":
        sim.over_count(EXTRA_ROWS)
    elif server == "close-after-logon":
        sim.close_after_logon(True)
    if server != "down":
        sim.listen(True)
    if server == "overcount":
        # Logged on and counted, then the last rows in view (the grid keeps
        # the thumb inside the list).
        wait_for(lambda: count_log(sim, 0)[0] > 0, 60)
        time.sleep(2.0)
        client.driver("scroll", "65535")

    start = time.monotonic()
    base_rss = rss_mb(pid)
    print("server %s, client pid %d, %.1f MB at the start" % (server, pid, base_rss))
    print("minute  rss_MB  slowest_answer_ms  log_lines  row_requests  logons")
    log_at = count_log(sim, 0)[2]
    worst, unanswered, most_lines = 0, 0, 0
    rss_seen = [base_rss]
    for minute in range(1, minutes + 1):
        while time.monotonic() < start + minute * 60:
            time.sleep(1.0)
        rows, logons, log_at = count_log(sim, log_at)
        window = [s for s in watch.samples if start + (minute - 1) * 60 <= s[0] < start + minute * 60]
        slowest = max((s[1] for s in window), default=-1)
        unanswered += sum(1 for s in window if s[1] < 0)
        worst = max(worst, slowest)
        lines = window[-1][2] if window else -1
        most_lines = max(most_lines, max((s[2] for s in window), default=-1))
        rss = rss_mb(pid)
        rss_seen.append(rss)
        print("%6d  %6.1f  %17d  %9d  %12d  %6d" % (minute, rss or -1, slowest, lines, rows, logons))
        sys.stdout.flush()
    growth = (rss_seen[-1] - rss_seen[1]) * 10.0 / max(minutes - 1, 1) if minutes > 1 else 0.0
    print("summary %s: rss %.1f -> %.1f MB (after the first minute %+.2f MB per 10 min), "
          "slowest answer %d ms, %d samples unanswered in 5 s, log lines at most %d"
          % (server, rss_seen[0], rss_seen[-1], growth, worst, unanswered, most_lines))
    watch.proc.kill()
    return 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--server", choices=SERVERS, required=True)
    ap.add_argument("--minutes", type=int, default=10)
    args = ap.parse_args()
    with Display(own=True), simctl.Simulator(sim_binary(), accept_any_password=True) as sim:
        sim.listen(False)  # the first connect fails: the log window is made
        client = Client(os.path.abspath(args.client), os.path.abspath(args.driver), sim.tcp_port,
                        auto_logon("test"))
        try:
            return soak(sim, client, args.server, args.minutes)
        finally:
            client.close()


if __name__ == "__main__":
    sys.exit(main())
