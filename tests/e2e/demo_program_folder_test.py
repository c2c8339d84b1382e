#!/usr/bin/env python3
"""The demo (scripts/run-client.sh) keeps the program folder between runs, as
an installed one is kept: what the user keeps there is there next time, each
run brings the programs up to date in it, and --reset starts afresh.

Three headless runs of the demo against this tree's programs, each in the
same kept prefix. The folder a run's client ran from is the one the client
registered its chat control from (the prefix's registry). After the first
run the user's phrase list and a chat history are added there and the client
made stale; the second run must find both, and bring the client up to date;
the third, with --reset, starts from the shipped settings.

    demo_program_folder_test.py --build WINDOWS_TREE
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no caches in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
from e2e_support import check, failures, kill_wineserver, wine_for  # noqa: E402

PHRASE = "冷链专车".encode("gbk")
HISTORY = "peer26-12-10.rtf"


def run_demo(tree, tmp, *options):
    """One headless run of the demo: (exit code, its simulator's message log)."""
    sim_log = os.path.join(tmp, "sim.log")
    env = dict(os.environ, TOVAN_WIN_BUILD=tree, TOVAN_WIN_PRESET=os.path.basename(tree),
               TOVAN_RUN_PREFIX=os.path.join(tmp, "prefix"), TOVAN_RUN_SECONDS="20",
               TOVAN_RUN_SHOT=os.path.join(tmp, "shot.png"), TOVAN_RUN_SIM_LOG=sim_log)
    env.pop("DISPLAY", None)
    rc = subprocess.run(["bash", os.path.join(ROOT, "scripts", "run-client.sh")] + list(options),
                        cwd=ROOT, env=env, stdout=subprocess.DEVNULL, timeout=600).returncode
    with open(sim_log, "rb") as f:
        return rc, f.read()


def client_folder(prefix):
    """The folder the client registered its chat control from, as a path
    here; None when there is none."""
    try:
        with open(os.path.join(prefix, "system.reg"), "rb") as f:
            registry = f.read()
    except FileNotFoundError:
        return None
    found = re.findall(rb'@="([A-Za-z]):((?:[^"\\]|\\\\)*?)\\\\Vokar\.ocx"', registry, re.IGNORECASE)
    if not found:
        return None
    drive, folder = found[-1]
    folder = folder.replace(b"\\\\", b"/").decode("gbk")
    base = os.path.join(prefix, "drive_c") if drive.lower() == b"c" else "/"
    return os.path.join(base, folder.lstrip("/"))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    args = ap.parse_args()
    tree = os.path.abspath(args.build)
    built_client = read(os.path.join(tree, "client", "TovanClient.exe"))
    tmp = tempfile.mkdtemp(prefix="tovan-demo-folder-")
    prefix = os.path.join(tmp, "prefix")
    try:
        rc, log = run_demo(tree, tmp)
        check(rc == 0 and b"!LOGON!|test|test|" in log, "the first run logs on (exit code %r)" % rc)
        first = client_folder(prefix)
        check(first is not None and os.path.isdir(first),
              "the program folder of the first run is still there after it: %r" % first)
        if failures:
            return 1

        # What the user did there: a phrase in a list, a chat history; and a
        # client older than the build's.
        config = os.path.join(first, "Config.ini")
        with open(config, "rb") as f:
            settings = f.read()
        settings = re.sub(rb"(\r\nChangyongci=[^\r]*)", lambda m: m.group(1) + b"/" + PHRASE, settings)
        with open(config, "wb") as f:
            f.write(settings)
        with open(os.path.join(first, HISTORY), "wb") as f:
            f.write(b"{\\rtf1 history}")
        with open(os.path.join(first, "TovanClient.exe"), "ab") as f:
            f.write(b"older")

        rc, log = run_demo(tree, tmp)
        check(rc == 0 and b"!LOGON!|test|test|" in log, "the second run logs on (exit code %r)" % rc)
        second = client_folder(prefix)
        check(second == first, "the second run's client runs from the same folder: %r" % second)
        if second and os.path.isdir(second):
            check(b"/" + PHRASE + b"\r\n" in read(os.path.join(second, "Config.ini")),
                  "the phrase added in the first run is in the list")
            check(os.path.exists(os.path.join(second, HISTORY)), "the chat history is kept")
            check(read(os.path.join(second, "TovanClient.exe")) == built_client,
                  "the client is brought up to date")

        rc, log = run_demo(tree, tmp, "--reset")
        check(rc == 0 and b"!LOGON!|test|test|" in log, "the run with --reset logs on (exit code %r)" % rc)
        third = client_folder(prefix)
        check(third is not None and PHRASE not in read(os.path.join(third, "Config.ini")) and
              not os.path.exists(os.path.join(third, HISTORY)), "--reset starts from the shipped settings")
    finally:
        kill_wineserver(prefix, wine_for(os.path.join(tree, "client", "TovanClient.exe")))
        shutil.rmtree(tmp, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
