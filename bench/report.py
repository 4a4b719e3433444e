#!/usr/bin/env python3
"""Turns the benchmarks' JSON into the table of figures and goals.

usage: report.py CORE_JSON MEMORY_JSON_1000 MEMORY_JSON_5000 [PAINT_JSON]

Medians of the repetitions (real time). Every row with a goal counts towards the last line,
"N of M goals met"; rows without a goal are there to read the others by.

The passes over the boards are timed back to back and from memory (see core_bench.cpp). Their
time goals hold for both. Their growth is judged from memory, where both sizes start from the
same place: back to back, the smaller day runs from the last-level cache and the larger one
from memory, so that ratio measures the cache's size as much as the passes' growth; it is
shown without a goal.
"""
import json
import statistics
import sys

GROWTH_LIMIT = 5.5


def medians(path):
    """{(name, size): median real time in ms} of a Google Benchmark JSON file: its median
    aggregates, or with a single repetition the median of its runs."""
    with open(path) as f:
        data = json.load(f)
    aggregated, runs = {}, {}
    for b in data["benchmarks"]:
        name, size = b["run_name"].split("/")[:2]
        key = (name, int(size))
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        value = b["real_time"] * scale
        if b.get("aggregate_name") == "median":
            aggregated[key] = value
        elif b.get("run_type", "iteration") == "iteration":
            runs.setdefault(key, []).append(value)
    for key, values in runs.items():
        aggregated.setdefault(key, statistics.median(values))
    return aggregated


def main():
    core = medians(sys.argv[1])
    memory = {}
    for path in sys.argv[2:4]:
        with open(path) as f:
            m = json.loads(f.read().strip().splitlines()[-1])
        memory[m["matches"]] = m
    paint = medians(sys.argv[4]) if len(sys.argv) > 4 else {}

    rows = []  # (figure, size, shown, goal text, met or None)

    def row(figure, size, shown, goal=None, met=None):
        rows.append((figure, str(size), shown, goal or "-", met))

    small, large = 1000, 5000

    def ms(value):
        return f"{value:.2f} ms"

    # Reading against the raw pass.
    ratios = {}
    for size in (small, large):
        read, raw = core[("read_today", size)], core[("memchr_today", size)]
        ratios[size] = read / raw
        row("read today reply / memchr pass", size,
            f"{read / raw:.2f} x ({ms(read)} / {ms(raw)})", "<= 4 x", read / raw <= 4.0)
    for size in (small, large):
        row("  decode Windows-1251 -> UTF-8 (in ServiceGet)", size, ms(core[("decode_today", size)]))

    timed = [
        ("LoadTodayBoard", "load_today", 60.0),
        ("RefreshMoney, all newer", "money_all_newer", 60.0),
        ("RefreshMoney, none newer", "money_none_newer", 20.0),
        ("RefreshLive, 10% of matches live", "live_refresh", 5.0),
        ("ApplyBoardFilter, every row passes", "board_filter", 30.0),
        ("ApplyBoardFilter, every card rewritten", "board_filter_changed", 30.0),
    ]
    ways = [("back to back", ""), ("from memory", "cold_")]
    for label, key, goal in timed:
        for way, prefix in ways:
            row(f"{label}, {way}", small, ms(core[(prefix + key, small)]))
            value = core[(prefix + key, large)]
            row(f"{label}, {way}", large, ms(value), f"<= {goal:g} ms", value <= goal)
    for size in (small, large):
        if ("board_filter_refreshed", size) in core:
            row("  ApplyBoardFilter after a money refresh (cards copied)", size,
                ms(core[("board_filter_refreshed", size)]))

    if paint:
        for size in (small, large):
            if ("paint_viewport", size) in paint:
                value = paint[("paint_viewport", size)]
                goal = "<= 4 ms" if size == large else None
                row("paint one viewport of cards", size, ms(value), goal,
                    value <= 4.0 if size == large else None)

    if paint:
        for size in (small, large):
            if ("filter_window", size) in paint:
                row("  ApplyBoardFilter in the window (model, card view)", size,
                    ms(paint[("filter_window", size)]))

    for size in (small, large):
        m = memory[size]
        peak = m["peak_kb"] / 1024
        shown = f"{peak:.1f} MB (replies held: {m['before_kb'] / 1024:.1f} MB)"
        if size == large:
            row("peak resident memory, RX + RX2 + live", size, shown, "<= 150 MB", peak <= 150)
        else:
            row("peak resident memory, RX + RX2 + live", size, shown)

    # Growth from 1000 to 5000 matches.
    growth = [("read today reply", core[("read_today", large)] / core[("read_today", small)])]
    for label, key, _ in timed:
        growth.append((f"{label}, from memory",
                       core[("cold_" + key, large)] / core[("cold_" + key, small)]))
    if ("paint_viewport", small) in paint and ("paint_viewport", large) in paint:
        growth.append(("paint one viewport",
                       paint[("paint_viewport", large)] / paint[("paint_viewport", small)]))
    growth.append(("peak resident memory", memory[large]["peak_kb"] / memory[small]["peak_kb"]))
    for label, ratio in growth:
        row(f"growth: {label}", "5000/1000", f"{ratio:.2f} x", f"<= {GROWTH_LIMIT:g} x",
            ratio <= GROWTH_LIMIT)
    for label, key, _ in timed:
        row(f"  growth: {label}, back to back", "5000/1000",
            f"{core[(key, large)] / core[(key, small)]:.2f} x")

    headers = ("figure", "size", "median", "goal", "met")
    table = [(f, s, v, g, "-" if m is None else ("yes" if m else "no")) for f, s, v, g, m in rows]
    widths = [max(len(h), *(len(r[i]) for r in table)) for i, h in enumerate(headers)]

    def line(cells):
        return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"

    print(line(headers))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in table:
        print(line(r))
    goals = [m for *_, m in rows if m is not None]
    print()
    print(f"{sum(goals)} of {len(goals)} goals met")


if __name__ == "__main__":
    main()
