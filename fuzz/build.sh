#!/usr/bin/env bash
# Builds one libFuzzer target per reader (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/, independent of the CMake
# build: the library sources the readers need are compiled with coverage
# instrumentation into one archive, each target links against it.
#
#   fuzz/build.sh           build every target (objects are rebuilt when a
#                           source or any header is newer)
#   fuzz/build.sh --saat    also rewrite the binary seed files in fuzz/seeds/
#
# Targets: dbase paradox texttabelle epw try soils kanal standort
set -euo pipefail
cd "$(dirname "$0")/.."

AUS=${FUZZ_BUILD:-build-fuzz}
CXX=${CXX:-clang++}
JOBS=${JOBS:-2}
ZIELE=(dbase paradox texttabelle epw try soils kanal standort)
QUELLEN=(
  model/Vardef.cpp model/Zahltext.cpp core/PruefeKanal.cpp core/Gitter.cpp core/Eingabepruefung.cpp
  core/Betrieb.cpp core/Luftaustausch.cpp core/Randbedingungen.cpp core/Waermetransport.cpp
  physics/maths.cpp physics/monteith.cpp physics/getsoildata.cpp physics/Bodenfeuchte.cpp
  physics/Diffusion.cpp physics/UgetRadiation.cpp physics/USoltab.cpp physics/routinen.cpp
  tables/Tabelle.cpp tables/DbfTabelle.cpp tables/ParadoxTabelle.cpp tables/Referenzdateien.cpp
  climate/Klimatabelle.cpp climate/Texttabelle.cpp climate/Wetterimport.cpp
  location/klimaprofil.cpp channel/UshowKanaldaten.cpp channel/URohrdaten.cpp
)

FLAGS=(-std=c++20 -g -O1 -fno-omit-frame-pointer -ffp-contract=off -I.
       -fsanitize=address,undefined -fno-sanitize-recover=undefined -Wall -Wextra)
read -r -a PKG_CFLAGS <<< "$(pkg-config --cflags shapelib pxlib)"
read -r -a PKG_LIBS <<< "$(pkg-config --libs shapelib pxlib)"

mkdir -p "$AUS/obj"
neuester_kopf=$(find model core physics tables climate location channel fuzz -name '*.h' -printf '%T@\n' | sort -n | tail -1)

veraltet() {  # object, source
  [[ ! -f $1 ]] && return 0
  local o q
  o=$(stat -c %Y "$1"); q=$(stat -c %Y "$2")
  (( q > o )) && return 0
  [[ ${neuester_kopf%.*} -gt $o ]] && return 0
  return 1
}

# Runs a command in the background, at most JOBS at a time; `fertig` waits
# for all of them and fails when one failed.
pids=()
parallel() {
  "$@" &
  pids+=($!)
  if (( ${#pids[@]} >= JOBS )); then
    wait "${pids[0]}"
    pids=("${pids[@]:1}")
  fi
}
fertig() {
  for p in "${pids[@]}"; do wait "$p"; done
  pids=()
}

objekte=()
for q in "${QUELLEN[@]}"; do
  o="$AUS/obj/$(echo "$q" | tr / _).o"
  objekte+=("$o")
  if veraltet "$o" "$q"; then
    echo "  $q"
    parallel "$CXX" "${FLAGS[@]}" "${PKG_CFLAGS[@]}" -fsanitize=fuzzer-no-link -c "$q" -o "$o"
  fi
done
fertig
rm -f "$AUS/libterval_fuzz.a"
ar rcs "$AUS/libterval_fuzz.a" "${objekte[@]}"

for z in "${ZIELE[@]}"; do
  echo "  fuzz_$z"
  parallel "$CXX" "${FLAGS[@]}" "${PKG_CFLAGS[@]}" -fsanitize=fuzzer "fuzz/$z.cpp" "$AUS/libterval_fuzz.a" \
    "${PKG_LIBS[@]}" -o "$AUS/fuzz_$z"
done
fertig

if [[ ${1:-} == --saat ]]; then
  "$CXX" "${FLAGS[@]}" "${PKG_CFLAGS[@]}" fuzz/Saatdateien.cpp "$AUS/libterval_fuzz.a" "${PKG_LIBS[@]}" \
    -fsanitize=fuzzer-no-link -o "$AUS/saatdateien"
  "$AUS/saatdateien" fuzz/seeds
fi
echo "Fertig: $AUS/fuzz_{$(IFS=,; echo "${ZIELE[*]}")}"
