#!/usr/bin/env bash
# Installs what is needed, builds (normal, sanitizer and fuzzer builds) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_deps.sh
source scripts/env.sh
jobs="${JOBS:-$(nproc)}"

bash scripts/build.sh release
bash scripts/build.sh asan
bash scripts/build.sh tsan
bash scripts/build.sh fuzz
bash scripts/run_fuzzers.sh build/fuzz "${FUZZ_SECONDS:-10}"

# A test that cannot open an OpenGL window fails here instead of skipping,
# unless QV_NO_GL=1 says this machine has no GL on purpose.
if [ "${QV_NO_GL:-0}" != "1" ]; then export QV_REQUIRE_GL=1; fi

# Every test runs once: a test that fails now and then is a fault to find.
# The OpenGL pixel and screenshot tests once more on an X server (Xvfb), so
# both window back ends of SDL stay covered.
xvfb-run -a -s "-screen 0 1600x900x24" env SDL_VIDEODRIVER=x11 \
  ctest --test-dir build/release -j"$jobs" --output-on-failure --timeout 600 \
  -R "GfxGL|RenderGL|TextureGL|Screenshot|SceneScreen|LoadingScreen|ParticleRender|Paragraph|VideoRender|WindowFitRun"

ctest --test-dir build/asan -j"$jobs" --output-on-failure --timeout 600
# The tests of the threaded parts (jobs, particles, scenes, video) under
# ThreadSanitizer: a reported race fails them.
ctest --test-dir build/tsan -j"$jobs" --output-on-failure --timeout 600
ctest --test-dir build/release -j"$jobs" --output-on-failure --timeout 600
