#!/usr/bin/env python3
"""tools/evaluate-definitions on a tiny labelled folder: its verdict counts per label and the phrases it names
as flagging legitimate mail. Usage: check-evaluate-definitions.py TALLYVEX_SCAN SOURCE_DIR"""

import subprocess
import sys
import tempfile
from pathlib import Path

scan, source = sys.argv[1], Path(sys.argv[2])
FILLER = "This line is here so that the message is long enough for its score to decide the verdict. " * 2

# label, file, subject, body: with free 1.5, winner 3.0 and meeting 0.5, capitals counting twice.
MESSAGES = [
    ("ham", "1.eml", "Lunch", "See you at the meeting tomorrow."),  # 0.5: Pass
    ("ham", "2.eml", "Raffle", "Our free raffle has a winner."),  # 4.5: Questionable
    ("news", "1.eml", "Offers", "A free guide and a free map."),  # 3.0: Questionable
    ("news", "2.eml", "Weekly", "Nothing to report this week."),  # Pass
    ("spam", "1.eml", "Prize", "FREE gift: you are a winner."),  # 6.0: Fail
    ("spam", "2.eml", "Prize", "You are a winner."),  # 3.0: Questionable
]

with tempfile.TemporaryDirectory() as work:
    work = Path(work)
    for label, name, subject, body in MESSAGES:
        (work / label).mkdir(exist_ok=True)
        (work / label / name).write_text(f"Subject: {subject}\r\nContent-Type: text/plain\r\n\r\n{body}\r\n{FILLER}\r\n")
    definitions = work / "own.dat"
    definitions.write_bytes(b"Test\t1\r\nfree\t1.5\r\nwinner\t3.0\r\nmeeting\t0.5\r\n")
    tool = [sys.executable, str(source / "tools" / "evaluate-definitions"), "--scan", scan]
    run = subprocess.run(tool + ["--definitions", str(definitions), "--definitions", str(definitions), "--top", "5"]
                         + [str(work / label) for label in ("ham", "news", "spam")],
                         capture_output=True, text=True)
    missing = subprocess.run(tool + [str(work / "absent")], capture_output=True, text=True)

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


expect(run.returncode == 0, f"status {run.returncode}: {run.stderr}")
lines = run.stdout.splitlines()
rows = {line.split()[0]: line.split("|")[0].split() for line in lines if line.split()[:1] in (["ham"], ["news"], ["spam"])}
expected_rows = {
    "ham": ["ham", "2", "1", "1", "0", "50.0", "%"],
    "news": ["news", "2", "1", "1", "0", "50.0", "%"],
    "spam": ["spam", "2", "0", "1", "1", "100.0", "%"],
}
expect(rows == expected_rows, f"verdict rows {rows}")
table = [i for i, line in enumerate(lines) if line.lstrip().startswith("phrase")][:1]
flaggers = [line.split() for line in lines[table[0] + 1:table[0] + 3]] if table else []
expected_flaggers = [
    ["free", "2", "50.0", "%", "50.0", "%", "50.0", "%"],
    ["winner", "1", "50.0", "%", "0.0", "%", "100.0", "%"],
]
expect(flaggers == expected_flaggers, f"phrases that flag legitimate mail {flaggers}")
expect(not any(line.split()[:1] == ["meeting"] for line in lines), "a phrase only in passed mail is listed")
expect(missing.returncode == 0 and "skipped" in missing.stderr and "absent" in missing.stderr,
       f"an absent folder: status {missing.returncode}, {missing.stderr!r}")

if failures:
    print("\n".join(failures) + "\n--- output\n" + run.stdout, file=sys.stderr)
    sys.exit(1)
print("evaluate-definitions counts verdicts and names the phrases that flag legitimate mail")
