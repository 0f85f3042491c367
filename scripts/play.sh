#!/bin/sh
# Installs what is missing, builds the game and its content pack, lays the pack into the
# per-user game folder and starts the game there. The checkout is never written to at run time.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_BUILD_TESTS=OFF
cmake --build build -j "$(nproc)" --target quorvex quorvex_pack
game_dir="${XDG_DATA_HOME:-$HOME/.local/share}/quorvex"
exec build/src/quorvex --pack build/pack --dir "$game_dir" "$@"
