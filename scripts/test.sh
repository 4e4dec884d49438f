#!/usr/bin/env bash
# Runs every test: the native suites (ASan/UBSan) and the end-to-end scenarios, which
# drive kesh.exe under Wine in a private Xvfb and Wine prefix, all through ctest.
# Exits with ctest's status.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/xvfb.sh"
cd "$root"
started=$(date +%s)

bash scripts/build.sh
echo "== fuzz targets: build/fuzz"
bash scripts/fuzz.sh --build-only
echo "== built after $(( $(date +%s) - started )) s"
exe=$root/build/win/kesh.exe
[ -f "$exe" ] || { echo "test.sh: $exe was not built" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kesh-test.XXXXXX")
xvfb_pid=

cleanup() {
  # Only what this run started: its own wineserver (by prefix), its own Xvfb (by pid).
  if [ -d "$work/prefix" ]; then
    WINEPREFIX=$work/prefix timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---- a display ----
start_xvfb "$work/xvfb.log" && export KESH_E2E_DISPLAY=$DISPLAY
if [ -z "$xvfb_pid" ]; then
  echo "test.sh: could not start Xvfb on a free display; it said:" >&2
  tail -30 "$work/xvfb.log" >&2
  exit 1
fi

# ---- a private Wine prefix, with its services running before ctest starts ----
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
. "$root/scripts/wine_locale.sh"
export_wine_locale test.sh
. "$root/scripts/wine_fonts.sh"
mkdir -p "$WINEPREFIX"
echo "== Wine prefix $WINEPREFIX on $DISPLAY"
start_wine() {
  timeout 300 wineboot "$@" </dev/null >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; return 1; }
  timeout 300 wineserver -w
  # A persistent server keeps the services up between scenarios. No process started from
  # here may keep ctest's output pipe open, or ctest waits for it forever.
  wineserver -p </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  wine_fonts_configure test.sh
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Wine's desktop process, started once per server session, decides whether any window
# can be made; a bad start is retried once with a fresh server before anything relies on it.
window_probe() {
  WINEDEBUG=-all,err+winediag,err+explorer timeout 60 wine "$root/build/win/kesh_window_probe.exe" \
    </dev/null >"$work/probe.log" 2>&1
}

start_wine -i || exit 1
if ! window_probe; then
  echo "test.sh: Wine could not make a window; restarting its server once:" >&2
  sed 's/^/   /' "$work/probe.log" >&2
  timeout 30 wineserver -k || true
  start_wine || exit 1
  if ! window_probe; then
    echo "test.sh: Wine still cannot make a window:" >&2
    sed 's/^/   /' "$work/probe.log" >&2
    describe_display "$work/xvfb.log"
    exit 1
  fi
fi
# Keeps the desktop up until the server is stopped at the end (see window_probe.cpp).
WINEDEBUG=-all wine "$root/build/win/kesh_window_probe.exe" --hold </dev/null >"$work/hold.log" 2>&1 &
echo "== Wine ready after $(( $(date +%s) - started )) s"

# ---- every test ----
# The scenarios need only the standard library; the system python starts them without
# the detours of a version manager's shims.
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3)
cmake -S . -B build/native -DKESH_EXE="$exe" -DKESH_FUZZ_DIR="$root/build/fuzz" -DPython3_EXECUTABLE="$python" >/dev/null
status=0
ctest --test-dir build/native --output-on-failure -j2 || status=$?
[ "$status" = 0 ] || describe_display "$work/xvfb.log"
echo "== test.sh: ctest exit status $status, $(( $(date +%s) - started )) s in all"
exit "$status"
