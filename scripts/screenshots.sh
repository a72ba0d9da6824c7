#!/bin/sh
# Renders the database window, the import window and its two help boxes to PNG files
# from the real widgets under Qt's offscreen platform.
#
#   scripts/screenshots.sh [output folder]     (default: docs/screenshots)
#
# BUILD_DIR names the build folder (default: build-screenshots in the repository).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-"$root/docs/screenshots"}
build=${BUILD_DIR:-"$root/build-screenshots"}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNWICK_GUI=ON >/dev/null
cmake --build "$build" --target tarnwick_screenshots -j2

mkdir -p "$output"
QT_QPA_PLATFORM=offscreen "$build/windows/tarnwick_screenshots" "$output"
