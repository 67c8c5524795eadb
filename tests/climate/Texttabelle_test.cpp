// The climate table as a text file: separators, layout kept on write-back,
// and refusals with line and column.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "Klimatabellen.h"
#include "climate/DBKlima.h"
#include "model/Vardef.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

// The lines of a year: `kopf`, then one line per hour built by `zeile`.
template <typename F>
std::vector<std::string> Zeilen(const std::string& kopf, int n, F zeile) {
  std::vector<std::string> z{kopf};
  for (int i = 0; i < n; ++i) z.push_back(zeile(i));
  return z;
}

std::string Verbinde(const std::vector<std::string>& zeilen, const std::string& ende) {
  std::string s;
  for (const auto& z : zeilen) s += z + ende;
  return s;
}

ino_t Inode(const std::string& pfad) {
  struct stat st {};
  stat(pfad.c_str(), &st);
  return st.st_ino;
}

class Textklima : public ::testing::Test {
 protected:
  void SetUp() override {
    m = NeuesModell();
    SetzeStartzustand(*m);
  }
  std::string Datei(const std::string& name, const std::string& inhalt) {
    std::string pfad = dir.Datei(name);
    test::SchreibeDatei(pfad, inhalt);
    return pfad;
  }
  void Lies(const std::string& pfad) {
    m->DBKlimaName = pfad;
    ReadKlimaDB(*m, ui);
  }
  test::Testverzeichnis dir;
  std::unique_ptr<Modell> m;
  test::Aufzeichner ui;
};

TEST_F(Textklima, SemikolonTabulatorUndLeerzeichenTrennenGleich) {
  auto zeile = [](int i, const std::string& t) {
    std::string s = std::to_string(i + 1);
    for (std::string w : {std::to_string(i % 30) + ".5", std::string("80"), std::string("2.25"),
                          std::to_string(i % 500), std::string("0.1"), std::string("6")})
      s += t + w;
    return s;
  };
  const std::string semi = Datei("semi.txt", Verbinde(Zeilen("Nr;T;rF;W;G;N;B", 8760, [&](int i) { return zeile(i, ";"); }), "\n"));
  const std::string tab = Datei("tab.txt", Verbinde(Zeilen("Nr\tT\trF\tW\tG\tN\tB", 8760, [&](int i) { return zeile(i, "\t"); }), "\n"));
  const std::string blank = Datei("blank.txt", Verbinde(Zeilen("  Nr   T  rF  W   G   N  B", 8760, [&](int i) { return "  " + zeile(i, "   "); }), "\n"));
  for (const auto& pfad : {semi, tab, blank}) {
    std::string vorher = test::Dateiinhalt(pfad);
    Lies(pfad);
    EXPECT_TRUE(ui.nachrichten.empty()) << pfad;
    EXPECT_EQ(m->KlimaFeldzahl, 6);
    EXPECT_EQ(m->Klima[8760].T_Luft, 29.5f);  // record 8759: 8759 % 30 = 29
    EXPECT_EQ(m->Klima[8760].Glob_Str, 259.0f);
    EXPECT_EQ(m->Klima[1].Wind, 2.25f);
    EXPECT_EQ(m->Klima[1].Nieders, 0.1f);
    EXPECT_TRUE(m->KlimaKomplett);
    EXPECT_EQ(test::Dateiinhalt(pfad), vorher);
  }
}

TEST_F(Textklima, ZurueckschreibenBehaeltAufbauBomUndZeilenenden) {
  // Column 0 a date text, numbers with trailing zeros, an eighth column.
  auto zeile = [](int i) {
    std::string s = "2022-01-01T" + std::to_string(i) + ";  12.50;80;3.0;";
    s += i == 2 ? "abc" : "100";
    s += i == 3 ? ";;" : ";0.0;";
    s += "4;;x";
    return s;
  };
  auto zeilen = Zeilen("Zeit;T_Luft;rF;Wind;Glob;Nied;Wolken;Vol;Bemerkung", 8760, zeile);
  std::string pfad = Datei("layout.txt", "\xEF\xBB\xBF" + Verbinde(zeilen, "\r\n"));
  Lies(pfad);

  // Eight data columns: the seventh is the flow, the eighth is ignored.
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].art, "Information");
  EXPECT_TRUE(m->Kanalbetrieb.VolStromAusKlima);
  EXPECT_EQ(m->Klima[3].Glob_Str, Fehlwert);  // "abc" is no number
  EXPECT_EQ(m->Klima[4].Nieders, Fehlwert);
  EXPECT_EQ(m->Klima[1].T_Luft, 12.5f);
  EXPECT_EQ(m->Klima[1].Vol_Strom, Fehlwert);

  zeilen[3] = "2022-01-01T2;  12.50;80;3.0;-999;0.0;4;;x";
  zeilen[4] = "2022-01-01T3;  12.50;80;3.0;100;-999;4;;x";
  EXPECT_EQ(test::Dateiinhalt(pfad), "\xEF\xBB\xBF" + Verbinde(zeilen, "\r\n"));
  EXPECT_EQ(dir.Eintraege(), std::vector<std::string>{"layout.txt"});
}

TEST_F(Textklima, EineDateiOhneAenderungBleibtDieselbeDatei) {
  auto zeilen = Zeilen("n t f w g", 8760, [](int i) { return std::to_string(i) + " 1.50 2 3 4"; });
  std::string pfad = Datei("fertig.txt", Verbinde(zeilen, "\n"));
  ino_t vorher = Inode(pfad);
  Lies(pfad);
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_EQ(m->KlimaFeldzahl, 4);
  EXPECT_EQ(Inode(pfad), vorher);
}

TEST_F(Textklima, LeerzeichengetrennteSpaltenBleibenRechtsbuendig) {
  auto zeilen = Zeilen("   n      t     f", 8760, [](int i) { return "   " + std::to_string(i % 10) + "   12.5   80.0   1   2"; });
  zeilen[0] = "   n      t     f     w     g";
  zeilen[1] = "   0      x   80.0   1   2";   // no number: -999 takes blanks of the gap
  zeilen[2] = "   1   1e39   80.0   1   2";   // too large for single precision
  zeilen[3] = "   2   12.5    nan   1   2";
  std::string pfad = Datei("blank.txt", Verbinde(zeilen, "\n"));
  Lies(pfad);
  EXPECT_EQ(m->Klima[1].T_Luft, Fehlwert);
  EXPECT_EQ(m->Klima[2].T_Luft, Fehlwert);
  EXPECT_EQ(m->Klima[3].rFeuchte, Fehlwert);
  EXPECT_FALSE(m->TLuftKomplett);

  zeilen[1] = "   0   -999   80.0   1   2";
  zeilen[2] = "   1   -999   80.0   1   2";
  zeilen[3] = "   2   12.5   -999   1   2";
  EXPECT_EQ(test::Dateiinhalt(pfad), Verbinde(zeilen, "\n"));
}

TEST_F(Textklima, KommaAlsDezimaltrennzeichenWirdMitZeileUndSpalteAbgelehnt) {
  auto zeilen = Zeilen("Nr;T;rF;W;G", 8760, [](int i) { return std::to_string(i) + ";1.5;80;2;0"; });
  zeilen[3] = "2;1.5;80,5;2;0";
  std::string pfad = Datei("komma.txt", Verbinde(zeilen, "\n"));
  std::string inhalt = test::Dateiinhalt(pfad);
  Lies(pfad);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0],
            (test::Nachricht{"Fehler", "Die Klimatabelle " + pfad +
                                           " kann nicht gelesen werden:\rZeile 4, Spalte 2 (relative Feuchte) "
                                           "enthält \"80,5\".\rBitte verwenden Sie den Punkt als "
                                           "Dezimaltrennzeichen."}));
  EXPECT_FALSE(m->KlimaGueltig);
  EXPECT_EQ(m->Klima[1].T_Luft, Fehlwert);  // the start state is untouched
  EXPECT_EQ(test::Dateiinhalt(pfad), inhalt);
}

TEST_F(Textklima, EineZeileMitFalscherSpaltenzahlWirdAbgelehnt) {
  auto zeilen = Zeilen("Nr T rF W G", 8760, [](int i) { return std::to_string(i) + " 1.5 80 2 0"; });
  zeilen[5000] = "4999 1.5 80 2";
  std::string pfad = Datei("kaputt.txt", Verbinde(zeilen, "\n"));
  Lies(pfad);
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0],
            (test::Nachricht{"Fehler", "Die Klimatabelle " + pfad +
                                           " kann nicht gelesen werden:\rZeile 5001 hat 4 Spalten, die "
                                           "Kopfzeile hat 5."}));
  EXPECT_FALSE(m->KlimaGueltig);
}

TEST_F(Textklima, LeereDateiUndNurKopfzeileSindZuKurz) {
  for (std::string inhalt : {std::string(), std::string("Nr;T;rF;W;G\r\n"), std::string("\n\n")}) {
    ui.nachrichten.clear();
    std::string pfad = Datei("leer.txt", inhalt);
    Lies(pfad);
    ASSERT_EQ(ui.nachrichten.size(), 1u);
    EXPECT_EQ(ui.nachrichten[0].art, "Meldung");
    EXPECT_EQ(ui.nachrichten[0].text, "Datenbank " + pfad +
                                          "enthält weniger Daten als ein Jahr !\rDatei muß als "
                                          "Dantengrundlage abgeleht werden !");
  }
}

TEST_F(Textklima, LeerzeilenZaehlenNichtUndBleibenErhalten) {
  auto zeilen = Zeilen("Nr;T;rF;W;G", 8760, [](int i) { return std::to_string(i) + ";1.5;;2;0"; });
  zeilen.insert(zeilen.begin() + 100, "");
  zeilen.push_back("");
  std::string pfad = Datei("luft.txt", Verbinde(zeilen, "\n"));
  Lies(pfad);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_EQ(m->Klima[8760].rFeuchte, Fehlwert);
  for (auto& z : zeilen)
    if (!z.empty() && z != zeilen[0]) z = z.substr(0, z.find(";;")) + ";-999;2;0";
  EXPECT_EQ(test::Dateiinhalt(pfad), Verbinde(zeilen, "\n"));
}

}  // namespace
}  // namespace terval
