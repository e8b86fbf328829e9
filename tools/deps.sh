#!/usr/bin/env bash
# Installs what the build, the tests and the run need, when any of it is missing.
set -euo pipefail
packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine xvfb
          xdotool imagemagick x11-utils googletest libgtest-dev libgmock-dev libbenchmark-dev
          procps iproute2 python3 nsis zip unzip fonts-wine fonts-liberation xcompmgr)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
