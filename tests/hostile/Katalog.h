// Shared pieces of the hostile-input tests: a model that runs, a fingerprint
// of every part of the model a loader or a run may touch, the bytes of every
// file in a directory, and the run start as the desktop program performs it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "core/Laufstart.h"
#include "model/Vardef.h"
#include "physics/getsoildata.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval::test {

inline void PrintTo(const Nachricht& n, std::ostream* os) { *os << n.art << ": " << n.text; }

inline std::string Quelle(const std::string& datei) { return std::string(TERVAL_QUELLVERZEICHNIS) + "/" + datei; }

// A model that passes every check of the run start: the shipped soil table,
// three segments of 1 m (a single pipe, a register of three beside a cellar,
// a single pipe under a building) and a mild climate year with a little rain.
inline std::unique_ptr<Modell> Lauffaehig() {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  EXPECT_TRUE(GetSoilData(*m, Quelle("data/SOILS.DAT")));
  m->Anz_Segmente = 3;
  for (int s = 1; s <= 3; ++s) m->Segmente[s] = Kanalsegment{.Anz_Rohre = 1, .Tiefe = 2.0f};
  m->Segmente[2] = Kanalsegment{.Anz_Rohre = 3, .Abst_Rohre = 0.3f, .Tiefe = 2.0f, .Abst_Geb_li = 4.0f, .Tief_Geb_li = 3.0f};
  m->Segmente[3].Überbaut = 1;
  m->Rohrdaten = {{"", "PE-HD d 200", "PE-HD d 160"}, {0, 0.1f, 0.08f}, {0, 0.0119f, 0.0095f}, {0, 0.4f, 0.4f}, 1.0f};
  m->Kanalbetrieb.Volstrom = 300;
  for (int h = 1; h <= Stunden; ++h) {
    const int stunde = (h - 1) % 24;
    m->Klima[h] = {.T_Luft = static_cast<float>(9.0 - 8.0 * std::cos(2.0 * 3.141592653589793 * (h - 400) / Stunden)),
                   .rFeuchte = 80.0f, .Wind = 2.5f, .Glob_Str = stunde >= 7 && stunde <= 17 ? 220.0f : 0.0f,
                   .Wolken = 5.0f, .Nieders = h % 40 == 0 ? 2.0f : 0.0f};
    m->Segmente[1].T_ein[h] = m->Klima[h].T_Luft;
  }
  m->KlimaGueltig = m->KlimaKomplett = m->TLuftKomplett = m->FeuchteKomplett = m->WindKomplett = true;
  m->StrahlungKomplett = m->NiederschlagKomplett = m->WolkenKomplett = true;
  return m;
}

// 64-bit FNV-1a over the bytes of values; a text counts with its end.
struct Summe {
  uint64_t h = 0xcbf29ce484222325ULL;
  void Roh(const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 0x100000001b3ULL;
  }
  void Teil(const std::string& s) { Roh(s.c_str(), s.size() + 1); }
  template <typename T>
  void Teil(const T& v) {
    static_assert(std::is_trivially_copyable_v<T>);
    Roh(&v, sizeof v);
  }
  template <typename... T>
  Summe& operator()(const T&... v) {
    (Teil(v), ...);
    return *this;
  }
};

// One checksum per part of the model, so a difference names the part.
inline std::map<std::string, uint64_t> Abbild(const Modell& m) {
  Summe kanal, boden, rohre, ergebnisse;
  const TKanalbetrieb& b = m.Kanalbetrieb;
  kanal(m.Anz_Segmente, m.Kanaldatei, m.Rohrdaten.Seglaenge, b.Volstrom, b.Vol_Aus, b.Ein_Zeit, b.Aus_Zeit, b.Heiz_T,
        b.Kuehl_T, b.Betriebsart, b.Fuenftagebetrieb, b.VolStromAusKlima);
  for (const Kanalsegment& k : m.Segmente) {
    kanal(k.Anz_Rohre, k.Abst_Rohre, k.Tiefe, k.Abst_Geb_li, k.Abst_Geb_re, k.Tief_Geb_li, k.Tief_Geb_re, k.Überbaut);
    ergebnisse(k.Alpha, k.VolStromRohr, k.T_aus, k.T_ein);
  }
  for (int t = 1; t <= 2; ++t)
    kanal(m.Rohrdaten.Rohrname[t], m.Rohrdaten.Rohr_Ra[t], m.Rohrdaten.Rohr_Dicke[t], m.Rohrdaten.Rohr_wlf[t]);
  for (const TBodenDaten& d : m.Boeden)
    boden(d.Kuerzel, d.Klasse, d.ThetaSat, d.ThetaRef, d.Wert3, d.PsiSat, d.KSat, d.CBoden, d.B_Exponent, d.Wert8,
          d.BodenName);
  for (const TRohrtyp& r : m.Rohrtypen) rohre(r.Name, r.Aussenmass, r.Dicke, r.wlf);
  return {
      {"Kanal", kanal.h},
      {"Standort", Summe()(m.Bodenart, m.StartBodenfeuchte, m.Ortsname, m.Breitengrad, m.Laengengrad, m.Veg_Hoehe,
                           m.Veg_typ, m.Diff_Tdew, m.Truebung, m.Wg_mittel, m.Wg_Tag_Nacht, m.WG_Messhoehe, m.Wetter_,
                           m.Ns_, m.T_Keller, m.wlf_kellerwand, m.kellerwand_dicke, m.T_Fundament, m.Standortdatei,
                           m.Startverzeichnis).h},
      {"Boeden", boden(m.AnzBoeden).h},
      {"Rohrkatalog", rohre(m.Anz_Rohrtypen).h},
      {"Klimajahr", Summe()(m.Klima, m.T_Jahresmittel, m.T_Sommermittel, m.KlimaFeldzahl, m.TLuftKomplett,
                            m.FeuchteKomplett, m.WindKomplett, m.StrahlungKomplett, m.NiederschlagKomplett,
                            m.WolkenKomplett, m.KlimaKomplett).h},
      // A climate load sets the name first; a refused read clears KlimaGueltig.
      {"Klimatabelle", Summe()(m.DBKlimaName, m.KlimaDBOffen, m.KlimaGueltig).h},
      {"Ergebnisse", ergebnisse(m.VolStromStunde, m.ErgebnisseVorhanden, m.LAI, m.r_s).h},
      {"Optionen", Summe()(m.AusgabeVerzeichnis, m.AusgabeStamm, m.MitFeuchte, m.FeuchteZeitschritt, m.MarkSegment,
                           m.NurEinTermin, m.AusgabeStunde, m.TextAusgabe).h},
  };
}

// Every part of the model except `ausser` is as before.
inline void ErwarteUnveraendert(const std::map<std::string, uint64_t>& vorher, const Modell& m,
                                const std::string& ausser = "") {
  for (const auto& [teil, summe] : Abbild(m))
    EXPECT_TRUE(teil == ausser || summe == vorher.at(teil)) << "Modellteil \"" << teil << "\" wurde verändert";
}

// Name and bytes of every file directly in `verzeichnis`.
inline std::map<std::string, std::string> Dateien(const std::string& verzeichnis) {
  std::map<std::string, std::string> d;
  for (const auto& e : std::filesystem::directory_iterator(verzeichnis))
    d[e.path().filename().string()] = e.is_regular_file() ? Dateiinhalt(e.path().string()) : "<Verzeichnis>";
  return d;
}

inline void ErwarteGleicheDateien(const std::map<std::string, std::string>& vorher, const std::string& verzeichnis) {
  const auto nachher = Dateien(verzeichnis);
  for (const auto& [name, inhalt] : vorher)
    EXPECT_TRUE(nachher.count(name) && nachher.at(name) == inhalt) << name << " ist verschwunden oder verändert";
  for (const auto& [name, inhalt] : nachher) EXPECT_TRUE(vorher.count(name)) << name << " ist neu hinzugekommen";
}

// "Simulation starten..." as the desktop program does it.
inline Laufbericht Starte(Modell& m, Oberflaeche& ui, const std::string& verzeichnis, const Laufoptionen& o = {}) {
  return EKModellFDVerfahren(m, ui, o, verzeichnis);
}

// No result of a run and no derived climate value holds NaN or infinity,
// and no text file written says so either.
inline void ErwarteEndlicheErgebnisse(const Modell& m, const std::string& verzeichnis) {
  double summe = 0;
  for (int s = 1; s <= m.Anz_Segmente; ++s)
    for (int h = 1; h <= Stunden; ++h)
      summe += m.Segmente[s].T_aus[h] + m.Segmente[s].Alpha[h] + m.Segmente[s].VolStromRohr[h] + m.Klima[h].Lw_Str +
               m.Klima[h].Net_Boden + m.Klima[h].G + m.Klima[h].ra + m.Klima[h].r_Verd_mm + m.Klima[h].Eta_kanal;
  EXPECT_TRUE(std::isfinite(summe));
  for (const auto& [name, inhalt] : Dateien(verzeichnis))
    EXPECT_TRUE(!name.ends_with(".TXT") || (inhalt.find("nan") == inhalt.npos && inhalt.find("inf") == inhalt.npos)) << name;
}

}  // namespace terval::test
