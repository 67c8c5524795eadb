#include "output/DBErgout.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/Aufzeichner.h"
#include "model/Vardef.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

// The test channel of the golden files: three segments of 2.5 m, the middle
// one a register of four pipes. Every value is computed in double and stored
// as float, by the same formulas as tests/data/output/golden_erzeugen.py,
// which wrote the golden files independently of this code.
void FuelleTestmodell(Modell& m) {
  m.Anz_Segmente = 3;
  m.Rohrdaten.Seglaenge = 2.5f;
  m.Segmente[1].Anz_Rohre = 1;
  m.Segmente[2].Anz_Rohre = 4;
  m.Segmente[3].Anz_Rohre = 1;
  for (int d = 1; d <= 365; ++d) {
    for (int k = 0; k <= 23; ++k) {
      const int h = StundenIndex(d, k);
      m.Segmente[1].T_ein[h] = static_cast<float>(-0.5 + 0.3 * k + 0.01 * (d - 1));
      for (int s = 1; s <= 3; ++s) {
        Kanalsegment& seg = m.Segmente[s];
        seg.T_aus[h] = static_cast<float>(static_cast<double>(seg.T_ein[h]) + 0.7 * s);
        if (s < 3) m.Segmente[s + 1].T_ein[h] = seg.T_aus[h];
        seg.VolStromRohr[h] = static_cast<float>((123.456 + 0.1 * k - 10.0 * (s - 1)) / 3600.0);
        seg.Alpha[h] = static_cast<float>(10.3 + 0.02 * d + s);
      }
      float w[18];
      for (int j = 0; j < 18; ++j) w[j] = static_cast<float>((j + 1) * 1.1 - 3.3 + 0.01 * k + 0.001 * d);
      TKlimaStunde& kl = m.Klima[h];
      kl.rFeuchte = w[0], kl.e = w[1], kl.Esat = w[2], kl.Wind = w[3], kl.Glob_Str = w[4];
      kl.Lw_Str = w[5], kl.Net_Boden = w[6], kl.G = w[7], kl.ra = w[8], kl.p_Verd_mm = w[9];
      kl.r_Verd_mm = w[10], kl.p_Verd_W = w[11], kl.Eta_kanal = w[12], kl.Eta_z1 = w[13];
      kl.Eta_z3 = w[14], kl.Eta_z5 = w[15];
      kl.Wolken = 5.0f;
      kl.Nieders = k == 13 ? 1.7f : 0.0f;
    }
  }
  m.LetzteSpalte = 2;
  for (int c = 0; c <= 2; ++c)
    for (int r = 0; r < Zeilen; ++r) m.T_Feld[c][r] = static_cast<float>(10.0 + 0.3 * c - 0.2 * r);
  for (int r = 0; r < Zeilen; ++r) m.Theta[r] = 0.2 + 0.01 * r;
}

std::string LiesDatei(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Golden(const std::string& name) {
  return LiesDatei(fs::path(TERVAL_QUELLVERZEICHNIS) / "tests/data/output" / name);
}

// Lines without their CR LF; fails the test when a line ends otherwise.
std::vector<std::string> ZeilenVon(const std::string& inhalt) {
  std::vector<std::string> z;
  size_t anfang = 0;
  while (anfang < inhalt.size()) {
    size_t ende = inhalt.find("\r\n", anfang);
    if (ende == std::string::npos) {
      ADD_FAILURE() << "letzte Zeile ohne CR LF";
      z.push_back(inhalt.substr(anfang));
      break;
    }
    std::string zeile = inhalt.substr(anfang, ende - anfang);
    EXPECT_EQ(zeile.find_first_of("\r\n"), std::string::npos) << "einzelnes CR oder LF in Zeile " << z.size() + 1;
    z.push_back(std::move(zeile));
    anfang = ende + 2;
  }
  return z;
}

std::vector<std::string> Spalten(const std::string& zeile) {
  std::istringstream s(zeile);
  return {std::istream_iterator<std::string>(s), {}};
}

// Records what the writers show besides messages.
class Schreibbeobachter : public test::Aufzeichner {
 public:
  std::vector<std::string> ereignisse;
  std::vector<int> fortschritt;
  void Sanduhr(bool an) override { ereignisse.push_back(an ? "Sanduhr an" : "Sanduhr aus"); }
  void SchreibfensterZeigen(const std::string& label) override { ereignisse.push_back("Zeigen " + label); }
  void SchreibfensterFortschritt(int tag) override { fortschritt.push_back(tag); }
  void SchreibfensterVerbergen() override { ereignisse.push_back("Verbergen"); }
};

class Ergebnisdateien : public ::testing::Test {
 protected:
  void SetUp() override {
    m = NeuesModell();
    FuelleTestmodell(*m);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / (std::string("terval_output_") + info->name() + "_" +
                                       std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Only the named files, nothing left over from temporary writing.
  std::vector<std::string> Dateien() const {
    std::vector<std::string> namen;
    for (const auto& e : fs::directory_iterator(dir)) namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    return namen;
  }

  std::unique_ptr<Modell> m;
  fs::path dir;
  Schreibbeobachter ui;
};

TEST_F(Ergebnisdateien, KanalprofilMatchesGoldenFile) {
  EXPECT_TRUE(WriteTextKanalData(*m, ui, 14, dir.string(), "Terval"));
  EXPECT_EQ(Dateien(), std::vector<std::string>{"Terval Kanal Tag 14.TXT"});
  EXPECT_EQ(LiesDatei(dir / "Terval Kanal Tag 14.TXT"), Golden("kanal_tag14.txt"));
  // The writer window shows the name but the bar is left alone.
  EXPECT_EQ(ui.ereignisse, (std::vector<std::string>{"Sanduhr an", "Zeigen Schreibe \"Terval Kanal Tag 14.TXT\"",
                                                      "Verbergen", "Sanduhr aus"}));
  EXPECT_TRUE(ui.fortschritt.empty());
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST_F(Ergebnisdateien, KanalprofilOfOneSegmentHasEqualChanges) {
  m->Anz_Segmente = 1;
  ASSERT_TRUE(WriteTextKanalData(*m, ui, 258, dir.string(), "Eins"));
  auto z = ZeilenVon(LiesDatei(dir / "Eins Kanal Tag 258.TXT"));
  ASSERT_EQ(z.size(), 3u);
  auto s = Spalten(z[2]);
  ASSERT_EQ(s.size(), 9u);
  EXPECT_EQ(s[0], "1");
  EXPECT_EQ(s[1], "2.50");  // the channel length
  EXPECT_EQ(s[5], s[6]);
}

TEST_F(Ergebnisdateien, TagesgangMatchesGoldenFileWhateverTheOneHourOption) {
  m->NurEinTermin = true;
  m->AusgabeStunde = 5;
  EXPECT_TRUE(WriteTagesgang(*m, ui, 14, dir.string(), "Terval"));
  EXPECT_EQ(LiesDatei(dir / "Terval Verlauf Tag 14.TXT"), Golden("verlauf_tag14.txt"));
  EXPECT_EQ(ui.fortschritt, std::vector<int>{14});
  EXPECT_EQ(ui.ereignisse.at(1), "Zeigen Schreibe \"Terval Verlauf Tag 14.TXT\"");
}

TEST_F(Ergebnisdateien, GesamtergebnisFullYear) {
  ASSERT_TRUE(WriteTextSegmentData(*m, ui, dir.string(), "Terval"));
  EXPECT_EQ(Dateien(), std::vector<std::string>{"Terval Gesamtergebnis.TXT"});
  const std::string inhalt = LiesDatei(dir / "Terval Gesamtergebnis.TXT");
  auto z = ZeilenVon(inhalt);
  ASSERT_EQ(z.size(), 2u + 8760u);

  // Same credits line as the other files, written in Windows-1252.
  const auto verlauf = ZeilenVon(Golden("verlauf_tag14.txt"));
  EXPECT_EQ(z[0], verlauf[0]);
  EXPECT_NE(z[0].find("Erdw\xE4rmetauscher"), std::string::npos);
  EXPECT_EQ(inhalt.find("\xC3\xA4"), std::string::npos);
  EXPECT_EQ(z[1],
            "# N Tag Stunde T_ein T_aus T_delta Vol_Strom RFeuchte e Esat Wind Glob-str. Lw_Str "
            "Net_Boden G ra pot_Verd_mm real_Verd_mm pot_Verd_W Eta_kanal Eta_z1 Eta_z3 Eta_z5 "
            "Wolken Niederschl");

  // N, Tag and Stunde padded to 3, 3 and 2; -0.5 -> -0.50, 123.456 -> 123.46, 5 -> 5.00.
  EXPECT_EQ(z[2],
            "  1   1  0 -0.50 3.70 4.20 123.46 -2.20 -1.10 0.00 1.10 2.20 3.30 4.40 5.50 6.60 "
            "7.70 8.80 9.90 11.00 12.10 13.20 14.30 5.00 0.00");
  EXPECT_EQ(z.back(),
            "8760 365 23 10.04 14.24 4.20 125.76 -1.61 -0.50 0.60 1.70 2.80 3.89 4.99 6.09 7.20 "
            "8.30 9.40 10.49 11.60 12.69 13.80 14.90 5.00 0.00");

  // Day 14 equals the golden day course apart from the running number.
  for (int k = 0; k < 24; ++k) {
    auto gesamt = Spalten(z[2 + 13 * 24 + k]);
    auto tag = Spalten(verlauf[2 + k]);
    EXPECT_EQ(gesamt[0], std::to_string(13 * 24 + k + 1));
    gesamt.erase(gesamt.begin());
    tag.erase(tag.begin());
    EXPECT_EQ(gesamt, tag) << "Stunde " << k;
  }

  // The bar is set at the start of every day.
  ASSERT_EQ(ui.fortschritt.size(), 365u);
  for (int d = 1; d <= 365; ++d) EXPECT_EQ(ui.fortschritt[d - 1], d);
  EXPECT_EQ(ui.ereignisse.at(1), "Zeigen Schreibe \"Terval Gesamtergebnis.TXT\"");
  EXPECT_EQ(ui.ereignisse.back(), "Sanduhr aus");
}

TEST_F(Ergebnisdateien, GesamtergebnisOneHourPerDay) {
  m->NurEinTermin = true;
  m->AusgabeStunde = 12;
  ASSERT_TRUE(WriteTextSegmentData(*m, ui, dir.string(), "Mittag"));
  auto z = ZeilenVon(LiesDatei(dir / "Mittag Gesamtergebnis.TXT"));
  ASSERT_EQ(z.size(), 2u + 365u);
  for (int d = 1; d <= 365; ++d) {
    auto s = Spalten(z[1 + d]);
    ASSERT_EQ(s.size(), 25u);
    EXPECT_EQ(s[0], std::to_string(d));
    EXPECT_EQ(s[1], std::to_string(d));
    EXPECT_EQ(s[2], "12");
  }
  EXPECT_EQ(z[2].substr(0, 10), "  1   1 12");
  EXPECT_EQ(ui.fortschritt.size(), 365u);
}

TEST_F(Ergebnisdateien, OneSegmentTakesInletAndOutletFromTheSameSegment) {
  m->Anz_Segmente = 1;
  ASSERT_TRUE(WriteTextSegmentData(*m, ui, dir.string(), "E"));
  auto z = ZeilenVon(LiesDatei(dir / "E Gesamtergebnis.TXT"));
  auto s = Spalten(z[2]);
  EXPECT_EQ(s[3], "-0.50");
  EXPECT_EQ(s[4], "0.20");  // segment 1 adds 0.7 K
  EXPECT_EQ(s[5], "0.70");
}

TEST_F(Ergebnisdateien, FieldMatchesGoldenFileAndShowsNothing) {
  WriteField(*m, 5, 14, dir.string(), "Terval");
  EXPECT_EQ(Dateien(), std::vector<std::string>{"Terval2D Feld Seg   5 Tag  14.DAT"});
  const std::string inhalt = LiesDatei(dir / "Terval2D Feld Seg   5 Tag  14.DAT");
  EXPECT_EQ(inhalt, Golden("feld_seg5_tag14.dat"));
  EXPECT_EQ(ZeilenVon(inhalt).size(), 1u + 17u * 3u);
  EXPECT_TRUE(ui.ereignisse.empty());
}

TEST_F(Ergebnisdateien, FieldOfTheWidestGrid) {
  m->LetzteSpalte = 39;
  for (int c = 0; c < MaxSpalten; ++c)
    for (int r = 0; r < Zeilen; ++r) m->T_Feld[c][r] = -0.004f;
  WriteField(*m, 123, 166, dir.string(), "W");
  auto z = ZeilenVon(LiesDatei(dir / "W2D Feld Seg 123 Tag 166.DAT"));
  ASSERT_EQ(z.size(), 681u);
  EXPECT_EQ(z[0], "X Z T eta");
  EXPECT_EQ(z[1].substr(0, 10), "0.00 0.00 ");
  EXPECT_EQ(z.back().substr(0, 12), "19.50 -8.00 ");
  // Every line of a row carries the row's moisture.
  for (int r = 0; r < Zeilen; ++r)
    for (int c = 0; c < MaxSpalten; ++c) EXPECT_EQ(Spalten(z[1 + r * 40 + c])[3], Spalten(z[1 + r * 40])[3]);
  EXPECT_EQ(FeldDateiname("W", 123, 166), "W2D Feld Seg 123 Tag 166.DAT");
  EXPECT_EQ(FeldDateiname("S", 5, 14), "S2D Feld Seg   5 Tag  14.DAT");
}

TEST_F(Ergebnisdateien, AnExistingFileIsReplaced) {
  std::ofstream(dir / "Terval Kanal Tag 74.TXT") << "alt, viel laenger als die neue Datei\n"
                                                 << std::string(5000, 'x');
  ASSERT_TRUE(WriteTextKanalData(*m, ui, 74, dir.string(), "Terval"));
  auto z = ZeilenVon(LiesDatei(dir / "Terval Kanal Tag 74.TXT"));
  EXPECT_EQ(z.size(), 5u);
  EXPECT_EQ(Dateien(), std::vector<std::string>{"Terval Kanal Tag 74.TXT"});
}

TEST_F(Ergebnisdateien, AFileThatCannotBeCreatedIsNotClaimedAndNotReported) {
  const std::string fehlt = (dir / "gibt es nicht").string();
  EXPECT_FALSE(WriteTextSegmentData(*m, ui, fehlt, "Terval"));
  EXPECT_FALSE(WriteTextKanalData(*m, ui, 14, fehlt, "Terval"));
  EXPECT_FALSE(WriteTagesgang(*m, ui, 14, fehlt, "Terval"));
  WriteField(*m, 1, 14, fehlt, "Terval");
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_TRUE(Dateien().empty());
  // The writer window is hidden and the cursor restored all the same.
  EXPECT_EQ(ui.ereignisse.back(), "Sanduhr aus");
}

// ---- The table form, read back by an independent reader --------------------

const char* const Python = "/usr/bin/python3";

bool DbfreadVorhanden() {
  if (!fs::exists(Python)) return false;
  return std::system((std::string(Python) + " -c 'import dbfread' 2>/dev/null").c_str()) == 0;
}

// Runs a Python snippet and returns its standard output.
std::string Python3(const std::string& programm, const fs::path& dir) {
  const fs::path skript = dir / "lies.py";
  std::ofstream(skript) << programm;
  std::string befehl = std::string(Python) + " '" + skript.string() + "'";
  std::FILE* p = ::popen(befehl.c_str(), "r");
  std::string aus;
  char puffer[4096];
  size_t n;
  while ((n = std::fread(puffer, 1, sizeof puffer, p)) > 0) aus.append(puffer, n);
  ::pclose(p);
  return aus;
}

TEST_F(Ergebnisdateien, TableReadBackHasTheFieldsAndTheOppositeDelta) {
  if (!DbfreadVorhanden()) GTEST_SKIP() << "python3-dbfread fehlt";
  ASSERT_TRUE(WriteDBSegmentData(*m, ui, dir.string(), "Terval"));
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(ui.ereignisse.at(1), "Zeigen Schreibe \"Terval Gesamtergebnis\"");
  EXPECT_EQ(ui.fortschritt.size(), 365u);
  ASSERT_TRUE(fs::exists(dir / "Terval Gesamtergebnis.dbf"));

  const std::string aus = Python3(
      "import dbfread\n"
      "t = dbfread.DBF('" + (dir / "Terval Gesamtergebnis.dbf").string() + "')\n"
      "print(' '.join(t.field_names))\n"
      "s = list(t)\n"
      "print(len(s))\n"
      "for i in (0, 13 * 24 + 12, 8759):\n"
      "    r = s[i]\n"
      "    print(type(r['Tag']).__name__, type(r['T_ein']).__name__,\n"
      "          ' '.join(repr(v) for v in r.values()))\n",
      dir);
  std::istringstream zeilen(aus);
  std::string namen, anzahl;
  std::getline(zeilen, namen);
  std::getline(zeilen, anzahl);
  EXPECT_EQ(namen,
            "Tag Stunde T_ein T_aus T_delta Vol_Strom rFeuchte e Esat Wind Glob_Str Lw_Str "
            "Net_Boden G ra p_Verd_mm r_Verd_mm p_Verd_W Eta_kanal Eta_z1 Eta_z3 Eta_z5 Wolken "
            "Nieders");
  EXPECT_EQ(anzahl, "8760");

  const std::vector<int> stunden = {StundenIndex(1, 0), StundenIndex(14, 12), StundenIndex(365, 23)};
  for (int h : stunden) {
    std::string zeile;
    ASSERT_TRUE(std::getline(zeilen, zeile)) << aus;
    auto s = Spalten(zeile);
    ASSERT_EQ(s.size(), 2u + 24u) << zeile;
    EXPECT_EQ(s[0], "int");
    EXPECT_EQ(s[1], "float");
    const int tag = (h - 1) / 24 + 1, stunde = (h - 1) % 24;
    EXPECT_EQ(s[2], std::to_string(tag));
    EXPECT_EQ(s[3], std::to_string(stunde));
    auto zahl = [&](int feld) { return std::stod(s[2 + feld]); };
    const float ein = m->Segmente[1].T_ein[h], aus3 = m->Segmente[3].T_aus[h];
    // Single-precision values come back as the same float.
    EXPECT_EQ(static_cast<float>(zahl(2)), ein);
    EXPECT_EQ(static_cast<float>(zahl(3)), aus3);
    // Inlet minus outlet: the opposite of the text form's T_delta.
    EXPECT_NEAR(zahl(4), static_cast<double>(ein) - aus3, 1e-9);
    EXPECT_LT(zahl(4), 0.0);
    EXPECT_NEAR(zahl(5), m->Segmente[1].VolStromRohr[h] * 3600.0, 1e-6);
    EXPECT_EQ(static_cast<float>(zahl(6)), m->Klima[h].rFeuchte);
    EXPECT_EQ(static_cast<float>(zahl(18)), m->Klima[h].Eta_kanal);
    EXPECT_EQ(static_cast<float>(zahl(22)), 5.0f);
    EXPECT_EQ(static_cast<float>(zahl(23)), m->Klima[h].Nieders);
  }
}

TEST_F(Ergebnisdateien, TableThatCannotBeCreatedIsReported) {
  EXPECT_FALSE(WriteDBSegmentData(*m, ui, (dir / "fehlt").string(), "Terval"));
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].art, "Fehler");
  EXPECT_EQ(ui.nachrichten[0].text.rfind(
                "Die Ergebnistabelle \"Terval Gesamtergebnis\" konnte nicht geschrieben werden !\r", 0),
            0u)
      << ui.nachrichten[0].text;
  EXPECT_EQ(ui.ereignisse.back(), "Sanduhr aus");
}

}  // namespace
}  // namespace terval
