#!/usr/bin/env python3
"""TovanClient.exe under Wine against the exchange simulator's web service:
the pages of the top pane, the right pane and the status bar's banner at
start, the city pages after logon, the panes closed by glyph and by command,
the area tree toggle, the help window on F1; and bad input: pages that never
answer or answer 404, a missing help file, an odd [URL] Merovan, none at all.

    web_panes_e2e_test.py --client TovanClient.exe --driver client_driver.exe

Under Wine here no web browser engine is installed, so the pages are asked
for but not drawn: the assertions are on what the simulator's web service
received. With TOVAN_E2E_SHOTS=DIR screenshots are written there (they help
people; they decide nothing).
"""

import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, check, client_test_setup, failures  # noqa: E402

# The sample user "test" lives in 石家庄市; the client sends the city
# percent-escaped in GBK.
CITY = b"%CA%AF%BC%D2%D7%AF%CA%D0"
USER_INI = b"[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n"
HELP_TITLE = "Tovan信息客户端帮助".encode("gbk")
ID_AREA_LIST = 32784
ID_RIGHT_PANE, ID_TOP_PANE = 1003, 1004


def shot(name):
    folder = os.environ.get("TOVAN_E2E_SHOTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")], check=False)


def page_requests(sim):
    """The web pages asked for, as "<target> <status>" (the updater's list left out)."""
    return [line[4:] for line in sim.http_log()
            if line.startswith(b"GET ") and not line.startswith(b"GET /cab/")]


def wait_pages(sim, wanted, timeout):
    """The page log once every entry of wanted is in it (or at the timeout)."""
    deadline = time.monotonic() + timeout
    while True:
        pages = page_requests(sim)
        if all(w in pages for w in wanted) or time.monotonic() > deadline:
            return pages
        time.sleep(0.2)


def logged_on(sim, timeout=90):
    try:
        sim.wait_for_log(lambda e: e.message.startswith(b"!LOGON!|test|"), timeout=timeout)
        return True
    except TimeoutError:
        return False


def panes(client):
    """{name: (shown, left, top, right, bottom)} of tree, top, right and view."""
    rc, out = client.driver("panes")
    result = {}
    for line in out.decode("ascii", "replace").splitlines():
        parts = line.split()
        if len(parts) == 6:
            result[parts[0]] = tuple(int(p) for p in parts[1:])
    return result if rc == 0 else {}


def boxes(client):
    rc, out = client.driver("boxes")
    return [b for b in out.split(b"\n") if b.strip()] if rc == 0 else [b"(driver failed)"]


def responsive(client):
    """The frame answers within a second or two: the user-interface thread is free."""
    start = time.monotonic()
    rc, _ = client.driver("title", timeout=20)
    return rc == 0 and time.monotonic() - start < 4.0


def start_client(args, sim, merovan, with_help=True):
    config = b"[URL]\r\nMerovan=" + merovan + b"\r\n"
    files = []
    chm = os.path.join(os.path.dirname(args.client), "TovanClient.chm")
    if with_help:
        files.append((chm, "TovanClient.chm"))
    return Client(args.client, args.driver, sim.tcp_port, USER_INI, config_extra=config, app_files=files)


def pages_panes_and_help(args, binary):
    """A plain site address (with a trailing "/"): every page, the panes, F1."""
    with simctl.Simulator(binary, accept_any_password=True) as sim:
        base = b"http://127.0.0.1:%d/" % sim.http_port
        client = start_client(args, sim, base)
        try:
            check(logged_on(sim), "the client logs on")
            start = [b"/top.asp 200", b"/right.asp 200", b"/ldgg.asp 200"]
            after = [b"/ldgg.asp?city=" + CITY + b" 200", b"/right.asp?city=" + CITY + b" 200"]
            pages = wait_pages(sim, start + after, 30)
            for p in start:
                check(p in pages, "at start the client asks for %r" % p)
            for p in after:
                check(p in pages, "after logon the client asks for %r" % p)
            check(all(pages.index(a) > pages.index(s) for a in after for s in start if a in pages and s in pages),
                  "the city pages come after the start pages: %r" % pages)
            check(not any(b"//" in p for p in pages), "no doubled \"/\" from the trailing \"/\": %r" % pages)

            p = panes(client)
            tree, top, right, view = (p.get(k) for k in ("tree", "top", "right", "view"))
            if check(None not in (tree, top, right, view), "the driver sees the panes: %r" % p):
                check(tree[0] == 1 and top[0] == 1 and right[0] == 1,
                      "top pane, area tree and right pane are shown after a full-rights logon: %r" % p)
                check(right[1] == tree[1] and right[3] == tree[3] and right[2] == tree[4],
                      "the right pane sits right under the tree, as wide: %r" % p)
                check(view[2] == top[4] and view[3] == tree[1], "the view between the panes: %r" % p)
            shot("web-panes-start")
            check(boxes(client) == [], "no message box or prompt in front of the user: %r" % boxes(client))

            # The tree toggle takes the right pane along, both ways.
            client.driver("command", str(ID_AREA_LIST))
            p = panes(client)
            check(p.get("tree", (1,))[0] == 0 and p.get("right", (1,))[0] == 0,
                  "the tree toggle hides tree and right pane: %r" % p)
            check(p.get("view", (0, 0, 0, 0, 0))[3] == top[3], "the view takes the freed width: %r" % p)
            client.driver("command", str(ID_AREA_LIST))
            p = panes(client)
            check(p.get("tree", (0,))[0] == 1 and p.get("right", (0,))[0] == 1,
                  "the tree toggle shows both again: %r" % p)

            # Closing by the glyph and by the command.
            check(client.driver("click-glyph", str(ID_TOP_PANE))[0] == 0, "the top pane's glyph is clicked")
            p = panes(client)
            check(p.get("top", (1,))[0] == 0 and p.get("view", (0, 0, 0))[2] == top[2],
                  "the top pane's glyph hides it and the view moves up into its place: %r" % p)
            client.driver("command", str(ID_RIGHT_PANE))
            p = panes(client)
            check(p.get("right", (1,))[0] == 0 and p.get("tree", (0, 0, 0, 0, 0))[4] == view[4],
                  "command 1003 hides the right pane and the tree takes its height: %r" % p)
            client.driver("command", str(ID_AREA_LIST))
            client.driver("command", str(ID_AREA_LIST))
            p = panes(client)
            check(p.get("tree", (0,))[0] == 1 and p.get("right", (1,))[0] == 0,
                  "a right pane the user closed stays closed through the tree toggle: %r" % p)

            # Help on F1: our help file in the platform's viewer.
            client.driver("key-f1")
            rc, title = client.driver("window", "HH Parent")
            check(rc == 0 and title == HELP_TITLE, "F1 opens the help window: %r" % title)
            time.sleep(1)
            shot("help-on-f1")
            check(boxes(client) == [], "no message box with the help window: %r" % boxes(client))
        finally:
            client.close()


def pages_that_fail_and_no_help_file(args, binary):
    """Pages that never answer or answer 404, and no help file: nothing hangs."""
    with simctl.Simulator(binary, accept_any_password=True) as sim:
        sim.web_fault("/top.asp", "HANG")
        sim.web_fault("/ldgg.asp", "HANG")
        sim.web_fault("/right.asp", "404")
        client = start_client(args, sim, b"http://127.0.0.1:%d" % sim.http_port, with_help=False)
        try:
            check(logged_on(sim), "the client logs on while its pages hang")
            pages = wait_pages(sim, [b"/top.asp held", b"/ldgg.asp held", b"/right.asp 404",
                                     b"/ldgg.asp?city=" + CITY + b" held",
                                     b"/right.asp?city=" + CITY + b" 404"], 30)
            check(b"/top.asp held" in pages and b"/ldgg.asp held" in pages and b"/right.asp 404" in pages,
                  "the start pages were asked for and left hanging or refused: %r" % pages)
            check(b"/right.asp?city=" + CITY + b" 404" in pages,
                  "the city page is still asked for after logon: %r" % pages)
            check(responsive(client), "the window answers while pages hang")
            deadline = time.monotonic() + 30
            loaded = 0
            while loaded == 0 and time.monotonic() < deadline:
                rc, out = client.driver("state")
                fields = out.split()
                loaded = int(fields[1]) if rc == 0 and len(fields) == 4 else 0
                time.sleep(0.5)
            check(loaded > 0, "the offer rows still arrive while pages hang")
            rc, title = client.driver("title")
            check(rc == 0 and "石家庄市".encode("gbk") in title, "the logon still sets the title: %r" % title)
            shot("web-panes-hanging")

            client.driver("key-f1")
            time.sleep(2)
            rc, _ = client.driver("window", "HH Parent", timeout=30)
            check(rc != 0, "without the help file F1 opens no window")
            check(boxes(client) == [], "and no message box: %r" % boxes(client))
            check(responsive(client), "the window still answers")
        finally:
            client.close()


def odd_site_address(args, binary):
    """Blanks, quotes, GBK text and a trailing "/" in [URL] Merovan."""
    with simctl.Simulator(binary, accept_any_password=True) as sim:
        merovan = ("  http://127.0.0.1:%d/页 \"x\"/  " % sim.http_port).encode("gbk")
        client = start_client(args, sim, merovan)
        try:
            check(logged_on(sim), "the client logs on with an odd site address")
            base = b"/%D2%B3%20%22x%22"
            wanted = [base + b"/top.asp 404", base + b"/right.asp?city=" + CITY + b" 404"]
            pages = wait_pages(sim, wanted, 30)
            for w in wanted:
                check(w in pages, "the odd address is escaped, not cut: %r in %r" % (w, pages))
            check(responsive(client) and boxes(client) == [], "no hang and no box")
        finally:
            client.close()


def no_site_address(args, binary):
    """[URL] Merovan empty: no page at all."""
    with simctl.Simulator(binary, accept_any_password=True) as sim:
        client = start_client(args, sim, b"")
        try:
            check(logged_on(sim), "the client logs on without a site address")
            rc, _ = client.driver("title")
            time.sleep(3)  # room for page requests that must not come
            check(page_requests(sim) == [], "no page is asked for: %r" % page_requests(sim))
            p = panes(client)
            check(p.get("top", (0,))[0] == 1 and p.get("right", (0,))[0] == 1,
                  "the web panes are there, empty: %r" % p)
            shot("web-panes-no-site")
        finally:
            client.close()


def main():
    args, binary = client_test_setup()
    with Display():
        pages_panes_and_help(args, binary)
        pages_that_fail_and_no_help_file(args, binary)
        odd_site_address(args, binary)
        no_site_address(args, binary)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
