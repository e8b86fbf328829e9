#!/usr/bin/env bash
# Builds the Release trafimo.exe and writes the two downloads to dist/:
#   velquor-trafimo-<version>-setup.exe      the per-user installer (NSIS)
#   velquor-trafimo-<version>-portable.zip   trafimo.exe and README.txt
# The version is the CMake project version, as the build writes it to trafimo-version.txt.
#
#   ./package.sh [--build-dir DIR] [--dist DIR]
#
# --build-dir: a configured Windows build tree to build and take trafimo.exe from (by default
# build/windows, configured with the "windows" preset when it is not yet); an up-to-date program
# is not built again. --dist: where the two files go (default dist/).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build=$root/build/windows
dist=$root/dist
while (($#)); do
  case $1 in
    --build-dir) build=$(realpath -m "${2:?--build-dir needs a directory}"); shift 2 ;;
    --dist) dist=$(realpath -m "${2:?--dist needs a directory}"); shift 2 ;;
    *) echo "usage: $0 [--build-dir DIR] [--dist DIR]" >&2; exit 2 ;;
  esac
done
cd "$root"

tools/deps.sh || { echo "package.sh: the build tools could not be installed" >&2; exit 1; }
command -v makensis >/dev/null || { echo "package.sh: makensis is missing" >&2; exit 1; }

mkdir -p "$dist"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "== Building trafimo.exe (Release) in $build"
if [[ ! -f "$build/CMakeCache.txt" && "$build" == "$root/build/windows" ]]; then
  cmake --preset windows >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi
cmake --build "$build" --target trafimo -j2 >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
version=$(<"$build/trafimo-version.txt")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  { echo "package.sh: no version in $build/trafimo-version.txt" >&2; exit 1; }

setup=$dist/velquor-trafimo-$version-setup.exe
zip=$dist/velquor-trafimo-$version-portable.zip

echo "== Making $setup"
rm -f "$setup"
makensis -V2 -DVERSION="$version" -DEXE_PATH="$build/trafimo.exe" -DOUTFILE="$setup" \
  "$root/packaging/trafimo.nsi" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }

echo "== Making $zip"
staging=$(mktemp -d)
trap 'rm -f "$log"; rm -rf "$staging"' EXIT
cp "$build/trafimo.exe" "$staging/trafimo.exe"
# Windows line ends, so that every editor shows the lines.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/packaging/README.txt" >"$staging/README.txt"
rm -f "$zip"
(cd "$staging" && zip -q -X "$zip" trafimo.exe README.txt)

ls -l "$setup" "$zip"
