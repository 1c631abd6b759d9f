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
packages=(cmake g++ make qt6-base-dev libgl-dev fonts-wqy-microhei fonts-wqy-zenhei xvfb xauth x11-utils
          xdotool libxcb1-dev libbenchmark-dev clang libclang-rt-14-dev
          # The technician's desktop, in the desktop tests and under Wine: a window manager and
          # a taskbar.
          openbox tint2
          # The Windows cross-build and its run under Wine.
          g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev ninja-build ccache nsis wine wine64
          locales qt6-translations-l10n)

# Each stage's wall time, the CPU time (user + sys) of what it ran and the load average after it,
# printed at the end of a test run, also when a stage failed: a slow run shows which stage to look
# at, and whether the machine was busy with others.
tick=$(getconf CLK_TCK)
timings=()
# The CPU time of this shell and of every command it has waited for, in clock ticks.
cpu_ticks() {
  local f
  read -r -a f < /proc/$$/stat
  echo $(( f[13] + f[14] + f[15] + f[16] ))
}
mmss() { printf '%d:%02d' $(( $1 / 60 )) $(( $1 % 60 )); }
start_wall=$(date +%s)
start_cpu=$(cpu_ticks)
# stage NAME COMMAND...: runs COMMAND and keeps its times and result.
stage() {
  local name=$1 rc=0 t0 c0
  shift
  t0=$(date +%s)
  c0=$(cpu_ticks)
  "$@" || rc=$?
  timings+=("$(printf '%-12s %7s %9s %6s  %s' "$name" "$(mmss $(( $(date +%s) - t0 )))" \
    "$(mmss $(( ($(cpu_ticks) - c0) / tick )))" "$(cut -d' ' -f1 /proc/loadavg)" \
    "$([ "$rc" -eq 0 ] && echo ok || echo "FAILED ($rc)")")")
  return "$rc"
}
print_timings() {
  [ "${#timings[@]}" -gt 0 ] || return 0
  echo
  printf '%-12s %7s %9s %6s  %s\n' stage wall user+sys load result
  printf '%s\n' "${timings[@]}"
  printf '%-12s %7s %9s %6s\n' total "$(mmss $(( $(date +%s) - start_wall )))" \
    "$(mmss $(( ($(cpu_ticks) - start_cpu) / tick )))" "$(cut -d' ' -f1 /proc/loadavg)"
}

install_missing() {
  local missing=() p l sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo_cmd apt-get update || return 1
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends \
      "${missing[@]}" || return 1
  fi
  # Locales the tests need: zh_CN gives Wine code page 936, as in the labs; de_DE has a comma for
  # a decimal point, for number reading. Both are listed in /etc/locale.gen, so that any later
  # locale-gen keeps them.
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' ||
     ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    for l in zh_CN de_DE; do
      grep -qx "$l.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null ||
        echo "$l.UTF-8 UTF-8" | $sudo_cmd tee -a /etc/locale.gen >/dev/null || return 1
    done
    $sudo_cmd locale-gen >/dev/null || return 1
  fi
}

jobs=2
# configure_and_build PRESET [cmake --build arguments...]
configure_and_build() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs" "$@"
}

case "$mode" in
  run)
    install_missing
    configure_and_build dev
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display: start it as  xvfb-run -a build/dev/bin/Tarvelin" >&2
      exit 1
    fi
    exec build/dev/bin/Tarvelin
    ;;
  test)
    trap print_timings EXIT
    stage install install_missing
    # Three builds, each in its own folder; every stage runs even when an earlier one failed.
    failed=()
    # Most tests run on the offscreen platform; the few that need a real X server get Xvfb.
    if stage "dev build" configure_and_build dev; then
      stage "dev tests" xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset dev -j "$jobs" ||
        failed+=(dev)
    else
      failed+=("dev build")
    fi
    # The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
    if stage "asan build" configure_and_build asan; then
      stage "asan tests" xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset asan -j "$jobs" ||
        failed+=(asan)
    else
      failed+=("asan build")
    fi
    # The fuzz targets (clang, libFuzzer), each for a bounded number of runs.
    if stage "fuzz build" configure_and_build fuzz; then
      stage "fuzz runs" ctest --preset fuzz -j "$jobs" || failed+=(fuzz)
    else
      failed+=("fuzz build")
    fi
    # The Windows build: cross-built with MinGW, its tests and an end-to-end check under Wine.
    stage windows bash tools/windows-stage.sh || failed+=(windows)
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
