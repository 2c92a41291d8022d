#!/usr/bin/env bash
# Installs the Debian packages that building, testing and rendering need. Idempotent: it asks
# apt only for what is missing and prints nothing when everything is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev fonts-liberation2
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libkissfft-dev libpng-dev libcli11-dev libsimpleini-dev
  ffmpeg
  clang-14 libclang-rt-14-dev
  # scripts/bench-report.sh: the table's script and the peer it is measured against
  python3 gstreamer1.0-tools gstreamer1.0-plugins-good
  # the Windows plug-in: MinGW-w64 (posix threads) and its Wine tests on an Xvfb screen
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  wine wine64 xvfb imagemagick
  # corvex play: SDL2, Dear ImGui, Xlib (a window another client destroys), and a sound server
  # for the recording test
  libsdl2-dev libimgui-dev libx11-dev pulseaudio pulseaudio-utils
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/tmp/corvex-apt.log 2>&1; then
  # A fresh machine may have no package lists yet.
  $sudo apt-get update -q >>/tmp/corvex-apt.log 2>&1
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >>/tmp/corvex-apt.log 2>&1 || {
    tail -20 /tmp/corvex-apt.log >&2
    exit 1
  }
fi
