#!/usr/bin/env python3
"""TovanClient.exe under Wine against the exchange simulator: the offer list
of the home city. After logon the client sizes its list from the count reply,
asks for the rows in view in runs of at most 80 and stores each where it
belongs; offers pushed by another client enter at the top, closed deals mark
their rows and deletions remove them, each with the frame title kept right.

    records_e2e_test.py --client TovanClient.exe --driver client_driver.exe

The simulator and the client build it needs: see e2e_support.py.
"""

import os
import re
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, Watch, check, client_test_setup, failures  # noqa: E402

HOME_CITY = "石家庄市"  # the sample user "test" is a city-level account there
WINDOW = 80             # rows asked for at most per request
ROW_REQUEST = re.compile(rb"^!SINGLERECORD!\|(-?\d+)\|(-?\d+)\|(.*)$", re.S)


def title_for(prefix, count):
    return prefix + ("    %s当前信息%d条" % (HOME_CITY, count)).encode("gbk")


def home_offer_ids(sim):
    """IDs of the stored offers of the home city, newest first: the rows the
    server sends for it (Area, province or county equal to the key)."""
    key = HOME_CITY.encode("gbk")
    ids = []
    offer_id = 1
    while True:
        offer = sim.offer(offer_id)
        if offer is None:
            break
        if key in (offer["Area"], offer["Sheng"], offer["xian"]):
            ids.append(offer_id)
        offer_id += 1
    return sorted(ids, reverse=True)


class ClientState:
    """What the test driver reads of the running client."""

    def __init__(self, client):
        self.client = client

    def state(self):
        """(list size, loaded rows, grid rows, first visible row) or None."""
        rc, out = self.client.driver("state")
        parts = out.split()
        return tuple(int(p) for p in parts) if rc == 0 and len(parts) == 4 else None

    def title(self):
        rc, out = self.client.driver("title")
        return out if rc == 0 else None

    def rows(self, first, count):
        """[(id, status)] of rows first .. first+count-1; (-1, -1) for a row without data."""
        rc, out = self.client.driver("rows", str(first), str(count))
        lines = out.split()
        if rc != 0 or len(lines) != 2 * count:
            return None
        return [(int(lines[i]), int(lines[i + 1])) for i in range(0, len(lines), 2)]

    def wait(self, predicate, timeout):
        """Polls state() until predicate(state) holds; returns the last state seen."""
        deadline = time.monotonic() + timeout
        while True:
            s = self.state()
            if s is not None and predicate(s):
                return s
            if time.monotonic() > deadline:
                return s
            time.sleep(0.2)

    def wait_title(self, wanted, timeout):
        deadline = time.monotonic() + timeout
        while True:
            t = self.title()
            if t == wanted or time.monotonic() > deadline:
                return t
            time.sleep(0.2)


def row_requests(watch, conn, start=0):
    """(first, count, key) of the client's row requests from index start on."""
    out = []
    for _, e in watch.seen[start:]:
        m = ROW_REQUEST.match(e.message) if e.conn == conn else None
        if m:
            out.append((int(m.group(1)), int(m.group(2)), m.group(3).decode("gbk", "replace")))
    return out


def main():
    args, binary = client_test_setup()

    user_ini = "[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n".encode("gbk")
    with Display(), simctl.Simulator(binary) as sim:
        expected = home_offer_ids(sim)
        client = Client(args.client, args.driver, sim.tcp_port, user_ini)
        try:
            run(sim, client, expected)
        finally:
            client.close()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


def run(sim, client, expected):
    watch = Watch(sim)
    view = ClientState(client)
    total = len(expected)
    if not check(total > WINDOW + 20, "the sample store has more than a page for %s: %d offers"
                 % (HOME_CITY, total)):
        return

    # Logon with the stored password, then the count of the home city.
    _, logon, at = watch.wait(lambda e: e.message.startswith(b"!LOGON!|test|test|"), 90)
    if not check(logon is not None, "the client logs on with the stored password"):
        return
    conn = logon.conn
    _, today, _ = watch.wait(lambda e: e.conn == conn and e.message.startswith(b"!TODAYRECORD!"), 10, at)
    check(today is not None and today.message == ("!TODAYRECORD!|" + HOME_CITY).encode("gbk"),
          "the client asks for the count of its home city")

    # The list is sized from the count reply and the title shows the count.
    s = view.wait(lambda s: s[0] == total, 20)
    check(s is not None and s[0] == total and s[2] == total,
          "list and grid hold the %d counted rows: %s" % (total, s))
    title = view.title() or b""
    suffix = title_for(b"", total)
    check(title.endswith(suffix) and len(title) > len(suffix),
          "the title shows the count: %r" % title.decode("gbk", "replace"))
    prefix = title[:-len(suffix)] if title.endswith(suffix) else title

    # The rows in view arrive: one run of at most 80 from the top, each row
    # where the server's order puts it, nothing beyond the window.
    first_screen = min(WINDOW, total)
    s = view.wait(lambda s: s[1] >= first_screen, 20)
    check(s is not None and s[1] == first_screen,
          "the first %d rows are loaded and no more: %s" % (first_screen, s))
    rows = view.rows(0, first_screen + 1) or []
    check([r[0] for r in rows[:first_screen]] == expected[:first_screen],
          "rows 0 to %d hold the home city's offers newest first" % (first_screen - 1))
    check(rows[first_screen:] == [(-1, -1)], "row %d, outside the window, has no data" % first_screen)
    watch.run_for(1.5)  # three paging ticks
    requests = row_requests(watch, conn)
    check(len(requests) >= 1 and requests[0] == (0, first_screen, HOME_CITY),
          "the first row request is \"!SINGLERECORD!|0|%d|%s\": %r" % (first_screen, HOME_CITY, requests[:1]))
    check(all(k == HOME_CITY and 1 <= n <= WINDOW and 0 <= f and f + n <= first_screen
              for f, n, k in requests),
          "every request is a run of at most %d rows inside the window: %r" % (WINDOW, requests))
    mark = len(watch.seen)

    # Scrolled down to row 100: the window from there in one request.
    check(client.driver("scroll", "100")[0] == 0, "the driver scrolls the grid to row 100")
    tail = min(total - 100, WINDOW)
    s = view.wait(lambda s: s[1] >= first_screen + tail, 20)
    check(s is not None and s[1] == first_screen + tail and s[3] == 100,
          "after scrolling, rows 100 to %d are loaded too: %s" % (99 + tail, s))
    rows = view.rows(100, tail) or []
    check([r[0] for r in rows] == expected[100:100 + tail], "rows 100 to %d hold their offers" % (99 + tail))
    watch.run_for(1.0)
    later = row_requests(watch, conn, mark)
    check(len(later) >= 1 and later[0] == (100, tail, HOME_CITY) and
          all(k == HOME_CITY and f >= 100 and 1 <= n <= WINDOW and f + n <= 100 + tail for f, n, k in later),
          "the scrolled window is asked for from row 100, %d rows: %r" % (tail, later))
    mark = len(watch.seen)

    # An offer of another city is not for this list; one published by a
    # second client of the home city enters at the top.
    before = view.rows(0, 2) or []
    sim.publish_at("sdwl", "济南市", "山东省", "历下区", "货", "济南到上海 钢材30吨 求车")
    new_id = sim.publish("peer", "货", "石家庄到广州 纸箱12吨 急求9.6米厢车")
    wanted = title_for(prefix, total + 1)
    shown = view.wait_title(wanted, 10)
    check(shown == wanted, "the title counts the pushed offer: %r" % (shown or b"").decode("gbk", "replace"))
    s = view.state()
    check(s is not None and s[0] == total + 1 and s[1] == first_screen + tail + 1 and s[2] == total + 1,
          "list, loaded rows and grid grow by one: %s" % (s,))
    check(s is not None and s[3] == 101, "the rows in view stay in view: first visible row %s" % (s and s[3],))
    rows = view.rows(0, 2) or []
    check(len(rows) == 2 and rows[0] == (new_id, 0) and before and rows[1] == before[0],
          "offer %d is row 0 and the former row 0 is row 1: %r" % (new_id, rows))
    watch.run_for(1.0)
    check(row_requests(watch, conn, mark) == [],
          "the shifted rows are not asked for again")
    total += 1

    # Closed deals: the named rows are marked; rows whose ID is only a part
    # of a longer number in the list are not.
    rows = view.rows(0, 20) or []
    open_rows = [i for i, (_, status) in enumerate(rows) if status == 0 and i > 0]
    if check(len(open_rows) >= 4, "four open offers among the first rows"):
        a, b, c, d = open_rows[:4]
        sim.deal("%d,%d0,%d,9%d" % (rows[a][0], rows[c][0], rows[b][0], rows[d][0]))
        want = [(oid, 1 if i in (a, b) else st) for i, (oid, st) in enumerate(rows)]
        deadline = time.monotonic() + 10
        after = view.rows(0, 20)
        while after != want and time.monotonic() < deadline:
            time.sleep(0.2)
            after = view.rows(0, 20)
        check(after == want, "a closed deal marks rows %d and %d only (not %d, %d): %r"
              % (a, b, c, d, [(i, after[i]) for i in (a, b, c, d)] if after else after))
        check(view.title() == title_for(prefix, total), "a closed deal leaves the title")

    # Deletion: the row goes, the rows below move up, the title counts one less.
    rows = view.rows(0, 6)
    if not check(rows is not None and all(oid > 0 for oid, _ in rows), "rows 0 to 5 are loaded"):
        return
    old_title = view.title() or b""
    sim.delete(rows[3][0])
    s = view.wait(lambda s: s[0] == total - 1, 10)
    check(s is not None and s[0] == total - 1 and s[1] == first_screen + tail and s[2] == total - 1,
          "a deleted offer leaves the list and the grid: %s" % (s,))
    after = view.rows(0, 5) or []
    check(after == rows[:3] + rows[4:6], "the rows below the deleted one move up")
    new_title = view.title() or b""
    check(new_title == old_title.replace(b"%d" % total, b"%d" % (total - 1)) and
          new_title == title_for(prefix, total - 1),
          "the title counts one less: %r" % new_title.decode("gbk", "replace"))


if __name__ == "__main__":
    sys.exit(main())
