#!/usr/bin/env bash
# Installs every Debian package Quarbel needs to build, run and test, and the packages named as
# arguments (the packaging scripts' own tools). Idempotent and quiet when everything is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libboost-math-dev libgsf-1-dev libquazip1-qt6-dev libqcustomplot-dev libdeflate-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-xlrd python3-olefile poppler-utils
  xvfb xauth fonts-wqy-zenhei
  clang libclang-rt-14-dev clang-format clang-tidy
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
