// Paradox tables of any origin: opened, every cell read in every way, then
// one cell changed in place. What was written must read back; no temporary
// file may remain. Encrypted tables are refused for changing.
#include "fuzz/Fuzzhilfe.h"
#include "tables/ParadoxTabelle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  return terval::fuzz::PruefeTabelle<terval::ParadoxTabelle>(daten, groesse, "t.db", true, {"t.db"});
}
