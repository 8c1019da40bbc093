#!/bin/bash
# Builds libzint for Windows (x86_64, MinGW-w64) from Debian's own zint source,
# once per machine, into ~/.cache/orvatek-zint-<hash>/ (<hash>: of this script
# and the toolchain file). Prints the install folder on its last line of stdout.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
hash=$(cat "$here/zint.sh" "$here/toolchain.cmake" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}
prefix=$cache/orvatek-zint-$hash
work=$cache/orvatek-zint-build-$hash

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/sources.list.d"
cd "$work"
# Debian's source, through an apt configuration of our own (the machine's is
# not touched).
echo "deb-src http://deb.debian.org/debian bookworm main" > apt/sources.list
aptopts=(-o Dir::Etc::SourceList="$work/apt/sources.list"
         -o Dir::Etc::SourceParts="$work/apt/sources.list.d"
         -o Dir::State::Lists="$work/apt/lists"
         -o Dir::Cache="$work/apt/cache"
         -o APT::Sandbox::User=root)
apt-get "${aptopts[@]}" update -qq >&2
apt-get "${aptopts[@]}" source -qq zint >&2
src=$(find "$work" -maxdepth 1 -type d -name 'zint-*' | head -1)

cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DZINT_SHARED=ON -DZINT_STATIC=OFF -DZINT_USE_PNG=OFF -DZINT_USE_QT=OFF \
    -DZINT_FRONTEND=OFF -DZINT_TEST=OFF -DZINT_UNINSTALL=OFF >&2
nice -n 19 cmake --build "$work/build" --parallel "${QT_WIN_JOBS:-2}" >&2
rm -rf "$prefix"
cmake --install "$work/build" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
