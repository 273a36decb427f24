#!/usr/bin/env python3
"""Builds the libFuzzer harnesses with clang, seeds them from the real images in the shared
corpus and runs them for a given time, then writes a table of what each run did.

    scripts/fuzz.py                          # every harness, 60 s each, one at a time
    scripts/fuzz.py -t 3600 -j 2 trd udi     # two harnesses, one hour, side by side
    scripts/fuzz.py --cpu -t 3600 -j 2       # every harness, one hour of its own CPU time
    scripts/fuzz.py --list                   # the harnesses and their input limits

Everything lives under build/fuzz: the build, seeds/<name> (made afresh each run from the
corpus: small cuts and shrunk copies of real images, never kept in the repository),
corpus/<name> (what the fuzzer found interesting, kept between runs), findings/<name>
(crash-, leak-, timeout- and oom- inputs), logs/<name>.log and report.md.
"""

import argparse
import concurrent.futures
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent

# name -> (target, -max_len, seed recipes). A recipe is (kind, formats, *arguments):
#   head    the corpus files of these formats, cut to max_len
#   shrink  fuzz_make_seed shrink: the first N tracks, saved as ext (lzh: compressed)
#   body    compressed TD0 files without their 12-byte header (what the LZH decoder sees)
#   cpm     a CP/M directory made by fuzz_make_seed
#   rx      controller byte streams written here
HARNESSES = {
    "trd": ("fuzz_trd", 16384, [("head", ["trd"])]),
    "udi": ("fuzz_udi", 8192, [("shrink", ["trd", "udi", "fdi", "td0"], "udi", 1, False)]),
    "fdi": ("fuzz_fdi", 32768, [("shrink", ["trd", "udi", "fdi", "td0"], "fdi", 2, False)]),
    "td0": ("fuzz_td0", 8192, [("shrink", ["trd", "udi", "fdi", "td0"], "td0", 1, False),
                                ("shrink", ["trd", "fdi", "td0"], "td0", 2, True),
                                ("head", ["td0"])]),
    "lzh": ("fuzz_lzh", 2048, [("body", ["td0"])]),
    "native": ("fuzz_native", 16384, [("shrink", ["trd", "udi", "fdi"], "udf", 1, False)]),
    "scl_hobeta": ("fuzz_scl_hobeta", 32768, [("head", ["scl", "hobeta"])]),
    "trdos": ("fuzz_trdos", 16384, [("head", ["trd"])]),
    "cpm": ("fuzz_cpm", 4096, [("cpm", [])]),
    "rx_decoder": ("fuzz_rx_decoder", 4096, [("rx", [])]),
}

FINDING_PREFIXES = ("crash-", "leak-", "timeout-", "oom-")


def log(message):
    print(message, file=sys.stderr, flush=True)


def build(out, targets):
    env = dict(os.environ)
    env.setdefault("CCACHE_BASEDIR", str(REPO.parent))
    # Neither ninja nor ccache looks into a file a flag names: a copy named after its
    # contents changes the flags, and so rebuilds everything, when the list changes.
    ignore = (REPO / "fuzz" / "coverage-ignore.txt").read_bytes()
    out.mkdir(parents=True, exist_ok=True)
    ignore_copy = out / f"coverage-ignore-{hashlib.sha1(ignore).hexdigest()[:12]}.txt"
    ignore_copy.write_bytes(ignore)
    configure = [
        "cmake", "-S", str(REPO), "-B", str(out), "-G", "Ninja",
        # Optimised, but with assertions; the checksum loops are left out of the coverage
        # instrumentation, where their compare hooks took most of the time.
        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g",
        f"-DCMAKE_CXX_FLAGS=-fsanitize-coverage-ignorelist={ignore_copy}",
        "-DCMAKE_CXX_COMPILER=clang++", "-DMORVANE_FUZZ=ON", "-DMORVANE_BUILD_TESTS=OFF",
        "-DMORVANE_BUILD_BENCH=OFF", "-DMORVANE_BUILD_GUI=OFF",
    ]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    subprocess.run(configure, check=True, env=env, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(out), "-j", str(os.cpu_count() or 2), "--target",
                    *targets], check=True, env=env)


def corpus_files(corpus, formats):
    """Corpus files of the given formats, as MANIFEST.tsv lists them."""
    manifest = corpus / "MANIFEST.tsv"
    if not manifest.exists():
        return []
    files = []
    for line in manifest.read_text(encoding="utf-8").splitlines()[1:]:
        fields = line.split("\t")
        if len(fields) > 1 and fields[1] in formats and (corpus / fields[0]).is_file():
            files.append(corpus / fields[0])
    return files


def rx_streams():
    """Controller answers, error answers, nibble pairs, cut frames and noise."""
    def nibbles(data):
        return bytes(b for v in data for b in (0x20 | v >> 4, 0x30 | v & 15))

    sector = bytes(range(256))
    return [
        b"\x0a" + nibbles(b"\x01\x02\x03") + b"\xaa",
        b"\x0a" + nibbles(sector) + b"\xaa",
        b"\x0a" + bytes(range(0xB0, 0x100)) + b"\xaa",
        b"\x0a" + nibbles(sector[:16]) + b"\x0b" + nibbles(b"\x10\x05") + b"\xaa",
        b"\x0b" + nibbles(b"\x80\x01") + b"\xaa\x0a" + nibbles(b"\x00") + b"\xaa",
        b"\x0a" + nibbles(sector[:8]) + b"\x0a" + nibbles(b"\x42") + b"\xaa",
        b"\x00\x55\x0a\x21\x22\x33\x01\xc0\xaa\xff\x0b\x0b\x2f\x3f\xaa",
    ]


def make_seeds(out, corpus, name, max_len):
    target_dir = out / "seeds" / name
    shutil.rmtree(target_dir, ignore_errors=True)
    target_dir.mkdir(parents=True)
    work = out / "seeds" / (name + ".work")
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    tool = out / "fuzz" / "fuzz_make_seed"
    seeds = []
    for kind, formats, *extra in HARNESSES[name][2]:
        if kind == "head":
            seeds += [f.read_bytes()[:max_len] for f in corpus_files(corpus, formats)]
        elif kind == "body":
            for f in corpus_files(corpus, formats):
                data = f.read_bytes()
                if data[:2] == b"td":
                    seeds.append(data[12:12 + max_len])
        elif kind == "shrink":
            ext, tracks, lzh = extra
            for i, f in enumerate(corpus_files(corpus, formats)):
                made = work / f"{i}.{ext}"
                command = [str(tool), "shrink", str(f), str(made), str(tracks)]
                if lzh:
                    command.append("lzh")
                if subprocess.run(command, stderr=subprocess.DEVNULL).returncode == 0:
                    seeds.append(made.read_bytes()[:max_len])
        elif kind == "cpm":
            made = work / "cpm.dir"
            if subprocess.run([str(tool), "cpm", str(made)]).returncode == 0:
                seeds.append(made.read_bytes())
        elif kind == "rx":
            # Two leading bytes choose how the harness cuts the stream.
            seeds += [bytes([i, 7 * i]) + s for i, s in enumerate(rx_streams())]
    shutil.rmtree(work, ignore_errors=True)
    for seed in seeds:
        (target_dir / hashlib.sha1(seed).hexdigest()).write_bytes(seed)
    return len(list(target_dir.iterdir()))


def cpu_seconds(pid):
    """User and system time of a running process, from /proc (None once it has ended)."""
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except (OSError, IndexError):
        return None
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def run(out, corpus, name, seconds, nice, by_cpu):
    target, max_len, _ = HARNESSES[name]
    seed_count = make_seeds(out, corpus, name, max_len)
    live = out / "corpus" / name
    findings = out / "findings" / name
    for d in (live, findings, out / "logs"):
        d.mkdir(parents=True, exist_ok=True)
    log_path = out / "logs" / f"{name}.log"
    # By CPU time the harness runs until it has had that much processor time of its own,
    # however long other work on the machine makes that take; libFuzzer prints its final
    # statistics when interrupted.
    limit = [] if by_cpu else [f"-max_total_time={seconds}"]
    command = ["nice", "-n", str(nice), str(out / "fuzz" / target), str(live),
               str(out / "seeds" / name), f"-max_len={max_len}", *limit,
               "-print_final_stats=1", "-timeout=10", "-rss_limit_mb=2048",
               f"-artifact_prefix={findings}/"]
    log(f"{name}: {seed_count} seeds, {seconds} s{' of CPU' if by_cpu else ''}")
    started = time.monotonic()
    with open(log_path, "w") as log_file:
        process = subprocess.Popen(command, stdout=log_file, stderr=subprocess.STDOUT)
        # The run's own CPU time (nice execs the harness), for a rate that other work on
        # the machine does not lower.
        while True:
            pid, status, usage = os.wait4(process.pid, os.WNOHANG if by_cpu else 0)
            if pid:
                break
            used = cpu_seconds(process.pid) or 0.0
            if used >= seconds:
                process.send_signal(signal.SIGINT)
                by_cpu = False
            else:
                time.sleep(min(5.0, max(0.2, seconds - used)))
        process.returncode = os.waitstatus_to_exitcode(status)
    elapsed = time.monotonic() - started
    return parse(name, log_path, live, findings, elapsed, usage.ru_utime + usage.ru_stime)


def parse(name, log_path, live, findings, elapsed, cpu):
    text = log_path.read_text(errors="replace")
    stats = dict(re.findall(r"^stat::(\w+):\s+(\d+)", text, re.M))
    cov = ft = "-"
    for match in re.finditer(r"cov: (\d+) ft: (\d+)", text):
        cov, ft = match.groups()
    executions = int(stats.get("number_of_executed_units", 0))
    found = sorted(p.name for p in findings.iterdir() if p.name.startswith(FINDING_PREFIXES))
    return {
        "harness": name,
        "seconds": round(elapsed),
        "executions": executions,
        "rate": round(executions / elapsed) if elapsed > 0 else 0,
        "cpu": round(cpu, 1),
        "cpu_rate": round(executions / cpu) if cpu > 0 else 0,
        "cov": cov,
        "ft": ft,
        "corpus": len(list(live.iterdir())),
        "findings": len(found),
        "files": found,
    }


def table(rows):
    lines = ["| harness | seconds | executions | exec/s | CPU s | exec/CPU s | cov | ft | corpus "
             "| findings |",
             "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for r in rows:
        lines.append(f"| {r['harness']} | {r['seconds']} | {r['executions']} | {r['rate']} "
                     f"| {r['cpu']} | {r['cpu_rate']} | {r['cov']} | {r['ft']} | {r['corpus']} "
                     f"| {r['findings']} |")
    for r in rows:
        for f in r["files"]:
            lines.append(f"\n{r['harness']}: findings/{r['harness']}/{f}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("harnesses", nargs="*", help="names to run (default: all)")
    parser.add_argument("-t", "--seconds", type=int, default=60, help="time per harness")
    parser.add_argument("--cpu", action="store_true",
                        help="count the time as the harness's own CPU time, not wall time")
    parser.add_argument("-j", "--jobs", type=int, default=1, help="harnesses run at once")
    parser.add_argument("--nice", type=int, default=10, help="nice level of the runs")
    parser.add_argument("--build-dir", type=Path, default=REPO / "build" / "fuzz")
    parser.add_argument("--corpus", type=Path, default=REPO.parent / "shared" / "corpus")
    parser.add_argument("--no-build", action="store_true", help="use the harnesses as built")
    parser.add_argument("--list", action="store_true", help="list the harnesses and stop")
    args = parser.parse_args()

    if args.list:
        for name, (target, max_len, _) in HARNESSES.items():
            print(f"{name}\t{target}\tmax_len {max_len}")
        return 0
    names = args.harnesses or list(HARNESSES)
    unknown = [n for n in names if n not in HARNESSES]
    if unknown:
        parser.error(f"unknown harness {', '.join(unknown)} (see --list)")
    if not args.corpus.is_dir():
        log(f"no corpus at {args.corpus}: only the made-up seeds are used")
    out = args.build_dir.resolve()
    if not args.no_build:
        build(out, [HARNESSES[n][0] for n in names] + ["fuzz_make_seed"])

    # The report is rewritten as each run ends, so a long session can be read as it goes.
    rows = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        runs = [pool.submit(run, out, args.corpus, n, args.seconds, args.nice, args.cpu)
                for n in names]
        for done in concurrent.futures.as_completed(runs):
            rows.append(done.result())
            rows.sort(key=lambda r: names.index(r["harness"]))
            (out / "report.md").write_text(table(rows))
    print(table(rows), end="")
    return 1 if any(r["findings"] for r in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
