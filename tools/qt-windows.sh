#!/usr/bin/env bash
# Qt for Windows, as the window program needs it: Debian's own qt6-base source
# (with Debian's patches), cross-built once with Debian's MinGW-w64 into a static
# Qt with Core, Gui, Widgets, Test, the windows platform plugin and the
# windowsvista style. The build is kept outside the clone, in
#   ${XDG_CACHE_HOME:-~/.cache}/pt4prog/qt-windows-KEY
# where KEY is made of the source package's .dsc, this script (its options and
# patches) and the compiler's version; a build of the same key is reused.
# About 40 minutes on two cores the first time. Prints the prefix.
#   qt-windows.sh [--key]   (--key: print the prefix it would use, build nothing)
set -euo pipefail
cache=${XDG_CACHE_HOME:-$HOME/.cache}/pt4prog
src=$cache/qt-src
cxx=x86_64-w64-mingw32-g++-posix

# The source from Debian: the deb-src line apt needs is added once, for bookworm.
if ! ls "$src"/qt6-base_*.dsc >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
      $sudo tee /etc/apt/sources.list.d/pt4prog-src.sources >/dev/null
    $sudo apt-get update -qq
  fi
  mkdir -p "$src"
  (cd "$src" && apt-get source --download-only -qq qt6-base >&2)
fi
dsc=$(ls "$src"/qt6-base_*.dsc | head -n 1)
key=$({ sha256sum <"$dsc"; sha256sum <"$0"; $cxx --version | head -n 1; } | sha256sum | cut -c1-16)
prefix=$cache/qt-windows-$key
if [ "${1:-}" = --key ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$cache/qt-build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
dpkg-source -q -x "$dsc" "$work/src" >&2
cat >"$work/toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
# Debian's tarball leaves out the Wintab headers (tablets: off); desktop OpenGL
# stays out, and so does every module the windows do not use. The libraries Qt
# bundles are used, so that nothing but Windows' own DLLs is needed.
cmake -S "$work/src" -B "$work/build" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF \
  -DFEATURE_icu=OFF -DFEATURE_testlib=ON -DFEATURE_tabletevent=OFF -DINPUT_opengl=no \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_doubleconversion=OFF >"$work/configure.log" 2>&1 ||
  { tail -n 40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
