#!/usr/bin/env bash
# Rates a folder of templates, drafts and a mailbox with --format sarif and has the SARIF Multitool validate
# the log: any error fails the check. Exits 77 (skipped) only when the Multitool cannot be installed.
# Usage: check-sarif.sh TALLYVEX_SCAN SOURCE_ROOT
set -euo pipefail
scan="$(realpath "$1")"
root="$2"
if ! multitool=$("$root/scripts/sarif-multitool"); then
    echo "SKIPPED: the SARIF Multitool cannot be installed here (npm missing or no network)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/campaign/drafts" "$work/out"
printf '<html><head><title>Free {{ offer }}</title></head>\n<body>\n  <p>Hi *|FNAME|*, act now &amp; <b>click here</b></p>\n</body></html>\n' \
    >"$work/campaign/welcome.html"
printf 'Dear %%%%first_name%%%%,\n\nfree stuff: click here\n' >"$work/campaign/drafts/note.txt"
printf 'Subject: FREE\r\n\r\nact now\r\n' >"$work/campaign/drafts/saved.eml"
printf 'From a@example.com Mon Jan  1 10:00:00 2024\nSubject: free\n\nclick here\n\nFrom b@example.com Mon Jan  1 10:01:00 2024\nSubject: hi\n\nact now\n' \
    >"$work/campaign/inbox.eml"

# The run reports a missing file too, and exits with its status: that is no fault of the check.
(cd "$work" && "$scan" -d "$root/tests/data/small.dat" --format sarif campaign campaign/missing.txt >out/run.sarif) || true
results=$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))["runs"][0]["results"]))' "$work/out/run.sarif")
if [ "$results" -eq 0 ]; then
    echo "The log holds no results"
    exit 1
fi

DOTNET_SYSTEM_GLOBALIZATION_INVARIANT=1 "$multitool" validate "$work/out/run.sarif" -o "$work/out/validation.sarif" \
    --quiet
python3 - "$work/out/validation.sarif" <<'PYTHON'
import json, sys
findings = json.load(open(sys.argv[1]))["runs"][0].get("results", [])
errors = [f for f in findings if f.get("level") == "error"]
for finding in findings:
    print(finding.get("level", "warning"), finding.get("ruleId"), finding["message"].get("text", finding["message"]))
print(f"{len(errors)} errors, {len(findings) - len(errors)} other findings")
sys.exit(1 if errors else 0)
PYTHON
