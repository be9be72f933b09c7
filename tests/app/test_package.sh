#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks its name, Depends and contents.
# Skipped (77) without the packaging tools.
#   test_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
for tool in dpkg-deb dpkg-shlibdeps fakeroot; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch" >/dev/null 2>&1) || fail "cpack"
deb="$scratch/tavrel_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$scratch")"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 fonts-wqy-zenhei qt6-translations-l10n; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/tavrel ./usr/bin/tavrel-gif ./usr/libexec/tavrel/Tavrel \
  ./usr/share/tavrel/back.bmp ./usr/share/tavrel/simpleK.smf \
  ./usr/share/tavrel/translations/tavrel_zh_CN.qm ./usr/share/applications/tavrel.desktop \
  ./usr/share/metainfo/org.example.tavrel.Tavrel.metainfo.xml \
  ./usr/share/icons/hicolor/48x48/apps/tavrel.png ./usr/share/man/man1/tavrel.1.gz \
  ./usr/share/man/man1/tavrel-gif.1.gz ./usr/share/bash-completion/completions/tavrel-gif; do
  grep -qx -- "$path" <<<"$contents" || fail "the package lacks $path"
done
[ "$(grep -c '^\./usr/bin/.' <<<"$contents")" = 2 ] || fail "more than two programs on PATH"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/tavrel.desktop |
  grep -qx 'Exec="/usr/bin/tavrel" %F' || fail "the desktop entry does not start /usr/bin/tavrel"
echo "package test passed"
