#!/usr/bin/env bash
# Builds Tarnwick and runs every test: a debug build, then the engine layers again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/debug -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_WERROR=ON
cmake --build build/debug -j"$jobs"
ctest --test-dir build/debug --output-on-failure -j"$jobs"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_WERROR=ON -DTARNWICK_GUI=OFF
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
