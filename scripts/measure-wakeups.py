#!/usr/bin/env python3
"""Wake-ups per second of an idle program: voluntary context switches of all its threads.

    scripts/measure-wakeups.py [--settle S] [--seconds N] [--env NAME=VALUE]... -- COMMAND...

Starts COMMAND, lets it settle for S seconds (start-up is not idle), then reads
voluntary_ctxt_switches of every thread from /proc/PID/task/*/status, waits N seconds and
reads them again. A thread that sleeps in a timer, a poll or a futex and is woken counts
one voluntary switch per wake-up, so the difference over N seconds is the program's
wake-up rate. Prints the total per second and the rate of each thread that woke at all,
then ends the program with SIGTERM.
"""
import argparse
import os
import signal
import subprocess
import sys
import time


def switches(pid):
    """{tid: (name, voluntary switches)} of the live threads of pid."""
    result = {}
    task_dir = f"/proc/{pid}/task"
    for tid in os.listdir(task_dir):
        try:
            with open(f"{task_dir}/{tid}/status", encoding="utf-8") as f:
                fields = dict(line.rstrip("\n").split(":\t", 1) for line in f if ":\t" in line)
        except FileNotFoundError:
            continue  # the thread ended between the listing and the read
        result[tid] = (fields.get("Name", "?").strip(), int(fields["voluntary_ctxt_switches"]))
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n", 1)[0])
    parser.add_argument("--settle", type=float, default=5.0)
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--env", action="append", default=[], metavar="NAME=VALUE")
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()

    env = dict(os.environ)
    for item in args.env:
        name, _, value = item.partition("=")
        env[name] = value
    proc = subprocess.Popen(args.command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        time.sleep(args.settle)
        if proc.poll() is not None:
            sys.exit(f"the program ended during the settling time (status {proc.returncode})")
        before = switches(proc.pid)
        start = time.monotonic()
        time.sleep(args.seconds)
        after = switches(proc.pid)
        elapsed = time.monotonic() - start
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()

    # Threads may share a name (a thread takes its creator's): each is shown on its own.
    per_thread = []
    for tid, (name, count) in after.items():
        started = before.get(tid, (name, 0))[1]
        per_thread.append((count - started, tid, name))
    total = sum(count for count, _, _ in per_thread)
    print(f"wake-ups per second: {total / elapsed:.1f} over {elapsed:.1f} s")
    for count, tid, name in sorted(per_thread, reverse=True):
        if count > 0:
            print(f"  thread {tid} ({name}): {count / elapsed:.1f}")


if __name__ == "__main__":
    main()
