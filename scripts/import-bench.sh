#!/usr/bin/env bash
# Import benchmark: generates its own text files and imports them with tarnwick-cli
# into new .accdb files, printing rows and MB per second, peak memory and file size.
#   scripts/import-bench.sh [CREATE_LINES] [APPEND_LINES]   (defaults 1000000 and 200000)
set -euo pipefail
cd "$(dirname "$0")/.."
create_lines=${1:-1000000}
append_lines=${2:-200000}

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tarnwick-cli bench_table >/dev/null 2>&1
cli=build/release/cli/tarnwick-cli
bench_table=build/release/bench/import/bench_table

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Lines of ten fields of eight lower-case letters; with "id" the first field is empty,
# so that an AutoNumber column takes the next number.
generate() { # lines file [id]
    awk -v lines="$1" -v id="${3:-}" 'BEGIN {
        srand(7); sep = ", "
        for (n = 0; n < lines; n++) {
            line = (id != "") ? "" sep : ""
            for (f = 0; f < 10; f++) {
                word = ""
                for (c = 0; c < 8; c++) word = word sprintf("%c", 97 + int(rand() * 26))
                line = line word (f < 9 ? sep : "")
            }
            print line
        }
    }' > "$2"
}

# Runs an import under /usr/bin/time and prints its figures.
measure() { # label lines input database import-arguments...
    local label=$1 lines=$2 input=$3 database=$4
    shift 4
    local report="$work/time.txt"
    sync # earlier runs' files finish reaching the disk first, not during this one
    /usr/bin/time -v -o "$report" "$cli" import "$database" "$@" "$input" >/dev/null
    local seconds kilobytes
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$report")
    kilobytes=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$report")
    local input_bytes size
    input_bytes=$(stat -c %s "$input")
    size=$(stat -c %s "$database")
    awk -v label="$label" -v lines="$lines" -v s="$seconds" -v kb="$kilobytes" -v in_b="$input_bytes" -v size="$size" 'BEGIN {
        printf "%-28s %9d rows  %6.2f s  %9.0f rows/s  %6.1f MB/s  peak %6.1f MB (input %.1f MB)  file %.1f MB\n",
               label, lines, s, lines / s, in_b / 1e6 / s, kb / 1024, in_b / 1e6, size / 1e6
    }'
}

generate "$create_lines" "$work/create.txt"
generate "$append_lines" "$work/append.txt" id

"$cli" new-database "$work/create.accdb" >/dev/null
measure "create, 10 text fields" "$create_lines" "$work/create.txt" "$work/create.accdb" --create Rows --columns-from-prompt c1,c2,c3,c4,c5,c6,c7,c8,c9,c10

# The same rows without Unicode compression: the size Jet's own DDL would give.
"$cli" new-database "$work/plain.accdb" >/dev/null
"$bench_table" "$work/plain.accdb" Rows uncompressed 10
measure "append, uncompressed text" "$create_lines" "$work/create.txt" "$work/plain.accdb" --append Rows
awk -v ours="$(stat -c %s "$work/create.accdb")" -v plain="$(stat -c %s "$work/plain.accdb")" \
    'BEGIN { printf "size with compression: %.0f%% of the uncompressed file\n", 100 * ours / plain }'

"$cli" new-database "$work/indexed.accdb" >/dev/null
"$bench_table" "$work/indexed.accdb" Indexed indexed 10
measure "append, AutoNumber key+index" "$append_lines" "$work/append.txt" "$work/indexed.accdb" --append Indexed
"$cli" check "$work/indexed.accdb" >/dev/null && echo "indexed database: check passed"
