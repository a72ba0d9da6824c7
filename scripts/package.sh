#!/usr/bin/env bash
# Builds the Debian package of Tarnwick (a release build, installed under /usr) and checks
# it: its contents, its computed dependencies, lintian where installed, and the installed
# tree run from a staging folder.
#
#   scripts/package.sh [output folder]     (default: build/package)
#
# BUILD_DIR names the build folder (default: build/release in the repository), BUILD_TYPE
# its build type (default: Release).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-"$root/build/release"}
output=$(mkdir -p "${1:-"$root/build/package"}" && cd "${1:-"$root/build/package"}" && pwd)
"$root/scripts/setup.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB -B "$output")
package=$(ls -t "$output"/tarnwick_*.deb | head -n 1)

echo "== $package"
dpkg-deb --info "$package"
contents=$(dpkg-deb --contents "$package")
echo "$contents"
for file in usr/bin/tarnwick usr/bin/tarnwick-cli usr/share/applications/tarnwick.desktop \
    usr/share/man/man1/tarnwick-cli.1.gz usr/share/man/man1/tarnwick.1.gz \
    usr/share/mime/packages/tarnwick.xml usr/share/icons/hicolor/256x256/apps/tarnwick.png; do
    grep -q " \./$file\$" <<<"$contents" || { echo "missing from the package: $file" >&2; exit 1; }
done

depends=$(dpkg-deb --field "$package" Depends)
echo "Depends: $depends"
for dependency in libc6 libqt6core6 libqt6widgets6 qt6-qpa-plugins; do
    grep -q "$dependency" <<<"$depends" || { echo "not among the dependencies: $dependency" >&2; exit 1; }
done

# The package's tree, unpacked into a staging folder, runs from there.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dpkg-deb --extract "$package" "$stage"
cli="$stage/usr/bin/tarnwick-cli"
printf 'Item,Count\nnails,12\n' >"$stage/items.csv"
"$cli" new-database "$stage/check.accdb"
"$cli" import "$stage/check.accdb" --separator , --create 'Items[counter]' "$stage/items.csv"
[ "$("$cli" tables "$stage/check.accdb")" = "Items1" ] || { echo "the unpacked tarnwick-cli failed" >&2; exit 1; }
desktop-file-validate "$stage/usr/share/applications/tarnwick.desktop"
man --warnings -l "$stage/usr/share/man/man1/tarnwick-cli.1.gz" >/dev/null

if command -v lintian >/dev/null; then
    lintian --info "$package" || echo "lintian reported the findings above"
else
    echo "lintian is not installed: skipped"
fi
echo "package: $package"
