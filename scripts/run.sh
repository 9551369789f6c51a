#!/usr/bin/env bash
# Builds the plug-in (VST3 and Standalone), installs Corvessa.vst3 into ~/.vst3 and starts
# the Standalone when a display is available.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCORVESSA_BUILD_TESTS=OFF -DCORVESSA_BUILD_HOST_TESTS=OFF -DCORVESSA_BUILD_BENCHMARKS=OFF
cmake --build build/release -j "$(nproc)"

artefacts=build/release/Corvessa_artefacts/Release
mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/Corvessa.vst3"
cp -r "$artefacts/VST3/Corvessa.vst3" "$HOME/.vst3/"
echo "Installed $HOME/.vst3/Corvessa.vst3"

if [ -n "${DISPLAY:-}" ]; then
    exec "$artefacts/Standalone/Corvessa"
else
    echo "No display: the Standalone is at $artefacts/Standalone/Corvessa"
fi
