#!/usr/bin/env bash
# Installs the Debian packages that building and testing Corvessa need, and only
# the ones that are missing, so a second run does nothing.
set -euo pipefail

packages=(
  # build
  juce-modules-source g++ cmake ninja-build pkg-config ccache
  libasound2-dev libcurl4-gnutls-dev libfreetype-dev libjpeg-dev libpng-dev zlib1g-dev
  libx11-dev libxext-dev libxrender-dev libxrandr-dev libxinerama-dev libxcursor-dev
  fonts-dejavu-core fontconfig-config
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3
  # window tests and screenshots
  xvfb xauth x11-utils xclip xdotool imagemagick
  # fuzz targets (clang with libFuzzer)
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
