#include "channel/URohrdaten.h"

#include <algorithm>
#include <array>

#include "model/Vardef.h"
#include "tables/DbfTabelle.h"

namespace terval {

bool ReadRohrdatenDB(Modell& m, const std::string& verzeichnis) {
  const std::string pfad = verzeichnis.empty() ? std::string(Rohrkatalogdatei)
                                               : verzeichnis + "/" + Rohrkatalogdatei;
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  if (!t || t->Felder() < 4) return false;

  const int anzahl = std::min(t->Datensaetze(), MaxRohrtypen);
  std::array<TRohrtyp, MaxRohrtypen + 1> typen{};
  for (int i = 1; i <= anzahl; ++i) {
    TRohrtyp& r = typen[i];
    r.Name = t->LiesText(i - 1, 0);
    r.Aussenmass = static_cast<float>(t->LiesZahl(i - 1, 1).value_or(0.0));
    r.Dicke = static_cast<float>(t->LiesZahl(i - 1, 2).value_or(0.0));
    r.wlf = t->LiesZahl(i - 1, 3).value_or(0.0);
  }
  t->Schliessen(fehler);
  m.Rohrtypen = typen;
  m.Anz_Rohrtypen = anzahl;
  return true;
}

}  // namespace terval
