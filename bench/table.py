#!/usr/bin/env python3
"""Prints bench/run's one table: the median of every case beside its baseline, their ratio and the goal."""
import json
import sys

GOALS = {  # case -> (goal ratio, what is measured)
    "load": (1.5, "load a list file into the three lists"),
    "save": (1.5, "save the three lists"),
    "sort-name": (1.5, "sort the product catalogue by Name"),
    "sort-price": (1.5, "sort the product catalogue by Preis"),
    "print-canvas": (1.2, "print shopping entries on the fake canvas"),
    "print-pdf": (1.2, "print shopping entries into a PDF"),
    "search": (3.0, "one keystroke in the catalogue's search (products)"),
    "search-first": (3.0, "the first keystroke after a change of the catalogue"),
    "total": (0.2, "running total after adding and removing an entry"),
    "recovery": (0.5, "recovery copy: the window's part against writing it in the window"),
}
UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def read_cases(path):
    """run name -> median CPU time in ms, or an error text."""
    with open(path, encoding="utf-8") as f:
        runs = json.load(f).get("benchmarks", [])
    found = {}
    for run in runs:
        name = run.get("run_name", run["name"]).removesuffix("/real_time")
        if run.get("error_occurred"):
            found[name] = run.get("error_message", "error")
        elif run.get("aggregate_name", "median") == "median" and not isinstance(found.get(name), str):
            found[name] = run["cpu_time"] * UNIT_MS[run["time_unit"]]
    return found


def ratio_row(label, size, mine, base, goal):
    if isinstance(mine, float) and isinstance(base, float) and base > 0:
        ratio = mine / base
        verdict = "yes" if ratio <= goal else "NO"
        return [label, size, f"{mine:.3f}", f"{base:.3f}", f"{ratio:.2f}", f"≤ {goal}", verdict]
    why = mine if isinstance(mine, str) else base if isinstance(base, str) else "not run"
    return [label, size, "n/a", f"{base:.3f}" if isinstance(base, float) else "n/a", "n/a", f"≤ {goal}", why]


def main(cases_json, memory_txt, startup_txt):
    cases = read_cases(cases_json)
    rows = []
    sizes = {}
    for name in cases:
        group, _, size = name.split("/")
        sizes.setdefault(group, []).append(int(size))
    for group, (goal, label) in GOALS.items():
        for size in sorted(set(sizes.get(group, []))):
            rows.append(ratio_row(label, f"{size:,}", cases.get(f"{group}/korbana/{size}"),
                                  cases.get(f"{group}/baseline/{size}"), goal))

    startup = {"korbana": [], "baseline": []}
    with open(startup_txt, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if len(words) >= 3 and words[1] == "median_ms":
                startup[words[0]].append(float(words[2]))
    med = {k: sorted(v)[len(v) // 2] if v else "not run" for k, v in startup.items()}
    rows.append(ratio_row("start-up to the main window shown (Xvfb, 10,000 products)", "10,000",
                          med["korbana"], med["baseline"], 1.3))

    with open(memory_txt, encoding="utf-8") as f:
        words = f.read().split()
    mem = dict(zip(words[0::2], words[1::2]))
    if mem:
        peak_mb = int(mem["peak_rss_kb"]) / 1024
        file_mb = int(mem["file_bytes"]) / 2**20
        ratio = peak_mb / file_mb
        rows.append(["peak resident size after loading (MiB vs file MiB)", f"{int(mem['entries']):,}",
                     f"{peak_mb:.1f}", f"{file_mb:.1f}", f"{ratio:.2f}", "≤ 4", "yes" if ratio <= 4 else "NO"])
    else:
        rows.append(["peak resident size after loading", "1,000,000", "n/a", "n/a", "n/a", "≤ 4", "not run"])

    head = ["case", "entries", "korbana (ms)", "baseline (ms)", "ratio", "goal", "met"]
    print("| " + " | ".join(head) + " |")
    print("|" + "|".join("---" for _ in head) + "|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print("\nTimes are medians of CPU time per operation (start-up: wall time from process start to the first"
          " window mapped). Memory: whole-process peak resident size.")


if __name__ == "__main__":
    main(*sys.argv[1:4])
