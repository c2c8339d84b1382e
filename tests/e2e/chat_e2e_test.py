#!/usr/bin/env python3
"""Two TovanClient.exe under Wine, each in its own prefix, logged on to the
exchange simulator as two users, chatting through their chat controls: A
double-clicks the talk column of B's offer, both windows open and exchange
names, a text typed by A reaches B (blue there, black at A), as does "a|b"
(a"b in both views) but not a text over the limit (A is told it), and both days'
transcripts, which the history viewers show again; A asks B to talk, B
accepts through the link, the 1.5 kHz tone A's microphone hears comes out of
B's speaker (ALSA devices that read and write files), and A's voice button
stops it; B closes and A gets the
red closing line; with B logged off a new chat of A reports the peer absent
after 10 s. A request relayed to B with B's logon reply, or 0.2 s after it,
before B's first rows are painted, opens B's window and the chat works. A third client
without the chat control refuses to open a chat, with a message.

    chat_e2e_test.py --client TovanClient.exe --driver client_driver.exe --vokar Vokar.ocx
                     [--shot FILE]   (a screenshot of both windows mid-conversation)

The controls ask the address server on its fixed UDP port 4343, so the test
runs in a network namespace of its own when it can (as root: unshare -n).
"""

import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import program_args, Client, Display, Watch, auto_logon, check, failures, in_own_network, pinned_wine, sim_binary  # noqa: E402
from sound_files import PLAYBACK_RATE, dominant_frequency, two_chat_homes  # noqa: E402

ADDRESS_SERVER_PORT = 4343
RED, BLUE, BLACK = 0x0000FF, 0xFF0000, 0x000000
TONE_HZ = 1500  # what A's microphone hears: apart from the 1 kHz ring


def gbk(text):
    return text.encode("gbk")


class Chatter:
    """One user's client and what the driver reads of its chat windows."""

    def __init__(self, client, name):
        self.client = client
        self.name = name

    def titles(self):
        rc, out = self.client.driver("chats")
        return [t for t in out.split(b"\n") if t] if rc == 0 else []

    def colour(self, text):
        """The colour of the text's last place in the chat window, -1 when absent."""
        rc, out = self.client.driver("chat-colour", gbk(text).hex())
        return int(out) if rc == 0 and out.strip() else None

    def shows(self, text):
        return lambda: self.colour(text) not in (None, -1)

    def history_colour(self, text):
        """Presses the history button; the text's colour in the viewer."""
        rc, out = self.client.driver("chat-history", gbk(text).hex())
        return int(out) if rc == 0 and out.strip() else None

    def wait(self, what, predicate, timeout):
        """Polls what() until predicate holds; returns the last value seen."""
        deadline = time.monotonic() + timeout
        while True:
            value = what()
            if predicate(value) or time.monotonic() > deadline:
                return value
            time.sleep(0.3)


def transcript(client, peer_id):
    path = os.path.join(client.app, peer_id + time.strftime("%y-%m-%d") + ".rtf")
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def logged_on(sim, users):
    return {c.user for c in sim.clients()} >= users


def talk(a, b, ok, peer, played):
    """A asks for a voice conversation, B accepts it; sound goes A -> B; A stops."""
    check(a.driver("chat-voice")[0] == 0, "A presses the voice button")
    question = "[张建国]对方请求与您语音交谈,您是"
    check(peer.wait(peer.shows(question), bool, 15), "B is asked to talk")
    check(ok.colour("与[李明]语音交谈的请求已发送,请等待回应") == RED, "A is told the request went out")
    sound = lambda: open(played, "rb").read() if os.path.exists(played) else b""
    ring_end = len(sound())  # B's ring (1 kHz) stops when B answers
    rc, _ = b.driver("chat-click", gbk("接受").hex())
    check(rc == 0, "B clicks the accept link")
    running = "与[李明]语音交谈中"
    check(ok.wait(ok.shows(running), bool, 15), "A: \"%s\"" % running)
    check(ok.colour(running) == RED, "in red")
    heard = peer.wait(lambda: dominant_frequency(sound()[ring_end:], PLAYBACK_RATE),
                      lambda f: f[0] is not None and abs(f[0] - TONE_HZ) <= 100 and f[1] > 500, 30)
    check(heard[0] is not None and abs(heard[0] - TONE_HZ) <= 100 and heard[1] > 500,
          "B's speaker plays the %d Hz tone of A's microphone (strongest %s Hz)" % (TONE_HZ, heard[0]))
    for who in (ok, peer):
        check(who.colour("您目前无法进行语音交谈,可能您与其他用户正在语音交谈中或音频设备错误") == -1,
              "%s's devices started" % who.name)

    check(a.driver("chat-voice")[0] == 0, "A presses the voice button again")
    check(ok.wait(ok.shows("已停止与[李明]的语音交谈"), bool, 15), "A stops the conversation")
    check(peer.wait(peer.shows("[张建国]已中止语音交谈"), bool, 15), "B is told it stopped")
    time.sleep(2)  # what was on its way has played
    size = len(sound())
    time.sleep(3)
    check(len(sound()) == size, "B's speaker is silent after the stop")


def said_as_sent(a, ok, peer, shot):
    """What A's view shows is what B's shows: "|" is sent as a double quote,
    and a text longer than one message is refused with the limit, not cut."""
    check(a.driver("chat-say", gbk("a|b").hex())[0] == 0, "A types a|b")
    quoted = '[张建国]a"b'
    check(peer.wait(peer.shows(quoted), bool, 15), "B shows a|b as a\"b: %r" % peer.colour(quoted))
    check(ok.colour(quoted) == BLACK, "A's own view shows the same")
    base = os.path.splitext(shot)[0] if shot else None
    if base:
        subprocess.run(["import", "-window", "root", base + "-bar.png"], check=False)

    too_long = "长文本测试%d，" % 0
    while len(gbk(too_long)) <= 1997:
        too_long += "长文本测试%d，" % len(too_long)
    check(a.driver("chat-say", gbk(too_long).hex())[0] == 0, "A types %d bytes" % len(gbk(too_long)))
    if base:
        time.sleep(1)
        subprocess.run(["import", "-window", "root", base + "-limit.png"], check=False)
    rc, text = a.driver("message-box", gbk("错误").hex())
    limit = "信息太长,每条信息最多1997个字节(998个汉字),请分几次发送"
    check(rc == 0 and text == gbk(limit), "A is told the limit: %r" % text.decode("gbk", "replace"))
    check(a.driver("chat-say", gbk("下一条").hex())[0] == 0, "A types another text")
    check(peer.wait(peer.shows("[张建国]下一条"), bool, 15), "which reaches B")
    for who in (ok, peer):
        check(who.colour("长文本测试0") == -1, "nothing of the long text in %s's view" % who.name)


def run(sim, a, b, shot, played):
    ok = Chatter(a, "A")
    peer = Chatter(b, "B")
    deadline = time.monotonic() + 60
    while not logged_on(sim, {b"test", b"peer"}) and time.monotonic() < deadline:
        time.sleep(0.3)
    if not check(logged_on(sim, {b"test", b"peer"}), "both users are logged on"):
        return

    offer_id = sim.publish("peer", "货", "聊天测试 石家庄到北京 10吨")
    # The pushed offer enters A's list at row 0.
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        rc, out = a.driver("rows", "0", "1")
        if rc == 0 and out.split()[:1] == [str(offer_id).encode()]:
            break
        time.sleep(0.3)
    check(a.driver("talk", "0")[0] == 0, "A double-clicks the talk column of B's offer")

    a_named = gbk("与 李明 交谈中")
    b_named = gbk("与 张建国 交谈中")
    titles_a = ok.wait(ok.titles, lambda t: a_named in t, 30)
    titles_b = peer.wait(peer.titles, lambda t: b_named in t, 5)
    check(titles_a == [a_named], "A's one window shows B's name: %r" % titles_a)
    check(titles_b == [b_named], "B's window opened and shows A's name: %r" % titles_b)
    check(peer.colour("[张建国]与您热烈交谈中") == RED, "B's window shows the name exchange in red")
    # The photo panes ask the web service for both users' photo pages, the
    # user ids in hexadecimal.
    photos = [t for t in sim.http_log() if b"/userphoto.asp" in t]
    for user in (b"peer", b"test"):
        page = b"/userphoto.asp?user=" + user.hex().upper().encode()
        check(any(page in t for t in photos), "a photo pane asked for %r: %r" % (page, photos))

    said = "hello 运费多少"
    check(a.driver("chat-say", gbk(said).hex())[0] == 0, "A types a text and presses Enter")
    line = "[张建国]" + said
    check(peer.wait(peer.shows(line), bool, 15), "the text reaches B's window")
    check(peer.colour(line) == BLUE, "in blue at B: %r" % peer.colour(line))
    check(ok.colour(line) == BLACK, "in black at A: %r" % ok.colour(line))
    check(ok.colour("对方") == -1, "A never reported the peer absent")

    if shot:
        # Both windows opened in the same second land on the same place.
        a.driver("chat-move", "20", "60")
        b.driver("chat-move", "500", "260")
        time.sleep(1)
        subprocess.run(["import", "-window", "root", shot], check=False)

    said_as_sent(a, ok, peer, shot)

    for client, peer_id, colour in ((a, "peer", BLACK), (b, "test", BLUE)):
        rtf = transcript(client, peer_id)
        check(rtf is not None and b"hello" in rtf, "%s's transcript %s holds the text" % (client is a and "A" or "B", peer_id))
        rgb = b"\\red%d\\green%d\\blue%d" % (colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16)
        check(rtf is not None and rgb in rtf, "its colour table has the line's colour %s" % rgb.decode())
        check(rtf is not None and b"\\'" in rtf, "the Chinese text is kept as 8-bit RTF")
    check(ok.history_colour(line) == BLACK, "A's history viewer shows the day's text again, in black")
    check(peer.history_colour(line) == BLUE, "B's history viewer shows it in blue")

    talk(a, b, ok, peer, played)

    check(b.driver("chat-close")[0] == 0, "B presses close")
    closing = "[李明]终止了与您的交谈。"
    check(ok.wait(ok.shows(closing), bool, 15), "A gets the closing line")
    check(ok.colour(closing) == RED, "in red: %r" % ok.colour(closing))
    check(peer.wait(peer.titles, lambda t: not t, 5) == [], "B's window is gone after the sweep")

    # B logs off; A closes and starts again: nobody answers the request.
    b.close()
    check(a.driver("chat-close")[0] == 0, "A closes its window")
    ok.wait(ok.titles, lambda t: not t, 5)
    sim.clear_log()
    start = time.monotonic()
    check(a.driver("talk", "0")[0] == 0, "A double-clicks the talk column again")
    got = ok.wait(ok.shows("对方不在线。"), bool, 20)
    took = time.monotonic() - start
    check(got, "A gets the absence line in red: %r" % ok.colour("对方不在线。"))
    check(8.5 <= took <= 16, "after the 10 s wait (%.1f s)" % took)
    sent = [e.message for e in sim.log()]
    check(any(m.startswith(b"!ADDCHATER!|peer|127.0.0.1|") for m in sent), "the request went out: %r" % sent)


def request_at_logon(sim, a, b, delay):
    """A asks B while B is away; B starts, and A's request is relayed to B
    `delay` seconds after B's logon reply, before B's first rows are painted."""
    ok = Chatter(a, "A")
    peer = Chatter(b, "B")
    ok.wait(lambda: logged_on(sim, {b"test"}), bool, 60)
    offer_id = sim.publish("peer", "货", "早到的请求 石家庄到北京 10吨")
    ok.wait(lambda: a.driver("rows", "0", "1")[1].split()[:1], lambda r: r == [str(offer_id).encode()], 20)
    sim.clear_log()
    watch = Watch(sim)
    check(a.driver("talk", "0")[0] == 0, "A double-clicks the talk column of B's offer")
    _, request, _ = watch.wait(lambda e: e.message.startswith(b"!ADDCHATER!|peer|"), 30)
    if not check(request is not None, "A's request goes out"):
        return
    # Relayed with the sender's id in front, as the exchange does.
    relayed = b"!ADDCHATER!|test|" + request.message.rstrip(b"^").split(b"|", 2)[2] + b"^"
    b.start()
    logon, _, _ = watch.wait(lambda e: e.message.startswith(b"!LOGON!|peer|"), 90)
    if not check(logon is not None, "B logs on"):
        return
    time.sleep(delay)
    sent = sim.send("peer", relayed)
    check(sent == 1, "the request is relayed to B (%d connections)" % sent)
    named = gbk("与 张建国 交谈中")
    titles = peer.wait(peer.titles, lambda t: named in t, 30)
    check(titles == [named], "the request %.1f s after the logon reply opened B's window, "
          "which shows A's name: %r" % (delay, titles))
    refused = [l.decode("gbk") for l in b.log_lines() if b"test" in l]
    check(not refused, "B refused nothing: %r" % refused)
    said = "早到 hello"
    check(a.driver("chat-say", gbk(said).hex())[0] == 0, "A types a text and presses Enter")
    check(peer.wait(peer.shows("[张建国]" + said), bool, 15), "the text reaches B's window")


def refused_without_control(sim, c):
    """A client whose folder lacks Vokar.ocx: the talk column says why no chat opens."""
    deadline = time.monotonic() + 60
    while not logged_on(sim, {b"sdwl"}) and time.monotonic() < deadline:
        time.sleep(0.3)
    sim.clear_log()
    talk = c.wine_async(c.driver_exe, "talk", "0")
    rc, text = c.driver("message-box")
    talk.wait(timeout=60)
    check(rc == 0 and gbk("无法打开交谈窗口") in text, "without the control: a message: %r" % text.decode("gbk", "replace"))
    check(Chatter(c, "C").titles() == [], "and no chat window")
    check(not any(e.message.startswith(b"!ADDCHATER!") for e in sim.log()), "and no request")

    # Other users' requests relayed to it, 40 in 8 s: no box piles on a box,
    # each is turned down in the connection log, and the frame goes on answering.
    for i in range(40):
        sim.send("sdwl", "!ADDCHATER!|caller%d|127.0.0.1|%d|127.0.0.1|%d^" % (i, 5000 + i, 5000 + i))
        time.sleep(0.2)
    time.sleep(2)
    boxes = [t for t in c.driver("boxes")[1].split(b"\n") if t.strip() == b"TovanClient"]
    check(boxes == [], "relayed requests open no boxes: %r" % boxes)
    check(c.driver("state")[0] == 0, "the frame answers")
    refused = [l for l in c.log_lines() if b"caller" in l]
    check(len(refused) == 40, "each request is noted in the connection log: %d" % len(refused))
    check(Chatter(c, "C").titles() == [], "and no chat window")

    # The user's own double-clicks, again while the box is up: one box at a time.
    for _ in range(2):
        c.wine_async(c.driver_exe, "talk", "0").wait(timeout=60)
        time.sleep(1)
    boxes = [t for t in c.driver("boxes")[1].split(b"\n") if t.strip() == b"TovanClient"]
    check(len(boxes) == 1, "two clicks while the box is up show one box: %r" % boxes)
    rc, text = c.driver("message-box")
    check(rc == 0, "the user closes it")


def main():
    args = program_args("client", "driver", "vokar", optional=("shot",))
    if not in_own_network():
        print("no network namespace of our own: the address server port is shared")
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s" % binary)
        return 1
    # Each client's sound devices: A's microphone hears a tone, B's near-silence.
    sound_dir, home_a, home_b, played = two_chat_homes(120, TONE_HZ, "tovan-chat-sound-")
    wine = pinned_wine()  # found through HOME, which each client gets its own of
    with Display(own=True), simctl.Simulator(binary, udp_port=ADDRESS_SERVER_PORT) as sim:
        config = b"[URL]\r\nMerovan=http://127.0.0.1:%d\r\n" % sim.http_port
        files = [(args.vokar, "Vokar.ocx")]
        a = Client(args.client, args.driver, sim.tcp_port, auto_logon("test"), config_extra=config, app_files=files,
                   env=dict(wine, HOME=home_a))
        b = Client(args.client, args.driver, sim.tcp_port, auto_logon("peer"), config_extra=config, app_files=files,
                   env=dict(wine, HOME=home_b))
        try:
            run(sim, a, b, args.shot, played)
        finally:
            a.close()
            b.close()
        # With the reply, and a moment later.
        for delay in (0.0, 0.2):
            a = Client(args.client, args.driver, sim.tcp_port, auto_logon("test"), config_extra=config,
                       app_files=files, env=dict(wine, HOME=home_a))
            b = Client(args.client, args.driver, sim.tcp_port, auto_logon("peer"), config_extra=config,
                       app_files=files, env=dict(wine, HOME=home_b), start=False)
            try:
                request_at_logon(sim, a, b, delay)
            finally:
                a.close()
                b.close()
        c = Client(args.client, args.driver, sim.tcp_port, auto_logon("sdwl"), config_extra=config)
        try:
            refused_without_control(sim, c)
        finally:
            c.close()
    shutil.rmtree(sound_dir, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
