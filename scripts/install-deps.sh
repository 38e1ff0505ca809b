#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing.
set -eu

PACKAGES="build-essential cmake pkg-config zlib1g-dev libssl-dev nlohmann-json3-dev
qt6-base-dev qt6-qpa-plugins libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libspng-dev
icoutils python3-pil pngcheck desktop-file-utils librsvg2-dev"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
