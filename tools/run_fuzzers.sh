#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in build-fuzz and runs each for a bounded time on a fresh copy
# of its seed corpus; the committed corpus never grows. Needs clang-14 and libclang-rt-14-dev.
# Prints one line per target with its executed inputs; any finding (crash, sanitizer report, leak, timeout,
# out-of-memory) fails the run, and the input that caused it is kept in build-fuzz/fuzz-findings/ (make it a
# regression: fuzz/regressions/<target>/).
#
# Run:     tools/run_fuzzers.sh [SECONDS_PER_TARGET]      (default 45: about three minutes for all four)
# Sourced: run_fuzzers [SECONDS_PER_TARGET]
set -euo pipefail

# target, -max_len: a WAV header with some samples, a model folder of a few small files, a few thousand samples
# of the recognition chain (under ten inputs a second with the sanitizers).
PARLANTO_FUZZ_TARGETS=(
  wav_input 4096
  phoneme_models 8192
  command_models 8192
  recognition_chain 8192
)

# run_fuzzer NAME MAX_LEN SECONDS ROOT SCRATCH: one target; prints its line, returns non-zero on a finding.
run_fuzzer() {
  local name="$1" max_len="$2" seconds="$3" root="$4" scratch="$5"
  local build="$root/build-fuzz" findings="$root/build-fuzz/fuzz-findings"
  local corpus="$build/fuzz-run/$name" log="$build/fuzz-run/$name.log"
  rm -rf "$corpus"
  mkdir -p "$corpus" "$findings"
  cp -R "$root/fuzz/corpus/$name/." "$corpus/"
  local status=0
  # The slowest input (a recognition-chain input of max_len bytes) takes well under a second here, so 20 s
  # is a hang; 512 MB in one allocation is a size taken from damaged data. The fuzz entries keep their scratch
  # files under TMPDIR.
  TMPDIR="$scratch" nice "$build/fuzz/${name}_fuzzer" "$corpus" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
    -artifact_prefix="$findings/$name-" >"$log" 2>&1 || status=$?
  local runs
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -ne 0 ]; then
    printf 'fuzzer %s: FINDING after %s inputs (exit %s; log: %s; input in %s)\n' \
      "$name" "${runs:-?}" "$status" "$log" "$findings" >&2
    grep -m 3 -E 'ERROR|runtime error|SUMMARY' "$log" >&2 || true
    return 1
  fi
  printf 'fuzzer %s: %s inputs in %s s, no findings\n' "$name" "$runs" "$seconds"
}

run_fuzzers() {
  local seconds="${1:-45}"
  local root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  local log="$root/build-fuzz/build.log"
  mkdir -p "$root/build-fuzz"
  echo "== build: build-fuzz (clang, libFuzzer with address and undefined-behaviour checks)"
  if ! { CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DPARLANTO_FUZZ=ON \
           -DPARLANTO_GUI=OFF -DPARLANTO_TESTS=OFF -DPARLANTO_BENCH=OFF &&
         nice cmake --build "$root/build-fuzz"; } >"$log" 2>&1; then
    echo "FAILED: build-fuzz (log: $log)" >&2
    tail -n 30 "$log" >&2
    return 1
  fi
  # Scratch files in memory where possible: every input is written out as a file or a model folder.
  local base=/dev/shm scratch
  [ -d "$base" ] && [ -w "$base" ] || base="${TMPDIR:-/tmp}"
  scratch="$(mktemp -d "$base/parlanto-fuzz.XXXXXX")"
  local failed=0 i
  for ((i = 0; i < ${#PARLANTO_FUZZ_TARGETS[@]}; i += 2)); do
    run_fuzzer "${PARLANTO_FUZZ_TARGETS[i]}" "${PARLANTO_FUZZ_TARGETS[i + 1]}" "$seconds" "$root" "$scratch" ||
      failed=1
  done
  rm -rf "$scratch"
  return "$failed"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  run_fuzzers "$@"
fi
