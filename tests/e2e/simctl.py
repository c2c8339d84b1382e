"""Drives the loopback exchange simulator (tools/exchange-sim) from Python tests.

    with simctl.Simulator() as sim:          # starts it with every port 0
        ... point the client at sim.tcp_port / sim.http_port ...
        sim.wait_for_log(lambda e: e.message.startswith(b"!LOGON!|test|"))
        sim.notify("系统维护")               # str is sent as GBK

Texts going in may be bytes (GBK) or str (encoded to GBK); texts coming back
are bytes. Standard library only.
"""

import os
import selectors
import socket
import subprocess
import time
from collections import namedtuple

LogEntry = namedtuple("LogEntry", "conn user message")  # int, bytes or None, bytes
Client = namedtuple("Client", "conn user peer")         # int, bytes or None, str

_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class SimError(RuntimeError):
    """The simulator answered a control command with ERR, or failed to start."""


def gbk(text):
    """bytes stay as they are; str becomes GBK bytes."""
    if isinstance(text, bytes):
        return text
    return str(text).encode("gbk")


def default_binary():
    env = os.environ.get("TOVAN_EXCHANGE_SIM")
    if env:
        return env
    for tree in ("native", "native-sim"):
        path = os.path.join(_ROOT, "build", tree, "tools", "exchange-sim", "exchange-sim")
        if os.path.exists(path):
            return path
    raise SimError("exchange-sim not built; set TOVAN_EXCHANGE_SIM")


class Simulator:
    def __init__(self, binary=None, *, accept_any_password=False, samples=True, db=None,
                 log_file=None, web_root=None, tcp_port=0, udp_port=0, http_port=0,
                 control_port=0, extra_args=(), start_timeout=15.0):
        """Every port defaults to 0 (the system picks one). The chat control asks
        the address server on UDP port 4343 of the exchange host, always: tests
        of chats between real clients need udp_port=4343."""
        self.binary = binary or default_binary()
        args = [self.binary, "--port", str(tcp_port), "--udp-port", str(udp_port),
                "--http-port", str(http_port), "--control-port", str(control_port)]
        if accept_any_password:
            args.append("--accept-any-password")
        if not samples:
            args.append("--no-samples")
        if db:
            args += ["--db", str(db)]
        if log_file:
            args += ["--log", str(log_file)]
        if web_root:
            args += ["--web-root", str(web_root)]
        args += list(extra_args)
        self.args = args
        self.start_timeout = start_timeout
        self.proc = None
        self._ctl = None
        self._buf = b""
        self.tcp_port = self.udp_port = self.http_port = self.control_port = None

    # --- life cycle -------------------------------------------------------

    def start(self):
        self.proc = subprocess.Popen(self.args, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        ports = {}
        deadline = time.monotonic() + self.start_timeout
        sel = selectors.DefaultSelector()
        sel.register(self.proc.stdout, selectors.EVENT_READ)
        out = b""
        try:
            while b"ready\n" not in out:
                left = deadline - time.monotonic()
                if left <= 0 or self.proc.poll() is not None:
                    raise SimError("exchange-sim did not start: %r" % out)
                if sel.select(timeout=left):
                    chunk = os.read(self.proc.stdout.fileno(), 4096)
                    if not chunk:
                        raise SimError("exchange-sim ended at start: %r" % out)
                    out += chunk
        except BaseException:
            self._kill()
            raise
        finally:
            sel.close()
        for line in out.decode("ascii", "replace").splitlines():
            parts = line.split()
            if len(parts) == 2 and parts[1].isdigit():
                ports[parts[0]] = int(parts[1])
        self.tcp_port = ports["tcp"]
        self.udp_port = ports["udp"]
        self.http_port = ports["http"]
        self.control_port = ports["control"]
        self._ctl = socket.create_connection(("127.0.0.1", self.control_port), timeout=10)
        return self

    def quit(self, timeout=10.0):
        """Stops the simulator; returns its exit code."""
        if self.proc is None:
            return None
        try:
            if self._ctl is not None and self.proc.poll() is None:
                self.command("QUIT")
        except (OSError, SimError):
            pass
        finally:
            if self._ctl is not None:
                self._ctl.close()
                self._ctl = None
        try:
            code = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self._kill()
            code = self.proc.returncode
        if self.proc.stdout:
            self.proc.stdout.close()
        self.proc = None
        return code

    def _kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=10)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.quit()

    # --- the control channel ---------------------------------------------

    def command(self, line):
        """Sends one command; returns its data lines (bytes). Raises SimError on ERR."""
        line = gbk(line)
        if b"\n" in line:
            raise ValueError("a control command is one line")
        self._ctl.sendall(line + b"\n")
        data = []
        while True:
            reply = self._read_line()
            if reply == b"OK":
                return data
            if reply.startswith(b"ERR"):
                raise SimError(reply.decode("gbk", "replace"))
            data.append(reply)

    def _read_line(self):
        while b"\n" not in self._buf:
            chunk = self._ctl.recv(65536)
            if not chunk:
                raise SimError("control connection closed")
            self._buf += chunk
        line, self._buf = self._buf.split(b"\n", 1)
        return line

    def log(self):
        """Every message received from clients so far, in order."""
        entries = []
        for raw in self.command("LOG"):
            conn, user, message = (raw.split(b" ", 2) + [b"", b""])[:3]
            entries.append(LogEntry(int(conn), None if user == b"-" else user, message))
        return entries

    def clear_log(self):
        self.command("CLEARLOG")

    def clients(self):
        out = []
        for raw in self.command("CLIENTS"):
            conn, user, peer = (raw.split(b" ", 2) + [b"", b""])[:3]
            out.append(Client(int(conn), None if user == b"-" else user, peer.decode("ascii", "replace")))
        return out

    def notify(self, text):
        """Sends a notice to every logged-on client; returns how many got it."""
        return int(self.command(b"NOTIFY " + gbk(text))[0])

    def send(self, target, raw):
        """Sends raw bytes ("^" included) to a connection number, a user id or "*"."""
        return int(self.command(b"SEND " + gbk(target) + b" " + gbk(raw))[0])

    def drop(self, target):
        """Closes the connections of a connection number, user id or "*"; returns how many."""
        return int(self.command(b"DROP " + gbk(target))[0])

    def listen(self, on):
        self.command("LISTEN 1" if on else "LISTEN 0")

    def slow_read(self, target, rate):
        """Reads at most rate bytes every 10 ms from connections (0: stops
        reading, None: as fast as they send); returns how many."""
        value = b"off" if rate is None else str(int(rate)).encode()
        return int(self.command(b"SLOWREAD " + gbk(target) + b" " + value)[0])

    def close_on_accept(self, on):
        """Closes every new exchange connection at once while on."""
        self.command("CLOSEONACCEPT 1" if on else "CLOSEONACCEPT 0")

    def over_count(self, rows):
        """Makes every count reply name rows more than the row replies serve."""
        self.command("OVERCOUNT %d" % rows)

    def close_after_logon(self, on):
        """Closes every connection right after its logon reply while on."""
        self.command("CLOSEAFTERLOGON 1" if on else "CLOSEAFTERLOGON 0")

    def publish(self, user, cls, body):
        """Stores an offer as user's (area from the account) and pushes it; returns its id."""
        return int(self.command(b"PUBLISH " + gbk(user) + b" " + gbk(cls) + b" " + gbk(body))[0])

    def publish_at(self, user, area, province, county, cls, body):
        """Like publish, with the offer's area, province and county given."""
        words = [gbk(w) for w in (user, area, province, county, cls)]
        return int(self.command(b"PUBLISHAT " + b" ".join(words) + b" " + gbk(body))[0])

    def burst(self, count, user, area, province, county, cls, body):
        """Stores count such offers and pushes them all in one write; the last ID."""
        words = [gbk(w) for w in (user, area, province, county, cls)]
        return int(self.command(b"BURST %d " % count + b" ".join(words) + b" " + gbk(body))[0])

    def deal(self, ids):
        """Marks offers closed and pushes the list (ids: iterable or "1,2" text)."""
        if not isinstance(ids, (str, bytes)):
            ids = ",".join(str(i) for i in ids)
        self.command(b"DEAL " + gbk(ids))

    def delete(self, offer_id):
        self.command("DELETE %d" % int(offer_id))

    def offer(self, offer_id):
        """One stored offer as a dict of bytes (Status as int), or None."""
        try:
            raw = self.command("OFFER %d" % int(offer_id))[0]
        except SimError:
            return None
        keys = ("ID", "Class", "ByName", "AddTime", "Area", "BodyIs", "Sheng", "Status", "xian")
        values = raw.split(b"|")
        # BodyIs may hold "|" only inside a double-byte character; the others never do.
        head, tail = values[:5], values[-3:]
        record = dict(zip(keys, head + [b"|".join(values[5:-3])] + tail))
        record["Status"] = int(record["Status"])
        return record

    def udp_log(self):
        return self.command("UDPLOG")

    def http_log(self):
        return self.command("HTTPLOG")

    def web_fault(self, path, mode):
        """From now on the web page at path answers 404 (mode "404"), never
        answers ("HANG"), or is served again ("OFF")."""
        self.command("WEBFAULT %s %s" % (path, mode))

    def versions(self, text):
        """Replaces the version list served as /cab/update.asp."""
        self.command(b"VERSIONS " + gbk(text))

    def wait_for_log(self, predicate, timeout=10.0, interval=0.1):
        """Waits until a log entry satisfies predicate (a callable taking a
        LogEntry, or bytes/str that the message must contain); returns it."""
        if not callable(predicate):
            needle = gbk(predicate)
            predicate = lambda e: needle in e.message  # noqa: E731
        deadline = time.monotonic() + timeout
        while True:
            for entry in self.log():
                if predicate(entry):
                    return entry
            if time.monotonic() >= deadline:
                raise TimeoutError("no matching message in the simulator's log")
            time.sleep(interval)
