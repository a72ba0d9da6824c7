#!/bin/sh
# Builds the storage fuzzer with clang and runs it for SECONDS (default 60),
# seeded with the fixture databases (or, with FUZZ_TARGET=journal_fuzz, the fuzzer
# of the rollback journal's records as recovery reads them, unseeded). The corpus and any crash inputs go to a
# temporary folder outside the repository; crashers worth keeping are reduced
# and stored as tests/storage/data/*.bin by hand.
#
# Usage: scripts/fuzz-storage.sh [SECONDS]
# Environment: TARNWICK_FIXTURES_DIR (default: ../shared/fixtures beside the repository),
#              FUZZ_BUILD_DIR (default: build-fuzz in the repository), FUZZ_JOBS (default 1),
#              FUZZ_MAX_LEN (default 1048576 bytes), FUZZ_TARGET (default storage_fuzz).
set -eu

seconds=${1:-60}
repo=$(cd "$(dirname "$0")/.." && pwd)
fixtures=${TARNWICK_FIXTURES_DIR:-$repo/../shared/fixtures}
build=${FUZZ_BUILD_DIR:-$repo/build-fuzz}
jobs=${FUZZ_JOBS:-1}
max_len=${FUZZ_MAX_LEN:-1048576}
target=${FUZZ_TARGET:-storage_fuzz}

CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -DTARNWICK_FUZZ=ON -DTARNWICK_GUI=OFF -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "$target" -j2

work=$(mktemp -d "${TMPDIR:-/tmp}/storage-fuzz.XXXXXX")
mkdir -p "$work/corpus" "$work/artifacts"
if [ "$target" = storage_fuzz ] && [ -d "$fixtures" ]; then
    # Small databases only: mutating multi-megabyte inputs wastes most of the time.
    find "$fixtures" -type f \( -name '*.mdb' -o -name '*.accdb' \) -size -700k -exec cp {} "$work/corpus/" \;
fi
echo "corpus and artifacts in $work"

parallel=""
if [ "$jobs" -gt 1 ]; then
    parallel="-jobs=$jobs -workers=$jobs"
fi
# libFuzzer writes its per-job logs into the current folder: keep them in the work folder.
cd "$work"
status=0
# shellcheck disable=SC2086
"$build/fuzz/$target" "$work/corpus" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 $parallel -artifact_prefix="$work/artifacts/" -print_final_stats=1 || status=$?

if [ -n "$(ls -A "$work/artifacts")" ]; then
    echo "crash inputs:"
    ls -l "$work/artifacts"
fi
exit $status
