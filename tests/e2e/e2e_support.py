"""What the end-to-end tests share: a display, a client in its own Wine
prefix with the test driver beside it, a watch over the simulator's message
log, and the check/failure bookkeeping.

The simulator is TOVAN_SIM, else TOVAN_EXCHANGE_SIM, else the native tree's
build. With client_driver.exe the client must be a test build (it answers
that driver and mirrors its connection log into TOVAN_TEST_SESSION_LOG);
release_driver.exe drives any build through public window messages only.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
WINE_ENV = os.path.join(ROOT, "scripts", "wine-env.sh")
OWN_NETWORK = os.path.join(ROOT, "scripts", "own-network")

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wine_setting(name, env=None):
    """A variable of scripts/wine-env.sh, for the Wine the environment selects
    (TOVAN_WOW64=1: the WoW64 Wine of the i686 programs)."""
    out = subprocess.run(["bash", "-c", '. "$1"; printenv "$2"', "_", WINE_ENV, name],
                         capture_output=True, text=True, check=True, env=env)
    return out.stdout.strip()


def wine_template(env=None):
    return wine_setting("TOVAN_WINE_TEMPLATE", env)


def wineserver(env=None):
    return wine_setting("TOVAN_WINESERVER", env)


def is_i386(path):
    """Whether a Windows program is a 32-bit (i386) one, from its PE header."""
    with open(path, "rb") as f:
        head = f.read(4096)
    pe = struct.unpack_from("<I", head, 60)[0]
    return struct.unpack_from("<H", head, pe + 4)[0] == 0x14C


def wine_for(path, env=None):
    """env (default: this process's) with the Wine that runs path chosen,
    unless the environment chose one already."""
    env = dict(os.environ if env is None else env)
    if not env.get("TOVAN_WOW64"):
        env["TOVAN_WOW64"] = "1" if is_i386(path) else "0"
    return env


def pinned_wine():
    """The variables that keep the Wine in use, its wineserver and prefix
    template when a program is given a HOME of its own (their places are
    found through HOME otherwise)."""
    env = {"TOVAN_CACHE": wine_setting("TOVAN_CACHE")}
    if os.environ.get("TOVAN_WOW64"):
        env["TOVAN_WOW64"] = os.environ["TOVAN_WOW64"]
    return env


def kill_wineserver(prefix, env=None):
    """Ends every program of the prefix, with the wineserver of the Wine in use."""
    subprocess.run(["bash", "-c", '. "$1"; exec "$TOVAN_WINESERVER" -k', "_", WINE_ENV],
                   env=dict(env or os.environ, WINEPREFIX=prefix),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# What Wine reports of the programs a test starts: its errors only (a window
# that cannot be made, a driver that failed), readable in the test's output.
WINE_ERRORS_ONLY = "-all,err+all"


def wine_argv(argv, setup=""):
    """argv run by the Wine of the environment; setup: shell lines run first."""
    return ["bash", "-c", '. "$1"; shift; %s exec "$TOVAN_WINE" "$@"' % setup, "_", WINE_ENV] + list(argv)


def start_program(argv, cwd, env, label):
    """Starts a Windows program under Wine in env's WINEPREFIX as a process of
    its own: its exit is the program's, not the prefix's (scripts/wine-run
    lives on while anything in the prefix does, a stuck desktop process too).
    Wine's errors go to the test's output, each line marked with label."""
    proc = subprocess.Popen(wine_argv(argv), cwd=cwd, env=dict(env, WINEDEBUG=WINE_ERRORS_ONLY),
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    threading.Thread(target=relay_lines, args=(proc.stderr, label), daemon=True).start()
    return proc


def relay_lines(stream, label):
    for line in iter(stream.readline, b""):
        sys.stderr.buffer.write(b"[%s] %s" % (label.encode(), line))
        sys.stderr.buffer.flush()
    stream.close()


def finish_program(proc, prefix, env, program, timeout):
    """Waits for a program from start_program, then for what it started (the
    prefix falling idle): its exit code, or None when either outlived timeout
    seconds. A program that does not end has its threads' stacks printed;
    the prefix is ended in any case."""
    deadline = time.monotonic() + timeout
    try:
        code = proc.wait(timeout=max(1, timeout))
    except subprocess.TimeoutExpired:
        save_stacks(prefix, program, env)
        code = None
    idle = subprocess.run(["bash", "-c", '. "$1"; exec timeout "$2" "$TOVAN_WINESERVER" -w', "_", WINE_ENV,
                           str(max(1, int(deadline - time.monotonic())))],
                          env=dict(env, WINEPREFIX=prefix)).returncode == 0
    if code is not None and not idle:
        print("what %s started was still running after %d s" % (program, timeout), flush=True)
        code = None
    kill_wineserver(prefix, env)
    proc.wait(timeout=30)
    return code


def save_stacks(prefix, program, env):
    """Prints the stack of every thread of the Windows programs named program
    that run in prefix (Wine's debugger attached to each), so that a hang
    says where it was; returns that text."""
    env = dict(env, WINEPREFIX=prefix, WINEDEBUG="-all")
    debugger = 'export WINEDLLOVERRIDES="${WINEDLLOVERRIDES//winedbg.exe=d/}";'  # wine-env.sh turns it off
    threads = subprocess.run(wine_argv(["winedbg", "--command", "info thread"], debugger), env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60).stdout
    text = ""
    for pid, tids in threads_of(threads.decode("latin-1"), program):
        script = "attach 0x%s\n%sdetach\nquit\n" % (pid, "".join("bt 0x%s\n" % t for t in tids))
        out = subprocess.run(wine_argv(["winedbg"], debugger), env=env, input=script.encode(),
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120).stdout
        text += "---- stacks of %s, process 0x%s\n%s\n" % (program, pid, out.decode("latin-1"))
    print(text or "---- no %s runs in %s: no stacks" % (program, prefix), flush=True)
    return text


def threads_of(info_thread, program):
    """[(process id, [thread ids])] of the processes named program in the
    debugger's "info thread" listing (ids in hex)."""
    found, current = [], None
    for line in info_thread.splitlines():
        fields = line.split()
        if not fields:
            continue
        if not line.startswith(("\t", " ")) and len(fields) >= 2 and all(c in "0123456789abcdefABCDEF" for c in fields[0]):
            current = (fields[0], []) if fields[1].lower() == program.lower() else None
            if current:
                found.append(current)
        elif current and line.startswith("\t"):
            current[1].append(fields[0])
    return found


def program_args(*names, optional=()):
    """The test's command line: a required path per name, made absolute
    (CTest runs the test in the build tree), and optional values as given."""
    import argparse
    ap = argparse.ArgumentParser()
    for name in names:
        ap.add_argument("--" + name, required=True)
    for name in optional:
        ap.add_argument("--" + name)
    args = ap.parse_args()
    for name in names:
        key = name.replace("-", "_")
        setattr(args, key, os.path.abspath(getattr(args, key)))
    return args


def in_own_network():
    """Re-runs the running script through scripts/own-network (a network
    namespace and display sockets of its own) unless it runs there already;
    returns whether it does: False when namespaces cannot be made here
    (fixed ports such as the address server's are then shared)."""
    import sys
    state = os.environ.get("TOVAN_OWN_NETNS")
    if state is not None:
        return state == "1"
    rc = subprocess.run([OWN_NETWORK, sys.executable, os.path.abspath(sys.argv[0])] + sys.argv[1:]).returncode
    raise SystemExit(rc)


def poll(what, predicate, timeout, step=0.3):
    """Calls what() until predicate holds or time is up; returns the last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = what()
        if predicate(value) or time.monotonic() > deadline:
            return value
        time.sleep(step)


def x_places(xids):
    """{X window id: its place among its X siblings, 0 for the topmost}: what
    the screen shows, which under Wine can differ from Windows' z-order."""
    import ctypes
    import ctypes.util
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    window_list = ctypes.POINTER(ctypes.c_ulong)
    x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(window_list),
                               ctypes.POINTER(ctypes.c_uint)]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
    x11.XSetErrorHandler(ignore)  # a window gone meanwhile is just not placed
    display = x11.XOpenDisplay(None)
    if not display:
        return {}

    def query(window):
        root, parent, children, n = ctypes.c_ulong(), ctypes.c_ulong(), window_list(), ctypes.c_uint()
        if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent),
                              ctypes.byref(children), ctypes.byref(n)):
            return None, []
        kids = [children[i] for i in range(n.value)]  # bottom first
        if children:
            x11.XFree(children)
        return parent.value, kids

    places = {}
    try:
        for xid in xids:
            parent, _ = query(xid)
            if parent is None:
                continue
            _, siblings = query(parent)
            if xid in siblings:
                places[xid] = len(siblings) - 1 - siblings.index(xid)
    finally:
        x11.XCloseDisplay(display)
    return places


def client_windows(client):
    """The client's visible top-level windows, top first in Windows' z-order,
    as (title bytes, active, place on the screen: 0 topmost, None unknown)."""
    rc, out = client.driver("windows")
    rows = []
    for line in out.split(b"\n") if rc == 0 else []:
        fields = line.rstrip(b"\r").split(b" ", 2)
        if len(fields) >= 2:
            rows.append((int(fields[0], 16), fields[1] == b"1", fields[2] if len(fields) > 2 else b""))
    places = x_places([x for x, _, _ in rows if x])
    return [(title, active, places.get(x)) for x, active, title in rows]


def on_screen_above(windows, upper, lower):
    """Whether the first window whose title holds `upper` shows above the first
    whose title holds `lower` (both bytes), by the X stacking."""
    def place(part):
        return next((p for t, _, p in windows if part in t), None)
    a, b = place(upper), place(lower)
    return a is not None and b is not None and a < b


def auto_logon(name):
    """A user's dmr.ini that logs the sample user `name` on by itself."""
    return ("[User]\r\nName=%s\r\nPass=%s\r\nAutoLogon=1\r\n" % (name, name)).encode("gbk")


def sim_binary():
    path = os.environ.get("TOVAN_SIM") or os.environ.get("TOVAN_EXCHANGE_SIM") or \
        os.path.join(ROOT, "build", "native", "tools", "exchange-sim", "exchange-sim")
    # CTest runs the tests in the build tree: a relative path given on the
    # command line is taken from the repository's top when it is not here.
    if not os.path.isabs(path) and not os.path.exists(path):
        path = os.path.join(ROOT, path)
    return path


def run_client_test(user_ini, run, client_env=None, **simulator_options):
    """The whole of a client test: a display, the simulator (with the given
    options), the client logged on as user_ini says (client_env: variables
    added to its environment), run(sim, client), the failure count; returns
    the exit code."""
    import simctl
    args, binary = client_test_setup()
    with Display(), simctl.Simulator(binary, **simulator_options) as sim:
        client = Client(args.client, args.driver, sim.tcp_port, user_ini, env=client_env)
        try:
            run(sim, client)
        finally:
            client.close()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


def client_test_setup():
    """The --client and --driver arguments of a client test, and the simulator
    binary; exits with 1 when the simulator has not been built."""
    import argparse
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    args = ap.parse_args()
    binary = sim_binary()
    if not os.path.exists(binary):
        print("exchange-sim not found at %s (build the native tree or set TOVAN_SIM)" % binary)
        raise SystemExit(1)
    return args, binary


class Display:
    """The caller's display, or an Xvfb of our own (always with own=True, so
    that tests running side by side cannot take each other's focus)."""

    def __init__(self, own=False):
        self.proc = None
        self.own = own

    def __enter__(self):
        if os.environ.get("DISPLAY") and not self.own:
            return self
        r, w = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], pass_fds=(w,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        os.environ["DISPLAY"] = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(timeout=10)


class Client:
    """A copy of TovanClient.exe in a temporary folder with its own Wine prefix."""

    def __init__(self, exe, driver_exe, port, user_ini, config_extra=b"", app_files=(), start=True, env=None):
        """config_extra: bytes appended to Config.ini; app_files: (source, name)
        pairs copied into the program folder before the client starts; with
        start=False the client waits for start(); env: variables added to the
        client's environment."""
        self.tmp = tempfile.mkdtemp(prefix="tovan-e2e-")
        self.app = os.path.join(self.tmp, "app")
        self.prefix = os.path.join(self.tmp, "prefix")
        self.session_log = os.path.join(self.tmp, "session.log")
        self.driver_exe = driver_exe
        os.mkdir(self.app)
        shutil.copy(exe, os.path.join(self.app, "TovanClient.exe"))
        # The shipped area list lies beside the built program.
        area_ini = os.path.join(os.path.dirname(exe), "area.ini")
        if os.path.exists(area_ini):
            shutil.copy(area_ini, os.path.join(self.app, "area.ini"))
        with open(os.path.join(self.app, "Config.ini"), "wb") as f:
            f.write(b"[Server]\r\nName=127.0.0.1\r\nPort=%d\r\n" % port + config_extra)
        for source, name in app_files:
            shutil.copy(source, os.path.join(self.app, name))
        self.env = wine_for(exe, dict(os.environ, TOVAN_KEEP_PREFIX=self.prefix,
                                      TOVAN_TEST_SESSION_LOG="Z:" + self.session_log.replace("/", "\\"),
                                      **(env or {})))
        subprocess.run(["cp", "-a", wine_template(self.env), self.prefix], check=True)
        with open(os.path.join(self.prefix, "drive_c", "windows", "dmr.ini"), "wb") as f:
            f.write(user_ini)
        self.proc = None
        if start:
            self.start()

    def start(self):
        self.failures_before = len(failures)
        self.proc = start_program([os.path.join(self.app, "TovanClient.exe")], self.app,
                                  dict(self.env, WINEPREFIX=self.prefix),
                                  "TovanClient " + os.path.basename(self.tmp))

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wine_async(self, *argv):
        """Runs a Windows program in the client's prefix, beside the client."""
        return subprocess.Popen(wine_argv(argv), cwd=self.app,
                                env=dict(self.env, WINEPREFIX=self.prefix),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def driver(self, *args, timeout=60):
        """Runs client_driver.exe with args: (exit code, standard output bytes);
        exit code None when it did not end in time."""
        try:
            out = subprocess.run(wine_argv([self.driver_exe] + list(args)), cwd=self.app,
                                 env=dict(self.env, WINEPREFIX=self.prefix),
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
        except subprocess.TimeoutExpired:
            return None, b""
        return out.returncode, out.stdout

    def post_async(self, text):
        """Makes the client send text as its windows would; exit code 0 when it took it."""
        return self.wine_async(self.driver_exe, "post", text)

    def post(self, text):
        return self.post_async(text).wait(timeout=60) == 0

    def log_lines(self):
        try:
            with open(self.session_log, "rb") as f:
                return f.read().split(b"\r\n")[:-1]
        except FileNotFoundError:
            return []

    def close(self):
        """Ends the client and its prefix; a client still running after a
        check failed has its threads' stacks printed first."""
        if self.running() and len(failures) > self.failures_before:
            save_stacks(self.prefix, "TovanClient.exe", self.env)
        kill_wineserver(self.prefix, self.env)
        try:
            if self.proc:
                self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        shutil.rmtree(self.tmp, ignore_errors=True)


class Watch:
    """Polls the simulator's message log and notes when each entry appeared."""

    def __init__(self, sim):
        self.sim = sim
        self.seen = []  # (monotonic time first seen, LogEntry)

    def poll(self):
        entries = self.sim.log()
        now = time.monotonic()
        for e in entries[len(self.seen):]:
            self.seen.append((now, e))

    def wait(self, predicate, timeout, start=0):
        """The first entry from index start on that satisfies predicate: (time, entry, index)."""
        deadline = time.monotonic() + timeout
        while True:
            self.poll()
            for i in range(start, len(self.seen)):
                if predicate(self.seen[i][1]):
                    return self.seen[i][0], self.seen[i][1], i
            if time.monotonic() > deadline:
                return None, None, None
            time.sleep(0.05)

    def run_for(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.poll()
            time.sleep(0.05)
