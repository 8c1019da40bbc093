#!/bin/bash
# Builds the Debian package from a build tree, checks what it declares and holds,
# installs it with dpkg into a scratch root (never into the system), and starts the
# installed program on a private X server to see its window come up.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
appid=org.orvatek.Orvatek
work=$(mktemp -d "${TMPDIR:-/tmp}/orvatek-package.XXXXXX")
xvfb_pid=
app_pid=

cleanup() {
    local pid
    for pid in $app_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg dpkg-deb dpkg-shlibdeps readelf Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool not found (Debian packages: cmake dpkg-dev binutils xvfb xdotool)"
done

echo "== cpack -G DEB"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/orvatek_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one orvatek_*.deb, got: ${debs[*]}"
deb=${debs[0]}
echo "$(basename "$deb")"

echo "== control fields"
dpkg-deb -f "$deb" Package Version Architecture Section Priority Maintainer Depends Suggests
[ "$(dpkg-deb -f "$deb" Package)" = orvatek ] || fail "package name"
# The package names in Depends, without versions or alternatives.
dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | awk 'NF {print $1}' | sort -u >"$work/depends"
# What the program loads at run time without linking it.
required=(qt6-translations-l10n fonts-paratype)
# Every library the binary links, by the package that ships it on this system.
dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" ./usr/bin/orvatek
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
for soname in $(readelf -d "$work/usr/bin/orvatek" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    # Most libraries live in the multiarch directory; Debian's libzint, which draws
    # the test codes, straight in /usr/lib.
    owner=$(dpkg -S "*/$multiarch/$soname" "/usr/lib/$soname" 2>/dev/null | head -n1 | cut -d: -f1) \
        || true
    [ -n "$owner" ] || fail "no installed package ships $soname"
    required+=("$owner")
done
for dep in "${required[@]}"; do
    grep -qxF "$dep" "$work/depends" || fail "Depends lacks $dep"
done
echo "Depends covers: ${required[*]}"

echo "== contents"
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for path in usr/bin/orvatek \
    usr/share/applications/$appid.desktop \
    usr/share/metainfo/$appid.metainfo.xml \
    usr/share/icons/hicolor/32x32/apps/$appid.png \
    usr/share/icons/hicolor/scalable/apps/$appid.svg; do
    grep -qx "\./$path" "$work/contents" || fail "package lacks /$path"
done
if grep -v -e '^\./$' -e '^\./usr/' "$work/contents"; then
    fail "package installs outside /usr"
fi

if command -v apt-get >/dev/null; then
    echo "== dependencies resolvable (apt-get --simulate)"
    apt-get --simulate --no-install-recommends install "$deb" >"$work/apt.log" 2>&1 \
        || { cat "$work/apt.log"; fail "apt-get cannot satisfy the package's Depends"; }
    grep -E '^(Inst|Conf) ' "$work/apt.log" || true
fi

echo "== dpkg --install into a scratch root"
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The scratch root has no other package, so its Depends cannot be met there; they
# were checked against the system above. A developer's unprivileged run goes
# through fakeroot, as dpkg wants to own the files as root.
dpkg_cmd=(dpkg --root="$root" --force-depends --force-not-root --log=/dev/null)
if [ "$(id -u)" -ne 0 ]; then
    command -v fakeroot >/dev/null || fail "fakeroot not found (Debian package fakeroot)"
    dpkg_cmd=(fakeroot "${dpkg_cmd[@]}")
fi
PATH="$PATH:/usr/sbin:/sbin" "${dpkg_cmd[@]}" --install "$deb" >"$work/dpkg.log" 2>&1 \
    || { cat "$work/dpkg.log"; fail "dpkg --install"; }
status=$(PATH="$PATH:/usr/sbin:/sbin" dpkg --root="$root" --status orvatek | sed -n 's/^Status: //p')
echo "status: $status"
[ "$status" = "install ok installed" ] || fail "package state in the scratch root"
binary=$root/usr/bin/orvatek
[ -x "$binary" ] || fail "installed binary not executable"
if readelf -d "$binary" | grep -E 'RPATH|RUNPATH'; then
    fail "installed binary carries a run path"
fi

echo "== start the installed program on a private X server"
# -displayfd lets the server pick a free display and report it once it accepts
# clients.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb reported no display"
export DISPLAY=":$(head -n1 "$work/display")"
echo "display $DISPLAY"
mkdir -m 700 "$work/runtime"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u SESSION_MANAGER XDG_RUNTIME_DIR="$work/runtime" \
    "$binary" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Orvatek$' | head -n1) || true
if [ -z "$window" ]; then
    cat "$work/app.log"
    fail "no visible window named Orvatek within 30 s"
fi
kill -0 "$app_pid" 2>/dev/null || { cat "$work/app.log"; fail "the program ended"; }
xdotool getwindowgeometry "$window"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 200x396 ] || fail "window geometry $geometry, expected 200x396"
if grep -q '^orvatek:' "$work/app.log"; then
    cat "$work/app.log"
    fail "the program reported a problem at start"
fi
echo "PASS: package builds, installs and starts"
