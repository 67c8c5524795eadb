// Build step for the sample climate year: reads an EnergyPlus weather file
// with the program's own import and writes it as a dBASE climate table
// (column 0 the hour number 1..8760, then T_Luft, rFeuchte, Wind, Glob_Str,
// Nieders, Wolken). The table is read back the way the program reads it and
// must give the same year, or the build fails.
//
//   erzeuge_klima <wetter.epw> <ziel.DBF>

#include <cstdio>
#include <string>
#include <vector>

#include "climate/DBKlima.h"
#include "model/Oberflaeche.h"
#include "data/Konsole.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "tables/DbfTabelle.h"

namespace {

using namespace terval;

bool SchreibeTabelle(const Modell& m, const std::string& ziel, std::string& fehler) {
  const std::vector<Felddefinition> felder = {
      {"Nr", Feldtyp::Ganzzahl, 0},         {"T_Luft", Feldtyp::Gleitkomma, 0},
      {"rFeuchte", Feldtyp::Gleitkomma, 0}, {"Wind", Feldtyp::Gleitkomma, 0},
      {"Glob_Str", Feldtyp::Gleitkomma, 0}, {"Nieders", Feldtyp::Gleitkomma, 0},
      {"Wolken", Feldtyp::Gleitkomma, 0}};
  auto t = DbfTabelle::Erzeugen(ziel, felder, fehler);
  if (!t) return false;
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = m.Klima[h];
    int r = t->Anhaengen();
    bool ok = t->SchreibeGanzzahl(r, 0, h);
    const float werte[] = {k.T_Luft, k.rFeuchte, k.Wind, k.Glob_Str, k.Nieders, k.Wolken};
    for (int s = 1; s <= 6; ++s) ok = ok && t->SchreibeZahl(r, s, werte[s - 1]);
    if (!ok) {
      fehler = "Stunde " + std::to_string(h) + " lässt sich nicht schreiben.";
      return false;
    }
  }
  return t->Schliessen(fehler);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: erzeuge_klima <wetter.epw> <ziel.DBF>\n");
    return 2;
  }
  Konsole ui;
  auto quelle = NeuesModell();
  SetzeStartzustand(*quelle);
  quelle->DBKlimaName = argv[1];
  ReadKlimaDB(*quelle, ui);
  if (!quelle->KlimaGueltig || ui.meldungen > 0) return 1;

  std::string fehler;
  if (!SchreibeTabelle(*quelle, argv[2], fehler)) {
    std::fprintf(stderr, "%s\n", MitZeilenumbruechen(fehler).c_str());
    return 1;
  }

  auto probe = NeuesModell();
  SetzeStartzustand(*probe);
  probe->DBKlimaName = argv[2];
  ReadKlimaDB(*probe, ui);
  if (!probe->KlimaGueltig || ui.meldungen > 0 || probe->KlimaFeldzahl != 6) return 1;
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& a = quelle->Klima[h];
    const TKlimaStunde& b = probe->Klima[h];
    if (a.T_Luft != b.T_Luft || a.rFeuchte != b.rFeuchte || a.Wind != b.Wind || a.Glob_Str != b.Glob_Str ||
        a.Nieders != b.Nieders || a.Wolken != b.Wolken) {
      std::fprintf(stderr, "%s: Stunde %d weicht nach dem Lesen ab.\n", argv[2], h);
      return 1;
    }
  }
  return 0;
}
