#!/usr/bin/env bash
# Simulates the shipped sample channel (Erdkanal.ewt.db, location Bochum.loc.db)
# over the sample climate year with terval-batch and prints its summary.
# The result files go to ./ergebnisse/.
#
#   scripts/run-sample.sh [BUILDVERZEICHNIS]     (default: build)
set -euo pipefail

BUILD=${1:-build}
if [ ! -d "$BUILD" ]; then
  echo "Buildverzeichnis \"$BUILD\" fehlt (erst bauen: make build)." >&2
  exit 1
fi
BUILD=$(cd "$BUILD" && pwd)
PROGRAMM="$BUILD/bin/terval-batch"
DATEN="$BUILD/share/terval"

if [ ! -x "$PROGRAMM" ]; then
  echo "$PROGRAMM fehlt (erst bauen: make build)." >&2
  exit 1
fi

# The dBASE table made at build time from the weather file; the weather file
# itself (read-only import) holds the same year.
KLIMA=""
for name in Aachen2022.DBF 15000_20220101_20230101_Aachen-Orsbach.epw; do
  if [ -f "$DATEN/$name" ]; then KLIMA="$DATEN/$name"; break; fi
done
for datei in Erdkanal.ewt.db Bochum.loc.db; do
  if [ ! -f "$DATEN/$datei" ]; then
    echo "Beispieldatei $DATEN/$datei fehlt." >&2
    exit 1
  fi
done
if [ -z "$KLIMA" ]; then
  echo "Beispiel-Klimajahr (Aachen2022.DBF oder die .epw-Datei) fehlt in $DATEN." >&2
  exit 1
fi

# Reading a climate table writes the year back into its file:
# the program works on copies so the shipped samples stay as they are.
EINGABE=$(mktemp -d)
trap 'rm -rf "$EINGABE"' EXIT
cp "$DATEN/Erdkanal.ewt.db" "$DATEN/Bochum.loc.db" "$KLIMA" "$EINGABE/"
for cpg in "$DATEN/Erdkanal.ewt.cpg" "$DATEN/Bochum.loc.cpg" "${KLIMA%.*}.cpg"; do
  if [ -f "$cpg" ]; then cp "$cpg" "$EINGABE/"; fi
done

mkdir -p ergebnisse
cd ergebnisse
echo "Terval: Beispielrechnung mit $(basename "$KLIMA") in $(pwd)" >&2

# The Aachen year has no precipitation: it is generated in memory, with a
# fixed seed so that every run gives the same files.
"$PROGRAMM" \
  --kanal "$EINGABE/Erdkanal.ewt.db" \
  --standort "$EINGABE/Bochum.loc.db" \
  --klima "$EINGABE/$(basename "$KLIMA")" \
  --erzeugen --seed 1 \
  --tagesgang
