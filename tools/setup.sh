#!/usr/bin/env bash
# Installs the Debian packages the project needs (as root, or through sudo), skipping the
# apt run when everything is already there.
#   tools/setup.sh        build and test tools, with what the program's windows need on a
#                         virtual display (Xvfb, xdotool, ImageMagick, a Japanese font), the
#                         Japanese locale, so that Wine runs with code page 932, and what
#                         makes the release files (NSIS, zip)
#   tools/setup.sh fuzz   also clang and libFuzzer
#   tools/setup.sh bench  also the peer extractors the benchmark runs
#   tools/setup.sh run    the same as without an argument
set -euo pipefail

packages=(
    cmake ninja-build g++ python3
    python3-olefile tnef
    googletest libgtest-dev libgmock-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    zlib1g-dev libz-mingw-w64-dev
    wine wine64
    xvfb xdotool imagemagick fonts-ipafont-gothic locales python3-pil
    nsis zip unzip
)
case "${1:-}" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    bench) packages+=(ripmime mpack maildir-utils time) ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    "${sudo[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo[@]}" locale-gen >/dev/null
fi
