#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test Kesh: the native toolchain
# and test libraries, the MinGW-w64 cross toolchain, and Wine with a headless
# X server, input/clipboard tools and a Chinese font for the end-to-end tests.
# Installs only the packages that are missing, so a second run is a no-op.
set -euo pipefail

packages=(
  cmake g++ make python3
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool xclip x11-utils fonts-wqy-zenhei imagemagick
)

if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
  echo "setup.sh: this script needs a Debian system with dpkg and apt-get" >&2
  exit 1
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "installed" ]]; then
    missing+=("$package")
  fi
done

if (( ${#missing[@]} == 0 )); then
  echo "setup.sh: all ${#packages[@]} packages already installed"
  exit 0
fi

sudo_cmd=()
if (( EUID != 0 )); then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup.sh: missing packages (${missing[*]}) and not root, and sudo is not available" >&2
    exit 1
  fi
  sudo_cmd=(sudo env DEBIAN_FRONTEND=noninteractive)
fi
export DEBIAN_FRONTEND=noninteractive

echo "setup.sh: installing ${missing[*]}"
if ! "${sudo_cmd[@]}" apt-get update -q; then
  echo "setup.sh: apt-get update failed; nothing was installed" >&2
  exit 1
fi
if ! "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"; then
  echo "setup.sh: apt-get install failed for: ${missing[*]}" >&2
  exit 1
fi

still_missing=()
for package in "${missing[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "installed" ]] || still_missing+=("$package")
done
if (( ${#still_missing[@]} > 0 )); then
  echo "setup.sh: still not installed after apt-get: ${still_missing[*]}" >&2
  exit 1
fi
echo "setup.sh: done"
