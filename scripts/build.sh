#!/usr/bin/env bash
# Builds Kesh:
#   build/native  the portable core and its GoogleTest suites, with AddressSanitizer and UBSan
#   build/win     kesh.exe, cross-compiled with MinGW-w64
# Usage: scripts/build.sh [--native | --exe]
# Installs what is missing first (scripts/setup.sh); KESH_SKIP_SETUP=1 skips that step.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

native=1 exe=1
for arg in "$@"; do
  case "$arg" in
    --native) exe=0 ;;
    --exe) native=0 ;;
    -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "build.sh: unknown option '$arg' (use --native or --exe)" >&2; exit 2 ;;
  esac
done
if [ "$native" = 0 ] && [ "$exe" = 0 ]; then
  echo "build.sh: --native and --exe together: give neither to build both" >&2
  exit 2
fi

if [ "${KESH_SKIP_SETUP:-0}" != 1 ]; then
  if [ -f scripts/setup.sh ]; then
    bash scripts/setup.sh
  else
    echo "build.sh: scripts/setup.sh not found; building with the packages already installed" >&2
  fi
fi

jobs=${KESH_JOBS:-2}

if [ "$native" = 1 ]; then
  echo "== native core and tests (ASan/UBSan): build/native"
  cmake -S . -B build/native -DKESH_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  cmake --build build/native -j"$jobs"
fi

if [ "$exe" = 1 ]; then
  echo "== kesh.exe (MinGW-w64): build/win"
  # The toolchain file only counts when the tree is first configured.
  toolchain=()
  [ -f build/win/CMakeCache.txt ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
  cmake -S . -B build/win "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release
  cmake --build build/win -j"$jobs"
  echo "== built $root/build/win/kesh.exe"
fi
