#!/usr/bin/env bash
# Renews the pictures of the main window in docs/: after start-up, during a
# run at 1024 x 640, after a run of the sample channel in each of the chart's
# three display modes, and the chart after a move of its slider; the soil
# field on a winter and a summer day and the year at a glance.
# Headless (Qt's offscreen platform); needs a build with the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
cmake --build "$BUILD" --target terval tst_TMainform tst_Bodenfenster terval_daten -j2
export QT_QPA_PLATFORM=offscreen
TERVAL_SCREENSHOT="$PWD/docs/hauptfenster-start.png" "$BUILD/bin/terval"
TERVAL_BILDVERZEICHNIS="$PWD/docs" "$BUILD/bin/tst_TMainform" laufMitBeispieldaten
TERVAL_BILDVERZEICHNIS="$PWD/docs" "$BUILD/bin/tst_Bodenfenster" batchZeichnetWieDieFenster
ls -l docs/hauptfenster-*.png docs/diagramm-schieber.png docs/feld2d-*.png docs/jahresueberblick-*.png
