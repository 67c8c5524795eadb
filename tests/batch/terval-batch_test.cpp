// terval-batch end to end: the built program on small input files made here
// (and on the shipped samples when the build has placed them).
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "channel/UshowKanaldaten.h"
#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

namespace fs = std::filesystem;

const fs::path Programm = fs::path(TERVAL_BINVERZEICHNIS) / "terval-batch";
const fs::path Daten = TERVAL_DATENVERZEICHNIS;

struct Ausgang {
  int status = -1;  // exit status, or 128 + signal
  std::string out, err;
};

// Runs terval-batch in `dir`. `beiStderr` sees the standard error output
// so far each time more arrives, with the process id (to send a signal).
Ausgang Starte(const std::vector<std::string>& args, const fs::path& dir,
               const std::function<void(pid_t, const std::string&)>& beiStderr = {},
               const fs::path& programm = Programm) {
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    ::close(out[0]), ::close(out[1]), ::close(err[0]), ::close(err[1]);
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    std::vector<char*> argv;
    std::string name = programm.string();
    argv.push_back(name.data());
    std::vector<std::string> kopie = args;
    for (auto& a : kopie) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(name.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  Ausgang a;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int offen = 2;
  while (offen > 0) {
    if (::poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char puffer[4096];
      const ssize_t n = ::read(fds[i].fd, puffer, sizeof puffer);
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --offen;
        continue;
      }
      (i == 0 ? a.out : a.err).append(puffer, static_cast<size_t>(n));
      if (i == 1 && beiStderr) beiStderr(pid, a.err);
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  a.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return a;
}

bool Enthaelt(const std::string& text, const std::string& teil) {
  return text.find(teil) != std::string::npos;
}

std::vector<std::string> Inhalt(const fs::path& dir) {
  std::vector<std::string> namen;
  for (const auto& e : fs::directory_iterator(dir)) namen.push_back(e.path().filename().string());
  std::sort(namen.begin(), namen.end());
  return namen;
}

// A channel of `segmente` single pipes of 0.1 m radius, 5 m each, 2 m deep,
// 300 m3/h constant flow, saved as a channel file.
void SchreibeKanal(const fs::path& pfad, int segmente) {
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  m->Anz_Segmente = segmente;
  for (int s = 1; s <= segmente; ++s) {
    m->Segmente[s].Anz_Rohre = 1;
    m->Segmente[s].Tiefe = 2.0f;
  }
  m->Rohrdaten.Rohr_Ra = {0.0f, 0.1f, 0.1f};
  m->Rohrdaten.Rohr_Dicke = {0.0f, 0.01f, 0.01f};
  m->Rohrdaten.Seglaenge = 5.0f;
  m->Kanalbetrieb.Volstrom = 300;
  test::Aufzeichner ui;
  ASSERT_TRUE(SpeichereKanaldatei(*m, ui, pfad.string()));
}

// Air temperature of hour h: annual wave around 9 degC, warmest in July,
// and a daily wave of 3 K.
double Lufttemperatur(int h) {
  return 9.0 - 8.0 * std::cos(2.0 * M_PI * (h - 400) / Stunden) +
         3.0 * std::sin(2.0 * M_PI * ((h - 1) % 24 - 9) / 24.0);
}

// A climate year as dBASE table: a running number, then air temperature,
// humidity, wind, radiation and, when `vollstaendig`, precipitation and
// cloud cover.
void SchreibeKlima(const fs::path& pfad, bool vollstaendig) {
  std::vector<Felddefinition> felder = {{"Nr", Feldtyp::Ganzzahl, 0},
                                        {"T_Luft", Feldtyp::Gleitkomma, 0},
                                        {"rFeuchte", Feldtyp::Gleitkomma, 0},
                                        {"Wind", Feldtyp::Gleitkomma, 0},
                                        {"Glob_Str", Feldtyp::Gleitkomma, 0}};
  if (vollstaendig) {
    felder.push_back({"Nieders", Feldtyp::Gleitkomma, 0});
    felder.push_back({"Wolken", Feldtyp::Gleitkomma, 0});
  }
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(pfad.string(), felder, fehler);
  ASSERT_TRUE(t) << fehler;
  for (int h = 1; h <= Stunden; ++h) {
    const int s = t->Anhaengen();
    const int stunde = (h - 1) % 24;
    t->SchreibeGanzzahl(s, 0, h);
    t->SchreibeZahl(s, 1, static_cast<float>(Lufttemperatur(h)));
    t->SchreibeZahl(s, 2, 75.0f);
    t->SchreibeZahl(s, 3, 2.5f);
    t->SchreibeZahl(s, 4, stunde >= 7 && stunde <= 17 ? 250.0f : 0.0f);
    if (vollstaendig) {
      t->SchreibeZahl(s, 5, stunde == 15 ? 2.0f : 0.0f);
      t->SchreibeZahl(s, 6, 5.0f);
    }
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
}

class TervalBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(Programm)) GTEST_SKIP() << "terval-batch ist nicht gebaut";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          (std::string("terval_batch_") + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }

  // A run needs SOILS.DAT and Rohre.DBF where the program looks for them.
  static bool ReferenzdateienDa() {
    return (fs::exists(Daten / "SOILS.DAT") && fs::exists(Daten / "Rohre.DBF")) ||
           (fs::exists(Programm.parent_path() / "SOILS.DAT") &&
            fs::exists(Programm.parent_path() / "Rohre.DBF"));
  }

  fs::path dir;
};

#define BRAUCHT_REFERENZDATEIEN() \
  if (!ReferenzdateienDa()) GTEST_SKIP() << "SOILS.DAT/Rohre.DBF sind noch nicht im Build"

TEST_F(TervalBatch, HelpExplainsEveryOption) {
  Ausgang a = Starte({"--help"}, dir);
  EXPECT_EQ(a.status, 0);
  EXPECT_TRUE(a.err.empty()) << a.err;
  for (const char* option :
       {"--kanal", "--klima", "--standort", "--stamm", "--text", "--tagesgang", "--nur-stunde",
        "--markseg", "--ohne-feuchte", "--feuchte-zeitschritt", "--erzeugen",
        "--erzeugen-zurueckschreiben", "--seed", "--help", "--version"}) {
    // Each option in the usage line and once more where it is explained.
    const std::string mitLeer = std::string("  ") + option;
    EXPECT_TRUE(Enthaelt(a.out, mitLeer + " ") || Enthaelt(a.out, mitLeer + "\n")) << option;
  }
  EXPECT_TRUE(Enthaelt(a.out, "Rückgabewert: 0 fertig, 1 Rechnung abgelehnt"));
  Ausgang v = Starte({"--version"}, dir);
  EXPECT_EQ(v.status, 0);
  EXPECT_TRUE(Enthaelt(v.out, "Terval 1.00 h  v. 10.08.04"));
}

TEST_F(TervalBatch, WrongOptionsExitWithTwo) {
  const std::vector<std::vector<std::string>> falsch = {
      {"--kanal", "k.ewt.db", "--klima", "k.DBF", "--unbekannt"},
      {"--klima", "k.DBF"},                      // no channel
      {"--kanal", "k.ewt.db"},                   // no climate
      {"--kanal", "k.ewt.db", "--klima"},        // value missing
      {"--kanal", "k.ewt.db", "--klima", "k.DBF", "--feuchte-zeitschritt", "7"},
      {"--kanal", "k.ewt.db", "--klima", "k.DBF", "--erzeugen", "--erzeugen-zurueckschreiben"},
      {"--kanal", "k.ewt.db", "--klima", "k.DBF", "--erzeugen", "--seed", "x"},
      {"--kanal", "k.ewt.db", "--klima", "k.DBF", "--text=ja"},
      {"--kanal", "k.ewt.db", "--klima", "k.DBF", "ueberzaehlig"},
  };
  for (const auto& args : falsch) {
    Ausgang a = Starte(args, dir);
    EXPECT_EQ(a.status, 2) << args.back();
    EXPECT_EQ(a.err.rfind("Fehler: ", 0), 0u) << a.err;
    EXPECT_TRUE(Enthaelt(a.err, "terval-batch --help")) << a.err;
    EXPECT_TRUE(a.out.empty());
  }
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(TervalBatch, MissingReferenceFilesEndTheStart) {
  // A copy of the program where neither it nor ../share/terval holds them.
  fs::create_directories(dir / "bin");
  fs::copy_file(Programm, dir / "bin/terval-batch");
  Ausgang a = Starte({"--kanal", "k.ewt.db", "--klima", "k.DBF"}, dir, {}, dir / "bin/terval-batch");
  EXPECT_EQ(a.status, 1);
  EXPECT_EQ(a.err,
            "Fehler: Die Datenbank SOILS.DAT konnte nicht geöffnet werden !\n"
            "Stellen Sie sicher, dass die Datei im aktuellen Verzeichnis steht und starten Sie das "
            "Programm neu !\n");
}

TEST_F(TervalBatch, UnreadableClimateTable) {
  BRAUCHT_REFERENZDATEIEN();
  SchreibeKanal(dir / "k.ewt.db", 2);
  Ausgang a = Starte({"--kanal", "k.ewt.db", "--klima", "fehlt.DBF"}, dir);
  EXPECT_EQ(a.status, 1);
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: Klimadatenbank konnte nicht gelesen werden !\n")) << a.err;
}

TEST_F(TervalBatch, ChannelOfOneSegmentIsRefused) {
  BRAUCHT_REFERENZDATEIEN();
  SchreibeKanal(dir / "eins.ewt.db", 1);
  SchreibeKlima(dir / "klima.DBF", true);
  const auto vorher = Inhalt(dir);
  Ausgang a = Starte({"--kanal", "eins.ewt.db", "--klima", "klima.DBF", "--text"}, dir);
  EXPECT_EQ(a.status, 1);
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: Sie haben noch keinen Erdkanal definiert !\n")) << a.err;
  EXPECT_TRUE(a.out.empty());
  EXPECT_EQ(Inhalt(dir), vorher);
}

TEST_F(TervalBatch, IncompleteClimateIsRefusedUnlessGenerated) {
  BRAUCHT_REFERENZDATEIEN();
  SchreibeKanal(dir / "k.ewt.db", 2);
  SchreibeKlima(dir / "klima.DBF", false);
  Ausgang a = Starte({"--kanal", "k.ewt.db", "--klima", "klima.DBF", "--markseg", "3"}, dir);
  EXPECT_EQ(a.status, 1);
  EXPECT_TRUE(Enthaelt(a.err, "Klimadaten unvollständig: Niederschlag\n")) << a.err;
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: Der aktuelle Klimadatensatz enthält noch fehlende Daten !\n"))
      << a.err;

  // Generated in memory the year is complete, and the next check speaks.
  Ausgang b = Starte({"--kanal", "k.ewt.db", "--klima", "klima.DBF", "--markseg", "3",
                      "--erzeugen", "--seed", "7"},
                     dir);
  EXPECT_EQ(b.status, 1);
  EXPECT_FALSE(Enthaelt(b.err, "fehlende Daten")) << b.err;
  EXPECT_TRUE(Enthaelt(b.err, "Fehler: Das markierte Segment liegt nicht innerhalb des Kanals\n"))
      << b.err;
}

// Values of the summary on stdout by their label.
std::map<std::string, std::string> Zusammenfassung(const std::string& out) {
  std::map<std::string, std::string> werte;
  std::istringstream s(out);
  for (std::string z; std::getline(s, z);) {
    const size_t doppelpunkt = z.find(':');
    if (doppelpunkt == std::string::npos || z.rfind("  ", 0) == 0) continue;
    std::string wert = z.substr(doppelpunkt + 1);
    wert.erase(0, wert.find_first_not_of(' '));
    werte[z.substr(0, doppelpunkt)] = wert;
  }
  return werte;
}

TEST_F(TervalBatch, CompleteRunWritesTheFilesAndSummarisesThem) {
  BRAUCHT_REFERENZDATEIEN();
  SchreibeKanal(dir / "k.ewt.db", 3);
  SchreibeKlima(dir / "klima.DBF", true);
  Ausgang a = Starte({"--kanal", "k.ewt.db", "--klima", "klima.DBF", "--stamm", "Studie", "--text",
                      "--tagesgang", "--markseg", "2", "--ohne-feuchte"},
                     dir);
  ASSERT_EQ(a.status, 0) << a.err;
  // Plain progress lines when stderr is not a terminal.
  EXPECT_TRUE(Enthaelt(a.err, "Initialisierung...\nHauptmodul...\nRechne Segment 1\n")) << a.err;
  EXPECT_TRUE(Enthaelt(a.err, "Rechne Segment 3\n"));
  EXPECT_TRUE(Enthaelt(a.err, "Schreibe \"Studie Gesamtergebnis.TXT\"\n"));

  for (int tag : Referenztage) {
    const std::string t = std::to_string(tag);
    for (const std::string& name : {"Studie Kanal Tag " + t + ".TXT", "Studie Verlauf Tag " + t + ".TXT"}) {
      EXPECT_TRUE(fs::exists(dir / name)) << name;
      EXPECT_TRUE(Enthaelt(a.out, "  " + name + "\n")) << name;
    }
  }
  EXPECT_TRUE(fs::exists(dir / "Studie2D Feld Seg   2 Tag 166.DAT"));
  EXPECT_TRUE(Enthaelt(a.out, "  Studie Gesamtergebnis.TXT\n"));

  // The summary agrees with the overall results file (two decimals there).
  std::ifstream datei(dir / "Studie Gesamtergebnis.TXT", std::ios::binary);
  std::string zeile;
  std::getline(datei, zeile);
  std::getline(datei, zeile);
  double summeEin = 0, summeAus = 0, gewinn = 0, abgabe = 0;
  double minAus = 1e9, maxAus = -1e9;
  std::string minText, maxText;
  int n = 0;
  while (std::getline(datei, zeile)) {
    std::istringstream s(zeile);
    double nr, tag, stunde, ein, aus, delta, vol;
    s >> nr >> tag >> stunde >> ein >> aus >> delta >> vol;
    ++n;
    summeEin += ein, summeAus += aus;
    minAus = std::min(minAus, aus), maxAus = std::max(maxAus, aus);
    // One pipe in segment 1: its flow is the channel's. kWh per hour.
    const double q = 1.2 * (vol / 3600.0) * delta;
    (q > 0 ? gewinn : abgabe) += std::fabs(q);
  }
  ASSERT_EQ(n, Stunden);
  auto z = Zusammenfassung(a.out);
  EXPECT_EQ(z["Kanal"], "3 Segmente, 15.00 m");
  EXPECT_NEAR(std::stod(z["Eintrittstemperatur, Mittel"]), summeEin / n, 0.006);
  EXPECT_NEAR(std::stod(z["Eintrittstemperatur, Mittel"]), 9.0, 0.05);  // the climate's mean
  EXPECT_NEAR(std::stod(z["Austrittstemperatur, Mittel"]), summeAus / n, 0.006);
  EXPECT_NEAR(std::stod(z["Austrittstemperatur, Minimum"]), minAus, 0.0051);
  EXPECT_NEAR(std::stod(z["Austrittstemperatur, Maximum"]), maxAus, 0.0051);
  EXPECT_NEAR(std::stod(z["Wärmegewinn der Luft"]), gewinn, 0.01 * gewinn + 0.1);
  EXPECT_NEAR(std::stod(z["Wärmeabgabe der Luft"]), abgabe, 0.01 * abgabe + 0.1);
  // Winter air is warmed and summer air cooled by the soil.
  EXPECT_GT(gewinn, 0);
  EXPECT_GT(abgabe, 0);
}

TEST_F(TervalBatch, CtrlCStopsAfterTheSegmentAndWritesNothing) {
  BRAUCHT_REFERENZDATEIEN();
  SchreibeKanal(dir / "lang.ewt.db", 40);
  SchreibeKlima(dir / "klima.DBF", true);
  const auto vorher = Inhalt(dir);
  bool gesendet = false;
  Ausgang a = Starte({"--kanal", "lang.ewt.db", "--klima", "klima.DBF", "--text", "--tagesgang",
                      "--ohne-feuchte"},
                     dir, [&](pid_t pid, const std::string& err) {
                       if (!gesendet && Enthaelt(err, "Rechne Segment 1\n")) {
                         ::kill(pid, SIGINT);
                         gesendet = true;
                       }
                     });
  ASSERT_TRUE(gesendet) << a.err;
  EXPECT_EQ(a.status, 130) << a.err;
  EXPECT_TRUE(Enthaelt(a.err, "Warnung: Die Simulation wurde vom Anweder abgebrochen !\n")) << a.err;
  EXPECT_FALSE(Enthaelt(a.err, "Rechne Segment 40\n"));
  EXPECT_FALSE(Enthaelt(a.err, "Schreibe"));
  EXPECT_TRUE(a.out.empty());
  EXPECT_EQ(Inhalt(dir), vorher);
}

// The shipped sample (channel, location and the Aachen year, whose missing
// precipitation is generated): loads and passes every check but the last
// one made to fail, so the test stays quick.
TEST_F(TervalBatch, SampleDataLoads) {
  BRAUCHT_REFERENZDATEIEN();
  fs::path klima;
  for (const char* name : {"Aachen2022.DBF", "15000_20220101_20230101_Aachen-Orsbach.epw"})
    if (fs::exists(Daten / name)) klima = Daten / name;
  if (klima.empty() || !fs::exists(Daten / "Erdkanal.ewt.db") || !fs::exists(Daten / "Bochum.loc.db"))
    GTEST_SKIP() << "Beispieldaten fehlen in " << Daten;
  // Reading a table writes it back: work on copies.
  for (const fs::path& p : {klima, Daten / "Erdkanal.ewt.db", Daten / "Bochum.loc.db"})
    fs::copy_file(p, dir / p.filename());
  Ausgang a = Starte({"--kanal", "Erdkanal.ewt.db", "--standort", "Bochum.loc.db", "--klima",
                      klima.filename().string(), "--erzeugen", "--seed", "1", "--markseg", "999"},
                     dir);
  EXPECT_EQ(a.status, 1) << a.err;
  EXPECT_TRUE(Enthaelt(a.err, "Fehler: Das markierte Segment liegt nicht innerhalb des Kanals\n"))
      << a.err;
}

}  // namespace
}  // namespace terval
