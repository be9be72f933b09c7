#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a user would meet it: what is
# on PATH, the desktop files, man pages and completion, both languages of tavrel-gif, and the
# window started by full path from another folder (offscreen), which must work in the
# user's own folder.
#   test_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
scratch=$(mktemp -d)
dialog_pid=
trap '[ -z "$dialog_pid" ] || kill "$dialog_pid" 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
have() { command -v "$1" >/dev/null; }

# A prefix with a space proves that the desktop entry quotes its path.
prefix="$scratch/install root"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(ls "$prefix/bin" | tr '\n' ' ')" = "tavrel tavrel-gif " ] || fail "on PATH: $(ls "$prefix/bin")"
[ "$(readlink -f "$prefix/bin/tavrel")" = "$(readlink -f "$prefix/libexec/tavrel/Tavrel")" ] ||
  fail "tavrel does not start libexec/tavrel/Tavrel"
for f in back.bmp simpleK.smf; do
  cmp -s "$source/Resources/Tavrel/$f" "$prefix/share/tavrel/$f" || fail "share/tavrel/$f"
done
for size in 16 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/tavrel.png" ] || fail "icon ${size}x$size"
done
entry="$prefix/share/applications/tavrel.desktop"
grep -qx "Exec=\"$prefix/bin/tavrel\" %F" "$entry" || fail "desktop entry: $(grep Exec "$entry")"
if have desktop-file-validate; then desktop-file-validate "$entry" || fail "desktop entry invalid"; fi
if have appstreamcli; then
  appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >/dev/null || fail "metainfo invalid"
fi
if have man; then
  for page in tavrel tavrel-gif; do
    text=$(LANG=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1) ||
      fail "man $page"
    grep -q "^NAME" <<<"$text" && ! grep -q warning <<<"$text" || fail "man $page: $text"
  done
fi
completion="$prefix/share/bash-completion/completions/tavrel-gif"
bash -c "source '$completion' && complete -p tavrel-gif" >/dev/null || fail "completion does not load"
if [ -f /usr/share/bash-completion/bash_completion ]; then
  speeds=$(bash -c "source /usr/share/bash-completion/bash_completion; source '$completion'
    COMP_WORDS=(tavrel-gif --speed f); COMP_CWORD=2; COMP_LINE='tavrel-gif --speed f'
    COMP_POINT=\${#COMP_LINE}; _tavrel_gif; echo \"\${COMPREPLY[*]}\"")
  [ "$speeds" = fast ] || fail "completion of --speed f: '$speeds'"
fi

# Both programs answer --version without a display.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[ "$("${nodisplay[@]}" "$prefix/bin/tavrel" --version)" = "Tavrel $3" ] || fail "Tavrel --version"
"${nodisplay[@]}" "$prefix/bin/tavrel" --help | grep -q '^Usage: tavrel ' || fail "tavrel --help"

# tavrel-gif from the prefix, started in an unrelated folder, leaves only its GIF there, and
# speaks Chinese under a Chinese locale only.
mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
"$prefix/bin/tavrel-gif" -o demo.gif "$source"/samples/[0-9]-*.* || fail "installed tavrel-gif"
[ "$(head -c 6 demo.gif)" = GIF89a ] && [ "$(ls -A)" = demo.gif ] || fail "demo.gif"
for lang in zh_CN.UTF-8:文件不存在 C:'no such file'; do
  said=$(env -u LC_ALL -u LC_MESSAGES LANG="${lang%%:*}" "$prefix/bin/tavrel-gif" -o x.gif missing.png 2>&1) &&
    fail "a missing picture was accepted"
  [ "$said" = "tavrel-gif: missing.png: ${lang#*:}" ] || fail "LANG=${lang%%:*}: '$said'"
done

# The working folder: an absolute XDG_DATA_HOME, else ~/.local/share; seeded once, so a
# user's own skin survives the next start.
home="$scratch/home"
mkdir "$home"
workdir=$(HOME="$home" XDG_DATA_HOME=relative "$prefix/bin/tavrel" --workdir)
[ "$workdir" = "$home/.local/share/tavrel" ] || fail "working folder '$workdir'"
xdg=$(HOME="$home" XDG_DATA_HOME="$scratch/xdg" "$prefix/bin/tavrel" --workdir)
[ "$xdg" = "$scratch/xdg/tavrel" ] || fail "XDG_DATA_HOME ignored: '$xdg'"
cmp -s "$source/Resources/Tavrel/back.bmp" "$workdir/Resources/Tavrel/back.bmp" || fail "not seeded"
echo "my own skin" >"$workdir/Resources/Tavrel/simpleK.smf"
HOME="$home" XDG_DATA_HOME= "$prefix/bin/tavrel" --workdir >/dev/null
[ "$(cat "$workdir/Resources/Tavrel/simpleK.smf")" = "my own skin" ] || fail "the user's skin was replaced"

# No folder under a HOME that does not exist or is relative; one line, status 1.
for bad in "$scratch/none" relhome; do
  said=$(HOME="$bad" XDG_DATA_HOME= "$prefix/bin/tavrel" --workdir 2>&1) && fail "HOME=$bad accepted"
  [ ! -e "$bad" ] && [ "$(echo "$said" | wc -l)" = 1 ] || fail "HOME=$bad: '$said'"
done

# Without a display, or with an option it does not know, the window says so in one line.
for run in "1 env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb" "2 env QT_QPA_PLATFORM=offscreen"; do
  code=0
  said=$(HOME="$home" XDG_DATA_HOME= ${run#* } "$prefix/bin/tavrel" --bogus 2>&1) || code=$?
  [ "$code" = "${run%% *}" ] && [ "$(echo "$said" | wc -l)" = 1 ] || fail "$run: $code '$said'"
done

# The window, started by the full path of the installed program from another folder, makes
# its working folders below the user's folder, not where it was started, and keeps running.
# A picture named on its command line (the desktop's Open with) is staged for slot 1.
HOME="$home" XDG_DATA_HOME= XDG_CACHE_HOME= QT_QPA_PLATFORM=offscreen \
  "$prefix/libexec/tavrel/Tavrel" "$source/samples/2-sunset.png" >"$scratch/log" 2>&1 &
dialog_pid=$!
for _ in $(seq 100); do
  [ -d "$workdir/Resources/LoadResource1/BMP" ] && break
  kill -0 "$dialog_pid" 2>/dev/null || fail "the window ended at start-up: $(cat "$scratch/log")"
  sleep 0.1
done
[ -d "$workdir/Resources/LoadResource1/BMP" ] && kill -0 "$dialog_pid" || fail "the window did not start"
for _ in $(seq 50); do
  compgen -G "$home/.cache/tavrel/window-*/*.bmp" >/dev/null && break
  sleep 0.1
done
compgen -G "$home/.cache/tavrel/window-*/*.bmp" >/dev/null || fail "the named picture was not staged: $(cat "$scratch/log")"
[ "$(ls -A)" = demo.gif ] || fail "the window wrote where it was started"
echo "install test passed"
