#!/usr/bin/env bash
# Builds tarnwick-cli and shows its main job: a new Access database, two text files
# imported into new tables, a third appended, and the rows read back (also by mdbtools,
# an independent reader). With a DATABASE argument, a copy of that database is used
# instead of a new one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target tarnwick-cli -j"$(nproc)" >/dev/null
cli=build/release/cli/tarnwick-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ $# -gt 0 ]; then
    cp "$1" "$work/"
    database="$work/$(basename "$1")"
    chmod u+w "$database"
else
    database="$work/demo.accdb"
    echo "== new-database demo.accdb"
    "$cli" new-database "$database"
fi
printf 'Name, City\r\nAnna, Oslo\r\nO'"'"'Hara, Rome\r\n' >"$work/people.txt"
printf 'Name, City\r\nÉmile, Zürich\r\n' >"$work/more.txt"
printf 'Name, City\r\nKofi, Accra\r\n' >"$work/later.txt"
iconv -f UTF-8 -t WINDOWS-1252 "$work/more.txt" >"$work/more-ansi.txt" # text files are ANSI

echo "== import --create 'People[counter]' people.txt more.txt"
"$cli" import "$database" --create 'People[counter]' "$work/people.txt" "$work/more-ansi.txt"
echo "== tables"
"$cli" tables "$database"
first=$("$cli" tables "$database" | grep '^People' | head -n 1)
echo "== import --append $first --skip-header later.txt"
"$cli" import "$database" --append "$first" --skip-header "$work/later.txt"
echo "== dump $first"
"$cli" dump "$database" "$first"
if command -v mdb-export >/dev/null; then
    echo "== mdb-export $first (mdbtools)"
    mdb-export "$database" "$first"
fi
echo "== check"
"$cli" check "$database"
