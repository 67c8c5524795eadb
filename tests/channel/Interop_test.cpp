// The channel file read by an independent reader.
#include <gtest/gtest.h>

#include "channel/UshowKanaldaten.h"
#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using test::AlsFloat;
using test::Wert;
using test::Zellen;

TEST(Interop, KanaldateiLiestDbfreadGenauSo) {
  if (!test::HatDbfread()) GTEST_SKIP() << "/usr/bin/python3 ohne dbfread";
  test::Testverzeichnis v;
  const std::string pfad = v.Datei("Erdkanal.ewt.db");
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->Anz_Segmente = 3;
  for (int k = 1; k <= 3; ++k) {
    Kanalsegment& s = m->Segmente[k];
    s.Tiefe = 1.5f + 0.1f * static_cast<float>(k);
    s.Anz_Rohre = k;
    s.Abst_Rohre = k > 1 ? 0.55f : 0.0f;
    s.Abst_Geb_re = k == 3 ? 2.25f : 0.0f;
    s.Tief_Geb_re = k == 3 ? 2.5f : 0.0f;
    s.Überbaut = k == 2 ? 1 : 0;
  }
  m->Rohrdaten.Rohrname = {"", "PE-HD d 200 – Hauptstrang", "Steinzeug DN 150 (ö)"};
  m->Rohrdaten.Rohr_Dicke[1] = 0.0119f;
  m->Kanalbetrieb.Heiz_T = 3.3f;
  m->Kanalbetrieb.Betriebsart = 2;
  m->Kanalbetrieb.Fuenftagebetrieb = true;
  test::Aufzeichner ui;
  ASSERT_TRUE(SpeichereKanaldatei(*m, ui, pfad));

  auto zeilen = test::LiesMitDbfread(pfad);
  ASSERT_TRUE(zeilen.has_value());
  ASSERT_EQ(zeilen->size(), 6u) << "Namen, Betrieb, Rohrdaten, drei Segmente";
  EXPECT_EQ((*zeilen)[0],
            "Index\tTiefe\tAnz_Rohre\tAbst_Rohre\tAbst_Geb_l\tTief_Geb_l\tAbst_Geb_r\tTief_Geb_r\tÜberbaut\tAnmerkung");
  const auto betrieb = Zellen((*zeilen)[1]);
  ASSERT_EQ(betrieb.size(), 10u);
  EXPECT_EQ(Wert(betrieb[0]), "I2400");
  EXPECT_EQ(AlsFloat(betrieb[1]), 1.0f);
  EXPECT_EQ(Wert(betrieb[2]), "I7");
  EXPECT_EQ(AlsFloat(betrieb[3]), 18.0f);
  EXPECT_EQ(AlsFloat(betrieb[4]), 0.0f);
  EXPECT_EQ(AlsFloat(betrieb[5]), 3.3f);
  EXPECT_EQ(AlsFloat(betrieb[6]), 18.0f);
  EXPECT_EQ(Wert(betrieb[7]), "F1.0");
  EXPECT_EQ(Wert(betrieb[8]), "I2");
  EXPECT_EQ(Wert(betrieb[9]), "TPE-HD d 200 – Hauptstrang");
  const auto rohre = Zellen((*zeilen)[2]);
  EXPECT_EQ(Wert(rohre[0]), "I0");
  EXPECT_EQ(AlsFloat(rohre[1]), 0.4f);
  EXPECT_EQ(AlsFloat(rohre[3]), 0.0119f);
  EXPECT_EQ(AlsFloat(rohre[4]), 1.0f);
  EXPECT_EQ(Wert(rohre[9]), "TSteinzeug DN 150 (ö)");
  for (int k = 1; k <= 3; ++k) {
    const auto z = Zellen((*zeilen)[2 + k]);
    const Kanalsegment& s = m->Segmente[k];
    EXPECT_EQ(Wert(z[0]), test::GanzzahlZelle(k));
    EXPECT_EQ(AlsFloat(z[1]), s.Tiefe);
    EXPECT_EQ(Wert(z[2]), test::GanzzahlZelle(k));
    EXPECT_EQ(AlsFloat(z[3]), s.Abst_Rohre);
    EXPECT_EQ(AlsFloat(z[6]), s.Abst_Geb_re);
    EXPECT_EQ(AlsFloat(z[7]), s.Tief_Geb_re);
    EXPECT_EQ(Wert(z[8]), test::GanzzahlZelle(s.Überbaut));
    EXPECT_EQ(Wert(z[9]), "T") << "Anmerkung der Segmentzeilen bleibt leer";
  }
}

}  // namespace
}  // namespace terval
