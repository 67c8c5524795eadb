// The location file read by an independent reader.
#include <gtest/gtest.h>

#include "model/Vardef.h"
#include "location/klimaprofil.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using test::AlsFloat;
using test::Wert;
using test::Zellen;

TEST(Interop, StandortdateiLiestDbfreadGenauSo) {
  if (!test::HatDbfread()) GTEST_SKIP() << "/usr/bin/python3 ohne dbfread";
  test::Testverzeichnis v;
  const std::string pfad = v.Datei("Gießen.loc.db");
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->Ortsname = "Gießen (Hessen) – Süd €";
  m->Breitengrad = 50.583332f;
  m->Laengengrad = 8.6833334f;
  m->Ns_[7] = 1.2345678e-8f;
  test::Aufzeichner ui;
  ASSERT_TRUE(SpeichereStandortdatei(*m, ui, pfad));

  auto zeilen = test::LiesMitDbfread(pfad);
  ASSERT_TRUE(zeilen.has_value());
  ASSERT_EQ(zeilen->size(), 2u) << "genau ein Datensatz";
  std::string namen =
      "version\tBodenart\tStartBoden\tOrtsname\tBreitengra\tLaengengra\tVeg_Hoehe\tVeg_typ\tDiff_Tdew\t"
      "Truebung\tWg_mittel\tWg_Tag_Nac\tWG_Messhoe";
  for (int k = 1; k <= 12; ++k) namen += "\tWetter_" + std::to_string(k);
  for (int k = 1; k <= 12; ++k) namen += "\tNs_" + std::to_string(k);
  namen += "\tT_Keller\twlf_keller\tkellerwand\tT_Fundamen";
  EXPECT_EQ((*zeilen)[0], namen);
  const auto z = Zellen((*zeilen)[1]);
  ASSERT_EQ(z.size(), 41u);
  EXPECT_EQ(Wert(z[0]), "I1");
  EXPECT_EQ(Wert(z[1]), "I1");
  EXPECT_EQ(AlsFloat(z[2]), 50.0f);
  EXPECT_EQ(Wert(z[3]), "TGießen (Hessen) – Süd €");
  EXPECT_EQ(AlsFloat(z[4]), m->Breitengrad);
  EXPECT_EQ(AlsFloat(z[5]), m->Laengengrad);
  EXPECT_EQ(AlsFloat(z[6]), m->Veg_Hoehe);
  EXPECT_EQ(Wert(z[7]), "I1");
  EXPECT_EQ(Wert(z[9]), "I1");
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(Wert(z[12 + k]), "I2") << k;
    EXPECT_EQ(AlsFloat(z[24 + k]), m->Ns_[k]) << k;
  }
  EXPECT_EQ(AlsFloat(z[37]), 8.0f);
  EXPECT_EQ(AlsFloat(z[38]), 0.9f);
  EXPECT_EQ(AlsFloat(z[39]), 0.4f);
  EXPECT_EQ(AlsFloat(z[40]), 10.0f);
}

}  // namespace
}  // namespace terval
