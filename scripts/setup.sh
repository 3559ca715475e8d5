#!/usr/bin/env bash
# Installs the packages the program and its tests need on a Debian 12 machine, then configures and
# builds into ./build: everything, or only the targets named as arguments (run.sh names the program's).
# Both README commands and .ci/run go through here.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev qt6-translations-l10n
    qt6-image-formats-plugins
    libjpeg62-turbo-dev libcurl4-openssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-dejavu-extra xdg-utils xvfb xauth
    poppler-utils # pdftoppm: the print tests read the printed page back
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
