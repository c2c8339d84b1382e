#!/usr/bin/env python3
"""An update as users get it (any build, no test hooks): the client finds a
newer TovanClient.exe and Vokar.ocx in the web service's version list at
start, starts the updater of the same tree and ends (its connection goes); the updater replaces
both files, records their versions and starts the new client, which logs on
again and stays (no second update). Seen through the wire, the web service's
log, the frame's window and the files of the program folder.

    release_update_e2e_test.py --client TovanClient.exe --driver release_driver.exe
                               --updater TvUpdate.exe --vokar Vokar.ocx
"""

import argparse
import os
import shutil
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, check, failures, poll, sim_binary  # noqa: E402
from update_check_e2e_test import file_in, read_ini  # noqa: E402

USER_INI = b"[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n"


def logons(sim):
    return [e for e in sim.log() if e.message.startswith(b"!LOGON!|test|")]




def run(args, binary, web):
    # The served files are the tree's own, with bytes after the image that
    # tell the new ones from the old: still whole images of this machine.
    new_client = open(args.client, "rb").read() + b"\0newer client"
    new_vokar = open(args.vokar, "rb").read() + b"\0newer control"
    for name, data in (("TovanClient.exe", new_client), ("Vokar.ocx", new_vokar),
                       ("update.asp", b"TovanClient.exe|2,Vokar.ocx|2")):
        with open(os.path.join(web, name), "wb") as f:
            f.write(data)
    with simctl.Simulator(binary, accept_any_password=True, web_root=web) as sim:
        config = b"[URL]\r\nMerovan=http://127.0.0.1:%d/web\r\n" % sim.http_port
        client = Client(args.client, args.driver, sim.tcp_port, USER_INI, config_extra=config,
                        app_files=[(args.updater, "TvUpdate.exe"), (args.vokar, "Vokar.ocx")], start=False)
        with open(os.path.join(client.app, "update.ini"), "wb") as f:
            f.write(b"[TovanClient.exe]\r\nVersion=1\r\n[Vokar.ocx]\r\nVersion=1\r\n")
        client.start()
        try:
            # The first client ends when it has started the updater (its
            # connection goes); the updater waits a while, fetches and starts
            # the new client, which logs on anew.
            check(poll(lambda: len(logons(sim)), lambda n: n >= 2, 300) >= 2,
                  "the client logs on, and again once the updater has started it")
            conns = [e.conn for e in logons(sim)]
            check(len(set(conns)) == len(conns), "each time on a connection of its own: %r" % conns)
            check(file_in(client.app, "TovanClient.exe") == new_client, "TovanClient.exe was replaced")
            check(file_in(client.app, "Vokar.ocx") == new_vokar, "Vokar.ocx was replaced")
            versions = read_ini(file_in(client.app, "update.ini"))
            check(versions.get(b"tovanclient.exe", {}).get(b"version") == b"2" and
                  versions.get(b"vokar.ocx", {}).get(b"version") == b"2",
                  "both new versions are recorded: %r" % versions)
            rc, title = client.driver("title")
            check(rc == 0 and title, "the new client shows its window: %r" % title.decode("gbk", "replace"))
            time.sleep(20)  # a restart loop would turn within this
            lists = [r for r in sim.http_log() if r.startswith(b"GET /cab/update.asp")]
            print("web requests: %r" % sim.http_log())
            check(len(lists) == 2, "the list is asked for by the client and the updater, once each: %d"
                  % len(lists))
            check(len(logons(sim)) == 2, "no second update: %d logons" % len(logons(sim)))
            # Only the new client holds a session: the one that started the
            # updater has ended (its connection is gone).
            clients = poll(sim.clients, lambda c: [x.user for x in c] == [b"test"], 30)
            check([c.user for c in clients] == [b"test"], "only the new client is logged on: %r" % clients)
        finally:
            client.close()


def main():
    ap = argparse.ArgumentParser()
    for name in ("--client", "--driver", "--updater", "--vokar"):
        ap.add_argument(name, required=True)
    args = ap.parse_args()
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s (build the native tree or set TOVAN_SIM)" % binary)
        return 1
    web = tempfile.mkdtemp(prefix="tovan-rel-web-")
    try:
        with Display(own=True):
            run(args, binary, web)
    finally:
        shutil.rmtree(web, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
