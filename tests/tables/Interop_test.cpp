// What the table layer writes, read by an independent reader.
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "support/TabellenTesthilfen.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::AlsFloat;
using test::Testverzeichnis;
using test::Wert;
using test::Zellen;

// A table shaped like the overall results: integer, float and text columns,
// a name with an umlaut, texts beyond Latin-1, the −999 marker.
TEST(Interop, ErgebnistabelleLiestDbfreadGenauSo) {
  if (!test::HatDbfread()) GTEST_SKIP() << "/usr/bin/python3 ohne dbfread";
  Testverzeichnis v;
  const std::string pfad = v.Datei("Terval Gesamtergebnis.dbf");
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad,
                                {{"Tag", Feldtyp::Ganzzahl, 0},
                                 {"Stunde", Feldtyp::Ganzzahl, 0},
                                 {"T_ein", Feldtyp::Gleitkomma, 0},
                                 {"Vol_Strom", Feldtyp::Gleitkomma, 0},
                                 {"Überbaut", Feldtyp::Ganzzahl, 0},
                                 {"Ort", Feldtyp::Text, 20},
                                 {"Nieders", Feldtyp::Gleitkomma, 0}},
                                fehler);
  ASSERT_TRUE(t) << fehler;
  std::mt19937 zufall(99);
  std::uniform_real_distribution<float> temperatur(-20.0f, 40.0f);
  std::vector<float> t_ein, strom;
  const std::vector<std::string> orte = {"Köln", "Gießen", "ä ü ß €", "Aachen-Orsbach"};
  for (int i = 0; i < 48; ++i) {
    int s = t->Anhaengen();
    t_ein.push_back(temperatur(zufall));
    strom.push_back(i == 0 ? 1.2345678e-8f : 300.0f / static_cast<float>(i + 7));
    ASSERT_TRUE(t->SchreibeGanzzahl(s, 0, i / 24 + 1));
    ASSERT_TRUE(t->SchreibeGanzzahl(s, 1, i % 24));
    ASSERT_TRUE(t->SchreibeZahl(s, 2, t_ein.back()));
    ASSERT_TRUE(t->SchreibeZahl(s, 3, strom.back()));
    ASSERT_TRUE(t->SchreibeGanzzahl(s, 4, i % 3));
    ASSERT_TRUE(t->SchreibeText(s, 5, orte[i % orte.size()]));
    ASSERT_TRUE(t->SchreibeZahl(s, 6, -999.0f));
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;

  auto zeilen = test::LiesMitDbfread(pfad);
  ASSERT_TRUE(zeilen.has_value());
  ASSERT_EQ(zeilen->size(), 49u);
  EXPECT_EQ((*zeilen)[0], "Tag\tStunde\tT_ein\tVol_Strom\tÜberbaut\tOrt\tNieders");
  for (int i = 0; i < 48; ++i) {
    const auto z = Zellen((*zeilen)[i + 1]);
    ASSERT_EQ(z.size(), 7u);
    EXPECT_EQ(Wert(z[0]), test::GanzzahlZelle(i / 24 + 1));
    EXPECT_EQ(Wert(z[1]), test::GanzzahlZelle(i % 24));
    EXPECT_EQ(Wert(z[2])[0], 'F') << "eine Gleitkommaspalte bleibt Gleitkomma: " << z[2];
    EXPECT_EQ(AlsFloat(z[2]), t_ein[i]);
    EXPECT_EQ(AlsFloat(z[3]), strom[i]);
    EXPECT_EQ(Wert(z[4]), test::GanzzahlZelle(i % 3));
    EXPECT_EQ(Wert(z[5]), "T" + orte[i % orte.size()]);
    EXPECT_EQ(Wert(z[6]), "F-999.0");
  }

  // GDAL is optional on a developer machine; when present it must agree too.
  if (std::system("command -v ogrinfo >/dev/null 2>&1") == 0) {
    const std::string befehl = "ogrinfo -ro -al -q '" + pfad + "' > '" + pfad + ".txt' 2>&1";
    ASSERT_EQ(std::system(befehl.c_str()), 0);
    const std::string aus = test::Dateiinhalt(pfad + ".txt");
    EXPECT_NE(aus.find("Überbaut"), std::string::npos) << aus.substr(0, 400);
    EXPECT_NE(aus.find("ä ü ß €"), std::string::npos);
  }
}

}  // namespace
}  // namespace terval
