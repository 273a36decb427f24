#!/usr/bin/env python3
"""Conversion time and peak memory of morvane-img against the size of the input image.

    scripts/plot-conversions.py [--img build/rel/tools/morvane-img] [--before OLD/morvane-img]
                                [--corpus ../shared/corpus] [--runs 9]
                                [--out docs/conversion-scaling.svg]

Inputs of several sizes for each of TRD, UDI and TD0 are made in a scratch folder: a TR-DOS
disk filled with the corpus' SCL and Hobeta files (`morvane-img new` and `add`), cut to
10..160 tracks for TRD, converted to UDI, and to TD0 at several fills (LZH and plain); the
corpus' own TD0 and UDI files join them. Every input is converted to UDI; whole-process CPU
and peak memory are measured as scripts/measure-process.py measures them (medians, the
inputs taking turns). Writes the plot as SVG (plain text, no plotting library) and prints
the figures. With --before, a second build converts the same inputs in the same rounds and
shows as hollow markers.
"""
import argparse
import glob
import runpy
import types
import os
import statistics
import subprocess
import sys
import tempfile

TRD_TRACK_BYTES = 16 * 256
SERIES = [("TRD", "#1f77b4", "circle"), ("UDI", "#d95f02", "square"), ("TD0", "#1b9e77", "triangle")]


def load_measure():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "measure-process.py")
    # Its file name has a dash, so it is run as a file, not imported by name.
    return types.SimpleNamespace(**runpy.run_path(path, run_name="measure_process"))


def img(tool, *args):
    return subprocess.run([tool, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          check=False).returncode


def make_inputs(tool, corpus, scratch):
    """(kind, path) of every input, made in scratch or taken from the corpus."""
    extras = sorted(glob.glob(os.path.join(corpus, "scl", "*")) +
                    glob.glob(os.path.join(corpus, "hobeta", "*")))
    # Fills for the TD0 inputs: the disk after 1, 2, 4, ... files.
    fills = []
    disk = os.path.join(scratch, "filled.trd")
    img(tool, "new", "trdos", "--force", disk)
    for count, extra in enumerate(extras, start=1):
        img(tool, "add", disk, extra)  # refused once the disk is full; the rest still try
        if count & (count - 1) == 0:
            copy = os.path.join(scratch, f"fill{count}.trd")
            with open(disk, "rb") as src, open(copy, "wb") as dst:
                dst.write(src.read())
            fills.append(copy)

    inputs = []
    with open(disk, "rb") as f:
        full = f.read()
    for tracks in (10, 40, 80, 120, 160):
        trd = os.path.join(scratch, f"t{tracks}.trd")
        with open(trd, "wb") as f:
            f.write(full[:tracks * TRD_TRACK_BYTES])
        inputs.append(("TRD", trd))
        udi = os.path.join(scratch, f"t{tracks}.udi")
        img(tool, "convert", trd, udi)
        inputs.append(("UDI", udi))
    for fill in fills + [disk]:
        stem = os.path.splitext(fill)[0]
        img(tool, "convert", "--compress", fill, stem + "-lzh.td0")
        img(tool, "convert", fill, stem + "-plain.td0")
        inputs += [("TD0", stem + "-lzh.td0"), ("TD0", stem + "-plain.td0")]
    inputs += [("TD0", p) for p in sorted(glob.glob(os.path.join(corpus, "td0", "*")))]
    inputs += [("UDI", p) for p in sorted(glob.glob(os.path.join(corpus, "udi", "*.udi")))]
    # Only what converts: a corpus image that cannot be written as UDI is left out.
    probe = os.path.join(scratch, "probe.udi")
    return [(kind, path) for kind, path in inputs
            if os.path.exists(path) and img(tool, "convert", path, probe) in (0, 3)]


def measure(tools, inputs, runs, scratch):
    """Rows (kind, path, KiB, CPU ms, wall ms, peak MiB, tool index), medians of runs."""
    run_once = load_measure().run_once
    report = os.path.join(scratch, "time-v.txt")
    target = os.path.join(scratch, "out.udi")
    samples = {(t, path): [] for t in range(len(tools)) for _, path in inputs}
    for _ in range(runs):
        for _, path in inputs:
            for t, tool in enumerate(tools):
                samples[(t, path)].append(run_once([tool, "convert", path, target], report))
    rows = []
    for t in range(len(tools)):
        for kind, path in inputs:
            runs_of = samples[(t, path)]
            cpu, wall, peak = (statistics.median(s[i] for s in runs_of) for i in range(3))
            rows.append((kind, path, os.path.getsize(path) / 1024, cpu, wall, peak, t))
    return rows


def nice_step(span):
    for step in (0.5, 1, 2, 5, 10, 20, 50, 100, 200, 250, 500, 1000):
        if span / step <= 6:
            return step
    return span / 5


def marker(shape, x, y, colour, hollow=False):
    paint = f'fill="white" stroke="{colour}" stroke-width="1.5"' if hollow else f'fill="{colour}"'
    if shape == "circle":
        return f'<circle cx="{x:.1f}" cy="{y:.1f}" r="4" {paint}/>'
    if shape == "square":
        return f'<rect x="{x - 3.5:.1f}" y="{y - 3.5:.1f}" width="7" height="7" {paint}/>'
    return (f'<polygon points="{x:.1f},{y - 4.5:.1f} {x - 4.5:.1f},{y + 3.5:.1f} '
            f'{x + 4.5:.1f},{y + 3.5:.1f}" {paint}/>')


def panel(rows, column, title, unit, left, top, width, height):
    """One scatter plot: input size (KiB) across, rows' column up."""
    xmax = max(r[2] for r in rows) * 1.05
    ymax = max(r[column] for r in rows) * 1.1
    xstep, ystep = nice_step(xmax), nice_step(ymax)
    out = [f'<text x="{left + width / 2}" y="{top - 12}" text-anchor="middle" '
           f'font-weight="bold">{title}</text>',
           f'<rect x="{left}" y="{top}" width="{width}" height="{height}" fill="none" '
           f'stroke="#333"/>']

    def sx(v):
        return left + v / xmax * width

    def sy(v):
        return top + height - v / ymax * height

    v = 0.0
    while v <= xmax:
        out.append(f'<line x1="{sx(v):.1f}" y1="{top}" x2="{sx(v):.1f}" y2="{top + height}" '
                   f'stroke="#ddd"/><text x="{sx(v):.1f}" y="{top + height + 16}" '
                   f'text-anchor="middle">{v:g}</text>')
        v += xstep
    v = 0.0
    while v <= ymax:
        out.append(f'<line x1="{left}" y1="{sy(v):.1f}" x2="{left + width}" y2="{sy(v):.1f}" '
                   f'stroke="#ddd"/><text x="{left - 6}" y="{sy(v) + 4:.1f}" '
                   f'text-anchor="end">{v:g}</text>')
        v += ystep
    out.append(f'<text x="{left + width / 2}" y="{top + height + 36}" text-anchor="middle">'
               f'input file size, KiB</text>')
    out.append(f'<text transform="translate({left - 44},{top + height / 2}) rotate(-90)" '
               f'text-anchor="middle">{unit}</text>')
    # The compared build first, so the measured one is drawn over it.
    for t in sorted({r[6] for r in rows}, reverse=True):
        for kind, colour, shape in SERIES:
            for r in rows:
                if r[0] == kind and r[6] == t:
                    out.append(marker(shape, sx(r[2]), sy(r[column]), colour, hollow=t > 0))
    return out


def svg(rows, title, labels):
    width, height = 980, 430
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
             f'font-family="sans-serif" font-size="12">',
             f'<rect width="{width}" height="{height}" fill="white"/>',
             f'<text x="{width / 2}" y="22" text-anchor="middle" font-size="14">{title}</text>']
    parts += panel(rows, 3, "CPU (user + system), ms", "ms", 70, 60, 380, 290)
    parts += panel(rows, 5, "Peak memory (max RSS), MiB", "MiB", 570, 60, 380, 290)
    x = 150
    for kind, colour, shape in SERIES:
        parts.append(marker(shape, x, 410, colour))
        parts.append(f'<text x="{x + 10}" y="414">{kind} input</text>')
        x += 110
    for t, label in enumerate(labels):
        parts.append(marker("circle", x, 410, "#555", hollow=t > 0))
        parts.append(f'<text x="{x + 10}" y="414">{label}</text>')
        x += 110
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--img", default="build/rel/tools/morvane-img")
    parser.add_argument("--before", help="an older build to compare, drawn hollow")
    parser.add_argument("--labels", default="after,before", help="names of the two builds")
    parser.add_argument("--corpus", default="../shared/corpus")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--out", default="docs/conversion-scaling.svg")
    parser.add_argument("--title", default="morvane-img convert INPUT OUT.udi, whole process, "
                        "medians")
    args = parser.parse_args()
    if not os.path.isdir(args.corpus):
        sys.exit(f"no corpus at {args.corpus}")
    tools = [os.path.abspath(args.img)] + ([os.path.abspath(args.before)] if args.before else [])
    labels = args.labels.split(",")[:len(tools)] if args.before else []
    with tempfile.TemporaryDirectory() as scratch:
        inputs = make_inputs(tools[0], args.corpus, scratch)
        rows = measure(tools, inputs, args.runs, scratch)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(svg(rows, f"{args.title} of {args.runs}", labels))
    names = labels or ["build"]
    print(f"{'build':<8}{'input':<6}{'file':<28}{'KiB':>8}{'CPU ms':>9}{'wall ms':>9}"
          f"{'peak MiB':>10}")
    for kind, path, size, cpu, wall, peak, t in sorted(rows, key=lambda r: (r[0], r[2], r[6])):
        print(f"{names[t]:<8}{kind:<6}{os.path.basename(path)[:27]:<28}{size:8.0f}{cpu:9.1f}"
              f"{wall:9.1f}{peak:10.1f}")
    print(f"wrote {args.out}")


if __name__ == "__main__":
    main()
