// Paradox tables: values survive a save exactly, blank cells stay blank,
// changes go into the file only on Schliessen and never half; and where the
// program finds its reference files.
#include "tables/ParadoxTabelle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <random>
#include <tuple>

#include "support/TabellenTesthilfen.h"
#include "tables/Referenzdateien.h"

namespace terval {
namespace {

using namespace test;

const std::vector<Felddefinition> Felder = {{"Nr", Feldtyp::Ganzzahl}, {"T_Luft"}, {"Bemerkung", Feldtyp::Text, 12}};

std::unique_ptr<ParadoxTabelle> Oeffne(const std::string& pfad) {
  std::string fehler;
  auto t = ParadoxTabelle::Oeffnen(pfad, fehler);
  EXPECT_TRUE(t) << fehler;
  return t;
}

// Values over many magnitudes come back exactly, a blank cell is no number
// but a stored zero is; what a field cannot take is refused. A changed table
// gets only the changed bytes, and only on Schliessen; one whose cells kept
// their bytes stays the same file, one dropped stays as it was.
TEST(ParadoxTabelle, WerteUeberstehenDasSpeichernUndAendernTrifftNurDieGeaendertenBytes) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("werte.DB");
  std::string fehler;
  auto t = ParadoxTabelle::Erzeugen(pfad, Felder, fehler);
  ASSERT_TRUE(t) << fehler;
  std::mt19937 zufall(7);
  std::uniform_real_distribution<double> exponent(-10, 5);
  std::vector<float> werte;
  for (int i = 0; i < 1500; ++i) {
    werte.push_back(static_cast<float>((i % 2 ? -1 : 1) * std::pow(10.0, exponent(zufall))));
    ASSERT_EQ(t->Anhaengen(), i);
    ASSERT_TRUE(t->SchreibeGanzzahl(i, 0, i - 700) && t->SchreibeZahl(i, 1, werte[i]) &&
                t->SchreibeText(i, 2, "Zeile " + std::to_string(i)));
  }
  const int leer = t->Anhaengen(), null = t->Anhaengen();
  EXPECT_TRUE(t->SchreibeZahl(null, 1, 0.0f) && t->SchreibeGanzzahl(null, 0, 0) && t->SchreibeText(0, 2, "Grüße, 20 €"));
  EXPECT_FALSE(t->SchreibeText(1, 2, "viel zu lang für das Feld"));
  EXPECT_TRUE(t->SchreibeZahl(2, 0, -999.4f)) << "gerundet ins Ganzzahlfeld";
  EXPECT_TRUE(t->SchreibeZahl(4, 2, -999.0f)) << "ein Zahltext im Textfeld";
  EXPECT_FALSE(t->SchreibeZahl(3, 0, 3.0e9f) || t->SchreibeZahl(3, 1, NAN) || t->SchreibeZahl(null + 1, 1, 1.0f) ||
               t->SchreibeZahl(0, 3, 1.0f));
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"werte.DB"});
  auto g = Oeffne(pfad);
  ASSERT_EQ(g->Datensaetze(), 1502);
  EXPECT_EQ(g->Feldname(1), "T_Luft");
  for (int i = 0; i < 1500; ++i) ASSERT_EQ(static_cast<float>(*g->LiesZahl(i, 1)), werte[i]) << i;
  EXPECT_EQ((std::tuple(*g->LiesGanzzahl(1499, 0), *g->LiesGanzzahl(2, 0), g->LiesText(0, 2), g->LiesText(1, 2),
                        g->LiesText(4, 2), *g->LiesZahl(4, 2), g->LiesText(1234, 2))),
            (std::tuple(799LL, -999LL, "Grüße, 20 €", "Zeile 1", "-999", -999.0, "Zeile 1234")));
  EXPECT_TRUE(g->IstLeer(leer, 0) && g->IstLeer(leer, 1) && !g->LiesZahl(leer, 1) && !g->LiesZahl(leer, 0));
  EXPECT_FALSE(g->IstLeer(null, 1));
  EXPECT_EQ((std::tuple(*g->LiesZahl(null, 1), *g->LiesGanzzahl(null, 0), g->LiesText(null, 1))), (std::tuple(0.0, 0LL, "0")));
  EXPECT_FALSE(g->SchreibeZahl(0, 1, 1.0f)) << "nur zum Lesen geöffnet";
  g.reset();

  const std::string alt = Dateiinhalt(pfad);
  struct stat vorher {}, nachher {};
  ::stat(pfad.c_str(), &vorher);
  t = ParadoxTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t->SchreibeZahl(5, 1, werte[5]) && t->Schliessen(fehler)) << fehler;
  ::stat(pfad.c_str(), &nachher);
  EXPECT_EQ(nachher.st_ino, vorher.st_ino) << "nicht ersetzt";
  ParadoxTabelle::Aendern(pfad, fehler)->SchreibeZahl(0, 1, 4.0f);  // dropped without Schliessen
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  t = ParadoxTabelle::Aendern(pfad, fehler);
  ASSERT_TRUE(t->SchreibeZahl(leer, 1, -999.0f) && t->SchreibeZahl(1499, 1, 17.25f));
  EXPECT_EQ(Dateiinhalt(pfad), alt) << "noch nicht geschlossen";
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"werte.DB"});
  const std::string neu = Dateiinhalt(pfad);
  ASSERT_EQ(neu.size(), alt.size());
  size_t unterschiede = 0;
  for (size_t i = 0; i < alt.size(); ++i) unterschiede += alt[i] != neu[i];
  EXPECT_GT(unterschiede, 0u);
  EXPECT_LE(unterschiede, 16u) << "zwei Zahlen zu 8 Bytes";
  g = Oeffne(pfad);
  EXPECT_EQ((std::tuple(*g->LiesZahl(leer, 1), *g->LiesZahl(1499, 1), *g->LiesZahl(1498, 1))), (std::tuple(-999.0, 17.25, static_cast<double>(werte[1498]))));

  SchreibeDatei(v.Datei("muell.db"), std::string(3000, 'x'));
  EXPECT_FALSE(ParadoxTabelle::Aendern(v.Datei("muell.db"), fehler));
  EXPECT_EQ(fehler.rfind("Die Paradox-Tabelle " + v.Datei("muell.db") + " kann nicht geöffnet werden", 0), 0u) << fehler;
  EXPECT_FALSE(ParadoxTabelle::Oeffnen(v.Datei("fehlt.db"), fehler));
  EXPECT_NE(fehler.find(v.Datei("fehlt.db")), std::string::npos) << fehler;
}

// Beside the executable first, then ../share/terval as installed.
TEST(Referenzdateien, NebenDemProgrammDannShare) {
  EXPECT_EQ(std::filesystem::path(Programmverzeichnis()), std::filesystem::path(TERVAL_BINVERZEICHNIS));
  const std::string name = "terval-referenz-" + std::to_string(getpid()) + ".txt";
  const std::string daneben = Programmverzeichnis() + "/" + name, share = Programmverzeichnis() + "/../share/terval/" + name;
  std::filesystem::create_directories(Programmverzeichnis() + "/../share/terval");
  EXPECT_EQ(FindeReferenzdatei(name), "");
  SchreibeDatei(share, "x");
  EXPECT_EQ(FindeReferenzdatei(name), std::filesystem::path(share).lexically_normal().string());
  SchreibeDatei(daneben, "x");
  EXPECT_EQ(FindeReferenzdatei(name), daneben);
  std::filesystem::remove(daneben);
  std::filesystem::remove(share);
  EXPECT_EQ(FindeReferenzdatei("share"), "") << "ein Verzeichnis ist keine Referenzdatei";
}

}  // namespace
}  // namespace terval
