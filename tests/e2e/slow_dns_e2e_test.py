#!/usr/bin/env python3
"""The frame keeps answering while a name server takes 8 s: a host name as
the exchange server's name in Config.ini (looked up at every connect), and a
relayed chat request that names hosts where addresses belong (refused and
logged, never looked up). The longest WM_NULL wait must stay under 1 s.

    slow_dns_e2e_test.py --client TovanClient.exe --driver client_driver.exe --vokar Vokar.ocx

It runs in a network and mount namespace of its own (root): /etc/resolv.conf
there names 127.0.0.1, where the test answers every question 8 s late.
"""

import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import program_args, Client, Display, Watch, auto_logon, check, failures, sim_binary  # noqa: E402

DNS_DELAY_S = 8
SERVER_NAME = b"exchange.tovan.test"
LONGEST_WAIT_MS = 1000


def own_namespaces():
    """Re-runs this script with its own network, mount and name server; exits with its code."""
    if os.environ.get("TOVAN_SLOW_DNS") == "1":
        return
    rc = subprocess.run(["unshare", "-n", "-m", "--", sys.executable, os.path.abspath(sys.argv[0])] + sys.argv[1:],
                        env=dict(os.environ, TOVAN_SLOW_DNS="1")).returncode
    raise SystemExit(rc)


def private_network(tmp):
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    resolv = os.path.join(tmp, "resolv.conf")
    with open(resolv, "w") as f:
        f.write("nameserver 127.0.0.1\noptions timeout:15 attempts:1\n")
    subprocess.run(["mount", "--bind", resolv, "/etc/resolv.conf"], check=True)
    # An Xvfb of this namespace must not take over the shared display sockets.
    subprocess.run(["mount", "-t", "tmpfs", "tmpfs", "/tmp/.X11-unix"], check=True)


def answer(query, address):
    """The reply to a DNS query: one A record for its name when address is given, else NXDOMAIN."""
    header, question = query[:12], query[12:]
    end = question.index(b"\0") + 5
    flags = b"\x81\x80" if address else b"\x81\x83"
    count = b"\x00\x01" if address else b"\x00\x00"
    reply = header[:2] + flags + b"\x00\x01" + count + b"\x00\x00\x00\x00" + question[:end]
    if address:
        reply += b"\xc0\x0c\x00\x01\x00\x01\x00\x00\x00\x3c\x00\x04" + socket.inet_aton(address)
    return reply


def name_of(query):
    labels, i = [], 12
    while query[i]:
        labels.append(query[i + 1:i + 1 + query[i]])
        i += 1 + query[i]
    return b".".join(labels).lower()


def slow_name_server(asked):
    """Answers every question DNS_DELAY_S late: the test's names with 127.0.0.1, others as unknown."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 53))

    def serve():
        while True:
            query, source = sock.recvfrom(4096)
            name = name_of(query)
            asked.append(name)
            is_ours = name.endswith(b".tovan.test") and query[-4:-2] == b"\x00\x01"
            reply = answer(query, "127.0.0.1" if is_ours else None)
            threading.Timer(DNS_DELAY_S, lambda r=reply, s=source: sock.sendto(r, s)).start()

    threading.Thread(target=serve, daemon=True).start()


def longest_wait(client, seconds):
    rc, out = client.driver("answer-times", str(seconds), timeout=seconds + 60)
    return int(out) if rc == 0 and out.strip() else None


def run(sim, client, asked):
    watch = Watch(sim)
    waits = longest_wait(client, DNS_DELAY_S + 4)
    check(any(n == SERVER_NAME for n in asked), "the server's name was asked for: %r" % asked)
    check(waits is not None and waits < LONGEST_WAIT_MS,
          "the frame answers while the server's name is looked up: longest wait %s ms" % waits)
    _, logon, _ = watch.wait(lambda e: e.message.startswith(b"!LOGON!|test|"), 30)
    if not check(logon is not None, "the client logs on once the name is found"):
        return
    connects = len([l for l in client.log_lines() if "正在连接服务器".encode("gbk") in l])
    check(connects == 1, "one connect, one look-up: %d" % connects)

    # Another user's request naming hosts where its addresses belong.
    asked.clear()
    sim.send("test", "!ADDCHATER!|caller|slow1.tovan.test|5000|slow2.tovan.test|5001^")
    waits = longest_wait(client, 3)
    check(waits is not None and waits < LONGEST_WAIT_MS,
          "the frame answers after a request naming hosts: longest wait %s ms" % waits)
    check(asked == [], "nothing was looked up: %r" % asked)
    refused = [l for l in client.log_lines() if b"caller" in l]
    check(len(refused) == 1 and "地址无效".encode("gbk") in refused[0],
          "the request is refused in the connection log as one naming hosts: %r" %
          [l.decode("gbk", "replace") for l in refused])
    check(client.driver("chats")[1].strip() == b"", "and opens no chat window")


def main():
    args = program_args("client", "driver", "vokar")
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s" % binary)
        return 1
    own_namespaces()
    tmp = tempfile.mkdtemp(prefix="tovan-dns-")
    private_network(tmp)
    asked = []
    slow_name_server(asked)
    with Display(own=True), simctl.Simulator(binary, accept_any_password=True) as sim:
        client = Client(args.client, args.driver, sim.tcp_port, auto_logon("test"),
                        app_files=[(args.vokar, "Vokar.ocx")], start=False)
        try:
            config = os.path.join(client.app, "Config.ini")
            data = open(config, "rb").read().replace(b"Name=127.0.0.1", b"Name=" + SERVER_NAME)
            open(config, "wb").write(data)
            client.start()
            run(sim, client, asked)
        finally:
            client.close()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
