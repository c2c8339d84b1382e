#!/usr/bin/env python3
"""TvUpdate.exe under Wine against the simulator's web service: it waits
before asking, fetches the version list, downloads the newer files only,
replaces them, keeps backups in the system folder's tvbk, records the listed
version text, never follows a name out of the program folder, and starts the
client from the program folder - also when the list cannot be fetched.

    updater_e2e_test.py --updater TvUpdate.exe --client client_stand_in.exe

The simulator: see tests/e2e/e2e_support.py (TOVAN_SIM).
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
import simctl  # noqa: E402
from e2e_support import Display, check, failures, finish_program, is_i386, sim_binary, start_program, wine_for, wine_template  # noqa: E402
from hostile_web import pe_image  # noqa: E402

# Bigger than one read piece, with bytes a text transfer would spoil; whole
# library images, as nothing else replaces a library. Made by main() for the
# updater's own architecture, since it refuses images of another.
NEW_OCX = NEW_LIB = LOCKED = None


def make_images(machine):
    global NEW_OCX, NEW_LIB, LOCKED
    NEW_OCX = pe_image(True, bytes(range(256)) * 20 + b"\r\n\x00\x1a end", machine)
    NEW_LIB = pe_image(True, b"new library\r\n" * 300, machine)
    LOCKED = pe_image(True, b"locked", machine)


def target_machine(updater):
    """The PE machine of the updater under test (i386 or x86_64)."""
    return 0x14C if is_i386(updater) else 0x8664


def backup_folder(prefix, updater):
    """Where the system keeps the updater's backups: a 32-bit program's
    system folder is syswow64 on a 64-bit Windows."""
    system = "syswow64" if is_i386(updater) else "system32"
    return os.path.join(prefix, "drive_c", "windows", system, "tvbk")
VERSION_LIST = (b"Vokar.ocx|002,,Keep.dll|3\r\n,Li"   # a record goes on in the next line
                b"b.dll|2,One.dll|1,Missing.dll|5,..\\evil.txt|9,sub\\x.dll|9,"
                b"Locked.dll|4,NoVersion.dll\r\n")


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def ini_sections(data):
    """{section: {key: value}} of an ini file's bytes, names as written."""
    out, section = {}, None
    for line in (data or b"").split(b"\n"):
        line = line.strip(b"\r")
        if line.startswith(b"[") and line.endswith(b"]"):
            section = out.setdefault(line[1:-1], {})
        elif section is not None and b"=" in line:
            k, v = line.split(b"=", 1)
            section[k] = v
    return out


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def run_updater(tmp, app, prefix, delay_ms=None, sim=None, timeout=120):
    """Runs the updater in the prefix until it and the client it started end:
    (exit code or None on time-out, seconds from launch to the simulator's
    first web request or None)."""
    env = dict(os.environ, WINEPREFIX=prefix)
    env.pop("TOVAN_TEST_UPDATE_DELAY_MS", None)
    if delay_ms is not None:
        env["TOVAN_TEST_UPDATE_DELAY_MS"] = str(delay_ms)
    start = time.monotonic()
    proc = start_program([os.path.join(app, "TvUpdate.exe")], tmp, env, "TvUpdate")
    first_request = None
    while sim is not None and first_request is None and proc.poll() is None:
        if sim.http_log():
            first_request = time.monotonic() - start
        time.sleep(0.1)
    code = finish_program(proc, prefix, env, "TvUpdate.exe", timeout - (time.monotonic() - start))
    return code, first_request


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--updater", required=True)
    ap.add_argument("--client", required=True)
    args = ap.parse_args()
    make_images(target_machine(args.updater))
    os.environ.update(wine_for(args.updater))  # the Wine of the updater's architecture
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s (build the native tree or set TOVAN_SIM)" % binary)
        return 1

    tmp = tempfile.mkdtemp(prefix="tovan-upd-")
    try:
        with Display():
            run(args, binary, tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


def run(args, binary, tmp):
    app = os.path.join(tmp, "app")
    web = os.path.join(tmp, "web")
    prefix = os.path.join(tmp, "prefix")
    for d in (app, web):
        os.mkdir(d)
    subprocess.run(["cp", "-a", wine_template(), prefix], check=True)
    shutil.copy(args.updater, os.path.join(app, "TvUpdate.exe"))
    shutil.copy(args.client, os.path.join(app, "TovanClient.exe"))
    write(os.path.join(app, "Vokar.ocx"), b"old ocx")
    write(os.path.join(app, "Keep.dll"), b"keep")
    os.mkdir(os.path.join(app, "Locked.dll"))  # cannot be replaced by a file
    write(os.path.join(app, "update.ini"), b"[Keep.dll]\r\nVersion=3\r\n[Vokar.ocx]\r\nVersion=1\r\n")

    write(os.path.join(web, "update.asp"), VERSION_LIST)
    write(os.path.join(web, "Vokar.ocx"), NEW_OCX)
    write(os.path.join(web, "Lib.dll"), NEW_LIB)
    write(os.path.join(web, "Keep.dll"), b"must not be fetched")
    write(os.path.join(web, "One.dll"), b"must not be fetched")
    write(os.path.join(web, "Locked.dll"), LOCKED)
    write(os.path.join(tmp, "evil.txt"), b"outside")  # what "..\evil.txt" would reach

    backup = backup_folder(prefix, args.updater)
    marker = os.path.join(app, "started.txt")
    app_win = windows_path(app).lower()

    with simctl.Simulator(binary, web_root=web) as sim:
        # The base address's path is not used: the list is always /cab/update.asp.
        write(os.path.join(app, "Config.ini"),
              b"[URL]\r\nMerovan=http://127.0.0.1:%d/portal/index.asp\r\n" % sim.http_port)

        code, first = run_updater(tmp, app, prefix, sim=sim)
        check(code == 0, "the updater ends by itself (exit %r)" % code)
        requests = [line.decode("latin-1") for line in sim.http_log()]
        print("requests: %r" % requests)
        check(first is not None and first >= 6.0,
              "the updater waits 6 s before it asks (first request after %r s)" % first)
        check(requests[:1] == ["GET /cab/update.asp 200"], "the version list is asked first")
        check(sorted(requests[1:]) == sorted(["GET /cab/Vokar.ocx 200", "GET /cab/Lib.dll 200",
                                              "GET /cab/Missing.dll 404", "GET /cab/Locked.dll 200"]),
              "exactly the newer files with safe names are asked for")

        check(read(os.path.join(app, "Vokar.ocx")) == NEW_OCX, "Vokar.ocx replaced byte for byte")
        check(read(os.path.join(backup, "Vokar.ocx")) == NEW_OCX, "Vokar.ocx backed up in tvbk")
        check(read(os.path.join(app, "Lib.dll")) == NEW_LIB, "Lib.dll (no update.ini entry) installed")
        check(read(os.path.join(backup, "Lib.dll")) == NEW_LIB, "Lib.dll backed up in tvbk")
        check(read(os.path.join(app, "Keep.dll")) == b"keep", "Keep.dll at its version is left alone")
        check(not os.path.exists(os.path.join(app, "Missing.dll")), "a file not served is not made")
        check(read(os.path.join(tmp, "evil.txt")) == b"outside", "nothing outside the program folder")
        check(os.path.exists(os.path.join(app, "tp.t")), "tp.t stays in the program folder")

        versions = ini_sections(read(os.path.join(app, "update.ini")))
        print("update.ini: %r" % versions)
        check(versions.get(b"Vokar.ocx", {}).get(b"Version") == b"002",
              "the listed version text is recorded as listed")
        check(versions.get(b"Lib.dll", {}).get(b"Version") == b"2", "Lib.dll recorded at 2")
        check(versions.get(b"Keep.dll", {}).get(b"Version") == b"3", "Keep.dll stays at 3")
        check(b"Missing.dll" not in versions, "a file not served keeps its recorded version")
        check(b"Locked.dll" not in versions,
              "a file that could not be replaced is not recorded as updated")
        check(read(os.path.join(backup, "Locked.dll")) == LOCKED, "its backup is made all the same")

        started = (read(marker) or b"").decode("latin-1").split("\r\n")[:-1]
        check([s.lower() for s in started] == [app_win],
              "the client is started once, in the program folder: %r" % started)

    # The simulator is gone: the list cannot be fetched, the client is started all the same.
    os.remove(marker)
    code, _ = run_updater(tmp, app, prefix, delay_ms=0)
    check(code == 0, "without the web service the updater ends by itself (exit %r)" % code)
    started = (read(marker) or b"").decode("latin-1").split("\r\n")[:-1]
    check([s.lower() for s in started] == [app_win],
          "without the web service the client is started: %r" % started)


if __name__ == "__main__":
    sys.exit(main())
