#!/bin/sh
# Builds the Debian package, checks its control data and starts the program it holds.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(ls "$work"/vk3tune_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = vk3tune ]
[ "$(dpkg-deb -f "$deb" Version)" = 1.0 ]
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libsdl2-2.0-0 libsdl2-mixer-2.0-0; do
    echo "$depends" | grep -q "$library" || { echo "no $library in: $depends"; exit 1; }
done
dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/vk3tune" --version | grep -q 'version 1.0'
