// terval-batch end to end: the built program on copies of the shipped sample
// (35 segments of 1 m, the Bochum location and the Aachen 2022 year, whose rain
// is missing).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "model/Vardef.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

const fs::path Programm = fs::path(TERVAL_BINVERZEICHNIS) / "terval-batch";
const fs::path Daten = TERVAL_DATENVERZEICHNIS;

std::string Lies(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}
bool Enthaelt(const std::string& text, const std::string& teil) { return text.find(teil) != std::string::npos; }

struct Ausgang {
  int status = -1;  // exit status, or 128 + signal
  std::string out, err;
};

class TervalBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dateien[] = {"Erdkanal.ewt.db", "Bochum.loc.db", "Aachen2022.DBF", "SOILS.DAT", "terval-batch"};
    for (const char* name : dateien)
      if (!fs::exists(Programm.parent_path() / name) && !fs::exists(Daten / name)) GTEST_SKIP() << name << " fehlt";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (int i = 0; i < 3; ++i) fs::copy_file(Daten / dateien[i], dir / dateien[i]);
  }
  void TearDown() override {
    for (const auto& p : {dir, fs::path(dir.string() + ".out"), fs::path(dir.string() + ".err")}) fs::remove_all(p);
  }

  // Runs the program in `dir`; Ctrl-C as soon as standard error shows `abbrechenBei`.
  Ausgang Starte(std::vector<std::string> args, std::string abbrechenBei = "") {
    const std::string aus = dir.string() + ".out", fehler = dir.string() + ".err";
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(dir.c_str()) != 0 || !std::freopen(aus.c_str(), "w", stdout) ||
          !std::freopen(fehler.c_str(), "w", stderr))
        ::_exit(127);
      std::string name = Programm.string();
      std::vector<char*> argv{name.data()};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(name.c_str(), argv.data());
      ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, abbrechenBei.empty() ? 0 : WNOHANG) == 0) {
      if (Enthaelt(Lies(fehler), abbrechenBei)) ::kill(pid, SIGINT), abbrechenBei.clear();
      ::usleep(10000);
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), Lies(aus), Lies(fehler)};
  }
  std::set<std::string> Inhalt() const {
    std::set<std::string> namen;
    for (const auto& e : fs::directory_iterator(dir)) namen.insert(e.path().filename().string());
    return namen;
  }

  fs::path dir = fs::temp_directory_path() / ("terval_batch_" + std::to_string(::getpid()));
  const std::vector<std::string> probe = {"--kanal", "Erdkanal.ewt.db", "--standort", "Bochum.loc.db",
                                          "--klima", "Aachen2022.DBF",  "--ohne-feuchte"};
  std::vector<std::string> Probe(std::vector<std::string> mehr) const {
    mehr.insert(mehr.begin(), probe.begin(), probe.end());
    return mehr;
  }
};

TEST_F(TervalBatch, WrongOptionsExitWithTwoARefusedRunWithOne) {
  const auto vorher = Inhalt();
  for (const auto& args :
       {Probe({"--unbekannt"}), Probe({"--feuchte-zeitschritt", "7"}), Probe({"--seed", "x"}),
        Probe({"--erzeugen", "--erzeugen-zurueckschreiben"}), Probe({"--klima"}), Probe({"--jahre", "0"}),
        Probe({"--jahre", "51"}), Probe({"--jahre", "2", "--klima", "Aachen2022.DBF"}), Probe({"--wirkungsgrad", "0"}),
        Probe({"--boegen", "2.5"}), Probe({"--zeta-bogen", "-1"}), Probe({"--filter-pa", "1,5"}),
        Probe({"--rauhigkeit", "11"})}) {
    const Ausgang a = Starte(args);
    EXPECT_EQ(a.status, 2) << args.back();
    EXPECT_TRUE(a.err.rfind("Fehler: ", 0) == 0 && Enthaelt(a.err, "terval-batch --help") && a.out.empty()) << a.err;
  }
  EXPECT_EQ(Starte(Probe({"--wirkungsgrad=1.5"})).err,
            "Fehler: --wirkungsgrad erwartet eine Zahl von 0.01 bis 1, nicht \"1.5\".\nterval-batch --help zeigt die Optionen.\n");
  // The year lacks its rain: refused unless generated.
  const Ausgang a = Starte(probe);
  EXPECT_EQ(a.status, 1);
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: Der aktuelle Klimadatensatz enthält noch fehlende Daten !\n")) << a.err;
  EXPECT_EQ(Inhalt(), vorher);
}

TEST_F(TervalBatch, CompleteRunWritesTheFilesAndSummarisesThem) {
  Ausgang a = Starte(
      Probe({"--erzeugen", "--seed", "1", "--stamm", "Studie", "--text", "--tagesgang", "--markseg", "2", "--filter-pa", "40"}));
  ASSERT_EQ(a.status, 0) << a.err;
  // Plain progress lines when standard error is no terminal.
  EXPECT_TRUE(Enthaelt(a.err, "Initialisierung...\nHauptmodul...\nRechne Segment 1\n")) << a.err;
  EXPECT_TRUE(Enthaelt(a.err, "Schreibe \"Studie Gesamtergebnis.TXT\"\n"));
  for (const char* name : {"Studie Kanal Tag 258.TXT", "Studie Verlauf Tag 14.TXT",
                           "Studie Gesamtergebnis.TXT", "Studie2D Feld Seg   2 Tag 166.DAT", "Studie Hydraulik.TXT"})
    EXPECT_TRUE(fs::exists(dir / name) && Enthaelt(a.out, std::string("  ") + name + "\n")) << name;
  // The summary's mean inlet agrees with the overall results (two decimals there).
  std::istringstream datei(Lies(dir / "Studie Gesamtergebnis.TXT"));
  std::string zeile;
  std::getline(datei, zeile), std::getline(datei, zeile);
  double summeEin = 0;
  int n = 0;
  for (double nr, tag, stunde, ein; std::getline(datei, zeile); ++n)
    std::istringstream(zeile) >> nr >> tag >> stunde >> ein, summeEin += ein;
  ASSERT_EQ(n, Stunden);
  std::map<std::string, std::string> werte;  // the summary's values by their label
  std::istringstream s(a.out);
  for (std::string zeile; std::getline(s, zeile);)
    if (const size_t d = zeile.find(':'); d != std::string::npos && zeile.rfind("  ", 0) != 0)
      werte[zeile.substr(0, d)] = zeile.substr(std::min(zeile.find_first_not_of(' ', d + 1), zeile.size()));
  EXPECT_EQ(werte["Kanal"], "35 Segmente, 35.00 m");
  EXPECT_NEAR(std::stod(werte["Eintrittstemperatur, Mittel"]), summeEin / n, 0.006);
  auto z = [&](const char* name) { return std::stod(werte[name]); };
  // The fan's figures agree with the hydraulics file; the filter option reached the model.
  const std::string hydraulik = Lies(dir / "Studie Hydraulik.TXT");
  EXPECT_TRUE(Enthaelt(hydraulik, "\r\n# Filter (Pa): 40.00\r\n")) << hydraulik;
  const size_t g = hydraulik.find("# Gesamt (Pa): ");
  ASSERT_NE(g, std::string::npos);
  EXPECT_NEAR(z("Druckverlust bei Basis-Volumenstrom"), std::stod(hydraulik.substr(g + 15)), 0.051);
  EXPECT_GT(z("Ventilatorenergie"), 0);
  EXPECT_NEAR(z("Arbeitszahl"), (z("Wärmegewinn der Luft") + z("Wärmeabgabe der Luft")) / z("Ventilatorenergie"), 0.6);
}

TEST_F(TervalBatch, CtrlCStopsAfterTheSegmentAndWritesNothing) {
  const auto vorher = Inhalt();
  Ausgang a = Starte(Probe({"--erzeugen", "--seed", "1", "--text", "--tagesgang"}), "Rechne Segment 1\n");
  EXPECT_EQ(a.status, 130) << a.err;
  EXPECT_TRUE(Enthaelt(a.err, "Warnung: Die Simulation wurde vom Anweder abgebrochen !\n")) << a.err;
  EXPECT_FALSE(Enthaelt(a.err, "Rechne Segment 35\n") || Enthaelt(a.err, "Schreibe") || !a.out.empty());
  EXPECT_EQ(Inhalt(), vorher);
}

// A sequence of two tables: one year each, the year table naming them, the
// drift in the summary; Ctrl-C in the second year writes nothing.
TEST_F(TervalBatch, SequenceOfYears) {
  fs::copy_file(dir / "Aachen2022.DBF", dir / "Zwei.DBF");
  const auto vorher = Inhalt();
  const std::vector<std::string> folge =
      Probe({"--klima", "Zwei.DBF", "--erzeugen", "--seed", "1", "--text"});
  Ausgang a = Starte(folge, "Jahr 2 von 2: Rechne Segment 1\n");
  EXPECT_EQ(a.status, 130) << a.err;
  EXPECT_EQ(Inhalt(), vorher);

  a = Starte(folge);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_TRUE(Enthaelt(a.out, "Drift Jahr 1 -> Jahr 2:\n  Austrittstemperatur, Mittel: ")) << a.out;
  EXPECT_TRUE(Enthaelt(a.out, "  Terval Jahre.TXT\n"));
  const std::string jahre = Lies(dir / "Terval Jahre.TXT");
  EXPECT_TRUE(Enthaelt(jahre, "\r\n  1 \"Aachen2022.DBF\" ") && Enthaelt(jahre, "\r\n  2 \"Zwei.DBF\" ")) << jahre;
}

// --bilder: without a marked segment only the year's two charts join the
// files (the ui tests compare them with the windows'); a build without the
// windows refuses the option.
TEST_F(TervalBatch, PicturesOnlyWithTheWindowsBuild) {
  const Ausgang a = Starte(Probe({"--erzeugen", "--seed", "1", "--bilder"}));
#ifdef TERVAL_BILDER
  ASSERT_EQ(a.status, 0) << a.err;
  for (const char* name : {"Terval Bild Monate.png", "Terval Bild Dauerlinie.png"})
    EXPECT_TRUE(Lies(dir / name).rfind("\x89PNG\r\n", 0) == 0 && Enthaelt(a.out, std::string("  ") + name + "\n")) << name;
  for (const std::string& name : Inhalt()) EXPECT_EQ(name.find("Bild Boden"), std::string::npos) << name;
#else
  EXPECT_EQ(a.status, 2);
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: --bilder gibt es nur in einem Build mit dem Hauptprogramm (TERVAL_GUI=ON)")) << a.err;
#endif
  EXPECT_TRUE(Enthaelt(Starte({"--help"}).out, "  --bilder  "));
}

}  // namespace
}  // namespace terval
