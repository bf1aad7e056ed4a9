#!/usr/bin/env bash
# Builds the Debian package: a Release build of the program alone in build-package/ (or
# $QUARBEL_PACKAGE_BUILD_DIR), then CPack. The desktop entry and the metainfo are validated
# first. The last line printed is the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
# dpkg-shlibdeps (dpkg-dev) and file find the libraries the program needs.
scripts/setup.sh dpkg-dev file appstream desktop-file-utils

fail() { echo "package.sh: $*" >&2; exit 1; }
app_id=org.quarbel.Quarbel
desktop-file-validate "share/$app_id.desktop"
appstreamcli validate --no-net "share/$app_id.metainfo.xml"

dir=${QUARBEL_PACKAGE_BUILD_DIR:-build-package}
# The package holds the program alone; installing must not build the driver and the tools.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARBEL_TESTS=OFF -DQUARBEL_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" --target quarbel -j "$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $dir/CMakeCache.txt"
# Software centres show the newest release of the metainfo as the version installed.
grep -q "<release version=\"$version\"" "share/$app_id.metainfo.xml" ||
  fail "share/$app_id.metainfo.xml has no <release> for version $version"

rm -f "$dir"/quarbel_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/quarbel_"$version"-*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no $dir/quarbel_$version-*.deb"
deb=${debs[0]}

depends=$(dpkg-deb --field "$deb" Depends)
[ -n "$depends" ] || fail "$deb has no Depends: dpkg-shlibdeps did not run"
if grep -Eq -- '-dev( |,|$)' <<<"$depends"; then fail "$deb depends on a -dev package: $depends"; fi
dpkg-deb --field "$deb"
echo "$(du -k "$deb" | cut -f1) kB"
echo "$deb"
