#!/usr/bin/env python3
"""Turns the benchmark programs' JSON results into the table of BENCHMARKS.md.

usage: report.py --results DIR --baseline DIR --notes FILE --machine FILE --out FILE

DIR holds one <program>.json per benchmark program (Google Benchmark's
--benchmark_out). The baseline folder holds the same files from a run
before the change being measured; each row shows both. The table is printed and
written, with the machine description and the notes, to --out.
"""
import argparse
import json
import os
import re
import sys


def load(folder, program):
    path = os.path.join(folder, program + ".json")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f)


def find(results, pattern):
    """The first benchmark whose name matches the pattern, or None."""
    if not results:
        return None
    for b in results["benchmarks"]:
        if re.search(pattern, b["name"]) and not b.get("error_occurred"):
            return b
    return None


def value(results, pattern, field):
    b = find(results, pattern)
    if b is None:
        return None
    if field == "time":
        return b["real_time"]
    return b.get(field)


# ---------------------------------------------------------------------------
# The rows: (label, program, benchmark pattern, field, format, target)
# A target is (text, test) where test(value, row values) says whether it holds.
# ---------------------------------------------------------------------------

def below(limit):
    return lambda v, _: v < limit


def within(centre, tolerance):
    return lambda v, _: abs(v - centre) <= tolerance


MS = "{:.1f} ms"
MS2 = "{:.2f} ms"
US = "{:.1f} us"
NS = "{:.0f} ns"
PCT = "{:.1f} %"
MIB = "{:.0f} MiB"
X = "{:.2f}x"

SECTIONS = [
    ("Collision: one overlap test of the game's pairs (worst case: full overlap, nothing shared)", [
        ("nanobot vs blob, aligned: engine", "bench_collision", r"kNanoBlobAligned_engine", "time", NS, None),
        ("nanobot vs blob, aligned: per-pixel reference", "bench_collision", r"kNanoBlobAligned_per_pixel", "time", NS, None),
        ("nanobot vs blob, unaligned: engine", "bench_collision", r"kNanoBlobUnaligned_engine", "time", NS, None),
        ("nanobot vs blob, unaligned: per-pixel reference", "bench_collision", r"kNanoBlobUnaligned_per_pixel", "time", NS, None),
        ("nanobot vs 2048-wide map: engine", "bench_collision", r"kNanoMap_engine", "time", NS, None),
        ("nanobot vs 2048-wide map: per-pixel reference", "bench_collision", r"kNanoMap_per_pixel", "time", NS, None),
        ("blob vs map: engine", "bench_collision", r"kBlobMap_engine", "time", NS, None),
        ("blob vs map: per-pixel reference", "bench_collision", r"kBlobMap_per_pixel", "time", NS, None),
    ]),
    ("Start-up: process start to the first presented language-screen frame (OpenGL, real assets; 5 runs, each right after a bare decode of the same files)", [
        ("start-up / bare decode, wall: median (min to max) of the 5 pairs", "bench_startup", r"StartupToLanguageScreen", ("ratio_median", "ratio_min", "ratio_max"), X, ("<= 1.5x", lambda v, _: v <= 1.5)),
        ("start-up / bare decode, CPU: median (min to max)", "bench_startup", r"StartupToLanguageScreen", ("ratio_cpu_median", "ratio_cpu_min", "ratio_cpu_max"), X, None),
        ("start-up, wall: median (min to max)", "bench_startup", r"StartupToLanguageScreen", ("total_ms_median", "total_ms_min", "total_ms_max"), MS, ("< 1000 ms", below(1000))),
        ("start-up, wall: mean", "bench_startup", r"StartupToLanguageScreen", "total_ms", MS, None),
        ("bare decode of the same files, wall: mean", "bench_startup", r"BareDecode", "total_ms", MS, None),
        ("start-up / bare decode, wall: ratio of the means", None, "ratio_wall", None, X, None),
        ("start-up, process CPU", "bench_startup", r"StartupToLanguageScreen", "total_cpu_ms", MS, None),
        ("bare decode, CPU", "bench_startup", r"BareDecode", "total_cpu_ms", MS, None),
        ("start-up, minor page faults", "bench_startup", r"StartupToLanguageScreen", "minor_faults", "{:.0f}", None),
        ("bare decode, minor page faults", "bench_startup", r"BareDecode", "minor_faults", "{:.0f}", None),
        ("  exec to main", "bench_startup", r"StartupToLanguageScreen", "exec_ms", MS, None),
        ("  engine and audio start", "bench_startup", r"StartupToLanguageScreen", "engine_audio_start_ms", MS, None),
        ("  loading screen (its picture, two paced frames)", "bench_startup", r"StartupToLanguageScreen", "loading_screen_ms", MS, None),
        ("  loads and the first language frame", "bench_startup", r"StartupToLanguageScreen", "loads_ms", MS, None),
        ("  loading thread, all loads: decode (wall / CPU)", "bench_startup", r"StartupToLanguageScreen", ("decode_ms", "decode_cpu_ms"), MS, None),
        ("  loading thread, all loads: waiting for pictures decoded ahead", "bench_startup", r"StartupToLanguageScreen", "wait_ms", MS, None),
        ("  loading thread, all loads: copy into the working surface", "bench_startup", r"StartupToLanguageScreen", ("copy_ms", "copy_cpu_ms"), MS, None),
        ("  loading thread, all loads: masks (with the key)", "bench_startup", r"StartupToLanguageScreen", ("masks_ms", "masks_cpu_ms"), MS, None),
        ("  loading thread, all loads: texture upload", "bench_startup", r"StartupToLanguageScreen", ("upload_ms", "upload_cpu_ms"), MS, None),
        ("  helper thread: decoding ahead (wall / CPU)", "bench_startup", r"StartupToLanguageScreen", ("ahead_ms", "ahead_cpu_ms"), MS, None),
        ("  pictures decoded by the helper thread (of 34)", "bench_startup", r"StartupToLanguageScreen", "pictures_ahead", "{:.1f}", None),
        ("  audio loads", "bench_startup", r"StartupToLanguageScreen", "audio_loads_ms", MS, None),
        ("  one 2048x2048 map tile: decode on the loading thread (wall / CPU)", "bench_startup", r"StartupToLanguageScreen", ("tile_decode_ms", "tile_decode_cpu_ms"), MS, None),
        ("  one map tile: decode on the helper thread", "bench_startup", r"StartupToLanguageScreen", ("tile_ahead_ms", "tile_ahead_cpu_ms"), MS, None),
        ("  one map tile: copy", "bench_startup", r"StartupToLanguageScreen", ("tile_copy_ms", "tile_copy_cpu_ms"), MS, None),
        ("  one map tile: masks", "bench_startup", r"StartupToLanguageScreen", ("tile_masks_ms", "tile_masks_cpu_ms"), MS, None),
        ("  one map tile: upload", "bench_startup", r"StartupToLanguageScreen", ("tile_upload_ms", "tile_upload_cpu_ms"), MS, None),
        ("  one collision picture: decode on the loading thread", "bench_startup", r"StartupToLanguageScreen", ("collision_decode_ms", "collision_decode_cpu_ms"), MS, None),
        ("  one collision picture: decode on the helper thread", "bench_startup", r"StartupToLanguageScreen", ("collision_ahead_ms", "collision_ahead_cpu_ms"), MS, None),
        ("  one collision picture: copy", "bench_startup", r"StartupToLanguageScreen", ("collision_copy_ms", "collision_copy_cpu_ms"), MS, None),
        ("  one collision picture: masks", "bench_startup", r"StartupToLanguageScreen", ("collision_masks_ms", "collision_masks_cpu_ms"), MS, None),
        ("  one collision picture: upload", "bench_startup", r"StartupToLanguageScreen", ("collision_upload_ms", "collision_upload_cpu_ms"), MS, None),
    ]),
    ("Masks of one picture (create, fill, free; CPU time)", [
        ("2048x2048 map tile", "bench_masks", r"map_tile_2048", "cpu_time", MS2, ("< 5 ms", below(5))),
        ("2048x2048 collision picture", "bench_masks", r"collision_2048", "cpu_time", MS2, ("< 5 ms", below(5))),
        ("nanobot sheet, 6 frames of 160x160", "bench_masks", r"nanobot_sheet", "cpu_time", MS2, None),
    ]),
    ("Play frame (the pilot's winning route, real assets; 8 windows of 150 frames)", [
        ("logic only, every frame of the route (thread CPU)", "bench_frame", r"LogicOnly", "logic_cpu_us", US, ("< 1000 us", below(1000))),
        ("OpenGL: logic, mean / p99", "bench_frame", r"BM_PlayFrame/opengl", ("logic_us", "logic_p99_us"), US, ("< 1000 us", below(1000))),
        ("OpenGL: draw submission, mean / p99", "bench_frame", r"BM_PlayFrame/opengl", ("draw_us", "draw_p99_us"), US, None),
        ("OpenGL: present (llvmpipe rasterises here)", "bench_frame", r"BM_PlayFrame/opengl", "present_us", US, None),
        ("software: logic, mean / p99", "bench_frame", r"BM_PlayFrame/software", ("logic_us", "logic_p99_us"), US, ("< 1000 us", below(1000))),
        ("software: draw (the blits), mean / p99", "bench_frame", r"BM_PlayFrame/software", ("draw_us", "draw_p99_us"), US, None),
        ("software: present (flip)", "bench_frame", r"BM_PlayFrame/software", "present_us", US, None),
        ("draws per frame", "bench_frame", r"BM_PlayFrame/opengl", "draws_per_frame", "{:.0f}", None),
    ]),
    ("Frame pacing at 60 fps, 600 frames (OpenGL)", [
        ("language screen: period mean", "bench_pacing", r"language_screen", "period_mean_ms", MS2, ("16 +- 0.3 ms", within(16, 0.3))),
        ("language screen: period p99", "bench_pacing", r"language_screen", "period_p99_ms", MS2, ("< 17.5 ms", below(17.5))),
        ("language screen: process CPU share", "bench_pacing", r"language_screen", "cpu_share_pct", PCT, ("< 10 %", below(10))),
        ("language screen: the game thread's CPU share", "bench_pacing", r"language_screen", "main_thread_share_pct", PCT, None),
        ("empty frames: period mean", "bench_pacing", r"empty_frames", "period_mean_ms", MS2, ("16 +- 0.3 ms", within(16, 0.3))),
        ("empty frames: period p99", "bench_pacing", r"empty_frames", "period_p99_ms", MS2, ("< 17.5 ms", below(17.5))),
        ("empty frames: process CPU share", "bench_pacing", r"empty_frames", "cpu_share_pct", PCT, ("< 10 %", below(10))),
    ]),
    ("Memory of the game once everything is loaded (OpenGL)", [
        ("peak resident", "bench_memory", r"PeakResident", "peak_mib", MIB, None),
        ("surfaces + textures", "bench_memory", r"PeakResident", "surfaces_textures_mib", MIB, None),
        ("peak over surfaces + textures", "bench_memory", r"PeakResident", "peak_over_held_pct", PCT, ("<= 10 %", lambda v, _: v <= 10)),
        ("  surfaces", "bench_memory", r"PeakResident", "surfaces_mib", MIB, None),
        ("  textures", "bench_memory", r"PeakResident", "textures_mib", MIB, None),
        ("  collision masks", "bench_memory", r"PeakResident", "masks_mib", MIB, None),
        ("  resident before the first picture (libraries, GL context)", "bench_memory", r"PeakResident", "started_mib", MIB, None),
        ("peak less the resident at start, over surfaces + textures", None, "own_overhead", None, PCT, ("<= 10 %", lambda v, _: v <= 10)),
    ]),
]


def derived(results, name):
    """Values computed from two rows."""
    s = results.get("bench_startup")
    m = results.get("bench_memory")
    if name in ("ratio_wall", "ratio_cpu"):
        field = "total_ms" if name == "ratio_wall" else "total_cpu_ms"
        a = value(s, r"StartupToLanguageScreen", field)
        b = value(s, r"BareDecode", field)
        return a / b if a and b else None
    if name == "own_overhead":
        peak, start, held = (value(m, r"PeakResident", f) for f in ("peak_mib", "started_mib", "surfaces_textures_mib"))
        return 100.0 * (peak - start - held) / held if peak and held else None
    return None


def cell(results, program, pattern, field, fmt):
    if program is None:
        v = derived(results, pattern)
        return (fmt.format(v) if v is not None else "-"), v
    data = results.get(program)
    fields = field if isinstance(field, tuple) else (field,)
    vals = [value(data, pattern, f) for f in fields]
    if vals[0] is None:
        return "-", None
    shown = [fmt.format(v) if v is not None else "-" for v in vals]
    # Three fields are a median with its spread: "m (min to max)".
    text = "{} ({} to {})".format(*shown) if len(shown) == 3 else " / ".join(shown)
    return text, vals[0]


def table(now, before):
    lines = []
    for title, rows in SECTIONS:
        lines.append("")
        lines.append("### " + title)
        lines.append("")
        lines.append("| measure | target | before | now | target met |")
        lines.append("|---|---|---|---|---|")
        for label, program, pattern, field, fmt, target in rows:
            old, _ = cell(before, program, pattern, field, fmt)
            new, v = cell(now, program, pattern, field, fmt)
            met = ""
            if target and v is not None:
                met = "yes" if target[1](v, None) else "**no**"
            lines.append("| {} | {} | {} | {} | {} |".format(label, target[0] if target else "", old, new, met))
    return "\n".join(lines)


PROGRAMS = ["bench_collision", "bench_startup", "bench_masks", "bench_frame", "bench_pacing", "bench_memory"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--results", required=True)
    ap.add_argument("--baseline", required=True)
    ap.add_argument("--notes", required=True)
    ap.add_argument("--machine", required=True)
    ap.add_argument("--out", required=True)
    a = ap.parse_args()
    now = {p: load(a.results, p) for p in PROGRAMS}
    before = {p: load(a.baseline, p) for p in PROGRAMS}
    missing = [p for p in PROGRAMS if now[p] is None]
    body = table(now, before)
    print(body)
    with open(a.machine) as f:
        machine = f.read().strip()
    with open(a.notes) as f:
        notes = f.read().strip()
    with open(a.out, "w") as f:
        f.write("# Benchmarks\n\n")
        f.write("Written by `scripts/bench` from the programs in `bench/`; numbers to read, never a pass/fail test.\n\n")
        f.write("## Machine of the latest run\n\n" + machine + "\n\n")
        base_machine = os.path.join(a.baseline, "machine.md")
        if os.path.exists(base_machine):
            with open(base_machine) as b:
                f.write("The \"before\" column comes from this run:\n\n" + b.read().strip() + "\n\n")
        f.write("## Latest results\n")
        if missing:
            f.write("\nNot run this time: " + ", ".join(missing) + ".\n")
        f.write(body + "\n\n")
        f.write(notes + "\n")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
