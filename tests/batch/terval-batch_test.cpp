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

#include "channel/UshowKanaldaten.h"
#include "model/Oberflaeche.h"
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


// ---- Variant studies -------------------------------------------------------------

class Studie : public TervalBatch {
 protected:
  void Schreibe(const std::string& name, const std::string& text) const { std::ofstream(dir / name) << text; }
  // The sample channel cut to `segmente` segments at depth `tiefe`, saved as `name`.
  void Kanal(const std::string& name, int segmente, float tiefe) const {
    std::unique_ptr<Modell> m = NeuesModell();
    StilleOberflaeche ui;
    ASSERT_TRUE(LadeKanaldatei(*m, ui, (dir / "Erdkanal.ewt.db").string()));
    m->Anz_Segmente = segmente;
    for (int s = 1; s <= segmente; ++s) m->Segmente[s].Tiefe = tiefe;
    ASSERT_TRUE(SpeichereKanaldatei(*m, ui, (dir / name).string()));
  }
  std::vector<std::string> Studienlauf(std::vector<std::string> mehr) const {
    mehr.insert(mehr.begin(), {"--erzeugen", "--seed", "1"});
    return Probe(mehr);
  }
  // Every file of `a` equals the file of that name in `b`, and both hold the same names.
  void GleicheDateien(const fs::path& a, const fs::path& b) const {
    std::set<std::string> na, nb;
    for (const auto& e : fs::directory_iterator(a)) na.insert(e.path().filename().string());
    for (const auto& e : fs::directory_iterator(b)) nb.insert(e.path().filename().string());
    EXPECT_EQ(na, nb) << a;
    for (const std::string& n : na) EXPECT_TRUE(Lies(a / n) == Lies(b / n)) << a / n;
  }
};

// Each variant's result files are those of a single run of its inputs, byte
// for byte: the shared trajectories and start profile change nothing, with
// the moisture model on and off, and the override columns mean what a
// channel file saying the same means.
TEST_F(Studie, VariantsEqualSingleRunsByteForByte) {
  Kanal("Kurz.ewt.db", 5, 2.0f);
  const fs::path studie = dir;
  for (const std::string ordner : {"mit", "ohne"}) {
    std::vector<std::string> einzeln{"--kanal",  "../Kurz.ewt.db", "--standort", "../Bochum.loc.db", "--klima",
                                     "../Aachen2022.DBF", "--erzeugen", "--seed", "1", "--tagesgang"};
    if (ordner == "ohne") einzeln.push_back("--ohne-feuchte");
    dir = studie / ordner;
    fs::create_directories(dir);
    const Ausgang a = Starte(einzeln);
    dir = studie;
    ASSERT_EQ(a.status, 0) << a.err;
  }
  Schreibe("s.csv",
           "Name;Kanal;Segmente;Tiefe;Feuchte\n"
           "A;Kurz.ewt.db;;;ja\n"
           "B;;5;2;ja\n"
           "C;;5;2.0;\n"
           "D;;7;;nein\n"
           "E;;7;2;ja\n");
  // One core: B runs after E, the longer channel of its group, and takes over its first four segments.
  const Ausgang a = Starte(Studienlauf({"--studie", "s.csv", "--studie-dateien", "--tagesgang", "--kerne", "1"}));
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_TRUE(Enthaelt(a.out, "Studie abgeschlossen: 5 von 5 Varianten")) << a.out;
  EXPECT_TRUE(Enthaelt(a.out, "Segmentjahre: 25 gerechnet, 4 von Varianten übernommen")) << a.out;
  GleicheDateien(dir / "A", dir / "mit");
  GleicheDateien(dir / "B", dir / "mit");
  GleicheDateien(dir / "C", dir / "ohne");
  // The table's figures are the variant's, next to its inputs.
  const std::string tabelle = Lies(dir / "Terval Studie.csv");
  EXPECT_EQ(tabelle.substr(0, tabelle.find('\n')),
            "Studie;Zeile;Varianten;Name;Kanal;Segmente;Tiefe;Feuchte;Waermegewinn_kWh;Waermeabgabe_kWh;"
            "T_aus_Mittel_C;T_aus_Min_C;T_aus_Max_C;Stunden_unter_0C;Stunden_ueber_26C;Druckverlust_Pa;"
            "Ventilatorenergie_kWh;Arbeitszahl;Meldung");
  EXPECT_TRUE(Enthaelt(tabelle, ";5;B;;5;2;ja;") && Enthaelt(tabelle, ";5;D;;7;;nein;")) << tabelle;
  EXPECT_TRUE(fs::exists(dir / "Terval Studie.dbf"));
}

// The hostile study files: each refused with its row and column named, and
// nothing written.
TEST_F(Studie, RefusesBadStudyFilesAndWritesNothing) {
  struct Fall {
    const char* studie;
    const char* meldung;
  };
  const Fall faelle[] = {
      {"Name;Tiefe;Farbe\nA;2;rot\n", "Spalte 3: unbekannte Spalte \"Farbe\""},
      {"Name;Tiefe\nA;2\nB;zwei\n", "Zeile 3, Spalte \"Tiefe\": \"zwei\" – die Spalte erwartet eine Zahl größer als 0"},
      {"Name;Segmente\nA;2.5\n", "Zeile 2, Spalte \"Segmente\": \"2.5\" – die Spalte erwartet eine ganze Zahl von 2 bis 150"},
      {"Name;Kanal\nA;fehlt.ewt.db\n", "Zeile 2, Spalte \"Kanal\": eine Eingabedatei ist nicht lesbar"},
      {"Name;Tiefe\n", "enthält keine Variante"},
      {"Name;Tiefe\nA;2\nA;3\n", "Zeile 3, Spalte \"Name\": den Namen \"A\" trägt schon eine andere Variante"},
      {"Name;Tiefe\n../A;2\n", "ist kein einfacher Dateiname"},
      {"Name;Tiefe\nA;2;3\n", "Zeile 2: 3 Felder statt 2"},
      {"Name;Feuchte\nA;vielleicht\n", "erwartet \"ja\" oder \"nein\""},
      {"Name;Rohrtyp\nA;Gold 300\n", "\"Gold 300\" steht nicht im Rohrkatalog"},
      {"Tiefe\n2\n", "hat keine Spalte \"Name\""},
  };
  const auto vorher = Inhalt();
  for (const Fall& f : faelle) {
    Schreibe("s.csv", f.studie);
    const Ausgang a = Starte(Studienlauf({"--studie", "s.csv"}));
    EXPECT_EQ(a.status, 1) << f.studie;
    EXPECT_TRUE(Enthaelt(a.err, f.meldung)) << a.err;
    fs::remove(dir / "s.csv");
    EXPECT_EQ(Inhalt(), vorher) << f.studie;
  }
  EXPECT_EQ(Starte(Studienlauf({"--studie", "fehlt.csv"})).status, 1);
  Schreibe("s.csv", "Name\nA\n");
  EXPECT_TRUE(Enthaelt(Starte(Studienlauf({"--studie", "s.csv", "--zeilen", "2-3"})).err,
                       "Die Zeilen 2-3 gibt es nicht: die Studie hat 1 Variante."));
  EXPECT_EQ(Starte(Studienlauf({"--zeilen", "1-2"})).status, 2);
  EXPECT_EQ(Starte(Probe({"--studie", "s.csv", "--erzeugen-zurueckschreiben"})).status, 2);
}

// Slices run through GNU parallel and joined give the table of the whole
// study; the join refuses a gap and a slice of another study.
TEST_F(Studie, SlicesThroughGnuParallelJoinToTheWholeTable) {
  if (std::system("parallel --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU parallel fehlt";
  Schreibe("s.csv",
           "Name;Segmente;Volumenstrom;Feuchte\nA;2;150;ja\nB;3;;\nC;2;250;\nD;4;;ja\nE;2;;\nF;3;400;\n");
  ASSERT_EQ(Starte(Studienlauf({"--studie", "s.csv", "--stamm", "Ganz"})).status, 0);
  std::string befehl = "cd '" + dir.string() + "' && parallel --will-cite -j2 '" + Programm.string();
  for (const std::string& a : Studienlauf({"--studie", "s.csv"})) befehl += " " + a;
  befehl += " --zeilen {} --stamm Teil{#}' ::: 1-2 3-3 4-5 6-6 >/dev/null 2>&1";
  ASSERT_EQ(std::system(befehl.c_str()), 0);
  const std::vector<std::string> teile{"Teil1 Studie.csv", "Teil2 Studie.csv", "Teil3 Studie.csv", "Teil4 Studie.csv"};
  std::vector<std::string> join{"--studie-zusammenfuehren", "--stamm", "Zusammen"};
  join.insert(join.end(), teile.rbegin(), teile.rend());
  const Ausgang a = Starte(join);
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_TRUE(Enthaelt(a.out, "6 Varianten aus 4 Teilen")) << a.out;
  EXPECT_EQ(Lies(dir / "Zusammen Studie.csv"), Lies(dir / "Ganz Studie.csv"));
  EXPECT_EQ(Lies(dir / "Zusammen Studie.dbf"), Lies(dir / "Ganz Studie.dbf"));

  fs::remove(dir / "Zusammen Studie.csv");
  fs::remove(dir / "Zusammen Studie.dbf");
  const auto vorher = Inhalt();
  Ausgang b = Starte({"--studie-zusammenfuehren", "--stamm", "Zusammen", teile[0], teile[1], teile[3]});
  EXPECT_EQ(b.status, 1);
  EXPECT_TRUE(Enthaelt(b.err, "es fehlen 2 von 6 Zeilen (4, 5)")) << b.err;
  // The same rows of a study with another base input: another identity.
  std::vector<std::string> anders = Studienlauf({"--studie", "s.csv", "--zeilen", "4-5", "--stamm", "Fremd"});
  anders.push_back("--zeta-bogen=0.3");
  ASSERT_EQ(Starte(anders).status, 0);
  b = Starte({"--studie-zusammenfuehren", "--stamm", "Zusammen", teile[0], teile[1], "Fremd Studie.csv", teile[3]});
  EXPECT_EQ(b.status, 1);
  EXPECT_TRUE(Enthaelt(b.err, "gehört zu einer anderen Studie")) << b.err;
  b = Starte({"--studie-zusammenfuehren", "--stamm", "Zusammen", teile[0], teile[0]});
  EXPECT_TRUE(Enthaelt(b.err, "kommt in mehr als einer Teiltabelle vor")) << b.err;
  for (const char* e : {".csv", ".dbf", ".cpg"}) fs::remove(dir / (std::string("Fremd Studie") + e));
  EXPECT_EQ(Inhalt(), vorher);
}

// Ctrl-C lets the running variants finish, writes the rows done and exits 130.
TEST_F(Studie, CtrlCWritesTheVariantsFinished) {
  std::string studie = "Name;Volumenstrom\n";
  for (int i = 1; i <= 12; ++i) studie.append("V").append(std::to_string(i)).append(";").append(std::to_string(100 + 20 * i)).append("\n");
  Schreibe("s.csv", studie);
  const Ausgang a = Starte(Studienlauf({"--studie", "s.csv"}), "Varianten fertig\n");
  EXPECT_EQ(a.status, 130) << a.err;
  EXPECT_TRUE(Enthaelt(a.out, "Studie vom Anwender abgebrochen: ")) << a.out;
  const std::string tabelle = Lies(dir / "Terval Studie.csv");
  const long zeilen = std::count(tabelle.begin(), tabelle.end(), '\n') - 1;
  EXPECT_GE(zeilen, 1);
  EXPECT_LT(zeilen, 12);
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
  // A study draws none: its variants run side by side, the pictures of one come from a run of its own.
  const Ausgang studie = Starte(Probe({"--erzeugen", "--bilder", "--studie", "s.csv"}));
  EXPECT_EQ(studie.status, 2);
  EXPECT_TRUE(Enthaelt(studie.err, "--bilder gilt nicht für eine Studie")) << studie.err;
#else
  EXPECT_EQ(a.status, 2);
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: --bilder gibt es nur in einem Build mit dem Hauptprogramm (TERVAL_GUI=ON)")) << a.err;
#endif
  EXPECT_TRUE(Enthaelt(Starte({"--help"}).out, "  --bilder  "));
}

}  // namespace
}  // namespace terval
