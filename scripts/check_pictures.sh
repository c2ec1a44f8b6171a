#!/usr/bin/env bash
# Checks that scripts/make_pictures.py still draws the committed pictures: it draws them into a
# scratch folder, and every file it writes must be the same, byte for byte, as the tracked file
# of that name (matched by its path below the scratch folder, wherever it is kept in the tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

python3 "$root/scripts/make_pictures.py" "$scratch" >/dev/null
mapfile -t written < <(cd "$scratch" && find . -type f | sed 's|^\./||' | sort)
[ ${#written[@]} -gt 0 ] || { echo "FAIL make_pictures.py wrote nothing" >&2; exit 1; }

failed=0
for file in "${written[@]}"; do
    mapfile -t tracked < <(git -C "$root" ls-files | awk -v p="$file" \
        '$0 == p || substr($0, length($0) - length(p)) == "/" p')
    if [ ${#tracked[@]} -ne 1 ]; then
        echo "FAIL $file: ${#tracked[@]} tracked files of that name (${tracked[*]:-none})" >&2
        failed=1
    elif ! cmp -s "$scratch/$file" "$root/${tracked[0]}"; then
        echo "FAIL ${tracked[0]} differs from what make_pictures.py draws" >&2
        failed=1
    fi
done
[ $failed -eq 0 ] || exit 1
echo "ok   make_pictures.py draws the ${#written[@]} committed pictures byte for byte"
