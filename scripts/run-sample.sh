#!/usr/bin/env bash
# Simulates the shipped sample channel with the sample climate year.
set -euo pipefail
BUILD=${1:-build}
echo "Terval: Beispielrechnung folgt mit dem Stapelprogramm (terval-batch)."
