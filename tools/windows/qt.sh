#!/bin/bash
# Builds Qt for Windows (x86_64, MinGW-w64) from Debian's own qt6-base source,
# once per machine, into ~/.cache/orvatek-qt-<version>-<hash>/ where <hash> is
# that of this script and the files it uses (so a changed recipe builds anew).
# The host's qt6-base-dev (the same version) serves as the host Qt: its moc,
# rcc and uic run on this machine for the cross build.
#
# Prints the install folder on its last line of stdout.
#   tools/windows/qt.sh            build if needed
#   QT_WIN_JOBS=2 (default)        parallel jobs
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
version=6.4.2
debversion=6.4.2+dfsg-10
hash=$(cat "$here/qt.sh" "$here/toolchain.cmake" "$here/wintab/"* | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}
prefix=$cache/orvatek-qt-$version-$hash
work=$cache/orvatek-qt-build-$version-$hash
jobs=${QT_WIN_JOBS:-2}

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
need=()
for p in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
         mingw-w64-x86-64-dev libwine-dev dpkg-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    $sudo apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >&2
fi

mkdir -p "$work"
cd "$work"

# The source, through an apt configuration of our own (deb-src of the same
# archive and suite); the machine's own apt set-up is not touched.
src=$work/qt6-base-$version+dfsg
if [ ! -f "$src/.unpacked" ]; then
    mkdir -p apt/lists/partial apt/cache/archives/partial apt/sources.list.d
    echo "deb-src http://deb.debian.org/debian bookworm main" > apt/sources.list
    aptopts=(-o Dir::Etc::SourceList="$work/apt/sources.list"
             -o Dir::Etc::SourceParts="$work/apt/sources.list.d"
             -o Dir::State::Lists="$work/apt/lists"
             -o Dir::Cache="$work/apt/cache"
             -o APT::Sandbox::User=root)
    apt-get "${aptopts[@]}" update -qq >&2
    rm -rf "$src"
    apt-get "${aptopts[@]}" source -qq "qt6-base=$debversion" >&2
    touch "$src/.unpacked"
fi

# Debian's source leaves out src/3rdparty/wintab; Wine's (LGPL) headers serve.
if [ ! -f "$src/src/3rdparty/wintab/wintab.h" ]; then
    mkdir -p "$src/src/3rdparty/wintab"
    cp "$here/wintab/"* "$src/src/3rdparty/wintab/"
fi
cp /usr/include/wine/wine/windows/wintab.h "$src/src/3rdparty/wintab/wine_wintab.h"
cp /usr/include/wine/wine/windows/pktdef.h "$src/src/3rdparty/wintab/pktdef.h"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Only what the tool uses: Core, Gui, Widgets, Test and the platform plugin,
# with Qt's own copies of zlib, libpng, PCRE2, FreeType and HarfBuzz.
off=(sql dbus opengl vulkan network printsupport concurrent xml zstd icu jpeg
     system_zlib system_png system_jpeg system_pcre2 system_freetype system_harfbuzz
     system_doubleconversion system_libb2 system_sqlite system_textmarkdownreader
     testlib_selfcover sql_sqlite)
feat=()
for f in "${off[@]}"; do feat+=(-DFEATURE_$f=OFF); done

rm -rf "$work/build"
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no \
    "${feat[@]}" "${launcher[@]}" >&2
nice -n 19 cmake --build "$work/build" --parallel "$jobs" >&2
rm -rf "$prefix"
cmake --install "$work/build" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
