// dBASE tables of any origin: opened, every cell read in every way, then
// changed in place. A table this layer wrote must open again and hold the
// value written; no temporary file may remain.
#include <algorithm>

#include "fuzz/Fuzzhilfe.h"
#include "tables/DbfTabelle.h"

using namespace terval;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "t.dbf");
  std::string fehler;
  {
    auto t = DbfTabelle::Oeffnen(pfad, fehler);
    if (!t) {
      if (fehler.empty()) fuzz::Befund("abgelehnt ohne Meldung");
      fuzz::KeineFremdenDateien({"t.dbf"});
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

  // Change the first cell in place; a table taken for changing must save.
  bool geschrieben = false;
  {
    auto t = DbfTabelle::Aendern(pfad, fehler);
    if (!t) fuzz::Befund("lesbar, aber nicht zum Ändern zu öffnen");
    if (t->Datensaetze() > 0) geschrieben = t->SchreibeGanzzahl(0, 0, 7);
    if (!t->Schliessen(fehler)) fuzz::Befund("Speichern gescheitert");
  }
  fuzz::KeineFremdenDateien({"t.dbf", "t.cpg"});
  auto r = DbfTabelle::Oeffnen(pfad, fehler);
  if (!r) fuzz::Befund("die gespeicherte Tabelle lässt sich nicht mehr öffnen");
  if (geschrieben && r->LiesGanzzahl(0, 0) != 7) fuzz::Befund("geschriebener Wert kommt nicht zurück");
  return 0;
}
