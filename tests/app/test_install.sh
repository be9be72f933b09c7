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
cleanup() {
  if [ -n "$dialog_pid" ]; then kill "$dialog_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A prefix with a space proves the launcher and the desktop entry quote their paths.
prefix="$scratch/install root"
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/Tavrel bin/tavrel-gif bin/tavrel; do
  [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
for f in back.bmp simpleK.smf; do
  cmp -s "$source/Resources/Tavrel/$f" "$prefix/share/tavrel/$f" || fail "share/tavrel/$f differs"
done
for size in 16 32 48 256; do
  cmp -s "$source/res/icons/tavrel-$size.png" "$prefix/share/icons/hicolor/${size}x$size/apps/tavrel.png" ||
    fail "icon ${size}x$size missing"
done
entry="$prefix/share/applications/tavrel.desktop"
grep -qx "Exec=\"$prefix/bin/tavrel\"" "$entry" || fail "desktop entry Exec: $(grep Exec "$entry")"
grep -qx 'Icon=tavrel' "$entry" || fail "desktop entry Icon"
grep -qx 'Type=Application' "$entry" || fail "desktop entry Type"

# tavrel-gif from the prefix, started from an unrelated folder.
mkdir "$scratch/elsewhere"
(cd "$scratch/elsewhere" && "$prefix/bin/tavrel-gif" -o demo.gif "$source"/samples/*.jpg "$source"/samples/*.png) ||
  fail "installed tavrel-gif failed"
[ "$(head -c 6 "$scratch/elsewhere/demo.gif")" = GIF89a ] || fail "demo.gif is not a GIF89a file"
[ "$(tail -c 1 "$scratch/elsewhere/demo.gif" | od -An -tx1 | tr -d ' ')" = 3b ] || fail "demo.gif has no trailer"
[ "$(ls -A "$scratch/elsewhere")" = demo.gif ] || fail "tavrel-gif left files behind: $(ls -A "$scratch/elsewhere")"

# The launcher: the XDG data home when it is absolute, else ~/.local/share.
home="$scratch/home"
mkdir "$home"
workdir=$(env -u XDG_DATA_HOME HOME="$home" "$prefix/bin/tavrel" --workdir)
[ "$workdir" = "$home/.local/share/tavrel" ] || fail "working folder is '$workdir'"
workdir=$(HOME="$home" XDG_DATA_HOME=relative/path "$prefix/bin/tavrel" --workdir)
[ "$workdir" = "$home/.local/share/tavrel" ] || fail "a relative XDG_DATA_HOME was used: '$workdir'"
xdg=$(HOME="$home" XDG_DATA_HOME="$scratch/xdg data" "$prefix/bin/tavrel" --workdir)
[ "$xdg" = "$scratch/xdg data/tavrel" ] || fail "XDG_DATA_HOME ignored: '$xdg'"
for f in back.bmp simpleK.smf; do
  cmp -s "$source/Resources/Tavrel/$f" "$workdir/Resources/Tavrel/$f" || fail "$f not seeded"
done

# A user's own skin survives the next start; a deleted file comes back.
echo "my own skin" >"$workdir/Resources/Tavrel/simpleK.smf"
rm "$workdir/Resources/Tavrel/back.bmp"
env -u XDG_DATA_HOME HOME="$home" "$prefix/bin/tavrel" --workdir >/dev/null
[ "$(cat "$workdir/Resources/Tavrel/simpleK.smf")" = "my own skin" ] || fail "the user's skin was overwritten"
cmp -s "$source/Resources/Tavrel/back.bmp" "$workdir/Resources/Tavrel/back.bmp" || fail "back.bmp not restored"

# The dialog itself, started through the launcher without a display: it makes its working
# folders below the user's folder (not below the prefix or here) and keeps running.
cp "$source/Resources/Tavrel/simpleK.smf" "$workdir/Resources/Tavrel/simpleK.smf"
(cd "$scratch/elsewhere" && exec env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/tavrel" >"$scratch/dialog.log" 2>&1) &
dialog_pid=$!
for _ in $(seq 100); do
  [ -d "$workdir/Resources/LoadResource1/BMP" ] && break
  kill -0 "$dialog_pid" 2>/dev/null || fail "the dialog ended at start-up: $(cat "$scratch/dialog.log")"
  sleep 0.1
done
[ -d "$workdir/Resources/LoadResource1/BMP" ] || fail "the dialog made no working folders in $workdir"
kill -0 "$dialog_pid" 2>/dev/null || fail "the dialog did not keep running"
[ ! -e "$scratch/elsewhere/Resources" ] || fail "the dialog wrote into the folder it was started from"
kill "$dialog_pid"
wait "$dialog_pid" 2>/dev/null || true
dialog_pid=

echo "install test passed"
