#!/usr/bin/env bash
# Runs every libFuzzer target in a build folder for a few seconds over its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build/fuzz}"
seconds="${2:-10}"
shopt -s nullglob
for bin in "$dir"/fuzz_*; do
  [ -x "$bin" ] || continue
  name="$(basename "$bin")"
  work="$(mktemp -d)"
  if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$work/"; fi
  echo "fuzzing $name for ${seconds}s"
  "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 "$work" \
      >"$work.log" 2>&1 || { tail -60 "$work.log"; echo "fuzzer $name failed"; exit 1; }
  rm -rf "$work" "$work.log"
done
