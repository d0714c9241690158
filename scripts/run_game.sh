#!/usr/bin/env bash
# Installs what is needed, builds the game and runs it from ./media/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh
bash scripts/build.sh game
exec ./build/release/glimvale
