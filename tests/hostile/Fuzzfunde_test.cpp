// Inputs the fuzz targets (fuzz/) found to hang or crash a reader, kept as
// regression cases: each must now be refused promptly with its reason.
#include <functional>

#include "hostile/Katalog.h"
#include "location/klimaprofil.h"
#include "tables/ParadoxTabelle.h"

namespace terval {
namespace {

std::string Fund(const std::string& name) { return test::Quellverzeichnis() + "/tests/data/hostile/" + name; }

void ErwarteParadoxAbgelehnt(const std::string& name, const std::string& grund) {
  test::Testverzeichnis v;
  const std::string pfad = v.Datei("t.db");
  const std::string bytes = test::Dateiinhalt(Fund(name));
  ASSERT_FALSE(bytes.empty()) << name;
  test::SchreibeDatei(pfad, bytes);
  const std::string erwartet = "Die Paradox-Tabelle " + pfad + " kann nicht geöffnet werden: " + grund + ".";
  std::string fehler;
  EXPECT_FALSE(ParadoxTabelle::Oeffnen(pfad, fehler));
  EXPECT_EQ(fehler, erwartet);
  fehler.clear();
  EXPECT_FALSE(ParadoxTabelle::Aendern(pfad, fehler));
  EXPECT_EQ(fehler, erwartet);
  EXPECT_EQ(test::Dateiinhalt(pfad), bytes);
  EXPECT_EQ(v.Eintraege(), std::vector<std::string>{"t.db"});
}

// A header of 2048 bytes in a file of 360: the library read past the end
// for its data block without stopping.
TEST(Fuzzfund, ParadoxDatenblockHinterDemDateiende) {
  ErwarteParadoxAbgelehnt("paradox_block_hinter_dateiende.db",
                          "der Tabellenkopf ist unvollständig (die Datei ist abgeschnitten)");
}

// One changed byte of the key: the library decrypted the block heads into
// a chain without end.
TEST(Fuzzfund, ParadoxMitVerdorbenemSchluessel) {
  ErwarteParadoxAbgelehnt("paradox_falscher_schluessel.db",
                          "die Tabelle ist mit einem Kennwort verschlüsselt; bitte speichern Sie sie ohne Kennwort");
}

// A table the library wrote with a password: its chain cannot be checked.
TEST(Fuzzfund, ParadoxMitKennwort) {
  ErwarteParadoxAbgelehnt("paradox_kennwort.db",
                          "die Tabelle ist mit einem Kennwort verschlüsselt; bitte speichern Sie sie ohne Kennwort");
}

// A long-integer field of width 0: the library wrote the 4 bytes of a value
// through the null pointer of an empty cell.
TEST(Fuzzfund, ParadoxZahlenfeldDerBreiteNull) {
  ErwarteParadoxAbgelehnt("paradox_feldlaenge_null.db", "das Feld Nr. 1 hat für seinen Typ die ungültige Länge 0");
}

// The run start must refuse what the model cannot compute: the fuzz targets
// check that an accepted input gives finite values.

// A location whose cellar wall conducts 1.7e13 W/(m2 K): the wall network
// divided by 1 - U^2/a = 0 and gave an infinite cellar wall temperature.
TEST(Fuzzfund, StandortMitUnendlichLeitenderKellerwand) {
  test::Testverzeichnis v;
  auto m = test::Lauffaehig();
  test::Aufzeichner ui;
  ASSERT_TRUE(LadeStandortdatei(*m, ui, Fund("standort_kellerwand_leitet_unendlich.loc.db")));
  EXPECT_EQ(test::Starte(*m, ui, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
  ASSERT_EQ(ui.Texte("Fehler").size(), 1u);
  EXPECT_EQ(ui.Texte("Fehler")[0].rfind("Neben Segment 2 steht ein Gebäude, doch die Kellerwand ist für dieses "
                                        "Modell zu dünn oder leitet zu gut",
                                        0),
            0u)
      << ui.Texte("Fehler")[0];
}

// A soil with an air-entry potential of 0 and b = -69: the moisture model
// raised the water content to the power -135 and ran into infinity.
TEST(Fuzzfund, BodenMitNegativemExponenten) {
  test::Testverzeichnis v;
  auto m = test::Lauffaehig();
  ASSERT_TRUE(GetSoilData(*m, Fund("SOILS_negatives_b.DAT")));
  m->Bodenart = 1;
  test::Aufzeichner ui;
  EXPECT_EQ(test::Starte(*m, ui, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
  ASSERT_EQ(ui.Texte("Fehler").size(), 1u);
  EXPECT_NE(ui.Texte("Fehler")[0].find("hat einen ungültigen Wert für PsiSat"), std::string::npos)
      << ui.Texte("Fehler")[0];
  m->Boeden[1].PsiSat = -0.1;
  test::Aufzeichner nochmal;
  EXPECT_EQ(test::Starte(*m, nochmal, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
  ASSERT_EQ(nochmal.Texte("Fehler").size(), 1u);
  EXPECT_NE(nochmal.Texte("Fehler")[0].find("hat einen ungültigen Wert für b (Porengrößenexponent): -69"),
            std::string::npos)
      << nochmal.Texte("Fehler")[0];
}

// The block checks against hand-made damage of a sound table: a chain that
// loops back, a block number beyond the file's blocks, a block offset that
// is no whole record, a block cut off, and a header whose record count
// disagrees.
TEST(Fuzzfund, ParadoxBlockketteWirdGeprueft) {
  test::Testverzeichnis v;
  const std::string pfad = v.Datei("gut.db");
  {
    std::string fehler;
    auto t = ParadoxTabelle::Erzeugen(pfad, {{"A", Feldtyp::Ganzzahl, 0}}, fehler);
    ASSERT_TRUE(t) << fehler;
    for (int i = 0; i < 3; ++i) t->SchreibeGanzzahl(t->Anhaengen(), 0, i);
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  }
  const std::string gut = test::Dateiinhalt(pfad);
  const unsigned kopf = test::Lies16(gut, 2);
  struct Fall {
    std::function<void(std::string&)> verderben;
    std::string grund;
  };
  const std::vector<Fall> faelle = {
      {[&](std::string& b) { test::Lege16(b, kopf, 1); }, "die Kette der Datenblöcke ist fehlerhaft"},
      {[&](std::string& b) { test::Lege16(b, 14, 7); }, "die Kette der Datenblöcke ist fehlerhaft"},
      {[&](std::string& b) { test::Lege16(b, kopf + 4, 5); }, "ein Datenblock ist fehlerhaft"},
      {[&](std::string& b) { test::Lege32(b, 6, 4); },
       "der Tabellenkopf nennt 4 Datensätze, die Datenblöcke enthalten aber 3"},
      {[&](std::string& b) { b[5] = 0; }, "der Tabellenkopf ist fehlerhaft"},
      {[&](std::string& b) { b.resize(kopf + 100); },
       "ein Datenblock liegt hinter dem Dateiende (die Datei ist abgeschnitten)"},
  };
  for (const Fall& f : faelle) {
    std::string b = gut;
    f.verderben(b);
    test::SchreibeDatei(pfad, b);
    std::string fehler;
    EXPECT_FALSE(ParadoxTabelle::Oeffnen(pfad, fehler));
    EXPECT_EQ(fehler, "Die Paradox-Tabelle " + pfad + " kann nicht geöffnet werden: " + f.grund + ".");
  }
  test::SchreibeDatei(pfad, gut);
  std::string fehler;
  auto t = ParadoxTabelle::Oeffnen(pfad, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_EQ(t->LiesGanzzahl(2, 0), 2);
}

}  // namespace
}  // namespace terval
