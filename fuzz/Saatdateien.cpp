// Writes the binary seed inputs of the fuzz targets (tables written by the
// program's own writers) into fuzz/seeds/<target>/. The text seeds are kept
// as they are in the repository. Run by `fuzz/build.sh --saat`.
#include <cstdio>
#include <filesystem>
#include <string>

#include "channel/UshowKanaldaten.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "location/klimaprofil.h"
#include "tables/DbfTabelle.h"
#include "tables/ParadoxTabelle.h"

using namespace terval;
namespace fs = std::filesystem;

namespace {

template <typename Tabelle>
bool Beispieltabelle(const std::string& pfad) {
  std::string fehler;
  auto t = Tabelle::Erzeugen(pfad,
                             {{"Nr", Feldtyp::Ganzzahl, 0},
                              {"T_Luft", Feldtyp::Gleitkomma, 0},
                              {"Name", Feldtyp::Text, 8}},
                             fehler);
  if (!t) return false;
  const float werte[] = {-3.5f, 0.4f, -999.0f};
  for (int i = 0; i < 3; ++i) {
    const int s = t->Anhaengen();
    if (!t->SchreibeGanzzahl(s, 0, i + 1) || !t->SchreibeZahl(s, 1, werte[i]) ||
        !t->SchreibeText(s, 2, i == 1 ? "Süd" : "Ost"))
      return false;
  }
  return t->Schliessen(fehler);
}

void Weg(const std::string& pfad) {
  std::error_code ec;
  fs::remove(pfad, ec);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string saat = argc > 1 ? argv[1] : "fuzz/seeds";
  for (const char* d : {"dbase", "paradox", "kanal", "standort"}) fs::create_directories(saat + "/" + d);
  StilleOberflaeche ui;
  bool gut = Beispieltabelle<DbfTabelle>(saat + "/dbase/klein.dbf");
  Weg(saat + "/dbase/klein.cpg");
  gut = gut && Beispieltabelle<ParadoxTabelle>(saat + "/paradox/klein.db");

  // A channel of three segments: a single pipe, a register of three beside a
  // cellar, an overbuilt segment; time and temperature control.
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->Anz_Segmente = 3;
  m->Segmente[2] = m->Segmente[1];
  m->Segmente[2].Anz_Rohre = 3;
  m->Segmente[2].Abst_Rohre = 0.3f;
  m->Segmente[2].Abst_Geb_li = 5.0f;
  m->Segmente[2].Tief_Geb_li = 3.0f;
  m->Segmente[3] = m->Segmente[1];
  m->Segmente[3].Tiefe = 2.0f;
  m->Segmente[3].Überbaut = 1;
  m->Kanalbetrieb.Betriebsart = 3;
  m->Kanalbetrieb.Fuenftagebetrieb = true;
  m->Rohrdaten.Rohr_Ra[2] = 0.1f;
  m->Rohrdaten.Rohr_Dicke[2] = 0.01f;
  gut = gut && SpeichereKanaldatei(*m, ui, saat + "/kanal/kanal.ewt.db");
  Weg(saat + "/kanal/kanal.ewt.cpg");
  gut = gut && SpeichereStandortdatei(*m, ui, saat + "/standort/standort.loc.db");
  Weg(saat + "/standort/standort.loc.cpg");
  if (!gut) std::fprintf(stderr, "Saatdateien: Schreiben gescheitert\n");
  return gut ? 0 : 1;
}
