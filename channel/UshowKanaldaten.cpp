#include "channel/UshowKanaldaten.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "physics/Hydraulik.h"
#include "tables/DbfTabelle.h"
#include "tables/Referenzdateien.h"

namespace terval {

namespace {

constexpr int Spaltenzahl = 10;

// Column positions; rows 1 and 2 reuse them for other values (see the file layout).
enum Spalte {
  Index = 0,
  Tiefe = 1,
  Anz_Rohre = 2,
  Abst_Rohre = 3,
  Abst_Geb_li = 4,
  Tief_Geb_li = 5,
  Abst_Geb_re = 6,
  Tief_Geb_re = 7,
  Ueberbaut = 8,
  Anmerkung = 9,
};

std::vector<Felddefinition> Spalten() {
  return {
      {"Index", Feldtyp::Ganzzahl, 0},        {"Tiefe", Feldtyp::Gleitkomma, 0},
      {"Anz_Rohre", Feldtyp::Ganzzahl, 0},    {"Abst_Rohre", Feldtyp::Gleitkomma, 0},
      {"Abst_Geb_li", Feldtyp::Gleitkomma, 0}, {"Tief_Geb_li", Feldtyp::Gleitkomma, 0},
      {"Abst_Geb_re", Feldtyp::Gleitkomma, 0}, {"Tief_Geb_re", Feldtyp::Gleitkomma, 0},
      {"Überbaut", Feldtyp::Ganzzahl, 0},     {"Anmerkung", Feldtyp::Text, 40},
  };
}

// The hydraulic inputs go into columns after the ten above, so a reader that
// knows only those ten (by position) still loads the file. They are found by
// name, and written only when they differ from their start values: a channel
// that keeps them is saved exactly as before. Row 1 holds them all; row 2
// holds the register's roughness in the roughness column.
enum HydraulikSpalte { Rauhigkeit, Zeta_Ein, Boegen, Zeta_Bogen, Zeta_Reg, Zeta_Aus, Filter_Pa, Wirkgrad };
const char* const HydraulikNamen[] = {"Rauhigkeit", "Zeta_Ein", "Boegen",    "Zeta_Bogen",
                                      "Zeta_Reg",   "Zeta_Aus", "Filter_Pa", "Wirkgrad"};
constexpr int HydraulikSpalten = 8;

bool GleicherName(const std::string& a, const char* b) {
  const std::string_view v(b);
  return a.size() == v.size() && std::equal(a.begin(), a.end(), v.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The definition fields of one segment, read before anything in the model changes.
struct Segmentdefinition {
  int32_t Anz_Rohre = 0;
  float Abst_Rohre = 0, Tiefe = 0, Abst_Geb_li = 0, Abst_Geb_re = 0, Tief_Geb_li = 0, Tief_Geb_re = 0;
  int32_t Überbaut = 0;
};

}  // namespace

bool LadeKanaldatei(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  SanduhrAn sanduhr(ui);
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  if (!t) {
    ui.Fehler(fehler);
    return false;
  }
  if (t->Felder() < Spaltenzahl) {
    ui.Fehler("Die Datei \"" + pfad + "\" ist keine Erdkanaldatei: Sie hat " + std::to_string(t->Felder()) +
              " Spalten, eine Erdkanaldatei hat 10.");
    return false;
  }
  const int zeilen = t->Datensaetze();
  if (zeilen < 2) {
    ui.Fehler("Die Erdkanaldatei \"" + pfad +
              "\" ist unvollständig: Sie braucht mindestens 2 Zeilen (Betriebsdaten und Rohrdaten), hat aber " +
              std::to_string(zeilen) + ".");
    return false;
  }
  const int segmente = zeilen - 2;
  if (segmente > MaxSegmente) {
    ui.Fehler("Die Erdkanaldatei \"" + pfad + "\" enthält " + std::to_string(segmente) +
              " Segmente; dieses Programm kann höchstens 150 Segmente berechnen.");
    return false;
  }

  // Row 1: operation settings.
  Zellenleser zellen(*t);
  TKanalbetrieb b = m.Kanalbetrieb;
  TRohrdaten r = m.Rohrdaten;
  b.Volstrom = zellen.Ganzzahl(0, Index);
  r.Seglaenge = zellen.Zahl(0, Tiefe);
  b.Ein_Zeit = zellen.Ganzzahl(0, Anz_Rohre);
  b.Aus_Zeit = zellen.Ganzzahl(0, Abst_Rohre);
  b.Vol_Aus = zellen.Ganzzahl(0, Abst_Geb_li);
  b.Heiz_T = zellen.Zahl(0, Tief_Geb_li);
  b.Kuehl_T = zellen.Zahl(0, Abst_Geb_re);
  zellen.Zahl(0, Tief_Geb_re);  // only to refuse a cell that holds no number
  b.Fuenftagebetrieb = t->LiesZahl(0, Tief_Geb_re) == 1.0;
  b.Betriebsart = zellen.Ganzzahl(0, Ueberbaut);
  r.Rohrname[1] = t->LiesText(0, Anmerkung);

  // Row 2: the two pipe types.
  r.Rohr_Ra[1] = zellen.Zahl(1, Tiefe);
  r.Rohr_Dicke[1] = zellen.Zahl(1, Abst_Rohre);
  r.Rohr_wlf[1] = zellen.Zahl(1, Abst_Geb_li);
  r.Rohr_Ra[2] = zellen.Zahl(1, Tief_Geb_li);
  r.Rohr_Dicke[2] = zellen.Zahl(1, Abst_Geb_re);
  r.Rohr_wlf[2] = zellen.Zahl(1, Tief_Geb_re);
  r.Rohrname[2] = t->LiesText(1, Anmerkung);

  // Rows 3..: segments in row order; the Index column is not consulted.
  std::vector<Segmentdefinition> neu(static_cast<size_t>(segmente));
  for (int k = 1; k <= segmente; ++k) {
    const int satz = k + 1;
    Segmentdefinition& s = neu[k - 1];
    s.Tiefe = zellen.Zahl(satz, Tiefe);
    s.Anz_Rohre = zellen.Ganzzahl(satz, Anz_Rohre);
    s.Abst_Rohre = zellen.Zahl(satz, Abst_Rohre);
    s.Abst_Geb_li = zellen.Zahl(satz, Abst_Geb_li);
    s.Tief_Geb_li = zellen.Zahl(satz, Tief_Geb_li);
    s.Abst_Geb_re = zellen.Zahl(satz, Abst_Geb_re);
    s.Tief_Geb_re = zellen.Zahl(satz, Tief_Geb_re);
    s.Überbaut = zellen.Ganzzahl(satz, Ueberbaut);
  }
  // Hydraulic inputs where the file has them (an empty cell keeps the start value).
  THydraulik hy;
  std::array<int, HydraulikSpalten> spalte;
  spalte.fill(-1);
  for (int f = Spaltenzahl; f < t->Felder(); ++f)
    for (int i = 0; i < HydraulikSpalten; ++i)
      if (spalte[i] < 0 && GleicherName(t->Feldname(f), HydraulikNamen[i])) spalte[i] = f;
  auto lies = [&](int satz, int i, auto& wert) {
    if (spalte[i] < 0 || t->IstLeer(satz, spalte[i])) return;
    if constexpr (std::is_same_v<std::remove_reference_t<decltype(wert)>, int32_t>)
      wert = zellen.Ganzzahl(satz, spalte[i]);
    else
      wert = zellen.Zahl(satz, spalte[i]);
  };
  lies(0, Rauhigkeit, hy.Rauhigkeit[1]);
  lies(1, Rauhigkeit, hy.Rauhigkeit[2]);
  lies(0, Zeta_Ein, hy.Zeta_Einlauf);
  lies(0, Boegen, hy.Boegen);
  lies(0, Zeta_Bogen, hy.Zeta_Bogen);
  lies(0, Zeta_Reg, hy.Zeta_Register);
  lies(0, Zeta_Aus, hy.Zeta_Auslauf);
  lies(0, Filter_Pa, hy.Filter_Pa);
  lies(0, Wirkgrad, hy.Wirkungsgrad);
  t->Schliessen(fehler);
  if (zellen.Satz() >= 0) {
    const int f = zellen.Feld();
    const std::string name = f < Spaltenzahl ? Spalten()[f].name : t->Feldname(f);
    ui.Fehler("Die Erdkanaldatei \"" + pfad + "\" enthält in Zeile " + std::to_string(zellen.Satz() + 1) +
              ", Spalte " + std::to_string(f + 1) + " (" + name + ") den ungültigen Wert \"" + zellen.Text() +
              "\".\rDer Erdkanal wurde nicht geladen.");
    return false;
  }
  if (const std::string falsch = PruefeHydraulik(hy); !falsch.empty()) {
    ui.Fehler("Die Erdkanaldatei \"" + pfad + "\" enthält ungültige Angaben zum Luftweg: " + falsch +
              "\rDer Erdkanal wurde nicht geladen.");
    return false;
  }
  // Five-day operation switches between the normal and the off-state flow,
  // which only a controlled operation has. (Repaired once the file is known
  // to be readable, so a refused file shows one message only.)
  if (b.Fuenftagebetrieb && b.Betriebsart == 0) {
    ui.Fehler(KanalIntegritaetsmeldung);
    b.Fuenftagebetrieb = false;
  }

  m.Kanalbetrieb = b;
  m.Rohrdaten = r;
  m.Hydraulik = hy;
  m.Anz_Segmente = segmente;
  for (int k = 1; k <= segmente; ++k) KopiereDefinition(neu[k - 1], m.Segmente[k]);
  m.Kanaldatei = pfad;
  m.Startverzeichnis = Verzeichnisanteil(pfad);
  return true;
}

bool SpeichereKanaldatei(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  SanduhrAn sanduhr(ui);
  if (m.Anz_Segmente < 0 || m.Anz_Segmente > MaxSegmente) {
    ui.Fehler("Die Datei \"" + pfad + "\" wurde nicht gespeichert: Der Erdkanal hat " +
              std::to_string(m.Anz_Segmente) + " Segmente, möglich sind 0 bis 150.");
    return false;
  }
  const THydraulik& hy = m.Hydraulik;
  const bool mitHydraulik = hy != THydraulik{};
  std::vector<Felddefinition> spalten = Spalten();
  if (mitHydraulik)
    for (const char* name : HydraulikNamen)
      spalten.push_back({name, std::string_view(name) == "Boegen" ? Feldtyp::Ganzzahl : Feldtyp::Gleitkomma, 0});
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, spalten, fehler);
  if (!t) {
    ui.Fehler(fehler);
    return false;
  }
  const TKanalbetrieb& b = m.Kanalbetrieb;
  const TRohrdaten& r = m.Rohrdaten;
  bool gut = true;

  int s = t->Anhaengen();
  gut &= s >= 0;
  gut &= t->SchreibeGanzzahl(s, Index, b.Volstrom);
  gut &= t->SchreibeZahl(s, Tiefe, r.Seglaenge);
  gut &= t->SchreibeGanzzahl(s, Anz_Rohre, b.Ein_Zeit);
  gut &= t->SchreibeZahl(s, Abst_Rohre, static_cast<float>(b.Aus_Zeit));
  gut &= t->SchreibeZahl(s, Abst_Geb_li, static_cast<float>(b.Vol_Aus));
  gut &= t->SchreibeZahl(s, Tief_Geb_li, b.Heiz_T);
  gut &= t->SchreibeZahl(s, Abst_Geb_re, b.Kuehl_T);
  gut &= t->SchreibeZahl(s, Tief_Geb_re, b.Fuenftagebetrieb ? 1.0f : 0.0f);
  gut &= t->SchreibeGanzzahl(s, Ueberbaut, b.Betriebsart);
  gut &= t->SchreibeText(s, Anmerkung, r.Rohrname[1]);
  if (mitHydraulik) {
    const int h0 = Spaltenzahl;
    gut &= t->SchreibeZahl(s, h0 + Rauhigkeit, hy.Rauhigkeit[1]);
    gut &= t->SchreibeZahl(s, h0 + Zeta_Ein, hy.Zeta_Einlauf);
    gut &= t->SchreibeGanzzahl(s, h0 + Boegen, hy.Boegen);
    gut &= t->SchreibeZahl(s, h0 + Zeta_Bogen, hy.Zeta_Bogen);
    gut &= t->SchreibeZahl(s, h0 + Zeta_Reg, hy.Zeta_Register);
    gut &= t->SchreibeZahl(s, h0 + Zeta_Aus, hy.Zeta_Auslauf);
    gut &= t->SchreibeZahl(s, h0 + Filter_Pa, hy.Filter_Pa);
    gut &= t->SchreibeZahl(s, h0 + Wirkgrad, hy.Wirkungsgrad);
  }

  s = t->Anhaengen();
  gut &= s >= 0;
  gut &= t->SchreibeGanzzahl(s, Index, 0);
  gut &= t->SchreibeZahl(s, Tiefe, r.Rohr_Ra[1]);
  gut &= t->SchreibeGanzzahl(s, Anz_Rohre, 0);
  gut &= t->SchreibeZahl(s, Abst_Rohre, r.Rohr_Dicke[1]);
  gut &= t->SchreibeZahl(s, Abst_Geb_li, r.Rohr_wlf[1]);
  gut &= t->SchreibeZahl(s, Tief_Geb_li, r.Rohr_Ra[2]);
  gut &= t->SchreibeZahl(s, Abst_Geb_re, r.Rohr_Dicke[2]);
  gut &= t->SchreibeZahl(s, Tief_Geb_re, r.Rohr_wlf[2]);
  gut &= t->SchreibeGanzzahl(s, Ueberbaut, 0);
  gut &= t->SchreibeText(s, Anmerkung, r.Rohrname[2]);
  if (mitHydraulik) gut &= t->SchreibeZahl(s, Spaltenzahl + Rauhigkeit, hy.Rauhigkeit[2]);

  for (int k = 1; k <= m.Anz_Segmente; ++k) {
    const Kanalsegment& z = m.Segmente[k];
    s = t->Anhaengen();
    gut &= s >= 0;
    gut &= t->SchreibeGanzzahl(s, Index, k);
    gut &= t->SchreibeZahl(s, Tiefe, z.Tiefe);
    gut &= t->SchreibeGanzzahl(s, Anz_Rohre, z.Anz_Rohre);
    gut &= t->SchreibeZahl(s, Abst_Rohre, z.Abst_Rohre);
    gut &= t->SchreibeZahl(s, Abst_Geb_li, z.Abst_Geb_li);
    gut &= t->SchreibeZahl(s, Tief_Geb_li, z.Tief_Geb_li);
    gut &= t->SchreibeZahl(s, Abst_Geb_re, z.Abst_Geb_re);
    gut &= t->SchreibeZahl(s, Tief_Geb_re, z.Tief_Geb_re);
    gut &= t->SchreibeGanzzahl(s, Ueberbaut, z.Überbaut);
  }
  if (!t->SpeichernBeenden(gut, fehler)) {
    ui.Fehler(fehler);
    return false;
  }
  m.Kanaldatei = pfad;
  return true;
}

}  // namespace terval
