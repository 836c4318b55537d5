#!/usr/bin/env bash
# Checks that the source folders depend one way only: every include of a project header names its
# folder, and a folder includes only its own headers and those of the folders below it.
# Usage: check-layers.sh [SOURCE_ROOT]; prints each wrong include and exits 1 if there is any.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/../.." && pwd)}"

# The rank of each layer: a folder may include the folders of a lower rank, never one of the same rank
# beside it, never one above it.
declare -A rank=(
    [app]=4 [cli]=4 [lsp]=4
    [mainwindow]=3 [startup]=3
    [forms]=2
    [scanner]=1 [messagefile]=1 [platform]=1
    [textio]=0
)

faults=0
for folder in "${!rank[@]}"; do
    [ -d "$root/$folder" ] || continue
    while IFS=: read -r file line include; do
        target="${include#*\"}"
        target="${target%%\"*}"
        relative="${file#"$root"/}"
        if [[ "$target" != */* ]]; then
            # A bare name is fine only for the moc output Qt generates beside the source.
            [[ "$target" == moc_* || "$target" == *.moc ]] && continue
            echo "$relative:$line: include \"$target\" does not name its folder"
            faults=$((faults + 1))
            continue
        fi
        layer="${target%%/*}"
        [ "$layer" = "$folder" ] && continue
        if [ -z "${rank[$layer]+set}" ] || [ "${rank[$layer]}" -ge "${rank[$folder]}" ]; then
            echo "$relative:$line: $folder/ must not include $target"
            faults=$((faults + 1))
        fi
    done < <(grep -rn --include='*.cpp' --include='*.h' --include='*.in' -E '^\s*#\s*include\s+"' "$root/$folder" || true)
done

if [ "$faults" -gt 0 ]; then
    echo "$faults include(s) break the layering (see docs/architecture.md)"
    exit 1
fi
echo "Every include follows the layering"
