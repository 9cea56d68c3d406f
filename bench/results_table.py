#!/usr/bin/env python3
"""Tables the figures of one scripts/bench run in Markdown.

    results_table.py RESULTS_DIRECTORY

RESULTS_DIRECTORY holds one Google Benchmark JSON file per benchmark program
(<program>.json), wine.json from program_timing.exe and x11.json from
desktop_timing. Each figure shows
its measured value, the target where it has one, the ratio the target is
about, and whether it was met; a figure that was not measured says so.
Every benchmark entry follows in a second table.
"""

import json
import statistics
import sys
from pathlib import Path

from drag_figures import drag_summary

TIME_UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
# Parts of a benchmark's name that say how it was run, not what it measures.
RUN_SETTINGS = ("min_time:", "iterations:", "repeats:")


def load_benchmarks(directory):
    """Entries by their name without run settings; aggregates as name@kind."""
    entries = {}
    contexts = {}
    for path in sorted(directory.glob("*_benchmark.json")):
        try:
            document = json.loads(path.read_text())
        except (OSError, ValueError) as error:
            print(f"results_table: cannot read {path}: {error}", file=sys.stderr)
            continue
        contexts[path.stem] = document.get("context", {})
        for entry in document.get("benchmarks", []):
            name = "/".join(part for part in entry["run_name"].split("/") if not part.startswith(RUN_SETTINGS))
            if entry.get("run_type") == "aggregate":
                name += "@" + entry.get("aggregate_name", "")
            entry["program"] = path.stem
            entries[name] = entry
    return entries, contexts


def load_wine(directory):
    path = directory / "wine.json"
    try:
        return json.loads(path.read_text())
    except (OSError, ValueError):
        return None


def seconds(entry, field="cpu_time"):
    """CPU time by default: the machine is shared, and the benchmarks run on
    one thread, so their CPU time is what other load does not inflate. Rates
    and per-item counters are CPU-based too."""
    return entry[field] * TIME_UNITS[entry["time_unit"]]


def measured(entries, name):
    """The entry when it was measured without error, else None."""
    entry = entries.get(name)
    if entry is None or entry.get("error_occurred"):
        return None
    return entry


def format_time(value_seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if value_seconds >= scale:
            return f"{value_seconds / scale:.3g} {unit}"
    return f"{value_seconds / 1e-9:.3g} ns"


def format_rate(pixels_per_second):
    return f"{pixels_per_second / 1e6:.0f} Mpixel/s"


class Table:
    def __init__(self):
        self.rows = []

    def figure(self, name, value="not measured", target="", ratio="", result=""):
        self.rows.append((name, value, target, ratio, result))

    def check(self, name, value, target, ratio, bound, met):
        """A figure with a target: `ratio` against `bound` decides."""
        self.figure(name, value, target, f"{ratio:.2f} ({bound})", "met" if met else "**missed**")

    def markdown(self):
        lines = ["| Figure | Measured | Target | Ratio | Result |", "|---|---|---|---|---|"]
        lines += ["| " + " | ".join(row) + " |" for row in self.rows]
        return "\n".join(lines)


def start_up_rows(table, entries):
    for count in (1, 10, 100):
        start_up = measured(entries, f"startUpToExit/{count}")
        decode = measured(entries, f"bareDecode/{count}")
        name = f"Start-up through WinMain to Exit, {count} picture{'s' if count > 1 else ''}"
        if start_up is None or decode is None:
            table.figure(name, target="≤ 1.25 × bare decode")
            continue
        ratio = seconds(start_up) / seconds(decode)
        table.check(name, format_time(seconds(start_up)), f"≤ 1.25 × bare decode ({format_time(seconds(decode))})",
                    ratio, "≤ 1.25", ratio <= 1.25)
        # The bare decode frees each picture before the next and so reuses
        # its memory; a program showing them keeps every one, in fresh pages.
        kept = measured(entries, f"bareDecodeKept/{count}")
        if kept is not None:
            table.figure(f"{name}, beside the bare decode keeping every picture", format_time(seconds(start_up)),
                         f"(bare decode keeping them: {format_time(seconds(kept))})",
                         f"{seconds(start_up) / seconds(kept):.2f}")
    for label, benchmark in (("Layer decode", "layerDecode/100"), ("Layer render", "layerRender/100")):
        entry = measured(entries, benchmark)
        if entry is None:
            table.figure(f"{label}, per picture (of 100)")
        else:
            table.figure(f"{label}, per picture (of 100)", format_time(seconds(entry) / 100))


def render_rows(table, entries):
    for argument, label in ((0, "downscale 1024² → 256²"), (1, "upscale 256² → 1024²")):
        layer = measured(entries, f"layerDrawImage/upscale:{argument}")
        pixman = measured(entries, f"pixmanBilinearOver/upscale:{argument}")
        name = f"Render, {label}"
        if layer is None or pixman is None:
            table.figure(name, target="≥ 0.8 × pixman")
            continue
        ratio = layer["items_per_second"] / pixman["items_per_second"]
        table.check(name, format_rate(layer["items_per_second"]),
                    f"≥ 0.8 × pixman ({format_rate(pixman['items_per_second'])})", ratio, "≥ 0.80", ratio >= 0.8)


def memory_rows(table, entries):
    entry = measured(entries, "residentSizeWithPictures/100")
    name = "Resident size with 100 pictures"
    target = "≤ 1.2 × (decoded + layers) + 8 MiB"
    if entry is None:
        table.figure(name, target=target)
        return
    ratio = entry["rss_over_allowed"]
    table.check(name, f"{entry['rss_running_MiB']:.1f} MiB", f"{target} = {entry['allowed_MiB']:.1f} MiB", ratio,
                "≤ 1.00", ratio <= 1.0)


def action_rows(table, entries):
    for count in (10, 100):
        entry = measured(entries, f"reloadWithPictures/{count}")
        name = f"Reload, {count} pictures"
        if entry is None:
            table.figure(name)
        else:
            table.figure(name, f"{format_time(seconds(entry))} ({format_time(seconds(entry) / count)} a picture)")
    entry = measured(entries, "dragPicture@median")
    name = "Drag step, 10,000 moves, median of 3 drags"
    table.figure(name, "not measured" if entry is None else f"{format_time(seconds(entry))} a move")


def lookup_rows(table, entries):
    counts = sorted(int(name.split("/")[1]) for name in entries if name.startswith("findEveryPicture/"))
    for count in counts:
        entry = measured(entries, f"findEveryPicture/{count}")
        name = f"findElement for every picture, {count:,} image elements"
        if entry is None:
            table.figure(name)
        else:
            table.figure(name, f"{format_time(seconds(entry))} ({format_time(entry['per_lookup'])} a lookup)")
    fit = measured(entries, "findEveryPicture@BigO")
    rms = measured(entries, "findEveryPicture@RMS")
    if fit is not None:
        coefficient = fit["cpu_coefficient"] * TIME_UNITS[fit["time_unit"]]
        spread = f", RMS {rms['rms'] * 100:.0f} %" if rms is not None else ""
        table.figure("findElement pass, fitted curve", f"{format_time(coefficient)} × {fit['big_o']}{spread}")


def settings_rows(table, entries):
    """The settings load against the bare parse under it, and the checker
    against the program's load, each on one file of 1,000 pictures and a
    launcher of 1,000 entries."""
    for name, ours, theirs, what in (
            ("Settings load, 1,000 pictures + 1,000 entries (XML manager's tree)", "loadAndUnload/1000",
             "bareParse/1000", "Xerces-C's bare parse"),
            ("tessaline-check, 1,000 pictures + 1,000 entries", "checkLargeSettings", "programLoadOfLargeSettings",
             "the program's load")):
        mine, base = measured(entries, ours), measured(entries, theirs)
        if mine is None or base is None:
            table.figure(name, target=f"≤ 2 × {what}")
            continue
        ratio = seconds(mine) / seconds(base)
        table.check(name, format_time(seconds(mine)), f"≤ 2 × {what} ({format_time(seconds(base))})", ratio,
                    "≤ 2.00", ratio <= 2.0)


def entity_rows(table, entries):
    """Peak resident size of a load of hostile settings files, each in a
    child process, above that of an empty file."""
    entry = measured(entries, "entityPeakResidentSize")
    laughs_name = "Billion laughs: peak resident size above an empty file's"
    quadratic_name = "Quadratic blow-up (1,000 characters × 100,000): peak resident size above an empty file's"
    if entry is None:
        table.figure(laughs_name, target="≤ 2 MiB")
        table.figure(quadratic_name)
        return
    laughs = entry["billion_laughs_above_empty_KiB"] / 1024
    table.check(laughs_name, f"{laughs:.2f} MiB (empty file: {entry['empty_KiB'] / 1024:.1f} MiB)", "≤ 2 MiB",
                laughs / 2, "≤ 1.00", laughs <= 2)
    table.figure(quadratic_name, f"{entry['quadratic_above_empty_KiB'] / 1024:.2f} MiB")


def wine_rows(table, wine):
    if wine is None:
        for name in ("Wine: start-up until the pictures are shown", "Wine: Reload", "Wine: CPU over idle"):
            table.figure(name)
        return
    pictures = wine["pictures"]
    runs = ", ".join(f"{value:.0f}" for value in wine["start_up_ms"])
    table.figure(f"Wine: start-up until {pictures} pictures are shown, median",
                 f"{statistics.median(wine['start_up_ms']):.0f} ms (runs: {runs} ms)")
    if wine["reload_ms"]:
        reloads = ", ".join(f"{value:.0f}" for value in wine["reload_ms"])
        table.figure(f"Wine: Reload of {pictures} pictures, median",
                     f"{statistics.median(wine['reload_ms']):.0f} ms (runs: {reloads} ms)")
    # Wine reads another process's times from /proc in clock ticks of 10 ms,
    # so the idling runs longer than 10 s and is scaled down to it.
    seconds_idle = wine["idle_seconds"]
    idle = wine["idle_cpu_ms"] * 10.0 / seconds_idle if seconds_idle else float("nan")
    table.check("Wine: program CPU time per 10 s idle",
                f"{idle:.1f} ms ({wine['idle_cpu_ms']:.0f} ms over {seconds_idle} s, in 10 ms steps)", "< 10 ms",
                idle / 10.0, "< 1.00", idle < 10.0)


def load_x11(directory):
    try:
        return json.loads((directory / "x11.json").read_text())
    except (OSError, ValueError):
        return None


class FloorTable:
    """The X11 figures: the floor's, the program's, their ratio and the target."""

    def __init__(self):
        self.rows = []

    def row(self, name, floor="not measured", program="not measured", ratio="", target="", result=""):
        self.rows.append((name, floor, program, ratio, target, result))

    def check(self, name, floor, program, ratio, target, met):
        self.row(name, floor, program, ratio, target, "met" if met else "**missed**")

    def markdown(self):
        lines = ["| Figure | Floor | Program | Ratio | Target | Result |", "|---|---|---|---|---|---|"]
        lines += ["| " + " | ".join(row) + " |" for row in self.rows]
        return "\n".join(lines)


X11_NAMES = ("start-up until 100 pictures are shown", "start-up until 100 pictures are mapped",
             "start-up CPU time", "Reload of 100 pictures until shown", "Reload CPU time",
             "resident size with 100 pictures", "drag: CPU time per motion event",
             "drag: pointer event → window at its new place, 99th percentile at 1 kHz",
             "drag: repaints while moving", "synchronous round trips to the X server per picture (a Reload)",
             "CPU time over idling")


def runs(values):
    return ", ".join(f"{value:.0f}" for value in values)


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def ratio_rows(table, floor, program):
    """Medians of each presenter's runs; the runs took turns on one desktop."""
    for name, key, bound in ((X11_NAMES[0], "start_up_ms", 1.10), (X11_NAMES[1], "start_up_mapped_ms", 1.20),
                             (X11_NAMES[2], "start_up_cpu_ms", 1.15), (X11_NAMES[3], "reload_ms", 1.10),
                             (X11_NAMES[4], "reload_cpu_ms", 1.15)):
        mine, base = statistics.median(program[key]), statistics.median(floor[key])
        ratio = mine / base
        table.check(f"{name}, median of {len(program[key])}", f"{base:.0f} ms (runs: {runs(floor[key])})",
                    f"{mine:.0f} ms (runs: {runs(program[key])})", f"{ratio:.2f}", f"≤ {bound:.2f} × floor",
                    ratio <= bound)
    mine, base = program["reload_mapped_ms"], floor["reload_mapped_ms"]
    table.row("Reload until mapped, median", f"{statistics.median(base):.0f} ms", f"{statistics.median(mine):.0f} ms",
              f"{statistics.median(mine) / statistics.median(base):.2f}")


def size_text(figures):
    return (f"{figures['rss_kib'] / 1024:.1f} MiB (anonymous {figures['rss_anon_kib'] / 1024:.1f}, "
            f"files {figures['rss_file_kib'] / 1024:.1f}; after the Reloads {figures['rss_after_reloads_kib'] / 1024:.1f})")


def drag_rows(table, floor, program):
    drags = drag_summary(floor), drag_summary(program)
    if None in drags:
        table.row(X11_NAMES[6], target="≤ 1.50 × floor")
        table.row(X11_NAMES[7], target="≤ 16.7 ms")
    else:
        base, mine = (drag["cpu_us_per_motion"] for drag in drags)
        table.check(f"{X11_NAMES[6]}, median of {drags[1]['drags']} drags", f"{base:.1f} µs",
                    f"{mine:.1f} µs ({drags[1]['handled']} moves handled of {drags[1]['moves']})",
                    f"{mine / base:.2f}", "≤ 1.50 × floor", mine <= 1.5 * base)
        base, mine = (percentile(drag["latencies_ms"], 0.99) for drag in drags)
        medians = [percentile(drag["latencies_ms"], 0.5) for drag in drags]
        table.check(X11_NAMES[7], f"{base:.2f} ms (median {medians[0]:.2f})",
                    f"{mine:.2f} ms (median {medians[1]:.2f})", f"{mine / base:.2f}", "≤ 16.7 ms", mine <= 16.7)
    if "counts_drag" not in program or "counts_drag" not in floor:
        table.row(X11_NAMES[8], target="0")
        return
    # The program puts its pictures with XPutImage; GTK's own windows paint
    # through cairo: either is a repaint.
    base = floor["counts_drag"]["image_puts"]
    mine = program["counts_drag"]["image_puts"] + program["counts_drag"]["cairo_paints"]
    moves = program["counted_drag_moves"]
    table.check(f"{X11_NAMES[8]} ({moves} motion events)", f"{base} XPutImage", f"{mine} XPutImage or cairo paints",
                "", "0", mine == 0)


def round_trip_rows(table, floor, program, pictures):
    if "counts_reload" not in program or "counts_reload" not in floor:
        table.row(X11_NAMES[9], target="≤ floor")
        return
    base = floor["counts_reload"]["round_trips"] / pictures
    mine = program["counts_reload"]["round_trips"] / pictures
    table.check(X11_NAMES[9], f"{base:.2f}", f"{mine:.2f}", "", "≤ floor", mine <= base)
    base = floor["counts_start_up"]["round_trips"]
    mine = program["counts_start_up"]["round_trips"]
    table.row("synchronous round trips of a whole start-up", f"{base}", f"{mine}", f"{mine / max(base, 1):.1f}")


def scripted_one_picture_row(table, entries):
    """The same WinMain on the scripted host, which presents nothing, showing
    one picture: against gdk-pixbuf decoding that picture and keeping it."""
    name = "scripted host: start-up through WinMain to Exit, 1 picture"
    start_up, kept = measured(entries, "startUpToExit/1"), measured(entries, "bareDecodeKept/1")
    if start_up is None or kept is None:
        table.row(name, target="≤ 1.25 × the decode keeping it")
        return
    ratio = seconds(start_up) / seconds(kept)
    table.check(name, f"decode keeping it: {format_time(seconds(kept))}", format_time(seconds(start_up)),
                f"{ratio:.2f}", "≤ 1.25 × the decode keeping it", ratio <= 1.25)


def x11_rows(table, x11, entries):
    """The floor (bench/x11/FloorPresenter.c) and the Linux program on Xvfb
    with xcompmgr and openbox, taking turns in one run, timed from outside:
    wall time from the fork, medians of the runs."""
    scripted_one_picture_row(table, entries)
    if x11 is None or "floor" not in x11:
        for name in X11_NAMES:
            table.row(name)
        return
    floor, program = x11["floor"], x11["x11"]
    ratio_rows(table, floor, program)
    base, mine = floor["rss_kib"] / 1024, program["rss_kib"] / 1024
    table.check(X11_NAMES[5], size_text(floor), size_text(program), f"{mine / base:.2f}",
                f"≤ floor + 16 MiB ({base + 16:.1f} MiB)", mine <= base + 16)
    drag_rows(table, floor, program)
    round_trip_rows(table, floor, program, x11["pictures"])
    idle = floor["idle_seconds"]
    table.check(f"{X11_NAMES[10]}, {idle} s",
                f"{floor['idle_cpu_ms']:.3f} ms ({floor['idle_wakeups']} wake-ups)",
                f"{program['idle_cpu_ms']:.3f} ms ({program['idle_wakeups']} wake-ups)", "",
                "0 (no timers, no polling)", program["idle_cpu_ms"] == 0 and program["idle_wakeups"] == 0)
    scripted = x11["scripted"]
    table.row("the same WinMain on the scripted host (presents nothing): start-up, Reload, CPU", "",
              f"{statistics.median(scripted['start_up_ms']):.0f} ms, {statistics.median(scripted['reload_ms']):.0f}"
              f" ms, {statistics.median(scripted['start_up_cpu_ms']):.0f} ms; resident "
              f"{scripted['rss_kib'] / 1024:.1f} MiB")


def counters_of(entry):
    skipped = {"name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
               "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit", "program",
               "aggregate_name", "aggregate_unit", "error_occurred", "error_message"}
    parts = []
    for key, value in entry.items():
        if key in skipped or not isinstance(value, (int, float)):
            continue
        parts.append(f"{key}={value:.4g}")
    return " ".join(parts)


def every_entry(entries):
    lines = ["| Program | Benchmark | Real time | CPU time | Iterations | Counters |", "|---|---|---|---|---|---|"]
    for entry in entries.values():
        if entry.get("error_occurred"):
            lines.append(f"| {entry['program']} | {entry['name']} | error: {entry.get('error_message', '')} | | | |")
        elif entry.get("aggregate_unit") == "percentage" and "real_time" in entry:
            lines.append(f"| {entry['program']} | {entry['name']} | {entry['real_time'] * 100:.1f} % | "
                         f"{entry['cpu_time'] * 100:.1f} % | {entry.get('iterations', '')} | |")
        elif "real_time" in entry:
            lines.append(f"| {entry['program']} | {entry['name']} | {format_time(seconds(entry, 'real_time'))} | "
                         f"{format_time(seconds(entry, 'cpu_time'))} | {entry.get('iterations', '')} | "
                         f"{counters_of(entry)} |")
        else:
            lines.append(f"| {entry['program']} | {entry['name']} | | | | {counters_of(entry)} |")
    return "\n".join(lines)


def main():
    from wayland_rows import load as load_wayland, markdown as wayland_markdown, wayland_rows
    if len(sys.argv) != 2:
        print("usage: results_table.py RESULTS_DIRECTORY", file=sys.stderr)
        return 2
    directory = Path(sys.argv[1])
    entries, contexts = load_benchmarks(directory)
    wine = load_wine(directory)
    table = Table()
    start_up_rows(table, entries)
    render_rows(table, entries)
    memory_rows(table, entries)
    action_rows(table, entries)
    lookup_rows(table, entries)
    settings_rows(table, entries)
    entity_rows(table, entries)
    wine_rows(table, wine)
    x11_table = FloorTable()
    x11_rows(x11_table, load_x11(directory), entries)
    context = next(iter(contexts.values()), {})
    print(f"Benchmarks of {context.get('date', 'an unknown date')} on {context.get('num_cpus', '?')} CPUs at "
          f"{context.get('mhz_per_cpu', '?')} MHz: the Linux Release build on the scripted host (CPU times of the "
          "benchmark thread), the x86_64 Windows program under Wine (wall-clock times from outside the "
          "program), and the Linux program on Xvfb with xcompmgr against the same WinMain on the scripted host "
          "(wall-clock times from outside, both as processes of their own).\n")
    print(table.markdown())
    print("\nThe Linux program on X11 against the floor, the same visible work on bare Xlib (bench/x11), "
          "in one run on one private desktop (Xvfb, xcompmgr, openbox):\n")
    print(x11_table.markdown())
    print("\nThe Linux program on Wayland against the floor, the same visible work on bare wl_shm and the "
          "layer shell (bench/wayland), in one run on one private headless sway; the X11 program's figure "
          "of the same run beside each:\n")
    print(wayland_markdown(wayland_rows(load_wayland(directory, "wayland.json"), load_x11(directory))))
    print("\nEvery benchmark entry:\n")
    print(every_entry(entries))
    return 0


if __name__ == "__main__":
    sys.exit(main())
