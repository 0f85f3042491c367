#!/bin/sh
# Installs the build into a temporary prefix and checks the tree a desktop needs, then starts
# the installed game headless from an unrelated folder: it must find its content pack, lay it
# into the per-user game folder and reach the menu there.
# Usage: install_test.sh BUILD_DIR CMAKE
set -eu
build=$1
cmake=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
id=org.quorvex.quorvex
for f in bin/quorvex share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/man/man6/quorvex.6 share/quorvex/pack/options.txt share/quorvex/pack/main.msl; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no ${size}px icon"
  # The PNG header's width and height are the icon's size.
  dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')
  want=" 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
  [ "$dims" = "$want" ] || fail "${size}px icon has the header$dims"
done

desktop=$prefix/share/applications/$id.desktop
for line in "Exec=quorvex" "Icon=$id" "StartupWMClass=$id" "Type=Application"; do
  grep -qx "$line" "$desktop" || fail "the desktop file lacks $line"
done
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >"$tmp/as.txt" 2>&1 ||
  { cat "$tmp/as.txt"; fail "appstreamcli validate"; }
grep -q "@" "$prefix/share/metainfo/$id.metainfo.xml" && fail "unconfigured placeholder in the metainfo"

# Every option of --help is in the manual page, and the other way round.
game=$prefix/bin/quorvex
"$game" --help >"$tmp/help.txt"
man=$prefix/share/man/man6/quorvex.6
grep -o -- '--[a-z][a-z-]*' "$tmp/help.txt" | sort -u >"$tmp/help_opts.txt"
sed 's/\\-/-/g' "$man" | grep -o -- '--[a-z][a-z-]*' | sort -u >"$tmp/man_opts.txt"
diff "$tmp/help_opts.txt" "$tmp/man_opts.txt" >/dev/null ||
  fail "--help and the manual page name different options: $(diff "$tmp/help_opts.txt" "$tmp/man_opts.txt" | tr '\n' ' ')"
[ "$(wc -l <"$tmp/help_opts.txt")" -ge 15 ] || fail "too few options in --help"
"$game" --version | grep -qx "quorvex [0-9][0-9.]*" || fail "--version"

# The installed game from an unrelated folder, per-user folder under HOME.
mkdir -p "$tmp/elsewhere" "$tmp/home"
printf '399 state menu.json\n' >"$tmp/s.txt"
(cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" "$game" --headless --seed 3 \
  --script "$tmp/s.txt" --ticks 400) || fail "the installed game did not run"
user=$tmp/home/.local/share/quorvex
[ -f "$user/menu.json" ] || fail "no state dump in the per-user folder"
grep -q '"scene":1,' "$user/menu.json" || fail "not in the menu scene"
grep -Eq '"loading":\{"logo_phase":-1,"load_index":([0-9]+),"entries":\1\}' "$user/menu.json" ||
  fail "the loading screen did not finish: $(grep -o '"loading":{[^}]*}' "$user/menu.json")"
[ -f "$user/main.msl" ] || fail "the pack was not laid into the per-user folder"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "the game wrote into the folder it was started from"

# The player's settings survive a start; XDG_DATA_HOME moves the folder.
printf 'fullscreen=0\r\nmusic_volume=3\r\n' >"$user/options.txt"
(cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" "$game" --headless --ticks 5) ||
  fail "second start"
grep -q "music_volume=3" "$user/options.txt" || fail "options.txt was replaced by the pack's"
(cd "$tmp/elsewhere" && XDG_DATA_HOME="$tmp/xdg" HOME="$tmp/home" "$game" --headless --ticks 5) ||
  fail "start with XDG_DATA_HOME"
[ -f "$tmp/xdg/quorvex/options.txt" ] || fail "XDG_DATA_HOME was not used"
# A replay never plays in the per-user folder by itself.
printf '0 seed 1\n5 quit\n' >"$tmp/rec.txt"
if (cd "$tmp/elsewhere" && env -u XDG_DATA_HOME HOME="$tmp/home" "$game" --replay "$tmp/rec.txt" \
  2>/dev/null); then
  fail "an installed game replayed into the per-user folder"
fi
echo "install tree and installed game: ok"
