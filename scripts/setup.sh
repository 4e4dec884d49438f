#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test Kesh: the native toolchain
# and test libraries, the MinGW-w64 cross toolchain, and Wine with a headless
# X server, input/clipboard tools, outline Chinese fonts for Wine's menus and dialogs
# (scripts/wine_fonts.sh) and OCR that reads them back in the end-to-end tests, and the
# zh_CN.UTF-8 locale under which Wine uses code page 936 and opens Chinese file names.
# Installs only the packages that are missing and generates the locale only when it is
# not there yet, so a second run is a no-op.
set -euo pipefail

packages=(
  cmake g++ make python3
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool xclip x11-utils fonts-wqy-zenhei imagemagick
  fonts-noto-cjk tesseract-ocr tesseract-ocr-chi-sim tesseract-ocr-eng
  locales
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

sudo_cmd=()
need_root() {
  if (( EUID != 0 )) && (( ${#sudo_cmd[@]} == 0 )); then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup.sh: $1, and not root, and sudo is not available" >&2
      exit 1
    fi
    sudo_cmd=(sudo env DEBIAN_FRONTEND=noninteractive)
  fi
}
export DEBIAN_FRONTEND=noninteractive

# zh_CN.UTF-8: Wine takes code page 936 from it and, unlike the GBK locale that is not
# generated, hands file names with Chinese characters to the program intact.
ensure_chinese_locale() {
  if locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    echo "setup.sh: locale zh_CN.UTF-8 already generated"
    return 0
  fi
  need_root "the locale zh_CN.UTF-8 is missing"
  echo "setup.sh: generating the locale zh_CN.UTF-8"
  if grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    "${sudo_cmd[@]}" sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  if ! "${sudo_cmd[@]}" locale-gen; then
    echo "setup.sh: locale-gen failed" >&2
    exit 1
  fi
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    echo "setup.sh: zh_CN.UTF-8 is still missing after locale-gen" >&2
    exit 1
  fi
}

if (( ${#missing[@]} == 0 )); then
  echo "setup.sh: all ${#packages[@]} packages already installed"
  ensure_chinese_locale
  exit 0
fi

need_root "missing packages (${missing[*]})"

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
ensure_chinese_locale
echo "setup.sh: done"
