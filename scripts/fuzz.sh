#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/CMakeLists.txt) with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for SECONDS seconds (default 60). Each
# target grows its corpus in build/fuzz/corpus/<name>, starting from the seeds in
# fuzz/corpus/<name> and using fuzz/<name>.dict when there is one. A crash, a hang
# (over 10 s on one input), a leak or a sanitizer report stops the script with the
# failing input written to build/fuzz/artifacts/<name>/.
# QUILLARY_JOBS limits the parallel build jobs (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh fuzz
build=build/fuzz
jobs=${QUILLARY_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLARY_FUZZ=ON -DQUILLARY_TESTS=OFF >/dev/null
ninja -C "$build" -j "$jobs" quillary_fuzz
while IFS='=' read -r name program; do
  [[ -z $name ]] && continue
  short=${name#quillary_fuzz_}
  corpus=$build/corpus/$short
  artifacts=$build/artifacts/$short
  mkdir -p "$corpus" "$artifacts"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/")
  [[ -f fuzz/$short.dict ]] && options+=(-dict="fuzz/$short.dict")
  seeds=()
  [[ -d fuzz/corpus/$short ]] && seeds+=("fuzz/corpus/$short")
  echo "== $name: $seconds s"
  "$program" "${options[@]}" "$corpus" "${seeds[@]}"
done <"$build/fuzz_targets.txt"
echo "fuzz: every target ran $seconds s without a finding"
