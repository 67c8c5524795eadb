// Paradox tables of any origin: opened, every cell read in every way, then
// one cell changed in place. What was written must read back; no temporary
// file may remain.
#include <algorithm>

#include "fuzz/Fuzzhilfe.h"
#include "tables/ParadoxTabelle.h"

using namespace terval;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "t.db");
  std::string fehler;
  {
    auto t = ParadoxTabelle::Oeffnen(pfad, fehler);
    if (!t) {
      if (fehler.empty()) fuzz::Befund("abgelehnt ohne Meldung");
      fuzz::KeineFremdenDateien({"t.db"});
      return 0;
    }
    const int saetze = std::min(t->Datensaetze(), 300);
    for (int f = -1; f <= t->Felder(); ++f) {
      (void)t->Feldname(f);
      for (int s = -1; s <= saetze; ++s) {
        (void)t->IstLeer(s, f);
        (void)t->LiesZahl(s, f);
        (void)t->LiesGanzzahl(s, f);
        (void)t->LiesText(s, f);
      }
    }
    if (!t->Schliessen(fehler)) fuzz::Befund("Schliessen nach dem Lesen gescheitert");
  }

  int feld = -1;  // the field that took the value 7
  {
    auto t = ParadoxTabelle::Aendern(pfad, fehler);
    if (!t) {
      fuzz::KeineFremdenDateien({"t.db"});
      return 0;  // encrypted tables are refused for changing
    }
    for (int f = 0; f < t->Felder() && feld < 0 && t->Datensaetze() > 0; ++f)
      if (t->SchreibeGanzzahl(0, f, 7)) feld = f;
    if (!t->Schliessen(fehler)) fuzz::Befund("Speichern gescheitert");
  }
  fuzz::KeineFremdenDateien({"t.db"});
  auto r = ParadoxTabelle::Oeffnen(pfad, fehler);
  if (!r) fuzz::Befund("die gespeicherte Tabelle lässt sich nicht mehr öffnen");
  if (feld >= 0 && r->LiesGanzzahl(0, feld) != 7) fuzz::Befund("geschriebener Wert kommt nicht zurück");
  return 0;
}
