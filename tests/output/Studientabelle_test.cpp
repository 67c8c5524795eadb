// The variant study's table: its text read back cell for cell whatever the
// cells hold, the same rows in the dBASE table as an independent reader
// sees them, and the broken files a join may be handed.
#include "output/Studientabelle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/TabellenTesthilfen.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

class Studientabellen : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  std::string Pfad(const char* name) const { return (dir / name).string(); }
  fs::path dir = fs::temp_directory_path() / ("terval_studientabelle_" + std::to_string(::getpid()));
};

TEST_F(Studientabellen, CellsComeBackAsWrittenInBothFiles) {
  Studientabelle t;
  t.Spalten = {"Studie", "Zeile", "Name", "Kanal", "Waermegewinn_kWh", "Meldung"};
  t.Zeilen = {{"00ab", "1", "ost;west", "a \"b\".ewt.db", "1234.56", ""},
              {"00ab", "2", " zwei ", "\"zitiert\"", "", "Die Tiefe ist zu groß; nicht gerechnet."},
              {"00ab", "10", "Ü", "", "-0.5", ""}};
  std::string fehler;
  ASSERT_TRUE(SchreibeStudientabelle(t, Pfad("s.csv"), Pfad("s.dbf"), fehler)) << fehler;
  Studientabelle z;
  ASSERT_TRUE(LiesStudientabelle(Pfad("s.csv"), z, fehler)) << fehler;
  EXPECT_EQ(z.Spalten, t.Spalten);
  EXPECT_EQ(z.Zeilen, t.Zeilen);
  EXPECT_EQ(z.Spalte("Meldung"), 5);
  EXPECT_EQ(z.Spalte("Farbe"), -1);

  // Numbers become number fields, the rest text; long names get the short ones a reader knows.
  auto dbf = DbfTabelle::Oeffnen(Pfad("s.dbf"), fehler);
  ASSERT_TRUE(dbf) << fehler;
  EXPECT_EQ(dbf->Feldname(4), "GEWINN_KWH");
  EXPECT_EQ(dbf->LiesZahl(0, 4), 1234.56);
  EXPECT_TRUE(dbf->IstLeer(1, 4));
  EXPECT_EQ(dbf->LiesZahl(2, 1), 10);
  EXPECT_EQ(dbf->LiesText(1, 5), "Die Tiefe ist zu groß; nicht gerechnet.");
  dbf.reset();
  if (const auto u = test::UnterschiedZuDbfread(Pfad("s.dbf"))) {
    EXPECT_EQ(*u, "");
  }
}

TEST_F(Studientabellen, BrokenTablesAreRefusedWithTheirReason) {
  const std::pair<const char*, const char*> faelle[] = {
      {"", "ist leer"},
      {"A;B\n1;2;3\n", "die Datenzeile 1 hat 3 statt 2 Felder"},
      {"A;B\n\"1;2\n", "Zeile 2: ein Anführungszeichen wird nicht geschlossen"},
      {"A;B\n\"1\"x;2\n", "Zeile 2: nach dem schließenden Anführungszeichen folgt Text"},
  };
  for (const auto& [inhalt, meldung] : faelle) {
    std::ofstream(Pfad("b.csv")) << inhalt;
    Studientabelle t;
    std::string fehler;
    EXPECT_FALSE(LiesStudientabelle(Pfad("b.csv"), t, fehler));
    EXPECT_NE(fehler.find(meldung), std::string::npos) << fehler;
  }
  // A byte-order mark and Windows line ends, as spreadsheets save.
  std::ofstream(Pfad("b.csv")) << "\xEF\xBB\xBFName;Tiefe\r\nA; 2 \r\n\r\n";
  Studientabelle t;
  std::string fehler;
  ASSERT_TRUE(LiesStudientabelle(Pfad("b.csv"), t, fehler)) << fehler;
  EXPECT_EQ(t.Spalten, (std::vector<std::string>{"Name", "Tiefe"}));
  EXPECT_EQ(t.Zeilen, (std::vector<std::vector<std::string>>{{"A", "2"}}));
  EXPECT_FALSE(LiesStudientabelle(Pfad("fehlt.csv"), t, fehler));
}

}  // namespace
}  // namespace terval
