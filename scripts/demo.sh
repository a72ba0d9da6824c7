#!/usr/bin/env bash
# Builds tarnwick-cli and runs it on a real Access database: the table list, a table's
# rows as CSV, and the import, whose first statement the engine refuses until writing
# into databases is built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target tarnwick-cli -j"$(nproc)"
cli=build/release/cli/tarnwick-cli

database=${1:-../shared/fixtures/jet4/testV2000.mdb}
if [ ! -f "$database" ]; then
    echo "usage: scripts/demo.sh DATABASE.mdb|DATABASE.accdb" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$database" "$work/"
copy="$work/$(basename "$database")"
printf 'Name,City\r\nAnna,Oslo\r\nO'"'"'Hara,Rome\r\n' >"$work/people.txt"

echo "== tables"
"$cli" tables "$copy"
first=$("$cli" tables "$copy" | head -n 1)
echo "== dump $first"
"$cli" dump "$copy" "$first" | head -n 10
echo "== import"
"$cli" import "$copy" --separator , --create 'People[counter]' "$work/people.txt" || true
