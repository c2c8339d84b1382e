#!/usr/bin/env python3
"""TovanClient.exe under Wine against the exchange simulator: logon line,
keep-alive, the area request after logon, reconnect after a drop, retries
while the server does not listen, and the unsent queue across a reconnect
and across the login dialog.

    session_e2e_test.py --client TovanClient.exe --driver client_driver.exe

The simulator and the client build it needs: see e2e_support.py.
"""

import os
import re
import statistics
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Watch, check, poll, run_client_test  # noqa: E402

HOME_CITY = "石家庄市".encode("gbk")  # the sample user "test" is a city-level account
CONNECTING = "正在连接服务器...".encode("gbk")
CONNECT_FAILED = "连接服务器失败".encode("gbk")
MACHINE_ID = re.compile(rb"^[0-9A-F]{32}-(?:[0-9A-F]{12})?$")


def intervals(times):
    return [b - a for a, b in zip(times, times[1:])]


def main():
    # The stored password must not be sent: automatic logon is off.
    user_ini = "[User]\r\nName=test\r\nPass=test\r\nAutoLogon=0\r\n".encode("gbk")
    return run_client_test(user_ini, run, accept_any_password=True)


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
            # Both sends fail and are queued: a list request and a user's action.
            poster = client.post_async("!MYRECORDCOUNT!|e2e-offline^")
            if poster.wait(timeout=60) == 0:
                poster = client.post_async("!CHENGJIAO!|e2e-offline^")
        time.sleep(0.05)
    queued = poster is not None and poster.wait(timeout=60) == 0
    gaps = intervals(seen_at[1:])  # the first attempt follows the drop at once
    check(len(gaps) >= 2 and all(1.3 <= g <= 2.0 for g in gaps),
          "while the server does not listen the client retries every 1.5 s: %s" %
          ["%.2f" % g for g in gaps])
    check(queued, "a message was handed to the client while offline")

    # Listening again: the client logs on; the logon reply starts a new list,
    # so the queued list request is stale and goes, while the user's closed
    # deal goes out on the first keep-alive tick; "LOOP^" follows.
    mark = len(watch.seen)
    sim.listen(True)
    _, back, at = watch.wait(lambda e: is_logon(e) and e.conn != conn, 5, mark)
    if check(back is not None, "the client logs on again once the server listens"):
        _, deal, _ = watch.wait(
            lambda e: e.conn == back.conn and e.message == b"!CHENGJIAO!|e2e-offline", 4, at)
        check(deal is not None, "the action queued while offline goes out after the reconnect")
        _, loop, _ = watch.wait(lambda e: e.conn == back.conn and e.message == b"LOOP", 4, at)
        check(loop is not None, "keep-alive resumes on the new connection")
        watch.run_for(1.0)
        check(not any(e.message == b"!MYRECORDCOUNT!|e2e-offline" for _, e in watch.seen),
              "the list request queued while offline was dropped by the logon reply")
        conn = back.conn

    # The login dialog while offline: what the account queued goes out after
    # it logs on again through the dialog; a logon as another account drops
    # it and says so.
    same = [b"!CHENGJIAO!|e2e-same-1", b"!CHENGJIAO!|e2e-same-2"]
    back = logon_through_dialog(sim, client, watch, "test", "test", same, conn)
    if check(back is not None, "the same account logs on again through the dialog"):
        arrived = [watch.wait(lambda e, m=m: e.conn == back.conn and e.message == m, 10, 0)[1] for m in same]
        check(all(arrived), "what it queued while offline goes out after that logon: %r" % arrived)
        conn = back.conn

    other = [b"!CHENGJIAO!|e2e-other-1", b"!CHENGJIAO!|e2e-other-2"]
    told = []
    back = logon_through_dialog(sim, client, watch, "peer", "peer", other, conn, told)
    check(told[:1] == ["已换用其他客户号登录，上一客户号未发出的 2 条信息已丢弃".encode("gbk")],
          "a logon as another account tells how many queued messages were dropped: %r" % told)
    if check(back is not None, "another account logs on through the dialog"):
        _, loop, _ = watch.wait(lambda e: e.conn == back.conn and e.message == b"LOOP", 10, 0)
        check(loop is not None, "keep-alive on the other account's connection")
        check(not any(e.message in other for _, e in watch.seen),
              "the first account's queue is not sent under the other account's name")
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


def logon_through_dialog(sim, client, watch, name, password, queued, conn, told=None):
    """With the server not listening, queues messages, gives the login
    command and, once the server listens again, logs on as name in the
    dialog; the text of a message box that follows goes to told. Returns the
    new connection's logon entry, or None."""
    sim.listen(False)
    sim.drop("*")
    failed = poll(client.log_lines, lambda lines: any(CONNECT_FAILED in l for l in lines[-3:]), 20)
    check(any(CONNECT_FAILED in l for l in failed[-3:]), "the client is offline")
    for m in queued:
        check(client.post((m + b"^").decode()), "queued while offline: %r" % m)
    mark = len(watch.seen)
    client.driver("post-command", "32777")  # the login command
    dialog = poll(lambda: client.driver("boxes")[1], lambda out: "用户登录".encode("gbk") in out, 15)
    check("用户登录".encode("gbk") in dialog, "the login dialog is up")
    sim.listen(True)
    rc, _ = client.driver("login", name.encode("gbk").hex(), password.encode("gbk").hex())
    check(rc == 0, "the dialog takes %s" % name)
    if told is not None:
        rc, text = client.driver("message-box")
        if rc == 0:
            told.append(text)
    _, logon, _ = watch.wait(
        lambda e: e.message.startswith(b"!LOGON!|%s|%s|" % (name.encode(), password.encode())) and e.conn != conn,
        20, mark)
    return logon


if __name__ == "__main__":
    sys.exit(main())
