#!/usr/bin/env bash
# Cross-builds Tarvelin for 64-bit Windows on Debian: MinGW-w64 and the Qt for Windows in
# ../shared/toolchains (or $TARVELIN_WIN_QT_TARBALL), unpacked once into build/win-qt.
#   bash tools/build-windows.sh    -> build/win/deploy/bin: Tarvelin.exe, vexa.exe and all they
#                                     need, ready to copy to Windows; build/win/Tarvelin-*-win64.exe:
#                                     the installer (NSIS); build/win/tests: the common library's
#                                     tests for Windows
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tarball=${TARVELIN_WIN_QT_TARBALL:-$root/../shared/toolchains/qt6.4.2-mingw-w64.tar.xz}
qt=$root/build/win-qt/qt6.4.2-mingw-w64
if [ ! -x "$qt/bin/qt-cmake" ]; then
  if [ ! -f "$tarball" ]; then
    echo "build-windows: no Qt for Windows at $tarball" >&2
    exit 2
  fi
  echo "Unpacking $(basename "$tarball") into build/win-qt"
  rm -rf "$root/build/win-qt"
  mkdir -p "$root/build/win-qt"
  tar -xJf "$tarball" -C "$root/build/win-qt"
fi

build=$root/build/win
"$qt/bin/qt-cmake" -S "$root" -B "$build" -G Ninja -DQT_HOST_PATH=/usr \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DTARVELIN_BUILD_TESTS=ON \
  -DTARVELIN_QT_TRANSLATIONS=/usr/share/qt6/translations >/dev/null
cmake --build "$build" -j "${TARVELIN_JOBS:-2}"

# One folder with both programs and everything they load.
rm -rf "$build/deploy"
cmake --install "$build" --prefix "$build/deploy" >/dev/null
echo "Windows folder: $build/deploy/bin"

# The installer from the same install rules, with Debian's makensis.
rm -f "$build"/*-win64.exe
(cd "$build" && cpack -G NSIS >/dev/null)
echo "Installer: $(ls "$build"/*-win64.exe)"
