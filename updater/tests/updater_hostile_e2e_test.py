#!/usr/bin/env python3
"""TvUpdate.exe under Wine against a hostile web service (tests/e2e/hostile_web.py):
only a whole 2xx body is installed, programs and libraries only as whole
images of their kind; on every failure the old file and its version stay.
Device names are never fetched. A silent or trickling service is given up
after the time-outs, one that stalls (a byte now and then) within about a
minute with the release values, while a slow one that moves completes; the
status window answers meanwhile, and the client is started in every case.

    updater_hostile_e2e_test.py --updater TvUpdate.exe --client client_stand_in.exe
                                --driver client_driver.exe
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no caches in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, HERE)
from e2e_support import Display, check, failures, finish_program, start_program, wine_argv, wine_for, wine_template  # noqa: E402
from hostile_web import HostileWeb, pe_image  # noqa: E402
from updater_e2e_test import ini_sections, read, target_machine, windows_path, write  # noqa: E402

# (name, how the service answers, what it sends), made by main() for the
# updater's own architecture, since it refuses images of another.
NEW_DLL = HOSTILE = GOOD = None
MACHINE = None


def make_replies(machine):
    global NEW_DLL, HOSTILE, GOOD, MACHINE
    MACHINE = machine
    NEW_DLL = pe_image(True, b"new library " * 300, machine)
    HOSTILE = [
        ("TovanClient.exe", "noreply", pe_image(False, b"new client", machine)),
        ("Vokar.ocx", "normal", b"<html><body>500 Internal Server Error</body></html>"),
        ("Cut.dll", "nolength", NEW_DLL),
        ("Short.dll", "shortlength", NEW_DLL),
        ("Chunks.dll", "chunkedcut", NEW_DLL),
        ("Empty.dll", "empty", b""),
        ("Torn.dll", "normal", NEW_DLL[:-300]),        # announced whole, but a cut image
        ("Program.dll", "normal", pe_image(False, b"", machine)),    # a program where a library belongs
        ("Huge.dll", "huge", b""),
        ("Moved.dll", "status:302", NEW_DLL),
        ("Partial.ini", "status:100", b"x"),
        # Files are asked for over HTTP/1.0: chunks are no answer to that, and
        # once taken apart a cut chunked body cannot be told from a whole one.
        ("Chunked.dll", "chunked", NEW_DLL),
    ]
    GOOD = [
        ("Good.dll", "normal", NEW_DLL),
        ("Data.ini", "normal", b"[a]\r\nb=1\r\n"),
    ]


DEVICES = ["NUL", "AUX.dll", "com1.txt", "nul.txt", "Lpt9.ocx"]


def run_updater(app, prefix, env_extra, driver=None, timeout=180):
    """Runs the updater until it and what it started end: (exit code or None,
    seconds taken, answers of the status window to the driver's pings)."""
    env = dict(os.environ, WINEPREFIX=prefix, TOVAN_TEST_UPDATE_DELAY_MS="0",
               TOVAN_TEST_UPDATE_NOTICE_MS="300", **env_extra)
    start = time.monotonic()
    proc = start_program([os.path.join(app, "TvUpdate.exe")], app, env, "TvUpdate")
    answers = []
    marker = os.path.join(app, "started.txt")
    # Pings stop once the client was started: the run is then over, and the
    # prefix must fall idle.
    while driver and proc.poll() is None and not os.path.exists(marker) and \
            time.monotonic() - start < timeout:
        ping = subprocess.run(wine_argv([driver, "updater-answers"]), cwd=app, env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if ping.returncode in (0, 1):
            answers.append(ping.returncode)
        time.sleep(0.2)
    code = finish_program(proc, prefix, env, "TvUpdate.exe", timeout - (time.monotonic() - start))
    return code, time.monotonic() - start, answers


def started_in(app):
    lines = (read(os.path.join(app, "started.txt")) or b"").decode("latin-1").split("\r\n")[:-1]
    return [s.lower() for s in lines]


def prepare(tmp, args, web, listed, old_files):
    app = os.path.join(tmp, "app")
    os.mkdir(app)
    shutil.copy(args.updater, os.path.join(app, "TvUpdate.exe"))
    shutil.copy(args.client, os.path.join(app, "TovanClient.exe"))
    for name, data in old_files.items():
        write(os.path.join(app, name), data)
    write(os.path.join(app, "Config.ini"), b"[URL]\r\nMerovan=http://127.0.0.1:%d/\r\n" % web.port)
    web.serve("/cab/update.asp", b",".join(n.encode() + b"|2" for n in listed))
    return app


def hostile_replies(args, tmp, prefix):
    print("-- hostile replies and device names")
    with HostileWeb() as web:
        old = {name: pe_image(name.endswith(".dll") or name.endswith(".ocx"), b"old " + name.encode(), MACHINE)
               for name, _, _ in HOSTILE + GOOD
               if not name.endswith(".ini") and name != "TovanClient.exe"}
        old["Partial.ini"] = b"old"
        old["Data.ini"] = b"old"
        app = prepare(tmp, args, web, [n for n, _, _ in HOSTILE + GOOD] + DEVICES, old)
        old["TovanClient.exe"] = read(os.path.join(app, "TovanClient.exe"))
        for name, mode, data in HOSTILE + GOOD:
            web.serve("/cab/" + name, data, mode)
        for name in DEVICES:
            web.serve("/cab/" + name, b"device", "normal")

        code, took, _ = run_updater(app, prefix, {})
        print("requests: %r (%.1f s)" % (web.requests(), took))
        check(code == 0, "the updater ends by itself (exit %r)" % code)
        versions = ini_sections(read(os.path.join(app, "Update.ini")))  # made by the updater
        print("update.ini: %r" % versions)
        for name, mode, _ in HOSTILE:
            check(read(os.path.join(app, name)) == old[name], "%s (%s): the old file stays" % (name, mode))
            check(name.encode() not in versions, "%s (%s): its version stays" % (name, mode))
        for name, mode, data in GOOD:
            check(read(os.path.join(app, name)) == data, "%s (%s): installed" % (name, mode))
            check(versions.get(name.encode(), {}).get(b"Version") == b"2", "%s: recorded" % name)
        requested = [r.split(" ")[0] for r in web.requests()]
        for name in DEVICES:
            check("/cab/" + name not in requested, "%s: a device name is never fetched" % name)
            check(name.encode() not in versions, "%s: never recorded" % name)
        check(not os.path.exists(os.path.join(app, "tp.n")), "no staged copy is left behind")
        check(started_in(app) == [windows_path(app).lower()], "the client is started once: %r"
              % started_in(app))


def silent_and_trickling(args, tmp, prefix):
    print("-- a silent and a trickling service")
    limits = {"TOVAN_TEST_UPDATE_RECEIVE_MS": "8000", "TOVAN_TEST_UPDATE_DEADLINE_MS": "6000"}
    with HostileWeb() as web:
        old = {"Slow.dll": b"old slow", "Drip.dll": b"old drip"}
        app = prepare(os.path.join(tmp, "slow"), args, web, ["Slow.dll", "Drip.dll"], old)
        web.serve("/cab/Slow.dll", NEW_DLL, "silent")
        web.serve("/cab/Drip.dll", NEW_DLL, "trickle")
        code, took, answers = run_updater(app, prefix, limits, driver=args.driver)
        print("requests: %r (%.1f s), window answers: %r" % (web.requests(), took, answers))
        check(code == 0 and took < 90, "the updater gives up and ends (exit %r after %.0f s)"
              % (code, took))
        check(answers and all(a == 0 for a in answers),
              "the status window answers during the downloads: %r" % answers)
        for name in old:
            check(read(os.path.join(app, name)) == old[name], "%s: the old file stays" % name)
        check(started_in(app) == [windows_path(app).lower()], "the client is started: %r"
              % started_in(app))

    with HostileWeb() as web:
        app = prepare(os.path.join(tmp, "mute"), args, web, ["Slow.dll"], {})
        web.serve("/cab/update.asp", b"", "silent")
        code, took, _ = run_updater(app, prefix, limits)
        check(code == 0 and took < 60, "a silent version list is given up (exit %r after %.0f s)"
              % (code, took))
        check(started_in(app) == [windows_path(app).lower()], "and the client is started: %r"
              % started_in(app))


def stalled_and_slow(args, tmp, prefix):
    print("-- a stalled and a slow download, with the release values")
    slow_file = pe_image(True, b"slow but moving " * 10000, MACHINE)  # about 160 KB: over 30 s at 5 KB/s
    with HostileWeb() as web:
        app = prepare(os.path.join(tmp, "stall"), args, web, ["Drip.dll"], {"Drip.dll": b"old drip"})
        web.serve("/cab/Drip.dll", NEW_DLL, "drip")
        code, took, _ = run_updater(app, prefix, {}, timeout=150)
        print("requests: %r (%.1f s)" % (web.requests(), took))
        check(code == 0 and took < 60, "a stalled download is given up within a minute (exit %r after %.0f s)"
              % (code, took))
        check(read(os.path.join(app, "Drip.dll")) == b"old drip", "the old file stays")
        check(started_in(app) == [windows_path(app).lower()], "the client is started: %r" % started_in(app))
    with HostileWeb() as web:
        app = prepare(os.path.join(tmp, "moving"), args, web, ["Slow.dll"], {"Slow.dll": b"old slow"})
        web.serve("/cab/Slow.dll", slow_file, "slow")
        code, took, _ = run_updater(app, prefix, {}, timeout=150)
        print("requests: %r (%.1f s)" % (web.requests(), took))
        check(code == 0, "the updater ends (exit %r after %.0f s)" % (code, took))
        check(read(os.path.join(app, "Slow.dll")) == slow_file, "a slow download that moves is installed")
        check(started_in(app) == [windows_path(app).lower()], "the client is started: %r" % started_in(app))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--updater", required=True)
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    args = ap.parse_args()
    make_replies(target_machine(args.updater))
    os.environ.update(wine_for(args.updater))  # the Wine of the updater's architecture
    tmp = tempfile.mkdtemp(prefix="tovan-updh-")
    try:
        prefix = os.path.join(tmp, "prefix")
        subprocess.run(["cp", "-a", wine_template(), prefix], check=True)
        for d in ("slow", "mute", "stall", "moving"):
            os.mkdir(os.path.join(tmp, d))
        with Display():
            hostile_replies(args, tmp, prefix)
            silent_and_trickling(args, tmp, prefix)
            stalled_and_slow(args, tmp, prefix)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
