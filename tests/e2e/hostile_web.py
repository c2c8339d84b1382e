"""A web service on loopback that misbehaves on request, for the tests of
the programs that download from the operator's web service (the updater and
the client's update check). Each path is answered the way the test set it:

    normal       200 with Content-Length and the whole body
    chunked      200, the body in chunks, ended by the last chunk
    noreply      the connection is closed without a reply
    nolength     200 without Content-Length, half the body, then closed
    shortlength  200 with the whole length announced, half the body, closed
    chunkedcut   200, every chunk of the body but not the last one, closed
    empty        200 with an empty body
    silent       the request is read and never answered
    trickle      200 with the whole length announced, one byte every 0.2 s
    drip         200 with the whole length announced, one byte every 2 s
    slow         200 with the whole length announced, 5 KB a second
    huge         200 announcing 100 GB, a few bytes, then closed
    status:N     status N with the body

Paths not set are answered 404. Every request is logged as "<path> <mode>".
"""

import socket
import threading
import time


class HostileWeb:
    def __init__(self):
        self.routes = {}
        self.log = []
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self._sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._sock.bind(("127.0.0.1", 0))
        self._sock.listen(32)
        self._sock.settimeout(0.2)
        self.port = self._sock.getsockname()[1]
        self._thread = threading.Thread(target=self._accept, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join(timeout=5)
        self._sock.close()

    def serve(self, path, body, mode="normal"):
        self.routes[path] = (mode, body)

    def requests(self):
        with self._lock:
            return list(self.log)

    def _accept(self):
        while not self._stop.is_set():
            try:
                conn, _ = self._sock.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            threading.Thread(target=self._answer, args=(conn,), daemon=True).start()

    def _answer(self, conn):
        try:
            conn.settimeout(10)
            head = b""
            while b"\r\n\r\n" not in head and len(head) < 16384:
                chunk = conn.recv(4096)
                if not chunk:
                    return
                head += chunk
            parts = head.split(b"\r\n", 1)[0].split(b" ")
            path = parts[1].decode("latin-1") if len(parts) > 1 else "?"
            mode, body = self.routes.get(path, ("status:404", b"not found"))
            with self._lock:
                self.log.append("%s %s" % (path, mode))
            self._reply(conn, mode, body)
        except OSError:
            pass
        finally:
            conn.close()

    def _reply(self, conn, mode, body):
        def head(extra, status=200):
            conn.sendall(b"HTTP/1.1 %d X\r\nContent-Type: application/octet-stream\r\n" % status +
                         extra + b"Connection: close\r\n\r\n")

        length = b"Content-Length: %d\r\n" % len(body)
        half = body[:len(body) // 2]
        if mode == "normal":
            head(length)
            conn.sendall(body)
        elif mode.startswith("status:"):
            head(length, int(mode[7:]))
            conn.sendall(body)
        elif mode in ("chunked", "chunkedcut"):
            head(b"Transfer-Encoding: chunked\r\n")
            for i in range(0, len(body), 1000):
                piece = body[i:i + 1000]
                conn.sendall(b"%x\r\n" % len(piece) + piece + b"\r\n")
            if mode == "chunked":
                conn.sendall(b"0\r\n\r\n")
            time.sleep(0.5)
        elif mode == "noreply":
            pass
        elif mode == "nolength":
            head(b"")
            conn.sendall(half)
        elif mode == "shortlength":
            head(length)
            conn.sendall(half)
            time.sleep(0.5)
        elif mode == "empty":
            head(b"Content-Length: 0\r\n")
        elif mode == "silent":
            while not self._stop.is_set() and self._open(conn):
                time.sleep(0.2)
        elif mode == "trickle":
            head(length)
            for i in range(len(body)):
                if self._stop.is_set():
                    return
                conn.sendall(body[i:i + 1])
                time.sleep(0.2)
        elif mode in ("drip", "slow"):
            head(length)
            piece, pause = (1, 2.0) if mode == "drip" else (512, 0.1)
            for i in range(0, len(body), piece):
                if self._stop.is_set():
                    return
                conn.sendall(body[i:i + piece])
                time.sleep(pause)
        elif mode == "huge":
            head(b"Content-Length: 100000000000\r\n")
            conn.sendall(b"\0" * 4096)
            time.sleep(0.5)
        else:
            raise ValueError(mode)

    @staticmethod
    def _open(conn):
        """False once the other side has closed."""
        conn.setblocking(False)
        try:
            return conn.recv(1, socket.MSG_PEEK) != b""
        except BlockingIOError:
            return True
        except OSError:
            return False
        finally:
            conn.setblocking(True)


def pe_image(library, payload, machine):
    """A small well-formed image for `machine` (0x14C i386, 0x8664 x86_64:
    the updater refuses an image of another architecture than its own):
    headers in the first 0x200 bytes, one section holding payload (padded to
    0x200 bytes)."""
    import struct
    section_size = max(0x200, (len(payload) + 0x1FF) // 0x200 * 0x200)
    b = bytearray(0x200 + section_size)
    b[0:2] = b"MZ"
    struct.pack_into("<I", b, 0x3C, 0x80)
    b[0x80:0x84] = b"PE\0\0"
    plus = machine == 0x8664
    opt_size = 0xF0 if plus else 0xE0
    struct.pack_into("<HHIIIHH", b, 0x84, machine, 1, 0, 0, 0, opt_size,
                     0x0002 | (0x2000 if library else 0))
    opt = 0x84 + 20
    struct.pack_into("<H", b, opt, 0x20B if plus else 0x10B)
    struct.pack_into("<I", b, opt + 60, 0x200)
    sec = opt + opt_size
    b[sec:sec + 5] = b".data"
    struct.pack_into("<II", b, sec + 16, section_size, 0x200)
    b[0x200:0x200 + len(payload)] = payload
    return bytes(b)
