// The result writers: byte-exact against golden files written independently
// by tests/data/output/golden_erzeugen.py, the overall results line by line,
// and the table read back by python3-dbfread.
#include "output/DBErgout.h"
#include "output/Ergebnissatz.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "physics/Hydraulik.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

// The channel of the golden files, filled by the same formulas as the
// script: three segments of 2.5 m, the middle one a register of four pipes.
void FuelleTestmodell(Modell& m) {
  m.Anz_Segmente = 3, m.Rohrdaten.Seglaenge = 2.5f;
  for (int s = 1; s <= 3; ++s) m.Segmente[s].Anz_Rohre = s == 2 ? 4 : 1;
  for (int d = 1; d <= 365; ++d)
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
      float w[16];
      for (int j = 0; j < 16; ++j) w[j] = static_cast<float>((j + 1) * 1.1 - 3.3 + 0.01 * k + 0.001 * d);
      TKlimaStunde& kl = m.Klima[h];
      kl.rFeuchte = w[0], kl.e = w[1], kl.Esat = w[2], kl.Wind = w[3], kl.Glob_Str = w[4];
      kl.Lw_Str = w[5], kl.Net_Boden = w[6], kl.G = w[7], kl.ra = w[8], kl.p_Verd_mm = w[9];
      kl.r_Verd_mm = w[10], kl.p_Verd_W = w[11], kl.Eta_kanal = w[12], kl.Eta_z1 = w[13];
      kl.Eta_z3 = w[14], kl.Eta_z5 = w[15], kl.Wolken = 5.0f, kl.Nieders = k == 13 ? 1.7f : 0.0f;
    }
  m.LetzteSpalte = 2;
  for (int c = 0; c <= 2; ++c)
    for (int r = 0; r < Zeilen; ++r) m.T_Feld[c][r] = static_cast<float>(10.0 + 0.3 * c - 0.2 * r);
  for (int r = 0; r < Zeilen; ++r) m.Theta[r] = 0.2 + 0.01 * r;
}

std::string Lies(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// The lines of a file whose every line ends in CR LF.
std::vector<std::string> Zeilen(const std::string& inhalt) {
  std::vector<std::string> z;
  std::istringstream s(inhalt);
  for (std::string zeile; std::getline(s, zeile);) {
    EXPECT_TRUE(!zeile.empty() && zeile.back() == '\r') << "Zeile " << z.size() + 1;
    z.push_back(zeile.substr(0, zeile.size() - 1));
  }
  EXPECT_EQ(inhalt.back(), '\n');
  return z;
}

// Records what the writers show besides messages.
class Schreibbeobachter : public test::Aufzeichner {
 public:
  std::vector<std::string> ereignisse;
  std::vector<int> fortschritt;
  void Sanduhr(bool an) override { ereignisse.push_back(an ? "Sanduhr an" : "Sanduhr aus"); }
  void SchreibfensterZeigen(const std::string& label) override { ereignisse.push_back(label); }
  void SchreibfensterFortschritt(int tag) override { fortschritt.push_back(tag); }
  void SchreibfensterVerbergen() override { ereignisse.push_back("Verbergen"); }
};

class Ergebnisdateien : public ::testing::Test {
 protected:
  void SetUp() override {
    FuelleTestmodell(*m);
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  // Writes the set of `stamm` in the scratch folder, which then replaces the earlier one.
  bool Schreibe(const std::string& stamm, const std::function<bool(Ergebnissatz&)>& schreiben) {
    std::string fehler;
    auto satz = Ergebnissatz::Oeffnen(dir.string(), stamm, fehler);
    return satz && schreiben(*satz) && satz->Uebernehmen(fehler);
  }
  std::unique_ptr<Modell> m = NeuesModell();
  fs::path dir = fs::temp_directory_path() / ("terval_output_" + std::to_string(::getpid()));
  Schreibbeobachter ui;
};

TEST_F(Ergebnisdateien, ChannelProfileDayCourseAndFieldMatchTheGoldenFiles) {
  auto golden = [](const char* name) {
    return Lies(fs::path(TERVAL_QUELLVERZEICHNIS) / "tests/data/output" / name);
  };
  std::ofstream(dir / "Terval Kanal Tag 14.TXT")
      << std::string(5000, 'x');  // an older, longer file is replaced
  ASSERT_TRUE(Schreibe("Terval", [&](Ergebnissatz& satz) {
    EXPECT_TRUE(WriteTextKanalData(*m, ui, 14, satz));
    EXPECT_EQ(ui.ereignisse, (std::vector<std::string>{"Sanduhr an", "Schreibe \"Terval Kanal Tag 14.TXT\"",
                                                       "Verbergen", "Sanduhr aus"}));
    m->NurEinTermin = true;  // the day course has every hour whatever the option
    return WriteTagesgang(*m, ui, 14, satz) && WriteField(*m, 5, 14, satz);
  }));
  EXPECT_EQ(ui.fortschritt, std::vector<int>{14});
  EXPECT_EQ(Lies(dir / "Terval Kanal Tag 14.TXT"), golden("kanal_tag14.txt"));
  EXPECT_EQ(Lies(dir / "Terval Verlauf Tag 14.TXT"), golden("verlauf_tag14.txt"));
  EXPECT_EQ(Lies(dir / "Terval2D Feld Seg   5 Tag  14.DAT"), golden("feld_seg5_tag14.dat"));
  EXPECT_EQ(FeldDateiname("W", 123, 166), "W2D Feld Seg 123 Tag 166.DAT");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3);  // no temporary left
  EXPECT_TRUE(ui.nachrichten.empty());

  // One segment: the channel profile's length and its equal changes in segment and channel.
  m->Anz_Segmente = 1;
  ASSERT_TRUE(Schreibe("Eins", [&](Ergebnissatz& satz) { return WriteTextKanalData(*m, ui, 258, satz); }));
  std::istringstream zeile(Zeilen(Lies(dir / "Eins Kanal Tag 258.TXT")).at(2));
  std::vector<std::string> s{std::istream_iterator<std::string>(zeile), {}};
  EXPECT_TRUE(s[1] == "2.50" && s[5] == s[6]);
}

// The year table: the common first line, its header, a row per year with the
// table's name quoted in Windows-1252.
TEST_F(Ergebnisdateien, YearTable) {
  Jahreszeile j;
  j.Jahr = 1, j.Klima = "Aachen Jäger.txt", j.T_ein_Mittel = 10.5, j.T_aus_Mittel = 10.25;
  j.T_aus_Min = -0.125, j.T_aus_Max = 19, j.Gewinn_kWh = 1234.56, j.Abgabe_kWh = 0.04;
  j.StundenUnterNull = 7, j.T_Rohrtiefe = {9.5f, 9.25f, 9.0f};
  Jahreszeile k = j;
  k.Jahr = 12;
  ASSERT_TRUE(Schreibe("Terval", [&](Ergebnissatz& satz) { return WriteTextJahre({j, k}, ui, satz); }));
  const std::vector<std::string> z = Zeilen(Lies(dir / "Terval Jahre.TXT"));
  ASSERT_EQ(z.size(), 4u);
  EXPECT_EQ(z[0], Zeilen(Lies(fs::path(TERVAL_QUELLVERZEICHNIS) / "tests/data/output/kanal_tag14.txt"))[0]);
  EXPECT_EQ(z[1], "# Jahr Klima T_ein T_aus T_aus_min T_aus_max Gewinn_kWh Abgabe_kWh Std_unter_0 "
                  "T_Rohr_erstes T_Rohr_mitte T_Rohr_letztes");
  EXPECT_EQ(z[2], "  1 \"Aachen J\xe4ger.txt\" 10.500 10.250 -0.125 19.000 1234.6 0.0    7 9.500 9.250 9.000");
  EXPECT_EQ(z[3].substr(0, 4), " 12 ");
}

// The hydraulics file from given figures: a register segment's line as a
// user reads it, the pipe name in Windows-1252, CR LF.
TEST_F(Ergebnisdateien, HydraulicsFileFromGivenFigures) {
  m->Anz_Segmente = 1;
  m->Rohrdaten.Rohrname = {"", "PE-HD d 200", "Gewächshausrohr"};
  Ventilatorjahr j;
  j.basis.segmente = {{2, 3, 0.141, 100 / 3600.0, 1.7789, 16834.2, 0.02721, 0.4994}};
  ASSERT_TRUE(Schreibe("Terval", [&](Ergebnissatz& satz) { return WriteHydraulik(*m, j, ui, satz); }));
  EXPECT_NE(Lies(dir / "Terval Hydraulik.TXT").find("\r\n  1 2  3   100.0  1.78   16834 0.0272   0.499 Gew\xE4" "chshausrohr\r\n"),
            std::string::npos);
  EXPECT_TRUE(ui.nachrichten.empty());
}

TEST_F(Ergebnisdateien, OverallResultsEveryHourOrOneHourADay) {
  ASSERT_TRUE(Schreibe("Terval", [&](Ergebnissatz& satz) { return WriteTextSegmentData(*m, ui, satz); }));
  const std::string inhalt = Lies(dir / "Terval Gesamtergebnis.TXT");
  auto z = Zeilen(inhalt);
  ASSERT_EQ(z.size(), 2u + 8760u);
  // The credits line of every text file, in Windows-1252.
  EXPECT_EQ(z[0], "# Erdkanalmodell Terval 1.00 h  v. 10.08.04 - Simulation eines Erdw\xE4rmetauschers");
  EXPECT_EQ(z[1], "# N Tag Stunde T_ein T_aus T_delta Vol_Strom RFeuchte e Esat Wind Glob-str. Lw_Str Net_Boden G ra "
                  "pot_Verd_mm real_Verd_mm pot_Verd_W Eta_kanal Eta_z1 Eta_z3 Eta_z5 Wolken Niederschl");
  // N, Tag and Stunde padded to 3, 3 and 2; inlet of segment 1, outlet of segment 3, its flow per pipe.
  EXPECT_EQ(z[2],
            "  1   1  0 -0.50 3.70 4.20 123.46 -2.20 -1.10 0.00 1.10 2.20 3.30 4.40 5.50 6.60 7.70 8.80 9.90 "
            "11.00 12.10 13.20 14.30 5.00 0.00");
  EXPECT_EQ(z[2 + 13 * 24 + 13],
            "326  14 13 3.53 7.73 4.20 124.76 -2.06 -0.96 0.14 1.24 2.34 3.44 4.54 5.64 "
            "6.74 7.84 8.94 10.04 11.14 12.24 13.34 14.44 5.00 1.70");
  EXPECT_EQ(z.back(),
            "8760 365 23 10.04 14.24 4.20 125.76 -1.61 -0.50 0.60 1.70 2.80 3.89 4.99 6.09 7.20 8.30 9.40 "
            "10.49 11.60 12.69 13.80 14.90 5.00 0.00");
  EXPECT_TRUE(ui.fortschritt.size() == 365u && ui.fortschritt.back() == 365);  // the bar moves every day
  EXPECT_EQ(ui.ereignisse.at(1), "Schreibe \"Terval Gesamtergebnis.TXT\"");

  m->NurEinTermin = true;
  m->AusgabeStunde = 12;
  m->Anz_Segmente = 1;  // inlet and outlet of the same segment
  ASSERT_TRUE(Schreibe("Mittag", [&](Ergebnissatz& satz) { return WriteTextSegmentData(*m, ui, satz); }));
  z = Zeilen(Lies(dir / "Mittag Gesamtergebnis.TXT"));
  ASSERT_EQ(z.size(), 2u + 365u);
  EXPECT_EQ(z[2].substr(0, 32), "  1   1 12 3.10 3.80 0.70 124.66");
  EXPECT_EQ(z.back().substr(0, 32), "365 365 12 6.74 7.44 0.70 124.66");
}

// Option Kondensation: two columns at the end of the overall results; the water's own file.
TEST_F(Ergebnisdateien, CondensationColumnsAndFile) {
  m->Luftseite.Kondensation = true;
  m->Gehalt[1] = 0.0123f, m->RFeuchteAus[1] = 95.5f;
  Kondensatjahr& k = m->Kondensat;
  k.kg[2][7] = 1.25, k.kg[2][8] = 0.5, k.abfluss[2] = 0.75, k.stunden[2][7] = 10, k.latent[3][7] = 2.5, k.kanalStunden[7] = 12;
  ASSERT_TRUE(Schreibe("K", [&](Ergebnissatz& satz) {
    return WriteTextSegmentData(*m, ui, satz) && WriteKondensat(*m, ui, satz);
  }));
  auto z = Zeilen(Lies(dir / "K Gesamtergebnis.TXT"));
  EXPECT_TRUE(z[1].ends_with("Niederschl RFeuchte_aus x_aus") && z[2].ends_with(" 0.00 95.50 12.30")) << z[2];
  z = Zeilen(Lies(dir / "K Kondensat.TXT"));
  ASSERT_EQ(z.size(), 3u + 3u + 2u + 12u);
  EXPECT_TRUE(z[0].ends_with("- Optionen: \"Energieerhaltende Rohrkopplung\", \"Kondensation berechnen\""));
  EXPECT_EQ(z[4], "  2 0.000 0.000 0.000 0.000 0.000 0.000 1.250 0.500 0.000 0.000 0.000 0.000 1.750 0.750   10");
  EXPECT_NE(z[6].find("latente W\xE4rme"), std::string::npos);
  EXPECT_EQ(z[8 + 6], " 7 1.250 2.500   12");
}

TEST_F(Ergebnisdateien, FilesThatCannotBeWritten) {
  std::string fehler;
  auto satz = Ergebnissatz::Oeffnen(dir.string(), "Terval", fehler);
  EXPECT_FALSE(WriteTextKanalData(*m, ui, 366, *satz) || WriteTagesgang(*m, ui, 0, *satz));
  EXPECT_TRUE(WriteTextKanalData(*m, ui, 14, *satz));
  m->Anz_Segmente = 0;
  EXPECT_FALSE(WriteDBSegmentData(*m, ui, *satz));
  EXPECT_TRUE(ui.nachrichten.empty());  // the writers show nothing; the set says why
  EXPECT_EQ(ui.ereignisse.back(), "Sanduhr aus");  // the cursor is restored all the same
  EXPECT_FALSE(satz->Uebernehmen(fehler));
  EXPECT_EQ(fehler, "Die Ergebnisdateien \"Terval …\" wurden nicht geschrieben:\r\"Terval Gesamtergebnis.dbf\": "
                    "der Kanal hat keine gültige Segmentzahl.\rDie bisherigen Ergebnisdateien bleiben unverändert.");
  satz.reset();
  EXPECT_TRUE(fs::is_empty(dir));
}

// Regression: the model temperatures went into the table as doubles
// ("3.2300000190734863"); every single-precision value must be written as its
// shortest float text, like the climate columns. T_delta is inlet minus
// outlet, the text form's opposite.
TEST_F(Ergebnisdateien, TableReadBackByAnIndependentReader) {
  if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-dbfread fehlt";
  ASSERT_TRUE(Schreibe("Terval", [&](Ergebnissatz& satz) { return WriteDBSegmentData(*m, ui, satz); }));
  EXPECT_EQ(ui.fortschritt.size(), 365u);
  const std::string befehl =
      "/usr/bin/python3 -c \"import dbfread\nt = list(dbfread.DBF('" +
      (dir / "Terval Gesamtergebnis.dbf").string() +
      "'))\nprint(len(t), ' '.join(t[0].keys()))\nfor i in (0, 324, 8759):\n"
      "  print(type(t[i]['Tag']).__name__, type(t[i]['T_ein']).__name__, *t[i].values())\"";
  std::FILE* p = ::popen(befehl.c_str(), "r");
  std::stringstream aus;
  for (int c; (c = std::fgetc(p)) != EOF;) aus.put(static_cast<char>(c));
  ::pclose(p);
  std::string kopf;
  std::getline(aus, kopf);
  EXPECT_EQ(kopf, "8760 Tag Stunde T_ein T_aus T_delta Vol_Strom rFeuchte e Esat Wind Glob_Str Lw_Str Net_Boden G ra "
                  "p_Verd_mm r_Verd_mm p_Verd_W Eta_kanal Eta_z1 Eta_z3 Eta_z5 Wolken Nieders");
  for (int h : {1, 325, 8760}) {
    std::string typ, typ2;
    double tag, stunde, w[22];
    aus >> typ >> typ2 >> tag >> stunde;
    for (double& x : w) aus >> x;
    ASSERT_TRUE(aus) << h;
    EXPECT_TRUE(typ + " " + typ2 == "int float" && tag * 24 + stunde == h + 23);
    const float ein = m->Segmente[1].T_ein[h], aus3 = m->Segmente[3].T_aus[h];
    auto alsFloat = [](float x) { return std::stod(KuerzesterText(x)); };
    EXPECT_NEAR(w[2], static_cast<double>(ein) - aus3, 1e-9);
    EXPECT_NEAR(w[3], m->Segmente[1].VolStromRohr[h] * 3600.0, 1e-6);
    const TKlimaStunde& k = m->Klima[h];
    EXPECT_EQ(std::vector<double>({w[0], w[1], w[4], w[16], w[21]}),
              std::vector<double>({alsFloat(ein), alsFloat(aus3), alsFloat(k.rFeuchte), alsFloat(k.Eta_kanal),
                                   alsFloat(k.Nieders)}));
  }
}

}  // namespace
}  // namespace terval
