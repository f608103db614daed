#!/usr/bin/env bash
# Installs the Debian packages the project needs (as root, or through sudo), skipping the
# apt run when everything is already there.
#   tools/setup.sh        build and test tools
#   tools/setup.sh gui    also what showing windows under Xvfb needs
#   tools/setup.sh fuzz   also clang and libFuzzer
#   tools/setup.sh bench  also the peer extractors the benchmark runs
set -euo pipefail

packages=(
    cmake ninja-build g++ python3
    googletest libgtest-dev libgmock-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64
)
case "${1:-}" in
    gui) packages+=(xvfb xdotool imagemagick fonts-ipafont-gothic) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    bench) packages+=(ripmime mpack maildir-utils time) ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
