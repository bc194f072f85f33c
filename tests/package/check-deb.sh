#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, checked as a user's system would see it:
#
#   check-deb.sh <cpack> <CPackConfig.cmake> <version> <AppStream id>
#
# builds the package from the build tree (in a temporary directory), unpacks it
# with dpkg-deb, and checks its control data (library dependencies read from the
# program, the JDK and a terminal recommended), its files (desktop-file-validate,
# appstreamcli validate --no-net, the .jpr type through update-mime-database,
# the icon sizes, the manual page through groff, the copyright and changelog,
# the compile service's jar where the program looks for it), that the unpacked
# program answers --version with no display (its Qt libraries come from the
# system), and, when lintian is installed, that lintian reports neither an
# error nor a warning.
set -u
CPACK=$1 CONFIG=$2 VERSION=$3 APPID=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }
step() { echo "== $*"; }

step "building the package"
"$CPACK" -G DEB --config "$CONFIG" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAILED: cpack did not build the package" >&2; exit 1; }
debs=("$work"/out/brewpad_"$VERSION"_*.deb)
[ -f "${debs[0]}" ] || { ls -R "$work/out" >&2; echo "FAILED: no brewpad_${VERSION}_*.deb" >&2; exit 1; }
deb=${debs[0]}
echo "   $(basename "$deb"), $(stat -c %s "$deb") bytes"

step "control data"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brewpad ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$VERSION" ] || fail "Version is '$(field Version)'"
depends=$(field Depends)
# The package names, without their versions.
names=" $(sed -E 's/ \([^)]*\)//g; s/,//g' <<<"$depends") "
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    [[ $names == *" $lib "* ]] || fail "Depends lacks $lib: $depends"
done
recommends=$(field Recommends)
[ "$recommends" = "openjdk-17-jdk-headless | default-jdk-headless, x-terminal-emulator | xterm" ] ||
    fail "Recommends is '$recommends'"
description=$(field Description)
[ "$(head -1 <<<"$description")" = "small, fast IDE for Java" ] || fail "Description: $description"
[ "$(wc -l <<<"$description")" -gt 1 ] || fail "the Description has no long text"

step "unpacking"
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAILED: dpkg-deb -x" >&2; exit 1; }
desktop=$root/usr/share/applications/brewpad.desktop
metainfo=$root/usr/share/metainfo/$APPID.metainfo.xml
mimexml=$root/usr/share/mime/packages/brewpad.xml
man=$root/usr/share/man/man1/brewpad.1.gz
for f in usr/bin/brewpad "${desktop#$root/}" "${metainfo#$root/}" "${mimexml#$root/}" "${man#$root/}"; do
    [ -f "$root/$f" ] || fail "the package has no /$f"
done
[ -x "$root/usr/bin/brewpad" ] || fail "/usr/bin/brewpad is not executable"
rpath=$(readelf -d "$root/usr/bin/brewpad" | grep -E 'R(UN)?PATH')
[ -z "$rpath" ] || fail "/usr/bin/brewpad has a run-time search path: $rpath"
# Nothing outside /usr.
others=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$others" ] || fail "files outside /usr: $others"

step "desktop entry"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=brewpad %F' "$desktop" || fail "Exec is not 'brewpad %F'"
grep -qx 'MimeType=text/x-java;application/x-brewpad-project;' "$desktop" || fail "MimeType line"
grep -qx 'Icon=brewpad' "$desktop" || fail "Icon line"

step "AppStream metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate --no-net"
grep -q '<caption>.\+</caption>' "$metainfo" || fail "no screenshot caption"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no content rating"
grep -q "<release version=\"$VERSION\"" "$metainfo" || fail "no release $VERSION"

step "the type of .jpr files"
mkdir -p "$work/mime/packages"
cp "$mimexml" "$work/mime/packages/"
update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log" >&2; fail "update-mime-database"; }
grep -q '^60:application/x-brewpad-project:\*\.jpr$' "$work/mime/globs2" ||
    fail "globs2 lacks *.jpr for application/x-brewpad-project"
grep -q '<comment>Brewpad Java project</comment>' "$work/mime/application/x-brewpad-project.xml" 2>/dev/null ||
    fail "the type has no comment"

step "icons"
for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/brewpad.png
    if [ ! -f "$png" ]; then
        fail "no icon at ${size}x${size}"
        continue
    fi
    # Width and height of a PNG: big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $dims"
done

step "manual page"
warnings=$(zcat "$man" | groff -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "groff warns: $warnings"
zcat "$man" | grep -q "Brewpad $VERSION" || fail "the manual page does not name version $VERSION"

step "copyright and changelog"
doc=$root/usr/share/doc/brewpad
copyright=$doc/copyright
if [ -f "$copyright" ]; then
    head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file is not machine-readable"
    grep -qx 'License: GPL-3.0-or-later' "$copyright" || fail "the copyright file does not name GPL-3.0-or-later"
    grep -q '/usr/share/common-licenses/GPL-3' "$copyright" || fail "the copyright file does not point to GPL-3"
else
    fail "the package has no /usr/share/doc/brewpad/copyright"
fi
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo names no project_license"
if [ -f "$doc/changelog.gz" ]; then
    top=$(zcat "$doc/changelog.gz" | head -1)
    [[ $top == "brewpad ($VERSION) "* ]] || fail "the changelog's latest entry is not version $VERSION: $top"
else
    fail "the package has no /usr/share/doc/brewpad/changelog.gz"
fi

step "the compile service's jar"
jar=usr/share/brewpad/brewpad-compile-service.jar
if [ -f "$root/$jar" ]; then
    # The program looks for it relative to its own folder (a QString literal: UTF-16).
    strings -el "$root/usr/bin/brewpad" | grep -qxF "../share/brewpad/brewpad-compile-service.jar" ||
        fail "/usr/bin/brewpad does not look for /$jar"
else
    echo "   none: built without a JDK"
fi
libexec=$(cd "$root" && find . -path '*/libexec*')
[ -z "$libexec" ] || fail "files under libexec: $libexec"

step "the module that prints"
module=usr/lib/brewpad/plugins/brewpad-printsupport.so
[ -f "$root/$module" ] || fail "the package has no /$module"
# The program loads it relative to its own folder (a QString literal: UTF-16).
strings -el "$root/usr/bin/brewpad" | grep -qxF "../lib/brewpad/plugins/" ||
    fail "/usr/bin/brewpad does not look for /$module"

step "lintian"
if command -v lintian >/dev/null; then
    # Any error or warning fails; what lintian reports is shown.
    lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$work/lintian.log" 2>&1
    status=$?
    grep -v 'running with root privileges is not recommended' "$work/lintian.log" | sed 's/^/   /'
    [ $status = 0 ] || fail "lintian reports errors or warnings"
else
    echo "   lintian is not installed: skipped"
fi

step "brewpad --version from the package, with no display"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" XDG_CONFIG_HOME="$work/config" \
      "$root/usr/bin/brewpad" --version 2>&1)
status=$?
[ $status = 0 ] || fail "brewpad --version ended with status $status: $out"
[ "$out" = "Brewpad $VERSION" ] || fail "brewpad --version printed '$out'"
echo "   $out"

[ $failed = 0 ] || exit 1
echo "== the package is good"
