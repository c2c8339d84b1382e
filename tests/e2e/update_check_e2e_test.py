#!/usr/bin/env python3
"""TovanClient.exe's start-up update check under Wine against the simulator's
web service: a newer file in the version list starts tvupdate.exe in the
program folder and ends the client with exit code 0; a current list leaves
the client running. With the real updater, files it will not or cannot
fetch send the client to it once, never in a loop, and a new updater is
swapped in by the client.

    update_check_e2e_test.py --client TovanClient.exe --driver client_driver.exe
                             --updater client_stand_in.exe --real-updater TvUpdate.exe

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
from e2e_support import Client, Display, check, failures, poll, sim_binary  # noqa: E402

USER_INI = b"[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n"


def start_client(args, sim, update_ini, updater=None, with_updater=True):
    config = b"[URL]\r\nMerovan=http://127.0.0.1:%d/web\r\n" % sim.http_port
    client = Client(args.client, args.driver, sim.tcp_port, USER_INI, config_extra=config,
                    app_files=[(updater or args.updater, "tvupdate.exe")] if with_updater else [])
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


def run_case(args, binary, version_list, update_ini, due, with_updater=True):
    """due: the list names a newer file. Without the updater in the program
    folder (deleted, quarantined) the client cannot hand over and stays."""
    root = tempfile.mkdtemp(prefix="tovan-web-")
    with open(os.path.join(root, "update.asp"), "wb") as f:
        f.write(version_list)
    try:
        with simctl.Simulator(binary, accept_any_password=True, web_root=root) as sim:
            client = start_client(args, sim, update_ini, with_updater=with_updater)
            try:
                marker = os.path.join(client.app, "started.txt")
                if due and with_updater:
                    code = wait_exit(client.proc, 90)
                    check(code == 0, "an update due ends the client with exit code 0 (%r)" % code)
                    # The client's exit is its own; the updater it started may still be starting.
                    started = poll(lambda: open(marker, "rb").read() if os.path.exists(marker) else b"", bool, 30)
                    check(started.rstrip(b"\r\n").lower().endswith(b"\\app"),
                          "tvupdate.exe ran in the program folder: %r" % started)
                else:
                    try:
                        sim.wait_for_log(lambda e: e.message.startswith(b"!LOGON!|"), timeout=90)
                        check(True, "the client logs on")
                    except TimeoutError:
                        check(False, "the client logs on")
                    # The check has long finished by now: the list was fetched.
                    deadline = time.monotonic() + 30
                    while time.monotonic() < deadline and not any(
                            r.startswith(b"GET /cab/update.asp") for r in sim.http_log()):
                        time.sleep(0.5)
                    time.sleep(5)
                    check(client.proc.poll() is None,
                          "without an updater to start the client keeps running" if due else
                          "a current list leaves the client running")
                    check(client.driver("state")[0] == 0, "and its frame answers")
                    check(not os.path.exists(marker), "no updater is started")
            finally:
                client.close()
    finally:
        shutil.rmtree(root, ignore_errors=True)


def read_ini(data):
    """{section: {key: value}} of an ini file's bytes, names lower-cased."""
    out, section = {}, None
    for line in (data or b"").split(b"\n"):
        line = line.strip(b"\r")
        if line.startswith(b"[") and line.endswith(b"]"):
            section = out.setdefault(line[1:-1].lower(), {})
        elif section is not None and b"=" in line:
            k, v = line.split(b"=", 1)
            section[k.lower()] = v
    return out


def file_in(folder, name):
    """The bytes of the file of that name in folder, case aside; None when absent."""
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return open(os.path.join(folder, entry), "rb").read()
    return None


def no_restart_loop(args, binary):
    """Files the updater never fetches (a name out of the folder, a device) are
    not due; a file the service does not serve, and the updater itself, send
    the client to the real updater once; it starts the client again, which
    stays, and swaps the new updater in."""
    print("-- the client and the real updater")
    root = tempfile.mkdtemp(prefix="tovan-web-")
    new_updater = open(args.real_updater, "rb").read() + b"a newer updater"
    with open(os.path.join(root, "update.asp"), "wb") as f:
        f.write(b"TvUpdate.exe|2,sub\\x.dll|9,NUL|3,Missing.dll|5")
    with open(os.path.join(root, "TvUpdate.exe"), "wb") as f:
        f.write(new_updater)
    os.environ["TOVAN_TEST_UPDATE_DELAY_MS"] = "0"
    try:
        with simctl.Simulator(binary, accept_any_password=True, web_root=root) as sim:
            client = start_client(args, sim, None, updater=args.real_updater)
            try:
                time.sleep(45)  # a loop turns in seconds
                lists = [r for r in sim.http_log() if r.startswith(b"GET /cab/update.asp")]
                logons = [e for e in sim.log() if e.message.startswith(b"!LOGON!|")]
                print("web requests: %r" % sim.http_log())
                check(len(lists) == 2, "the list is asked for by the client and the updater, "
                      "once each: %d" % len(lists))
                check(len(logons) == 2, "the client logs on before and after the update: %d"
                      % len(logons))
                # A process of its own, started by the updater: seen by its frame.
                check(client.driver("state")[0] == 0, "the client started by the updater stays")
                check(file_in(client.app, "tvupdate.exe") == new_updater,
                      "the client swapped the new updater in")
                check(file_in(client.app, "TvUpdate.new") is None, "nothing is left beside it")
                versions = read_ini(file_in(client.app, "update.ini"))
                print("update.ini: %r" % versions)
                check(versions.get(b"tvupdate.exe", {}).get(b"version") == b"2",
                      "the updater's version is recorded")
                check(b"missing.dll" not in versions, "the file not served keeps its version")
            finally:
                client.close()
    finally:
        os.environ.pop("TOVAN_TEST_UPDATE_DELAY_MS", None)
        shutil.rmtree(root, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--updater", required=True)
    ap.add_argument("--real-updater", required=True)
    args = ap.parse_args()
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s (build the native tree or set TOVAN_SIM)" % binary)
        return 1
    with Display(own=True):
        # Vokar.ocx has no line in update.ini: the default 1 is older than 2.
        run_case(args, binary, b"TovanClient.exe|3,\r\nVokar.ocx|2",
                 b"[TovanClient.exe]\r\nVersion=3\r\n", due=True)
        run_case(args, binary, b"TovanClient.exe|3,Vokar.ocx|1,|9",
                 b"[TovanClient.exe]\r\nVersion=3\r\n", due=False)
        # Due, but TvUpdate.exe is gone from the folder.
        run_case(args, binary, b"TovanClient.exe|3,\r\nVokar.ocx|2",
                 b"[TovanClient.exe]\r\nVersion=3\r\n", due=True, with_updater=False)
        # Never fetched by the updater, so never due.
        run_case(args, binary, b"sub\\x.dll|9,..\\up.dll|9,NUL|9,aux.dll|9,com1.txt|9",
                 None, due=False)
        no_restart_loop(args, binary)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
