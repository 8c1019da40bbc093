#!/bin/bash
# Cross-builds the Windows product and its Windows test programs.
#   tools/windows/build.sh [BUILD_DIR]      (default: build-windows)
# Qt for Windows and libzint are built once per machine (qt.sh, zint.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-windows}

qt=$("$here/qt.sh" | tail -1)
zint=$("$here/zint.sh" | tail -1)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

ORVATEK_WIN_DEPS=$zint cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" \
    -DORVATEK_QT_WIN="$qt" \
    -DCMAKE_PREFIX_PATH="$qt;$zint" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=ON \
    "${launcher[@]}" >&2
cmake --build "$build" --parallel "${QT_WIN_JOBS:-2}" >&2

# What the programs need beside them under Wine and in the package.
{
    echo "qt=$qt"
    echo "zint=$zint"
} > "$build/windows-deps.txt"
