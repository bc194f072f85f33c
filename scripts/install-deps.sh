#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Brewpad need.
# Does nothing when everything is already there.
set -e
PKGS="g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev \
openjdk-17-jdk-headless openjdk-17-doc openjdk-17-source unzip xvfb xauth xterm xdotool x11-utils poppler-utils dos2unix imagemagick xclip clang libclang-rt-14-dev \
dpkg-dev desktop-file-utils appstream shared-mime-info groff-base lintian ccache ninja-build lld \
junit5 junit4 maven maven-debian-helper libmaven-compiler-plugin-java libmaven-dependency-plugin-java \
libmaven-jar-plugin-java libmaven-resources-plugin-java libsurefire-java libmaven-install-plugin-java \
libmaven-clean-plugin-java libcommons-lang3-java"
# `--bench`: also what `make bench` compares Brewpad with (bench/bench_peers.cpp).
[ "$1" = "--bench" ] && PKGS="$PKGS geany"
missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
