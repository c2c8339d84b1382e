#!/usr/bin/env python3
"""What the harness saves of a client that hangs: the stacks of its threads,
through Wine's debugger attached to it. A test build of the client sleeps at
start when TOVAN_TEST_START_SLEEP_MS asks it to, and so never logs on.

    hang_stacks_e2e_test.py --client TovanClient.exe --driver client_driver.exe
"""

import os
import sys

sys.dont_write_bytecode = True  # no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import auto_logon, check, poll, run_client_test, save_stacks  # noqa: E402


def run(sim, client):
    logons = poll(sim.log, lambda log: any(e.message.startswith(b"!LOGON!|") for e in log), 15)
    check(not logons and client.running(), "the sleeping client runs and does not log on")
    stacks = save_stacks(client.prefix, "TovanClient.exe", client.env)
    check("Backtrace:" in stacks, "the debugger gave its threads' stacks")
    check("Sleep" in stacks and "SleepAtStartForTests" in stacks,
          "the main thread's stack shows where it sleeps")


if __name__ == "__main__":
    sys.exit(run_client_test(auto_logon("test"), run, client_env={"TOVAN_TEST_START_SLEEP_MS": "600000"}))
