#!/usr/bin/env bash
# Usage: scripts/build.sh release|asan|tsan|fuzz  — configures and builds build/<kind>.
# tsan builds only the tests that run threads: scenes, particles, jobs, video, the social photo streamer.
set -euo pipefail
cd "$(dirname "$0")/.."
kind="${1:-release}"
jobs="${JOBS:-$(nproc)}"
case "$kind" in
  release) cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BENCH=ON >/dev/null ;;
  asan)    cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON >/dev/null ;;
  # -O1 with line tables only: reports keep their file:line stacks and the
  # build takes about 40% less compile time than -O2 -g.
  tsan)    cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_TSAN=ON \
             -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
             -DQV_TEST_ONLY='^(engine/(animationeditor/(test_|scene_screen_prog)|test_particle_|test_jobs|test_video_|crash_prog)|game/social/test_social_threads)' >/dev/null ;;
  fuzz)    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
             -DQV_FUZZ=ON -DQV_TESTS=OFF >/dev/null ;;
  game)    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
           cmake --build build/release -j"$jobs" --target glimvale
           exit 0 ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake --build "build/$kind" -j"$jobs"
