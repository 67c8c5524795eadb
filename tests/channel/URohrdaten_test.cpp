#include "channel/URohrdaten.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "model/Vardef.h"
#include "support/TabellenTesthilfen.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Testverzeichnis;

void SchreibeKatalog(const std::string& verzeichnis, int eintraege, int spalten = 4) {
  std::vector<Felddefinition> felder = {{"Name", Feldtyp::Text, 40},
                                        {"Aussenmass", Feldtyp::Gleitkomma, 0},
                                        {"Dicke", Feldtyp::Gleitkomma, 0},
                                        {"wlf", Feldtyp::Gleitkomma, 0}};
  felder.resize(static_cast<size_t>(spalten));
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(verzeichnis + "/Rohre.DBF", felder, fehler);
  ASSERT_TRUE(t) << fehler;
  for (int i = 1; i <= eintraege; ++i) {
    int s = t->Anhaengen();
    t->SchreibeText(s, 0, "Rohr Nr. " + std::to_string(i) + " (Gusseisen, duktil)");
    if (spalten > 1) t->SchreibeZahl(s, 1, 0.1f * static_cast<float>(i));
    if (spalten > 2) t->SchreibeZahl(s, 2, 0.001f * static_cast<float>(i));
    if (spalten > 3) t->SchreibeZahl(s, 3, 0.42 + i);
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
}

TEST(Rohrkatalog, SpaltenNachPosition) {
  Testverzeichnis v;
  SchreibeKatalog(v.Pfad(), 3);
  auto m = NeuesModell();
  ASSERT_TRUE(ReadRohrdatenDB(*m, v.Pfad()));
  ASSERT_EQ(m->Anz_Rohrtypen, 3);
  EXPECT_EQ(m->Rohrtypen[2].Name, "Rohr Nr. 2 (Gusseisen, duktil)");
  EXPECT_EQ(m->Rohrtypen[2].Aussenmass, 0.2f);
  EXPECT_EQ(m->Rohrtypen[2].Dicke, 0.002f);
  EXPECT_EQ(m->Rohrtypen[2].wlf, 2.42) << "die Leitfähigkeit bleibt doppelt genau";
  EXPECT_EQ(m->Rohrtypen[3].Aussenmass, 0.3f);
}

TEST(Rohrkatalog, HoechstensHundertEintraege) {
  Testverzeichnis v;
  SchreibeKatalog(v.Pfad(), 101);
  auto m = NeuesModell();
  ASSERT_TRUE(ReadRohrdatenDB(*m, v.Pfad()));
  EXPECT_EQ(m->Anz_Rohrtypen, 100);
  EXPECT_EQ(m->Rohrtypen[100].Name, "Rohr Nr. 100 (Gusseisen, duktil)");
}

TEST(Rohrkatalog, FehlenderOderUnbrauchbarerKatalog) {
  Testverzeichnis v;
  auto m = NeuesModell();
  m->Anz_Rohrtypen = 1;
  m->Rohrtypen[1].Name = "bisher";
  EXPECT_FALSE(ReadRohrdatenDB(*m, v.Pfad()));
  SchreibeKatalog(v.Pfad(), 2, 3);
  EXPECT_FALSE(ReadRohrdatenDB(*m, v.Pfad())) << "drei Spalten reichen nicht";
  EXPECT_EQ(m->Anz_Rohrtypen, 1);
  EXPECT_EQ(m->Rohrtypen[1].Name, "bisher");
}

// The catalogue shipped with the program: every entry must give a positive
// inner diameter in the pipe dialog, (Aussenmass - Dicke) * 0.5 * 1000 mm.
TEST(Rohrkatalog, MitgelieferterKatalogIstPlausibel) {
  const std::string verzeichnis = TERVAL_DATENVERZEICHNIS;
  if (!std::filesystem::exists(verzeichnis + "/Rohre.DBF")) GTEST_SKIP() << "Daten noch nicht erzeugt";
  auto m = NeuesModell();
  ASSERT_TRUE(ReadRohrdatenDB(*m, verzeichnis));
  ASSERT_GE(m->Anz_Rohrtypen, 20);
  ASSERT_LE(m->Anz_Rohrtypen, MaxRohrtypen);
  for (int i = 1; i <= m->Anz_Rohrtypen; ++i) {
    const TRohrtyp& r = m->Rohrtypen[i];
    EXPECT_FALSE(r.Name.empty()) << i;
    EXPECT_LE(r.Name.size(), 40u) << r.Name;
    EXPECT_GT(r.Aussenmass, 0.05f) << r.Name;
    EXPECT_LT(r.Aussenmass, 1.6f) << r.Name;
    EXPECT_GT(r.Dicke, 0.0f) << r.Name;
    EXPECT_LT(2.0f * r.Dicke, r.Aussenmass) << r.Name << ": Wand dicker als das halbe Rohr";
    EXPECT_GT((r.Aussenmass - r.Dicke) * 0.5f * 1000.0f, 0.0f) << r.Name;
    EXPECT_GE(r.wlf, 0.1) << r.Name;
    EXPECT_LE(r.wlf, 60.0) << r.Name;
  }
}

}  // namespace
}  // namespace terval
