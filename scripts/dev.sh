#!/usr/bin/env bash
# Sets up, builds and runs Lumaquill on Debian 12.
#   scripts/dev.sh run    install what is missing, build, start the program
#   scripts/dev.sh test   install what is missing, build, run every test
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build"
packages=(cmake ninja-build g++ pkg-config zlib1g-dev libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins libgl-dev python3
          # picture formats: PNG, JPEG with EXIF orientation, WebP, HEIC/AVIF
          libspng-dev libjpeg62-turbo-dev libexif-dev libwebp-dev libheif-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

configure_and_build() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    configure_and_build
    exec "$build/src/app/lumaquill"
    ;;
test)
    install_missing
    configure_and_build
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200
    ;;
*)
    echo "usage: scripts/dev.sh run|test" >&2
    exit 2
    ;;
esac
