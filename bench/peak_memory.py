#!/usr/bin/env python3
"""Peak resident memory of the whole program opening a file.

Usage: bench/peak_memory.py build/tarvex FILE

Starts the program on FILE offscreen, with a state folder of its own (no recovery journal of
the user's), waits until it has used no CPU for a second, prints VmHWM and VmRSS in kB from
/proc, and ends it. The program never exits by itself, so /usr/bin/time cannot tell this.
"""
import os
import subprocess
import sys
import tempfile
import time


def cpu_ticks(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def main():
    program, path = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as state:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_STATE_HOME=state)
        child = subprocess.Popen([program, path], env=env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        try:
            last, idle_since, started = cpu_ticks(child.pid), None, time.time()
            while time.time() - started < 120:
                time.sleep(0.1)
                now = cpu_ticks(child.pid)
                if now != last:
                    last, idle_since = now, None
                elif idle_since is None:
                    idle_since = time.time()
                elif time.time() - idle_since >= 1.0:
                    break
            status = dict(line.split(":", 1) for line in open(f"/proc/{child.pid}/status"))
            print(f"{path}: VmHWM {status['VmHWM'].strip()}, VmRSS {status['VmRSS'].strip()}")
        finally:
            child.kill()
            child.wait()


if __name__ == "__main__":
    main()
