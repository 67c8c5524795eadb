#include "batch/Studie.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "core/Laufvorrat.h"
#include "model/Oberflaeche.h"
#include "model/Systemgrund.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/Jahresbilanz.h"
#include "physics/Hydraulik.h"
#include "tables/Csv.h"

namespace terval {

namespace {

namespace fs = std::filesystem;

// ---- Columns of the study file ---------------------------------------------

// Positiv: a size, any number above 0; Zahl: a number within min..max.
enum class Art { Datei, Ganzzahl, Zahl, Positiv, Text, JaNein };

// A cell as its column reads it.
struct Wert {
  double zahl = 0;
  std::string text;
  bool ja = false;
};

// One column: its kind, the values it allows, and what it changes. A new
// column is one row here.
struct Spaltenart {
  const char* name;
  Art art;
  double min, max;
  void (*setze)(Modell& m, Laufoptionen& o, const Wert& w);
};

void FuerAlleSegmente(Modell& m, void (*f)(Kanalsegment&, double), double x) {
  for (int s = 1; s <= std::min(m.Anz_Segmente, MaxSegmente); ++s) f(m.Segmente[s], x);
}

// The channel's segment list repeated from its first segment, or cut.
void SetzeSegmente(Modell& m, int n) {
  const int alt = std::clamp(m.Anz_Segmente, 1, MaxSegmente);
  for (int s = 1; s <= MaxSegmente; ++s) {
    if (s > n)
      KopiereDefinition(Kanalsegment{}, m.Segmente[s]);
    else if (s > alt)
      KopiereDefinition(m.Segmente[(s - 1) % alt + 1], m.Segmente[s]);
  }
  m.Anz_Segmente = n;
}

// A new wall around the same bore, both pipe types, as the pipe dialog does it.
void SetzeWanddicke(TRohrdaten& r, double mm) {
  for (int k = 1; k <= 2; ++k) {
    const double innenradius = static_cast<double>(r.Rohr_Ra[k]) - r.Rohr_Dicke[k];
    r.Rohr_Dicke[k] = static_cast<float>(static_cast<float>(mm) / 1000.0);
    r.Rohr_Ra[k] = static_cast<float>(innenradius + r.Rohr_Dicke[k]);
  }
}

void SetzeInnendurchmesser(TRohrdaten& r, double mm) {
  for (int k = 1; k <= 2; ++k) r.Rohr_Ra[k] = static_cast<float>(mm / 1000 / 2 + r.Rohr_Dicke[k]);
}

// A catalogue entry for both pipe types: its outer size, wall and conductivity.
void SetzeRohrtyp(Modell& m, const std::string& name) {
  for (int i = 1; i <= std::min(m.Anz_Rohrtypen, MaxRohrtypen); ++i) {
    const TRohrtyp& t = m.Rohrtypen[i];
    if (t.Name != name) continue;
    for (int k = 1; k <= 2; ++k) {
      m.Rohrdaten.Rohrname[k] = t.Name;
      m.Rohrdaten.Rohr_Ra[k] = t.Aussenmass / 2;
      m.Rohrdaten.Rohr_Dicke[k] = t.Dicke;
      m.Rohrdaten.Rohr_wlf[k] = static_cast<float>(t.wlf);
    }
    return;
  }
}

bool InKatalog(const Modell& m, const std::string& name) {
  for (int i = 1; i <= std::min(m.Anz_Rohrtypen, MaxRohrtypen); ++i)
    if (m.Rohrtypen[i].Name == name) return true;
  return false;
}

template <float THydraulik::*feld>
void Luftweg(Modell& m, Laufoptionen&, const Wert& w) {
  m.Hydraulik.*feld = static_cast<float>(w.zahl);
}

// The order of application matters where columns touch the same values:
// the segment count before what goes into every segment, a catalogue pipe
// before a wall or bore that changes it.
const Spaltenart Spaltenarten[] = {
    {"Kanal", Art::Datei, 0, 0, nullptr},
    {"Standort", Art::Datei, 0, 0, nullptr},
    {"Klima", Art::Datei, 0, 0, nullptr},
    {"Segmente", Art::Ganzzahl, 2, MaxSegmente,
     [](Modell& m, Laufoptionen&, const Wert& w) { SetzeSegmente(m, static_cast<int>(w.zahl)); }},
    {"Tiefe", Art::Positiv, 0, 0,
     [](Modell& m, Laufoptionen&, const Wert& w) {
       FuerAlleSegmente(m, [](Kanalsegment& s, double x) { s.Tiefe = static_cast<float>(x); }, w.zahl);
     }},
    {"Rohrtyp", Art::Text, 0, 0, [](Modell& m, Laufoptionen&, const Wert& w) { SetzeRohrtyp(m, w.text); }},
    {"Wanddicke_mm", Art::Positiv, 0, 0,
     [](Modell& m, Laufoptionen&, const Wert& w) { SetzeWanddicke(m.Rohrdaten, w.zahl); }},
    {"Innendurchmesser_mm", Art::Positiv, 0, 0,
     [](Modell& m, Laufoptionen&, const Wert& w) { SetzeInnendurchmesser(m.Rohrdaten, w.zahl); }},
    {"Anz_Rohre", Art::Ganzzahl, 1, MaxSpalten,
     [](Modell& m, Laufoptionen&, const Wert& w) {
       FuerAlleSegmente(m, [](Kanalsegment& s, double x) { s.Anz_Rohre = static_cast<int32_t>(x); }, w.zahl);
     }},
    {"Abst_Rohre", Art::Zahl, 0, 1000,
     [](Modell& m, Laufoptionen&, const Wert& w) {
       FuerAlleSegmente(m, [](Kanalsegment& s, double x) { s.Abst_Rohre = static_cast<float>(x); }, w.zahl);
     }},
    {"Volumenstrom", Art::Ganzzahl, 0, 1e6,
     [](Modell& m, Laufoptionen&, const Wert& w) { m.Kanalbetrieb.Volstrom = static_cast<int32_t>(w.zahl); }},
    {"Betriebsart", Art::Ganzzahl, 0, 3,
     [](Modell& m, Laufoptionen&, const Wert& w) { m.Kanalbetrieb.Betriebsart = static_cast<int32_t>(w.zahl); }},
    {"Bodenart", Art::Ganzzahl, 1, MaxBoeden,
     [](Modell& m, Laufoptionen&, const Wert& w) { m.Bodenart = static_cast<int32_t>(w.zahl); }},
    {"StartBodenfeuchte", Art::Zahl, 0, 100,
     [](Modell& m, Laufoptionen&, const Wert& w) { m.StartBodenfeuchte = static_cast<float>(w.zahl); }},
    {"Feuchte", Art::JaNein, 0, 0, [](Modell&, Laufoptionen& o, const Wert& w) { o.MitFeuchte = w.ja; }},
    {"Rauhigkeit", Art::Zahl, Rauhigkeitsbereich.min, Rauhigkeitsbereich.max,
     [](Modell& m, Laufoptionen&, const Wert& w) {
       m.Hydraulik.Rauhigkeit[1] = m.Hydraulik.Rauhigkeit[2] = static_cast<float>(w.zahl);
     }},
    {"Zeta_Einlauf", Art::Zahl, Zetabereich.min, Zetabereich.max, Luftweg<&THydraulik::Zeta_Einlauf>},
    {"Boegen", Art::Ganzzahl, 0, 100,
     [](Modell& m, Laufoptionen&, const Wert& w) { m.Hydraulik.Boegen = static_cast<int32_t>(w.zahl); }},
    {"Zeta_Bogen", Art::Zahl, Zetabereich.min, Zetabereich.max, Luftweg<&THydraulik::Zeta_Bogen>},
    {"Zeta_Register", Art::Zahl, Zetabereich.min, Zetabereich.max, Luftweg<&THydraulik::Zeta_Register>},
    {"Zeta_Auslauf", Art::Zahl, Zetabereich.min, Zetabereich.max, Luftweg<&THydraulik::Zeta_Auslauf>},
    {"Filter_Pa", Art::Zahl, Filterbereich.min, Filterbereich.max, Luftweg<&THydraulik::Filter_Pa>},
    {"Wirkungsgrad", Art::Zahl, Wirkungsgradbereich.min, Wirkungsgradbereich.max,
     Luftweg<&THydraulik::Wirkungsgrad>},
};

const Spaltenart* ArtVon(const std::string& name) {
  for (const Spaltenart& s : Spaltenarten)
    if (name == s.name) return &s;
  return nullptr;
}

// The figures of a variant, after its inputs.
static_assert(StandardGrenze == 26, "the column Stunden_ueber_26C counts above the duration curve's limit");
const char* const Ergebnisspalten[] = {
    "Waermegewinn_kWh", "Waermeabgabe_kWh",  "T_aus_Mittel_C",        "T_aus_Min_C",
    "T_aus_Max_C",      "Stunden_unter_0C",  "Stunden_ueber_26C",     "Druckverlust_Pa",
    "Ventilatorenergie_kWh", "Arbeitszahl",  "Meldung"};

// ---- The study file ----------------------------------------------------------

struct Variante {
  int zeile = 0;                    // 1-based row among the study's variants
  std::string name;
  std::vector<std::string> zellen;  // per column of the study, as written
  std::vector<Wert> werte;          // the same, read
  std::string kanal, standort, klima;  // input files, empty: the base run's
  // The variants of one group differ in their length only: they go through
  // the same segments as far as each reaches (see Kanalvorlauf).
  std::string gruppe;
  int segmente = 0;  // its channel's length
};

// The input file a file column of the variant names.
std::string& DateiVon(Variante& v, const std::string& spalte) {
  return spalte == "Kanal" ? v.kanal : spalte == "Standort" ? v.standort : v.klima;
}

struct Studiendatei {
  std::string inhalt;
  std::vector<const Spaltenart*> spalten;  // the study's columns besides "Name", in canonical order
  std::vector<int> quelle;                 // their position in the file
  std::vector<Variante> varianten;
};

std::string Zitat(const std::string& text) {
  std::string z = "\"";
  z += text;
  z += '"';
  return z;
}

bool LiesDatei(const std::string& pfad, std::string& inhalt) {
  std::error_code ec;
  if (!fs::is_regular_file(pfad, ec)) return false;
  std::ifstream f(pfad, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  inhalt = s.str();
  return static_cast<bool>(f);
}

bool GueltigerName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return std::none_of(name.begin(), name.end(), [](unsigned char c) { return c < 0x20 || c == '/' || c == '\\'; });
}

// Reads cell `text` of a column; "" when it is fine, else what is wrong.
std::string LiesWert(const Spaltenart& a, const std::string& text, Wert& w) {
  switch (a.art) {
    case Art::Datei:
    case Art::Text:
      w.text = text;
      return "";
    case Art::JaNein:
      if (text == "ja" || text == "nein") {
        w.ja = text == "ja";
        return "";
      }
      return "erwartet \"ja\" oder \"nein\"";
    case Art::Ganzzahl: {
      const std::optional<long long> n = ParseGanzzahl(text);
      if (n && *n >= a.min && *n <= a.max) {
        w.zahl = static_cast<double>(*n);
        return "";
      }
      return "erwartet eine ganze Zahl von " + FormatInt(static_cast<long long>(a.min)) + " bis " +
             FormatInt(static_cast<long long>(a.max));
    }
    case Art::Positiv:
    case Art::Zahl: {
      const std::optional<double> x = ParseZahl(text);
      // A float must hold it: 1e39 m is no depth either.
      const bool gut = x && (a.art == Art::Positiv ? *x > 0 && *x <= 1e30 : *x >= a.min && *x <= a.max);
      if (gut) {
        w.zahl = *x;
        return "";
      }
      return a.art == Art::Positiv ? std::string("erwartet eine Zahl größer als 0")
                                   : "erwartet eine Zahl von " + KuerzesterText(static_cast<float>(a.min)) +
                                         " bis " + KuerzesterText(static_cast<float>(a.max));
    }
  }
  return "";
}

// A path in the study file is relative to the study file's folder.
std::string Pfad(const std::string& studie, const std::string& pfad) {
  const fs::path p(pfad);
  return p.is_absolute() ? pfad : (fs::path(studie).parent_path() / p).lexically_normal().string();
}

bool LiesStudiendatei(const std::string& pfad, Studiendatei& s, std::string& fehler) {
  const std::string name = Zitat(fs::path(pfad).filename().string());
  if (!LiesDatei(pfad, s.inhalt)) {
    fehler = "Die Studiendatei " + name + " gibt es nicht oder sie ist nicht lesbar.";
    return false;
  }
  std::vector<CsvZeile> zeilen;
  std::string grund;
  if (!ZerlegeCsv(s.inhalt, ';', zeilen, grund)) {
    fehler = "Die Studiendatei " + name + " ist keine gültige CSV-Datei: " + grund;
    return false;
  }
  if (zeilen.size() < 2) {
    fehler = "Die Studiendatei " + name + " enthält keine Variante: nach der Kopfzeile folgt keine Zeile.";
    return false;
  }
  const CsvZeile& kopf = zeilen.front();
  int nameSpalte = -1;
  std::vector<std::pair<const Spaltenart*, int>> gefunden;
  for (size_t i = 0; i < kopf.size(); ++i) {
    const std::string wo = "Die Studiendatei " + name + ", Spalte " + FormatInt(static_cast<long long>(i + 1));
    const bool doppelt = std::count(kopf.begin(), kopf.begin() + static_cast<long>(i), kopf[i]) > 0;
    if (doppelt) {
      fehler = wo + ": die Spalte " + Zitat(kopf[i]) + " kommt zweimal vor.";
      return false;
    }
    if (kopf[i] == SpalteName) {
      nameSpalte = static_cast<int>(i);
      continue;
    }
    const Spaltenart* a = ArtVon(kopf[i]);
    if (a == nullptr) {
      std::string erlaubt;
      for (const Spaltenart& k : Spaltenarten) erlaubt += std::string(erlaubt.empty() ? "" : ", ") + k.name;
      fehler = wo + ": unbekannte Spalte " + Zitat(kopf[i]) + ".\rMögliche Spalten: Name, " + erlaubt + ".";
      return false;
    }
    gefunden.emplace_back(a, static_cast<int>(i));
  }
  if (nameSpalte < 0) {
    fehler = "Die Studiendatei " + name + " hat keine Spalte \"Name\".";
    return false;
  }
  // The table lists the columns in one order whatever the file's.
  std::sort(gefunden.begin(), gefunden.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [a, i] : gefunden) {
    s.spalten.push_back(a);
    s.quelle.push_back(i);
  }

  std::set<std::string> namen;
  for (size_t z = 1; z < zeilen.size(); ++z) {
    const CsvZeile& r = zeilen[z];
    const std::string wo = "Die Studiendatei " + name + ", Zeile " + FormatInt(static_cast<long long>(z + 1));
    if (r.size() != kopf.size()) {
      fehler = wo + ": " + FormatInt(static_cast<long long>(r.size())) + " Felder statt " +
               FormatInt(static_cast<long long>(kopf.size())) + " wie in der Kopfzeile.";
      return false;
    }
    Variante v;
    v.zeile = static_cast<int>(z);
    v.name = r[static_cast<size_t>(nameSpalte)];
    if (!GueltigerName(v.name)) {
      fehler = wo + ", Spalte \"Name\": " + Zitat(v.name) +
               " ist kein einfacher Dateiname (nicht leer, ohne / und \\, nicht \".\" oder \"..\").";
      return false;
    }
    if (!namen.insert(v.name).second) {
      fehler = wo + ", Spalte \"Name\": den Namen " + Zitat(v.name) + " trägt schon eine andere Variante.";
      return false;
    }
    for (size_t k = 0; k < s.spalten.size(); ++k) {
      const Spaltenart& a = *s.spalten[k];
      const std::string& text = r[static_cast<size_t>(s.quelle[k])];
      Wert w;
      if (!text.empty()) {
        if (const std::string falsch = LiesWert(a, text, w); !falsch.empty()) {
          fehler = wo + ", Spalte " + Zitat(a.name) + ": " + Zitat(text) + " – die Spalte " + falsch + ".";
          return false;
        }
        if (a.art == Art::Datei) DateiVon(v, a.name) = Pfad(pfad, text);
      }
      v.zellen.push_back(text);
      v.werte.push_back(w);
      if (std::string(a.name) != "Segmente") v.gruppe.append(text).push_back('\x1f');
    }
    v.gruppe.append(v.kanal).append("\x1f").append(v.standort).append("\x1f").append(v.klima);
    s.varianten.push_back(std::move(v));
  }
  return true;
}

// ---- The study's identity ----------------------------------------------------

// FNV-1a, 64 bits: enough to tell studies apart, cheap over megabytes.
struct Pruefsumme {
  uint64_t h = 14695981039346656037ull;
  void Dazu(const std::string& s) {
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    h = (h ^ 0xFF) * 1099511628211ull;  // so that "ab"+"c" differs from "a"+"bc"
  }
  std::string Text() const {
    char t[17];
    std::snprintf(t, sizeof t, "%016llx", static_cast<unsigned long long>(h));
    return t;
  }
};

// The study file, the base input files' contents and every option that
// changes a result.
std::string Identitaet(const Studienauftrag& a, const Studiendatei& s) {
  Pruefsumme p;
  p.Dazu(s.inhalt);
  std::vector<std::string> dateien{a.basis.kanal, a.basis.standort};
  dateien.insert(dateien.end(), a.basis.klima.begin(), a.basis.klima.end());
  for (const std::string& d : dateien) {
    std::string inhalt;
    p.Dazu(LiesDatei(d, inhalt) ? inhalt : d);
  }
  const Laufoptionen& o = a.lauf;
  std::string optionen = FormatInt(o.MitFeuchte) + FormatInt(o.FeuchteZeitschritt) + FormatInt(o.Jahre) +
                         FormatInt(o.Luftseite.KleinerVolumenstrom) + FormatInt(o.Luftseite.Energieerhaltend) +
                         FormatInt(o.Luftseite.Kondensation) + FormatInt(a.basis.erzeugen) +
                         (a.basis.seed ? FormatInt(*a.basis.seed) : "-");
  // Appended piece by piece: g++ 12 warns wrongly about ";" + string.
  constexpr float THydraulik::*Felder[] = {&THydraulik::Zeta_Einlauf, &THydraulik::Zeta_Bogen,
                                           &THydraulik::Zeta_Register, &THydraulik::Zeta_Auslauf,
                                           &THydraulik::Filter_Pa, &THydraulik::Wirkungsgrad};
  for (const auto& [feld, wert] : a.basis.luftweg) {
    const long nr = std::find(std::begin(Felder), std::end(Felder), feld) - std::begin(Felder);
    optionen.append(";").append(FormatInt(nr)).append("=").append(KuerzesterText(wert));
  }
  if (a.basis.rauhigkeit) optionen.append(";r").append(KuerzesterText(*a.basis.rauhigkeit));
  if (a.basis.boegen) optionen.append(";b").append(FormatInt(*a.basis.boegen));
  p.Dazu(optionen);
  return p.Text();
}

// ---- Loaded inputs, shared -----------------------------------------------------

// Collects what a run or a load would tell the user, to put it in the table.
class Sammeloberflaeche : public StilleOberflaeche {
 public:
  void Fehler(const std::string& text) override {
    if (erster.empty()) erster = text;
  }
  std::string erster;
};

std::string Einzeilig(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

struct Geladen {
  std::unique_ptr<Modell> modell;
  std::vector<Klimajahr> folge;
};

// The models of the input files a study uses, loaded once each (a handful
// kept, 22 MB apiece), serialised: the table engines are not known to be
// safe on several threads at once.
class Eingabenvorrat {
 public:
  explicit Eingabenvorrat(const Eingaben& basis) : basis_(basis) {}

  // The loaded model of a variant's files; null with the loader's message.
  std::shared_ptr<const Geladen> Hole(const Variante& v, std::string& fehler) {
    const auto schluessel = std::make_tuple(v.kanal, v.standort, v.klima);
    std::lock_guard<std::mutex> sperre(mutex_);
    for (const auto& [k, g] : geladen_)
      if (k == schluessel) return g;
    Eingaben e = basis_;
    if (!v.kanal.empty()) e.kanal = v.kanal;
    if (!v.standort.empty()) e.standort = v.standort;
    if (!v.klima.empty()) e.klima = {v.klima};
    auto g = std::make_shared<Geladen>();
    g->modell = NeuesModell();
    Sammeloberflaeche ui;
    if (!LadeEingaben(*g->modell, ui, e, g->folge)) {
      fehler = ui.erster.empty() ? "Die Eingabedateien sind nicht lesbar." : ui.erster;
      return nullptr;
    }
    if (geladen_.size() >= 8) geladen_.erase(geladen_.begin());
    geladen_.emplace_back(schluessel, g);
    return g;
  }

 private:
  Eingaben basis_;
  std::mutex mutex_;
  std::vector<std::pair<std::tuple<std::string, std::string, std::string>, std::shared_ptr<const Geladen>>> geladen_;
};

// Every variant's files load and its catalogue pipe and soil exist; else
// the message names the row and column.
bool PruefeEingaben(Studiendatei& s, const std::string& studie, Eingabenvorrat& vorrat, std::string& fehler) {
  const std::string name = Zitat(fs::path(studie).filename().string());
  for (Variante& v : s.varianten) {
    const std::string wo = "Die Studiendatei " + name + ", Zeile " + FormatInt(v.zeile + 1);
    std::string grund;
    const std::shared_ptr<const Geladen> g = vorrat.Hole(v, grund);
    if (!g) {
      std::string spalten;
      for (const char* k : {"Kanal", "Standort", "Klima"})
        if (!DateiVon(v, k).empty()) spalten += std::string(spalten.empty() ? ", Spalte " : " oder ") + Zitat(k);
      fehler = (spalten.empty() ? "Die Eingabedateien der Studie sind nicht lesbar"
                                : wo + spalten + ": eine Eingabedatei ist nicht lesbar") +
               ":\r" + grund;
      return false;
    }
    v.segmente = g->modell->Anz_Segmente;
    for (size_t k = 0; k < s.spalten.size(); ++k) {
      const std::string spalte = s.spalten[k]->name;
      const Wert& w = v.werte[k];
      if (v.zellen[k].empty()) continue;
      if (spalte == "Segmente") v.segmente = static_cast<int>(w.zahl);
      if (spalte == "Rohrtyp" && !InKatalog(*g->modell, w.text)) {
        fehler = wo + ", Spalte \"Rohrtyp\": " + Zitat(w.text) + " steht nicht im Rohrkatalog \"Rohre.DBF\".";
        return false;
      }
      if (spalte == "Bodenart" && w.zahl > g->modell->AnzBoeden) {
        fehler = wo + ", Spalte \"Bodenart\": SOILS.DAT enthält nur " + FormatInt(g->modell->AnzBoeden) + " Böden.";
        return false;
      }
    }
  }
  return true;
}

// ---- Running the variants -------------------------------------------------------

std::string Zahl(double x, int nachkomma) { return FormatReal(x, 1, nachkomma); }

// The table row of a variant: its place, its inputs, its figures.
std::vector<std::string> Tabellenzeile(const std::string& id, int varianten, const Variante& v, const Modell* m,
                                       const Laufbericht* b, const std::string& meldung) {
  std::vector<std::string> z{id, FormatInt(v.zeile), FormatInt(varianten), v.name};
  z.insert(z.end(), v.zellen.begin(), v.zellen.end());
  if (m == nullptr || b == nullptr || b->jahre.empty()) {
    z.resize(z.size() + std::size(Ergebnisspalten) - 1);
    z.push_back(Einzeilig(meldung.empty() ? "Die Variante wurde nicht gerechnet." : meldung));
    return z;
  }
  const Jahreszeile& j = b->jahre.back();
  const Ventilatorjahr& f = b->ventilator;
  for (const std::string& x :
       {Zahl(j.Gewinn_kWh, 2), Zahl(j.Abgabe_kWh, 2), Zahl(j.T_aus_Mittel, 3), Zahl(j.T_aus_Min, 3),
        Zahl(j.T_aus_Max, 3), FormatInt(j.StundenUnterNull), FormatInt(Dauerlinie(*m, StandardGrenze).StundenUeberGrenze),
        Zahl(f.basis.gesamt, 2), Zahl(f.energie, 3), f.energie > 0 ? Zahl(f.arbeitszahl, 2) : std::string(), meldung})
    z.push_back(x);
  return z;
}

// One variant on the model of this thread.
std::vector<std::string> RechneVariante(const Studienauftrag& a, const std::string& id, int varianten,
                                        const Studiendatei& s, const Variante& v, Eingabenvorrat& eingaben,
                                        Laufvorrat& vorrat, Modell& m) {
  std::string fehler;
  const std::shared_ptr<const Geladen> g = eingaben.Hole(v, fehler);
  if (!g) return Tabellenzeile(id, varianten, v, nullptr, nullptr, fehler);
  m = *g->modell;
  Laufoptionen o = a.lauf;
  o.Klimafolge = g->folge;
  o.Vorrat = &vorrat;
  o.Vorlauf = v.gruppe;
  o.Ergebnisdateien = a.variantendateien;
  for (size_t k = 0; k < s.spalten.size(); ++k)
    if (!v.zellen[k].empty() && s.spalten[k]->setze != nullptr) s.spalten[k]->setze(m, o, v.werte[k]);

  fs::path ordner = fs::path(a.verzeichnis);
  if (a.variantendateien) {
    ordner /= v.name;
    std::error_code ec;
    fs::create_directories(ordner, ec);
    if (ec)
      return Tabellenzeile(id, varianten, v, nullptr, nullptr,
                           "Der Ordner " + Zitat(ordner.string()) + " kann nicht angelegt werden: " +
                               Systemgrund(ec.value()) + ".");
  }
  Sammeloberflaeche ui;
  const Laufbericht b = EKModellFDVerfahren(m, ui, o, ordner.string());
  if (b.ergebnis != Laufergebnis::Fertig) return Tabellenzeile(id, varianten, v, nullptr, nullptr, ui.erster);
  // Computed, but its files could not be written: the figures stand, the message says so.
  return Tabellenzeile(id, varianten, v, &m, &b, b.nichtGeschrieben.empty() ? "" : Einzeilig(ui.erster));
}

// The order the rows of the slice [von, bis) run in: a few groups at a
// time, the longest channel of each first, so that the others of its group
// find its segments kept when they start; then the next groups, so that
// only those few groups' segments are kept at once.
std::vector<int> Reihenfolge(const std::vector<Variante>& v, int von, int bis) {
  constexpr size_t GruppenJeSchub = 8;
  std::vector<std::string> gruppen;
  std::map<std::string, std::vector<int>> mitglieder;
  for (int i = von; i < bis; ++i) {
    auto& liste = mitglieder[v[static_cast<size_t>(i)].gruppe];
    if (liste.empty()) gruppen.push_back(v[static_cast<size_t>(i)].gruppe);
    liste.push_back(i);
  }
  std::vector<int> folge;
  for (size_t g0 = 0; g0 < gruppen.size(); g0 += GruppenJeSchub) {
    const size_t g1 = std::min(gruppen.size(), g0 + GruppenJeSchub);
    std::vector<int> rest;
    for (size_t g = g0; g < g1; ++g) {
      std::vector<int>& liste = mitglieder[gruppen[g]];
      const auto laengste = std::max_element(liste.begin(), liste.end(), [&](int a, int b) {
        return v[static_cast<size_t>(a)].segmente < v[static_cast<size_t>(b)].segmente;
      });
      folge.push_back(*laengste);
      for (int i : liste)
        if (i != *laengste) rest.push_back(i);
    }
    folge.insert(folge.end(), rest.begin(), rest.end());
  }
  return folge;
}

std::vector<std::string> Kopfzeile(const Studiendatei& s) {
  std::vector<std::string> k{SpalteStudie, SpalteZeile, SpalteVarianten, SpalteName};
  for (const Spaltenart* a : s.spalten) k.push_back(a->name);
  k.insert(k.end(), std::begin(Ergebnisspalten), std::end(Ergebnisspalten));
  return k;
}

std::string Tabellenpfad(const std::string& verzeichnis, const std::string& stamm, const char* endung) {
  return (fs::path(verzeichnis) / (stamm + " Studie" + endung)).string();
}

bool Schreibe(const Studientabelle& t, const std::string& verzeichnis, const std::string& stamm, Oberflaeche& ui,
              Studienbericht& bericht) {
  bericht.csv = stamm + " Studie.csv";
  bericht.dbf = stamm + " Studie.dbf";
  std::string fehler;
  if (SchreibeStudientabelle(t, Tabellenpfad(verzeichnis, stamm, ".csv"), Tabellenpfad(verzeichnis, stamm, ".dbf"),
                             fehler))
    return true;
  ui.Fehler(fehler);
  return false;
}

}  // namespace

Studienbericht FuehreStudieAus(const Studienauftrag& a, Oberflaeche& ui, const std::function<bool()>& weiter,
                               const std::function<void(int, int)>& fortschritt) {
  Studienbericht bericht;
  Studiendatei s;
  std::string fehler;
  if (!LiesStudiendatei(a.datei, s, fehler)) {
    ui.Fehler(fehler);
    return bericht;
  }
  const int n = static_cast<int>(s.varianten.size());
  bericht.varianten = n;
  const int von = a.von, bis = a.bis == 0 ? n : a.bis;
  if (von < 1 || bis > n || von > bis) {
    ui.Fehler("Die Zeilen " + FormatInt(von) + "-" + FormatInt(bis) + " gibt es nicht: die Studie hat " +
              FormatInt(n) + (n == 1 ? " Variante." : " Varianten."));
    return bericht;
  }
  Eingabenvorrat eingaben(a.basis);
  ui.Stat("Prüfe die Studie...");
  if (!PruefeEingaben(s, a.datei, eingaben, fehler)) {
    ui.Fehler(fehler);
    return bericht;
  }
  const std::string id = Identitaet(a, s);

  // Each thread takes the next row; rows finish in any order and are put
  // back in the study's.
  const int anzahl = bis - von + 1;
  const std::vector<int> folge = Reihenfolge(s.varianten, von - 1, bis);
  std::map<std::string, int> offen;  // rows of each group still to run
  for (int i : folge) ++offen[s.varianten[static_cast<size_t>(i)].gruppe];
  std::vector<std::optional<std::vector<std::string>>> zeilen(static_cast<size_t>(anzahl));
  std::atomic<int> naechste{0};
  std::mutex mutex;
  std::condition_variable fertig;
  int erledigt = 0, laufend = 0;
  Laufvorrat vorrat;
  auto arbeite = [&] {
    std::unique_ptr<Modell> m = NeuesModell();
    for (;;) {
      if (!weiter()) break;
      const int k = naechste.fetch_add(1);
      if (k >= anzahl) break;
      const int i = folge[static_cast<size_t>(k)];
      const Variante& v = s.varianten[static_cast<size_t>(i)];
      std::vector<std::string> z = RechneVariante(a, id, n, s, v, eingaben, vorrat, *m);
      std::lock_guard<std::mutex> sperre(mutex);
      zeilen[static_cast<size_t>(i - (von - 1))] = std::move(z);
      if (--offen[v.gruppe] == 0) vorrat.Vergiss(v.gruppe);
      ++erledigt;
      fertig.notify_all();
    }
    std::lock_guard<std::mutex> sperre(mutex);
    --laufend;
    fertig.notify_all();
  };
  const int threads = std::clamp(a.threads > 0 ? a.threads : static_cast<int>(std::thread::hardware_concurrency()),
                                 1, anzahl);
  ui.Stat("Rechne " + FormatInt(anzahl) + (anzahl == 1 ? " Variante" : " Varianten") + " auf " +
          FormatInt(threads) + (threads == 1 ? " Kern..." : " Kernen..."));
  std::vector<std::thread> arbeiter;
  laufend = threads;
  for (int t = 0; t < threads; ++t) arbeiter.emplace_back(arbeite);
  {
    std::unique_lock<std::mutex> sperre(mutex);
    int gemeldet = -1;
    while (laufend > 0) {
      if (erledigt != gemeldet) {
        gemeldet = erledigt;
        sperre.unlock();
        fortschritt(gemeldet, anzahl);
        sperre.lock();
      }
      fertig.wait_for(sperre, std::chrono::milliseconds(250));
    }
  }
  for (std::thread& t : arbeiter) t.join();
  fortschritt(erledigt, anzahl);

  bericht.tabelle.Spalten = Kopfzeile(s);
  const size_t gewinn = static_cast<size_t>(bericht.tabelle.Spalte(Ergebnisspalten[0]));
  for (auto& z : zeilen)
    if (z) {
      if ((*z)[gewinn].empty()) ++bericht.ohneErgebnis;
      bericht.tabelle.Zeilen.push_back(std::move(*z));
    }
  bericht.bahnen = vorrat.BahnenGerechnet();
  bericht.profile = vorrat.ProfileGerechnet();
  bericht.segmenteGerechnet = vorrat.SegmenteGerechnet();
  bericht.segmenteUebernommen = vorrat.SegmenteUebernommen();
  const bool vollstaendig = erledigt == anzahl;
  if (!Schreibe(bericht.tabelle, a.verzeichnis, a.lauf.Stammname, ui, bericht)) {
    bericht.ausgang = Studienausgang::Schreibfehler;
    return bericht;
  }
  bericht.ausgang = vollstaendig ? Studienausgang::Fertig : Studienausgang::Abgebrochen;
  return bericht;
}

bool FuehreStudienZusammen(const std::vector<std::string>& teile, const std::string& verzeichnis,
                           const std::string& stamm, Oberflaeche& ui, Studienbericht& bericht) {
  if (teile.empty()) {
    ui.Fehler("Zum Zusammenführen fehlen die Teiltabellen (\"NAME Studie.csv\").");
    return false;
  }
  Studientabelle ganz;
  std::map<long long, std::vector<std::string>> nachZeile;
  std::string id, anzahl;
  for (const std::string& teil : teile) {
    Studientabelle t;
    std::string fehler;
    if (!LiesStudientabelle(teil, t, fehler)) {
      ui.Fehler(fehler);
      return false;
    }
    const std::string name = Zitat(fs::path(teil).filename().string());
    const int cId = t.Spalte(SpalteStudie), cZeile = t.Spalte(SpalteZeile), cAnzahl = t.Spalte(SpalteVarianten);
    if (cId != 0 || cZeile != 1 || cAnzahl != 2) {
      ui.Fehler("Die Datei " + name + " ist keine Tabelle einer Variantenstudie.");
      return false;
    }
    if (ganz.Spalten.empty()) ganz.Spalten = t.Spalten;
    if (t.Spalten != ganz.Spalten) {
      ui.Fehler("Die Datei " + name + " hat andere Spalten als " + Zitat(fs::path(teile.front()).filename().string()) +
                ": sie gehört zu einer anderen Studie.");
      return false;
    }
    for (auto& z : t.Zeilen) {
      if (id.empty()) id = z[0], anzahl = z[2];
      if (z[0] != id || z[2] != anzahl) {
        ui.Fehler("Die Datei " + name + " gehört zu einer anderen Studie (Kennung " + z[0] + " statt " + id +
                  "); Teiltabellen verschiedener Studien lassen sich nicht zusammenführen.");
        return false;
      }
      const std::optional<long long> nr = ParseGanzzahl(z[1]);
      if (!nr) {
        ui.Fehler("Die Datei " + name + " enthält die ungültige Zeilennummer " + Zitat(z[1]) + ".");
        return false;
      }
      if (!nachZeile.emplace(*nr, std::move(z)).second) {
        ui.Fehler("Die Zeile " + FormatInt(*nr) + " der Studie kommt in mehr als einer Teiltabelle vor.");
        return false;
      }
    }
  }
  const std::optional<long long> n = ParseGanzzahl(anzahl);
  std::string fehlt;
  int luecken = 0;
  for (long long z = 1; n && z <= *n; ++z)
    if (!nachZeile.count(z) && ++luecken <= 10) fehlt += (fehlt.empty() ? "" : ", ") + FormatInt(z);
  if (!n || luecken > 0 || static_cast<long long>(nachZeile.size()) != *n) {
    ui.Fehler("Die Teiltabellen decken die Studie nicht ganz ab: es fehlen " + FormatInt(luecken) +
              " von " + (n ? FormatInt(*n) : std::string("?")) + " Zeilen (" + fehlt + (luecken > 10 ? ", ..." : "") +
              ").\rNichts wurde geschrieben.");
    return false;
  }
  for (auto& [nr, z] : nachZeile) ganz.Zeilen.push_back(std::move(z));
  bericht.varianten = static_cast<int>(*n);
  bericht.tabelle = ganz;
  if (!Schreibe(ganz, verzeichnis, stamm, ui, bericht)) return false;
  bericht.ausgang = Studienausgang::Fertig;
  return true;
}

}  // namespace terval
