#!/usr/bin/env python3
"""TovanClient.exe under Wine against the exchange simulator: logon line,
keep-alive, the area request after logon, reconnect after a drop, retries
while the server does not listen, and the unsent queue across a reconnect.

    session_e2e_test.py --client TovanClient.exe --driver client_driver.exe

The simulator is TOVAN_SIM, else TOVAN_EXCHANGE_SIM, else the native tree's
build. The client must be a test build (it answers client_driver.exe and
mirrors its connection log into TOVAN_TEST_SESSION_LOG).
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
import simctl  # noqa: E402

HOME_CITY = "石家庄市".encode("gbk")  # the sample user "test" is a city-level account
CONNECTING = "正在连接服务器...".encode("gbk")
MACHINE_ID = re.compile(rb"^[0-9A-F]{32}-(?:[0-9A-F]{12})?$")

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wine_template():
    out = subprocess.run(["bash", "-c", '. "$1"; printf %s "$TOVAN_WINE_TEMPLATE"', "_",
                          os.path.join(ROOT, "scripts", "wine-env.sh")],
                         capture_output=True, text=True, check=True)
    return out.stdout


class Display:
    """The caller's display, or an Xvfb of our own."""

    def __init__(self):
        self.proc = None

    def __enter__(self):
        if os.environ.get("DISPLAY"):
            return self
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], pass_fds=(w,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        os.environ["DISPLAY"] = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(timeout=10)


class Client:
    """A copy of TovanClient.exe in a temporary folder with its own Wine prefix."""

    def __init__(self, exe, driver_exe, port, user_ini):
        self.tmp = tempfile.mkdtemp(prefix="tovan-e2e-")
        self.app = os.path.join(self.tmp, "app")
        self.prefix = os.path.join(self.tmp, "prefix")
        self.session_log = os.path.join(self.tmp, "session.log")
        self.driver_exe = driver_exe
        os.mkdir(self.app)
        shutil.copy(exe, os.path.join(self.app, "TovanClient.exe"))
        with open(os.path.join(self.app, "Config.ini"), "wb") as f:
            f.write(b"[Server]\r\nName=127.0.0.1\r\nPort=%d\r\n" % port)
        subprocess.run(["cp", "-a", wine_template(), self.prefix], check=True)
        with open(os.path.join(self.prefix, "drive_c", "windows", "dmr.ini"), "wb") as f:
            f.write(user_ini)
        self.env = dict(os.environ, TOVAN_KEEP_PREFIX=self.prefix,
                        TOVAN_TEST_SESSION_LOG="Z:" + self.session_log.replace("/", "\\"))
        self.proc = subprocess.Popen(
            ["bash", os.path.join(ROOT, "scripts", "wine-run"),
             os.path.join(self.app, "TovanClient.exe")],
            cwd=self.app, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wine_async(self, *argv):
        """Runs a Windows program in the client's prefix, beside the client."""
        return subprocess.Popen(
            ["bash", "-c", '. "$1"; shift; exec "$TOVAN_WINE" "$@"', "_",
             os.path.join(ROOT, "scripts", "wine-env.sh")] + list(argv),
            cwd=self.app, env=dict(self.env, WINEPREFIX=self.prefix),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def post_async(self, text):
        """Makes the client send text as its windows would; exit code 0 when it took it."""
        return self.wine_async(self.driver_exe, "post", text)

    def post(self, text):
        return self.post_async(text).wait(timeout=60) == 0

    def log_lines(self):
        try:
            with open(self.session_log, "rb") as f:
                return f.read().split(b"\r\n")[:-1]
        except FileNotFoundError:
            return []

    def close(self):
        subprocess.run(["wineserver", "-k"], env=dict(self.env, WINEPREFIX=self.prefix),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)


class Watch:
    """Polls the simulator's message log and notes when each entry appeared."""

    def __init__(self, sim):
        self.sim = sim
        self.seen = []  # (monotonic time first seen, LogEntry)

    def poll(self):
        entries = self.sim.log()
        now = time.monotonic()
        for e in entries[len(self.seen):]:
            self.seen.append((now, e))

    def wait(self, predicate, timeout, start=0):
        """The first entry from index start on that satisfies predicate: (time, entry, index)."""
        deadline = time.monotonic() + timeout
        while True:
            self.poll()
            for i in range(start, len(self.seen)):
                if predicate(self.seen[i][1]):
                    return self.seen[i][0], self.seen[i][1], i
            if time.monotonic() > deadline:
                return None, None, None
            time.sleep(0.05)

    def run_for(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.poll()
            time.sleep(0.05)


def intervals(times):
    return [b - a for a, b in zip(times, times[1:])]


def sim_binary():
    return os.environ.get("TOVAN_SIM") or os.environ.get("TOVAN_EXCHANGE_SIM") or \
        os.path.join(ROOT, "build", "native", "tools", "exchange-sim", "exchange-sim")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    args = ap.parse_args()

    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s (build the native tree or set TOVAN_SIM)" % binary)
        return 1

    # The stored password must not be sent: automatic logon is off.
    user_ini = "[User]\r\nName=test\r\nPass=test\r\nAutoLogon=0\r\n".encode("gbk")
    with Display(), simctl.Simulator(binary, accept_any_password=True) as sim:
        client = Client(args.client, args.driver, sim.tcp_port, user_ini)
        try:
            run(sim, client)
        finally:
            client.close()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


def is_logon(e):
    return e.message.startswith(b"!LOGON!|")


def run(sim, client):
    watch = Watch(sim)

    # Logon line and the area request after "!OK!".
    _, logon, at = watch.wait(is_logon, 90)
    if not check(logon is not None, "the client logs on"):
        return
    fields = logon.message.split(b"|")
    check(len(fields) == 4 and fields[1] == b"test", "logon carries the dmr.ini user: %r" % logon.message)
    check(len(fields) == 4 and fields[2] == b"-", "password is \"-\" with AutoLogon off")
    check(len(fields) == 4 and MACHINE_ID.match(fields[3]) is not None,
          "machine id has the 45- or 33-character form: %r" % (fields[3:],))
    conn = logon.conn
    _, today, _ = watch.wait(lambda e: e.conn == conn and e.message.startswith(b"!TODAYRECORD!"), 10, at)
    check(today is not None and today.message == b"!TODAYRECORD!|" + HOME_CITY,
          "after \"!OK!\" the client asks for its home city's offers: %r" % (today,))

    # Keep-alive.
    start = len(watch.seen)
    watch.run_for(7.0)
    loops = [t for t, e in watch.seen[start:] if e.conn == conn and e.message == b"LOOP"]
    gaps = intervals(loops)
    check(len(gaps) >= 3 and 1.2 <= statistics.mean(gaps) <= 1.7,
          "\"LOOP^\" about every 1.4 s: %s" % ["%.2f" % g for g in gaps])

    # A message sent while online goes straight out.
    check(client.post("!MYRECORDCOUNT!|e2e-online^"), "test driver reached the client")
    _, online, _ = watch.wait(lambda e: e.message == b"!MYRECORDCOUNT!|e2e-online", 10)
    check(online is not None and online.conn == conn, "a message sent while online arrives")

    # Dropped by the server: back and logged on within 2 s.
    mark = len(watch.seen)
    t0 = time.monotonic()
    sim.drop("test")
    _, relogon, at = watch.wait(lambda e: is_logon(e) and e.conn != conn, 5, mark)
    t1, again, _ = (None, None, None)
    if relogon is not None:
        t1, again, _ = watch.wait(
            lambda e: e.conn == relogon.conn and e.message.startswith(b"!TODAYRECORD!"), 5, at)
    check(again is not None and t1 - t0 <= 2.0,
          "after a drop the client is back and logged on in %s s" %
          ("%.2f" % (t1 - t0) if t1 else "-"))
    conn = relogon.conn if relogon else conn

    # Not listening: a connect is tried every 1.5 s.
    sim.listen(False)
    attempts_before = len(client.log_lines())
    sim.drop("test")
    seen_at = []
    poster = None
    end = time.monotonic() + 7.0
    while time.monotonic() < end:
        lines = client.log_lines()
        now = time.monotonic()
        new = [l for l in lines[attempts_before:] if CONNECTING in l]
        while len(seen_at) < len(new):
            seen_at.append(now)
        if poster is None and len(seen_at) >= 2:
            poster = client.post_async("!MYRECORDCOUNT!|e2e-offline^")  # its send fails: queued
        time.sleep(0.05)
    queued = poster is not None and poster.wait(timeout=60) == 0
    gaps = intervals(seen_at[1:])  # the first attempt follows the drop at once
    check(len(gaps) >= 2 and all(1.3 <= g <= 2.0 for g in gaps),
          "while the server does not listen the client retries every 1.5 s: %s" %
          ["%.2f" % g for g in gaps])
    check(queued, "a message was handed to the client while offline")

    # Listening again: the client logs on; the logon reply selects the own
    # area, which empties the unsent queue, so the first keep-alive tick
    # finds it empty and sends "LOOP^" instead of the stale text.
    mark = len(watch.seen)
    sim.listen(True)
    _, back, at = watch.wait(lambda e: is_logon(e) and e.conn != conn, 5, mark)
    if check(back is not None, "the client logs on again once the server listens"):
        _, loop, _ = watch.wait(lambda e: e.conn == back.conn and e.message == b"LOOP", 4, at)
        check(loop is not None, "keep-alive resumes on the new connection")
        watch.run_for(1.0)
        check(not any(e.message.endswith(b"e2e-offline") for _, e in watch.seen),
              "the text queued while offline was dropped by the logon reply")
        conn = back.conn

    # A second start shows the running-instance message and ends; the first
    # keeps its session.
    second = client.wine_async(os.path.join(client.app, "TovanClient.exe"))
    dismissed = client.wine_async(client.driver_exe, "dismiss-duplicate").wait(timeout=60) == 0
    check(dismissed, "a second start shows \"程序已在运行中，请不要重复登录\"")
    try:
        ended = second.wait(timeout=30) is not None
    except subprocess.TimeoutExpired:
        second.kill()
        ended = False
    check(ended, "the second instance ends")
    mark = len(watch.seen)
    _, loop, _ = watch.wait(lambda e: e.conn == conn and e.message == b"LOOP", 4, mark)
    check(loop is not None and len(sim.clients()) == 1, "the first instance keeps its session")


if __name__ == "__main__":
    sys.exit(main())
