"""Rating labelled folders of messages with tallyvex-scan, the product's own rater.

Shared by tools/evaluate-definitions and tools/choose-definitions: both let tallyvex-scan do every
count, so what they report is exactly what a user of Tallyvex sees.
"""

import json
import os
import subprocess
import sys
from dataclasses import dataclass, field
from pathlib import Path

PROJECT_ROOT = Path(__file__).resolve().parent.parent
DEFAULT_SCAN = PROJECT_ROOT / "build" / "bin" / "tallyvex-scan"
SHIPPED_DEFINITIONS = PROJECT_ROOT / "resources" / "Definitions.dat"
MAIL_TRAIN = PROJECT_ROOT.parent / "shared" / "mail-train"
MAIL_TRAIN_LABELS = ("ham", "hard-ham", "spam")
SPAM_LABEL = "spam"
FLAGGED = ("Questionable", "Fail")
# tallyvex-scan's exit statuses 0 to 2 are verdicts; 65, 66 and 74 name inputs that could not be rated.
UNREADABLE_INPUTS = (65, 66, 74)


@dataclass
class RatedMessage:
    file: str
    verdict: str
    score: float
    # The percentage number (score per character x 120); 0 when nothing was found.
    percentage: float
    # Per phrase, what its occurrences added in weights: one per counted occurrence, two for capitals.
    counts: dict = field(default_factory=dict)

    @property
    def flagged(self):
        return self.verdict in FLAGGED


class RatingError(Exception):
    pass


def labelled_folders(folders):
    """[(label, path)] from "LABEL=FOLDER" or "FOLDER" (labelled by its name); the mail-train folders by default."""
    if not folders:
        return [(label, MAIL_TRAIN / label) for label in MAIL_TRAIN_LABELS]
    labelled = []
    for given in folders:
        label, sep, path = given.partition("=")
        labelled.append((label, Path(path)) if sep else (Path(given).name, Path(given)))
    return labelled


def missing_folders(labelled):
    return [str(path) for _, path in labelled if not path.is_dir()]


def skip_if_missing(labelled):
    """Ends the run with a clear message (status 0: nothing to measure is not a fault) when a folder is absent."""
    missing = missing_folders(labelled)
    if missing:
        print("skipped: no labelled mail in " + ", ".join(missing)
              + " (give labelled folders as LABEL=FOLDER, or lay out ../shared/mail-train)", file=sys.stderr)
        sys.exit(0)


def find_scan(given=None):
    scan = Path(given) if given else Path(os.environ.get("TALLYVEX_SCAN", DEFAULT_SCAN))
    if not scan.is_file():
        raise RatingError(f"{scan}: tallyvex-scan not found; build it first (cmake --build build) or give --scan")
    return scan


def number(caption):
    return float(caption.replace(",", ""))


def rate(scan, definitions, paths):
    """Rates every message under the given files and folders with tallyvex-scan; one RatedMessage each."""
    command = [str(scan), "--format", "json", "--no-summary", "--fail-on", "never", "--definitions",
               str(definitions)] + [str(path) for path in paths]
    # Numbers in the reports follow the locale; the C locale keeps them plain.
    environment = dict(os.environ, LC_ALL="C.UTF-8")
    run = subprocess.run(command, capture_output=True, text=True, env=environment)
    if run.returncode not in (0, *UNREADABLE_INPUTS) or (run.returncode and not run.stdout):
        raise RatingError(f"{scan} ended with status {run.returncode}: {run.stderr.strip()}")
    rated = []
    for line in run.stdout.splitlines():
        report = json.loads(line)
        if "error" in report:
            print(f"not rated: {report['file']}: {report['error']}", file=sys.stderr)
            continue
        counts = {}
        for occurrence in report["occurrences"]:
            phrase = occurrence["phrase"]
            counts[phrase] = counts.get(phrase, 0) + (2 if occurrence["bold"] else 1)
        rated.append(RatedMessage(report["file"], report["verdict"], number(report["score"]),
                                  number(report["percentage"].replace("%", "") or "0"), counts))
    return rated


def rate_folders(scan, definitions, labelled):
    """{label: [RatedMessage]} for [(label, folder)]."""
    return {label: rate(scan, definitions, [folder]) for label, folder in labelled}
