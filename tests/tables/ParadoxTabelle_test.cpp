// Paradox tables: values survive a save exactly, blank cells stay blank,
// changes go into the file only on Schliessen and never half.

#include "tables/ParadoxTabelle.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <random>

#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

const std::vector<Felddefinition> Felder = {
    {"Nr", Feldtyp::Ganzzahl, 0}, {"T_Luft", Feldtyp::Gleitkomma, 0}, {"Bemerkung", Feldtyp::Text, 12}};

std::unique_ptr<ParadoxTabelle> Oeffnen(const std::string& pfad) {
  std::string fehler;
  auto t = ParadoxTabelle::Oeffnen(pfad, fehler);
  EXPECT_TRUE(t) << fehler;
  return t;
}

TEST(ParadoxTabelle, ZahlenTexteUndLeereZellenUeberstehenDasSpeichern) {
  test::Testverzeichnis dir;
  std::string pfad = dir.Datei("werte.DB");
  std::string fehler;
  auto t = ParadoxTabelle::Erzeugen(pfad, Felder, fehler);
  ASSERT_TRUE(t) << fehler;

  // Floats over many magnitudes, both signs.
  std::mt19937 zufall(7);
  std::uniform_real_distribution<double> exponent(-10, 5);
  std::vector<float> werte;
  for (int i = 0; i < 1500; ++i) {
    float v = static_cast<float>(std::pow(10.0, exponent(zufall)));
    werte.push_back(i % 2 ? -v : v);
  }
  for (size_t i = 0; i < werte.size(); ++i) {
    int r = t->Anhaengen();
    ASSERT_EQ(r, static_cast<int>(i));
    ASSERT_TRUE(t->SchreibeGanzzahl(r, 0, static_cast<long long>(i) - 700));
    ASSERT_TRUE(t->SchreibeZahl(r, 1, werte[i]));
  }
  int leer = t->Anhaengen();
  int null = t->Anhaengen();
  ASSERT_TRUE(t->SchreibeZahl(null, 1, 0.0f));
  ASSERT_TRUE(t->SchreibeGanzzahl(null, 0, 0));
  ASSERT_TRUE(t->SchreibeText(0, 2, "Grüße, 20 €"));
  EXPECT_FALSE(t->SchreibeText(1, 2, "viel zu lang für das Feld"));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(dir.Eintraege(), std::vector<std::string>{"werte.DB"});

  auto g = Oeffnen(pfad);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->Datensaetze(), static_cast<int>(werte.size()) + 2);
  ASSERT_EQ(g->Felder(), 3);
  EXPECT_EQ(g->Feldname(1), "T_Luft");
  for (size_t i = 0; i < werte.size(); ++i) {
    ASSERT_EQ(static_cast<float>(*g->LiesZahl(static_cast<int>(i), 1)), werte[i]) << i;
    ASSERT_EQ(*g->LiesGanzzahl(static_cast<int>(i), 0), static_cast<long long>(i) - 700);
  }
  EXPECT_EQ(g->LiesText(0, 2), "Grüße, 20 €");
  EXPECT_TRUE(g->IstLeer(1, 2));
  // A blank cell is no number, a stored zero is one.
  EXPECT_TRUE(g->IstLeer(leer, 0));
  EXPECT_TRUE(g->IstLeer(leer, 1));
  EXPECT_FALSE(g->LiesZahl(leer, 1).has_value());
  EXPECT_FALSE(g->LiesZahl(leer, 0).has_value());
  EXPECT_FALSE(g->IstLeer(null, 1));
  EXPECT_EQ(g->LiesZahl(null, 1), 0.0);
  EXPECT_EQ(g->LiesGanzzahl(null, 0), 0);
  EXPECT_EQ(g->LiesText(null, 1), "0");
}

TEST(ParadoxTabelle, AendernSchreibtErstBeimSchliessenUndNurDieGeaendertenBytes) {
  test::Testverzeichnis dir;
  std::string pfad = dir.Datei("klima.db");
  std::string fehler;
  {
    auto t = ParadoxTabelle::Erzeugen(pfad, Felder, fehler);
    ASSERT_TRUE(t);
    for (int i = 0; i < 3000; ++i) {
      t->Anhaengen();
      t->SchreibeGanzzahl(i, 0, i);
      if (i % 5) t->SchreibeZahl(i, 1, 0.5f * static_cast<float>(i));
      t->SchreibeText(i, 2, "Zeile " + std::to_string(i));
    }
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  }
  const std::string alt = test::Dateiinhalt(pfad);

  auto t = ParadoxTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_TRUE(t->SchreibeZahl(0, 1, -999.0f));     // was blank
  ASSERT_TRUE(t->SchreibeZahl(2999, 1, 17.25f));
  ASSERT_TRUE(t->SchreibeZahl(1, 1, 0.5f));        // same value: no change
  // Not yet in the file.
  EXPECT_EQ(test::Dateiinhalt(pfad), alt);
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(dir.Eintraege(), std::vector<std::string>{"klima.db"});

  const std::string neu = test::Dateiinhalt(pfad);
  ASSERT_EQ(neu.size(), alt.size());
  size_t unterschiede = 0;
  for (size_t i = 0; i < alt.size(); ++i) unterschiede += alt[i] != neu[i];
  EXPECT_GT(unterschiede, 0u);
  EXPECT_LE(unterschiede, 16u);  // two 8-byte numbers

  auto g = Oeffnen(pfad);
  EXPECT_EQ(g->LiesZahl(0, 1), -999.0);
  EXPECT_EQ(g->LiesZahl(2999, 1), 17.25);
  EXPECT_EQ(g->LiesZahl(1, 1), 0.5);
  EXPECT_FALSE(g->LiesZahl(5, 1).has_value());
  EXPECT_EQ(g->LiesText(1234, 2), "Zeile 1234");
  EXPECT_EQ(g->LiesGanzzahl(2998, 0), 2998);
}

TEST(ParadoxTabelle, OhneAenderungUndOhneSchliessenBleibtDieDateiWieSieWar) {
  test::Testverzeichnis dir;
  std::string pfad = dir.Datei("k.DB");
  std::string fehler;
  {
    auto t = ParadoxTabelle::Erzeugen(pfad, Felder, fehler);
    t->Anhaengen();
    t->SchreibeZahl(0, 1, 3.0f);
    ASSERT_TRUE(t->Schliessen(fehler));
  }
  struct stat vorher {};
  stat(pfad.c_str(), &vorher);
  const std::string alt = test::Dateiinhalt(pfad);
  {
    auto t = ParadoxTabelle::Aendern(pfad, fehler);
    ASSERT_TRUE(t->SchreibeZahl(0, 1, 3.0f));
    ASSERT_TRUE(t->Schliessen(fehler));
  }
  struct stat nachher {};
  stat(pfad.c_str(), &nachher);
  EXPECT_EQ(nachher.st_ino, vorher.st_ino);  // not replaced
  {
    auto t = ParadoxTabelle::Aendern(pfad, fehler);
    ASSERT_TRUE(t->SchreibeZahl(0, 1, 4.0f));
    // dropped without Schliessen
  }
  EXPECT_EQ(test::Dateiinhalt(pfad), alt);
  EXPECT_EQ(dir.Eintraege(), std::vector<std::string>{"k.DB"});
}

TEST(ParadoxTabelle, WasEinFeldNichtAufnimmtWirdAbgewiesen) {
  test::Testverzeichnis dir;
  std::string pfad = dir.Datei("t.db");
  std::string fehler;
  auto t = ParadoxTabelle::Erzeugen(pfad, Felder, fehler);
  t->Anhaengen();
  EXPECT_TRUE(t->SchreibeZahl(0, 0, -999.4f));  // rounded into the integer field
  EXPECT_FALSE(t->SchreibeZahl(0, 0, 3.0e9f));
  EXPECT_FALSE(t->SchreibeZahl(0, 1, std::nanf("")));
  EXPECT_TRUE(t->SchreibeZahl(0, 2, -999.0f));  // a number text in an alpha field
  EXPECT_FALSE(t->SchreibeZahl(5, 1, 1.0f));
  EXPECT_FALSE(t->SchreibeZahl(0, 3, 1.0f));
  ASSERT_TRUE(t->Schliessen(fehler));

  auto g = Oeffnen(pfad);
  EXPECT_EQ(g->LiesGanzzahl(0, 0), -999);
  EXPECT_EQ(g->LiesText(0, 2), "-999");
  EXPECT_EQ(g->LiesZahl(0, 2), -999.0);
  EXPECT_FALSE(g->SchreibeZahl(0, 1, 1.0f));  // opened for reading only
}

TEST(ParadoxTabelle, WasKeineParadoxTabelleIstWirdMitGrundAbgelehnt) {
  test::Testverzeichnis dir;
  std::string fehler;
  EXPECT_FALSE(ParadoxTabelle::Oeffnen(dir.Datei("fehlt.db"), fehler));
  EXPECT_NE(fehler.find(dir.Datei("fehlt.db")), std::string::npos) << fehler;

  std::string muell = dir.Datei("muell.db");
  test::SchreibeDatei(muell, std::string(3000, 'x'));
  fehler.clear();
  EXPECT_FALSE(ParadoxTabelle::Aendern(muell, fehler));
  EXPECT_EQ(fehler.rfind("Die Paradox-Tabelle " + muell + " kann nicht geöffnet werden", 0), 0u) << fehler;
  EXPECT_EQ(test::Dateiinhalt(muell), std::string(3000, 'x'));
}

}  // namespace
}  // namespace terval
