# Sourced by ./run, ./test, bench/run and tools/soak: installs what is missing with apt-get,
# then configures and builds the project in the given build directory.
#   ensure_packages PKG...      install the Debian packages that are not there yet
#   build_project DIR [CMAKE_ARGS...]

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building and running the tool needs.
build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
    qt6-translations-l10n fonts-paratype libxkbcommon-dev libzint-dev python3 iso-codes
    qt6-base-private-dev libxcb-xinput-dev)
# What the tests need on top: a real X server and a window manager, keyboard layouts and key
# injection, a headless Wayland compositor with its key injection and Qt's
# Wayland platform, the accessibility bus, pseudo-terminal tools, a bar-code
# reader to check the test codes, the fuzzing toolchain and the desktop-file and
# package checkers.
test_packages=(xvfb xauth xdotool x11-xserver-utils x11-xkb-utils python3-xlib sway wtype qt6-wayland openbox
    dbus-daemon at-spi2-core python3-pyatspi socat libzxing-dev libxtst-dev xinput
    clang-14 libfuzzer-14-dev libclang-rt-14-dev desktop-file-utils appstream dpkg-dev fakeroot binutils file)

# What the Windows stage needs (tools/windows/*.sh check the same for
# themselves): MinGW-w64 and Debian's source tools for Qt and libzint, NSIS and
# zip for the package, Wine, and the Russian locale Wine takes its code pages from.
windows_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev libwine-dev dpkg-dev qt6-base-dev-tools nsis zip wine wine64 locales)

ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The second build: clang with AddressSanitizer, UndefinedBehaviorSanitizer and
# the fuzz targets.
build_sanitized() {
    CC=clang-14 CXX=clang++-14 build_project "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug \
        -DORVATEK_SANITIZE=ON -DORVATEK_FUZZ=ON "$@"
}

build_project() {
    local dir=$1
    shift
    # A developer's ccache, where installed, makes rebuilds of other trees cheap.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null &&
        cmake --build "$dir" --parallel "$(nproc)"
}
