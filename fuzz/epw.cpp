// EnergyPlus weather files: imported into a table in memory; every value is
// a finite number or the missing marker.
#include "fuzz/Fuzzhilfe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  return terval::fuzz::PruefeImport(daten, groesse, "w.epw");
}
