#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for the given
# number of seconds (default 60). A crash, a leak, a hang or a sanitizer
# report fails the run. Seeds come from engine/fuzz/corpus/<Name>/; new inputs are kept in
# build-fuzz/corpus/<Name>/.
set -euo pipefail
cd "$(dirname "$0")"
seconds=${1:-60}

if ! command -v clang++-14 >/dev/null 2>&1; then
  echo "fuzz.sh: clang++-14 is not installed; fuzz targets were not run."
  exit 0
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWVANE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"

shopt -s nullglob
targets=(build-fuzz/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz targets."
  exit 0
fi
for target in "${targets[@]}"; do
  name=${target##*/fuzz_}
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "engine/fuzz/corpus/$name" ] && seeds=("engine/fuzz/corpus/$name")
  echo "== Fuzzing $name for ${seconds}s"
  # -timeout: one input that runs this long counts as a hang and fails the run.
  SDL_VIDEODRIVER=offscreen "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=0 \
    -artifact_prefix="build-fuzz/$name-" "$corpus" "${seeds[@]}" 2>"build-fuzz/$name.log" || {
      tail -n 40 "build-fuzz/$name.log"
      echo "fuzz.sh: $name failed; the input is in build-fuzz/$name-*"
      exit 1
    }
  grep -E '^#[0-9]+.*DONE' "build-fuzz/$name.log" | tail -n 1 || true
done
