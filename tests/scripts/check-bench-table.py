#!/usr/bin/env python3
"""scripts/bench-table.py's targets table from alternating rounds: the two times of each round are combined
before the median is taken, every ratio runs the way its target reads, and "yes" or "NO" follows the target.
Usage: check-bench-table.py SOURCE_DIR"""
import json
import pathlib
import subprocess
import sys
import tempfile


def rounds(wall=(0, 0, 0), cpu=(0, 0, 0), output=()):
    return {"wall_ms": list(wall), "cpu_ms": list(cpu), "output": list(output)}


def benchmarks(w9_ms, w10_ms):
    """The benchmark program's results for W9 and W10, with the load average it notes at its start."""
    run = lambda name, cpu, **counters: dict(name=name, run_name=name, run_type="iteration", time_unit="ms",
                                             real_time=cpu, cpu_time=cpu, **counters)
    return {"context": {"executable": "/bench/tallyvex-bench", "load_avg": [1.5, 1.0, 1.0]},
            "benchmarks": [run("W9/iterations:1", w9_ms, automaton_bytes_per_char=28.5), run("W10", w10_ms)]}


# Each scenario: the rounds of the commands, the benchmark program's results, and per target row (by its
# first words) the ratio or difference it shows, whether it holds and, for some, what its reference says. The pairs are chosen so that a median
# of each command's times, instead of a median of the rounds' pairs, gives another answer.
SCENARIOS = [
    ({"prose": rounds(cpu=(200, 160, 390)), "oneline": rounds(cpu=(100, 110, 330)),
      "hyperscan": rounds(output=[{"median_ms": 66}] * 3),
      "j1": rounds(wall=(1000, 2000, 900)), "j2": rounds(wall=(500, 2100, 600)),
      "halves": rounds(wall=(800, 1000, 300)),
      "qtcore": rounds(wall=(10, 20, 13)), "scan": rounds(wall=(11, 30, 12)), "eml": rounds(wall=(15, 25, 15)),
      "message": rounds(wall=(20, 25, 10)), "rspamc": rounds(wall=(60, 50, 30))},
     benchmarks(w9_ms=2900, w10_ms=51),
     {"1. Product path": ("Hyperscan's time ÷ ours: 1.10", "yes"),
      "2. Batch: -j 2 against -j 1": ("1.50×", "NO", "two -j 1 runs on the halves at once 2.00×"),
      "2. Batch: messages per second": ("", "NO"),
      "3. Start-up: tallyvex-scan on a plain": ("+1.0 ms over Qt Core (CPU +0.0 ms)", "yes"),
      "3. Start-up: tallyvex-scan on a saved": ("+5.0 ms over Qt Core (CPU +0.0 ms)", "NO"),
      "5. Peers, one message: rspamc": ("3.0× as fast", "–"),
      "4. W9: 33 MB": ("", "yes"), "4. W9: automaton memory": ("", "yes"), "4. W10": ("", "NO")}),
    ({"prose": rounds(cpu=(200, 160, 390)), "oneline": rounds(cpu=(100, 110, 330)),
      "hyperscan": rounds(output=[{"median_ms": 54}] * 3),
      "j1": rounds(wall=(1000, 2000, 900)), "j2": rounds(wall=(100, 1000, 100))},
     benchmarks(w9_ms=3100, w10_ms=49),
     {"1. Product path": ("Hyperscan's time ÷ ours: 0.90", "NO"),
      "2. Batch: -j 2 against -j 1": ("9.00×", "yes"),
      "2. Batch: messages per second": ("", "yes"),
      "4. W9: 33 MB": ("", "NO"), "4. W10": ("", "yes")}),
]


def target_cells(source, results, program_results):
    with tempfile.TemporaryDirectory() as folder:
        paths = [pathlib.Path(folder) / "rounds.json", pathlib.Path(folder) / "scan.json"]
        paths[0].write_text(json.dumps({"rounds": results, "notes": {"messages": 2000},
                                        "load_before": "1.00 1.00 1.00", "load_after": "1.20 1.00 1.00"}))
        paths[1].write_text(json.dumps(program_results))
        table = subprocess.run([sys.executable, f"{source}/scripts/bench-table.py", *map(str, paths)], check=True,
                               capture_output=True, text=True).stdout
    targets = ("| 1.", "| 2.", "| 3.", "| 4.", "| 5.")
    return [line.strip("| ").split(" | ") for line in table.splitlines() if line.startswith(targets)]


def main():
    failures = []
    for results, program_results, expected in SCENARIOS:
        rows = target_cells(sys.argv[1], results, program_results)
        for start, cells in expected.items():
            found = [(row[3], row[5]) + ((cells[2],) if len(cells) > 2 and cells[2] in row[2] else ())
                     for row in rows if row[0].startswith(start)]
            if found != [cells]:
                failures.append(f"{start}: expected {cells}, got {found}")
    print("\n".join(failures) or "all target rows as expected")
    return 1 if failures else 0


sys.exit(main())
