#!/usr/bin/env bash
# Crash test: imports a generated text file with tarnwick-cli into a new database and
# kills the import with SIGKILL at a random moment between its first row and its last,
# RUNS times. After each kill the database, once the engine has opened it again (which
# puts back what the journal holds), must pass tarnwick-cli check, and mdbtools and
# tarnwick-cli dump must both read rows that are the first lines of the file.
#   scripts/crash-test.sh [RUNS] [LINES]   (defaults 20 and 200000)
# TARNWICK_CLI names the program to test; without it a release build is made in build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
lines=${2:-200000}

if [[ -n "${TARNWICK_CLI:-}" ]]; then
    cli=$TARNWICK_CLI
else
    cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
    cmake --build build/release -j"$(nproc)" --target tarnwick-cli >/dev/null
    cli=build/release/cli/tarnwick-cli
fi
command -v mdb-export >/dev/null || { echo "mdb-export (mdbtools) is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/lines.txt

# Line number, a short text and a longer one, each line different.
awk -v lines="$lines" 'BEGIN {
    srand(11)
    for (n = 1; n <= lines; n++) {
        note = ""
        for (w = int(rand() * 12); w >= 0; w--) note = note sprintf("w%d ", int(rand() * 100000))
        printf "%d, name %d, %s\n", n, n, note
    }
}' > "$input"

import() { # database; exec, so that a background import's process id is the program's own
    exec "$cli" import "$1" --create Lines --columns-from-prompt Line,Name,Note "$input" >/dev/null 2>&1
}

# The time a whole import takes, measured once per format; kills fall within it.
declare -A full
for extension in mdb accdb; do
    "$cli" new-database "$work/full.$extension" >/dev/null
    start=$(date +%s.%N)
    (import "$work/full.$extension")
    full[$extension]=$(awk -v start="$start" -v end="$(date +%s.%N)" 'BEGIN { printf "%.3f", end - start }')
done

failures=0
fail() { # keeps the database for a look
    local kept_copy="${TMPDIR:-/tmp}/crash-test-failure-$run.$extension"
    cp "$database" "$kept_copy" 2>/dev/null || true
    echo "run $run (killed after ${delay}s; database kept as $kept_copy): $*" >&2
    failures=$((failures + 1))
}

for ((run = 1; run <= runs; run++)); do
    extension=$([[ $((run % 2)) -eq 0 ]] && echo accdb || echo mdb)
    database=$work/run.$extension
    rm -f "$database" "$database-journal"
    "$cli" new-database "$database" >/dev/null
    delay=$(awk -v total="${full[$extension]}" -v seed="$RANDOM$run" 'BEGIN { srand(seed); printf "%.3f", total * (0.03 + 0.97 * rand()) }')
    import "$database" &
    pid=$!
    sleep "$delay"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true

    # check opens the database as a writer does, putting back what the journal holds.
    if ! report=$("$cli" check "$database" 2>&1); then
        fail "check failed: $report"
        continue
    fi
    [[ -e "$database-journal" ]] && fail "the journal is still there after the check"
    if "$cli" tables "$database" | grep -qx Lines; then
        mdb-export -H -Q -d ', ' "$database" Lines > "$work/mdbtools.txt" || { fail "mdb-export cannot read the rows"; continue; }
    else
        : > "$work/mdbtools.txt" # killed before the table was made durable
    fi
    kept=$(wc -l < "$work/mdbtools.txt")
    head -n "$kept" "$input" | cmp -s - "$work/mdbtools.txt" || fail "the $kept rows are not the file's first lines"
    if [[ $kept -gt 0 ]]; then
        ours=$("$cli" dump "$database" Lines | wc -l)
        [[ $ours -eq $((kept + 1)) ]] || fail "tarnwick-cli dump reads $((ours - 1)) rows, mdbtools $kept"
    fi
    echo "run $run: killed after ${delay}s of ${full[$extension]}s, $kept of $lines rows kept ($extension)"
done

if [[ $failures -gt 0 ]]; then
    echo "$failures of $runs runs failed" >&2
    exit 1
fi
echo "all $runs runs passed"
