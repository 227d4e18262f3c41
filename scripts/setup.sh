#!/usr/bin/env bash
# Installs every Debian package that building and testing Tavrel needs; a fast no-op when all is there.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config clang-format
  clang libclang-rt-14-dev llvm
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-networkauth-dev qt6-svg-dev qt6-pdf-dev
  libsqlite3-dev libpugixml-dev libcpp-httplib-dev
  xvfb xauth dbus fonts-dejavu-core xdg-utils shared-mime-info x11-utils xdotool curl
  adwaita-icon-theme
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
