// Location files (.loc.db): loaded into a model, then the checks of the run
// start. A location the checks accept must give finite radiation, a positive
// aerodynamic resistance, finite evaporation in every hour and a finite
// cellar wall temperature.
#include <cmath>

#include "core/Cor_mod.h"
#include "core/Eingabepruefung.h"
#include "fuzz/Fuzzhilfe.h"
#include "location/klimaprofil.h"
#include "physics/UgetRadiation.h"
#include "physics/getsoildata.h"
#include "physics/monteith.h"

using namespace terval;

namespace {

// A channel of two segments, the second with a cellar on the left and built
// over, so the cellar and foundation values are in use.
Modell& M() {
  static std::unique_ptr<Modell> m = [] {
    auto g = fuzz::Grundmodell();
    g->Anz_Segmente = 2;
    g->Segmente[2] = g->Segmente[1];
    g->Segmente[2].Abst_Geb_li = 4.0f;
    g->Segmente[2].Überbaut = 1;
    return g;
  }();
  return *m;
}

// The location values a load replaces.
void Zuruecksetzen(Modell& m) {
  static const auto anfang = [] {
    auto g = fuzz::Grundmodell();
    return std::shared_ptr<Modell>(std::move(g));
  }();
  const Modell& a = *anfang;
  m.Bodenart = a.Bodenart;
  m.StartBodenfeuchte = a.StartBodenfeuchte;
  m.Ortsname = a.Ortsname;
  m.Breitengrad = a.Breitengrad;
  m.Laengengrad = a.Laengengrad;
  m.Veg_Hoehe = a.Veg_Hoehe;
  m.Veg_typ = a.Veg_typ;
  m.Diff_Tdew = a.Diff_Tdew;
  m.Truebung = a.Truebung;
  m.Wg_mittel = a.Wg_mittel;
  m.Wg_Tag_Nacht = a.Wg_Tag_Nacht;
  m.WG_Messhoehe = a.WG_Messhoehe;
  m.Wetter_ = a.Wetter_;
  m.Ns_ = a.Ns_;
  m.T_Keller = a.T_Keller;
  m.wlf_kellerwand = a.wlf_kellerwand;
  m.kellerwand_dicke = a.kellerwand_dicke;
  m.T_Fundament = a.T_Fundament;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  Modell& m = M();
  Zuruecksetzen(m);
  const std::string pfad = fuzz::AlsDatei(daten, groesse, "s.loc.db");
  StilleOberflaeche ui;
  if (!LadeStandortdatei(m, ui, pfad)) return 0;
  if (!PruefeEingaben(m, ui)) return 0;

  CalcBestand(m);
  for (float u : {0.0f, 3.0f, 40.0f}) {
    const double ra = CalcRa(m, u);
    if (!std::isfinite(ra) || !(ra > 0)) fuzz::Befund("angenommener Standort: ra nicht positiv");
  }
  BerechneDampfdruck(m);
  BerechneLangwelligeStrahlung(m);
  BerechneNettostrahlung(m);
  BerechneBodenwaermestromUndRa(m);
  CalcVerdunstung(m);
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = m.Klima[h];
    if (!std::isfinite(k.Lw_Str) || !std::isfinite(k.Net_Boden) || !std::isfinite(k.p_Verd_mm))
      fuzz::Befund("angenommener Standort: Strahlung oder Verdunstung nicht endlich");
  }

  InitGrid(m, 2);
  InitFeuchteProfil(m, m.StartBodenfeuchte);
  UpdateBodenThermik(m);
  m.T_Profil.fill(10.0);
  InitTFeld(m);
  if (!std::isfinite(CalcKellerwand(m, 0))) fuzz::Befund("angenommener Standort: Kellerwand nicht endlich");
  return 0;
}
