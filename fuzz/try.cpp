// German test reference years: imported into a table in memory; every value is
// a finite number or the missing marker.
#include <cmath>

#include "climate/Klimatabelle.h"
#include "model/Vardef.h"
#include "fuzz/Fuzzhilfe.h"

using namespace terval;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "j.dat");
  Klimaoeffnung o = OeffneKlimatabelle(pfad, false);
  if (!o.tabelle) {
    if (o.fehler.empty()) fuzz::Befund("abgelehnt ohne Meldung");
    return 0;
  }
  const Klimatabelle& t = *o.tabelle;
  for (int s = 0; s < t.Datensaetze(); ++s)
    for (int c = 0; c < t.Spalten(); ++c) {
      auto z = t.Zahl(s, c);
      if (!z || !std::isfinite(*z)) fuzz::Befund("Zelle ohne endliche Zahl");
    }
  return 0;
}
