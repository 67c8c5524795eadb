#!/usr/bin/env bash
# Runs the fuzz targets built by fuzz/build.sh, each for SEKUNDEN seconds,
# two at a time at low priority (the machine is shared). Each target keeps
# its growing corpus in build-fuzz/korpus/<target> (started from
# fuzz/seeds/<target>) and puts any crashing input into
# build-fuzz/funde/<target>/. The seconds each target ran are added to
# build-fuzz/fuzzzeiten.txt.
#
#   fuzz/run.sh SEKUNDEN [ZIEL...]     e.g. fuzz/run.sh 600 dbase kanal
#
# A finding ends that target's run; reproduce it with
#   build-fuzz/fuzz_<target> build-fuzz/funde/<target>/crash-...
set -uo pipefail
cd "$(dirname "$0")/.."

AUS=${FUZZ_BUILD:-build-fuzz}
SEKUNDEN=${1:?Aufruf: fuzz/run.sh SEKUNDEN [ZIEL...]}
shift
ZIELE=("$@")
[[ ${#ZIELE[@]} -eq 0 ]] && ZIELE=(dbase paradox texttabelle epw try soils kanal standort)
PARALLEL=${PARALLEL:-2}

laufe() {
  local z=$1 korpus="$AUS/korpus/$1" funde="$AUS/funde/$1"
  mkdir -p "$korpus" "$funde"
  local laenge=16384
  [[ $z == dbase || $z == kanal ]] && laenge=65536
  local beginn=$SECONDS
  nice -n 10 "$AUS/fuzz_$z" -max_total_time="$SEKUNDEN" -max_len="$laenge" -timeout=30 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$funde/" \
    "$korpus" "fuzz/seeds/$z" > "$AUS/fuzz_$z.log" 2>&1
  local status=$?
  echo "$z $((SECONDS - beginn))" >> "$AUS/fuzzzeiten.txt"
  if (( status != 0 )); then
    echo "$z: BEFUND (siehe $AUS/fuzz_$z.log und $funde/)"
  else
    echo "$z: $((SECONDS - beginn)) s ohne Befund, $(grep -c '' <(ls "$korpus")) Eingaben im Korpus"
  fi
}

aktiv=()
for z in "${ZIELE[@]}"; do
  [[ -x $AUS/fuzz_$z ]] || { echo "$AUS/fuzz_$z fehlt: erst fuzz/build.sh"; exit 2; }
  laufe "$z" &
  aktiv+=($!)
  if (( ${#aktiv[@]} >= PARALLEL )); then
    wait "${aktiv[0]}"
    aktiv=("${aktiv[@]:1}")
  fi
done
for p in "${aktiv[@]}"; do wait "$p"; done

echo "Fuzzzeit je Ziel bisher (Minuten):"
awk '{s[$1] += $2} END {for (z in s) printf "  %-12s %6.1f\n", z, s[z] / 60}' "$AUS/fuzzzeiten.txt" | sort
