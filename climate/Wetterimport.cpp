// Read-only imports of weather files that exist today, turned into a climate
// table in memory with the column order of the climate table:
// 1 air temperature, 2 relative humidity, 3 wind speed, 4 global radiation,
// 5 precipitation, 6 cloud cover (column 0 holds the row's number).
//
// EnergyPlus weather (.epw): 8 header lines, then one comma-separated row per
// hour; the fields used (1-based, as EnergyPlus numbers them) are 2 month,
// 3 day, 4 hour (1..24, the hour ending then), 7 dry bulb temperature, 9 relative humidity, 14 global horizontal
// radiation (Wh/m2 over the hour, which is the mean W/m2), 22 wind speed,
// 23 total sky cover (tenths), 34 liquid precipitation depth (mm). Each has
// its missing code; 29 February of a leap year is left out so the year has
// 365 days. Records are placed by their date and hour: a year starting on
// another day is put into calendar order (with a notice), and two records of
// one hour (a sub-hourly file) refuse the file.
//
// German test reference year (.dat, editions 2011 and 2017): a free-text
// header, a line naming the columns (it starts with "RG" or "RW"), usually a
// "***" line, then one whitespace-separated row per hour; the columns used
// are t (air temperature), RF (relative humidity), WG (wind speed), N (cloud
// cover in octas, 9 = sky not visible), B and D (direct and diffuse radiation
// on the horizontal, whose sum is the global radiation). It has no
// precipitation.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "climate/Klimaerzeugung.h"
#include "climate/Klimatabelle.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

// The lines of the file; `kodierung` names an encoding the readers cannot
// read (then there are no lines).
bool DateiLesen(const std::string& pfad, std::vector<std::string>& zeilen, std::string& kodierung) {
  std::ifstream ein(pfad, std::ios::binary);
  if (!ein) return false;
  std::ostringstream puffer;
  puffer << ein.rdbuf();
  if (ein.bad()) return false;
  std::string inhalt = puffer.str();
  kodierung = FremdeKodierung(inhalt);
  if (!kodierung.empty()) return true;
  if (inhalt.compare(0, 3, "\xEF\xBB\xBF") == 0) inhalt.erase(0, 3);
  std::istringstream zeilenweise(inhalt);
  std::string z;
  while (std::getline(zeilenweise, z)) {
    if (!z.empty() && z.back() == '\r') z.pop_back();
    zeilen.push_back(std::move(z));
  }
  return true;
}

std::string Kodierungsgrund(const std::string& kodierung) {
  return "Die Datei ist in " + kodierung + " kodiert; gelesen werden nur UTF-8 und Windows-1252.";
}

// A number as single precision; one that has no finite float is missing.
float AlsFloat(double d) {
  if (!std::isfinite(d) || std::fabs(d) > static_cast<double>(FLT_MAX)) return Fehlwert;
  return static_cast<float>(d);
}

bool IstLeerzeile(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

std::vector<std::string> TrenneKommas(const std::string& s) {
  std::vector<std::string> felder;
  size_t a = 0;
  while (true) {
    size_t e = s.find(',', a);
    felder.push_back(s.substr(a, e == std::string::npos ? std::string::npos : e - a));
    if (e == std::string::npos) break;
    a = e + 1;
  }
  return felder;
}

std::vector<std::string> TrenneBlanks(const std::string& s) {
  std::vector<std::string> teile;
  std::istringstream ein(s);
  std::string t;
  while (ein >> t) teile.push_back(t);
  return teile;
}

bool BeginntMit(const std::string& s, const std::string& anfang) {
  if (s.size() < anfang.size()) return false;
  for (size_t i = 0; i < anfang.size(); ++i) {
    char a = s[i], b = anfang[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

Klimaoeffnung LiesEnergyPlus(const std::string& pfad) {
  Klimaoeffnung o;
  std::vector<std::string> zeilen;
  std::string kodierung;
  if (!DateiLesen(pfad, zeilen, kodierung)) {
    o.fehler = "Die Datei " + pfad + " kann nicht gelesen werden.";
    return o;
  }
  auto ablehnen = [&](const std::string& grund) {
    o.inhaltsfehler = true;
    o.fehler = "Die EnergyPlus-Wetterdatei " + pfad + " kann nicht gelesen werden:\r" + grund;
    return std::move(o);
  };
  if (!kodierung.empty()) return ablehnen(Kodierungsgrund(kodierung));
  if (zeilen.empty() || !BeginntMit(zeilen[0], "LOCATION")) {
    return ablehnen("Die erste Zeile beginnt nicht mit LOCATION.");
  }
  // DATA PERIODS, <periods>, <records per hour>, ...: only hourly files fit.
  if (zeilen.size() >= 8 && BeginntMit(zeilen[7], "DATA PERIODS")) {
    auto kopf = TrenneKommas(zeilen[7]);
    if (kopf.size() > 2) {
      auto proStunde = ParseGanzzahl(kopf[2]);
      if (proStunde && *proStunde != 1) {
        return ablehnen("Die Datei hat " + std::to_string(*proStunde) +
                        " Werte je Stunde; gelesen werden nur Stundenwerte.");
      }
    }
  }

  // Each record's hour of the year, from its month, day and hour (1..24, the
  // hour ending then); records in file order with their line numbers.
  struct Satz {
    std::vector<float> werte;
    int zeile;
    int stunde;
  };
  std::vector<Satz> saetze;
  std::vector<int> zeileDerStunde(Stunden + 1, 0);
  for (size_t i = 8; i < zeilen.size(); ++i) {
    if (IstLeerzeile(zeilen[i])) continue;
    std::vector<std::string> f = TrenneKommas(zeilen[i]);
    std::string nr = std::to_string(i + 1);
    if (f.size() < 23) {
      return ablehnen("Zeile " + nr + " hat " + std::to_string(f.size()) +
                      " Felder; eine Datenzeile hat 35.");
    }
    auto monat = ParseGanzzahl(f[1]);
    auto tag = ParseGanzzahl(f[2]);
    if (!monat || !tag) return ablehnen("Zeile " + nr + " hat keinen gültigen Monat und Tag.");
    if (*monat == 2 && *tag == 29) continue;
    auto uhr = ParseGanzzahl(f[3]);
    if (*monat < 1 || *monat > 12 || *tag < 1 || *tag > Monatsgrenzen[*monat] - Monatsgrenzen[*monat - 1] ||
        !uhr || *uhr < 1 || *uhr > 24) {
      return ablehnen("Zeile " + nr + " nennt keine Stunde des Jahres (Monat \"" + f[1] + "\", Tag \"" + f[2] +
                      "\", Stunde \"" + f[3] + "\").");
    }
    const int h = StundenIndex(Monatsgrenzen[*monat - 1] + static_cast<int>(*tag), static_cast<int>(*uhr) - 1);
    if (zeileDerStunde[h] != 0) {
      return ablehnen("Zeile " + nr + " betrifft dieselbe Stunde wie Zeile " + std::to_string(zeileDerStunde[h]) +
                      " (" + f[2] + "." + f[1] + ", Stunde " + f[3] +
                      "): Die Datei hat mehrere Werte je Stunde; gelesen werden nur Stundenwerte.");
    }
    zeileDerStunde[h] = static_cast<int>(i + 1);

    // Field `nummer` (1-based); its missing code and anything above it, and
    // an empty field, give the missing marker.
    bool fehlerhaft = false;
    int falschesFeld = 0;
    auto wert = [&](int nummer, double fehlcode) -> float {
      if (nummer > static_cast<int>(f.size())) return Fehlwert;
      const std::string& text = f[nummer - 1];
      if (IstLeerzeile(text)) return Fehlwert;
      auto z = ParseZahl(text);
      if (!z) {
        if (!fehlerhaft) falschesFeld = nummer;
        fehlerhaft = true;
        return Fehlwert;
      }
      if (*z >= fehlcode) return Fehlwert;
      return AlsFloat(*z);
    };
    float tLuft = wert(7, 99.9);
    float feuchte = wert(9, 999);
    float global = wert(14, 9999);
    float windstaerke = wert(22, 999);
    float zehntel = wert(23, 99);
    float regen = wert(34, 999);
    if (fehlerhaft) {
      return ablehnen("Zeile " + nr + ", Feld " + std::to_string(falschesFeld) + " enthält \"" +
                      f[falschesFeld - 1] + "\", keine Zahl.");
    }
    // Tenths of the sky to octas.
    float achtel = zehntel == Fehlwert ? Fehlwert : AlsFloat(static_cast<double>(zehntel) * 0.8);
    saetze.push_back({{0, tLuft, feuchte, windstaerke, global, regen, achtel}, static_cast<int>(i + 1), h});
  }
  // A whole year (every hour once) goes into calendar order; a year that
  // starts elsewhere (1 July, say) is turned and the user told so. A shorter
  // file keeps its order: it is refused for its length.
  const bool ganzesJahr = saetze.size() == static_cast<size_t>(Stunden);
  if (ganzesJahr && saetze.front().stunde != 1) {
    const int h = saetze.front().stunde;
    const int tag = (h - 1) / 24 + 1;
    const int monat = MonatVonTag(tag);
    o.hinweis = "Die EnergyPlus-Wetterdatei " + pfad + " beginnt am " + std::to_string(tag - Monatsgrenzen[monat - 1]) +
                "." + std::to_string(monat) + ". um " + std::to_string((h - 1) % 24) +
                " Uhr.\rIhre Stunden wurden in die Reihenfolge des Kalenderjahres gebracht (1. Januar bis "
                "31. Dezember).";
  }
  if (ganzesJahr)
    std::sort(saetze.begin(), saetze.end(), [](const Satz& a, const Satz& b) { return a.stunde < b.stunde; });
  auto tabelle = std::make_unique<Speichertabelle>(7);
  for (Satz& s : saetze) {
    s.werte[0] = static_cast<float>(tabelle->Datensaetze() + 1);
    tabelle->Anhaengen(s.werte, s.zeile);
  }
  o.tabelle = std::move(tabelle);
  return o;
}

Klimaoeffnung LiesTestreferenzjahr(const std::string& pfad) {
  Klimaoeffnung o;
  std::vector<std::string> zeilen;
  std::string kodierung;
  if (!DateiLesen(pfad, zeilen, kodierung)) {
    o.fehler = "Die Datei " + pfad + " kann nicht gelesen werden.";
    return o;
  }
  auto ablehnen = [&](const std::string& grund) {
    o.inhaltsfehler = true;
    o.fehler = "Das Testreferenzjahr " + pfad + " kann nicht gelesen werden:\r" + grund;
    return std::move(o);
  };
  if (!kodierung.empty()) return ablehnen(Kodierungsgrund(kodierung));

  // The column-name line: first word RG or RW, and all the names we need.
  // (The legend of the header also has lines starting with RG or RW, but
  // those describe one column each.)
  static const char* const benoetigt[] = {"t", "RF", "WG", "N", "B", "D"};
  size_t namenszeile = zeilen.size();
  std::map<std::string, int> spalte;
  for (size_t i = 0; i < zeilen.size() && namenszeile == zeilen.size(); ++i) {
    auto namen = TrenneBlanks(zeilen[i]);
    if (namen.empty() || (namen[0] != "RG" && namen[0] != "RW")) continue;
    std::map<std::string, int> s;
    for (size_t k = 0; k < namen.size(); ++k) s.emplace(namen[k], static_cast<int>(k));
    bool alle = true;
    for (const char* n : benoetigt) alle = alle && s.count(n);
    if (alle) {
      namenszeile = i;
      spalte = std::move(s);
    }
  }
  if (namenszeile == zeilen.size()) {
    return ablehnen("Die Zeile mit den Spaltennamen (sie beginnt mit RG oder RW und nennt t, RF, WG, N, B und D) fehlt.");
  }
  size_t anzahl = TrenneBlanks(zeilen[namenszeile]).size();

  size_t erste = namenszeile + 1;
  while (erste < zeilen.size() && IstLeerzeile(zeilen[erste])) ++erste;
  if (erste < zeilen.size() && zeilen[erste].compare(0, 3, "***") == 0) ++erste;

  auto tabelle = std::make_unique<Speichertabelle>(7);
  for (size_t i = erste; i < zeilen.size(); ++i) {
    if (IstLeerzeile(zeilen[i])) continue;
    auto w = TrenneBlanks(zeilen[i]);
    std::string nr = std::to_string(i + 1);
    if (w.size() != anzahl) {
      return ablehnen("Zeile " + nr + " hat " + std::to_string(w.size()) + " Werte, die Namenszeile nennt " +
                      std::to_string(anzahl) + ".");
    }
    double z[6];
    for (int k = 0; k < 6; ++k) {
      auto v = ParseZahl(w[spalte[benoetigt[k]]]);
      if (!v) {
        return ablehnen("Zeile " + nr + ", Spalte " + benoetigt[k] + " enthält \"" + w[spalte[benoetigt[k]]] +
                        "\", keine Zahl.");
      }
      z[k] = *v;
    }
    float bedeckung = z[3] == 9.0 ? Fehlwert : AlsFloat(z[3]);
    float global = AlsFloat(z[4] + z[5]);  // direct + diffuse on the horizontal
    float nummer = static_cast<float>(tabelle->Datensaetze() + 1);
    tabelle->Anhaengen({nummer, AlsFloat(z[0]), AlsFloat(z[1]), AlsFloat(z[2]), global, Fehlwert, bedeckung},
                       static_cast<int>(i + 1));
  }
  o.tabelle = std::move(tabelle);
  return o;
}

}  // namespace terval
