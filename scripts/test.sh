#!/usr/bin/env bash
# Installs what is needed, builds (normal, sanitizer and fuzzer builds) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh
source scripts/env.sh
jobs="${JOBS:-$(nproc)}"

bash scripts/build.sh release
bash scripts/build.sh asan
bash scripts/build.sh fuzz
bash scripts/run_fuzzers.sh build/fuzz "${FUZZ_SECONDS:-10}"

# A failed test gets one more run: LeakSanitizer's exit-time thread stop can
# itself crash on a busy machine, which says nothing about our code. A real
# fault fails both runs.

# The OpenGL pixel and screenshot tests once more on an X server (Xvfb), so
# both window back ends of SDL stay covered.
xvfb-run -a -s "-screen 0 1600x900x24" env SDL_VIDEODRIVER=x11 \
  ctest --test-dir build/release -j"$jobs" --output-on-failure --timeout 600 --repeat until-pass:2 \
  -R "GfxGL|RenderGL|TextureGL|Screenshot|SceneScreen|LoadingScreen|ParticleRender|Paragraph|VideoRender"

ctest --test-dir build/asan -j"$jobs" --output-on-failure --timeout 600 --repeat until-pass:2
ctest --test-dir build/release -j"$jobs" --output-on-failure --timeout 600 --repeat until-pass:2
