#!/usr/bin/env python3
"""A program that cannot make its main window says why and ends with a
non-zero exit code.

On a display nobody serves (any build): the client and the updater end with
code 1 and, since not even a message box can be shown there, write the
reason to their standard error output; the updater still starts the client.
With --driver (a test build: TOVAN_TEST_FRAME_FAILS makes the platform refuse
the client's frame) on a working display: the client's message box says why,
and once it is closed the client ends with code 1.

    no_main_window_e2e_test.py --client TovanClient.exe --updater TvUpdate.exe
                               --stand-in client_stand_in.exe [--driver client_driver.exe]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no caches in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
from e2e_support import Client, Display, check, failures, wine_for  # noqa: E402

NO_WINDOW = "主窗口创建失败。".encode("gbk")


def unserved_display():
    """A display number no X server holds here (no lock file, no socket)."""
    for n in range(700, 1000):
        if not os.path.exists("/tmp/.X%d-lock" % n) and not os.path.exists("/tmp/.X11-unix/X%d" % n):
            return ":%d" % n
    raise SystemExit("no free display number")


def run_in_folder(exe, files, env):
    """Runs exe from a program folder of its own (with files: name -> source)
    in a fresh prefix: (exit code, standard error bytes, the folder's files)."""
    app = tempfile.mkdtemp(prefix="tovan-e2e-nowin-")
    try:
        shutil.copy(exe, os.path.join(app, os.path.basename(exe)))
        for name, source in files.items():
            shutil.copy(source, os.path.join(app, name))
        try:
            run = subprocess.run(["bash", os.path.join(ROOT, "scripts", "wine-run"),
                                  os.path.join(app, os.path.basename(exe))],
                                 cwd=app, env=wine_for(exe, env), stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE, timeout=120)
        except subprocess.TimeoutExpired:
            return None, b"", {}
        return run.returncode, run.stderr, {name: open(os.path.join(app, name), "rb").read()
                                            for name in os.listdir(app)}
    finally:
        shutil.rmtree(app, ignore_errors=True)


def on_unserved_display(args):
    env = dict(os.environ, DISPLAY=unserved_display(), TOVAN_TEST_UPDATE_DELAY_MS="0")
    rc, err, _ = run_in_folder(args.client, {}, env)
    check(rc == 1, "the client without a display ends with code 1 (%r)" % rc)
    check(NO_WINDOW in err, "and says why on its standard error output: %r" % err[-300:])

    rc, err, files = run_in_folder(args.updater, {"TovanClient.exe": args.stand_in}, env)
    check(rc == 1, "the updater without a display ends with code 1 (%r)" % rc)
    check(NO_WINDOW in err, "and says why on its standard error output: %r" % err[-300:])
    check("started.txt" in files, "and still starts the client")


def refused_frame(args):
    with Display(own=True):
        client = Client(args.client, args.driver, 1, b"", env={"TOVAN_TEST_FRAME_FAILS": "1"})
        try:
            rc, text = client.driver("message-box")
            check(rc == 0 and text.startswith(NO_WINDOW),
                  "a refused frame shows the message box \"主窗口创建失败。\": %r" % text)
            # The system's reason and its number follow: the handle is no window.
            check(b"1400" in text, "with the system's reason: %r" % text)
            try:
                code = client.proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                code = None
            check(code == 1, "once it is closed the client ends with code 1 (%r)" % code)
        finally:
            client.close()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--updater", required=True)
    ap.add_argument("--stand-in", required=True)
    ap.add_argument("--driver")
    args = ap.parse_args()
    on_unserved_display(args)
    if args.driver:
        refused_frame(args)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
