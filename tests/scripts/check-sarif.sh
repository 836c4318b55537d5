#!/usr/bin/env bash
# Writes the SARIF logs of a run over a folder of templates, drafts and a mailbox (with a file that is
# missing and a name that is not UTF-8; the definitions have plainer wordings, so the results hold fixes), of
# a run whose only input is missing and of a run whose definitions cannot be used, and validates each: with --schema against the SARIF 2.1.0 JSON schema (Python's
# jsonschema), with --multitool by the SARIF Multitool. Any error fails the check. The Multitool check
# exits 77 (skipped) only when the Multitool cannot be installed.
# Usage: check-sarif.sh --schema|--multitool TALLYVEX_SCAN SOURCE_ROOT
set -euo pipefail
mode="$1"
scan="$(realpath "$2")"
root="$3"
if [ "$mode" = --multitool ] && ! multitool=$("$root/scripts/sarif-multitool"); then
    echo "SKIPPED: the SARIF Multitool cannot be installed here (npm missing or no network)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/campaign/drafts" "$work/out"
printf '<html><head><title>Free {{ offer }}</title></head>\n<body>\n  <p>Hi *|FNAME|*, act now &amp; <b>click here</b></p>\n</body></html>\n' \
    >"$work/campaign/welcome.html"
printf 'Dear %%%%first_name%%%%,\n\nfree stuff: click here\n' >"$work/campaign/drafts/note.txt"
printf 'free offer\n' >"$work/campaign/drafts/$(printf 'spam\351.txt')"
printf 'Subject: FREE\r\n\r\nact now\r\n' >"$work/campaign/drafts/saved.eml"
printf 'From a@example.com Mon Jan  1 10:00:00 2024\nSubject: free\n\nclick here\n\nFrom b@example.com Mon Jan  1 10:01:00 2024\nSubject: hi\n\nact now\n' \
    >"$work/campaign/inbox.eml"
printf 'no header line\n' >"$work/bad.dat"

# The definitions with plainer wordings beside them, so that the logs hold fixes as well.
mkdir -p "$work/definitions"
cp "$root/tests/data/small.dat" "$work/definitions/Definitions.dat"
printf 'Wordings\t1\r\nfree\tat no cost\r\nact now\treply soon\t(remove)\r\nclick here\tsee the link\r\n' \
    >"$work/definitions/Alternatives.dat"

# Each run fails on purpose or reports a missing file, and exits with its status: that is no fault of the check.
definitions="$work/definitions/Definitions.dat"
(cd "$work" && "$scan" -d "$definitions" --format sarif campaign campaign/missing.txt >out/campaign.sarif) || true
(cd "$work" && "$scan" -d "$definitions" --format sarif campaign/missing.txt >out/missing.sarif) || true
(cd "$work" && "$scan" -d bad.dat --format sarif campaign >out/definitions.sarif) || true
fixed=$(python3 -c 'import json,sys; print(sum(1 for r in json.load(open(sys.argv[1]))["runs"][0]["results"] if r.get("fixes")))' \
    "$work/out/campaign.sarif")
if [ "$fixed" -eq 0 ]; then
    echo "The campaign's log holds no results with fixes"
    exit 1
fi

if [ "$mode" = --schema ]; then
    python3 - "$root/tests/sarif/sarif-2.1.0.json" "$work"/out/*.sarif <<'PYTHON'
import json, sys
try:
    import jsonschema
except ImportError:
    sys.exit("Python's jsonschema is missing: install python3-jsonschema (scripts/test does)")
schema = json.load(open(sys.argv[1]))
validator = jsonschema.validators.validator_for(schema)(schema, format_checker=jsonschema.FormatChecker())
failed = False
for log in sys.argv[2:]:
    errors = sorted(validator.iter_errors(json.load(open(log))), key=lambda error: list(error.absolute_path))
    for error in errors:
        print(f"{log.rsplit('/', 1)[-1]}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
    print(f"{log.rsplit('/', 1)[-1]}: {len(errors)} schema errors")
    failed = failed or bool(errors)
sys.exit(1 if failed else 0)
PYTHON
    exit
fi

status=0
for log in "$work"/out/*.sarif; do
    name=$(basename "$log")
    DOTNET_SYSTEM_GLOBALIZATION_INVARIANT=1 "$multitool" validate "$log" -o "$work/out/$name.validation" --quiet
    python3 - "$work/out/$name.validation" "$name" <<'PYTHON' || status=1
import json, sys
findings = json.load(open(sys.argv[1]))["runs"][0].get("results", [])
errors = [f for f in findings if f.get("level") == "error"]
for finding in findings:
    print(sys.argv[2], finding.get("level", "warning"), finding.get("ruleId"), finding["message"].get("text", finding["message"]))
print(f"{sys.argv[2]}: {len(errors)} errors, {len(findings) - len(errors)} other findings")
sys.exit(1 if errors else 0)
PYTHON
done
exit $status
