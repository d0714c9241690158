#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test the game.
# Packages already present are skipped, so a second run is fast.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libglx-mesa0 mesa-utils
  liblua5.1-0-dev libpugixml-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev libminizip-dev
  libogg-dev libtheora-dev libvorbis-dev libutfcpp-dev libopenal-dev libopenal1
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
