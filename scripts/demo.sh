#!/usr/bin/env bash
# Builds tarnwick-cli, writes two small text files and imports them into a new database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target tarnwick-cli -j"$(nproc)"
cli=build/release/cli/tarnwick-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Name,City\r\nAnna,Oslo\r\nO'"'"'Hara,Rome\r\n' >"$work/people.txt"
printf 'Name,City\r\nBen,Lyon\r\n' >"$work/more.txt"

"$cli" new-database "$work/demo.accdb"
"$cli" import "$work/demo.accdb" --separator , --create 'People[counter]' "$work/people.txt" "$work/more.txt"
echo "Tables:"
"$cli" tables "$work/demo.accdb"
echo "People1:"
"$cli" dump "$work/demo.accdb" People1
