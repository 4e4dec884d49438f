#!/usr/bin/env bash
# Builds kesh.exe and starts it under Wine: scripts/run.sh [file]
# Without a file it opens examples/sample.txt. The Wine prefix lives in build/wineprefix
# and is made on the first run. Without $DISPLAY, Kesh runs in a private Xvfb.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$root/scripts/xvfb.sh"
file=${1:-$root/examples/sample.txt}
# The file is named relative to where run.sh was started; kesh gets its absolute path.
file=$(realpath -m -- "$file")

bash "$root/scripts/build.sh" --exe
exe=$root/build/win/kesh.exe

export WINEPREFIX=$root/build/wineprefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine takes the ANSI code page from LC_ALL: 936 (GBK), with Chinese file names.
. "$root/scripts/wine_locale.sh"
export_wine_locale run.sh
. "$root/scripts/wine_fonts.sh"

xvfb_pid= kesh_pid=
stop_xvfb() {
  # Stopped from outside (Ctrl+C, kill, timeout): Kesh goes with this script.
  if [ -n "$kesh_pid" ] && kill -0 "$kesh_pid" 2>/dev/null; then
    kill "$kesh_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    # Let Wine's services leave the display before it goes away.
    timeout 15 wineserver -w 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap stop_xvfb EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || true
  if [ -z "${DISPLAY:-}" ]; then echo "run.sh: no free display for Xvfb" >&2; exit 1; fi
  echo "run.sh: no DISPLAY set: Kesh runs in Xvfb on $DISPLAY."
  echo "        Screenshot: DISPLAY=$DISPLAY import -window root shot.png"
  echo "        Keys:       DISPLAY=$DISPLAY xdotool mousemove 400 300 key ctrl+End"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run.sh: making the Wine prefix $WINEPREFIX (once, about 20 s)"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
fi
# Also brings a prefix made before the fonts were set up to date.
wine_fonts_configure run.sh

winfile=$(winepath -w "$file" 2>/dev/null)
echo "run.sh: kesh.exe $winfile"
status=0
# Started in the background and waited for, so a signal to this script is acted on at once.
wine "$exe" "$winfile" </dev/null &
kesh_pid=$!
wait "$kesh_pid" || status=$?
kesh_pid=
exit "$status"
