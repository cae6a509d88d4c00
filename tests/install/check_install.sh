#!/bin/sh
# Installs into a fresh prefix and checks what a desktop needs from it: the program starts
# from there, the menu entry, metainfo and manual page pass their own validators, and the
# manual names every option that --help names.
set -eu
build=$1 id=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/vk3tune" --version | grep -q 'version 1.0'
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$id.metainfo.xml"
for size in 16 32 48 64 128 256; do
    test -s "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png"
done
page="$prefix/share/man/man1/vk3tune.1"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "$warnings"; exit 1; }
manual=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E ascii -l "$page" 2>/dev/null)
for option in $("$prefix/bin/vk3tune" --help | grep -oE '^ +-[^ ]+( --[^ ]+)?' | tr -d ','); do
    echo "$manual" | grep -qwe "$option" || { echo "the manual lacks $option"; exit 1; }
done
