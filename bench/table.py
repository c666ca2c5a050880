#!/usr/bin/env python3
"""Prints bench/run's one table: the median of every case beside its baseline, their ratio and the goal; then
compares each start-up and memory figure with the one recorded in docs/PERFORMANCE.md.
   table.py MEMORY_TXT STARTUP_TXT CASES_JSON... [ROWS]   (the Google Benchmark runs' JSON files; a path written
   distinct:PATH holds runs on the list of distinct texts; files ending in .rows hold ready rows of the table, made
   by programs that measure outside Google Benchmark)
   Exit status 3 when a start-up or memory figure got worse than recorded by more than its noise."""
import json
import os
import re
import statistics
import sys

# The entries column of a figure measured on the list whose every product has a name and a price of its own.
DISTINCT = "{} (distinct texts)"
GOALS = {  # case -> (goal ratio, what is measured)
    "load": (1.5, "load a list file into the three lists"),
    "save": (1.5, "save the three lists"),
    "sort-name": (1.5, "sort the product catalogue by Name"),
    "sort-price": (1.5, "sort the product catalogue by Preis"),
    "print-canvas": (2.0, "print shopping entries on the fake canvas"),
    "print-pdf": (1.2, "print shopping entries into a PDF"),
    "search": (3.0, "one keystroke in the catalogue's search (products)"),
    "search-first": (3.0, "the first keystroke after a change of the catalogue"),
    "total": (0.2, "running total after adding and removing an entry"),
    "recovery": (0.5, "recovery copy: the window's part against writing it in the window"),
}
# Cases with a goal in milliseconds (wall clock, with the view or the disk); the baseline is shown beside them.
ABSOLUTE = {  # case -> (goal in ms, what is measured, baseline)
    "header-click": (100.0, "click on \"Preis\" with the view (wall)", "the view taking a new order"),
    "clear": (100.0, "\"Liste löschen\" on the products, a step of the undo history (wall)",
              "the list emptied with no undo, every entry freed"),
    "clear-undo": (100.0, "Ctrl+Z after \"Liste löschen\" on the products (wall)",
                   "the same rows put back in one go, as loading does"),
    "first-add": (5.0, "first \"Eintrag hinzufügen\" after loading (wall)",
                  "the same row added to a plain table model of the same rows in a plain table view"),
    "merge": (1000.0, "three-way merge of the lists, 1,000 edits on each side (wall)", "copying one side's entries"),
}
# Cases with a goal in milliseconds of processor time ("busy"), each beside a baseline named here.
BUSY = {  # case -> (goal in ms, what is measured, baseline case, baseline)
    "price-markers": (100.0, "price markers right after a change of the catalogue (the rows in view)",
                      "price-total", "every entry's price read once, as the total does"),
    "cheapest-shops": (300.0, "\"Günstigste Läden wählen\", the whole undo step", "price-total",
                       "every entry's price read once, as the total does"),
    "price-comparison": (300.0, "\"Preisvergleich...\" table", "price-total",
                         "every entry's price read once, as the total does"),
    "quick-add-key": (30.0, "one key in \"Schnell eintragen\": the suggestions", "routine-total",
                      "every entry's price read once, as the total does"),
    "quick-add-first-key": (300.0, "the first key after a change of the catalogue (names indexed)",
                            "routine-total", "every entry's price read once, as the total does"),
    "add-staples": (300.0, "\"Stammartikel eintragen\", 1,000 staples, the whole undo step", "routine-total",
                    "every entry's price read once, as the total does"),
    "remove-ticked": (300.0, "\"Erledigte entfernen\", 50,000 ticked, the whole undo step", "routine-total",
                      "every entry's price read once, as the total does"),
    "order-by-walk": (300.0, "\"Einkaufsliste nach Laufweg ordnen\", the whole undo step", "routine-total",
                      "every entry's price read once, as the total does"),
}
# Wall-clock ratios.
WALL = {
    "sort-undo": (1.0, "Ctrl+Z after a click on \"Preis\", against the click itself (wall)"),
    "exit-save": (2.0, "\"Beenden\" > \"Ja\": save, sync, lists left to the process's end (wall)"),
}
# Start-up cases of bench/run: case, entries, goal, what the baseline does.
STARTUP = [
    ("empty", "0", 1.3, "a bare Qt window"),
    ("text", "0", 1.3, "a bare Qt window showing one line of text"),
    ("10000", "10,250", 1.5, "a bare Qt window showing one line of text"),
    ("1000000", "1,000,000", 3.0, "a bare Qt window after decoding the same file with iconv"),
    ("1000000-distinct", DISTINCT.format("1,000,000"), 3.0,
     "a bare Qt window after decoding the same file with iconv"),
]
# Memory figures of bench/run: key, what is measured, the list's name in bench/run.
MEMORY = [
    ("peak_rss_kb", "after loading"),
    ("peak_after_add_kb", "after the first add"),
    ("peak_after_clear_undo_kb", "after clearing the products and undoing it (lists and history, no window)"),
    ("program_loaded_kb", "of the program under Xvfb, its window shown"),
    ("program_changed_kb", "of the program under Xvfb, first change in its recovery copy"),
    ("program_sorted_kb", "of the program under Xvfb, after 30 clicks on the catalogue's headers"),
]
# A memory figure's noise: the resident size moves little from run to run.
MEMORY_NOISE = 0.02
RECORDED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs", "PERFORMANCE.md")
UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def read_cases(paths, clock="cpu_time", aggregate="median"):
    """run name -> median time in ms (or the coefficient of variation), or an error text, over the JSON files."""
    runs = []
    for path in paths:
        with open(path, encoding="utf-8") as f:
            runs += json.load(f).get("benchmarks", [])
    found = {}
    for run in runs:
        name = run.get("run_name", run["name"])
        for suffix in ("/manual_time", "/real_time", "/iterations:3"):
            name = name.removesuffix(suffix)
        if run.get("error_occurred"):
            found[name] = run.get("error_message", "error")
        elif run.get("aggregate_name", "median") == aggregate and not isinstance(found.get(name), str):
            found[name] = run[clock] * (1.0 if aggregate == "cv" else UNIT_MS[run["time_unit"]])
    return found


def noise(*cvs):
    """The larger coefficient of variation of a case and its baseline, as text."""
    known = [cv for cv in cvs if isinstance(cv, float)]
    return f"±{100 * max(known):.0f} %" if known else "n/a"


def ratio_row(label, size, mine, base, goal, spread="n/a"):
    if isinstance(mine, float) and isinstance(base, float) and base > 0:
        ratio = mine / base
        verdict = "yes" if ratio <= goal else "NO"
        return [label, size, f"{mine:.3f}", f"{base:.3f}", f"{ratio:.2f}", spread, f"≤ {goal}", verdict]
    why = mine if isinstance(mine, str) else base if isinstance(base, str) else "not run"
    return [label, size, "n/a", f"{base:.3f}" if isinstance(base, float) else "n/a", "n/a", spread, f"≤ {goal}",
            why]


def goal_ms_rows(goals, times, cvs, sizes, entries):
    """Rows of cases with a goal in milliseconds: case -> (goal, label, baseline label[, baseline case])."""
    rows = []
    for group, (goal_ms, label, *baseline) in goals.items():
        base_group, base_label = baseline if len(baseline) == 2 else (group, baseline[0])
        for size in sorted(set(sizes.get(group, []))):
            mine, base = f"{group}/korbana/{size}", f"{base_group}/baseline/{size}"
            row = ratio_row(f"{label}; baseline: {base_label}", entries(size), times.get(mine), times.get(base),
                            goal_ms, noise(cvs.get(mine), cvs.get(base)))
            if isinstance(times.get(mine), float):
                row[6] = f"≤ {goal_ms:g} ms"
                row[7] = "yes" if times[mine] <= goal_ms else "NO"
            rows.append(row)
    return rows


def case_rows(cases_json, entries):
    """The rows of the Google Benchmark cases in these JSON files; entries(size) gives the entries column."""
    if not cases_json:
        return []
    cases = read_cases(cases_json)
    cpu_cv = read_cases(cases_json, "cpu_time", "cv")
    wall_cv = read_cases(cases_json, "real_time", "cv")
    wall = read_cases(cases_json, "real_time")
    sizes = {}
    for name in cases:
        parts = name.split("/")
        if len(parts) == 3:  # case/program/entries; other runs of the binaries are not in the table
            sizes.setdefault(parts[0], []).append(int(parts[2]))
    rows = []
    for goals, times, cvs in ((GOALS, cases, cpu_cv), (WALL, wall, wall_cv)):
        for group, (goal, label) in goals.items():
            for size in sorted(set(sizes.get(group, []))):
                mine, base = f"{group}/korbana/{size}", f"{group}/baseline/{size}"
                rows.append(ratio_row(label, entries(size), times.get(mine), times.get(base), goal,
                                      noise(cvs.get(mine), cvs.get(base))))
    rows += goal_ms_rows(ABSOLUTE, wall, wall_cv, sizes, entries)
    rows += goal_ms_rows(BUSY, cases, cpu_cv, sizes, entries)
    return rows


def startup_rows(startup_txt):
    startup = {}  # (case, program, clock) -> times
    with open(startup_txt, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if len(words) >= 8 and words[2] == "median_ms":
                startup.setdefault((words[0], words[1], "wall"), []).append(float(words[3]))
                startup.setdefault((words[0], words[1], "cpu"), []).append(float(words[7]))

    def median(values):
        return sorted(values)[len(values) // 2] if values else "not run"

    def cv(values):
        return statistics.pstdev(values) / statistics.mean(values) if len(values) > 1 else "n/a"

    rows = []
    for case, entries, goal, baseline in STARTUP:
        for clock, how in (("wall", "wall"), ("cpu", "processor time of all threads")):
            mine = startup.get((case, "korbana", clock), [])
            base = startup.get((case, "baseline", clock), [])
            rows.append(ratio_row(f"start-up to the main window shown ({how}; baseline: {baseline})", entries,
                                  median(mine), median(base), goal, noise(cv(mine), cv(base))))
    return rows


def memory_rows(memory_txt):
    """Rows of the memory figures; each line of the file is a list's name, then pairs of a key and a value."""
    found = {}  # list -> key -> value
    with open(memory_txt, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if words:
                found.setdefault(words[0], {}).update(zip(words[1::2], words[2::2]))
    rows = []
    for name, mem in found.items():
        if "file_bytes" not in mem:
            continue
        def entries(count):
            return DISTINCT.format(f"{count:,}") if name == "distinct" else f"{count:,}"
        file_mb = int(mem["file_bytes"]) / 2**20
        for key, label in MEMORY:
            if key not in mem:
                continue
            peak_mb = int(mem[key]) / 1024
            ratio = peak_mb / file_mb
            rows.append([f"peak resident size {label} (MiB vs file MiB)", entries(int(mem["entries"])),
                         f"{peak_mb:.1f}", f"{file_mb:.1f}", f"{ratio:.2f}", "—", "≤ 3",
                         "yes" if ratio <= 3 else "NO"])
        if "merge_extra_kb" in mem:
            extra_mb = int(mem["merge_extra_kb"]) / 1024
            ratio = extra_mb / file_mb
            rows.append([f"extra memory of the merge, 1,000 edits on each side, in {mem['merge_ms']} ms"
                         f" (MiB vs file MiB)", entries(int(mem["entries"])), f"{extra_mb:.1f}", f"{file_mb:.1f}",
                         f"{ratio:.2f}", "—", "≤ 3", "yes" if ratio <= 3 else "NO"])
        if "csv_extra_kb" in mem:
            csv_mb = int(mem["csv_bytes"]) / 2**20
            extra_mb = int(mem["csv_extra_kb"]) / 1024
            ratio = extra_mb / csv_mb
            rows.append(["peak memory of a CSV import of its own export (MiB vs CSV MiB)",
                         entries(int(mem["csv_entries"])), f"{extra_mb:.1f}", f"{csv_mb:.1f}", f"{ratio:.2f}", "—",
                         "≤ 5", "yes" if ratio <= 5 else "NO"])
    if not rows:
        rows.append(["peak resident size after loading", "1,000,000", "n/a", "n/a", "n/a", "—", "≤ 3", "not run"])
    return rows


def spread(text, fallback):
    """The noise column's figure as a fraction; the fallback where it gives none."""
    found = re.match(r"±(\d+) %", text)
    return int(found.group(1)) / 100 if found else fallback


def worse_than_recorded(rows, recorded_path):
    """The start-up and memory rows whose ratio grew past the recorded one by more than the noise of either."""
    recorded = {}
    try:
        with open(recorded_path, encoding="utf-8") as f:
            for line in f:
                cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
                if len(cells) == 8:
                    recorded[(cells[0], cells[1])] = cells
    except OSError:
        return None
    verdicts = []
    for row in rows:
        if not row[0].startswith(("start-up", "peak resident size")):
            continue
        before = recorded.get((row[0], row[1]))
        try:
            now, then = float(row[4]), float(before[4])
        except (TypeError, ValueError):
            verdicts.append((row, None))
            continue
        allowed = max(spread(row[5], MEMORY_NOISE), spread(before[5], MEMORY_NOISE))
        verdicts.append((row, (now, then, allowed)))
    return verdicts


def main(memory_txt, startup_txt, *inputs):
    ready_rows = []
    for path in inputs:
        if path.endswith(".rows"):
            with open(path, encoding="utf-8") as f:
                ready_rows += [line.rstrip("\n") for line in f if line.startswith("| ")]
    cases_json = [path for path in inputs if not path.endswith(".rows")]
    plain = [path for path in cases_json if not path.startswith("distinct:")]
    distinct = [path.removeprefix("distinct:") for path in cases_json if path.startswith("distinct:")]
    rows = case_rows(plain, lambda size: f"{size:,}")
    rows += case_rows(distinct, lambda size: DISTINCT.format(f"{size:,}"))
    rows += startup_rows(startup_txt)
    rows += memory_rows(memory_txt)

    head = ["case", "entries", "korbana (ms)", "baseline (ms)", "ratio", "noise", "goal", "met"]
    print("| " + " | ".join(head) + " |")
    print("|" + "|".join("---" for _ in head) + "|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    for line in ready_rows:
        print(line)
    print("\nTimes are medians of CPU time per operation; cases marked (wall) are medians of wall-clock time with"
          " the view's events or the disk's sync; start-up: wall time from process start to the first window"
          " mapped. Noise: the larger coefficient of variation of the case and its baseline over the repetitions."
          " Memory: whole-process peak resident size.")

    verdicts = worse_than_recorded(rows, RECORDED)
    if verdicts is None:
        print("\nNo recorded figures to compare with (docs/PERFORMANCE.md not found).")
        return 0
    worse = [(row, figures) for row, figures in verdicts if figures and figures[0] > figures[1] * (1 + figures[2])]
    unrecorded = [row for row, figures in verdicts if figures is None]
    print("\nStart-up and memory against the figures recorded in docs/PERFORMANCE.md (ratio now / recorded):")
    for row, figures in verdicts:
        if figures:
            now, then, allowed = figures
            mark = "WORSE" if now > then * (1 + allowed) else "ok"
            print(f"  {mark:5} {now:.2f} / {then:.2f} (noise ±{100 * allowed:.0f} %): {row[0]}, {row[1]}")
    for row in unrecorded:
        print(f"  new   {row[4]} (nothing recorded): {row[0]}, {row[1]}")
    if worse:
        print(f"\n{len(worse)} start-up or memory figure(s) GOT WORSE than recorded by more than their noise.")
        return 3
    print("\nNo start-up or memory figure got worse than recorded by more than its noise.")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
