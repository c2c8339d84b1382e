"""The exchange simulator binary over loopback, driven through tests/e2e/simctl.py.

usage: loopback_test.py path/to/exchange-sim
"""

import os
import socket
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

sys.dont_write_bytecode = True  # leave no cache files in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import simctl  # noqa: E402

BINARY = None


class Peer:
    """One exchange connection that reads "^"-terminated messages."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.buf = b""

    def send(self, text):
        self.sock.sendall(simctl.gbk(text))

    def next(self, timeout=5.0):
        """The next message (bytes, without "^"), or None at end of stream."""
        deadline = time.monotonic() + timeout
        while b"^" not in self.buf:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("no message; have %r" % self.buf[:200])
            self.sock.settimeout(left)
            chunk = self.sock.recv(65536)
            if not chunk:
                return None
            self.buf += chunk
        msg, self.buf = self.buf.split(b"^", 1)
        return msg

    def wait(self, prefix, timeout=5.0):
        prefix = simctl.gbk(prefix)
        deadline = time.monotonic() + timeout
        while True:
            msg = self.next(max(0.05, deadline - time.monotonic()))
            if msg is None:
                raise AssertionError("connection closed while waiting for %r" % prefix)
            if msg.startswith(prefix):
                return msg

    def logon(self, user, password=None):
        self.send("!LOGON!|%s|%s|MID-%s^" % (user, password or user, user))
        return self.next()

    def close(self):
        self.sock.close()


class LoopbackTest(unittest.TestCase):
    def setUp(self):
        self.sim = simctl.Simulator(BINARY).start()
        self.peers = []

    def tearDown(self):
        for p in self.peers:
            p.close()
        self.assertEqual(self.sim.quit(), 0)

    def peer(self, user=None):
        p = Peer(self.sim.tcp_port)
        self.peers.append(p)
        if user:
            reply = p.logon(user)
            self.assertTrue(reply.startswith(b"!OK!|"), reply)
        return p

    def test_logon_lists_and_paging(self):
        p = self.peer()
        self.assertEqual(p.logon("test", "wrong"), "!ERR!|用户名或密码错误".encode("gbk"))
        self.assertIsNone(p.next())  # the server closes after a refusal

        p = self.peer()
        reply = p.logon("test").split(b"|")
        self.assertEqual(reply[:5], [b"!OK!", "石家庄市".encode("gbk"), "河北省".encode("gbk"), b"test", b"2"])
        p.send("LOOP^!TODAYRECORD!|石家庄市^")
        count = p.next().split(b"|")
        self.assertEqual(count[:3], [b"!RECORDCOUNT!", "石家庄市".encode("gbk"), "当前".encode("gbk")])
        n = int(count[3])
        self.assertGreater(n, 80, "the home list must need more than one page")
        p.send("!SINGLERECORD!|0|80|石家庄市^")
        rows = [p.next().split(b"|") for _ in range(80)]
        self.assertEqual([int(r[10]) for r in rows], list(range(80)))
        ids = [int(r[1]) for r in rows]
        self.assertEqual(ids, sorted(ids, reverse=True))
        self.assertTrue(all(len(r) == 12 for r in rows))
        log = self.sim.log()
        self.assertEqual([e.message for e in log][-3:],
                         [b"LOOP", "!TODAYRECORD!|石家庄市".encode("gbk"), "!SINGLERECORD!|0|80|石家庄市".encode("gbk")])
        self.assertEqual(log[-1].user, b"test")

    def test_publish_push_deal_delete(self):
        a, b = self.peer("test"), self.peer("peer")
        a.send("!ADDMSG!|货|石家庄到广州，有钢材30吨 联系人:张建国 ^")
        pushed = [p.wait("!NEWRECORD!|").split(b"|") for p in (a, b)]
        self.assertEqual(pushed[0], pushed[1])
        self.assertEqual(pushed[0][2:4], ["货".encode("gbk"), b"test"])
        entry = self.sim.wait_for_log("!ADDMSG!|货|石家庄到广州", timeout=5)
        self.assertEqual(entry.user, b"test")
        offer_id = int(pushed[0][1])
        self.assertEqual(self.sim.offer(offer_id)["Area"], "石家庄市".encode("gbk"))

        a.send("!SOUSUOCOUNT!|SELECT COUNT(*) FROM MsgIs WHERE id IN (SELECT fid FROM msgfull WHERE gjz IN ('广州市'))"
               " AND CHARINDEX('钢材30吨',bodyis)>0^")
        self.assertGreaterEqual(int(a.wait("!SOUSUOCOUNT!|").split(b"|")[1]), 1)

        new_id = self.sim.publish("peer", "车", "9.6米厢式车，求往郑州方向的货")
        self.assertEqual(int(a.wait("!NEWRECORD!|").split(b"|")[1]), new_id)
        self.sim.deal([offer_id, new_id])
        self.assertEqual(b.wait("!CHENGJIAO!|"), ("!CHENGJIAO!|%d,%d" % (offer_id, new_id)).encode())
        self.assertEqual(self.sim.offer(new_id)["Status"], 1)
        self.sim.delete(new_id)
        self.assertEqual(a.wait("!DELETEMSG!|"), b"!DELETEMSG!|%d" % new_id)
        self.assertIsNone(self.sim.offer(new_id))
        with self.assertRaises(simctl.SimError):
            self.sim.publish("nobody", "车", "x")

    def test_notice_send_drop_and_clients(self):
        a, b = self.peer("test"), self.peer("peer")
        self.peer()  # connected, not logged on
        self.assertEqual(self.sim.notify("今晚系统维护"), 2)
        for p in (a, b):
            self.assertEqual(p.next(), "!SENDNOTIFY!|今晚系统维护".encode("gbk"))
        self.assertEqual(self.sim.send("peer", "!ERR!|测试^"), 1)
        self.assertEqual(b.next(), "!ERR!|测试".encode("gbk"))
        users = sorted((c.user or b"-") for c in self.sim.clients())
        self.assertEqual(users, [b"-", b"peer", b"test"])
        self.assertEqual(self.sim.drop("test"), 1)
        self.assertIsNone(a.next())
        self.assertEqual(self.sim.drop("test"), 0)

    def test_control_errors(self):
        for bad in ("NOSUCH", "DELETE x", "LISTEN 2", "SEND test", "PUBLISH test 货", "OFFER 999999",
                    "SLOWREAD test", "SLOWREAD test x", "CLOSEONACCEPT", "OVERCOUNT x",
                    "CLOSEAFTERLOGON 2"):
            with self.assertRaises(simctl.SimError, msg=bad):
                self.sim.command(bad)
        with self.assertRaises(TimeoutError):
            self.sim.wait_for_log("never sent", timeout=0.3)
        # A control line without end is cut off, the simulator goes on.
        # (One byte over the limit: all of it is read, so the close is orderly.)
        s = socket.create_connection(("127.0.0.1", self.sim.control_port), timeout=10)
        try:
            s.sendall(b"x" * ((1 << 20) + 1))
            self.assertEqual(s.recv(4096), b"ERR line too long\n")
            self.assertEqual(s.recv(4096), b"")
        finally:
            s.close()
        self.assertEqual(self.sim.clients(), [])

    def test_chat_relay(self):
        a, b = self.peer("test"), self.peer("peer")
        a.send("!ADDCHATER!|peer|127.0.0.1|5000|192.168.1.5|5001^")
        self.assertEqual(b.next(), b"!ADDCHATER!|test|127.0.0.1|5000|192.168.1.5|5001")
        b.send("!BDDCHATER!|test|127.0.0.1|6000|192.168.1.6|6001^")
        self.assertEqual(a.next(), b"!BDDCHATER!|peer|127.0.0.1|6000|192.168.1.6|6001")
        # A Chinese user id travels as GBK.
        c = self.peer()
        self.assertTrue(c.logon("物流王", "123456").startswith(b"!OK!|"))
        c.send("!ADDCHATER!|test|127.0.0.1|7000|127.0.0.1|7000^")
        self.assertEqual(a.next(), "!ADDCHATER!|物流王|127.0.0.1|7000|127.0.0.1|7000".encode("gbk"))

    def test_listen_switch(self):
        kept = self.peer("test")
        self.sim.listen(False)
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", self.sim.tcp_port), timeout=5).close()
        kept.send("!TODAYRECORD!|河北省^")
        self.assertTrue(kept.next().startswith(b"!RECORDCOUNT!|"))
        self.sim.listen(True)
        self.peer("peer")

    def test_hostile_modes(self):
        # A connection not read: its messages wait until reading resumes,
        # slowly at first, then at full speed.
        p = self.peer("test")
        self.assertEqual(self.sim.slow_read("test", 0), 1)
        p.send("!TODAYRECORD!|河北省^")
        time.sleep(0.3)
        self.assertFalse(any(b"!TODAYRECORD!" in e.message for e in self.sim.log()))
        self.sim.slow_read("test", 5)
        self.assertTrue(p.wait("!RECORDCOUNT!|").startswith(b"!RECORDCOUNT!|"))
        self.sim.slow_read("test", None)
        # Closed at once when accepted, then served again.
        self.sim.close_on_accept(True)
        s = socket.create_connection(("127.0.0.1", self.sim.tcp_port), timeout=5)
        self.assertEqual(s.recv(10), b"")
        s.close()
        self.sim.close_on_accept(False)
        self.peer("peer")
        # A raw send may carry NUL bytes.
        self.assertEqual(self.sim.send("test", b"!SENDNOTIFY!|a\0b^"), 1)
        self.assertEqual(p.wait("!SENDNOTIFY!"), b"!SENDNOTIFY!|a\0b")

    def test_bad_input_is_survived(self):
        p = self.peer("test")
        p.send(b"\xff" * 300000 + b"^" + bytes(range(256)) * 50 + b" ^^|||^")
        p.send("!TODAYRECORD!|河北省^")
        self.assertTrue(p.wait("!RECORDCOUNT!|").startswith("!RECORDCOUNT!|河北省|".encode("gbk")))
        q = self.peer()
        q.send("!LOGON!^")
        self.assertTrue(q.next().startswith(b"!ERR!|"))

    def test_address_server(self):
        u = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        try:
            u.bind(("127.0.0.1", 0))
            u.settimeout(5)
            u.sendto(b"!MEADDRESS!", ("127.0.0.1", self.sim.udp_port))
            data, _ = u.recvfrom(2048)
            self.assertEqual(data, b"!YRADDR!|127.0.0.1|%d" % u.getsockname()[1])
        finally:
            u.close()
        self.assertEqual(len(self.sim.udp_log()), 1)

    def test_web_service(self):
        base = "http://127.0.0.1:%d" % self.sim.http_port
        body = urllib.request.urlopen(base + "/cab/update.asp", timeout=5).read()
        self.assertIn(b"TovanClient.exe|1", body)
        self.sim.versions("TovanClient.exe|3")
        self.assertEqual(urllib.request.urlopen(base + "/cab/update.asp", timeout=5).read(), b"TovanClient.exe|3")
        page = urllib.request.urlopen(base + "/ldgg.asp?city=%CA%AF%BC%D2%D7%AF%CA%D0", timeout=5).read()
        self.assertIn("石家庄市".encode("gbk"), page)
        with self.assertRaises(urllib.error.HTTPError):
            urllib.request.urlopen(base + "/cab/%2e%2e%2fetc%2fpasswd", timeout=5)
        self.assertTrue(any(b"/cab/update.asp" in line for line in self.sim.http_log()))

    def test_web_faults(self):
        base = "http://127.0.0.1:%d" % self.sim.http_port
        self.sim.web_fault("/right.asp", "404")
        self.sim.web_fault("/TOP.asp", "HANG")
        with self.assertRaises(urllib.error.HTTPError) as e:
            urllib.request.urlopen(base + "/right.asp?city=x", timeout=5)
        self.assertEqual(e.exception.code, 404)
        # Held: no answer at all, while other pages are still served.
        with self.assertRaises(OSError):
            urllib.request.urlopen(base + "/top.asp", timeout=1)
        self.assertEqual(urllib.request.urlopen(base + "/ldgg.asp", timeout=5).status, 200)
        self.sim.web_fault("/right.asp", "OFF")
        self.assertEqual(urllib.request.urlopen(base + "/right.asp", timeout=5).status, 200)
        log = self.sim.http_log()
        self.assertIn(b"GET /right.asp?city=x 404", log)
        self.assertIn(b"GET /top.asp held", log)
        with self.assertRaises(simctl.SimError):
            self.sim.web_fault("/top.asp", "SLOW")


class OptionsTest(unittest.TestCase):
    def test_db_file_log_file_and_web_root(self):
        with tempfile.TemporaryDirectory() as tmp:
            db = os.path.join(tmp, "offers.db")
            log = os.path.join(tmp, "messages.log")
            with open(os.path.join(tmp, "Vokar.ocx"), "wb") as f:
                f.write(b"control-v2")
            with open(os.path.join(tmp, "update.asp"), "wb") as f:
                f.write(b"Vokar.ocx|2")
            sim = simctl.Simulator(BINARY, db=db, log_file=log, web_root=tmp, accept_any_password=True).start()
            try:
                p = Peer(sim.tcp_port)
                self.assertTrue(p.logon("quanguo", "-").startswith(b"!OK!|"))
                p.close()
                offer_id = sim.publish("quanguo", "货", "郑州到广州，有机械设备")
                self.assertEqual(sim.offer(offer_id)["ByName"], b"quanguo")
                base = "http://127.0.0.1:%d" % sim.http_port
                self.assertEqual(urllib.request.urlopen(base + "/cab/update.asp", timeout=5).read(), b"Vokar.ocx|2")
                self.assertEqual(urllib.request.urlopen(base + "/cab/Vokar.ocx", timeout=5).read(), b"control-v2")
            finally:
                self.assertEqual(sim.quit(), 0)
            with open(log, "rb") as f:
                self.assertIn(b" - !LOGON!|quanguo|-|MID-quanguo\n", f.read())
            # The file keeps the offers; samples are not added a second time.
            sim = simctl.Simulator(BINARY, db=db).start()
            try:
                self.assertEqual(sim.offer(offer_id)["BodyIs"], "郑州到广州，有机械设备".encode("gbk"))
                self.assertIsNone(sim.offer(offer_id + 1))
            finally:
                self.assertEqual(sim.quit(), 0)

    def test_bad_arguments(self):
        import subprocess
        r = subprocess.run([BINARY, "--port", "70000"], capture_output=True, timeout=10)
        self.assertEqual(r.returncode, 2)
        r = subprocess.run([BINARY, "--bind", "0.0.0.0"], capture_output=True, timeout=10)
        self.assertEqual(r.returncode, 2)


if __name__ == "__main__":
    BINARY = os.path.abspath(sys.argv.pop(1))
    unittest.main()
