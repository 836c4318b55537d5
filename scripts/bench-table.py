#!/usr/bin/env python3
"""Turns the benchmarks' JSON results into the tables of docs/performance.md: the workloads, then the targets
of the whole path (tallyvex-scan against Hyperscan, batch on two cores, start-up over Qt Core, the long
phrases and the prose, and the server-side spam filters), each with the load average it was taken under."""
import json
import operator
import statistics
import sys

UNIT = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load(path):
    """Each benchmark's run, or the median of its repetitions when it was repeated, and the program's load
    average as "load:PROGRAM"; the rounds of whole processes (scripts/bench-rounds.py) as "rounds:NAME";
    rspamd's check as "rspamd_check"."""
    runs = {}
    data = json.load(open(path))
    if "rspamd_check" in data:
        return data
    if "rounds" in data:
        load_average = f"{data['load_before'].split()[0]} → {data['load_after'].split()[0]}"
        for name, times in data["rounds"].items():
            runs["rounds:" + name] = dict(times, load=load_average, notes=data.get("notes", {}))
        return runs
    runs = load_benchmarks(data)
    # The benchmark library notes the load average when the program starts.
    load_average = f"{data['context']['load_avg'][0]:.2f}" if data["context"].get("load_avg") else "?"
    for run in runs.values():
        if run:
            run["load"] = load_average
    runs["load:" + data["context"]["executable"].rsplit("/", 1)[-1]] = load_average
    return runs


def load_benchmarks(data):
    """The benchmark program's runs by name: each run, or the median of its repetitions."""
    runs = {}
    for run in data["benchmarks"]:
        if run.get("error_occurred"):
            runs[run["run_name"]] = None
            continue
        if run.get("run_type") == "aggregate":
            if run["aggregate_name"] != "median":
                continue
            run["name"] = run["run_name"]
        scale = UNIT[run["time_unit"]]
        run["cpu_ms"] = run["cpu_time"] * scale
        run["real_ms"] = run["real_time"] * scale
        runs[run["name"]] = run
    return runs


def find(runs, prefix):
    for name, run in runs.items():
        if name == prefix or name.startswith(prefix + "/"):
            return run
    return None


def ms(value):
    if value is None:
        return "–"
    return f"{value * 1000:.1f} µs" if value < 1 else f"{value:.2f} ms"


def paired(first, second, kind, combine):
    """The median over the rounds of combine(first's time, second's time), each pair taken in one round."""
    return statistics.median(combine(a, b) for a, b in zip(first[kind], second[kind]))


def hyperscan_rounds(rounds):
    """Hyperscan's scan of the prose in each round of the product path, by where it ran: the plain harness
    (the median of its scans) and tallyvex-bench's W10Hyperscan, as {where: ([CPU ms], matches)}."""
    found = {}
    if rounds.get("hyperscan", {}).get("output"):
        reports = rounds["hyperscan"]["output"]
        found["plain harness"] = ([report["median_ms"] for report in reports], reports[0].get("matches"))
    if rounds.get("hyperscan-bench", {}).get("output"):
        runs = [next(iter(load_benchmarks(document).values())) for document in rounds["hyperscan-bench"]["output"]]
        found["in tallyvex-bench"] = ([run["cpu_ms"] for run in runs], runs[0].get("matches"))
    return found


def target_rows(runs):
    """The rows of the targets table: (target, Tallyvex, reference, ratio, target, holds, load average)."""
    rows = []
    rounds = {name.removeprefix("rounds:"): run for name, run in runs.items() if name.startswith("rounds:")}
    holds = lambda condition: "yes" if condition else "NO"

    if "prose" in rounds and "oneline" in rounds:
        paths = [big - small for big, small in zip(rounds["prose"]["cpu_ms"], rounds["oneline"]["cpu_ms"])]
        reference, ratio = "Hyperscan not built", None
        references = hyperscan_rounds(rounds)
        if references:
            # The faster of Hyperscan's two measurements is the reference, each round's scan against the
            # same round's product path.
            where, (times, _) = min(references.items(), key=lambda item: statistics.median(item[1][0]))
            ratio = statistics.median(time / path for time, path in zip(times, paths))
            reference = f"{ms(statistics.median(times))} (Hyperscan, every match, {where}" + "".join(
                f"; {ms(statistics.median(others))} {other}" for other, (others, _) in references.items()
                if other != where) + ")"
            # Both scan the same text for the same phrases: other numbers of matches mean a wrong input.
            if len({matches for _, matches in references.values()}) > 1:
                reference += "; THE NUMBERS OF MATCHES DIFFER"
        rows.append(("1. Product path: tallyvex-scan on 1 MiB of prose × 32,768 phrases less a one-line text (CPU)",
                     ms(statistics.median(paths)), reference, f"Hyperscan's time ÷ ours: {ratio:.2f}" if ratio else "",
                     "≥ 1.0", holds(ratio >= 1.0) if ratio else "–", rounds["prose"]["load"]))

    if "j1" in rounds and "j2" in rounds:
        count = rounds["j2"]["notes"]["messages"]
        rate = {jobs: count / statistics.median(rounds[jobs]["wall_ms"]) * 1e3 for jobs in ("j1", "j2")}
        speedup = paired(rounds["j1"], rounds["j2"], "wall_ms", operator.truediv)
        reference = f"{rate['j1']:,.0f} messages/s with -j 1"
        # Two processes of -j 1 on the halves at once: as much as this machine gives two threads.
        if "halves" in rounds:
            machine = paired(rounds["j1"], rounds["halves"], "wall_ms", operator.truediv)
            reference += f"; two -j 1 runs on the halves at once {machine:.2f}×"
        rows.append((f"2. Batch: -j 2 against -j 1, {count:,.0f} real messages (--json, wall)",
                     f"{rate['j2']:,.0f} messages/s", reference, f"{speedup:.2f}×",
                     "≥ 1.7×", holds(speedup >= 1.7), rounds["j2"]["load"]))
        rows.append(("2. Batch: messages per second with -j 2", f"{rate['j2']:,.0f}", "", "", "≥ 10,000",
                     holds(rate["j2"] >= 10000), rounds["j2"]["load"]))
    else:
        rows.append(("2. Batch: -j 2 against -j 1", "not run (no ../shared/mail-train)", "", "", "≥ 1.7×", "–",
                     ""))

    if "qtcore" in rounds:
        qtcore = rounds["qtcore"]
        floor = f"Qt Core started {ms(statistics.median(qtcore['wall_ms']))}" + (
            f", /bin/true {ms(statistics.median(rounds['true']['wall_ms']))}" if "true" in rounds else "")
        for name, label, limit in (("scan", "a plain message", 1.5), ("eml", "a saved e-mail (--eml)", 4)):
            wall = paired(rounds[name], qtcore, "wall_ms", operator.sub)
            cpu = paired(rounds[name], qtcore, "cpu_ms", operator.sub)
            rows.append((f"3. Start-up: tallyvex-scan on {label}, shipped definitions (wall)",
                         ms(statistics.median(rounds[name]["wall_ms"])), floor,
                         f"{wall:+.1f} ms over Qt Core (CPU {cpu:+.1f} ms)", f"≤ +{limit} ms", holds(wall <= limit),
                         rounds[name]["load"]))
    if "scan" in rounds and "bare" in rounds:
        wall = paired(rounds["scan"], rounds["bare"], "wall_ms", operator.sub)
        cpu = paired(rounds["scan"], rounds["bare"], "cpu_ms", operator.sub)
        rows.append(("3. Start-up: the plainer wordings read beside the definitions (wall)",
                     ms(statistics.median(rounds["scan"]["wall_ms"])),
                     f"{ms(statistics.median(rounds['bare']['wall_ms']))} without Alternatives.dat",
                     f"{wall:+.2f} ms (CPU {cpu:+.2f} ms)", "≤ +1 ms", holds(wall <= 1), rounds["scan"]["load"]))

    long_phrases, prose_scan = find(runs, "W9"), find(runs, "W10")
    if long_phrases:
        rows.append(("4. W9: 33 MB of long phrases loaded and built (CPU)", ms(long_phrases["cpu_ms"]), "", "",
                     "≤ 3 s", holds(long_phrases["cpu_ms"] <= 3000), long_phrases["load"]))
        per_char = long_phrases["automaton_bytes_per_char"]
        rows.append(("4. W9: automaton memory per phrase character", f"{per_char:.1f} bytes", "", "", "≤ 32 bytes",
                     holds(per_char <= 32), long_phrases["load"]))
    if prose_scan:
        rows.append(("4. W10: whole scan of the prose (CPU)", ms(prose_scan["cpu_ms"]), "", "", "≤ 50 ms",
                     holds(prose_scan["cpu_ms"] <= 50), prose_scan["load"]))

    peers = (("message", "spamassassin", "one message: spamassassin -L -t"),
             ("message", "spamc", "one message: spamc to spamd"),
             ("message", "rspamc", "one message: rspamc to rspamd"),
             ("folder", "rspamc-folder", "a folder: rspamc to rspamd, tallyvex-scan -j 2"))
    for ours, peer, label in peers:
        if ours in rounds and peer in rounds:
            count = rounds[ours]["notes"].get("messages")
            faster = paired(rounds[peer], rounds[ours], "wall_ms", operator.truediv)
            rows.append((f"5. Peers, {label}" + (f" ({count:,.0f} real messages)" if count else "") + " (wall)",
                         ms(statistics.median(rounds[ours]["wall_ms"])),
                         ms(statistics.median(rounds[peer]["wall_ms"])), f"{faster:,.1f}× as fast", "report", "–",
                         rounds[ours]["load"]))
    check = runs.get("rspamd_check")
    if check:
        samples = check["samples"]
        scored = all(sample["symbols"] for sample in samples) and check["dns_requests"] == check["unresolved"] == 0
        rows.append(("5. rspamd scores spam without the network",
                     "; ".join(f"{sample['name']}: {len(sample['symbols'])} symbols, score {sample['score']}"
                               for sample in samples), "",
                     f"{check['dns_requests']} DNS requests in {check['scans']} scans, "
                     f"{check['unresolved']} names not resolved", "symbols, no DNS", holds(scored), ""))
    return rows


def main():
    runs = {}
    for path in sys.argv[1:]:
        loaded = load(path)
        # Two measurements of one name would hide one of them.
        if runs.keys() & loaded.keys():
            sys.exit(f"bench-table: {path} measures again {', '.join(sorted(runs.keys() & loaded.keys()))}")
        runs.update(loaded)
    rows = []

    def compare(name, fast, reference, target, holds):
        if fast is None:
            rows.append((name, "not run", "", "", target, "–"))
            return
        ratio = reference["cpu_ms"] / fast["cpu_ms"] if reference else None
        rows.append((name, ms(fast["cpu_ms"]), ms(reference["cpu_ms"]) if reference else "not run",
                     f"{ratio:,.0f}×" if ratio else "", target, "yes" if holds(fast, ratio) else "NO"))

    compare("W1 5 KB message × shipped definitions (whole scan)", find(runs, "W1/fast:1"), find(runs, "W1/fast:0"),
            "≤ 0.05 ms", lambda f, r: f["cpu_ms"] <= 0.05)
    compare("W1 engine alone (fold, walk, first occurrences)", find(runs, "W1Engine"), None, "≤ 0.05 ms",
            lambda f, r: f["cpu_ms"] <= 0.05)
    compare("W2 5 KB × 32,768 phrases", find(runs, "W2/fast:1"), find(runs, "W2/fast:0"), "≥ 500× faster",
            lambda f, r: r is not None and r >= 500)
    compare("W2 engine alone (fold, walk, first occurrences)", find(runs, "W2Engine"), find(runs, "W2/fast:0"),
            "≥ 500× faster", lambda f, r: r is not None and r >= 500)
    compare("W3 1 MB × 1,000 phrases", find(runs, "W3/fast:1"), find(runs, "W3/fast:0"), "≥ 100× faster",
            lambda f, r: r is not None and r >= 100)
    compare("W4 1 MB × 32,768 phrases, scan", find(runs, "W4"), None, "≤ 50 ms", lambda f, r: f["cpu_ms"] <= 50)
    build = find(runs, "W4Build")
    compare("W4 automaton build", build, None, "≤ 300 ms", lambda f, r: f["cpu_ms"] <= 300)
    if build:
        memory = build["engine_MiB"]
        rows.append(("W4 engine heap after the scan", f"{memory:.1f} MiB", "", "", "≤ 64 MiB",
                     "yes" if memory <= 64 else "NO"))
    compare("W5 200,000 × \"a\", phrases \"a\" … 200 × \"a\"", find(runs, "W5/fast:1"), find(runs, "W5/fast:0"),
            "≤ 5 ms", lambda f, r: f["cpu_ms"] <= 5)
    compare("W6 window region from the committed skin", find(runs, "W6"), None, "≤ 5 ms",
            lambda f, r: f["cpu_ms"] <= 5)
    scan = find(runs, "W7/spamfilter:0")
    filt = find(runs, "W7/spamfilter:1")
    rows.append(("W7 tallyvex-scan process, 6.5 KB message (wall)", ms(scan["real_ms"]) if scan else "not run",
                 ms(filt["real_ms"]) + " (spamassassin -L -t)" if filt else "spamassassin not installed",
                 f"{filt['real_ms'] / scan['real_ms']:,.0f}×" if scan and filt else "", "report", "–"))

    normal = find(runs, "W8/step:0")
    stepped = find(runs, "W8/step:1")
    if normal and stepped:
        times = stepped["real_ms"] / normal["real_ms"]
        rows.append(("W8 tallyvex-scan --step, 1 MB body, every stop printed (wall)", ms(stepped["real_ms"]),
                     ms(normal["real_ms"]) + " (normal scan)", f"{times:,.1f}× the normal scan", "≤ 10×",
                     "yes" if times <= 10 else "NO"))
    long_phrases = find(runs, "W9")
    compare("W9 32,768 phrases of 1,000 characters (33 MB): load and build", long_phrases, None, "≤ 3 s",
            lambda f, r: f["cpu_ms"] <= 3000)
    if long_phrases:
        per_char = long_phrases["automaton_bytes_per_char"]
        rows.append(("W9 automaton memory per phrase character", f"{per_char:.1f} bytes", "", "", "≤ 32 bytes",
                     "yes" if per_char <= 32 else "NO"))

    prose = find(runs, "W10Engine")
    hyperscan = find(runs, "W10Hyperscan")
    if prose:
        ratio = hyperscan["cpu_ms"] / prose["cpu_ms"] if hyperscan else None
        rows.append(("W10 prose, 1 MiB × 32,768 phrases: engine alone (fold, walk, first occurrences)",
                     ms(prose["cpu_ms"]), ms(hyperscan["cpu_ms"]) + " (Hyperscan, every match)" if hyperscan
                     else "Hyperscan not built", f"{ratio:.2f}× Hyperscan's time" if ratio else "",
                     "≥ 1.0× (as fast as Hyperscan)", "yes" if ratio and ratio >= 1.0 else "NO"))
    compare("W10 prose, whole scan", find(runs, "W10"), None, "≤ 50 ms", lambda f, r: f["cpu_ms"] <= 50)
    prose_build = find(runs, "W10Build")
    compare("W10 automaton build", prose_build, None, "≤ 300 ms", lambda f, r: f["cpu_ms"] <= 300)
    if prose_build:
        memory = prose_build["engine_MiB"]
        rows.append(("W10 engine memory after the scan", f"{memory:.1f} MiB", "", "", "≤ 64 MiB",
                     "yes" if memory <= 64 else "NO"))

    pages = {size: find(runs, f"W11/KB:{size}") for size in (300, 10240)}
    for size, label, limit in ((300, "300 KB", 1500), (10240, "10 MB", 3000)):
        compare(f"W11 HTML page on one line, {label}: text, title and places read", pages[size], None,
                f"≤ {limit / 1000:g} s", lambda f, r, limit=limit: f["cpu_ms"] <= limit)
    if pages[300] and pages[10240]:
        # Linear: the same time per byte at both sizes; a reader quadratic in the line would take 34× as long.
        growth = (pages[10240]["cpu_ms"] / pages[10240]["page_bytes"]) / (pages[300]["cpu_ms"] / pages[300]["page_bytes"])
        rows.append(("W11 time per byte, 10 MB page against 300 KB", f"{growth:.2f}×", "", "", "≤ 2× (linear)",
                     "yes" if growth <= 2 else "NO"))

    true, qtcore = runs.get("process:true"), runs.get("process:qtcore")
    if true and qtcore:
        floors = f"/bin/true {ms(true['real_ms'])}, Qt Core started {ms(qtcore['real_ms'])}"
        for name, label, limit in (("scan", "plain text message", 5), ("eml", "saved e-mail (--eml)", 7)):
            process = runs.get("process:" + name)
            if process:
                rows.append((f"tallyvex-scan start to end, {label}, shipped definitions (wall, median of 20)",
                             ms(process["real_ms"]), floors, "", f"≤ {limit} ms",
                             "yes" if process["real_ms"] <= limit else "NO"))
    ours = runs.get("process:eml-shell")
    for name, label in (("spamassassin", "spamassassin -L -t"), ("spamc", "spamc to a local spamd")):
        peer = runs.get("process:" + name)
        if ours and peer:
            rows.append((f"Per message vs {label} (wall, median)", ms(ours["real_ms"]), ms(peer["real_ms"]),
                         f"{peer['real_ms'] / ours['real_ms']:,.0f}× faster", "report", "–"))

    window = find(runs, "WindowScan")
    if window:
        rows.append(("10 MB body in the real window (offscreen): press \"Scan\" until painted (wall)",
                     ms(window["real_ms"]), "", "", "well under 1 s", "yes" if window["real_ms"] < 500 else "NO"))

    step = find(runs, "WindowStep")
    if step:
        rows.append(("10 MB body in the real window: each press of \"Next\" until painted (wall)", ms(step["real_ms"]),
                     "", "", "≤ 50 ms", "yes" if step["real_ms"] <= 50 else "NO"))

    typing = find(runs, "WindowTyping")
    if typing:
        rows.append(("1 MB body on one line: one key typed, until painted (wall)", ms(typing["real_ms"]), "", "",
                     "no visible lag (≤ 50 ms)", "yes" if typing["real_ms"] <= 50 else "NO"))
    for size, limit in ((10, 1000), (50, 5000)):
        line = find(runs, f"WindowOneLine/{size}")
        if not line:
            continue
        for action in ("paste", "scan"):
            value = line[f"{action}_ms"]
            rows.append((f"{size} MB body on one line: press \"{action.capitalize()}\" until painted (wall)", ms(value),
                         "", "", f"≤ {limit / 1000:.0f} s", "yes" if value <= limit else "NO"))
        if size == 50:
            peak = line["peak_MiB"]
            rows.append(("50 MB body on one line: peak memory of the process", f"{peak:.0f} MiB", "", "", "≤ 1 GiB",
                         "yes" if peak <= 1024 else "NO"))

    typing = find(runs, "HighlightTyping")
    if typing:
        rows.append(("100 KB body, marks on: one key typed, until painted (wall)", ms(typing["real_ms"]), "", "",
                     "≤ 16 ms", "yes" if typing["real_ms"] <= 16 else "NO"))
        rows.append(("100 KB body: the marks found and shown once the text rests (wall)", ms(typing["marks_ms"]), "",
                     "", "≤ 16 ms", "yes" if typing["marks_ms"] <= 16 else "NO"))
    marks = find(runs, "HighlightMarks")
    if marks:
        rows.append(("1 MB body: the marks found and shown, until painted (wall)", ms(marks["real_ms"]), "", "",
                     "≤ 100 ms", "yes" if marks["real_ms"] <= 100 else "NO"))
    menu = find(runs, "ReplaceMenu")
    if menu:
        rows.append(("1 MB body just edited: the context menu of a phrase with its wordings, until shown (wall)",
                     ms(menu["real_ms"]), "", "", "≤ 50 ms", "yes" if menu["real_ms"] <= 50 else "NO"))
    off = find(runs, "HighlightPaste/highlight:0")
    on = find(runs, "HighlightPaste/highlight:1")
    if off and on:
        times = on["real_ms"] / off["real_ms"]
        rows.append(("10 MB body: press \"Paste\" until painted, marks on until shown (wall)", ms(on["real_ms"]),
                     ms(off["real_ms"]) + " (marks off)", f"{times:.2f}× marks off", "≤ 1.5×",
                     "yes" if times <= 1.5 else "NO"))

    loads = ", ".join(f"{name.removeprefix('load:')} {value}" for name, value in runs.items()
                      if name.startswith("load:"))
    print(f"Load average as the benchmark programs began: {loads}")
    print("| workload | fast engine (CPU) | plain search (CPU) | ratio | target | holds |")
    print("|---|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()
    print("| target | Tallyvex | reference | ratio or difference | target | holds | load average |")
    print("|---|---|---|---|---|---|---|")
    for row in target_rows(runs):
        print("| " + " | ".join(row) + " |")


main()
