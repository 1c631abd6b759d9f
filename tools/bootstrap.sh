#!/usr/bin/env bash
# Sets up a fresh Debian machine for Tarvelin, builds it, then either starts it or runs every test.
#   bash tools/bootstrap.sh run    install what is missing, build, start Tarvelin
#   bash tools/bootstrap.sh test   install what is missing, build, run the whole test suite: the
#                                  dev build, the ASan/UBSan build, the bounded fuzz runs and,
#                                  when ../shared/toolchains holds the Qt for Windows, the
#                                  Windows build under Wine (tools/windows-stage.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:-run}"
packages=(cmake g++ make qt6-base-dev libgl-dev fonts-wqy-microhei xvfb xauth x11-utils
          xdotool libxcb1-dev libbenchmark-dev clang libclang-rt-14-dev
          # The technician's desktop, in the desktop tests and under Wine: a window manager and
          # a taskbar.
          openbox tint2
          # The Windows cross-build and its run under Wine.
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev ninja-build ccache nsis wine wine64
          locales qt6-translations-l10n)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
# Locales the tests need: zh_CN gives Wine code page 936, as in the labs; de_DE has a comma for
# a decimal point, for number reading. Both are listed in /etc/locale.gen, so that any later
# locale-gen keeps them.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' ||
   ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  for l in zh_CN de_DE; do
    grep -qx "$l.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null ||
      echo "$l.UTF-8 UTF-8" | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  done
  $sudo_cmd locale-gen >/dev/null
fi

jobs=2
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"

case "$mode" in
  run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display: start it as  xvfb-run -a build/dev/bin/Tarvelin" >&2
      exit 1
    fi
    exec build/dev/bin/Tarvelin
    ;;
  test)
    # Three builds, each in its own folder; every stage runs even when an earlier one failed.
    failed=()
    # Most tests run on the offscreen platform; the few that need a real X server get Xvfb.
    xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset dev -j "$jobs" || failed+=(dev)
    # The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
    if cmake --preset asan >/dev/null && cmake --build --preset asan -j "$jobs"; then
      xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset asan -j "$jobs" || failed+=(asan)
    else
      failed+=("asan build")
    fi
    # The fuzz targets (clang, libFuzzer), each for a bounded number of runs.
    if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$jobs"; then
      ctest --preset fuzz -j "$jobs" || failed+=(fuzz)
    else
      failed+=("fuzz build")
    fi
    # The Windows build: cross-built with MinGW, its tests and an end-to-end check under Wine.
    bash tools/windows-stage.sh || failed+=(windows)
    if [ "${#failed[@]}" -gt 0 ]; then
      echo "Failed: ${failed[*]}" >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
