#!/usr/bin/env python3
"""TovanClient.exe under Wine against a hostile exchange (the simulator's
hostile modes and raw sends): a NUL byte inside a message, a fragment left
in the receive buffer when the connection drops, a reconnect in watch mode,
a server slow to read while the client sends, a server that closes every
connection as soon as it accepts it, and one that closes every connection
right after accepting its logon.

    hostile_server_e2e_test.py --client TovanClient.exe --driver client_driver.exe

The simulator and the client build it needs: see e2e_support.py.
"""

import os
import re
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Watch, check, run_client_test  # noqa: E402

HOME_CITY = "石家庄市".encode("gbk")
CONNECTING = "正在连接服务器...".encode("gbk")
LOGGED_ON = "已成功登录".encode("gbk")
CLOSED_AFTER_LOGON = "登录后连接随即被服务器关闭".encode("gbk")
WATCH_COMMAND, CURRENT_INFO_COMMAND = 32776, 11005
# Wine takes about 4.2 MB into a socket no one reads before a send comes back
# short: the burst must go past that.
BURST_COUNT, BURST_SIZE = 1300, 4000
BURST = re.compile(rb"^!NETBURST!\|(\d+)\|(x*)$")


def main():
    # Automatic logon off; a watch of both classes in the home city.
    user_ini = "[User]\r\nName=test\r\nPass=test\r\nAutoLogon=0\r\n[关注]\r\nType=货,车\r\n".encode("gbk")
    return run_client_test(user_ini, run, accept_any_password=True)


def is_logon(e):
    return e.message.startswith(b"!LOGON!|")


def state(client):
    """(list size, loaded rows, grid rows, first visible row) or None."""
    rc, out = client.driver("state")
    parts = out.split()
    return tuple(int(p) for p in parts) if rc == 0 and len(parts) == 4 else None


def title(client):
    rc, out = client.driver("title")
    return out if rc == 0 else b""


def wait_until(predicate, timeout):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.2)


def relogon(sim, watch, conn, timeout=10):
    """Drops the session; the new connection's logon entry and its index."""
    mark = len(watch.seen)
    sim.drop("test")
    _, logon, at = watch.wait(lambda e: is_logon(e) and e.conn != conn, timeout, mark)
    return logon, at


def run(sim, client):
    watch = Watch(sim)
    _, logon, at = watch.wait(is_logon, 90)
    if not check(logon is not None, "the client logs on"):
        return
    conn = logon.conn
    _, today, _ = watch.wait(lambda e: e.conn == conn and e.message.startswith(b"!TODAYRECORD!"), 10, at)
    check(today is not None, "it asks for its area after the logon reply")
    # The area tree may ask for the same list once more: let both replies land.
    wait_until(lambda: "当前信息".encode("gbk") in title(client), 10)
    time.sleep(1.0)

    # A NUL inside a count reply ends only that reply's text: the next reply,
    # in the same chunk, is still a reply of its own.
    sim.send("test", b"!RECORDCOUNT!|" + HOME_CITY + "|当前|66\0junk^!RECORDCOUNT!|".encode("gbk") +
             HOME_CITY + "|当前|7^".encode("gbk"))
    shown = wait_until(lambda: title(client).endswith(HOME_CITY + "当前信息7条".encode("gbk")), 10)
    check(shown, "a NUL does not swallow the \"^\" after it: %r" % title(client).decode("gbk", "replace"))

    # A fragment without "^" is left when the connection drops: the new
    # connection's logon reply must still be one.
    sim.send("test", b"!SINGLERECORD!|0|half a row")
    time.sleep(0.5)
    logon, at = relogon(sim, watch, conn)
    if check(logon is not None, "the client reconnects after a drop"):
        conn = logon.conn
        _, today, _ = watch.wait(lambda e: e.conn == conn and e.message.startswith(b"!TODAYRECORD!"), 10, at)
        check(today is not None, "after a drop that left a fragment the logon reply is still understood")

    # Watch mode, then a reconnect: the watch list fills again.
    mark = len(watch.seen)
    check(client.driver("command", str(WATCH_COMMAND))[0] == 0, "the watch command was given")
    _, asked, _ = watch.wait(lambda e: e.conn == conn and e.message.startswith(b"!GUANZHUCOUNT!|"), 10, mark)
    check(asked is not None, "the watch command asks for the watch count")
    watched = wait_until(lambda: (state(client) or (0,))[0], 15)
    check(watched > 0, "the watch list has rows: %r" % (watched,))
    logon, at = relogon(sim, watch, conn)
    if check(logon is not None, "the client reconnects in watch mode"):
        conn = logon.conn
        _, again, _ = watch.wait(lambda e: e.conn == conn and e.message.startswith(b"!GUANZHUCOUNT!|"), 10, at)
        check(again is not None, "after the logon reply the watch count is asked for again")
        refilled = wait_until(lambda: (state(client) or (0,))[0] == watched, 15)
        check(refilled, "the watch list the user sees is filled again: %r of %d rows" %
              (state(client), watched))
        check("共有关注信息".encode("gbk") in title(client),
              "the title shows the watch count: %r" % title(client).decode("gbk", "replace"))
    client.driver("command", str(CURRENT_INFO_COMMAND))

    # A server that stops reading: once the socket's buffers are full a send
    # takes only the front of a message; every message must still arrive
    # whole, each once, when the server reads again.
    sim.clear_log()
    watch.seen.clear()
    check(sim.slow_read("test", 0) == 1, "the server stops reading")
    rc, _ = client.driver("send-burst", str(BURST_COUNT), str(BURST_SIZE), timeout=120)
    check(rc == 0, "the client took %d messages of %d bytes to send" % (BURST_COUNT, BURST_SIZE))
    time.sleep(2.0)
    sim.slow_read("test", None)
    got, broken = {}, []

    def all_arrived():
        got.clear()
        broken.clear()
        for e in sim.log():
            if e.message == b"LOOP" or e.message.startswith(b"!SINGLERECORD!") or \
                    e.message.startswith(b"!TODAYRECORD!"):
                continue
            m = BURST.match(e.message)
            if m and len(m.group(2)) == BURST_SIZE:
                got[int(m.group(1))] = got.get(int(m.group(1)), 0) + 1
            else:
                broken.append(e.message[:60] + b"...(%d bytes)" % len(e.message))
        return len(got) >= BURST_COUNT

    deadline = time.monotonic() + 60
    while not all_arrived() and time.monotonic() < deadline:
        time.sleep(1.0)
    check(not broken, "no message arrived broken or glued to another: %r" % broken[:3])
    check(sorted(got) == list(range(BURST_COUNT)) and set(got.values()) == {1},
          "every message arrived once: %d of %d" % (len(got), BURST_COUNT))

    # A server that accepts and closes at once: after a few such closes the
    # client retries at the pace of a failed connect, not hundreds of times
    # a second.
    sim.close_on_accept(True)
    before = len(client.log_lines())
    sim.drop("test")
    time.sleep(6.0)
    attempts = sum(1 for l in client.log_lines()[before:] if CONNECTING in l)
    check(2 <= attempts <= 12, "connects in 6 s against a server that closes at once: %d" % attempts)
    sim.close_on_accept(False)
    mark = len(watch.seen)
    _, back, _ = watch.wait(is_logon, 10, mark)
    check(back is not None, "once the server serves again the client logs on")

    # A server that closes every connection right after its logon reply (the
    # account logged on elsewhere): the same pace, and the log says why.
    sim.close_after_logon(True)
    before = len(client.log_lines())
    sim.drop("test")
    time.sleep(6.0)
    lines = client.log_lines()[before:]
    logons = sum(1 for l in lines if LOGGED_ON in l)
    check(2 <= logons <= 12, "logons in 6 s against a server that closes after each: %d" % logons)
    check(any(CLOSED_AFTER_LOGON in l for l in lines), "the connection log says why the client waits")
    sim.close_after_logon(False)
    mark = len(watch.seen)
    _, back, _ = watch.wait(is_logon, 10, mark)
    check(back is not None, "once the server keeps it the client stays logged on")


if __name__ == "__main__":
    sys.exit(main())
