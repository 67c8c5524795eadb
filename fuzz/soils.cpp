// The soil table SOILS.DAT: read, every soil's thermal properties and preview
// line computed; the first soil goes through the input check of the run
// start, and when the check accepts it, a day of moisture steps and thermal
// updates must stay finite and within the stability bound of the heat step.
#include <cmath>

#include "core/Eingabepruefung.h"
#include "fuzz/Fuzzhilfe.h"
#include "physics/Bodenfeuchte.h"
#include "physics/getsoildata.h"

using namespace terval;

namespace {

Modell& M() {
  static std::unique_ptr<Modell> m = [] {
    auto g = fuzz::Grundmodell();
    g->LetzteSpalte = 12;
    return g;
  }();
  return *m;
}

bool Endlich(const Schichten& s) {
  for (double x : s)
    if (!std::isfinite(x)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "SOILS.DAT");
  Modell& m = M();
  if (!GetSoilData(m, pfad)) fuzz::Befund("vorhandene Datei nicht gelesen");
  if (m.AnzBoeden < 1 || m.AnzBoeden > MaxBoeden) fuzz::Befund("Zahl der Böden außerhalb 1..50");
  for (int i = 1; i <= m.AnzBoeden; ++i) {
    for (float theta : {1e-5f, 0.1f, 0.3f, 1.0f}) (void)Waermeleitfaehigkeit(m.Boeden[i], theta);
    for (const char* eingabe : {"5", "50", "100", "abc"}) (void)BodenVorschau(m, i, eingabe);
  }

  m.Bodenart = 1;
  m.StartBodenfeuchte = 50.0f;
  StilleOberflaeche ui;
  if (!PruefeEingaben(m, ui)) return 0;

  InitFeuchteProfil(m, m.StartBodenfeuchte);
  UpdateBodenThermik(m);
  for (int stunde = 0; stunde < 24; ++stunde) {
    UpdateBodenHydraulik(m);
    FeuchteSchritt(m, 100, stunde, 1.0, stunde % 6 == 0 ? 5.0f : 0.0f, 0.3f);
    UpdateBodenThermik(m);
    if (!Endlich(m.Theta) || !Endlich(m.Lambda) || !Endlich(m.K_Schicht))
      fuzz::Befund("angenommener Boden: Feuchte oder Wärmeleitung nicht endlich");
    for (double a : m.K_Schicht)
      if (a > MaxStabileDiffusivitaet) fuzz::Befund("angenommener Boden: Schritt instabil");
  }
  return 0;
}
