#!/usr/bin/env bash
# Checksums of the results a change must leave alone: every file of the sample
# run (scripts/run-sample.sh) and the overall results of the 150-segment
# benchmark channel. Compare two builds with diff:
#
#   scripts/ergebnis-pruefsummen.sh build > vorher.txt
#   ... change, rebuild ...
#   scripts/ergebnis-pruefsummen.sh build > nachher.txt && diff vorher.txt nachher.txt
set -euo pipefail

WURZEL=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-build}" && pwd)
ARBEIT=$(mktemp -d)
trap 'rm -rf "$ARBEIT"' EXIT

(cd "$ARBEIT" && bash "$WURZEL/scripts/run-sample.sh" "$BUILD" >/dev/null 2>&1)
mkdir "$ARBEIT/bench"
TERVAL_BENCH_ERGEBNIS="$ARBEIT/bench" "$BUILD/bin/terval_bench" \
  --benchmark_filter='^BM_Gesamtergebnis$' --benchmark_min_time=0.01 >/dev/null 2>&1

cd "$ARBEIT"
find ergebnisse bench -type f | LC_ALL=C sort | while read -r datei; do
  sha256sum "$datei"
done
