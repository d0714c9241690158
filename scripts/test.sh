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

ctest --test-dir build/asan -j"$jobs" --output-on-failure --timeout 600
ctest --test-dir build/release -j"$jobs" --output-on-failure --timeout 600
