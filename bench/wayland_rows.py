#!/usr/bin/env python3
"""Rows of the Wayland figures (wayland.json of scripts/bench-wayland) in the
shape of the X11 table's: Figure | Floor | Program | Ratio | Target | Result.

    wayland_rows.py RESULTS_DIRECTORY    prints the Wayland table alone

The floor is bench/wayland/WaylandFloorPresenter.c, the program the Linux
program on its Wayland host, both on a private headless sway, taking turns,
timed from outside from the fork until a presented frame of the output
showed every picture. Beside each figure stands the X11 host's program
figure of the same scripts/bench run (x11.json), when there is one.
"""

import json
import statistics
import sys
from pathlib import Path

from drag_figures import drag_summary

NAMES = ("Wayland: start-up until 100 pictures are shown", "Wayland: start-up CPU time",
         "Wayland: Reload of 100 pictures until shown", "Wayland: Reload CPU time",
         "Wayland: resident size with 100 pictures", "Wayland: drag, CPU time per motion event",
         "Wayland: drag, pointer event → picture at its new place on screen, 99th percentile at 1 kHz",
         "Wayland: CPU time over idling", "Wayland: runs lost (the instance ended by itself)")


def load(directory, name):
    try:
        return json.loads((Path(directory) / name).read_text())
    except (OSError, ValueError):
        return None


def runs(values):
    return ", ".join(f"{value:.0f}" for value in values)


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def beside_x11(x11, key, unit="ms"):
    """The X11 host's median of the same figure, or nothing."""
    if not x11 or "x11" not in x11 or not x11["x11"].get(key):
        return ""
    return f"X11 host: {statistics.median(x11['x11'][key]):.0f} {unit}"


def timing_rows(rows, floor, program, x11):
    for name, key in ((NAMES[0], "start_up_ms"), (NAMES[1], "start_up_cpu_ms"), (NAMES[2], "reload_ms"),
                      (NAMES[3], "reload_cpu_ms")):
        if not floor[key] or not program[key]:
            rows.append((name, "not measured", "not measured", "", "", ""))
            continue
        base, mine = statistics.median(floor[key]), statistics.median(program[key])
        rows.append((f"{name}, median of {len(program[key])}", f"{base:.0f} ms (runs: {runs(floor[key])})",
                     f"{mine:.0f} ms (runs: {runs(program[key])})", f"{mine / base:.2f}", beside_x11(x11, key), ""))
    if floor["reload_gone_ms"] and program["reload_gone_ms"]:
        rows.append(("Wayland: Reload until a frame showed a picture gone, median",
                     f"{statistics.median(floor['reload_gone_ms']):.0f} ms",
                     f"{statistics.median(program['reload_gone_ms']):.0f} ms", "", "", ""))


def size_text(figures):
    return (f"{figures['rss_kib'] / 1024:.1f} MiB (anonymous {figures['rss_anon_kib'] / 1024:.1f}, "
            f"files {figures['rss_file_kib'] / 1024:.1f}, shared {figures['rss_shmem_kib'] / 1024:.1f}; "
            f"after the Reloads {figures['rss_after_reloads_kib'] / 1024:.1f})")


def size_row(rows, floor, program, x11):
    if floor["rss_kib"] < 0 or program["rss_kib"] < 0:
        rows.append((NAMES[4], "not measured", "not measured", "", "", ""))
        return
    beside = ""
    if x11 and "x11" in x11 and x11["x11"].get("rss_kib", -1) > 0:
        beside = f"X11 host: {x11['x11']['rss_kib'] / 1024:.1f} MiB"
    rows.append((NAMES[4], size_text(floor), size_text(program), f"{program['rss_kib'] / floor['rss_kib']:.2f}",
                 beside, ""))


def drag_rows(rows, floor, program, x11):
    drags = drag_summary(floor), drag_summary(program)
    if None in drags:
        rows.append((NAMES[5], "not measured", "not measured", "", "", ""))
        rows.append((NAMES[6], "not measured", "not measured", "", "", ""))
        return
    theirs = drag_summary((x11 or {}).get("x11", {}))
    base, mine = (drag["cpu_us_per_motion"] for drag in drags)
    beside = f"X11 host: {theirs['cpu_us_per_motion']:.1f} µs" if theirs else ""
    rows.append((NAMES[5], f"{base:.1f} µs", f"{mine:.1f} µs ({drags[1]['handled']} moves handled of "
                 f"{drags[1]['moves']})", f"{mine / base:.2f}", beside, ""))
    base, mine = (percentile(drag["latencies_ms"], 0.99) for drag in drags)
    medians = [percentile(drag["latencies_ms"], 0.5) for drag in drags]
    beside = ""
    if theirs:
        beside = (f"X11 host: {percentile(theirs['latencies_ms'], 0.99):.2f} ms "
                  f"(median {percentile(theirs['latencies_ms'], 0.5):.2f})")
    rows.append((NAMES[6], f"{base:.2f} ms (median {medians[0]:.2f})", f"{mine:.2f} ms (median {medians[1]:.2f})",
                 f"{mine / base:.2f}", beside, ""))


def idle_text(figures):
    """CPU time and wake-ups of the threads that lived through the idling;
    a thread that ended meanwhile took its counts along, so it is named."""
    text = f"{figures['idle_cpu_ms']:.3f} ms ({figures['idle_wakeups']} wake-ups"
    ended, started = figures.get("idle_threads_ended", 0), figures.get("idle_threads_started", 0)
    if ended or started:
        text += f"; threads ended {ended}, started {started}"
    return text + ")"


def idle_and_lost_rows(rows, floor, program, x11):
    beside = ""
    if x11 and "x11" in x11 and "idle_cpu_ms" in x11["x11"]:
        beside = f"X11 host: {x11['x11']['idle_cpu_ms']:.3f} ms over {x11['x11']['idle_seconds']} s"
    rows.append((f"{NAMES[7]}, {program['idle_seconds']} s", idle_text(floor), idle_text(program), "", beside, ""))
    lost = [len(figures.get("lost_runs", [])) for figures in (floor, program)]
    reason = program.get("lost_runs", [""])[-1] if lost[1] else ""
    rows.append((NAMES[8], f"{lost[0]}", f"{lost[1]}" + (f" (last: {reason})" if reason else ""), "", "", ""))


def screen_row(rows, wayland):
    screen = wayland.get("screen", {})
    grim = screen.get("grim_capture_ms", -1)
    rows.append(("Wayland: what a look at the screen costs (the resolution of every figure above)",
                 f"one frame every {screen.get('frame_interval_ms', 0):.1f} ms",
                 f"own screencopy: {screen.get('capture_ms', 0):.1f} ms a look",
                 "", f"grim: {grim:.1f} ms a look" if grim >= 0 else "grim: not measured", ""))


def wayland_rows(wayland, x11=None):
    """The rows for wayland.json's figures (None: every row says "not
    measured"); `x11` is x11.json of the same run, or None."""
    if not wayland or "floor" not in wayland or "wayland" not in wayland:
        return [(name, "not measured", "not measured", "", "", "") for name in NAMES]
    floor, program = wayland["floor"], wayland["wayland"]
    rows = []
    timing_rows(rows, floor, program, x11)
    size_row(rows, floor, program, x11)
    drag_rows(rows, floor, program, x11)
    idle_and_lost_rows(rows, floor, program, x11)
    screen_row(rows, wayland)
    return rows


def markdown(rows):
    lines = ["| Figure | Floor | Program | Ratio | Target | Result |", "|---|---|---|---|---|---|"]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def main():
    if len(sys.argv) != 2:
        print("usage: wayland_rows.py RESULTS_DIRECTORY", file=sys.stderr)
        return 2
    directory = sys.argv[1]
    print(markdown(wayland_rows(load(directory, "wayland.json"), load(directory, "x11.json"))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
