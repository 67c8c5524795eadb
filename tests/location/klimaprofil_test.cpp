#include "location/klimaprofil.h"

#include <cstring>

#include <gtest/gtest.h>

#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Dateiinhalt;
using test::Testverzeichnis;

// Every location value set to something that is neither a start value nor
// a short decimal, so a swapped or rounded column shows.
void SetzeUngewoehnlicheWerte(Modell& m) {
  m.Bodenart = 17;
  m.StartBodenfeuchte = 63.123456f;
  m.Ortsname = "Köln-Mülheim (Straße €)";
  m.Breitengrad = 50.961234f;
  m.Laengengrad = -6.9876543f;
  m.Veg_Hoehe = 0.123456789f;
  m.Veg_typ = 3;
  m.Diff_Tdew = 1.7777778f;
  m.Truebung = 2;
  m.Wg_mittel = 3.3333333f;
  m.Wg_Tag_Nacht = 1.2345678e-8f;
  m.WG_Messhoehe = 10.1f;
  for (int k = 1; k <= 12; ++k) {
    m.Wetter_[k] = k % 5 - 1;  // also values outside 1..3, which are kept as read
    m.Ns_[k] = 40.0f + static_cast<float>(k) / 7.0f;
  }
  m.T_Keller = 12.34567f;
  m.wlf_kellerwand = 0.87654321f;
  m.kellerwand_dicke = 0.3333333f;
  m.T_Fundament = -0.1f;
}

void ErwarteGleicheStandortwerte(const Modell& a, const Modell& b) {
  EXPECT_EQ(a.Bodenart, b.Bodenart);
  EXPECT_EQ(a.StartBodenfeuchte, b.StartBodenfeuchte);
  EXPECT_EQ(a.Ortsname, b.Ortsname);
  EXPECT_EQ(a.Breitengrad, b.Breitengrad);
  EXPECT_EQ(a.Laengengrad, b.Laengengrad);
  EXPECT_EQ(a.Veg_Hoehe, b.Veg_Hoehe);
  EXPECT_EQ(a.Veg_typ, b.Veg_typ);
  EXPECT_EQ(a.Diff_Tdew, b.Diff_Tdew);
  EXPECT_EQ(a.Truebung, b.Truebung);
  EXPECT_EQ(a.Wg_mittel, b.Wg_mittel);
  EXPECT_EQ(a.Wg_Tag_Nacht, b.Wg_Tag_Nacht);
  EXPECT_EQ(a.WG_Messhoehe, b.WG_Messhoehe);
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(a.Wetter_[k], b.Wetter_[k]) << "Monat " << k;
    EXPECT_EQ(a.Ns_[k], b.Ns_[k]) << "Monat " << k;
  }
  EXPECT_EQ(a.T_Keller, b.T_Keller);
  EXPECT_EQ(a.wlf_kellerwand, b.wlf_kellerwand);
  EXPECT_EQ(a.kellerwand_dicke, b.kellerwand_dicke);
  EXPECT_EQ(a.T_Fundament, b.T_Fundament);
}

TEST(Standortdatei, GespeichertUndGeoeffnetKommtJederWertGenauZurueck) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Köln.loc.db");
  auto quelle = NeuesModell();
  SetzeUngewoehnlicheWerte(*quelle);
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereStandortdatei(*quelle, ui, pfad));
  EXPECT_EQ(quelle->Standortdatei, pfad);
  EXPECT_EQ(quelle->Startverzeichnis, "") << "Speichern ändert das Startverzeichnis nicht";

  auto ziel = NeuesModell();
  ASSERT_TRUE(LadeStandortdatei(*ziel, ui, pfad));
  ErwarteGleicheStandortwerte(*quelle, *ziel);
  EXPECT_EQ(ziel->Standortdatei, pfad);
  EXPECT_EQ(ziel->Startverzeichnis, v.Pfad());
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST(Standortdatei, NachDemStartGespeichert) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Bochum.loc.db");
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereStandortdatei(*m, ui, pfad));

  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  ASSERT_EQ(t->Felder(), 41);
  ASSERT_EQ(t->Datensaetze(), 1);
  EXPECT_EQ(t->LiesGanzzahl(0, 0), 1);
  EXPECT_EQ(t->LiesGanzzahl(0, 1), 1);
  EXPECT_EQ(t->LiesZahl(0, 2), 50.0);
  EXPECT_EQ(t->LiesText(0, 3), "Testort (Bochum,D)");
  EXPECT_EQ(t->LiesZahl(0, 4), 51.26);
  EXPECT_EQ(t->LiesZahl(0, 5), 7.15);
  EXPECT_EQ(t->LiesGanzzahl(0, 9), 1);
  const double ns[] = {66.3, 54.7, 56.3, 54.7, 63.3, 78.8, 85.9, 80.7, 67.2, 66.2, 65.0, 69.5};
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(t->LiesGanzzahl(0, 12 + k), 2);
    EXPECT_EQ(t->LiesZahl(0, 24 + k), ns[k - 1]);
  }
  EXPECT_EQ(t->LiesZahl(0, 37), 8.0);
  EXPECT_EQ(t->LiesZahl(0, 38), 0.9);
  EXPECT_EQ(t->LiesZahl(0, 39), 0.4);
  EXPECT_EQ(t->LiesZahl(0, 40), 10.0);
}

TEST(Standortdatei, OrtsnameWirdAufVierzigZeichenGekuerzt) {
  Testverzeichnis v;
  auto m = NeuesModell();
  // 45 characters, umlauts among them: cut by characters, not bytes.
  m->Ortsname = "Übach-Palenberg an der Wurm, Kreis Heinsberg!";
  ASSERT_EQ(m->Ortsname.size(), 46u);
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereStandortdatei(*m, ui, v.Datei("a.loc.db")));
  EXPECT_EQ(m->Ortsname, "Übach-Palenberg an der Wurm, Kreis Heinsberg!") << "im Speicher ungekürzt";
  auto n = NeuesModell();
  ASSERT_TRUE(LadeStandortdatei(*n, ui, v.Datei("a.loc.db")));
  EXPECT_EQ(n->Ortsname, "Übach-Palenberg an der Wurm, Kreis Heins");
}

// A refused file leaves every value and both names as they were.
void ErwarteUnveraendert(const Modell& m) {
  auto start = NeuesModell();
  SetzeStartzustand(*start);
  ErwarteGleicheStandortwerte(*start, m);
  EXPECT_EQ(m.Standortdatei, "Bochum.loc.db");
  EXPECT_EQ(m.Startverzeichnis, "/start");
}

TEST(Standortdatei, UngeeigneteDateienWerdenAbgelehnt) {
  Testverzeichnis v;
  std::string fehler;
  {
    std::vector<Felddefinition> vierzig(40, {"Wert", Feldtyp::Gleitkomma, 0});
    auto t = DbfTabelle::Erzeugen(v.Datei("kurz.loc.db"), vierzig, fehler);
    ASSERT_TRUE(t) << fehler;
    t->Anhaengen();
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  }
  {
    auto quelle = NeuesModell();
    Aufzeichner still;
    ASSERT_TRUE(SpeichereStandortdatei(*quelle, still, v.Datei("leer.loc.db")));
    // The same columns without the record.
    auto alt = DbfTabelle::Oeffnen(v.Datei("leer.loc.db"), fehler);
    std::vector<Felddefinition> spalten;
    for (int i = 0; i < alt->Felder(); ++i) spalten.push_back({alt->Feldname(i), Feldtyp::Gleitkomma, 0});
    auto t = DbfTabelle::Erzeugen(v.Datei("leer.loc.db"), spalten, fehler);
    ASSERT_TRUE(t && t->Schliessen(fehler)) << fehler;
  }
  test::SchreibeDatei(v.Datei("text.loc.db"), "Bodenart=1\n");

  const std::vector<std::pair<std::string, std::string>> faelle = {
      {"kurz.loc.db",
       "Die Datei \"" + v.Datei("kurz.loc.db") + "\" ist kein Standortprofil: Sie hat 40 Spalten, ein "
                                                 "Standortprofil hat 41."},
      {"leer.loc.db", "Das Standortprofil \"" + v.Datei("leer.loc.db") + "\" enthält keinen Datensatz."},
      {"text.loc.db", "Die Tabelle \"" + v.Datei("text.loc.db") +
                          "\" kann nicht geöffnet werden: die Datei ist zu kurz für eine dBASE-Tabelle."},
      {"fehlt.loc.db", "Die Tabelle \"" + v.Datei("fehlt.loc.db") +
                           "\" kann nicht geöffnet werden: Datei oder Verzeichnis nicht vorhanden."},
  };
  for (const auto& [name, meldung] : faelle) {
    auto m = NeuesModell();
    SetzeStartzustand(*m);
    m->Startverzeichnis = "/start";
    Aufzeichner ui;
    EXPECT_FALSE(LadeStandortdatei(*m, ui, v.Datei(name))) << name;
    EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Fehler", meldung}}));
    ErwarteUnveraendert(*m);
  }
}

TEST(Standortdatei, MisslungenesSpeichernBehaeltDieAlteDatei) {
  Testverzeichnis v;
  const std::string pfad = v.Datei("Bochum.loc.db");
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  Aufzeichner ui;
  ASSERT_TRUE(SpeichereStandortdatei(*m, ui, pfad));
  const std::string alt = Dateiinhalt(pfad);

  m->Ortsname = "Neuer Ort";
  {
    test::Dateigroessengrenze grenze(1024);
    EXPECT_FALSE(SpeichereStandortdatei(*m, ui, v.Datei("Neu.loc.db")));
    EXPECT_FALSE(SpeichereStandortdatei(*m, ui, pfad));
  }
  EXPECT_EQ(Dateiinhalt(pfad), alt);
  EXPECT_EQ(m->Standortdatei, pfad) << "ein gescheitertes Speichern unter neuem Namen behält den alten";
  ASSERT_EQ(ui.nachrichten.size(), 2u);
  EXPECT_EQ(ui.nachrichten[1].text, "Die Datei \"" + pfad +
                                        "\" konnte nicht gespeichert werden: die Datei wird zu groß; die "
                                        "bisherige Datei bleibt unverändert.");
  EXPECT_EQ(v.Eintraege(), (std::vector<std::string>{"Bochum.loc.cpg", "Bochum.loc.db"}));
}

}  // namespace
}  // namespace terval
