#!/usr/bin/env bash
# Writes src/platform/cp936_table.inc, the code page 936 table the native tests convert
# with, from Windows' own conversion as Wine performs it. The adapter tests compare the
# table with the live conversion under Wine at every test run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
export WINEPREFIX=${WINEPREFIX:-$work/prefix} WINEDEBUG=-all
trap 'WINEPREFIX=$WINEPREFIX wineserver -w 2>/dev/null || true; rm -rf "$work"' EXIT
x86_64-w64-mingw32-gcc -O2 -static -o "$work/cp936_dump.exe" "$root/tests/win32/cp936_dump.c"
{
  echo "// Code page 936 as Windows converts it: written by scripts/make_cp936_table.sh."
  echo "// Row \"00\": the 256 single bytes; row \"XX\": first byte XX with second bytes 0x40-0xFE."
  echo "// Each entry is the UTF-16 unit in four hex digits, or \"....\" for no character."
  wine "$work/cp936_dump.exe" </dev/null | tr -d '\r'
} >"$root/src/platform/cp936_table.inc"
echo "wrote src/platform/cp936_table.inc"
