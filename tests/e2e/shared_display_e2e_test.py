#!/usr/bin/env python3
"""A test in a network namespace of its own keeps its display to itself. A
display started and stopped in another namespace, as the other tests' are,
leaves the display beside it whole: its socket file stays, new connections
are answered, and a client started on it after each time logs on.

    shared_display_e2e_test.py --client TovanClient.exe --driver release_driver.exe

The test runs in a namespace of its own too, where its display takes :0: the
number an Xvfb in a fresh network namespace takes, since it sees every
abstract display socket free there.
"""

import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, auto_logon, check, failures, in_own_network, poll, sim_binary  # noqa: E402

CYCLES = 3
SKIPPED = 77  # CTest's SKIP_RETURN_CODE for this test


def display_beside():
    """What runs in the other namespace: a display of its own for a moment."""
    in_own_network()
    with Display(own=True):
        print("the display beside: %s" % os.environ["DISPLAY"], flush=True)
        time.sleep(1)
    return 0


def start_and_stop_display_beside():
    env = {k: v for k, v in os.environ.items() if k not in ("TOVAN_OWN_NETNS", "DISPLAY")}
    return subprocess.run([sys.executable, os.path.abspath(__file__), "--beside"], env=env,
                          timeout=60).returncode


def socket_inode(display):
    try:
        return os.stat("/tmp/.X11-unix/X" + display.lstrip(":")).st_ino
    except FileNotFoundError:
        return None


def answers(display):
    """Whether a new X client on display gets its connection set up."""
    try:
        return subprocess.run(["xdpyinfo"], env=dict(os.environ, DISPLAY=display),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=10).returncode == 0
    except subprocess.TimeoutExpired:
        return False


def logons(sim):
    return sum(1 for e in sim.log() if e.message.startswith(b"!LOGON!|"))


def client_logs_on(args, sim):
    before = logons(sim)
    client = Client(args.client, args.driver, sim.tcp_port, auto_logon("test"))
    try:
        return poll(lambda: logons(sim), lambda n: n > before, 90) > before
    finally:
        client.close()


def main():
    if "--beside" in sys.argv:
        return display_beside()
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    args = ap.parse_args()
    if not in_own_network():
        print("no network namespaces here: displays are shared by design")
        return SKIPPED
    with Display(own=True), simctl.Simulator(sim_binary(), accept_any_password=True) as sim:
        shared = os.environ["DISPLAY"]
        check(shared == ":0", "this test's display has :0 (%s)" % shared)
        for cycle in range(1, CYCLES + 1):
            inode = socket_inode(shared)
            check(start_and_stop_display_beside() == 0, "%d: a display came and went beside" % cycle)
            check(socket_inode(shared) == inode, "%d: the shared display's socket file is still its own" % cycle)
            check(all(answers(shared) for _ in range(3)), "%d: new connections are answered" % cycle)
            check(client_logs_on(args, sim), "%d: a client on the shared display logs on" % cycle)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
