// The location file (.loc.db): every value comes back exactly and sits in
// the column other readers expect, the place name is cut by characters.
// Refused files and failed saves are in the hostile tests.
#include "location/klimaprofil.h"

#include <gtest/gtest.h>

#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using namespace test;

// Saved, loaded into a fresh model and saved again: the same bytes, as in
// the golden example, and read alike by dbfread. The values are neither start
// values nor short decimals, so a swapped or rounded column shows.
TEST(Standortdatei, JederWertKommtGenauZurueck) {
  Testverzeichnis v;
  auto m = NeuesModell(), n = NeuesModell();
  m->Bodenart = 17, m->StartBodenfeuchte = 63.123456f, m->Ortsname = "Köln-Mülheim (Straße €)";
  m->Breitengrad = 50.961234f, m->Laengengrad = -6.9876543f, m->Veg_Hoehe = 0.123456789f, m->Veg_typ = 3;
  m->Diff_Tdew = 1.7777778f, m->Truebung = 2, m->Wg_mittel = 3.3333333f, m->Wg_Tag_Nacht = 1.2345678e-8f;
  m->WG_Messhoehe = 10.1f, m->T_Keller = 12.34567f, m->wlf_kellerwand = 0.87654321f, m->kellerwand_dicke = 0.3333333f;
  m->T_Fundament = -0.1f;
  for (int k = 1; k <= 12; ++k) m->Wetter_[k] = k % 5 - 1, m->Ns_[k] = 40.0f + k / 7.0f;  // Wetter_ outside 1..3 kept
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereStandortdatei(*m, ui, v.Datei("Köln.loc.db")));
  EXPECT_EQ(m->Standortdatei, v.Datei("Köln.loc.db"));
  EXPECT_EQ(m->Startverzeichnis, "") << "Speichern ändert das Startverzeichnis nicht";
  ASSERT_TRUE(LadeStandortdatei(*n, ui, v.Datei("Köln.loc.db")));
  EXPECT_EQ(n->Standortdatei, v.Datei("Köln.loc.db"));
  EXPECT_EQ(n->Startverzeichnis, v.Pfad());
  ASSERT_TRUE(SpeichereStandortdatei(*n, ui, v.Datei("b.loc.db")));
  EXPECT_TRUE(Dateiinhalt(v.Datei("Köln.loc.db")) == Dateiinhalt(v.Datei("b.loc.db")));
  EXPECT_TRUE(ui.nachrichten.empty());

  EXPECT_EQ(UnterschiedZuGolden(v.Datei("Köln.loc.db"), "location/Koeln.loc.db"), "");
  EXPECT_EQ(UnterschiedZuDbfread(v.Datei("Köln.loc.db")).value_or(""), "");

  // The name is cut to 40 characters (not bytes) in the file, not in memory.
  m->Ortsname = "Übach-Palenberg an der Wurm, Kreis Heinsberg!";
  ASSERT_TRUE(SpeichereStandortdatei(*m, ui, v.Datei("a.loc.db")) && LadeStandortdatei(*n, ui, v.Datei("a.loc.db")));
  EXPECT_EQ(n->Ortsname, "Übach-Palenberg an der Wurm, Kreis Heins");
  EXPECT_EQ(m->Ortsname, "Übach-Palenberg an der Wurm, Kreis Heinsberg!");
}

}  // namespace
}  // namespace terval
