#!/usr/bin/env bash
# The Windows stage of the test command: cross-builds the Windows folder and the installer
# (tools/build-windows.sh), then under Wine, in code page 936, runs the common library's tests
# built for Windows and the end-to-end check of the real programs (tools/windows-e2e.sh).
# Without the Qt for Windows it says so in one line and succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tarball=${TARVELIN_WIN_QT_TARBALL:-$root/../shared/toolchains/qt6.4.2-mingw-w64.tar.xz}
if [ ! -f "$tarball" ] && [ ! -x build/win-qt/qt6.4.2-mingw-w64/bin/qt-cmake ]; then
  echo "Windows stage skipped: no Qt for Windows at $tarball (set TARVELIN_WIN_QT_TARBALL)."
  exit 0
fi
export TARVELIN_WIN_QT_TARBALL=$tarball
start=$(date +%s)
bash tools/build-windows.sh

# Wine of our own, in the language of the labs: ANSI code page 936. Without the locale Wine still
# reports 936, but cannot name files with Chinese in their paths.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "Windows stage: the zh_CN.UTF-8 locale is not made (tools/bootstrap.sh makes it)" >&2
  exit 1
fi
export WINEPREFIX=$root/build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wineboot -i >/dev/null 2>&1 || true
# Windows 10 at 96 DPI (Wine's own default is Windows 7), also after an end-to-end run cut short
# while posing as another.
wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
probe=$root/build/wine-probe
mkdir -p "$probe"
printf '#include <windows.h>\n#include <stdio.h>\nint main(void) { printf("%%u\\n", GetACP()); return 0; }\n' \
  > "$probe/acp.c"
x86_64-w64-mingw32-gcc -O2 "$probe/acp.c" -o "$probe/acp.exe"
acp=$(wine "$probe/acp.exe" | tr -d '\r')
if [ "$acp" != 936 ]; then
  echo "Windows stage: Wine's ANSI code page is '$acp', not 936 (is the zh_CN.UTF-8 locale made?)" >&2
  exit 1
fi
echo "Wine's ANSI code page: $acp"

failed=()
(cd build/win && ctest -j 2 --output-on-failure) || failed+=("tests under Wine")
xvfb-run -a -s "-screen 0 1920x1080x24" bash tools/windows-e2e.sh || failed+=("end-to-end under Wine")
wineserver -k 2>/dev/null || true
echo "Windows stage took $(( $(date +%s) - start )) s"
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Windows stage failed: ${failed[*]}" >&2
  exit 1
fi
