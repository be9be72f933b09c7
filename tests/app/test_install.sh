#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs both programs from there: tavrel-gif
# on the sample pictures, and the launcher, which must give a user (a fake HOME) a seeded
# working folder and start the dialog in it.
#   test_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
scratch=$(mktemp -d)
dialog_pid=
trap '[ -z "$dialog_pid" ] || kill "$dialog_pid" 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A prefix with a space proves that the launcher and the desktop entry quote their paths.
prefix="$scratch/install root"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/Tavrel bin/tavrel-gif bin/tavrel; do [ -x "$prefix/$f" ] || fail "no $f"; done
for f in back.bmp simpleK.smf; do
  cmp -s "$source/Resources/Tavrel/$f" "$prefix/share/tavrel/$f" || fail "share/tavrel/$f"
done
for size in 16 32 48 256; do
  cmp -s "$source/res/icons/tavrel-$size.png" "$prefix/share/icons/hicolor/${size}x$size/apps/tavrel.png" ||
    fail "icon ${size}x$size"
done
entry="$prefix/share/applications/tavrel.desktop"
grep -qx "Exec=\"$prefix/bin/tavrel\"" "$entry" && grep -qx 'Icon=tavrel' "$entry" || fail "desktop entry"

# tavrel-gif from the prefix, started in an unrelated folder, leaves only its GIF there.
mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
"$prefix/bin/tavrel-gif" -o demo.gif "$source"/samples/[0-9]-*.* || fail "installed tavrel-gif"
[ "$(head -c 6 demo.gif)" = GIF89a ] && [ "$(ls -A)" = demo.gif ] || fail "demo.gif"

# The launcher's working folder: an absolute XDG_DATA_HOME, else ~/.local/share.
home="$scratch/home"
workdir=$(HOME="$home" XDG_DATA_HOME=relative "$prefix/bin/tavrel" --workdir)
[ "$workdir" = "$home/.local/share/tavrel" ] || fail "working folder '$workdir'"
xdg=$(HOME="$home" XDG_DATA_HOME="$scratch/xdg" "$prefix/bin/tavrel" --workdir)
[ "$xdg" = "$scratch/xdg/tavrel" ] || fail "XDG_DATA_HOME ignored: '$xdg'"
cmp -s "$source/Resources/Tavrel/back.bmp" "$workdir/Resources/Tavrel/back.bmp" || fail "not seeded"
# A user's own skin survives the next start.
echo "my own skin" >"$workdir/Resources/Tavrel/simpleK.smf"
HOME="$home" XDG_DATA_HOME= "$prefix/bin/tavrel" --workdir >/dev/null
[ "$(cat "$workdir/Resources/Tavrel/simpleK.smf")" = "my own skin" ] || fail "the user's skin was replaced"

# The dialog, started through the launcher without a display, makes its working folders
# below the user's folder, not where it was started, and keeps running.
HOME="$home" XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen "$prefix/bin/tavrel" >"$scratch/log" 2>&1 &
dialog_pid=$!
for _ in $(seq 100); do
  [ -d "$workdir/Resources/LoadResource1/BMP" ] && break
  kill -0 "$dialog_pid" 2>/dev/null || fail "the dialog ended at start-up: $(cat "$scratch/log")"
  sleep 0.1
done
[ -d "$workdir/Resources/LoadResource1/BMP" ] && kill -0 "$dialog_pid" || fail "the dialog did not start"
[ "$(ls -A)" = demo.gif ] || fail "the dialog wrote where it was started"
echo "install test passed"
