#!/usr/bin/env python3
"""TovanClient.exe's start-up update check under Wine against the simulator's
web service: a newer file in the version list starts tvupdate.exe in the
program folder and ends the client with exit code 0; a current list leaves
the client running.

    update_check_e2e_test.py --client TovanClient.exe --driver client_driver.exe
                             --updater client_stand_in.exe

The stand-in writes "started.txt" beside itself with the folder it ran in.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, check, failures, sim_binary  # noqa: E402

USER_INI = b"[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n"


def start_client(args, sim, update_ini):
    config = b"[URL]\r\nMerovan=http://127.0.0.1:%d/web\r\n" % sim.http_port
    client = Client(args.client, args.driver, sim.tcp_port, USER_INI, config_extra=config,
                    app_files=[(args.updater, "tvupdate.exe")])
    if update_ini is not None:
        # Written at once: the check runs after the window is shown, seconds later.
        with open(os.path.join(client.app, "update.ini"), "wb") as f:
            f.write(update_ini)
    return client


def wait_exit(proc, seconds):
    try:
        return proc.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        return None


def run_case(args, binary, version_list, update_ini, due):
    root = tempfile.mkdtemp(prefix="tovan-web-")
    with open(os.path.join(root, "update.asp"), "wb") as f:
        f.write(version_list)
    try:
        with simctl.Simulator(binary, accept_any_password=True, web_root=root) as sim:
            client = start_client(args, sim, update_ini)
            try:
                marker = os.path.join(client.app, "started.txt")
                if due:
                    code = wait_exit(client.proc, 90)
                    check(code == 0, "an update due ends the client with exit code 0 (%r)" % code)
                    started = open(marker, "rb").read() if os.path.exists(marker) else b""
                    check(started.rstrip(b"\r\n").lower().endswith(b"\\app"),
                          "tvupdate.exe ran in the program folder: %r" % started)
                else:
                    try:
                        sim.wait_for_log(lambda e: e.message.startswith(b"!LOGON!|"), timeout=90)
                        check(True, "the client logs on")
                    except TimeoutError:
                        check(False, "the client logs on")
                    time.sleep(5)  # the check has long finished by now
                    check(client.proc.poll() is None, "a current list leaves the client running")
                    check(not os.path.exists(marker), "no updater is started")
            finally:
                client.close()
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--updater", required=True)
    args = ap.parse_args()
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s (build the native tree or set TOVAN_SIM)" % binary)
        return 1
    with Display():
        # Vokar.ocx has no line in update.ini: the default 1 is older than 2.
        run_case(args, binary, b"TovanClient.exe|3,\r\nVokar.ocx|2",
                 b"[TovanClient.exe]\r\nVersion=3\r\n", due=True)
        run_case(args, binary, b"TovanClient.exe|3,Vokar.ocx|1,|9",
                 b"[TovanClient.exe]\r\nVersion=3\r\n", due=False)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
