#!/bin/bash
# The Windows package: orvatek.exe with the DLLs, plugins and Qt texts it needs,
# stripped, as a zip and as an installer (Debian's nsis).
#   tools/windows/package.sh [BUILD_DIR]    (default: build-windows; built first)
# Makes BUILD_DIR/orvatek-<version>-windows-x64.zip and
#       BUILD_DIR/orvatek-<version>-windows-x64-setup.exe; prints their paths.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-windows}

sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
need=()
for p in nsis zip qt6-translations-l10n python3; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    $sudo apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >&2
fi

"$here/build.sh" "$build"
. "$build/windows-deps.txt"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=orvatek-$version-windows-x64
stage=$build/package/orvatek
gccdir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")

rm -rf "$build/package"
mkdir -p "$stage/plugins/platforms" "$stage/plugins/styles" "$stage/plugins/imageformats" \
         "$stage/translations"
# Qt gathers the programs of a Windows build in the top build folder.
cp "$build/orvatek.exe" "$stage/"
cp "$qt/bin/Qt6Core.dll" "$qt/bin/Qt6Gui.dll" "$qt/bin/Qt6Widgets.dll" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/plugins/platforms/"
cp "$qt/plugins/styles/"*.dll "$stage/plugins/styles/"
cp "$qt/plugins/imageformats/qico.dll" "$stage/plugins/imageformats/"
cp "$zint/bin/libzint.dll" "$stage/"
cp "$gccdir/libstdc++-6.dll" "$gccdir/libgcc_s_seh-1.dll" \
   /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
# Qt's own texts in Russian (buttons, context menus): the same Qt version's.
cp /usr/share/qt6/translations/qtbase_ru.qm /usr/share/qt6/translations/qtserialport_ru.qm \
   "$stage/translations/"
printf '[Paths]\r\nPrefix = .\r\nPlugins = plugins\r\nTranslations = translations\r\n' \
    > "$stage/qt.conf"
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# The installer's list of files: each folder's files copied by name, and the
# uninstaller's deletes of exactly those, then of each folder, deepest first,
# which RMDir leaves in place when anything else is in it.
files=$build/package/files.nsh
{
    echo '!macro InstallFiles'
    (cd "$stage" && find . -type d | LC_ALL=C sort) | while read -r dir; do
        rel=${dir#.}; rel=${rel#/}; win=${rel//\//\\}
        echo "    SetOutPath \"\$INSTDIR${win:+\\$win}\""
        (cd "$stage/$rel" && find . -maxdepth 1 -type f | LC_ALL=C sort) | while read -r f; do
            echo "    File \"$stage/${rel:+$rel/}${f#./}\""
        done
    done
    echo '!macroend'
    echo '!macro UninstallFiles'
    (cd "$stage" && find . -type f | LC_ALL=C sort) | while read -r f; do
        rel=${f#./}
        echo "    Delete \"\$INSTDIR\\${rel//\//\\}\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r dir; do
        rel=${dir#./}
        echo "    RMDir \"\$INSTDIR\\${rel//\//\\}\""
    done
    echo '!macroend'
} >"$files"

rm -f "$build/$name.zip" "$build/$name-setup.exe"
(cd "$build/package" && zip -qr9 "$build/$name.zip" orvatek)
makensis -V2 -DSOURCE="$stage" -DFILES="$files" -DOUTFILE="$build/$name-setup.exe" \
    -DVERSION="$version" -DICON="$build/form/orvatek.ico" "$root/dist/windows/orvatek.nsi" >&2
echo "$build/$name.zip"
echo "$build/$name-setup.exe"
