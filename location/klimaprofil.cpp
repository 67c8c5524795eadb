#include "location/klimaprofil.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "model/Wertebereiche.h"
#include "model/Zahltext.h"
#include "tables/DbfTabelle.h"
#include "tables/Referenzdateien.h"

namespace terval {

namespace {

constexpr int Spaltenzahl = 41;

// The columns of the file, in order; the comment is the model value.
std::vector<Felddefinition> Spalten() {
  std::vector<Felddefinition> s = {
      {"version", Feldtyp::Ganzzahl, 0},           // always 1
      {"Bodenart", Feldtyp::Ganzzahl, 0},
      {"StartBodenfeuchte", Feldtyp::Gleitkomma, 0},
      {"Ortsname", Feldtyp::Text, OrtsnameLaenge},
      {"Breitengrad", Feldtyp::Gleitkomma, 0},
      {"Laengengrad", Feldtyp::Gleitkomma, 0},
      {"Veg_Hoehe", Feldtyp::Gleitkomma, 0},
      {"Veg_typ", Feldtyp::Ganzzahl, 0},
      {"Diff_Tdew", Feldtyp::Gleitkomma, 0},
      {"Truebung", Feldtyp::Ganzzahl, 0},
      {"Wg_mittel", Feldtyp::Gleitkomma, 0},
      {"Wg_Tag_Nacht", Feldtyp::Gleitkomma, 0},
      {"WG_Messhoehe", Feldtyp::Gleitkomma, 0},
  };
  for (int k = 1; k <= 12; ++k) s.push_back({"Wetter_" + std::to_string(k), Feldtyp::Ganzzahl, 0});
  for (int k = 1; k <= 12; ++k) s.push_back({"Ns_" + std::to_string(k), Feldtyp::Gleitkomma, 0});
  s.push_back({"T_Keller", Feldtyp::Gleitkomma, 0});
  s.push_back({"wlf_kellerwand", Feldtyp::Gleitkomma, 0});
  s.push_back({"kellerwand_dicke", Feldtyp::Gleitkomma, 0});
  s.push_back({"T_Fundament", Feldtyp::Gleitkomma, 0});
  return s;
}

// The location values of the model, so a load can be read completely
// before anything in the model changes.
struct Standort {
  int32_t Bodenart = 0;
  float StartBodenfeuchte = 0;
  std::string Ortsname;
  float Breitengrad = 0, Laengengrad = 0, Veg_Hoehe = 0;
  int32_t Veg_typ = 0;
  float Diff_Tdew = 0;
  int32_t Truebung = 0;
  float Wg_mittel = 0, Wg_Tag_Nacht = 0, WG_Messhoehe = 0;
  std::array<int32_t, 13> Wetter_{};
  std::array<float, 13> Ns_{};
  float T_Keller = 0, wlf_kellerwand = 0, kellerwand_dicke = 0, T_Fundament = 0;
};

// The first `n` characters (not bytes) of a UTF-8 text.
std::string ErsteZeichen(const std::string& text, int n) {
  size_t i = 0;
  for (int zeichen = 0; i < text.size() && zeichen < n; ++zeichen) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return text.substr(0, i);
}

}  // namespace

bool LadeStandortdatei(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  if (!t) {
    ui.Fehler(fehler);
    return false;
  }
  if (t->Felder() < Spaltenzahl) {
    ui.Fehler("Die Datei \"" + pfad + "\" ist kein Standortprofil: Sie hat " + std::to_string(t->Felder()) +
              " Spalten, ein Standortprofil hat 41.");
    return false;
  }
  if (t->Datensaetze() < 1) {
    ui.Fehler("Das Standortprofil \"" + pfad + "\" enthält keinen Datensatz.");
    return false;
  }

  Zellenleser zellen(*t);
  auto zahl = [&](int spalte) { return zellen.Zahl(0, spalte); };
  auto ganzzahl = [&](int spalte) { return zellen.Ganzzahl(0, spalte); };
  Standort s;
  s.Bodenart = ganzzahl(1);
  s.StartBodenfeuchte = zahl(2);
  s.Ortsname = t->LiesText(0, 3);
  s.Breitengrad = zahl(4);
  s.Laengengrad = zahl(5);
  s.Veg_Hoehe = zahl(6);
  s.Veg_typ = ganzzahl(7);
  s.Diff_Tdew = zahl(8);
  s.Truebung = ganzzahl(9);
  s.Wg_mittel = zahl(10);
  s.Wg_Tag_Nacht = zahl(11);
  s.WG_Messhoehe = zahl(12);
  for (int k = 1; k <= 12; ++k) s.Wetter_[k] = ganzzahl(12 + k);
  for (int k = 1; k <= 12; ++k) s.Ns_[k] = zahl(24 + k);
  s.T_Keller = zahl(37);
  s.wlf_kellerwand = zahl(38);
  s.kellerwand_dicke = zahl(39);
  s.T_Fundament = zahl(40);
  t->Schliessen(fehler);
  if (zellen.Satz() >= 0) {
    ui.Fehler("Das Standortprofil \"" + pfad + "\" enthält in Spalte " + std::to_string(zellen.Feld() + 1) +
              " (" + Spalten()[zellen.Feld()].name + ") den ungültigen Wert \"" + zellen.Text() +
              "\".\rDas Standortprofil wurde nicht geladen.");
    return false;
  }

  // The generation parameters and the position: what would make a generated
  // year absurd is refused here, where the user can still see the file.
  const struct {
    int spalte;
    float wert;
    const Wertebereich& bereich;
  } bereiche[] = {{4, s.Breitengrad, BreitengradBereich}, {5, s.Laengengrad, LaengengradBereich},
                  {8, s.Diff_Tdew, Diff_TdewBereich},     {10, s.Wg_mittel, Wg_mittelBereich},
                  {11, s.Wg_Tag_Nacht, Wg_Tag_NachtBereich}};
  auto ausserhalb = [&](int spalte, float wert, const Wertebereich& b) {
    ui.Fehler("Das Standortprofil \"" + pfad + "\" enthält in Spalte " + std::to_string(spalte + 1) + " (" +
              Spalten()[spalte].name + ") den Wert " + KuerzesterText(wert) + "; möglich sind " + b.Text() +
              ".\rDas Standortprofil wurde nicht geladen.");
    return false;
  };
  for (const auto& b : bereiche)
    if (!b.bereich.Enthaelt(b.wert)) return ausserhalb(b.spalte, b.wert, b.bereich);
  for (int k = 1; k <= 12; ++k)
    if (!NsBereich.Enthaelt(s.Ns_[k])) return ausserhalb(24 + k, s.Ns_[k], NsBereich);

  m.Bodenart = s.Bodenart;
  m.StartBodenfeuchte = s.StartBodenfeuchte;
  m.Ortsname = s.Ortsname;
  m.Breitengrad = s.Breitengrad;
  m.Laengengrad = s.Laengengrad;
  m.Veg_Hoehe = s.Veg_Hoehe;
  m.Veg_typ = s.Veg_typ;
  m.Diff_Tdew = s.Diff_Tdew;
  m.Truebung = s.Truebung;
  m.Wg_mittel = s.Wg_mittel;
  m.Wg_Tag_Nacht = s.Wg_Tag_Nacht;
  m.WG_Messhoehe = s.WG_Messhoehe;
  for (int k = 1; k <= 12; ++k) {
    m.Wetter_[k] = s.Wetter_[k];
    m.Ns_[k] = s.Ns_[k];
  }
  m.T_Keller = s.T_Keller;
  m.wlf_kellerwand = s.wlf_kellerwand;
  m.kellerwand_dicke = s.kellerwand_dicke;
  m.T_Fundament = s.T_Fundament;
  m.Standortdatei = pfad;
  m.Startverzeichnis = Verzeichnisanteil(pfad);
  return true;
}

bool SpeichereStandortdatei(Modell& m, Oberflaeche& ui, const std::string& pfad) {
  SanduhrAn sanduhr(ui);
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad, Spalten(), fehler);
  if (!t) {
    ui.Fehler(fehler);
    return false;
  }
  const int s = t->Anhaengen();
  bool gut = s == 0;
  gut &= t->SchreibeGanzzahl(s, 0, 1);
  gut &= t->SchreibeGanzzahl(s, 1, m.Bodenart);
  gut &= t->SchreibeZahl(s, 2, m.StartBodenfeuchte);
  gut &= t->SchreibeText(s, 3, ErsteZeichen(m.Ortsname, OrtsnameLaenge));
  gut &= t->SchreibeZahl(s, 4, m.Breitengrad);
  gut &= t->SchreibeZahl(s, 5, m.Laengengrad);
  gut &= t->SchreibeZahl(s, 6, m.Veg_Hoehe);
  gut &= t->SchreibeGanzzahl(s, 7, m.Veg_typ);
  gut &= t->SchreibeZahl(s, 8, m.Diff_Tdew);
  gut &= t->SchreibeGanzzahl(s, 9, m.Truebung);
  gut &= t->SchreibeZahl(s, 10, m.Wg_mittel);
  gut &= t->SchreibeZahl(s, 11, m.Wg_Tag_Nacht);
  gut &= t->SchreibeZahl(s, 12, m.WG_Messhoehe);
  for (int k = 1; k <= 12; ++k) gut &= t->SchreibeGanzzahl(s, 12 + k, m.Wetter_[k]);
  for (int k = 1; k <= 12; ++k) gut &= t->SchreibeZahl(s, 24 + k, m.Ns_[k]);
  gut &= t->SchreibeZahl(s, 37, m.T_Keller);
  gut &= t->SchreibeZahl(s, 38, m.wlf_kellerwand);
  gut &= t->SchreibeZahl(s, 39, m.kellerwand_dicke);
  gut &= t->SchreibeZahl(s, 40, m.T_Fundament);
  if (!t->SpeichernBeenden(gut, fehler)) {
    ui.Fehler(fehler);
    return false;
  }
  m.Standortdatei = pfad;
  return true;
}

}  // namespace terval
