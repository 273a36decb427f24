#!/usr/bin/env python3
"""The recovery of weak sectors against the emulated drive's time, from bench_recovery.

    build/bench/bench/bench_recovery --benchmark_format=json > recovery.json
    scripts/plot-recovery.py recovery.json [--out docs/recovery.svg]

Two panels (P = 0.01 and P = 0.03): the share of the 40 weak sectors good after the first
read and a strategy, against the drive's time the strategy took; the re-read of failed
sectors ("reread", N tries) and the recovery passes ("recover", N passes). Writes the plot as
SVG (plain text, no plotting library) and prints the figures as a Markdown table.
"""
import argparse
import json
import math

SERIES = [("BM_Reread", "re-read N tries, keep a good one", "#d95f02"),
          ("BM_Recover", "recovery passes, copies voted", "#1b9e77")]
PANEL_W, PANEL_H, LEFT, TOP = 400, 280, 70, 60


def load(path):
    with open(path) as f:
        rows = json.load(f)["benchmarks"]
    out = {}
    for r in rows:
        family, p = r["name"].split("/")[0], round(r["P"], 2)
        out.setdefault((family, p), []).append(r)
    return out


def panel(svg, x0, title, series, xmax):
    svg.append(f'<text x="{x0 + PANEL_W / 2}" y="{TOP - 12}" text-anchor="middle" '
               f'font-weight="bold">{title}</text>')
    svg.append(f'<rect x="{x0}" y="{TOP}" width="{PANEL_W}" height="{PANEL_H}" fill="none" '
               'stroke="#333"/>')
    # Time on a log scale: the re-read's tries cost a seek home each.
    lo, hi = 1.0, 10 ** math.ceil(math.log10(xmax))
    sx = lambda v: x0 + PANEL_W * (math.log10(max(v, lo)) - math.log10(lo)) / (math.log10(hi) - math.log10(lo))
    sy = lambda f: TOP + PANEL_H * (1 - f)
    d = lo
    while d <= hi:
        svg.append(f'<line x1="{sx(d):.1f}" y1="{TOP}" x2="{sx(d):.1f}" y2="{TOP + PANEL_H}" stroke="#ddd"/>'
                   f'<text x="{sx(d):.1f}" y="{TOP + PANEL_H + 16}" text-anchor="middle">{d:g}</text>')
        d *= 10
    for f in (0, 0.25, 0.5, 0.75, 0.95, 1.0):
        svg.append(f'<line x1="{x0}" y1="{sy(f):.1f}" x2="{x0 + PANEL_W}" y2="{sy(f):.1f}" '
                   f'stroke="{"#f99" if f == 0.95 else "#ddd"}"/>'
                   f'<text x="{x0 - 6}" y="{sy(f) + 4:.1f}" text-anchor="end">{int(f * 100)} %</text>')
    svg.append(f'<text x="{x0 + PANEL_W / 2}" y="{TOP + PANEL_H + 36}" text-anchor="middle">'
               'drive time of the strategy, s (log)</text>')
    for rows, colour in series:
        pts = [(sx(r["device_s"]), sy(r["good"]), int(r["n"])) for r in rows]
        svg.append('<polyline fill="none" stroke="%s" stroke-width="2" points="%s"/>'
                   % (colour, " ".join(f"{x:.1f},{y:.1f}" for x, y, _ in pts)))
        for x, y, n in pts:
            svg.append(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="4" fill="{colour}"/>'
                       f'<text x="{x + 6:.1f}" y="{y - 6:.1f}" font-size="10">{n}</text>')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("json")
    parser.add_argument("--out", default="docs/recovery.svg")
    args = parser.parse_args()
    data = load(args.json)
    xmax = max(r["device_s"] for rows in data.values() for r in rows)
    width = 2 * (PANEL_W + LEFT) + 40
    svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{TOP + PANEL_H + 100}" '
           'font-family="sans-serif" font-size="12">',
           f'<rect width="{width}" height="{TOP + PANEL_H + 100}" fill="white"/>',
           f'<text x="{width / 2}" y="22" text-anchor="middle" font-size="14">40 weak sectors of a '
           'TR-DOS disk, good after the first read and the strategy (5 seeds)</text>']
    for i, p in enumerate((0.01, 0.03)):
        series = [(data.get((family, p), []), colour) for family, _, colour in SERIES]
        panel(svg, LEFT + i * (PANEL_W + LEFT + 20), f"P = {p}", series, xmax)
    ly = TOP + PANEL_H + 62
    for k, (_, label, colour) in enumerate(SERIES):
        lx = LEFT + k * 320
        svg.append(f'<rect x="{lx}" y="{ly - 9}" width="14" height="10" fill="{colour}"/>'
                   f'<text x="{lx + 20}" y="{ly}">{label} (N beside each point)</text>')
    svg.append("</svg>")
    with open(args.out, "w") as f:
        f.write("\n".join(svg) + "\n")
    print("| P | strategy | N | reads | drive time, s | good after first read | good after |")
    print("|---|---|---|---|---|---|---|")
    for family, label, _ in SERIES:
        for p in (0.01, 0.03):
            for r in data.get((family, p), []):
                print(f"| {p} | {label} | {int(r['n'])} | {r['reads']:.0f} | {r['device_s']:.1f} | "
                      f"{r['good_after_first_read'] * 100:.0f} % | {r['good'] * 100:.1f} % |")


if __name__ == "__main__":
    main()
