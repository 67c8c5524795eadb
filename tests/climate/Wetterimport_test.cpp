// Importing EnergyPlus weather files and German test reference years.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "climate/DBKlima.h"
#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

const std::string Aachen = std::string(TERVAL_QUELLVERZEICHNIS) + "/data/15000_20220101_20230101_Aachen-Orsbach.epw";

class Import : public ::testing::Test {
 protected:
  void SetUp() override {
    m = NeuesModell();
    SetzeStartzustand(*m);
  }
  void Lies(const std::string& pfad) {
    m->DBKlimaName = pfad;
    ReadKlimaDB(*m, ui);
  }
  test::Testverzeichnis dir;
  std::unique_ptr<Modell> m;
  test::Aufzeichner ui;
};

// ---- EnergyPlus ----------------------------------------------------------------

const char* const EpwKopf =
    "LOCATION,Testort,NRW,DEU,Test,000000,51.0,7.0,1.0,100.0\n"
    "DESIGN CONDITIONS,0\n"
    "TYPICAL/EXTREME PERIODS,0\n"
    "GROUND TEMPERATURES,0\n"
    "HOLIDAYS/DAYLIGHT SAVINGS,No,0,0,0\n"
    "COMMENTS 1,synthetisch\n"
    "COMMENTS 2,\n"
    "DATA PERIODS,1,1,Data,Monday,1/1,12/31\n";

// One data row of 35 fields; the values are texts so tests can put missing
// codes and empty fields in.
std::string EpwZeile(int monat, int tag, int stunde, const std::string& t, const std::string& rf,
                     const std::string& global, const std::string& wind, const std::string& bedeckung,
                     const std::string& regen) {
  return "2024," + std::to_string(monat) + "," + std::to_string(tag) + "," + std::to_string(stunde) + ",60,?," +
         t + ",5.0," + rf + ",100000,9999,9999,300," + global + ",0,0,999999,999999,999999,9999,180," + wind + "," +
         bedeckung + "," + bedeckung + ",9999,99999,9,999999999,999,0.1,0,88," + "0.2," + regen + ",1.0\n";
}

// A year of rows; `schaltjahr` adds 29 February (air temperature 77 there).
std::string EpwJahr(bool schaltjahr) {
  static const int tage[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::string s = EpwKopf;
  for (int monat = 1; monat <= 12; ++monat) {
    int n = tage[monat - 1] + (schaltjahr && monat == 2 ? 1 : 0);
    for (int tag = 1; tag <= n; ++tag) {
      for (int stunde = 1; stunde <= 24; ++stunde) {
        std::string t = monat == 2 && tag == 29 ? "77" : std::to_string(monat) + "." + std::to_string(stunde % 10);
        s += EpwZeile(monat, tag, stunde, t, "81", "250", "3.5", "5", "0.4");
      }
    }
  }
  return s;
}

TEST_F(Import, DasAachenerJahrHatDasRichtigeJahresmittel) {
  ASSERT_TRUE(std::filesystem::exists(Aachen)) << Aachen;
  std::string vorher = test::Dateiinhalt(Aachen);
  Lies(Aachen);

  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_EQ(m->KlimaFeldzahl, 6);
  double summe = 0;
  for (int h = 1; h <= Stunden; ++h) summe += m->Klima[h].T_Luft;
  EXPECT_NEAR(summe / Stunden, 11.63, 0.005);  // 11.6251 to four decimals
  // The station has no precipitation record for the year.
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->Klima[h].Nieders, Fehlwert);
  EXPECT_FALSE(m->NiederschlagKomplett);
  EXPECT_FALSE(m->KlimaKomplett);
  EXPECT_TRUE(m->TLuftKomplett && m->FeuchteKomplett && m->WindKomplett && m->StrahlungKomplett &&
              m->WolkenKomplett);

  // First hour: 11.9 degC, 88.4 %, 0 Wh/m2, 5.7 m/s, 10 tenths = 8 octas.
  EXPECT_EQ(m->Klima[1].T_Luft, 11.9f);
  EXPECT_EQ(m->Klima[1].rFeuchte, 88.4f);
  EXPECT_EQ(m->Klima[1].Glob_Str, 0.0f);
  EXPECT_EQ(m->Klima[1].Wind, 5.7f);
  EXPECT_EQ(m->Klima[1].Wolken, 8.0f);
  // 16 June, the row of 08:00: 17.7 degC, 55.1 %, 696.9 W/m2, 2.9 m/s, clear.
  const TKlimaStunde& juni = m->Klima[StundenIndex(167, 7)];
  EXPECT_EQ(juni.T_Luft, 17.7f);
  EXPECT_EQ(juni.rFeuchte, 55.1f);
  EXPECT_EQ(juni.Glob_Str, 696.9f);
  EXPECT_EQ(juni.Wind, 2.9f);
  EXPECT_EQ(juni.Wolken, 0.0f);
  EXPECT_EQ(m->Segmente[1].T_ein[StundenIndex(167, 7)], 17.7f);
  EXPECT_EQ(test::Dateiinhalt(Aachen), vorher);
}

TEST_F(Import, DieMitgelieferteKlimatabelleIstDasAachenerJahr) {
  const std::string tabelle = std::string(TERVAL_DATENVERZEICHNIS) + "/Aachen2022.DBF";
  ASSERT_TRUE(std::filesystem::exists(tabelle)) << tabelle;
  std::string vorher = test::Dateiinhalt(tabelle);
  Lies(Aachen);
  auto epw = NeuesModell();
  *epw = *m;
  Lies(tabelle);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(m->KlimaFeldzahl, 6);
  EXPECT_EQ(std::memcmp(&m->Klima, &epw->Klima, sizeof m->Klima), 0);
  EXPECT_EQ(test::Dateiinhalt(tabelle), vorher);  // nothing to write back
}

TEST_F(Import, EinSchaltjahrVerliertDenNeunundzwanzigstenFebruar) {
  std::string pfad = dir.Datei("schalt.epw");
  test::SchreibeDatei(pfad, EpwJahr(true));
  Lies(pfad);
  EXPECT_TRUE(ui.nachrichten.empty());
  ASSERT_TRUE(m->KlimaGueltig);
  for (int h = 1; h <= Stunden; ++h) ASSERT_NE(m->Klima[h].T_Luft, 77.0f) << h;
  // Day 60 is 1 March; its first row (hour ending 01:00) is hour 0.
  EXPECT_EQ(m->Klima[StundenIndex(59, 23)].T_Luft, 2.4f);
  EXPECT_EQ(m->Klima[StundenIndex(60, 0)].T_Luft, 3.1f);
  EXPECT_EQ(m->Klima[Stunden].T_Luft, 12.4f);
  EXPECT_EQ(m->Klima[1].Wolken, 4.0f);  // 5 tenths
  EXPECT_EQ(m->Klima[1].Nieders, 0.4f);
  EXPECT_EQ(m->Klima[1].Glob_Str, 250.0f);
  EXPECT_TRUE(m->KlimaKomplett);
}

TEST_F(Import, FehlkennungenUndLeereFelderWerdenZuFehlwerten) {
  std::string s = EpwJahr(false);
  size_t erste = std::strlen(EpwKopf);
  size_t zweite = s.find('\n', erste) + 1;
  size_t dritte = s.find('\n', zweite) + 1;
  s.replace(erste, dritte - erste,
            EpwZeile(1, 1, 1, "99.9", "999", "9999", "999", "99", "999") +
                EpwZeile(1, 1, 2, "", "", "", "", "", "") );
  std::string pfad = dir.Datei("luecken.EPW");
  test::SchreibeDatei(pfad, s);
  Lies(pfad);
  ASSERT_TRUE(m->KlimaGueltig);
  for (int h : {1, 2}) {
    const TKlimaStunde& k = m->Klima[h];
    EXPECT_EQ(k.T_Luft, Fehlwert);
    EXPECT_EQ(k.rFeuchte, Fehlwert);
    EXPECT_EQ(k.Glob_Str, Fehlwert);
    EXPECT_EQ(k.Wind, Fehlwert);
    EXPECT_EQ(k.Wolken, Fehlwert);
    EXPECT_EQ(k.Nieders, Fehlwert);
  }
  EXPECT_EQ(m->Klima[3].T_Luft, 1.3f);
  EXPECT_EQ(m->Klima[3].Wolken, 4.0f);
  EXPECT_FALSE(m->TLuftKomplett);
  EXPECT_FALSE(m->WolkenKomplett);
}

TEST_F(Import, EineVerstuemmelteEpwWirdAbgelehnt) {
  std::string muell = EpwJahr(false);
  size_t p = std::strlen(EpwKopf);
  for (int i = 0; i < 9; ++i) p = muell.find('\n', p) + 1;  // the tenth data row is file line 18
  muell.insert(p, "Datenmuell\n");
  std::string viertel = EpwJahr(false);  // several records per hour
  viertel.replace(viertel.find("DATA PERIODS,1,1,"), 17, "DATA PERIODS,1,4,");
  const std::pair<std::string, std::string> faelle[] = {
      {muell, "Zeile 18 hat 1 Felder; eine Datenzeile hat 35."},
      {std::string(EpwKopf) + EpwZeile(1, 1, 1, "warm", "80", "0", "1", "5", "0"),
       "Zeile 9, Feld 7 enthält \"warm\", keine Zahl."},
      {viertel, "Die Datei hat 4 Werte je Stunde; gelesen werden nur Stundenwerte."},
      // No LOCATION line: not a weather file of this kind.
      {"Jahr,Monat,Tag\n", "Die erste Zeile beginnt nicht mit LOCATION."},
  };
  const std::string pfad = dir.Datei("muell.epw");
  for (const auto& [inhalt, grund] : faelle) {
    SCOPED_TRACE(grund);
    ui.nachrichten.clear();
    test::SchreibeDatei(pfad, inhalt);
    Lies(pfad);
    const std::string meldung = "Die EnergyPlus-Wetterdatei " + pfad + " kann nicht gelesen werden:\r" + grund;
    EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Fehler", meldung}}));
    EXPECT_FALSE(m->KlimaGueltig);
    EXPECT_EQ(m->Klima[1].T_Luft, Fehlwert);
  }
}

TEST_F(Import, EineKurzeEpwIstWenigerAlsEinJahr) {
  std::string s = EpwKopf;
  for (int i = 1; i <= 100; ++i) s += EpwZeile(1, 1 + (i - 1) / 24, 1 + (i - 1) % 24, "1", "80", "0", "1", "5", "0");
  std::string pfad = dir.Datei("kurz.epw");
  test::SchreibeDatei(pfad, s);
  Lies(pfad);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0],
            (test::Nachricht{"Meldung", "Datenbank " + pfad +
                                            "enthält weniger Daten als ein Jahr !\rDatei muß als Dantengrundlage "
                                            "abgeleht werden !"}));
  EXPECT_FALSE(m->KlimaGueltig);
}

TEST_F(Import, ZurueckschreibenInEineImportdateiBehaeltDieDatenImSpeicher) {
  std::string pfad = dir.Datei("jahr.epw");
  test::SchreibeDatei(pfad, EpwJahr(false));
  Lies(pfad);
  ASSERT_TRUE(m->KlimaGueltig);
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Nieders = 0.25f;  // as if generated
  auto vorher = NeuesModell();
  *vorher = *m;

  EXPECT_FALSE(WriteKlimaDB(*m, ui));
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0],
            (test::Nachricht{"Information",
                             "Die Klimadaten stammen aus einer Datei, die nur gelesen werden kann "
                             "(EnergyPlus-Wetterdatei).\rDie Daten bleiben im Speicher und werden nicht in die "
                             "Datei geschrieben."}));
  EXPECT_EQ(std::memcmp(&m->Klima, &vorher->Klima, sizeof m->Klima), 0);
  EXPECT_EQ(test::Dateiinhalt(pfad), EpwJahr(false));
  EXPECT_FALSE(m->KlimaDBOffen);
}

// ---- Test reference years ----------------------------------------------------------

// A year in the 2011 layout (legend, "RG ..." name line, "***") or the 2017
// layout (coordinates RW/HW, other column order, no "***" line).
std::string TryJahr(bool ausgabe2017) {
  std::string s =
      "Koordinatensystem : Lambert konform konisch\n"
      "Rechtswert        : 4201500 Meter\n"
      "Art des TRY       : mittleres Jahr\n"
      "Reihenfolge der Parameter:\n";
  s += ausgabe2017 ? "RW Rechtswert                                                    [m]\n"
                   : "RG TRY-Region                                                    {1..15}\n";
  s += "t  Lufttemperatur in 2m Hoehe ueber Grund                  [GradC]\n"
       "N  Bedeckungsgrad                                          [Achtel]\n\n";
  s += ausgabe2017 ? "RW      HW      MM DD HH     t    p  WR   WG  N    x  RF    B    D    A    E IL\n"
                   : "RG IS MM DD HH  N  WR   WG     t    p    x  RF    B    D    A    E IL\n***\n";
  for (int i = 0; i < 8760; ++i) {
    std::string t = std::to_string(i % 20 - 5) + ".5";
    std::string n = std::to_string(i % 10);
    std::string b = std::to_string(100 + i % 3);
    if (ausgabe2017) {
      s += "4201500 2918500  1  1  1 " + t + " 1013 220  3.5 " + n + "  4.5  70 " + b + "   50  300 -350  9\n";
    } else {
      s += " 5  1  1  1  1 " + n + " 220  3.5 " + t + " 1013  4.5  70 " + b + "   50  300 -350  9\n";
    }
  }
  return s;
}

TEST_F(Import, TestreferenzjahreBeiderAusgabenLiefernBPlusD) {
  for (bool ausgabe2017 : {false, true}) {
    ui.nachrichten.clear();
    std::string pfad = dir.Datei(ausgabe2017 ? "TRY2017_Mittel.dat" : "TRY2011_Mittel.DAT");
    test::SchreibeDatei(pfad, TryJahr(ausgabe2017));
    Lies(pfad);
    EXPECT_TRUE(ui.nachrichten.empty()) << pfad;
    ASSERT_TRUE(m->KlimaGueltig) << pfad;
    EXPECT_EQ(m->KlimaFeldzahl, 6);
    EXPECT_EQ(m->Klima[1].Glob_Str, 150.0f);
    EXPECT_EQ(m->Klima[2].Glob_Str, 151.0f);
    EXPECT_EQ(m->Klima[3].Glob_Str, 152.0f);
    EXPECT_EQ(m->Klima[1].T_Luft, -5.5f);
    EXPECT_EQ(m->Klima[20].T_Luft, 14.5f);
    EXPECT_EQ(m->Klima[1].rFeuchte, 70.0f);
    EXPECT_EQ(m->Klima[1].Wind, 3.5f);
    EXPECT_EQ(m->Klima[9].Wolken, 8.0f);
    EXPECT_EQ(m->Klima[10].Wolken, Fehlwert);  // 9: sky not visible
    for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->Klima[h].Nieders, Fehlwert);
    EXPECT_TRUE(m->TLuftKomplett && m->FeuchteKomplett && m->WindKomplett && m->StrahlungKomplett);
    EXPECT_FALSE(m->NiederschlagKomplett);
    EXPECT_FALSE(m->WolkenKomplett);
  }
}

TEST_F(Import, EinTestreferenzjahrOhneNamenszeileOderMitKaputterZeileWirdAbgelehnt) {
  std::string pfad = dir.Datei("try.dat");
  std::string s = TryJahr(false);
  s.replace(s.find("RG IS"), 2, "XX");
  test::SchreibeDatei(pfad, s);
  Lies(pfad);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0],
            (test::Nachricht{"Fehler", "Das Testreferenzjahr " + pfad +
                                           " kann nicht gelesen werden:\rDie Zeile mit den Spaltennamen (sie "
                                           "beginnt mit RG oder RW und nennt t, RF, WG, N, B und D) fehlt."}));

  ui.nachrichten.clear();
  s = TryJahr(false);
  size_t p = s.find("***\n") + 4;
  s.insert(p, " 5  1  1  1  1  8 220\n");
  test::SchreibeDatei(pfad, s);
  Lies(pfad);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].text, "Das Testreferenzjahr " + pfad +
                                        " kann nicht gelesen werden:\rZeile 11 hat 7 Werte, die Namenszeile nennt 17.");
  EXPECT_FALSE(m->KlimaGueltig);

  ui.nachrichten.clear();
  EXPECT_FALSE(WriteKlimaDB(*m, ui));
  EXPECT_EQ(ui.Texte("Information"),
            std::vector<std::string>{"Die Klimadaten stammen aus einer Datei, die nur gelesen werden kann "
                                     "(Testreferenzjahr des DWD).\rDie Daten bleiben im Speicher und werden nicht "
                                     "in die Datei geschrieben."});
}

}  // namespace
}  // namespace terval
