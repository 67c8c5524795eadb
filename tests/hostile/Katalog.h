// Shared pieces of the catalogue of hostile inputs: a model that runs, a
// fingerprint of every part of the model a loader or a run may touch, the
// bytes of every file in a directory, byte surgery on xBase tables, and the
// run start as the desktop program performs it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Laufstart.h"
#include "model/Oberflaeche.h"
#include "model/Vardef.h"
#include "physics/getsoildata.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval::test {

// Readable failure output for recorded messages.
inline void PrintTo(const Nachricht& n, std::ostream* os) { *os << n.art << ": " << n.text; }

inline const std::string& Quellverzeichnis() {
  static const std::string p = TERVAL_QUELLVERZEICHNIS;
  return p;
}

// ---- The model ---------------------------------------------------------------

// A model that passes every check of the run start: the start-up state, the
// shipped soil table, three segments of 1 m (a single pipe, a register of
// three beside a cellar, a single pipe under a building) and a mild climate
// year with a little rain.
inline std::unique_ptr<Modell> Lauffaehig() {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  if (!GetSoilData(*m, Quellverzeichnis() + "/data/SOILS.DAT")) {
    ADD_FAILURE() << "SOILS.DAT fehlt";
  }
  m->Bodenart = 1;
  m->Anz_Segmente = 3;
  for (int s = 1; s <= 3; ++s) {
    Kanalsegment& k = m->Segmente[s];
    k.Anz_Rohre = 1;
    k.Tiefe = 2.0f;
    k.Abst_Rohre = 0;
    k.Abst_Geb_li = k.Abst_Geb_re = k.Tief_Geb_li = k.Tief_Geb_re = 0;
    k.Überbaut = 0;
  }
  m->Segmente[2].Anz_Rohre = 3;
  m->Segmente[2].Abst_Rohre = 0.3f;
  m->Segmente[2].Abst_Geb_li = 4.0f;
  m->Segmente[2].Tief_Geb_li = 3.0f;
  m->Segmente[3].Überbaut = 1;
  TRohrdaten& r = m->Rohrdaten;
  r.Rohrname = {"", "PE-HD d 200", "PE-HD d 160"};
  r.Rohr_Ra = {0.0f, 0.1f, 0.08f};
  r.Rohr_Dicke = {0.0f, 0.0119f, 0.0095f};
  r.Rohr_wlf = {0.0f, 0.4f, 0.4f};
  r.Seglaenge = 1.0f;
  m->Kanalbetrieb.Volstrom = 300;
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m->Klima[h];
    const int stunde = (h - 1) % 24;
    k.T_Luft = static_cast<float>(9.0 - 8.0 * std::cos(2.0 * 3.141592653589793 * (h - 400) / Stunden));
    k.rFeuchte = 80.0f;
    k.Wind = 2.5f;
    k.Glob_Str = stunde >= 7 && stunde <= 17 ? 220.0f : 0.0f;
    k.Wolken = 5.0f;
    k.Nieders = h % 40 == 0 ? 2.0f : 0.0f;
    m->Segmente[1].T_ein[h] = k.T_Luft;
  }
  m->KlimaGueltig = m->KlimaKomplett = true;
  m->TLuftKomplett = m->FeuchteKomplett = m->WindKomplett = m->StrahlungKomplett = true;
  m->NiederschlagKomplett = m->WolkenKomplett = true;
  return m;
}

// ---- Fingerprint of the model ------------------------------------------------------

// 64-bit FNV-1a over raw bytes.
class Pruefsumme {
 public:
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i) h_ = (h_ ^ b[i]) * 0x100000001b3ULL;
  }
  template <typename T>
  void Wert(const T& v) {
    static_assert(std::is_trivially_copyable_v<T>);
    Bytes(&v, sizeof v);
  }
  void Text(const std::string& s) {
    Wert(s.size());
    Bytes(s.data(), s.size());
  }
  uint64_t Ergebnis() const { return h_; }

 private:
  uint64_t h_ = 0xcbf29ce484222325ULL;
};

// One checksum per part of the model, so a difference names the part.
inline std::map<std::string, uint64_t> Abbild(const Modell& m) {
  std::map<std::string, uint64_t> a;
  {
    Pruefsumme p;
    p.Wert(m.Anz_Segmente);
    for (int s = 1; s <= MaxSegmente; ++s) {
      const Kanalsegment& k = m.Segmente[s];
      p.Wert(k.Anz_Rohre), p.Wert(k.Abst_Rohre), p.Wert(k.Tiefe), p.Wert(k.Abst_Geb_li);
      p.Wert(k.Abst_Geb_re), p.Wert(k.Tief_Geb_li), p.Wert(k.Tief_Geb_re), p.Wert(k.Überbaut);
    }
    const TKanalbetrieb& b = m.Kanalbetrieb;
    p.Wert(b.Volstrom), p.Wert(b.Vol_Aus), p.Wert(b.Ein_Zeit), p.Wert(b.Aus_Zeit), p.Wert(b.Heiz_T);
    p.Wert(b.Kuehl_T), p.Wert(b.Betriebsart), p.Wert(b.Fuenftagebetrieb), p.Wert(b.VolStromAusKlima);
    for (int t = 1; t <= 2; ++t) {
      p.Text(m.Rohrdaten.Rohrname[t]);
      p.Wert(m.Rohrdaten.Rohr_Ra[t]), p.Wert(m.Rohrdaten.Rohr_Dicke[t]), p.Wert(m.Rohrdaten.Rohr_wlf[t]);
    }
    p.Wert(m.Rohrdaten.Seglaenge);
    p.Text(m.Kanaldatei);
    a["Kanal"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    p.Wert(m.Bodenart), p.Wert(m.StartBodenfeuchte), p.Text(m.Ortsname), p.Wert(m.Breitengrad);
    p.Wert(m.Laengengrad), p.Wert(m.Veg_Hoehe), p.Wert(m.Veg_typ), p.Wert(m.Diff_Tdew), p.Wert(m.Truebung);
    p.Wert(m.Wg_mittel), p.Wert(m.Wg_Tag_Nacht), p.Wert(m.WG_Messhoehe), p.Wert(m.Wetter_), p.Wert(m.Ns_);
    p.Wert(m.T_Keller), p.Wert(m.wlf_kellerwand), p.Wert(m.kellerwand_dicke), p.Wert(m.T_Fundament);
    p.Text(m.Standortdatei);
    a["Standort"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    p.Text(m.Startverzeichnis);
    a["Startverzeichnis"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    p.Wert(m.AnzBoeden);
    for (int i = 1; i <= MaxBoeden; ++i) {
      const TBodenDaten& b = m.Boeden[i];
      p.Text(b.Kuerzel), p.Wert(b.Klasse), p.Wert(b.ThetaSat), p.Wert(b.ThetaRef), p.Wert(b.Wert3);
      p.Wert(b.PsiSat), p.Wert(b.KSat), p.Wert(b.CBoden), p.Wert(b.B_Exponent), p.Wert(b.Wert8);
      p.Text(b.BodenName);
    }
    a["Boeden"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    p.Wert(m.Anz_Rohrtypen);
    for (int i = 1; i <= MaxRohrtypen; ++i) {
      p.Text(m.Rohrtypen[i].Name), p.Wert(m.Rohrtypen[i].Aussenmass), p.Wert(m.Rohrtypen[i].Dicke);
      p.Wert(m.Rohrtypen[i].wlf);
    }
    a["Rohrkatalog"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    p.Wert(m.Klima), p.Wert(m.Segmente[1].T_ein), p.Wert(m.T_Jahresmittel), p.Wert(m.T_Sommermittel);
    p.Wert(m.KlimaFeldzahl), p.Wert(m.TLuftKomplett), p.Wert(m.FeuchteKomplett), p.Wert(m.WindKomplett);
    p.Wert(m.StrahlungKomplett), p.Wert(m.NiederschlagKomplett), p.Wert(m.WolkenKomplett);
    p.Wert(m.KlimaKomplett);
    a["Klimajahr"] = p.Ergebnis();
  }
  {
    // The table's name and whether it was accepted: a load sets the name
    // first, and a refused read clears KlimaGueltig.
    Pruefsumme p;
    p.Text(m.DBKlimaName), p.Wert(m.KlimaDBOffen), p.Wert(m.KlimaGueltig);
    a["Klimatabelle"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    for (int s = 1; s <= MaxSegmente; ++s) {
      const Kanalsegment& k = m.Segmente[s];
      p.Wert(k.Alpha), p.Wert(k.VolStromRohr), p.Wert(k.T_aus);
      if (s > 1) p.Wert(k.T_ein);
    }
    p.Wert(m.VolStromStunde), p.Wert(m.ErgebnisseVorhanden), p.Wert(m.LAI), p.Wert(m.r_s);
    a["Ergebnisse"] = p.Ergebnis();
  }
  {
    Pruefsumme p;
    p.Text(m.AusgabeVerzeichnis), p.Text(m.AusgabeStamm), p.Wert(m.MitFeuchte), p.Wert(m.FeuchteZeitschritt);
    p.Wert(m.MarkSegment), p.Wert(m.NurEinTermin), p.Wert(m.AusgabeStunde), p.Wert(m.TextAusgabe);
    a["Optionen"] = p.Ergebnis();
  }
  return a;
}

// Every part of the model except those named in `ausser` is as before.
inline void ErwarteUnveraendert(const std::map<std::string, uint64_t>& vorher, const Modell& m,
                                std::initializer_list<const char*> ausser = {}) {
  const auto nachher = Abbild(m);
  for (const auto& [teil, summe] : vorher) {
    bool ausgenommen = false;
    for (const char* a : ausser) ausgenommen = ausgenommen || teil == a;
    if (ausgenommen) continue;
    EXPECT_EQ(nachher.at(teil), summe) << "Modellteil \"" << teil << "\" wurde verändert";
  }
}

// ---- Files --------------------------------------------------------------------------

// Name and bytes of every file directly in `verzeichnis`.
inline std::map<std::string, std::string> Dateien(const std::string& verzeichnis) {
  std::map<std::string, std::string> d;
  for (const auto& e : std::filesystem::directory_iterator(verzeichnis))
    d[e.path().filename().string()] = e.is_regular_file() ? Dateiinhalt(e.path().string()) : "<Verzeichnis>";
  return d;
}

inline void ErwarteGleicheDateien(const std::map<std::string, std::string>& vorher,
                                  const std::string& verzeichnis) {
  const auto nachher = Dateien(verzeichnis);
  for (const auto& [name, inhalt] : vorher) {
    auto it = nachher.find(name);
    if (it == nachher.end()) {
      ADD_FAILURE() << name << " ist verschwunden";
      continue;
    }
    EXPECT_TRUE(it->second == inhalt) << name << " hat sich verändert";
  }
  for (const auto& [name, inhalt] : nachher)
    EXPECT_TRUE(vorher.count(name)) << name << " ist neu hinzugekommen";
}

// ---- xBase byte surgery -------------------------------------------------------------

inline unsigned Lies16(const std::string& b, size_t pos) {
  return static_cast<unsigned char>(b[pos]) | (static_cast<unsigned char>(b[pos + 1]) << 8);
}
inline void Lege16(std::string& b, size_t pos, unsigned v) {
  b[pos] = static_cast<char>(v & 0xFF);
  b[pos + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void Lege32(std::string& b, size_t pos, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Header length, record length, and offset and width of a field, as the
// table's header says.
struct Tabellenkopf {
  unsigned kopf = 0, satz = 0;
  std::vector<std::pair<unsigned, unsigned>> felder;  // offset in the record, width
};
inline Tabellenkopf LiesKopf(const std::string& b) {
  Tabellenkopf k;
  k.kopf = Lies16(b, 8);
  k.satz = Lies16(b, 10);
  unsigned versatz = 1;
  for (size_t d = 32; d + 32 <= k.kopf && b[d] != '\x0D'; d += 32) {
    const unsigned breite = static_cast<unsigned char>(b[d + 16]);
    k.felder.push_back({versatz, breite});
    versatz += breite;
  }
  return k;
}

// Puts `text` right-aligned (left-aligned when `links`) into the cell of
// record `satz` (0-based), field `feld`.
inline void ErsetzeZelle(std::string& b, int satz, int feld, const std::string& text, bool links = false) {
  const Tabellenkopf k = LiesKopf(b);
  const auto [versatz, breite] = k.felder.at(feld);
  ASSERT_LE(text.size(), breite);
  std::string zelle = links ? text + std::string(breite - text.size(), ' ')
                            : std::string(breite - text.size(), ' ') + text;
  b.replace(k.kopf + static_cast<size_t>(satz) * k.satz + versatz, breite, zelle);
}

// ---- The run -----------------------------------------------------------------------

// "Simulation starten..." as the desktop program does it.
inline Laufbericht Starte(Modell& m, Oberflaeche& ui, const std::string& verzeichnis,
                          const Laufoptionen& o = {}) {
  return EKModellFDVerfahren(m, ui, o, verzeichnis);
}

// No result field and no climate field of a run holds NaN or infinity, and
// no text file written says so either.
inline void ErwarteEndlicheErgebnisse(const Modell& m, const std::string& verzeichnis) {
  int schlecht = 0;
  auto pruefe = [&](float x, const char* was, int s, int h) {
    if (std::isfinite(x)) return;
    if (++schlecht > 5) return;
    ADD_FAILURE() << was << " in Segment " << s << ", Stunde " << h << ": " << x;
  };
  for (int s = 1; s <= m.Anz_Segmente; ++s)
    for (int h = 1; h <= Stunden; ++h) {
      const Kanalsegment& k = m.Segmente[s];
      pruefe(k.T_aus[h], "T_aus", s, h);
      pruefe(k.T_ein[h], "T_ein", s, h);
      pruefe(k.Alpha[h], "Alpha", s, h);
      pruefe(k.VolStromRohr[h], "VolStromRohr", s, h);
    }
  for (int h = 1; h <= Stunden; ++h) {
    const TKlimaStunde& k = m.Klima[h];
    const float felder[] = {k.T_Luft,  k.rFeuchte,  k.e,         k.Esat,      k.Wind,     k.Glob_Str, k.Lw_Str,
                            k.Net_Boden, k.Wolken,   k.G,         k.ra,        k.Nieders,  k.p_Verd_mm,
                            k.r_Verd_mm, k.p_Verd_W, k.Eta_z1,    k.Eta_z3,    k.Eta_z5,   k.Eta_kanal};
    for (float f : felder) pruefe(f, "Klimafeld", 0, h);
    pruefe(m.VolStromStunde[h], "VolStromStunde", 0, h);
  }
  for (const auto& [name, inhalt] : Dateien(verzeichnis)) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".TXT") continue;
    EXPECT_EQ(inhalt.find("nan"), std::string::npos) << name;
    EXPECT_EQ(inhalt.find("inf"), std::string::npos) << name;
  }
}

}  // namespace terval::test
