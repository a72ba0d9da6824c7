#!/usr/bin/env bash
# Import benchmark: generates its own text files and imports them with tarnwick-cli
# into new .accdb files (one of them encrypted with a password), printing rows and MB per
# second, peak memory and file size.
#   scripts/import-bench.sh [CREATE_LINES] [APPEND_LINES] [RUNS]   (defaults 1000000, 200000 and 3)
#   scripts/import-bench.sh --reading [CREATE_LINES] [RUNS]
#       the create import under the window's literal rules, with --text-qualifier on a file
#       without quotes and with --encoding utf-8 on ASCII text, each against the literal time
set -euo pipefail
cd "$(dirname "$0")/.."
reading=
if [ "${1:-}" = --reading ]; then
    reading=yes
    shift
    set -- "${1:-}" "" "${2:-}"
fi
create_lines=${1:-1000000}
append_lines=${2:-200000}
runs=${3:-3}

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tarnwick-cli bench_table >/dev/null 2>&1
cli=build/release/cli/tarnwick-cli
bench_table=build/release/bench/import/bench_table

password="" # the database password of the runs, which makes new-database encrypt the file
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

# Makes the database a run imports into: empty, or with the bench table of a kind.
prepare() { # database [table kind]
    rm -f "$1"
    "$cli" new-database "$1" ${password:+--password "$password"} >/dev/null
    if [ $# -eq 3 ]; then "$bench_table" "$1" "$2" "$3" 10; fi
}

# Runs an import `runs` times under /usr/bin/time, each into a database made afresh, and
# prints the figures of the median run with the range of rows per second: the machine is
# shared, and one run can be a third slower than the next.
measure() { # label lines input database "prepare arguments" import-arguments...
    local label=$1 lines=$2 input=$3 database=$4 setup=$5
    shift 5
    local results="$work/results.txt"
    : > "$results"
    for ((run = 0; run < runs; run++)); do
        # shellcheck disable=SC2086 # the prepare arguments are words
        prepare "$database" $setup
        sync # earlier runs' files finish reaching the disk first, not during this one
        /usr/bin/time -v -o "$work/time.txt" "$cli" import "$database" ${password:+--password "$password"} "$@" \
            "$input" >/dev/null 2>"$work/stderr.txt" || { cat "$work/stderr.txt" >&2; exit 1; }
        awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]}
                    /Maximum resident set size/ {kb = $2}
                    END {print s, kb}' "$work/time.txt" >> "$results"
    done
    local input_bytes size
    input_bytes=$(stat -c %s "$input")
    size=$(stat -c %s "$database")
    sort -n "$results" | awk -v label="$label" -v lines="$lines" -v in_b="$input_bytes" -v size="$size" '
        { s[NR] = $1; kb[NR] = $2 }
        END {
            m = int((NR + 1) / 2)
            printf "%-28s %9d rows  %6.2f s  %9.0f rows/s (%.0f-%.0f)  %6.1f MB/s  peak %6.1f MB (input %.1f MB)  file %.1f MB\n",
                   label, lines, s[m], lines / s[m], lines / s[NR], lines / s[1], in_b / 1e6 / s[m], kb[m] / 1024,
                   in_b / 1e6, size / 1e6
        }'
}

# The median run's seconds of the last measure.
median_seconds() { sort -n "$work/results.txt" | awk '{ s[NR] = $1 } END { print s[int((NR + 1) / 2)] }'; }

generate "$create_lines" "$work/create.txt"

if [ -n "$reading" ]; then
    prompt=(--create Rows --columns-from-prompt c1,c2,c3,c4,c5,c6,c7,c8,c9,c10)
    measure "create, literal rules" "$create_lines" "$work/create.txt" "$work/create.accdb" "" "${prompt[@]}" |
        tee "$work/literal.txt"
    measure "create, --text-qualifier" "$create_lines" "$work/create.txt" "$work/create.accdb" "" \
        --text-qualifier '"' "${prompt[@]}" | tee "$work/qualifier.txt"
    measure "create, --encoding utf-8" "$create_lines" "$work/create.txt" "$work/create.accdb" "" \
        --encoding utf-8 "${prompt[@]}" | tee "$work/utf8.txt"
    # Each option's time as a share of the literal rules' time, of the median runs and of the
    # fastest ones (the runs least slowed by the rest of the machine).
    awk '{ for (i = 1; i < NF; i++) if ($(i + 1) == "s") { t[FILENAME] = $i; break }
           match($0, /-[0-9]+\)/); best[FILENAME] = 1 / substr($0, RSTART + 1, RLENGTH - 2) }
         END { a = ARGV[1]; q = ARGV[2]; u = ARGV[3]
               printf "time against the literal rules, median (fastest) runs: --text-qualifier %.0f%% (%.0f%%), " \
                      "--encoding utf-8 %.0f%% (%.0f%%)\n", 100 * t[q] / t[a], 100 * best[q] / best[a],
                      100 * t[u] / t[a], 100 * best[u] / best[a] }' \
        "$work/literal.txt" "$work/qualifier.txt" "$work/utf8.txt"
    exit 0
fi

generate "$append_lines" "$work/append.txt" id

measure "create, 10 text fields" "$create_lines" "$work/create.txt" "$work/create.accdb" "" \
    --create Rows --columns-from-prompt c1,c2,c3,c4,c5,c6,c7,c8,c9,c10

plain_seconds=$(median_seconds)

# The same import into an encrypted database (agile AES-256, as new-database makes it).
password="bench password"
measure "create, encrypted .accdb" "$create_lines" "$work/create.txt" "$work/encrypted.accdb" "" \
    --create Rows --columns-from-prompt c1,c2,c3,c4,c5,c6,c7,c8,c9,c10
awk -v plain="$plain_seconds" -v encrypted="$(median_seconds)" \
    'BEGIN { printf "encrypted: %.2f times the time of the plain import\n", encrypted / plain }'
"$cli" check "$work/encrypted.accdb" --password "$password" >/dev/null && echo "encrypted database: check passed"
password=""

# The same rows without Unicode compression: the size Jet's own DDL would give.
measure "append, uncompressed text" "$create_lines" "$work/create.txt" "$work/plain.accdb" "Rows uncompressed" \
    --append Rows
awk -v ours="$(stat -c %s "$work/create.accdb")" -v plain="$(stat -c %s "$work/plain.accdb")" \
    'BEGIN { printf "size with compression: %.0f%% of the uncompressed file\n", 100 * ours / plain }'

measure "append, AutoNumber key+index" "$append_lines" "$work/append.txt" "$work/indexed.accdb" "Indexed indexed" \
    --append Indexed
"$cli" check "$work/indexed.accdb" >/dev/null && echo "indexed database: check passed"
