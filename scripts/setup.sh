#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's archive only, and
# builds libjpeg-turbo for the Windows program from Debian's own source package.
# Safe to run again: installed packages and an existing libjpeg build are kept.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}

packages=(
  cmake ninja-build g++ g++-mingw-w64-x86-64-posix mingw-w64-tools nasm dpkg-dev
  googletest libgtest-dev libbenchmark-dev libjpeg62-turbo-dev libjpeg-turbo-progs
  wine wine64 fonts-wine fonts-wqy-zenhei xvfb xdotool x11-utils imagemagick
  python3-pytest python3-pil
  # The fuzz targets: Debian's clang, and libFuzzer with the sanitizer runtimes, which
  # bookworm ships apart from the compiler.
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# libjpeg-turbo cross-built with mingw-w64, static, with SIMD.
jpeg_prefix=$build/deps/libjpeg-turbo-mingw
if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
  work=$build/deps/src
  rm -rf "$work"
  mkdir -p "$work/lists/partial"
  # A private deb-src list made from the machine's own apt sources, so that no host
  # name is written anywhere and the system's configuration stays untouched.
  sources=$work/sources.list
  : >"$sources"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && grep -E '^deb ' "$f" | sed 's/^deb /deb-src /' >>"$sources" || true
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      /^Types:/ { types=$0 } /^URIs:/ { uris=$2 } /^Suites:/ { $1=""; suites=$0 }
      /^Components:/ { $1=""; comps=$0 } /^Signed-By:/ { key=$2 }
      /^$/ { flush() } END { flush() }
      function flush(  n, s, i) {
        if (uris != "" && types ~ /deb/) {
          n = split(suites, s, " ")
          for (i = 1; i <= n; i++) printf "deb-src [signed-by=%s] %s %s%s\n", key, uris, s[i], comps
        }
        types=""; uris=""; suites=""; comps=""; key=""
      }' "$f" >>"$sources"
  done
  apt_opts=(-o "Dir::Etc::sourcelist=$sources" -o "Dir::Etc::sourceparts=-"
            -o "Dir::State::Lists=$work/lists" -o "APT::Get::List-Cleanup=0")
  apt-get "${apt_opts[@]}" update -qq
  (cd "$work" && apt-get "${apt_opts[@]}" source --download-only -qq libjpeg-turbo >/dev/null 2>&1)
  (cd "$work" && dpkg-source -x --no-check ./libjpeg-turbo_*.dsc src >/dev/null)
  cmake -S "$work/src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_TURBOJPEG=OFF -Wno-dev >/dev/null
  cmake --build "$work/build" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
  echo "setup: libjpeg-turbo for Windows in $jpeg_prefix"
fi
