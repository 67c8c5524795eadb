// Reading, checking and writing back the climate table, for each format that
// can be written (text, dBASE, Paradox).

#include "climate/DBKlima.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <map>

#include "climate/Klimatabelle.h"
#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "Klimatabellen.h"

namespace terval {
namespace {

using test::Art;
using test::Zeilen;

const char* const KeineDatenbank =
    "Sie haben keine Datenbank mit Klimadaten ausgewählt !\r"
    "Bitte ergänzen Sie die Angaben und starten das Berechnungsmodul neu !";
const char* const VolumenstromHinweis =
    "Die Datenbank enthält 7 Datenfelder.\rFeld 7 wird als Volumenstrom angesehen und überschreibt\r"
    " die Einstellungen im Programm. [Entfernen im Release]";

std::string NichtZuOeffnen(const std::string& name) {
  return "Die angebene Datenbank mit Klimadaten \"" + name +
         " kann nicht geöffnet werden !\rBitte überprüfen Sie die Angaben und starten das Berechnungsmodul neu !";
}
std::string Mehr(const std::string& name) {
  return "Datenbank " + name + "enthält mehr Daten als ein Jahr !\rDatei wird akzeptiert, bitte Ergebnisse prüfen !";
}
std::string Weniger(const std::string& name) {
  return "Datenbank " + name +
         "enthält weniger Daten als ein Jahr !\rDatei muß als Dantengrundlage abgeleht werden !";
}

// Records the label colours besides the messages.
class Beobachter : public test::Aufzeichner {
 public:
  std::map<Klimaelement, bool> labels;
  int labelAufrufe = 0;
  void KlimaLabel(Klimaelement e, bool komplett) override {
    labels[e] = komplett;
    ++labelAufrufe;
  }
};

bool GleichesJahr(const Modell& a, const Modell& b) {
  return std::memcmp(&a.Klima, &b.Klima, sizeof a.Klima) == 0 &&
         std::memcmp(&a.Segmente[1].T_ein, &b.Segmente[1].T_ein, sizeof a.Segmente[1].T_ein) == 0;
}

class KlimaTabelle : public ::testing::TestWithParam<Art> {
 protected:
  void SetUp() override {
    m = NeuesModell();
    SetzeStartzustand(*m);
  }
  std::string Tabelle(const std::string& stamm, const Zeilen& z, int spalten) {
    std::string pfad = test::SchreibeKlimatabelle(GetParam(), dir.Datei(stamm), z, spalten);
    EXPECT_FALSE(pfad.empty());
    return pfad;
  }
  void Lies(const std::string& pfad) {
    m->DBKlimaName = pfad;
    ReadKlimaDB(*m, ui);
  }
  std::optional<double> Zelle(const std::string& pfad, int satz, int spalte) {
    return test::Zellwert(GetParam(), pfad, satz, spalte);
  }

  test::Testverzeichnis dir;
  std::unique_ptr<Modell> m;
  Beobachter ui;
};

TEST_P(KlimaTabelle, EinVollesJahrWirdOhneMeldungGelesen) {
  Zeilen z = test::Jahr(8760, 6);
  std::string pfad = Tabelle("jahr", z, 6);
  std::string vorher = test::Dateiinhalt(pfad);
  Lies(pfad);

  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_FALSE(m->KlimaDBOffen);
  EXPECT_EQ(m->KlimaFeldzahl, 6);
  EXPECT_TRUE(m->KlimaKomplett);
  EXPECT_TRUE(m->WolkenKomplett);
  EXPECT_EQ(ui.labelAufrufe, 5);
  for (auto [e, gruen] : ui.labels) EXPECT_TRUE(gruen);
  // Record i is day i div 24 + 1, hour i mod 24.
  for (int i : {0, 23, 24, 4000, 8759}) {
    const TKlimaStunde& k = m->Klima[StundenIndex(i / 24 + 1, i % 24)];
    EXPECT_EQ(k.T_Luft, *z[i][0]);
    EXPECT_EQ(k.rFeuchte, *z[i][1]);
    EXPECT_EQ(k.Wind, *z[i][2]);
    EXPECT_EQ(k.Glob_Str, *z[i][3]);
    EXPECT_EQ(k.Nieders, *z[i][4]);
    EXPECT_EQ(k.Wolken, *z[i][5]);
    EXPECT_EQ(k.Vol_Strom, Fehlwert);
    EXPECT_EQ(m->Segmente[1].T_ein[i + 1], *z[i][0]);
  }
  // Nothing to put back: the file is untouched.
  EXPECT_EQ(test::Dateiinhalt(pfad), vorher);
}

TEST_P(KlimaTabelle, EinDatensatzZuVielGibtDieMehrMeldungUndWirdAngenommen) {
  Zeilen z = test::Jahr(8761, 6);
  z[8760][1] = std::nullopt;  // beyond the year: never read, never written
  std::string pfad = Tabelle("lang", z, 6);
  Lies(pfad);

  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0], (test::Nachricht{"Meldung", Mehr(pfad)}));
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_EQ(m->Klima[8760].T_Luft, *z[8759][0]);
  EXPECT_FALSE(Zelle(pfad, 8760, 2).has_value());
}

TEST_P(KlimaTabelle, EinDatensatzZuWenigWirdAbgelehntUndDasJahrBleibt) {
  Lies(Tabelle("gut", test::Jahr(8760, 6), 6));
  ASSERT_TRUE(m->KlimaGueltig);
  auto vorher = NeuesModell();
  *vorher = *m;
  ui.nachrichten.clear();

  Zeilen kurz = test::Jahr(8759, 7);
  for (auto& r : kurz) r[0] = 99.0f;
  std::string pfad = Tabelle("kurz", kurz, 7);
  std::string datei = test::Dateiinhalt(pfad);
  Lies(pfad);

  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0], (test::Nachricht{"Meldung", Weniger(pfad)}));
  EXPECT_FALSE(m->KlimaGueltig);
  EXPECT_FALSE(m->KlimaDBOffen);
  EXPECT_TRUE(GleichesJahr(*m, *vorher));
  EXPECT_EQ(m->KlimaFeldzahl, 6);
  EXPECT_FALSE(m->Kanalbetrieb.VolStromAusKlima);
  EXPECT_EQ(test::Dateiinhalt(pfad), datei);
}

TEST_P(KlimaTabelle, LeereZellenFehlenUndWerdenAlsFehlwertZurueckgeschrieben) {
  Zeilen z = test::Jahr(8760, 6);
  z[100][1] = std::nullopt;  // humidity
  z[200][3] = std::nullopt;  // radiation
  z[300][5] = std::nullopt;  // cloud cover
  z[400][0] = std::nullopt;  // air temperature: reads as 0
  std::string pfad = Tabelle("luecken", z, 6);
  Lies(pfad);

  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(m->Klima[101].rFeuchte, Fehlwert);
  EXPECT_EQ(m->Klima[201].Glob_Str, Fehlwert);
  EXPECT_EQ(m->Klima[301].Wolken, Fehlwert);
  EXPECT_EQ(m->Klima[401].T_Luft, 0.0f);
  EXPECT_EQ(m->Segmente[1].T_ein[401], 0.0f);
  EXPECT_TRUE(m->TLuftKomplett);
  EXPECT_FALSE(m->FeuchteKomplett);
  EXPECT_FALSE(m->StrahlungKomplett);
  EXPECT_FALSE(m->WolkenKomplett);
  EXPECT_FALSE(m->KlimaKomplett);
  EXPECT_FALSE(ui.labels[Klimaelement::Feuchte]);
  EXPECT_FALSE(ui.labels[Klimaelement::Strahlung]);
  EXPECT_TRUE(ui.labels[Klimaelement::Lufttemperatur]);
  EXPECT_TRUE(ui.labels[Klimaelement::Wind]);

  EXPECT_EQ(Zelle(pfad, 100, 2), -999.0);
  EXPECT_EQ(Zelle(pfad, 200, 4), -999.0);
  EXPECT_EQ(Zelle(pfad, 300, 6), -999.0);
  EXPECT_EQ(Zelle(pfad, 400, 1), 0.0);
  EXPECT_EQ(static_cast<float>(Zelle(pfad, 401, 1).value_or(0)), *z[401][0]);
}

TEST_P(KlimaTabelle, EineGespeicherteFehlendeLufttemperaturZaehltAlsFehlend) {
  Zeilen z = test::Jahr(8760, 6);
  z[5][0] = -999.0f;
  Lies(Tabelle("fehlt", z, 6));
  EXPECT_EQ(m->Klima[6].T_Luft, Fehlwert);
  EXPECT_FALSE(m->TLuftKomplett);
  EXPECT_FALSE(m->KlimaKomplett);
  EXPECT_FALSE(ui.labels[Klimaelement::Lufttemperatur]);
}

TEST_P(KlimaTabelle, VierSpaltenLassenNiederschlagUndBewoelkungFehlen) {
  Zeilen z = test::Jahr(8760, 4);
  z[7][2] = std::nullopt;
  std::string pfad = Tabelle("vier", z, 4);
  Lies(pfad);

  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(m->KlimaFeldzahl, 4);
  for (int h = 1; h <= Stunden; ++h) {
    ASSERT_EQ(m->Klima[h].Nieders, Fehlwert);
    ASSERT_EQ(m->Klima[h].Wolken, Fehlwert);
  }
  EXPECT_TRUE(m->TLuftKomplett && m->FeuchteKomplett && m->StrahlungKomplett);
  EXPECT_FALSE(m->NiederschlagKomplett);
  EXPECT_FALSE(m->KlimaKomplett);
  EXPECT_FALSE(ui.labels[Klimaelement::Niederschlag]);
  EXPECT_EQ(Zelle(pfad, 7, 3), -999.0);
}

TEST_P(KlimaTabelle, MitVierDatenfeldernWerdenNurDieSpaltenEinsBisVierGeschrieben) {
  // A six-column table whose last two columns are empty, written back as if
  // it had four data columns: columns 5 and 6 stay empty.
  Zeilen z = test::Jahr(8760, 6);
  for (auto& r : z) r[4] = r[5] = std::nullopt;
  std::string pfad = Tabelle("sechs", z, 6);
  m->DBKlimaName = pfad;
  for (int h = 1; h <= Stunden; ++h) {
    m->Klima[h].T_Luft = *z[h - 1][0];
    m->Klima[h].rFeuchte = *z[h - 1][1];
    m->Klima[h].Wind = *z[h - 1][2];
    m->Klima[h].Glob_Str = *z[h - 1][3];
  }
  m->Klima[1].rFeuchte = 77.5f;
  m->KlimaFeldzahl = 4;
  EXPECT_TRUE(WriteKlimaDB(*m, ui));
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(Zelle(pfad, 0, 2), 77.5);
  for (int satz : {0, 1, 8759}) {
    EXPECT_FALSE(Zelle(pfad, satz, 5).has_value());
    EXPECT_FALSE(Zelle(pfad, satz, 6).has_value());
  }
  // With five data fields precipitation is written, cloud cover is not.
  m->KlimaFeldzahl = 5;
  EXPECT_TRUE(WriteKlimaDB(*m, ui));
  EXPECT_EQ(Zelle(pfad, 0, 5), -999.0);
  EXPECT_FALSE(Zelle(pfad, 0, 6).has_value());
}

TEST_P(KlimaTabelle, SiebenSpaltenLiefernDenVolumenstromMitHinweis) {
  Zeilen z = test::Jahr(8760, 7);
  z[10][6] = std::nullopt;
  std::string pfad = Tabelle("sieben", z, 7);
  Lies(pfad);

  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0], (test::Nachricht{"Information", VolumenstromHinweis}));
  EXPECT_TRUE(m->Kanalbetrieb.VolStromAusKlima);
  EXPECT_EQ(m->KlimaFeldzahl, 7);
  EXPECT_EQ(m->Klima[1].Vol_Strom, 1000.0f);
  EXPECT_EQ(m->Klima[5].Vol_Strom, 1004.0f);
  EXPECT_EQ(m->Klima[11].Vol_Strom, Fehlwert);
  // Column 7 is never written back.
  EXPECT_FALSE(Zelle(pfad, 10, 7).has_value());

  // The notice comes once per read.
  ui.nachrichten.clear();
  Lies(pfad);
  EXPECT_EQ(ui.Texte("Information").size(), 1u);

  // A following table without a seventh column takes the flow back.
  ui.nachrichten.clear();
  Lies(Tabelle("sechs", test::Jahr(8760, 6), 6));
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_FALSE(m->Kanalbetrieb.VolStromAusKlima);
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->Klima[h].Vol_Strom, Fehlwert);
}

TEST_P(KlimaTabelle, ZuWenigeDatenfelderWerdenAbgelehnt) {
  Lies(Tabelle("gut", test::Jahr(8760, 6), 6));
  auto vorher = NeuesModell();
  *vorher = *m;
  ui.nachrichten.clear();

  std::string pfad = Tabelle("drei", test::Jahr(8760, 3), 3);
  Lies(pfad);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].art, "Fehler");
  EXPECT_EQ(ui.nachrichten[0].text,
            "Die Datenbank " + pfad +
                " enthält nur 3 Datenfelder !\rBenötigt werden mindestens 4: Lufttemperatur, relative Feuchte, "
                "Windgeschwindigkeit und Globalstrahlung.");
  EXPECT_FALSE(m->KlimaGueltig);
  EXPECT_TRUE(GleichesJahr(*m, *vorher));
}

TEST_P(KlimaTabelle, ZurueckgeschriebeneWerteSindGenauDieEinfacheGenauigkeit) {
  std::string pfad = Tabelle("genau", test::Jahr(8760, 6), 6);
  Lies(pfad);
  const float werte[] = {0.1f, -17.3f, 1.2345678e-8f, 33333.332f, 1e-3f};
  for (int i = 0; i < 5; ++i) m->Klima[i + 1].Glob_Str = werte[i];
  ASSERT_TRUE(WriteKlimaDB(*m, ui));
  auto neu = NeuesModell();
  SetzeStartzustand(*neu);
  neu->DBKlimaName = pfad;
  ReadKlimaDB(*neu, ui);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(neu->Klima[i + 1].Glob_Str, werte[i]);
  EXPECT_TRUE(GleichesJahr(*m, *neu));
}

TEST_P(KlimaTabelle, SchreibenInEineVeraenderteTabelleLaesstSieUnveraendert) {
  std::string pfad = Tabelle("jahr", test::Jahr(8760, 6), 6);
  Lies(pfad);
  // Meanwhile the file was replaced by a shorter one.
  Tabelle("jahr", test::Jahr(8000, 6), 6);
  std::string kurz = test::Dateiinhalt(pfad);
  auto eintraege = dir.Eintraege();
  m->Klima[1].T_Luft = 42.0f;
  ui.nachrichten.clear();

  EXPECT_FALSE(WriteKlimaDB(*m, ui));
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].art, "Fehler");
  EXPECT_EQ(ui.nachrichten[0].text, "Die Klimadaten konnten nicht in die Datenbank " + pfad +
                                        " zurückgeschrieben werden !\rDie Tabelle hat nicht mehr die 8760 "
                                        "Datensätze mit 6 Datenfeldern, die gelesen wurden.\rDie bisherige "
                                        "Datei bleibt unverändert.");
  EXPECT_EQ(test::Dateiinhalt(pfad), kurz);
  EXPECT_FALSE(m->KlimaDBOffen);
  EXPECT_EQ(dir.Eintraege(), eintraege);  // no temporary file left
}

INSTANTIATE_TEST_SUITE_P(Formate, KlimaTabelle, ::testing::Values(Art::Text, Art::Dbase, Art::Paradox),
                         [](const auto& info) { return test::ArtName(info.param); });

// ---- Open failures -----------------------------------------------------------

class KlimaOeffnen : public ::testing::Test {
 protected:
  void SetUp() override {
    m = NeuesModell();
    SetzeStartzustand(*m);
    std::string pfad = test::SchreibeKlimatabelle(Art::Text, dir.Datei("gut"), test::Jahr(8760, 6), 6);
    m->DBKlimaName = pfad;
    ReadKlimaDB(*m, ui);
    vorher = NeuesModell();
    *vorher = *m;
    ui.nachrichten.clear();
  }
  test::Testverzeichnis dir;
  std::unique_ptr<Modell> m, vorher;
  Beobachter ui;
};

TEST_F(KlimaOeffnen, OhneNamenKommtDieAuswahlMeldung) {
  m->DBKlimaName.clear();
  ReadKlimaDB(*m, ui);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0], (test::Nachricht{"Fehler", KeineDatenbank}));
  EXPECT_FALSE(m->KlimaGueltig);
  EXPECT_TRUE(GleichesJahr(*m, *vorher));
}

TEST_F(KlimaOeffnen, EineFehlendeOderUnbekannteDateiKannNichtGeoeffnetWerden) {
  for (std::string name : {dir.Datei("fehlt.DBF"), dir.Datei("fehlt.txt"), dir.Datei("gut.csv")}) {
    if (name.ends_with(".csv")) test::SchreibeDatei(name, test::Dateiinhalt(dir.Datei("gut.txt")));
    ui.nachrichten.clear();
    m->KlimaGueltig = true;
    m->DBKlimaName = name;
    ReadKlimaDB(*m, ui);
    ASSERT_EQ(ui.nachrichten.size(), 1u) << name;
    EXPECT_EQ(ui.nachrichten[0], (test::Nachricht{"Fehler", NichtZuOeffnen(name)}));
    EXPECT_FALSE(m->KlimaGueltig);
    EXPECT_FALSE(m->KlimaDBOffen);
    EXPECT_TRUE(GleichesJahr(*m, *vorher));
  }
}

TEST_F(KlimaOeffnen, EinDbaseInhaltMitEndungDbWirdAlsDbaseGelesen) {
  std::string dbf = test::SchreibeKlimatabelle(Art::Dbase, dir.Datei("x"), test::Jahr(8760, 6), 6);
  std::string db = dir.Datei("x.ewt.db");
  std::filesystem::rename(dbf, db);
  m->DBKlimaName = db;
  ReadKlimaDB(*m, ui);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_TRUE(GleichesJahr(*m, *vorher));
}

TEST(KlimaformatSchreibbar, NachEndungOhneGrossKleinschreibung) {
  EXPECT_TRUE(KlimaformatSchreibbar("a/Klima.DBF"));
  EXPECT_TRUE(KlimaformatSchreibbar("a/klima.dbf"));
  EXPECT_TRUE(KlimaformatSchreibbar("Klima.db"));
  EXPECT_TRUE(KlimaformatSchreibbar("Klima.TXT"));
  EXPECT_FALSE(KlimaformatSchreibbar("Aachen.epw"));
  EXPECT_FALSE(KlimaformatSchreibbar("TRY2015.DAT"));
  EXPECT_FALSE(KlimaformatSchreibbar("Klima.csv"));
  EXPECT_FALSE(KlimaformatSchreibbar(""));
}

TEST(CheckKlimaDaten, EineFehlendeStundeFaerbtNurIhrElement) {
  auto m = NeuesModell();
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m->Klima[h];
    k.T_Luft = k.rFeuchte = k.Wind = k.Glob_Str = k.Nieders = k.Wolken = 1.0f;
  }
  m->Klima[8760].Wind = Fehlwert;
  m->Klima[1].Wolken = Fehlwert;
  m->Klima[77].Nieders = -999.001f;  // not the marker: plain equality
  Beobachter ui;
  CheckKlimaDaten(*m, ui);
  EXPECT_TRUE(m->TLuftKomplett && m->FeuchteKomplett && m->StrahlungKomplett && m->NiederschlagKomplett);
  EXPECT_FALSE(m->WindKomplett);
  EXPECT_FALSE(m->WolkenKomplett);
  EXPECT_FALSE(m->KlimaKomplett);
  EXPECT_EQ(ui.labels.size(), 5u);
  EXPECT_FALSE(ui.labels[Klimaelement::Wind]);
  EXPECT_TRUE(ui.labels[Klimaelement::Niederschlag]);

  m->Klima[8760].Wind = 0.0f;
  CheckKlimaDaten(*m, ui);
  EXPECT_TRUE(m->KlimaKomplett);
  EXPECT_TRUE(ui.labels[Klimaelement::Wind]);
}

}  // namespace
}  // namespace terval
