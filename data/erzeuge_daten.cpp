// Build step for the reference and sample tables: turns the readable text
// sources of data/ into the binary tables the program opens, through the
// program's own writers, and reads each table back to check it.
//
//   erzeuge_daten rohre    Rohre.csv        Rohre.DBF
//   erzeuge_daten standort Bochum.loc.txt   Bochum.loc.db
//   erzeuge_daten kanal    Erdkanal.ewt.txt Erdkanal.ewt.db
//
// The text formats are described in data/README.md. Any error names the
// file and line and ends the build step with exit code 1.

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "channel/URohrdaten.h"
#include "channel/UshowKanaldaten.h"
#include "model/Oberflaeche.h"
#include "data/Konsole.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "location/klimaprofil.h"
#include "tables/DbfTabelle.h"
#include "tables/Referenzdateien.h"

namespace {

using namespace terval;

// One meaningful line of a source file with its line number.
struct Zeile {
  int nr;
  std::string text;
};

std::string OhneRand(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool LiesZeilen(const std::string& pfad, std::vector<Zeile>& zeilen) {
  std::ifstream ein(pfad);
  if (!ein) {
    std::fprintf(stderr, "%s: kann nicht gelesen werden\n", pfad.c_str());
    return false;
  }
  int nr = 0;
  for (std::string z; std::getline(ein, z);) {
    ++nr;
    z = OhneRand(z);
    if (z.empty() || z[0] == '#') continue;
    zeilen.push_back({nr, z});
  }
  return true;
}

std::vector<std::string> Teile(const std::string& s, char trenner) {
  std::vector<std::string> t;
  size_t a = 0;
  while (true) {
    size_t b = s.find(trenner, a);
    t.push_back(OhneRand(s.substr(a, b == std::string::npos ? std::string::npos : b - a)));
    if (b == std::string::npos) return t;
    a = b + 1;
  }
}

// Reads "name=value" lines into `werte`, refusing unknown and repeated names.
class Schluesselwerte {
 public:
  Schluesselwerte(std::string datei, std::set<std::string> erlaubt)
      : datei_(std::move(datei)), erlaubt_(std::move(erlaubt)) {}

  bool Nimm(const Zeile& z) {
    size_t gleich = z.text.find('=');
    if (gleich == std::string::npos) return Fehler(z.nr, "\"Name=Wert\" erwartet");
    std::string name = OhneRand(z.text.substr(0, gleich));
    if (!erlaubt_.count(name)) return Fehler(z.nr, "unbekannter Name \"" + name + "\"");
    if (werte_.count(name)) return Fehler(z.nr, "\"" + name + "\" kommt zweimal vor");
    werte_[name] = {z.nr, OhneRand(z.text.substr(gleich + 1))};
    return true;
  }

  bool Vollstaendig() {
    for (const std::string& n : erlaubt_)
      if (!werte_.count(n)) return Fehler(0, "\"" + n + "\" fehlt");
    return true;
  }

  bool Text(const std::string& name, std::string& ziel) {
    ziel = werte_.at(name).text;
    return true;
  }
  bool Zahl(const std::string& name, float& ziel) {
    const Zeile& z = werte_.at(name);
    auto v = ParseZahl(z.text);
    if (!v) return Fehler(z.nr, "\"" + z.text + "\" ist keine Zahl");
    ziel = static_cast<float>(*v);
    return true;
  }
  bool Ganzzahl(const std::string& name, int32_t& ziel) {
    const Zeile& z = werte_.at(name);
    auto v = ParseGanzzahl(z.text);
    if (!v) return Fehler(z.nr, "\"" + z.text + "\" ist keine ganze Zahl");
    ziel = static_cast<int32_t>(*v);
    return true;
  }
  bool Fehler(int nr, const std::string& was) {
    std::fprintf(stderr, "%s:%d: %s\n", datei_.c_str(), nr, was.c_str());
    return false;
  }

 private:
  std::string datei_;
  std::set<std::string> erlaubt_;
  std::map<std::string, Zeile> werte_;
};

// ---- Rohre.DBF ------------------------------------------------------------------

int Rohre(const std::string& quelle, const std::string& ziel) {
  std::vector<Zeile> zeilen;
  if (!LiesZeilen(quelle, zeilen)) return 1;
  if (zeilen.empty() || zeilen[0].text.rfind("Name;", 0) != 0) {
    std::fprintf(stderr, "%s: Kopfzeile \"Name;Aussenmass_m;Dicke_m;wlf_W_mK\" fehlt\n", quelle.c_str());
    return 1;
  }
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(ziel,
                                {{"Name", Feldtyp::Text, 40},
                                 {"Aussenmass", Feldtyp::Gleitkomma, 0},
                                 {"Dicke", Feldtyp::Gleitkomma, 0},
                                 {"wlf", Feldtyp::Gleitkomma, 0}},
                                fehler);
  if (!t) {
    std::fprintf(stderr, "%s\n", fehler.c_str());
    return 1;
  }
  int anzahl = 0;
  for (size_t i = 1; i < zeilen.size(); ++i) {
    const Zeile& z = zeilen[i];
    std::vector<std::string> teile = Teile(z.text, ';');
    auto aussen = teile.size() == 4 ? ParseZahl(teile[1]) : std::nullopt;
    auto dicke = teile.size() == 4 ? ParseZahl(teile[2]) : std::nullopt;
    auto wlf = teile.size() == 4 ? ParseZahl(teile[3]) : std::nullopt;
    if (!aussen || !dicke || !wlf || teile[0].empty()) {
      std::fprintf(stderr, "%s:%d: \"Name;Aussenmass_m;Dicke_m;wlf_W_mK\" erwartet\n", quelle.c_str(), z.nr);
      return 1;
    }
    // The pipe dialog shows (Aussenmass - Dicke) / 2 as inner size: it must be positive.
    if (*dicke <= 0 || 2 * *dicke >= *aussen || *wlf <= 0) {
      std::fprintf(stderr, "%s:%d: unmögliche Rohrmaße\n", quelle.c_str(), z.nr);
      return 1;
    }
    int s = t->Anhaengen();
    bool gut = t->SchreibeText(s, 0, teile[0]) && t->SchreibeZahl(s, 1, static_cast<float>(*aussen)) &&
               t->SchreibeZahl(s, 2, static_cast<float>(*dicke)) && t->SchreibeZahl(s, 3, *wlf);
    if (!gut) {
      std::fprintf(stderr, "%s\n", t->Verwerfen().c_str());
      return 1;
    }
    ++anzahl;
  }
  if (anzahl > MaxRohrtypen) {
    std::fprintf(stderr, "%s: mehr als %d Rohre\n", quelle.c_str(), MaxRohrtypen);
    return 1;
  }
  if (!t->Schliessen(fehler)) {
    std::fprintf(stderr, "%s\n", fehler.c_str());
    return 1;
  }
  auto m = NeuesModell();
  if (!ReadRohrdatenDB(*m, Verzeichnisanteil(ziel)) || m->Anz_Rohrtypen != anzahl) {
    std::fprintf(stderr, "%s: Rohrkatalog lässt sich nicht zurücklesen\n", ziel.c_str());
    return 1;
  }
  return 0;
}

// ---- Bochum.loc.db -----------------------------------------------------------------

int Standort(const std::string& quelle, const std::string& ziel) {
  std::vector<Zeile> zeilen;
  if (!LiesZeilen(quelle, zeilen)) return 1;
  std::set<std::string> namen = {"Bodenart",    "StartBodenfeuchte", "Ortsname",     "Breitengrad",
                                 "Laengengrad", "Veg_Hoehe",         "Veg_typ",      "Diff_Tdew",
                                 "Truebung",    "Wg_mittel",         "Wg_Tag_Nacht", "WG_Messhoehe",
                                 "T_Keller",    "wlf_kellerwand",    "kellerwand_dicke", "T_Fundament"};
  for (int k = 1; k <= 12; ++k) {
    namen.insert("Wetter_" + std::to_string(k));
    namen.insert("Ns_" + std::to_string(k));
  }
  Schluesselwerte w(quelle, namen);
  for (const Zeile& z : zeilen)
    if (!w.Nimm(z)) return 1;
  if (!w.Vollstaendig()) return 1;

  auto m = NeuesModell();
  SetzeStartzustand(*m);
  bool gut = w.Ganzzahl("Bodenart", m->Bodenart) && w.Zahl("StartBodenfeuchte", m->StartBodenfeuchte) &&
             w.Text("Ortsname", m->Ortsname) && w.Zahl("Breitengrad", m->Breitengrad) &&
             w.Zahl("Laengengrad", m->Laengengrad) && w.Zahl("Veg_Hoehe", m->Veg_Hoehe) &&
             w.Ganzzahl("Veg_typ", m->Veg_typ) && w.Zahl("Diff_Tdew", m->Diff_Tdew) &&
             w.Ganzzahl("Truebung", m->Truebung) && w.Zahl("Wg_mittel", m->Wg_mittel) &&
             w.Zahl("Wg_Tag_Nacht", m->Wg_Tag_Nacht) && w.Zahl("WG_Messhoehe", m->WG_Messhoehe) &&
             w.Zahl("T_Keller", m->T_Keller) && w.Zahl("wlf_kellerwand", m->wlf_kellerwand) &&
             w.Zahl("kellerwand_dicke", m->kellerwand_dicke) && w.Zahl("T_Fundament", m->T_Fundament);
  for (int k = 1; k <= 12 && gut; ++k)
    gut = w.Ganzzahl("Wetter_" + std::to_string(k), m->Wetter_[k]) && w.Zahl("Ns_" + std::to_string(k), m->Ns_[k]);
  if (!gut) return 1;

  Konsole ui;
  if (!SpeichereStandortdatei(*m, ui, ziel)) return 1;
  auto zurueck = NeuesModell();
  if (!LadeStandortdatei(*zurueck, ui, ziel) || zurueck->Ortsname != m->Ortsname ||
      zurueck->Breitengrad != m->Breitengrad || zurueck->Ns_ != m->Ns_ || zurueck->Wetter_ != m->Wetter_) {
    std::fprintf(stderr, "%s: Standortprofil lässt sich nicht zurücklesen\n", ziel.c_str());
    return 1;
  }
  return ui.meldungen == 0 ? 0 : 1;
}

// ---- Erdkanal.ewt.db ------------------------------------------------------------------

int Kanal(const std::string& quelle, const std::string& ziel) {
  std::vector<Zeile> zeilen;
  if (!LiesZeilen(quelle, zeilen)) return 1;
  Schluesselwerte w(quelle, {"Volstrom", "Vol_Aus", "Ein_Zeit", "Aus_Zeit", "Heiz_T", "Kuehl_T", "Betriebsart",
                             "Fuenftagebetrieb", "Seglaenge", "Rohrname_1", "Rohr_Ra_1", "Rohr_Dicke_1",
                             "Rohr_wlf_1", "Rohrname_2", "Rohr_Ra_2", "Rohr_Dicke_2", "Rohr_wlf_2"});
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  size_t i = 0;
  for (; i < zeilen.size() && zeilen[i].text != "[Segmente]"; ++i)
    if (!w.Nimm(zeilen[i])) return 1;
  if (!w.Vollstaendig()) return 1;

  TKanalbetrieb& b = m->Kanalbetrieb;
  TRohrdaten& r = m->Rohrdaten;
  int32_t fuenftage = 0;
  bool gut = w.Ganzzahl("Volstrom", b.Volstrom) && w.Ganzzahl("Vol_Aus", b.Vol_Aus) &&
             w.Ganzzahl("Ein_Zeit", b.Ein_Zeit) && w.Ganzzahl("Aus_Zeit", b.Aus_Zeit) &&
             w.Zahl("Heiz_T", b.Heiz_T) && w.Zahl("Kuehl_T", b.Kuehl_T) &&
             w.Ganzzahl("Betriebsart", b.Betriebsart) && w.Ganzzahl("Fuenftagebetrieb", fuenftage) &&
             w.Zahl("Seglaenge", r.Seglaenge);
  for (int t = 1; t <= 2 && gut; ++t) {
    const std::string n = "_" + std::to_string(t);
    gut = w.Text("Rohrname" + n, r.Rohrname[t]) && w.Zahl("Rohr_Ra" + n, r.Rohr_Ra[t]) &&
          w.Zahl("Rohr_Dicke" + n, r.Rohr_Dicke[t]) && w.Zahl("Rohr_wlf" + n, r.Rohr_wlf[t]);
  }
  if (!gut) return 1;
  b.Fuenftagebetrieb = fuenftage == 1;

  // Segment groups: Anzahl;Tiefe;Anz_Rohre;Abst_Rohre;Abst_Geb_li;Tief_Geb_li;Abst_Geb_re;Tief_Geb_re;Überbaut
  int n = 0;
  for (++i; i < zeilen.size(); ++i) {
    const Zeile& z = zeilen[i];
    std::vector<std::string> t = Teile(z.text, ';');
    std::vector<double> v;
    for (const std::string& teil : t)
      if (auto x = ParseZahl(teil)) v.push_back(*x);
    if (t.size() != 9 || v.size() != 9 || v[0] < 1 || n + v[0] > MaxSegmente) {
      w.Fehler(z.nr, "\"Anzahl;Tiefe;Anz_Rohre;Abst_Rohre;Abst_Geb_li;Tief_Geb_li;Abst_Geb_re;Tief_Geb_re;"
                     "Überbaut\" erwartet (höchstens 150 Segmente)");
      return 1;
    }
    for (int k = 0; k < static_cast<int>(v[0]); ++k) {
      Kanalsegment& s = m->Segmente[++n];
      s.Tiefe = static_cast<float>(v[1]);
      s.Anz_Rohre = static_cast<int32_t>(v[2]);
      s.Abst_Rohre = static_cast<float>(v[3]);
      s.Abst_Geb_li = static_cast<float>(v[4]);
      s.Tief_Geb_li = static_cast<float>(v[5]);
      s.Abst_Geb_re = static_cast<float>(v[6]);
      s.Tief_Geb_re = static_cast<float>(v[7]);
      s.Überbaut = static_cast<int32_t>(v[8]);
    }
  }
  if (n == 0) {
    w.Fehler(0, "keine Segmente nach [Segmente]");
    return 1;
  }
  m->Anz_Segmente = n;

  Konsole ui;
  if (!SpeichereKanaldatei(*m, ui, ziel)) return 1;
  auto zurueck = NeuesModell();
  if (!LadeKanaldatei(*zurueck, ui, ziel) || zurueck->Anz_Segmente != n ||
      zurueck->Rohrdaten.Rohr_Ra != r.Rohr_Ra || zurueck->Kanalbetrieb.Volstrom != b.Volstrom) {
    std::fprintf(stderr, "%s: Erdkanal lässt sich nicht zurücklesen\n", ziel.c_str());
    return 1;
  }
  return ui.meldungen == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4) {
    const std::string art = argv[1];
    if (art == "rohre") return Rohre(argv[2], argv[3]);
    if (art == "standort") return Standort(argv[2], argv[3]);
    if (art == "kanal") return Kanal(argv[2], argv[3]);
  }
  std::fprintf(stderr,
               "Aufruf: erzeuge_daten rohre|standort|kanal <Textquelle> <Tabelle>\n"
               "Erzeugt aus der Textquelle in data/ die Tabelle, die das Programm öffnet.\n");
  return 2;
}
