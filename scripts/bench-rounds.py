#!/usr/bin/env python3
"""Times whole processes in alternating rounds: every round runs each command once, in the order given, so
that a load which comes and goes on a shared machine falls on all of them alike; the table takes medians.

    bench-rounds.py OUT ROUNDS [--warmup N] [--json-output NAME]... [--note KEY=NUMBER]...
                    -- NAME WORD... [-- NAME WORD...]...

Each command is a name and its words; when its last two words are "<" and a file, the file is its standard
input. Its standard output is discarded, unless its name is given with --json-output: then it is kept as
one JSON document (a harness or benchmark program that reports its own timings). OUT receives, per
command, the wall and processor (user and system) times of each round in milliseconds, and the load
average before and after the rounds. A command that exits with status 64 or more, or is killed by a
signal, stops the run: statuses below 64 are verdicts (tallyvex-scan exits 1 or 2 for a questionable or
failing message)."""
import argparse
import itertools
import json
import os
import resource
import shlex
import subprocess
import sys
import tempfile
import time


def load_average():
    with open("/proc/loadavg") as averages:
        return " ".join(averages.read().split()[:3])


def parse_commands(words):
    """(name, words, standard input or None) of each command of `words`, the groups after each "--"."""
    commands = []
    for separator, group in itertools.groupby(words, key=lambda word: word == "--"):
        group = list(group)
        if separator:
            continue
        if len(group) < 2:
            sys.exit(f"bench-rounds: a command needs a name and a program: {' '.join(group)}")
        source = None
        if len(group) >= 4 and group[-2] == "<":
            source, group = group[-1], group[:-2]
        commands.append((group[0], group[1:], source))
    return commands


def children_cpu_ms():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (usage.ru_utime + usage.ru_stime) * 1e3


def run(name, words, source, keep_output):
    """Wall and processor milliseconds of one run, and its output read as JSON when it is kept."""
    with tempfile.TemporaryFile() as errors, tempfile.TemporaryFile() as output, \
            open(source or os.devnull, "rb") as stdin:
        cpu = children_cpu_ms()
        start = time.perf_counter()
        status = subprocess.call(words, stdin=stdin, stdout=output if keep_output else subprocess.DEVNULL,
                                 stderr=errors)
        wall = (time.perf_counter() - start) * 1e3
        cpu = children_cpu_ms() - cpu
        if status < 0 or status >= 64:
            errors.seek(0)
            sys.exit(f"bench-rounds: {name} ({shlex.join(words)}) exited with status {status}:\n"
                     + errors.read().decode(errors="replace")[-2000:])
        output.seek(0)
        return wall, cpu, json.loads(output.read()) if keep_output else None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out")
    parser.add_argument("rounds", type=int)
    parser.add_argument("--warmup", type=int, default=1, help="rounds run first and not recorded")
    parser.add_argument("--json-output", action="append", default=[], metavar="NAME")
    parser.add_argument("--note", action="append", default=[], metavar="KEY=NUMBER",
                        help="a number about the commands kept with the times (e.g. how many messages they rate)")
    if "--" not in sys.argv:
        parser.error("no command (each follows a --)")
    split = sys.argv.index("--")
    arguments = parser.parse_args(sys.argv[1:split])
    commands = parse_commands(sys.argv[split:])

    results = {name: {"wall_ms": [], "cpu_ms": [], "output": []} for name, _, _ in commands}
    before = load_average()
    for round_number in range(arguments.warmup + arguments.rounds):
        for name, words, source in commands:
            wall, cpu, output = run(name, words, source, name in arguments.json_output)
            if round_number >= arguments.warmup:
                results[name]["wall_ms"].append(wall)
                results[name]["cpu_ms"].append(cpu)
                if output is not None:
                    results[name]["output"].append(output)
    with open(arguments.out, "w") as out:
        notes = {key: float(value) for key, _, value in (note.partition("=") for note in arguments.note)}
        json.dump({"rounds": results, "notes": notes, "load_before": before, "load_after": load_average()}, out,
                  indent=1)


main()
