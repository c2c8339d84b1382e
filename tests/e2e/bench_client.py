#!/usr/bin/env python3
"""What users feel of TovanClient.exe under Wine, against the exchange
simulator, in one run on one machine (a benchmark: it prints figures and
fails only when something did not work at all, never on a slow machine):

- start-up: from process start to the first rows drawn, beside a bare Win32
  window's start to its first paint, both with the wineserver already running,
  interleaved; beside them the floor of the client's start (the bare window
  loading the same libraries and making the same visible windows, maximised),
  and where the client's and the floor's starts go, step by step, from the
  time stamps that traced starts write (TOVAN_STARTUP_TRACE);
- a burst of pushed offers (2,000 by default) sent by the simulator in one
  write: the time until the grid has drawn the last of them at its top, and
  the frame's message round trips meanwhile, beside the idle round trips.

Use the release tree with the test hooks (win64-bench preset):
    cmake --preset win64-bench
    cmake --build --preset win64-bench --target TovanClient client_driver bare_window
    python3 tests/e2e/bench_client.py --client build/win64-bench/client/TovanClient.exe \\
        --driver build/win64-bench/tests/e2e/client_driver.exe \\
        --bare build/win64-bench/tests/e2e/bare_window.exe
The simulator: see e2e_support.py.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import simctl  # noqa: E402
from e2e_support import Client, Display, sim_binary  # noqa: E402

HOME_CITY = "石家庄市"  # the sample user "test" is a city-level account there
BODY = "石家庄到广州 纸箱12吨 急求9.6米厢车 电话:0311-86012345 手机:13803110001"


def win_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def figures(out):
    """The driver's "name value" lines as a dict."""
    result = {}
    for line in out.decode("ascii", "replace").splitlines():
        parts = line.split()
        if len(parts) == 2:
            result[parts[0]] = float(parts[1])
    return result


def fail(what):
    print("FAILED: " + what, flush=True)
    return 1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--bare", required=True)
    ap.add_argument("--offers", type=int, default=2000)
    ap.add_argument("--starts", type=int, default=9, help="timed starts of each program")
    ap.add_argument("--shot", help="a screenshot of the client after the burst (PNG)")
    ap.add_argument("--compare", help="another build of the client, timed the same way among the others")
    args = ap.parse_args()
    args.client, args.driver, args.bare = (os.path.abspath(p) for p in (args.client, args.driver, args.bare))
    binary = sim_binary()
    if not os.path.exists(binary):
        return fail("exchange-sim not found at %s" % binary)
    print("client: %s" % args.client)
    user_ini = "[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n".encode("gbk")
    with Display(), simctl.Simulator(binary) as sim:
        # The program folder as installed: the chat control beside the client,
        # which registers it at every start.
        app_files = [(args.bare, "bare_window.exe")]
        ocx = os.path.join(os.path.dirname(args.client), "Vokar.ocx")
        if os.path.exists(ocx):
            app_files.append((ocx, "Vokar.ocx"))
        if args.compare:
            app_files.append((os.path.abspath(args.compare), "TovanClientCompared.exe"))
        client = Client(args.client, args.driver, sim.tcp_port, user_ini, app_files=app_files, start=False)
        server = None
        try:
            # The wineserver stays up for the whole run, as on a desktop where
            # Wine already runs.
            server = subprocess.Popen(["wineserver", "-p", "-f"], env=dict(client.env, WINEPREFIX=client.prefix),
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            rc = start_times(client, args.starts, args.compare)
            if rc == 0:
                rc = burst(sim, client, args.offers, args.shot)
        finally:
            client.close()
            if server:
                server.wait(timeout=30)
    return rc


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def read_trace(path, t0):
    """The start-up steps a traced start wrote: [(label, ms since the start)],
    a step seen again labelled "step #2" and so on."""
    steps, seen = [], {}
    try:
        with open(path, encoding="ascii", errors="replace") as f:
            for line in f:
                counter, _, name = line.rstrip("\n").partition(" ")
                seen[name] = seen.get(name, 0) + 1
                if seen[name] > 3:
                    continue  # the rest of a burst of receives tells nothing more
                label = name if seen[name] == 1 else "%s #%d" % (name, seen[name])
                steps.append((label, float(counter) - t0))
    except FileNotFoundError:
        pass
    return steps


def step_table(title, traces, until):
    """Median time since the start of every step up to the first `until`
    step, and the median of each step's own time (since the step before it)."""
    at, own = {}, {}
    for steps in traces:
        previous = 0.0
        for label, t in steps:
            at.setdefault(label, []).append(t)
            own.setdefault(label, []).append(t - previous)
            previous = t
            if label == until:
                break
    if not at:
        return
    print("%s (medians of %d traced starts, ms):" % (title, len(traces)))
    print("  | %-40s | since start | own | own range |" % "step")
    print("  |%s|-------------|-----|-----------|" % ("-" * 42))
    for label in sorted(at, key=lambda k: statistics.median(at[k])):
        if len(at[label]) * 2 < len(traces):
            continue  # a step most starts did not take
        print("  | %-40s | %11.1f | %3.0f | %3.0f to %3.0f |"
              % (label, statistics.median(at[label]), statistics.median(own[label]),
                 min(own[label]), max(own[label])))


KINDS = (("bare", "bare window to its first paint"),
         ("bare-dlls", "bare window loading the client's libraries"),
         ("floor", "floor: the same libraries and visible windows"),
         ("client", "client to its first rows drawn"))


def start_times(client, starts, compare):
    """Interleaved starts of each kind, then as many traced starts of the
    client and of the floor, also interleaved."""
    bare = win_path(os.path.join(client.app, "bare_window.exe"))
    exe = {"bare": bare, "bare-dlls": bare, "floor": bare,
           "client": win_path(os.path.join(client.app, "TovanClient.exe"))}
    kinds = list(KINDS)
    if compare:
        exe["compared"] = win_path(os.path.join(client.app, "TovanClientCompared.exe"))
        kinds.append(("compared", "compared client (%s)" % os.path.basename(compare)))
    times = {kind: [] for kind in exe}
    traces = {"client": [], "floor": []}
    trace = os.path.join(client.tmp, "startup-trace.txt")
    print("load average before the starts: %s" % load_average())
    for round_ in range(starts + 1):  # the first round warms the caches
        for kind in exe:
            timed_as = "client" if kind == "compared" else kind
            rc, out = client.driver("start", timed_as, exe[kind], timeout=120)
            f = figures(out)
            if rc != 0 or timed_as + "_start_ms" not in f:
                return fail("%s start (exit code %s)" % (kind, rc))
            if round_ > 0:
                times[kind].append(f[timed_as + "_start_ms"])
        for kind in traces:
            if os.path.exists(trace):
                os.remove(trace)
            rc, out = client.driver("start", kind, exe[kind], win_path(trace), timeout=120)
            f = figures(out)
            if rc != 0 or "start_counter_ms" not in f:
                return fail("traced %s start (exit code %s)" % (kind, rc))
            if round_ > 0:
                traces[kind].append(read_trace(trace, f["start_counter_ms"]))
    print("load average after the starts:  %s" % load_average())
    median = {kind: statistics.median(t) for kind, t in times.items()}
    print("starts, interleaved, wineserver running (medians of %d each, ms):" % starts)
    for kind, what in kinds:
        print("  %-48s %7.1f   (%s)" % (what + ":", median[kind], " ".join("%.0f" % t for t in times[kind])))
    print("ratio client / bare window:  %.2f" % (median["client"] / median["bare"]))
    if compare:
        print("ratio compared client / bare window: %.2f" % (median["compared"] / median["bare"]))
    print("ratio client / floor:        %.2f   (floor / bare window: %.2f; bare window with the libraries / bare: %.2f)"
          % (median["client"] / median["floor"], median["floor"] / median["bare"],
             median["bare-dlls"] / median["bare"]))
    step_table("where the client's start goes", traces["client"], "first rows painted")
    step_table("where the floor's start goes", traces["floor"], "painted")
    return 0


def burst(sim, client, offers, shot):
    client.start()
    deadline = time.monotonic() + 90
    while True:
        rc, out = client.driver("state")
        parts = out.split()
        if rc == 0 and len(parts) == 4 and int(parts[1]) > 0:
            break
        if time.monotonic() > deadline:
            return fail("the client shows no rows")
        time.sleep(0.2)
    time.sleep(1.0)  # paging of the first screen done
    rc, out = client.driver("ping", "300")
    idle = figures(out)
    if rc != 0 or not idle:
        return fail("idle round trips")

    tmp = tempfile.mkdtemp(prefix="tovan-bench-")
    try:
        command = os.path.join(tmp, "burst.txt")
        with open(command, "wb") as f:
            f.write(("BURST %d peer %s 河北省 长安区 货 %s\n" % (offers, HOME_CITY, BODY)).encode("gbk"))
        rc, out = client.driver("burst", str(sim.control_port), win_path(command), timeout=180)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    b = figures(out)
    if rc != 0 or "shown_after_push_ms" not in b:
        return fail("burst (exit code %s)" % rc)
    _, title = client.driver("title")
    print("burst of %d pushed offers in one write by the simulator:" % offers)
    print("  simulator stored and wrote them in          %7.1f ms" % b["command_ms"])
    print("  grid drew the last of them at the top after %7.1f ms (from the push)" % b["shown_after_push_ms"])
    print("  frame round trip during the burst: p50 %.2f  p95 %.2f  max %.2f ms  (%d)"
          % (b["burst_rtt_p50"], b["burst_rtt_p95"], b["burst_rtt_max"], b["burst_rtt_n"]))
    print("  frame round trip idle:             p50 %.2f  p95 %.2f  max %.2f ms  (%d)"
          % (idle["idle_rtt_p50"], idle["idle_rtt_p95"], idle["idle_rtt_max"], idle["idle_rtt_n"]))
    print("  title afterwards: %s" % title.decode("gbk", "replace"))
    if shot:
        time.sleep(0.5)
        subprocess.run(["import", "-window", "root", shot], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
