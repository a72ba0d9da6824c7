#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarnwick need, when missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev libgl-dev          # Qt Core, Gui, Widgets, Test
    libgtest-dev googletest         # GoogleTest through CTest
    libssl-dev libexpat1-dev        # encrypted .accdb files: libcrypto (hashes, AES), expat (agile descriptor)
    liblz4-dev                      # the rollback journal's compressed page records
    zlib1g-dev                      # the rollback journal's checksums
    mdbtools                        # an independent reader of Access files, used by tests
    fonts-liberation                # metric-compatible stand-in for Arial
    desktop-file-utils man-db       # checks of the menu entry and the manual pages
    dpkg-dev file                   # the Debian package (dpkg-shlibdeps)
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
