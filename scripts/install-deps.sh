#!/usr/bin/env bash
# Installs every Debian package Terval needs to build, test and run.
# Does nothing when all of them are present already.
set -euo pipefail

PAKETE=(
  build-essential cmake pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  libshp-dev pxlib-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  python3 python3-dbfread
  xvfb xauth fonts-dejavu-core
  clang
)

fehlend=()
for p in "${PAKETE[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    fehlend+=("$p")
  fi
done

if [ ${#fehlend[@]} -eq 0 ]; then
  exit 0
fi

echo "Installiere: ${fehlend[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
