#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Safe to run again:
# apt-get skips what is already there, and the package lists are refreshed once per run.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libmupdf-dev mupdf-tools libmujs-dev libgumbo-dev libopenjp2-7-dev libjbig2dec0-dev
  libharfbuzz-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
  libjpeg62-turbo-dev zlib1g-dev libpugixml-dev libcli11-dev
  libgtest-dev python3-fonttools clang libclang-rt-14-dev
  unzip python3
  libreoffice-impress poppler-utils
  qt6-base-dev qt6-qpa-plugins xvfb xauth
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"
