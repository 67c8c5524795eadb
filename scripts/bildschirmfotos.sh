#!/usr/bin/env bash
# Renews the pictures of the main window in docs/: after start-up, during a
# run at 1024 x 640, after a run of the sample channel in each of the chart's
# three display modes, the chart after a move of its slider; the soil field
# on a winter and a summer day and the year at a glance; the window of a
# variant study.
# Headless (Qt's offscreen platform); needs a build with the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
cmake --build "$BUILD" --target terval terval-batch tst_TMainform tst_Bodenfenster tst_Variantenstudie terval_daten -j2
export QT_QPA_PLATFORM=offscreen
TERVAL_SCREENSHOT="$PWD/docs/hauptfenster-start.png" "$BUILD/bin/terval"
TERVAL_BILDVERZEICHNIS="$PWD/docs" "$BUILD/bin/tst_TMainform" laufMitBeispieldaten
TERVAL_BILDVERZEICHNIS="$PWD/docs" "$BUILD/bin/tst_Bodenfenster" batchZeichnetWieDieFenster

# A small study of the sample: two lengths, two depths, three bores, two flows.
STUDIE=$(mktemp -d)
trap 'rm -rf "$STUDIE"' EXIT
DATEN="$PWD/$BUILD/share/terval"
{
  echo "Name;Segmente;Tiefe;Innendurchmesser_mm;Wanddicke_mm;Anz_Rohre;Volumenstrom"
  for l in 20 40; do for t in 1.5 2.5; do for d in 150 200 250; do for v in 150 300; do
    echo "L${l}-T${t}-D${d}-V${v};$l;$t;$d;8;1;$v"
  done; done; done; done
} > "$STUDIE/studie.csv"
(cd "$STUDIE" && "$OLDPWD/$BUILD/bin/terval-batch" --kanal "$DATEN/Erdkanal.ewt.db" --standort "$DATEN/Bochum.loc.db" \
  --klima "$DATEN/Aachen2022.DBF" --erzeugen --seed 1 --studie studie.csv --stamm Erdkanal >/dev/null)
TERVAL_STUDIE="$STUDIE/Erdkanal Studie.csv" TERVAL_BILDVERZEICHNIS="$PWD/docs" "$BUILD/bin/tst_Variantenstudie" bild
ls -l docs/hauptfenster-*.png docs/diagramm-schieber.png docs/feld2d-*.png docs/jahresueberblick-*.png docs/variantenstudie.png
