#!/usr/bin/env python3
"""Two clients as users get them (any build, no test hooks), each with the
chat control of the same tree, each in its own Wine prefix, chatting: A
double-clicks the talk column of B's offer, both chat windows open with the
other's name, texts go both ways, A asks B to talk, B accepts through the
link, the tone A's microphone hears comes out of B's speaker (ALSA devices
that read and write files), A stops it and B closes. Read only through window
titles, control texts and the sound files.

    release_chat_e2e_test.py --client TovanClient.exe --driver release_driver.exe --vokar Vokar.ocx

The controls ask the address server on its fixed UDP port 4343, so the test
runs in a network namespace of its own when it can (as root: unshare -n).
"""

import os
import re
import shutil
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import (program_args, Client, Display, auto_logon, check, client_windows, failures, in_own_network,  # noqa: E402
                         on_screen_above, pinned_wine, poll, sim_binary)
from sound_files import PLAYBACK_RATE, dominant_frequency, two_chat_homes  # noqa: E402

ADDRESS_SERVER_PORT = 4343
TONE_HZ = 1500  # what A's microphone hears: apart from the 1 kHz ring
COUNT_IN_TITLE = re.compile("当前信息".encode("gbk") + rb"(\d+)" + "条".encode("gbk") + rb"$")


def gbk(text):
    return text.encode("gbk")




class Chatter:
    """One user's client as the driver sees its chat window."""

    def __init__(self, client):
        self.client = client

    def titles(self):
        rc, out = self.client.driver("chats")
        return [t for t in out.split(b"\n") if t] if rc == 0 else []

    def text(self):
        rc, out = self.client.driver("chat-text")
        return out if rc == 0 else b""

    def shows(self, line, timeout):
        return gbk(line) in poll(self.text, lambda t: gbk(line) in t, timeout)

    def count(self, timeout):
        """The number of offers the frame's title counts, None when it shows none."""
        def number():
            rc, out = self.client.driver("title")
            m = COUNT_IN_TITLE.search(out) if rc == 0 else None
            return int(m.group(1)) if m else None
        return poll(number, lambda n: n is not None, timeout)


def logged_on(sim, users):
    return {c.user for c in sim.clients()} >= users


def voice(a, b, played):
    """A asks to talk, B accepts; A's microphone tone reaches B's speaker; A stops."""
    sound = lambda: open(played, "rb").read() if os.path.exists(played) else b""  # noqa: E731
    check(a.client.driver("chat-voice")[0] == 0, "A presses the voice button")
    check(b.shows("[张建国]对方请求与您语音交谈,您是", 20), "B is asked to talk")
    check(a.shows("与[李明]语音交谈的请求已发送,请等待回应", 5), "A is told the request went out")
    ring_end = len(sound())  # B's ring stops when B answers
    check(b.client.driver("chat-click", gbk("接受").hex())[0] == 0, "B clicks the accept link")
    check(a.shows("与[李明]语音交谈中", 20), "A's voice conversation runs")
    heard = poll(lambda: dominant_frequency(sound()[ring_end:], PLAYBACK_RATE),
                 lambda f: f[0] is not None and abs(f[0] - TONE_HZ) <= 100 and f[1] > 500, 45)
    check(heard[0] is not None and abs(heard[0] - TONE_HZ) <= 100 and heard[1] > 500,
          "B's speaker plays the %d Hz tone of A's microphone (strongest %s Hz, level %d)"
          % (TONE_HZ, heard[0], heard[1]))
    failed = gbk("您目前无法进行语音交谈")
    check(failed not in a.text() and failed not in b.text(), "both sides' sound devices started")
    check(a.client.driver("chat-voice")[0] == 0, "A presses the voice button again")
    check(a.shows("已停止与[李明]的语音交谈", 20), "A stops the conversation")
    check(b.shows("[张建国]已中止语音交谈", 20), "B is told it stopped")


def chats_in_front(a, b, a_named, b_named):
    """Each chat window shows in front of its user's maximised frame, judged
    by the X screen; B's, opened by A's request, takes no activation, and
    stays in front when B activates the frame to work in it."""
    frame = b"Tovan"
    for who, name, chat in ((a, "A", a_named), (b, "B", b_named)):
        windows = client_windows(who.client)
        print("%s's windows (title, active, place on the screen): %r" % (name, windows))
        check(on_screen_above(windows, chat, frame), "%s's chat window shows in front of the frame" % name)
    check(not any(b_named in t and active for t, active, _ in client_windows(b.client)),
          "B's chat window did not take the activation")
    check(b.client.driver("activate")[0] == 0, "B activates the frame")
    windows = poll(lambda: client_windows(b.client), lambda ws: any(frame in t and active for t, active, _ in ws), 10)
    time.sleep(1)  # the X server has the requests of that activation
    windows = client_windows(b.client)
    check(any(frame in t and active for t, active, _ in windows) and on_screen_above(windows, b_named, frame),
          "B's chat window stays in front of the active frame: %r" % windows)


def run(sim, a, b, played):
    if not check(poll(lambda: logged_on(sim, {b"test", b"peer"}), bool, 120), "both users are logged on"):
        return
    # B's offer is pushed to A and enters A's list at the top; A's title
    # counts it.
    before = a.count(60)
    if not check(before is not None, "A's title counts its offers"):
        return
    sim.publish("peer", "货", "聊天测试 石家庄到北京 10吨")
    check(poll(lambda: a.count(0), lambda n: n == before + 1, 30) == before + 1, "B's offer reached A's list")
    check(a.client.driver("talk", "0")[0] == 0, "A double-clicks the talk column of B's offer")

    a_named, b_named = gbk("与 李明 交谈中"), gbk("与 张建国 交谈中")
    opened = [check(poll(a.titles, lambda t: a_named in t, 45) == [a_named], "A's one chat window shows B's name"),
              check(poll(b.titles, lambda t: b_named in t, 20) == [b_named], "B's chat window opened with A's name")]
    for who, name in ((a, "A"), (b, "B")):
        check(who.client.proc.poll() is None, "%s's client still runs" % name)
    if not all(opened):
        return
    check(b.shows("[张建国]与您热烈交谈中", 10), "B is told A is talking to it")
    chats_in_front(a, b, a_named, b_named)

    for sender, receiver, name, said in ((a, b, "张建国", "hello 运费多少"), (b, a, "李明", "2000元 可以")):
        check(sender.client.driver("chat-say", gbk(said).hex())[0] == 0, "%s types %r" % (name, said))
        check(receiver.shows("[%s]%s" % (name, said), 20), "%s's text reaches the other window" % name)
        check(gbk(said) in sender.text(), "and stays in %s's own" % name)
    for who in (a, b):
        check(gbk("对方不在线") not in who.text(), "nobody was reported absent")

    voice(a, b, played)

    check(b.client.driver("chat-close")[0] == 0, "B presses close")
    check(a.shows("[李明]终止了与您的交谈。", 20), "A gets the closing line")
    check(poll(b.titles, lambda t: not t, 15) == [], "B's chat window is gone")


def main():
    args = program_args("client", "driver", "vokar")
    if not in_own_network():
        print("no network namespace of our own: the address server port is shared")
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s" % binary)
        return 1

    # A's microphone hears a tone, B's near-silence; B's speaker plays into a file.
    sound_dir, home_a, home_b, played = two_chat_homes(180, TONE_HZ, "tovan-rel-chat-")
    wine = pinned_wine()  # found through HOME, which each client gets its own of
    try:
        with Display(own=True), simctl.Simulator(binary, udp_port=ADDRESS_SERVER_PORT) as sim:
            config = b"[URL]\r\nMerovan=http://127.0.0.1:%d\r\n" % sim.http_port
            files = [(args.vokar, "Vokar.ocx")]
            a = Client(args.client, args.driver, sim.tcp_port, auto_logon("test"), config_extra=config, app_files=files,
                       env=dict(wine, HOME=home_a))
            b = Client(args.client, args.driver, sim.tcp_port, auto_logon("peer"), config_extra=config, app_files=files,
                       env=dict(wine, HOME=home_b))
            try:
                run(sim, Chatter(a), Chatter(b), played)
            finally:
                a.close()
                b.close()
    finally:
        shutil.rmtree(sound_dir, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
