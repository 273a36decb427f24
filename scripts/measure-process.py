#!/usr/bin/env python3
"""Whole-process CPU, wall time and peak memory of commands, medians over several runs.

    scripts/measure-process.py [--runs N] 'label=command ...' ['label=command ...' ...]

The commands run in turn, one run of each per round, so that a busy machine slows them
alike. Each run goes through /usr/bin/time -v, whose "Maximum resident set size" is the
peak memory. CPU (user + system) comes from the kernel's accounting of that same run
(wait4 on /usr/bin/time, which holds its child's times once it has reaped it): the numbers
time -v prints, with microsecond resolution instead of its 10 ms, plus the well under a
millisecond that /usr/bin/time itself takes.
"""
import argparse
import os
import shlex
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(argv, report):
    start = time.perf_counter()
    proc = subprocess.Popen(["/usr/bin/time", "-v", "-o", report, *argv],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 3):
        sys.exit(f"failed ({code}): {shlex.join(argv)}")
    peak = float("nan")
    with open(report, encoding="utf-8") as f:
        for line in f:
            if "Maximum resident set size" in line:
                peak = int(line.split(":")[1]) / 1024
    return (usage.ru_utime + usage.ru_stime) * 1000, wall * 1000, peak


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("commands", nargs="+", help="label=command line")
    args = parser.parse_args()
    commands = []
    for entry in args.commands:
        label, _, line = entry.partition("=")
        commands.append((label, shlex.split(line)))
    samples = {label: [] for label, _ in commands}
    with tempfile.TemporaryDirectory() as scratch:
        report = os.path.join(scratch, "time-v.txt")
        for _ in range(args.runs):
            for label, argv in commands:
                samples[label].append(run_once(argv, report))
    print(f"{'command':<24}{'CPU ms':>9}{'wall ms':>9}{'peak MiB':>10}   (medians of {args.runs})")
    for label, _ in commands:
        cpu, wall, peak = (statistics.median(s[i] for s in samples[label]) for i in range(3))
        print(f"{label:<24}{cpu:9.1f}{wall:9.1f}{peak:10.1f}")


if __name__ == "__main__":
    main()
