#!/usr/bin/env bash
# Installs every Debian package Terval needs to build, test and run.
# Does nothing when all of them, and the German locale the tests use, are present already.
set -euo pipefail

PAKETE=(
  build-essential cmake pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  libshp-dev pxlib-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev qt6-translations-l10n
  python3 python3-dbfread
  parallel
  xvfb xauth fonts-dejavu-core
  clang
  locales
)

fehlend=()
for p in "${PAKETE[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    fehlend+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#fehlend[@]} -gt 0 ]; then
  echo "Installiere: ${fehlend[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
fi

# The tests check that number texts ignore a German locale; generate it once.
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  echo "Erzeuge Locale de_DE.UTF-8"
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
