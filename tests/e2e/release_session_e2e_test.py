#!/usr/bin/env python3
"""The client as users get it (any build, no test hooks) against the exchange
simulator, seen only through its frame's title and the wire: it logs on and
asks for its home city's offers, shows their count, asks for more rows when
the grid is scrolled by the scroll thumb and by the wheel (never again for
rows it holds), and logs on again after the server drops it and after the
server stopped listening for a while.

    release_session_e2e_test.py --client TovanClient.exe --driver release_driver.exe
"""

import os
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, Watch, check, client_test_setup, failures  # noqa: E402
from records_e2e_test import HOME_CITY, ROW_REQUEST, WINDOW, home_offer_ids, title_for  # noqa: E402

USER_INI = b"[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n"


def row_requests(watch, conn, start):
    """(first, count) of the client's row requests of its home city from index start on."""
    out = []
    for _, e in watch.seen[start:]:
        m = ROW_REQUEST.match(e.message) if e.conn == conn else None
        if m and m.group(3) == HOME_CITY.encode("gbk"):
            out.append((int(m.group(1)), int(m.group(2))))
    return out


def wait_title(client, wanted, timeout):
    deadline = time.monotonic() + timeout
    while True:
        rc, title = client.driver("title")
        if (rc == 0 and title.endswith(wanted)) or time.monotonic() > deadline:
            return title
        time.sleep(0.3)


def logs_on(watch, conn, start, timeout):
    """The first logon on a connection other than conn and its home city's
    count request: (logon entry or None, index after the count request)."""
    _, logon, at = watch.wait(lambda e: e.message.startswith(b"!LOGON!|test|test|") and e.conn != conn,
                              timeout, start)
    if logon is None:
        return None, start
    _, today, at2 = watch.wait(lambda e: e.conn == logon.conn and e.message.startswith(b"!TODAYRECORD!"), 20, at)
    check(today is not None and today.message == b"!TODAYRECORD!|" + HOME_CITY.encode("gbk"),
          "after logon the client asks for its home city's offers: %r" % (today,))
    return logon, (at2 if at2 is not None else at)


def run(sim, client, total):
    watch = Watch(sim)
    logon, at = logs_on(watch, None, 0, 120)
    if not check(logon is not None, "the client logs on with the stored password"):
        return
    conn = logon.conn
    counted = title_for(b"", total)
    title = wait_title(client, counted, 30)
    check(title.endswith(counted), "the title shows the %d offers: %r" % (total, title.decode("gbk", "replace")))

    # Paging: the first screen in one run from the top, then the rows the
    # thumb and the wheel bring into view, never the rows already held.
    watch.run_for(2.0)
    first = row_requests(watch, conn, at)
    check(first[:1] == [(0, WINDOW)], "the first rows are asked for from the top: %r" % first)
    mark = len(watch.seen)
    thumb_to = WINDOW + 20
    check(client.driver("scroll", str(thumb_to))[0] == 0, "the scroll thumb is dragged to row %d" % thumb_to)
    held = (thumb_to, min(total, thumb_to + WINDOW))  # the rows asked for from there
    _, got, _ = watch.wait(lambda e: e.conn == conn and ROW_REQUEST.match(e.message) is not None, 20, mark)
    watch.run_for(1.5)
    thumbed = row_requests(watch, conn, mark)
    check(thumbed[:1] == [(held[0], held[1] - held[0])], "the rows from the thumb's row on are asked for: %r" % thumbed)
    mark = len(watch.seen)
    wheel_to = WINDOW + 5
    check(client.driver("wheel", str(wheel_to - thumb_to))[0] == 0,
          "the wheel turns %d notches up over the grid" % (thumb_to - wheel_to))
    _, got, _ = watch.wait(lambda e: e.conn == conn and ROW_REQUEST.match(e.message) is not None, 20, mark)
    watch.run_for(1.5)
    wheeled = row_requests(watch, conn, mark)
    check(got is not None and any(f <= wheel_to < f + n for f, n in wheeled),
          "rows the wheel brought into view are asked for: %r" % wheeled)
    check(all(WINDOW <= f and f + n <= held[0] for f, n in wheeled),
          "no row already held is asked for again: %r" % wheeled)

    # Dropped by the server: back and logged on.
    mark = len(watch.seen)
    check(sim.drop("test") == 1, "the simulator drops the client")
    logon, at = logs_on(watch, conn, mark, 30)
    if check(logon is not None, "after a drop the client logs on again"):
        conn = logon.conn
        watch.run_for(2.0)
        check(row_requests(watch, conn, at)[:1] != [], "and asks for its rows again")
        check(wait_title(client, counted, 20).endswith(counted), "the title counts the offers again")

    # The server stops listening for a while: the client keeps trying and logs
    # on once it listens again.
    sim.listen(False)
    sim.drop("test")
    watch.run_for(6.0)
    mark = len(watch.seen)
    sim.listen(True)
    logon, _ = logs_on(watch, conn, mark, 30)
    check(logon is not None, "once the server listens again the client logs on")
    if logon is not None:
        _, loop, _ = watch.wait(lambda e: e.conn == logon.conn and e.message == b"LOOP", 20, mark)
        check(loop is not None, "and keeps its session alive")


def main():
    args, binary = client_test_setup()
    with Display(own=True), simctl.Simulator(binary) as sim:
        total = len(home_offer_ids(sim))
        if check(total > WINDOW + 30, "the sample store has more than a page: %d offers" % total):
            client = Client(args.client, args.driver, sim.tcp_port, USER_INI)
            try:
                run(sim, client, total)
            finally:
                client.close()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
