#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UBSan) in build/fuzz and runs
# each for a while over its committed corpus. New inputs go to a scratch folder, never into
# fuzz/corpus; a crash, a hang or a failed property stops the run with its input saved in
# build/fuzz/findings.
# Usage: scripts/fuzz.sh [--build-only | --no-build] [--runs N] [SECONDS per target, default 10] [TARGET...]
# --runs N: a fixed number of inputs from a fixed seed instead of a time, so a run is the
# same on every machine (the test command uses it; a time-limited run explores further).
# A long run of every target: scripts/fuzz.sh 3600
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build_only=0 build=1
case "${1:-}" in
  --build-only) build_only=1; shift ;;
  --no-build) build=0; shift ;;
esac
limit=()
if [ "${1:-}" = --runs ]; then limit=(-seed=1 -runs="$2"); shift 2; fi
seconds=${1:-10}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#limit[@]} -gt 0 ] || limit=(-max_total_time="$seconds")

if [ "$build" = 1 ]; then
  cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build build/fuzz -j"${KESH_JOBS:-2}" >/dev/null
fi
[ "$build_only" = 1 ] && exit 0

if [ ${#targets[@]} -eq 0 ]; then
  for binary in build/fuzz/*_fuzzer; do targets+=("$(basename "$binary" _fuzzer)"); done
fi
mkdir -p build/fuzz/findings
status=0
for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/kesh-fuzz-$target.XXXXXX")
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  mkdir -p "$corpus"
  echo "== fuzz $target (${limit[*]})"
  if ! "build/fuzz/${target}_fuzzer" "$scratch" "$corpus" "${dict[@]}" "${limit[@]}" \
       -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" \
       >"build/fuzz/$target.log" 2>&1; then
    status=1
    echo "fuzz $target FAILED:"; tail -40 "build/fuzz/$target.log"
  else
    grep -E '^(stat::number_of_executed_units|#[0-9]+ +DONE)' "build/fuzz/$target.log" | tail -2 || true
  fi
  rm -rf "$scratch"
done
exit "$status"
