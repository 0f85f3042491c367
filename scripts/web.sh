#!/bin/sh
# Builds Quorvex for the browser from Debian's own packages.
#   sh scripts/web.sh            builds the site folder, build-web/site
#   sh scripts/web.sh --serve    builds it and serves it on 127.0.0.1 (QUORVEX_WEB_PORT, 8080)
#   sh scripts/web.sh --deps-only
# It installs emscripten and the build tools from Debian, fetches Debian's source packages of
# the libraries the game links (through a private apt configuration; the system's sources are
# left alone) and builds them for wasm, static only, into one prefix in a cache folder outside
# the checkout. The folder's name is derived from the pinned versions and emscripten's version,
# so a later run with the same pins finds the prefix complete and goes on at once. Then it
# builds the content pack natively (or takes QUORVEX_WEB_PACK, a pack already built), the game
# for wasm, and the site: a folder any static file server can host.
# QUORVEX_WEB_CACHE overrides the cache folder, QUORVEX_WEB_OUT the output (build-web).
set -eu

# Pinned source versions: the ones bookworm serves. When the archive drops one, `apt-get source`
# fails; list what it serves now with
#   APT_CONFIG=<cache>/apt/apt.conf apt-cache showsrc <package> | grep ^Version
# (the config and its lists are written by this script) and update the pin here.
ZLIB_VERSION="1:1.2.13.dfsg-1"
LIBPNG_VERSION="1.6.39-2+deb12u5"
LIBJPEG_VERSION="1:2.1.5-2"
LIBXMP_VERSION="4.5.0-2"
SDL2_VERSION="2.26.5+dfsg-1"
SDL2_MIXER_VERSION="2.6.2+dfsg-2"
# Raise when the build recipe below changes, so that prefixes built by the old one are not reused.
RECIPE=1

CACHE_ROOT="${QUORVEX_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvex-web}"
JOBS="${JOBS:-2}"

usage() {
  echo "usage: sh scripts/web.sh [--serve | --deps-only]" >&2
  exit 2
}

log() { echo "web.sh: $*" >&2; }

install_debian_packages() {
  sh "$(dirname "$0")/install-deps.sh" --web
}

# Emscripten's tools and configure checks run under node; these make Debian's node usable for them.
setup_emscripten_env() {
  # node-acorn lives in Debian's node module folder, which this node does not search by itself.
  NODE_PATH="/usr/share/nodejs:/usr/lib/nodejs${NODE_PATH:+:$NODE_PATH}"
  # The loaders emscripten generates take node's built-in fetch for a browser and fail to load
  # their wasm, so every configure check that runs a program would fail.
  NODE_OPTIONS="--no-experimental-fetch${NODE_OPTIONS:+ $NODE_OPTIONS}"
  export NODE_PATH NODE_OPTIONS
  EM_VERSION=$(emcc --version 2>/dev/null | sed -n '1s/.* \([0-9][0-9.]*\).*/\1/p')
  [ -n "$EM_VERSION" ] || { log "emcc does not run"; exit 1; }
}

cache_key() {
  printf '%s\n' "$ZLIB_VERSION" "$LIBPNG_VERSION" "$LIBJPEG_VERSION" "$LIBXMP_VERSION" \
    "$SDL2_VERSION" "$SDL2_MIXER_VERSION" "$EM_VERSION" "$RECIPE" | sha256sum | cut -c1-16
}

# A private apt: its own sources (deb-src only), lists, state and cache under the cache folder.
setup_private_apt() {
  apt_dir="$CACHE_ROOT/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d" \
    "$apt_dir/preferences.d"
  # Only bookworm and its updates: the mirror here does not serve the security pool's sources.
  cat > "$apt_dir/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-updates main
EOF
  cat > "$apt_dir/apt.conf" <<EOF
Dir::State "$apt_dir/";
Dir::State::Lists "$apt_dir/lists/";
Dir::Cache "$apt_dir/cache/";
Dir::Etc::SourceList "$apt_dir/sources.list";
Dir::Etc::SourceParts "$apt_dir/sources.list.d/";
Dir::Etc::Preferences "$apt_dir/preferences";
Dir::Etc::PreferencesParts "$apt_dir/preferences.d/";
APT::Sandbox::User "root";
EOF
  APT_CONFIG="$apt_dir/apt.conf"
  export APT_CONFIG
  # Fresh lists once per cache key build is enough; the pins decide what is fetched.
  apt-get update -qq
}

fetch_source() {  # package version
  if ! (cd "$SRC" && apt-get source -qq "$1=$2" >/dev/null); then
    log "apt-get source $1=$2 failed: the archive no longer serves this version."
    log "List what it serves with: APT_CONFIG=$APT_CONFIG apt-cache showsrc $1 | grep ^Version"
    log "and update the pin at the top of scripts/web.sh."
    exit 1
  fi
}

# The one directory apt-get source unpacked for a package: <name>-<upstream version>.
source_dir() {  # package version
  upstream=${2#*:}
  upstream=${upstream%-*}
  echo "$SRC/$1-$upstream"
}

cmake_common() {
  echo "-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$PREFIX -DCMAKE_FIND_ROOT_PATH=$PREFIX
-DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF"
}

build_zlib() {
  d=$(source_dir zlib "$ZLIB_VERSION")
  # Its CMake build wants a file the dfsg tarball leaves out; its own configure needs none.
  (cd "$d" && emconfigure ./configure --static --prefix="$PREFIX" >/dev/null \
    && emmake make -j"$JOBS" libz.a >/dev/null && emmake make install >/dev/null)
}

build_libpng() {
  d=$(source_dir libpng1.6 "$LIBPNG_VERSION")
  # shellcheck disable=SC2046
  emcmake cmake -S "$d" -B "$BUILD/libpng" $(cmake_common) \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -Dld-version-script=OFF \
    -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a" >/dev/null
  cmake --build "$BUILD/libpng" -j"$JOBS" >/dev/null
  cmake --install "$BUILD/libpng" >/dev/null
}

build_libjpeg() {
  d=$(source_dir libjpeg-turbo "$LIBJPEG_VERSION")
  # Its type-size and shift checks run test programs; wasm32's answers are fixed, so preset them.
  # shellcheck disable=SC2046
  emcmake cmake -S "$d" -B "$BUILD/libjpeg" $(cmake_common) \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF -DWITH_FUZZ=OFF \
    -DSIZE_T=4 -DUNSIGNED_LONG=4 \
    -DRIGHT_SHIFT_IS_UNSIGNED=0 >/dev/null
  cmake --build "$BUILD/libjpeg" -j"$JOBS" >/dev/null
  cmake --install "$BUILD/libjpeg" >/dev/null
}

build_libxmp() {
  d=$(source_dir libxmp "$LIBXMP_VERSION")
  (cd "$d" && emconfigure ./configure --prefix="$PREFIX" --enable-static --disable-shared \
      --host=wasm32-unknown-emscripten >/dev/null \
    && emmake make -j"$JOBS" >/dev/null && emmake make install >/dev/null)
}

build_sdl2() {
  d=$(source_dir libsdl2 "$SDL2_VERSION")
  # shellcheck disable=SC2046
  emcmake cmake -S "$d" -B "$BUILD/sdl2" $(cmake_common) \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON >/dev/null
  cmake --build "$BUILD/sdl2" -j"$JOBS" >/dev/null
  cmake --install "$BUILD/sdl2" >/dev/null
}

build_sdl2_mixer() {
  d=$(source_dir libsdl2-mixer "$SDL2_MIXER_VERSION")
  # Debian's copy forgets the include that defines find_package_handle_standard_args; patch the
  # unpacked source (it is ours, in the cache) rather than carry a file of our own.
  f="$d/cmake/Findlibxmp.cmake"
  grep -q FindPackageHandleStandardArgs "$f" \
    || sed -i '1i include(FindPackageHandleStandardArgs)' "$f"
  # The pack's music is modules (libxmp) and WAV; every other format is left out.
  # shellcheck disable=SC2046
  emcmake cmake -S "$d" -B "$BUILD/sdl2_mixer" $(cmake_common) \
    -DSDL2_DIR="$PREFIX/lib/cmake/SDL2" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF \
    -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=OFF -DSDL2MIXER_MOD_XMP=ON \
    -DSDL2MIXER_MOD_XMP_SHARED=OFF -Dlibxmp_LIBRARY="$PREFIX/lib/libxmp.a" \
    -Dlibxmp_INCLUDE_PATH="$PREFIX/include" \
    -DSDL2MIXER_WAVE=ON -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS="" >/dev/null
  cmake --build "$BUILD/sdl2_mixer" -j"$JOBS" >/dev/null
  cmake --install "$BUILD/sdl2_mixer" >/dev/null
}

# Links a program that opens the mixer and loads music from memory, so that a prefix missing a
# symbol is never stamped complete. The archives go by path: emcc reads -lSDL2 and -lSDL2_mixer
# as requests for its own ports, which download (and fail offline).
check_link() {
  cat > "$BUILD/check.c" <<'EOF'
#include <SDL.h>
#include <SDL_mixer.h>
int main(void) {
  static const unsigned char none[1];
  if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) return 1;
  Mix_FreeMusic(Mix_LoadMUS_RW(SDL_RWFromConstMem(none, sizeof none), 1));
  Mix_CloseAudio();
  SDL_Quit();
  return 0;
}
EOF
  # shellcheck disable=SC2016
  emcc -O1 "$BUILD/check.c" -I"$PREFIX/include/SDL2" -I"$PREFIX/include" \
    "$PREFIX/lib/libSDL2_mixer.a" "$PREFIX/lib/libxmp.a" "$PREFIX/lib/libSDL2.a" \
    -sASYNCIFY -sERROR_ON_UNDEFINED_SYMBOLS=1 \
    '-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=["$autoResumeAudioContext","$dynCall"]' \
    -o "$BUILD/check.js" || { log "the libraries do not link together"; exit 1; }
}

build_deps() {
  install_debian_packages
  setup_emscripten_env
  KEY_DIR="$CACHE_ROOT/$(cache_key)"
  PREFIX="$KEY_DIR/prefix"
  STAMP="$PREFIX/.complete"
  if [ -f "$STAMP" ]; then
    log "dependencies ready in $PREFIX"
    return 0
  fi
  # A run that stopped half-way leaves no stamp; start that key over rather than trust its parts.
  rm -rf "$KEY_DIR"
  SRC="$KEY_DIR/src"
  BUILD="$KEY_DIR/build"
  mkdir -p "$SRC" "$BUILD" "$PREFIX"
  setup_private_apt
  fetch_source zlib "$ZLIB_VERSION"
  fetch_source libpng1.6 "$LIBPNG_VERSION"
  fetch_source libjpeg-turbo "$LIBJPEG_VERSION"
  fetch_source libxmp "$LIBXMP_VERSION"
  fetch_source libsdl2 "$SDL2_VERSION"
  fetch_source libsdl2-mixer "$SDL2_MIXER_VERSION"
  for dep in zlib libpng libjpeg libxmp sdl2 sdl2_mixer; do
    log "building $dep for wasm"
    "build_$dep"
  done
  for lib in libz.a libpng.a libjpeg.a libxmp.a libSDL2.a libSDL2_mixer.a; do
    [ -f "$PREFIX/lib/$lib" ] || { log "build finished without $PREFIX/lib/$lib"; exit 1; }
  done
  check_link
  # Sources and objects are only needed to build; the prefix is what later stages use.
  rm -rf "$SRC" "$BUILD"
  date -u > "$STAMP"
  log "dependencies built in $PREFIX"
}

# The desktop build's generator draws the pack and the icons; the wasm build only reads them.
build_native_pack() {
  if [ -n "${QUORVEX_WEB_PACK:-}" ]; then
    [ -f "$QUORVEX_WEB_PACK/options.txt" ] || { log "no content pack in $QUORVEX_WEB_PACK"; exit 1; }
    PACK="$QUORVEX_WEB_PACK"
    ICONS="$(dirname "$PACK")/icons"
  else
    cmake -S "$ROOT" -B "$OUT/native" -DCMAKE_BUILD_TYPE=Release -DQUORVEX_BUILD_TESTS=OFF >/dev/null
    cmake --build "$OUT/native" -j"$JOBS" --target quorvex_pack quorvex_icons >/dev/null
    PACK="$OUT/native/pack"
    ICONS="$OUT/native/icons"
  fi
  ICON="$ICONS/hicolor/256x256/apps/org.quorvex.quorvex.png"
  [ -f "$ICON" ] || { log "no icon at $ICON"; exit 1; }
}

build_wasm() {
  emcmake cmake -S "$ROOT" -B "$OUT/wasm" -DCMAKE_BUILD_TYPE=Release \
    -DQUORVEX_WEB_PREFIX="$PREFIX" -DQUORVEX_PACK_FROM="$PACK" >/dev/null
  cmake --build "$OUT/wasm" -j"$JOBS" --target quorvex
}

# The site: the page and its manifest, the program (JS and wasm), the pack's data and the icon.
# Written beside the old one and swapped in whole, so a server never sees half a site.
write_site() {
  site="$OUT/site"
  rm -rf "$site.new"
  mkdir -p "$site.new"
  for f in quorvex.js quorvex.wasm quorvex.data; do
    cp "$OUT/wasm/src/$f" "$site.new/$f"
  done
  cp "$ROOT/dist/web/index.html" "$ROOT/dist/web/manifest.webmanifest" "$site.new/"
  cp "$ICON" "$site.new/icon-256.png"
  rm -rf "$site"
  mv "$site.new" "$site"
  log "site written to $site"
}

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="${QUORVEX_WEB_OUT:-$ROOT/build-web}"
[ $# -le 1 ] || usage
case "${1:-}" in
  --deps-only) build_deps ;;
  ""|--serve)
    build_deps
    build_native_pack
    build_wasm
    write_site
    if [ "${1:-}" = "--serve" ]; then
      exec node "$ROOT/scripts/web-serve.mjs" "$OUT/site"
    fi
    ;;
  *) usage ;;
esac
