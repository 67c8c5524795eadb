// Hostile reference files read at start-up: a SOILS.DAT with short lines,
// without data lines, with too many soils or with a soil the heat step
// cannot carry, and a missing or unreadable pipe catalogue "Rohre.DBF".
// What the soil table cannot give is refused when a run starts, naming the
// soil; a catalogue that cannot be read leaves the old one in memory.
#include <filesystem>

#include "channel/URohrdaten.h"
#include "hostile/Katalog.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Abbild;
using test::Aufzeichner;
using test::Dateiinhalt;
using test::Dateien;
using test::ErwarteGleicheDateien;
using test::ErwarteUnveraendert;
using test::Nachricht;
using test::SchreibeDatei;
using test::Testverzeichnis;

const std::string Kopf =
    "Bodenarten zum Test\n"
    "Kz  K ThSat  ThpF25 ThpF42 PsiS m KS 1e-6 C MJ   b      Ton    Name\n";
const std::string Lehm = "L   2  0.451  0.318  0.154 -0.478   6.950  2.000   5.39   0.18 Lehm\n";
const std::string AndererBoden =
    "\rBitte korrigieren Sie SOILS.DAT oder wählen Sie im Standortprofil eine andere Bodenart.";

class FeindlicheBodentabelle : public ::testing::Test {
 protected:
  void SetUp() override { m = test::Lauffaehig(); }

  // Reads the table as the start-up does; the run start then refuses it
  // with exactly `meldung`, and neither model nor files change.
  void ErwarteLaufAbgelehnt(const std::string& inhalt, int bodenart, const std::string& meldung) {
    SchreibeDatei(v.Datei("SOILS.DAT"), inhalt);
    ASSERT_TRUE(GetSoilData(*m, v.Datei("SOILS.DAT")));
    m->Bodenart = bodenart;
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    EXPECT_EQ(test::Starte(*m, ui, v.Pfad()).ergebnis, Laufergebnis::Abgelehnt);
    EXPECT_EQ(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", meldung}}));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m;
};

// Lines that end after the water contents: the missing numbers read as 0,
// among them the air-entry potential.
TEST_F(FeindlicheBodentabelle, KurzeZeilen) {
  ErwarteLaufAbgelehnt(Kopf + Lehm.substr(0, 20) + "\n" + Lehm, 1,
                       "Die Bodenart \"L\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für PsiSat "
                       "(Lufteintrittspotential): 0 (er muß kleiner als 0 sein) !" + AndererBoden);
}

// Two header lines and nothing else: one soil with empty fields.
TEST_F(FeindlicheBodentabelle, OhneDatenzeilen) {
  ErwarteLaufAbgelehnt(Kopf, 1,
                       "Die Bodenart Nr. 1 in SOILS.DAT hat einen ungültigen Wert für ThetaSat (Wassergehalt bei "
                       "Sättigung): 0 (er muß größer als 0 sein) !" + AndererBoden);
  EXPECT_EQ(m->AnzBoeden, 1);
}

// Sixty soils: the first fifty are read, a location asking for the 51st is
// refused.
TEST_F(FeindlicheBodentabelle, SechzigDatenzeilen) {
  std::string s = Kopf;
  for (int i = 0; i < 60; ++i) s += Lehm;
  ErwarteLaufAbgelehnt(s, 51,
                       "Die Bodenart Nr. 51 des Standortprofils gibt es nicht: Die Bodentabelle SOILS.DAT enthält 50 "
                       "Bodenarten !\rBitte wählen Sie im Standortprofil unter \"Bodenart vor Ort:\" eine Bodenart "
                       "aus.");
  EXPECT_EQ(m->AnzBoeden, 50);
}

// A sand with an air-entry potential of -1 cm: pF 0 when wet, lambda = 419
// e^-2.7 = 28.159 W/(m K), C = 0.605 * 2e6 + 0.395 * 4.182e6 = 2.8619e6
// J/(m3 K), a = 9.84e-6 m2/s, above the stability bound of the heat step.
TEST_F(FeindlicheBodentabelle, InstabilerBoden) {
  ErwarteLaufAbgelehnt(Kopf + Lehm + "S   1  0.395  0.176  0.067 -0.010 176.000  2.000   4.05   0.03 Sand\n", 2,
                       "Die Bodenart \"Sand\" (Nr. 2 in SOILS.DAT) leitet die Wärme zu schnell für dieses Modell "
                       "!\rIhre Temperaturleitfähigkeit erreicht 9.84 *10-6 m²/s, stabil rechnet das Modell nur bis "
                       "8.68 *10-6 m²/s." + AndererBoden);
}

TEST_F(FeindlicheBodentabelle, TextStattZahlAlsPorenanteil) {
  ErwarteLaufAbgelehnt(Kopf + Lehm.substr(0, 6) + "nasser" + Lehm.substr(12), 1,
                       "Die Bodenart \"Lehm\" (Nr. 1 in SOILS.DAT) hat einen ungültigen Wert für ThetaSat "
                       "(Wassergehalt bei Sättigung): 0 (er muß größer als 0 sein) !" + AndererBoden);
}

// A missing table, and a directory of that name, cannot be read either.
TEST_F(FeindlicheBodentabelle, FehlendeDateiOderVerzeichnis) {
  for (bool verzeichnis : {false, true}) {
    SCOPED_TRACE(verzeichnis);
    if (verzeichnis) std::filesystem::create_directory(v.Datei("SOILS.DAT"));
    const auto modell = Abbild(*m);
    EXPECT_FALSE(GetSoilData(*m, v.Datei("SOILS.DAT")));
    ErwarteUnveraendert(modell, *m);
  }
}

// ---- The pipe catalogue ----------------------------------------------------------------

class FeindlicherRohrkatalog : public ::testing::Test {
 protected:
  void SetUp() override {
    m = test::Lauffaehig();
    m->Anz_Rohrtypen = 1;
    m->Rohrtypen[1] = {"Beton 100", 1.0f, 0.1f, 1.0};
  }

  // The catalogue is not read; the one in memory and the files stay.
  void ErwarteNichtGelesen() {
    const auto modell = Abbild(*m);
    const auto dateien = Dateien(v.Pfad());
    EXPECT_FALSE(ReadRohrdatenDB(*m, v.Pfad()));
    ErwarteUnveraendert(modell, *m);
    ErwarteGleicheDateien(dateien, v.Pfad());
  }

  std::string Katalog(int spalten) {
    std::vector<Felddefinition> felder{{"Name", Feldtyp::Text, 40}};
    for (int i = 1; i < spalten; ++i) felder.push_back({"Wert" + std::to_string(i), Feldtyp::Gleitkomma, 0});
    std::string fehler;
    auto t = DbfTabelle::Erzeugen(v.Datei("neu.dbf"), felder, fehler);
    EXPECT_TRUE(t) << fehler;
    const int s = t->Anhaengen();
    t->SchreibeText(s, 0, "PE 200");
    for (int i = 1; i < spalten; ++i) t->SchreibeZahl(s, i, 0.2f);
    EXPECT_TRUE(t->Schliessen(fehler)) << fehler;
    const std::string b = Dateiinhalt(v.Datei("neu.dbf"));
    std::filesystem::remove(v.Datei("neu.dbf"));
    std::filesystem::remove(v.Datei("neu.cpg"));
    return b;
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m;
};

TEST_F(FeindlicherRohrkatalog, FehltGanz) { ErwarteNichtGelesen(); }

TEST_F(FeindlicherRohrkatalog, UnlesbareDateien) {
  const std::pair<const char*, std::string> faelle[] = {
      {"Kopf abgeschnitten", Katalog(4).substr(0, 60)},
      {"nur drei Spalten", Katalog(3)},
      {"Text statt Tabelle", "Name;Aussenmass_m;Dicke_m;wlf_W_mK\nPE 200;0.2;0.0119;0.4\n"},
  };
  for (const auto& [fall, inhalt] : faelle) {
    SCOPED_TRACE(fall);
    SchreibeDatei(v.Datei("Rohre.DBF"), inhalt);
    ErwarteNichtGelesen();
  }
}

TEST_F(FeindlicherRohrkatalog, VerzeichnisStattDatei) {
  std::filesystem::create_directory(v.Datei("Rohre.DBF"));
  ErwarteNichtGelesen();
}

}  // namespace
}  // namespace terval
