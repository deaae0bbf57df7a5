#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run twice: packages already
# present are skipped, and apt is only asked when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev qt6-webengine-dev
  qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
  libbenchmark-dev libzip-dev libisofs-dev libqrencode-dev zbar-tools
  libopencv-dev libzxing-dev qt6-pdf-dev xorriso lintian dpkg-dev desktop-file-utils appstream
  clang libclang-rt-14-dev
  clang-format
  xvfb xauth imagemagick poppler-utils libxml2-utils unzip
  pandoc gcovr cloc r-cran-psych
  fonts-dejavu-core fonts-noto-core
  chromium
)
# Node and npm run the player's browser tests; a node that is already there (from
# another packager) is kept, as Debian's npm would not install beside it.
if ! command -v node >/dev/null 2>&1; then
  packages+=(nodejs)
fi
if ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
