// dBASE tables of any origin: opened, every cell read in every way, then
// changed in place. A table this layer wrote must open again and hold the
// value written; no temporary file may remain.
#include "fuzz/Fuzzhilfe.h"
#include "tables/DbfTabelle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  return terval::fuzz::PruefeTabelle<terval::DbfTabelle>(daten, groesse, "t.dbf", false, {"t.dbf", "t.cpg"});
}
