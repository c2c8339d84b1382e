#!/usr/bin/env python3
"""TovanClient.exe under Wine: windows that come and go while the user works.

- The publishing dialog is open while the exchange stops: the connection log
  comes up with the failed connects, the exchange comes back, the user closes
  the log. The dialog stays the active window, and above the log on the X
  screen as in Windows' z-order; the frame stays disabled under it, and the
  dialog still answers and opens again afterwards.
- The publishing dialog opens my offers ("信息管理" -> "我的信息"), which
  the user closes: the publishing dialog is active and in front again, on the
  X screen too, over the frame it keeps disabled.
- A click on the top web pane's cross (the system's mouse) closes that pane
  only: the area tree and the right pane, laid out anew under the pointer,
  stay.

With TOVAN_E2E_SHOTS=<folder> a screenshot is written after each (for people
to look at; they decide nothing).

    dialog_front_e2e_test.py --client TovanClient.exe --driver client_driver.exe
"""

import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import Watch, check, client_windows, on_screen_above, run_client_test  # noqa: E402

USER_INI = b"[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n"
PUBLISH_CARGO = "32781"
MY_OFFERS = "32782"  # what "信息管理" -> "我的信息" in the publishing dialog posts to the frame
PUBLISHING = "发布".encode("gbk")
MY_OFFERS_TITLE = "我的信息".encode("gbk")
LOG_TITLE = "登录日志".encode("gbk")
FRAME_TITLE = b"Tovan"


def shot(name):
    folder = os.environ.get("TOVAN_E2E_SHOTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name)], check=False)


def front(client):
    """(active window title, frame enabled, log shown)."""
    rc, out = client.driver("front")
    lines = out.split(b"\n")
    if rc != 0 or len(lines) < 3:
        return None, None, None
    return lines[0], lines[1] == b"frame 1", lines[2] == b"log 1"


def wait_front(client, predicate, seconds):
    deadline = time.monotonic() + seconds
    state = front(client)
    while not predicate(*state) and time.monotonic() < deadline:
        time.sleep(0.3)
        state = front(client)
    return state


def is_logon(e):
    return e.message.startswith(b"!LOGON!|")


def publishing_dialog_through_a_lost_server(sim, client, watch):
    print("-- the publishing dialog while the exchange stops and comes back")
    check(client.driver("post-command", PUBLISH_CARGO)[0] == 0, "the user opens the publishing dialog")
    title, enabled, _ = wait_front(client, lambda t, e, l: t is not None and PUBLISHING in t, 15)
    if not check(title is not None and PUBLISHING in title, "the publishing dialog is active: %r" % title):
        return
    check(enabled is False, "the frame is disabled under it")

    sim.listen(False)
    sim.drop("test")
    title, enabled, shown = wait_front(client, lambda t, e, l: l, 20)
    check(shown, "the connection log comes up with the failed connects")
    time.sleep(2)  # more failed connects, each raising the log
    title, enabled, shown = front(client)
    check(title is not None and PUBLISHING in title,
          "the publishing dialog stays active while the log is up: %r" % title)
    check(enabled is False, "the frame stays disabled")
    windows = client_windows(client)
    print("windows (title, active, place on the screen): %r" % windows)
    check(on_screen_above(windows, PUBLISHING, LOG_TITLE),
          "the screen shows the publishing dialog above the log, as Windows has them")

    mark = len(watch.seen)
    sim.listen(True)
    _, back, _ = watch.wait(is_logon, 20, mark)
    check(back is not None, "the client logs on again once the exchange is back")
    check(client.driver("close-log")[0] == 0, "the user closes the log")
    time.sleep(1)
    title, enabled, shown = front(client)
    shot("publishing-dialog-after-log-closed.png")
    check(not shown, "the log is hidden")
    check(title is not None and PUBLISHING in title,
          "the publishing dialog is still the active window: %r" % title)
    check(enabled is False, "the frame is still disabled under it")

    check(client.driver("cancel-front")[0] == 0, "the user cancels the dialog")
    title, enabled, _ = wait_front(client, lambda t, e, l: e, 10)
    check(enabled is True, "the frame is enabled once the dialog ended")
    check(client.driver("post-command", PUBLISH_CARGO)[0] == 0, "the user opens it again")
    title, _, _ = wait_front(client, lambda t, e, l: t is not None and PUBLISHING in t, 15)
    check(title is not None and PUBLISHING in title, "it opens again: %r" % title)
    client.driver("cancel-front")
    wait_front(client, lambda t, e, l: e, 10)


def my_offers_from_the_publishing_dialog(client):
    print("-- the publishing dialog opens my offers, which closes again")
    check(client.driver("post-command", PUBLISH_CARGO)[0] == 0, "the user opens the publishing dialog")
    title, _, _ = wait_front(client, lambda t, e, l: t is not None and PUBLISHING in t, 15)
    if not check(title is not None and PUBLISHING in title, "the publishing dialog is active: %r" % title):
        return
    check(client.driver("post-command", MY_OFFERS)[0] == 0, "the user chooses 我的信息 in it")
    title, _, _ = wait_front(client, lambda t, e, l: t is not None and MY_OFFERS_TITLE in t, 15)
    if not check(title is not None and MY_OFFERS_TITLE in title, "my offers is active: %r" % title):
        return
    check(client.driver("cancel-front")[0] == 0, "the user closes my offers (IDCANCEL)")
    title, enabled, _ = wait_front(client, lambda t, e, l: t is not None and MY_OFFERS_TITLE not in t, 10)
    time.sleep(1)  # the X server has the requests of the activation
    windows = client_windows(client)
    print("windows (title, active, place on the screen): %r" % windows)
    shot("publishing-dialog-after-my-offers.png")
    check(title is not None and PUBLISHING in title, "the publishing dialog is active again: %r" % title)
    check(enabled is False, "the frame stays disabled under it")
    check(on_screen_above(windows, PUBLISHING, FRAME_TITLE), "the screen shows the publishing dialog above the frame")
    client.driver("cancel-front")
    _, enabled, _ = wait_front(client, lambda t, e, l: e, 10)
    check(enabled is True, "the frame is enabled once the publishing dialog ended")


def panes(client):
    rc, out = client.driver("panes")
    result = {}
    for line in out.decode("ascii", "replace").split("\n"):
        f = line.split()
        if len(f) == 6:
            result[f[0]] = (f[1] == "1", tuple(int(v) for v in f[2:]))
    return result


def top_cross_closes_one_pane(client):
    print("-- the top web pane's cross, clicked with the mouse")
    before = panes(client)
    print("panes: %r" % before)
    if not check(all(before.get(p, (False,))[0] for p in ("top", "tree", "right")),
                 "the top pane, the tree and the right pane show"):
        return
    check(client.driver("mouse-glyph", "1004")[0] == 0, "the user clicks the top pane's cross")
    time.sleep(1)
    after = panes(client)
    print("panes: %r" % after)
    shot("panes-after-top-cross.png")
    check(not after["top"][0], "the top pane is closed")
    check(after["tree"][0], "the area tree stays")
    check(after["right"][0], "the right pane stays")


def run(sim, client):
    watch = Watch(sim)
    _, logon, _ = watch.wait(is_logon, 90)
    if not check(logon is not None, "the client logs on"):
        return
    time.sleep(3)  # the logon reply's layout, pages and rows
    top_cross_closes_one_pane(client)
    my_offers_from_the_publishing_dialog(client)
    publishing_dialog_through_a_lost_server(sim, client, watch)


if __name__ == "__main__":
    sys.exit(run_client_test(USER_INI, run, accept_any_password=True))
