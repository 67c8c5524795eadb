// Hostile climate tables: dBASE tables cut short or with cells that hold no
// number, broken and encrypted Paradox tables, text tables with the wrong
// shape, separator or encoding, EnergyPlus and test-reference-year files
// cut short or with a garbage line. A refused table leaves the year in
// memory and every file as they were; a cell that is no finite number is
// read as missing and written back as -999, which then refuses the run.
#include <algorithm>
#include <filesystem>
#include <functional>

#include "climate/DBKlima.h"
#include "model/Zahltext.h"
#include "hostile/Katalog.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Abbild;
using test::Aufzeichner;
using test::Dateiinhalt;
using test::Dateien;
using test::ErwarteGleicheDateien;
using test::ErwarteUnveraendert;
using test::Nachricht;
using test::SchreibeDatei;
using test::Testverzeichnis;

const char* const KlimaUnvollstaendig =
    "Der aktuelle Klimadatensatz enthält noch fehlende Daten !\r"
    "Vervollständigen Sie ihn oder verwenden Sie die Option \"Fehlende Klimadaten ergänzen\" um "
    "die Datenbank synthetisch zu vervollständigen!\r"
    "Klimaelemente mit fehlenden Daten sind in der Gültigkeitsprüfung ROT gekennzeichnet !";

// Air temperature, humidity, wind, radiation, precipitation and cloud of
// hour i (0-based) of a plausible year.
std::vector<float> Stundenwerte(int i) {
  const int stunde = i % 24;
  return {static_cast<float>(8 + 0.25 * stunde), static_cast<float>(60 + i % 30), 2.5f,
          stunde >= 8 && stunde <= 16 ? 180.0f : 0.0f, i % 31 == 0 ? 1.5f : 0.0f, static_cast<float>(i % 9)};
}

std::string TextJahr(int stunden, const std::string& ende = "\n") {
  std::string s = "Nr;T_Luft;rFeuchte;Wind;Glob_Str;Nieders;Wolken" + ende;
  for (int i = 0; i < stunden; ++i) {
    s += std::to_string(i + 1);
    for (float w : Stundenwerte(i)) {
      s += ';';
      s += KuerzesterText(w);
    }
    s += ende;
  }
  return s;
}

// The year as a dBASE table, written once for all tests of this file.
const std::string& DbaseJahr() {
  static const std::string bytes = [] {
    Testverzeichnis v;
    std::vector<Felddefinition> felder{{"Nr", Feldtyp::Ganzzahl, 0}};
    for (const char* n : {"T_Luft", "rFeuchte", "Wind", "Glob_Str", "Nieders", "Wolken"})
      felder.push_back({n, Feldtyp::Gleitkomma, 0});
    std::string fehler;
    auto t = DbfTabelle::Erzeugen(v.Datei("j.dbf"), felder, fehler);
    for (int i = 0; i < Stunden; ++i) {
      const int s = t->Anhaengen();
      t->SchreibeGanzzahl(s, 0, i + 1);
      const auto w = Stundenwerte(i);
      for (int k = 0; k < 6; ++k) t->SchreibeZahl(s, k + 1, w[k]);
    }
    EXPECT_TRUE(t->Schliessen(fehler)) << fehler;
    return Dateiinhalt(v.Datei("j.dbf"));
  }();
  return bytes;
}

// The 2011 layout of the test reference year: header, name line, "***".
std::string TryJahr(int stunden) {
  std::string s =
      "Art des TRY       : mittleres Jahr\n"
      "RG TRY-Region                                                    {1..15}\n\n"
      "RG IS MM DD HH  N  WR   WG     t    p    x  RF    B    D    A    E IL\n***\n";
  for (int i = 0; i < stunden; ++i)
    s += " 5  1  1  1  1 " + std::to_string(i % 9) + " 220  3.5 " + std::to_string(i % 20 - 5) +
         ".5 1013  4.5  70 100   50  300 -350  9\n";
  return s;
}

class FeindlicheKlimatabelle : public ::testing::Test {
 protected:
  void SetUp() override { m = test::Lauffaehig(); }

  std::string Datei(const std::string& name, const std::string& inhalt) {
    SchreibeDatei(v.Datei(name), inhalt);
    return v.Datei(name);
  }

  // "Klima-Datenbank laden...": the name is set, then the table read.
  void Lade(const std::string& pfad) {
    m->DBKlimaName = pfad;
    ReadKlimaDB(*m, ui);
  }

  // The read is refused with exactly this message (of this kind); the year
  // in memory and every file stay as they were, the table is not accepted.
  void ErwarteAbgelehnt(const std::string& pfad, const Nachricht& meldung) {
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Lade(pfad);
    EXPECT_EQ(ui.nachrichten, std::vector<Nachricht>{meldung});
    EXPECT_FALSE(m->KlimaGueltig);
    ErwarteUnveraendert(modell, *m, {"Klimatabelle"});
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  Nachricht NichtZuOeffnen(const std::string& pfad) {
    return {"Fehler", "Die angebene Datenbank mit Klimadaten \"" + pfad +
                          " kann nicht geöffnet werden !\rBitte überprüfen Sie die Angaben und starten das "
                          "Berechnungsmodul neu !"};
  }
  Nachricht WenigerAlsEinJahr(const std::string& pfad) {
    return {"Meldung", "Datenbank " + pfad +
                           "enthält weniger Daten als ein Jahr !\rDatei muß als Dantengrundlage abgeleht werden !"};
  }

  // The read accepts the table with one hour of `element` missing, writes
  // -999 into that cell, and the run start refuses the incomplete year.
  void ErwarteFehlwertUndAbgelehntenLauf(const std::string& pfad, int stunde, float TKlimaStunde::*element) {
    Lade(pfad);
    EXPECT_TRUE(ui.nachrichten.empty()) << ui.nachrichten[0].text;
    EXPECT_TRUE(m->KlimaGueltig);
    EXPECT_EQ(m->Klima[stunde].*element, Fehlwert);
    EXPECT_FALSE(m->KlimaKomplett);

    std::string fehler;
    auto t = DbfTabelle::Oeffnen(pfad, fehler);
    ASSERT_TRUE(t) << fehler;
    const int spalte = element == &TKlimaStunde::T_Luft     ? 1
                       : element == &TKlimaStunde::rFeuchte ? 2
                       : element == &TKlimaStunde::Wind     ? 3
                                                            : 4;
    EXPECT_EQ(t->LiesZahl(stunde - 1, spalte), -999.0) << "der Fehlwert steht nun in der Tabelle";
    const int nachbar = stunde < Stunden ? stunde : stunde - 2;  // 0-based record of another hour
    EXPECT_EQ(t->LiesZahl(nachbar, spalte), static_cast<double>(Stundenwerte(nachbar)[spalte - 1]));

    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner lauf;
    EXPECT_EQ(test::Starte(*m, lauf, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
    EXPECT_EQ(lauf.nachrichten, (std::vector<Nachricht>{{"Fehler", KlimaUnvollstaendig}}));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  std::string DbaseMit(int stunde, int spalte, const std::string& text) {
    std::string b = DbaseJahr();
    test::ErsetzeZelle(b, stunde - 1, spalte, text);
    return Datei("klima.DBF", b);
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m;
  Aufzeichner ui;
};

// ---- dBASE ---------------------------------------------------------------------------

TEST_F(FeindlicheKlimatabelle, DbaseInDenDatensaetzenAbgeschnitten) {
  const std::string b = DbaseJahr();
  const std::string pfad = Datei("kurz.DBF", b.substr(0, b.size() / 2));
  ErwarteAbgelehnt(pfad, NichtZuOeffnen(pfad));
}

TEST_F(FeindlicheKlimatabelle, DbaseKopfNenntMehrStundenAlsDaSind) {
  std::string b = DbaseJahr();
  const auto k = test::LiesKopf(b);
  b = b.substr(0, k.kopf + 100 * k.satz) + "\x1A";  // 100 records, the header still says 8760
  const std::string pfad = Datei("hundert.DBF", b);
  ErwarteAbgelehnt(pfad, NichtZuOeffnen(pfad));
}

// Overflow stars, NaN, infinity and a number beyond float are missing values.
TEST_F(FeindlicheKlimatabelle, DbaseZellenOhneZahlSindFehlwerte) {
  struct Fall {
    int stunde, spalte;
    const char* text;
    float TKlimaStunde::*element;
  };
  for (const Fall& f : {Fall{100, 2, "********************", &TKlimaStunde::rFeuchte},
                        Fall{5000, 3, "nan", &TKlimaStunde::Wind}, Fall{12, 4, "-inf", &TKlimaStunde::Glob_Str},
                        Fall{8760, 1, "1e+39", &TKlimaStunde::T_Luft}}) {
    SCOPED_TRACE(f.text);
    SetUp();
    ui.nachrichten.clear();
    ErwarteFehlwertUndAbgelehntenLauf(DbaseMit(f.stunde, f.spalte, f.text), f.stunde, f.element);
  }
}

// An empty air temperature cell reads as 0 degC, as the table engine gives
// it; the year stays complete and runs.
TEST_F(FeindlicheKlimatabelle, DbaseLeereTemperaturIstNullGrad) {
  const std::string pfad = DbaseMit(3000, 1, "");
  Lade(pfad);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(m->Klima[3000].T_Luft, 0.0f);
  EXPECT_TRUE(m->KlimaKomplett);
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_EQ(t->LiesZahl(2999, 1), 0.0) << "die leere Zelle wird mit 0 gefüllt";
  t.reset();
  Aufzeichner lauf;
  EXPECT_EQ(test::Starte(*m, lauf, v.Pfad()).ergebnis, Laufergebnis::Fertig);
  test::ErwarteEndlicheErgebnisse(*m, v.Pfad());
}

// ---- Paradox -------------------------------------------------------------------------

std::string Paradoxdatei(const std::string& name) {
  return test::Quellverzeichnis() + "/tests/data/hostile/" + name;
}

TEST_F(FeindlicheKlimatabelle, ParadoxMitDatenblockHinterDemDateiendeOderKennwort) {
  for (const auto& [name, quelle] : {std::pair{"block.DB", "paradox_block_hinter_dateiende.db"},
                                     std::pair{"geheim.DB", "paradox_kennwort.db"}}) {
    SCOPED_TRACE(name);
    ui.nachrichten.clear();
    const std::string pfad = Datei(name, Dateiinhalt(Paradoxdatei(quelle)));
    ErwarteAbgelehnt(pfad, NichtZuOeffnen(pfad));
  }
}

// ---- Text ----------------------------------------------------------------------------

TEST_F(FeindlicheKlimatabelle, TextZeileMitZuWenigenSpalten) {
  std::string s = TextJahr(Stunden);
  // Hour 4 (line 5) loses its last field.
  const size_t ende = s.find('\n', s.find("\n4;") + 1);
  const size_t letztes = s.rfind(';', ende);
  s.erase(letztes, ende - letztes);
  const std::string pfad = Datei("wenig.txt", s);
  ErwarteAbgelehnt(pfad, {"Fehler", "Die Klimatabelle " + pfad +
                                        " kann nicht gelesen werden:\rZeile 5 hat 6 Spalten, die Kopfzeile hat 7."});
}

TEST_F(FeindlicheKlimatabelle, TextZeileMitZuVielenSpalten) {
  std::string s = TextJahr(Stunden);
  s.insert(s.find('\n', s.find("\n8000;") + 1), ";17");
  const std::string pfad = Datei("viel.txt", s);
  ErwarteAbgelehnt(pfad, {"Fehler", "Die Klimatabelle " + pfad +
                                        " kann nicht gelesen werden:\rZeile 8001 hat 8 Spalten, die Kopfzeile hat 7."});
}

TEST_F(FeindlicheKlimatabelle, TextMitDezimalkomma) {
  std::string s = TextJahr(Stunden);
  const size_t p = s.find("\n2;8.25;");
  s.replace(p + 4, 1, ",");
  const std::string pfad = Datei("komma.txt", s);
  ErwarteAbgelehnt(pfad, {"Fehler", "Die Klimatabelle " + pfad +
                                        " kann nicht gelesen werden:\rZeile 3, Spalte 1 (Lufttemperatur) enthält "
                                        "\"8,25\".\rBitte verwenden Sie den Punkt als Dezimaltrennzeichen."});
}

// A byte order mark and CR LF line ends are read; writing back finds every
// value already in place and leaves the file as it was.
TEST_F(FeindlicheKlimatabelle, TextMitBomUndCrLfBleibtUnveraendert) {
  const std::string pfad = Datei("bom.txt", "\xEF\xBB\xBF" + TextJahr(Stunden, "\r\n"));
  const auto dateien = Dateien(v.Pfad());
  Lade(pfad);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(m->KlimaKomplett);
  EXPECT_EQ(m->Klima[2].T_Luft, 8.25f);
  ErwarteGleicheDateien(dateien, v.Pfad());
}

// Files with no whole year of hours. Old Macintosh line ends make the whole
// file one line, so there is no hour at all; binary bytes are no table: the
// first "line" is the header, and with no line end there is no hour.
TEST_F(FeindlicheKlimatabelle, WenigerAlsEinJahr) {
  std::string binaer;
  for (int i = 0; i < 4096; ++i) binaer += static_cast<char>((i * 37 + 11) % 256 == '\n' ? 0 : (i * 37 + 11) % 256);
  const std::pair<const char*, std::string> faelle[] = {{"cr.txt", TextJahr(Stunden, "\r")},
                                                        {"leer.txt", ""},
                                                        {"8759.txt", TextJahr(Stunden - 1)},
                                                        {"binaer.txt", binaer},
                                                        {"kurz.dat", TryJahr(5000)}};
  for (const auto& [name, inhalt] : faelle) {
    SCOPED_TRACE(name);
    ui.nachrichten.clear();
    const std::string pfad = Datei(name, inhalt);
    ErwarteAbgelehnt(pfad, WenigerAlsEinJahr(pfad));
    std::filesystem::remove(pfad);
  }
}

TEST_F(FeindlicheKlimatabelle, VerzeichnisStattTextdatei) {
  std::filesystem::create_directory(v.Datei("ordner.txt"));
  ErwarteAbgelehnt(v.Datei("ordner.txt"), NichtZuOeffnen(v.Datei("ordner.txt")));
}

// One hour too many is accepted with a notice; the first 8760 hours run.
TEST_F(FeindlicheKlimatabelle, TextEineStundeZuVielWirdAngenommenUndGerechnet) {
  const std::string pfad = Datei("8761.txt", TextJahr(Stunden + 1));
  const auto dateien = Dateien(v.Pfad());
  Lade(pfad);
  EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Meldung", "Datenbank " + pfad +
                                                                     "enthält mehr Daten als ein Jahr !\rDatei wird "
                                                                     "akzeptiert, bitte Ergebnisse prüfen !"}}));
  EXPECT_TRUE(m->KlimaKomplett);
  ErwarteGleicheDateien(dateien, v.Pfad());
  Aufzeichner lauf;
  EXPECT_EQ(test::Starte(*m, lauf, v.Pfad()).ergebnis, Laufergebnis::Fertig);
  test::ErwarteEndlicheErgebnisse(*m, v.Pfad());
}

TEST_F(FeindlicheKlimatabelle, TextMitNurDreiDatenspalten) {
  std::string s = "Nr T_Luft rFeuchte Wind\n";
  for (int i = 0; i < Stunden; ++i) s += std::to_string(i) + " 5.5 80 2\n";
  const std::string pfad = Datei("drei.txt", s);
  ErwarteAbgelehnt(pfad, {"Fehler", "Die Datenbank " + pfad +
                                        " enthält nur 3 Datenfelder !\rBenötigt werden mindestens 4: "
                                        "Lufttemperatur, relative Feuchte, Windgeschwindigkeit und "
                                        "Globalstrahlung."});
}

// ---- EnergyPlus ----------------------------------------------------------------------

std::vector<std::string> EpwZeilen() {
  std::vector<std::string> z;
  std::string inhalt = Dateiinhalt(test::Quellverzeichnis() + "/data/15000_20220101_20230101_Aachen-Orsbach.epw");
  size_t a = 0;
  while (a < inhalt.size()) {
    size_t e = inhalt.find('\n', a);
    if (e == std::string::npos) e = inhalt.size();
    z.push_back(inhalt.substr(a, e - a));
    a = e + 1;
  }
  return z;
}

std::string Verbinde(const std::vector<std::string>& z) {
  std::string s;
  for (const auto& zeile : z) s += zeile + "\n";
  return s;
}

TEST_F(FeindlicheKlimatabelle, EpwNachHundertStundenAbgeschnitten) {
  auto z = EpwZeilen();
  ASSERT_GE(z.size(), 8u + Stunden);
  z.resize(8 + 100);
  const std::string pfad = Datei("kurz.epw", Verbinde(z));
  ErwarteAbgelehnt(pfad, WenigerAlsEinJahr(pfad));
}

TEST_F(FeindlicheKlimatabelle, EpwMitteninDerZeileAbgeschnitten) {
  auto z = EpwZeilen();
  z.resize(8 + 4000);
  z.back().resize(40);
  const std::string pfad = Datei("halb.epw", Verbinde(z));
  const std::string feldzahl = std::to_string(std::count(z.back().begin(), z.back().end(), ',') + 1);
  ErwarteAbgelehnt(pfad, {"Fehler", "Die EnergyPlus-Wetterdatei " + pfad + " kann nicht gelesen werden:\rZeile 4008 hat " +
                                        feldzahl + " Felder; eine Datenzeile hat 35."});
}

TEST_F(FeindlicheKlimatabelle, EpwMitMuellzeile) {
  auto z = EpwZeilen();
  z.insert(z.begin() + 8 + 2000, "Hier stand ein Kommentar");
  const std::string pfad = Datei("muell.epw", Verbinde(z));
  ErwarteAbgelehnt(pfad, {"Fehler", "Die EnergyPlus-Wetterdatei " + pfad +
                                        " kann nicht gelesen werden:\rZeile 2009 hat 1 Felder; eine Datenzeile hat 35."});
}

TEST_F(FeindlicheKlimatabelle, EpwMitNanAlsTemperatur) {
  auto z = EpwZeilen();
  std::string& zeile = z[8 + 10];
  size_t p = 0;
  for (int i = 0; i < 6; ++i) p = zeile.find(',', p) + 1;  // field 7, dry bulb
  zeile.replace(p, zeile.find(',', p) - p, "nan");
  const std::string pfad = Datei("nan.epw", Verbinde(z));
  ErwarteAbgelehnt(pfad, {"Fehler", "Die EnergyPlus-Wetterdatei " + pfad +
                                        " kann nicht gelesen werden:\rZeile 19, Feld 7 enthält \"nan\", keine Zahl."});
}

TEST_F(FeindlicheKlimatabelle, EpwOhneLocationZeile) {
  auto z = EpwZeilen();
  z.erase(z.begin());
  const std::string pfad = Datei("ohne.epw", Verbinde(z));
  ErwarteAbgelehnt(pfad, {"Fehler", "Die EnergyPlus-Wetterdatei " + pfad +
                                        " kann nicht gelesen werden:\rDie erste Zeile beginnt nicht mit LOCATION."});
}

// ---- Test reference year ----------------------------------------------------------------

TEST_F(FeindlicheKlimatabelle, TryMitMuellzeile) {
  std::string s = TryJahr(Stunden);
  // After 100 hours (lines 6..105) a line of text: line 106.
  size_t p = s.find("***\n") + 4;
  for (int i = 0; i < 100; ++i) p = s.find('\n', p) + 1;
  s.insert(p, "Fortsetzung auf Seite 2\n");
  const std::string pfad = Datei("muell.dat", s);
  ErwarteAbgelehnt(pfad, {"Fehler", "Das Testreferenzjahr " + pfad +
                                        " kann nicht gelesen werden:\rZeile 106 hat 4 Werte, die Namenszeile nennt 17."});
}

TEST_F(FeindlicheKlimatabelle, TryOhneNamenszeile) {
  std::string s = TryJahr(Stunden);
  s.replace(s.find("RG IS"), 2, "XX");
  const std::string pfad = Datei("ohne.dat", s);
  ErwarteAbgelehnt(pfad, {"Fehler", "Das Testreferenzjahr " + pfad +
                                        " kann nicht gelesen werden:\rDie Zeile mit den Spaltennamen (sie beginnt mit "
                                        "RG oder RW und nennt t, RF, WG, N, B und D) fehlt."});
}

}  // namespace
}  // namespace terval
