#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang and runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS (default 60) is the time for each target; without TARGETs every
# quillary_fuzz_* target runs. Each keeps its corpus in build/fuzz/corpus/TARGET, so
# later runs start from what earlier ones found, and also starts from the seed inputs
# in fuzz/corpus/TARGET/ and uses the dictionary fuzz/TARGET.dict when they exist; a
# crash leaves its input in build/fuzz/artifacts/ and makes the script exit 1. Not part
# of the tests: CI stays fast.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh fuzz
seconds=${1:-60}
shift || true
build=build/fuzz
CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLARY_TESTS=OFF -DQUILLARY_FUZZ=ON >/dev/null
ninja -C "$build" -j "${QUILLARY_JOBS:-$(nproc)}" $(ninja -C "$build" -t targets all | sed -n 's/^\(quillary_fuzz_[a-z_]*\): .*/\1/p' | sort -u)
targets=("$@")
if ((${#targets[@]} == 0)); then
  mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'quillary_fuzz_*' -printf '%f\n' | sort)
fi
mkdir -p "$build/artifacts"
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  [[ -d fuzz/corpus/$t ]] && seeds=("fuzz/corpus/$t")
  dictionary=()
  [[ -f fuzz/$t.dict ]] && dictionary=(-dict="fuzz/$t.dict")
  echo "== $t for ${seconds}s"
  "$build/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="$build/artifacts/$t-" \
    "${dictionary[@]}" "$corpus" "${seeds[@]}" || status=1
done
exit $status
