#!/usr/bin/env bash
# Import benchmark: generates its own text files and imports them with tarnwick-cli
# into new .accdb files (one of them encrypted with a password), printing rows and MB per
# second, peak memory and file size, and for appends the write amplification: the bytes
# the import wrote to the database and its journal (tarnwick-cli counts them) over what
# the database grew by.
#   scripts/import-bench.sh [CREATE_LINES] [APPEND_LINES] [RUNS] [BIG_ROWS]
#   (defaults 1000000, 200000, 3 and 2000000; BIG_ROWS 0 leaves out the big table)
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
big_rows=${4:-2000000}

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tarnwick-cli bench_table >/dev/null 2>&1
cli=build/release/cli/tarnwick-cli
bench_table=build/release/bench/import/bench_table

password="" # the database password of the runs, which makes new-database encrypt the file
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Lines of ten fields of eight lower-case letters; with "id" the first field is empty,
# so that an AutoNumber column takes the next number.
generate() { # lines file [id [seed]]
    awk -v lines="$1" -v id="${3:-}" -v seed="${4:-7}" 'BEGIN {
        srand(seed); sep = ", "
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

# Makes the database a run imports into: empty, with the bench table of a kind, or a copy.
prepare() { # database [table kind | copy file]
    rm -f "$1"
    if [ "${2:-}" = copy ]; then
        cp "$3" "$1"
        return
    fi
    "$cli" new-database "$1" ${password:+--password "$password"} >/dev/null
    if [ $# -eq 3 ]; then "$bench_table" "$1" "$2" "$3" 10; fi
}

# Runs an import once under /usr/bin/time into a database made afresh, and adds its
# seconds, peak memory, bytes written and the database's growth to the results file.
run_once() { # results database "prepare arguments" input import-arguments...
    local results=$1 database=$2 setup=$3 input=$4
    shift 4
    # shellcheck disable=SC2086 # the prepare arguments are words
    prepare "$database" $setup
    sync # earlier runs' files finish reaching the disk first, not during this one
    local before
    before=$(stat -c %s "$database")
    TARNWICK_BYTES_WRITTEN=1 /usr/bin/time -v -o "$work/time.txt" "$cli" import "$database" \
        ${password:+--password "$password"} "$@" "$input" >/dev/null 2>"$work/stderr.txt" ||
        { cat "$work/stderr.txt" >&2; exit 1; }
    grep 'bytes written' "$work/stderr.txt" > "$work/written.txt" || true
    awk -F': ' -v grown="$(($(stat -c %s "$database") - before))" -v written="$(awk '{print $NF}' "$work/written.txt")" '
        /Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]}
        /Maximum resident set size/ {kb = $2}
        END {print s, kb, written, grown}' "$work/time.txt" >> "$results"
}

# Prints the figures of the median run with the range of rows per second: the machine is
# shared, and one run can be a third slower than the next.
report() { # label lines input database results [amplification]
    local label=$1 lines=$2 input=$3 database=$4 results=$5 amplification=${6:-}
    local input_bytes size
    input_bytes=$(stat -c %s "$input")
    size=$(stat -c %s "$database")
    sort -n "$results" | awk -v label="$label" -v lines="$lines" -v in_b="$input_bytes" -v size="$size" \
        -v amplification="$amplification" '
        { s[NR] = $1; kb[NR] = $2; written[NR] = $3; grown[NR] = $4 }
        END {
            m = int((NR + 1) / 2)
            printf "%-28s %9d rows  %6.2f s  %9.0f rows/s (%.0f-%.0f)  %6.1f MB/s  peak %6.1f MB (input %.1f MB)  file %.1f MB",
                   label, lines, s[m], lines / s[m], lines / s[NR], lines / s[1], in_b / 1e6 / s[m], kb[m] / 1024,
                   in_b / 1e6, size / 1e6
            if (amplification != "" && grown[m] > 0)
                printf "  written %.1f MB for %.1f MB grown: amplification %.2f", written[m] / 1e6, grown[m] / 1e6,
                       written[m] / grown[m]
            printf "\n"
        }'
}

# Runs an import `runs` times, each into a database made afresh, and reports it.
measure() { # label lines input database "prepare arguments" import-arguments...
    local label=$1 lines=$2 input=$3 database=$4 setup=$5
    shift 5
    local results="$work/results.txt"
    : > "$results"
    for ((run = 0; run < runs; run++)); do
        run_once "$results" "$database" "$setup" "$input" "$@"
    done
    report "$label" "$lines" "$input" "$database" "$results"
}

median_seconds() { sort -n "$1" | awk '{ s[NR] = $1 } END { print s[int((NR + 1) / 2)] }'; }

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
plain_seconds=$(median_seconds "$work/results.txt")

# The same import into an encrypted database (agile AES-256, as new-database makes it).
password="bench password"
measure "create, encrypted .accdb" "$create_lines" "$work/create.txt" "$work/encrypted.accdb" "" \
    --create Rows --columns-from-prompt c1,c2,c3,c4,c5,c6,c7,c8,c9,c10
awk -v plain="$plain_seconds" -v encrypted="$(median_seconds "$work/results.txt")" \
    'BEGIN { printf "encrypted: %.2f times the time of the plain import\n", encrypted / plain }'
"$cli" check "$work/encrypted.accdb" --password "$password" >/dev/null && echo "encrypted database: check passed"
password=""

# The same rows without Unicode compression: the size Jet's own DDL would give.
measure "append, uncompressed text" "$create_lines" "$work/create.txt" "$work/plain.accdb" "Rows uncompressed" \
    --append Rows
awk -v ours="$(stat -c %s "$work/create.accdb")" -v plain="$(stat -c %s "$work/plain.accdb")" \
    'BEGIN { printf "size with compression: %.0f%% of the uncompressed file\n", 100 * ours / plain }'

if [ "$big_rows" -eq 0 ]; then
    measure "append, AutoNumber key+index" "$append_lines" "$work/append.txt" "$work/indexed.accdb" "Indexed indexed" \
        --append Indexed
    "$cli" check "$work/indexed.accdb" >/dev/null && echo "indexed database: check passed"
    exit 0
fi

# The same lines appended into the indexed table empty and holding BIG_ROWS rows (other
# random words, from another seed), runs taking turns so that both meet the same load.
generate "$big_rows" "$work/big.txt" id 11
prepare "$work/big-base.accdb" Indexed indexed
start=$(date +%s.%N)
"$cli" import "$work/big-base.accdb" --append Indexed "$work/big.txt" >/dev/null
awk -v s="$start" -v e="$(date +%s.%N)" -v rows="$big_rows" \
    'BEGIN { printf "%d rows into the indexed table, to append to: %.2f s\n", rows, e - s }'
rm -f "$work/big.txt"
: > "$work/empty.txt"
: > "$work/big-results.txt"
for ((run = 0; run < runs; run++)); do
    run_once "$work/empty.txt" "$work/indexed.accdb" "Indexed indexed" "$work/append.txt" --append Indexed
    run_once "$work/big-results.txt" "$work/big.accdb" "copy $work/big-base.accdb" "$work/append.txt" --append Indexed
done
report "append, AutoNumber key+index" "$append_lines" "$work/append.txt" "$work/indexed.accdb" "$work/empty.txt" yes
report "append to $big_rows rows" "$append_lines" "$work/append.txt" "$work/big.accdb" "$work/big-results.txt" yes
awk -v empty="$(median_seconds "$work/empty.txt")" -v big="$(median_seconds "$work/big-results.txt")" \
    'BEGIN { printf "big append / empty append: %.2f times the time\n", big / empty }'
"$cli" check "$work/indexed.accdb" >/dev/null && echo "indexed database: check passed"
"$cli" check "$work/big.accdb" >/dev/null && echo "big indexed database: check passed"
