// Interrupted work never costs a file: a run stopped after any segment, a
// save that fails midway (the disk "full" through a file-size limit), a
// process killed in the middle of a save, and an output directory that
// takes no file all leave every existing file byte for byte as it was, and
// the next save works.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "channel/UshowKanaldaten.h"
#include "climate/DBKlima.h"
#include "hostile/Katalog.h"
#include "location/klimaprofil.h"
#include "output/DBErgout.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::Dateiinhalt;
using test::Dateien;
using test::ErwarteGleicheDateien;
using test::SchreibeDatei;
using test::Testverzeichnis;

namespace fs = std::filesystem;

// A working directory as a user has it after a complete run: channel,
// location and climate files and the result files of that run.
class Unterbrochen : public ::testing::Test {
 protected:
  void SetUp() override {
    m = test::Lauffaehig();
    Aufzeichner still;
    ASSERT_TRUE(SpeichereKanaldatei(*m, still, v.Datei("Erdkanal.ewt.db")));
    ASSERT_TRUE(SpeichereStandortdatei(*m, still, v.Datei("Bochum.loc.db")));
    Laufoptionen o;
    o.Tagesgang = true;
    o.MarkSegmentText = "-1";
    ASSERT_EQ(test::Starte(*m, still, v.Pfad(), o).ergebnis, Laufergebnis::Fertig);
    o.TextAusgabe = true;
    ASSERT_EQ(test::Starte(*m, still, v.Pfad(), o).ergebnis, Laufergebnis::Fertig);
    // The next run differs, so a file it wrote would show.
    m->Kanalbetrieb.Volstrom = 450;
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m;
};

TEST_F(Unterbrochen, LaufNachJedemSegmentGestoppt) {
  for (int segment = 1; segment <= m->Anz_Segmente; ++segment) {
    SCOPED_TRACE(segment);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    ui.beiProcMsg = [&](int aufrufe) {
      if (aufrufe == segment) m->StopRequested = true;
    };
    EXPECT_EQ(test::Starte(*m, ui, v.Pfad()).ergebnis, Laufergebnis::Abgebrochen);
    EXPECT_EQ(ui.Texte("Warnung"), std::vector<std::string>{"Die Simulation wurde vom Anweder abgebrochen !"});
    ErwarteGleicheDateien(dateien, v.Pfad());
  }
}

// The 2-D field of the marked segment is written during the run, on its
// reference days; a run stopped afterwards must not leave the new fields
// beside the old results.
TEST_F(Unterbrochen, GestoppterLaufMitMarkiertemSegment) {
  Laufoptionen o;
  o.MarkSegmentText = "1";
  m->Kanalbetrieb.Volstrom = 300;
  Aufzeichner vorher;
  ASSERT_EQ(test::Starte(*m, vorher, v.Pfad(), o).ergebnis, Laufergebnis::Fertig);
  m->Kanalbetrieb.Volstrom = 450;
  const auto dateien = Dateien(v.Pfad());
  Aufzeichner ui;
  ui.beiProcMsg = [&](int aufrufe) {
    if (aufrufe == 2) m->StopRequested = true;
  };
  EXPECT_EQ(test::Starte(*m, ui, v.Pfad(), o).ergebnis, Laufergebnis::Abgebrochen);
  ErwarteGleicheDateien(dateien, v.Pfad());
}

// Every save of the program, each with the disk full before, halfway
// through and just before the end of the file it replaces.
TEST_F(Unterbrochen, SpeichernMitVollerPlatte) {
  m->Anz_Segmente = 150;
  for (int s = 4; s <= 150; ++s) m->Segmente[s] = m->Segmente[1 + s % 3];
  m->Ortsname = "Anderswo";
  m->AusgabeVerzeichnis = v.Pfad();
  struct Speichern {
    const char* datei;
    std::function<bool(Aufzeichner&, const std::string&)> aufruf;  // into a directory
  };
  const std::vector<Speichern> alle = {
      {"Erdkanal.ewt.db",
       [&](Aufzeichner& ui, const std::string& d) { return SpeichereKanaldatei(*m, ui, d + "/Erdkanal.ewt.db"); }},
      {"Bochum.loc.db",
       [&](Aufzeichner& ui, const std::string& d) { return SpeichereStandortdatei(*m, ui, d + "/Bochum.loc.db"); }},
      {"Terval Gesamtergebnis.dbf",
       [&](Aufzeichner& ui, const std::string& d) { return WriteDBSegmentData(*m, ui, d, "Terval"); }},
      {"Terval Gesamtergebnis.TXT",
       [&](Aufzeichner& ui, const std::string& d) { return WriteTextSegmentData(*m, ui, d, "Terval"); }},
      {"Terval Kanal Tag 14.TXT",
       [&](Aufzeichner& ui, const std::string& d) { return WriteTextKanalData(*m, ui, 14, d, "Terval"); }},
      {"Terval Verlauf Tag 14.TXT",
       [&](Aufzeichner& ui, const std::string& d) { return WriteTagesgang(*m, ui, 14, d, "Terval"); }},
  };
  for (const Speichern& s : alle) {
    // The size of the new file, from a save elsewhere.
    Testverzeichnis probe;
    Aufzeichner still;
    ASSERT_TRUE(s.aufruf(still, probe.Pfad())) << s.datei;
    const rlim_t groesse = Dateiinhalt(probe.Datei(s.datei)).size();
    ASSERT_GT(groesse, 1000u) << s.datei;
    for (rlim_t grenze : {rlim_t{500}, groesse / 2, groesse - 100}) {
      SCOPED_TRACE(std::string(s.datei) + " bei " + std::to_string(grenze) + " Bytes");
      const auto dateien = Dateien(v.Pfad());
      Aufzeichner ui;
      bool gut;
      {
        test::Dateigroessengrenze voll(grenze);
        gut = s.aufruf(ui, v.Pfad());
      }
      EXPECT_FALSE(gut);
      ErwarteGleicheDateien(dateien, v.Pfad());
    }
  }
  // With room again, every save works.
  for (const Speichern& s : alle) {
    Aufzeichner ui;
    EXPECT_TRUE(s.aufruf(ui, v.Pfad())) << s.datei;
  }
}

// The climate table is written back when it is read; with the disk full the
// table stays as it was, the year is still read.
TEST_F(Unterbrochen, KlimaZurueckschreibenMitVollerPlatte) {
  std::string fehler;
  {
    std::vector<Felddefinition> felder{{"Nr", Feldtyp::Ganzzahl, 0}};
    for (const char* n : {"T", "rF", "W", "G", "N"}) felder.push_back({n, Feldtyp::Gleitkomma, 0});
    auto t = DbfTabelle::Erzeugen(v.Datei("Klima.DBF"), felder, fehler);
    ASSERT_TRUE(t) << fehler;
    for (int h = 1; h <= Stunden; ++h) {
      const int s = t->Anhaengen();
      t->SchreibeGanzzahl(s, 0, h);
      for (int k = 1; k <= 5; ++k)
        if (h != 77 || k != 2) t->SchreibeZahl(s, k, static_cast<float>(k));  // hour 77: no humidity
    }
    ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  }
  const auto dateien = Dateien(v.Pfad());
  m->DBKlimaName = v.Datei("Klima.DBF");
  Aufzeichner ui;
  {
    test::Dateigroessengrenze voll(100000);
    ReadKlimaDB(*m, ui);
  }
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_EQ(m->Klima[77].rFeuchte, Fehlwert);
  ASSERT_EQ(ui.Texte("Fehler").size(), 1u);
  EXPECT_EQ(ui.Texte("Fehler")[0].rfind("Die Klimadaten konnten nicht in die Datenbank " + v.Datei("Klima.DBF") +
                                            " zurückgeschrieben werden !\r",
                                        0),
            0u)
      << ui.Texte("Fehler")[0];
  ErwarteGleicheDateien(dateien, v.Pfad());
}

// A save killed by the system in mid-write (the file-size signal, whose
// default action ends the process) at several points of a table of 4 MB:
// the old table stays whole, and the next save replaces it.
TEST_F(Unterbrochen, ProzessStirbtMittenImSpeichern) {
  m->AusgabeVerzeichnis = v.Pfad();
  const std::string tabelle = v.Datei("Terval Gesamtergebnis.dbf");
  const std::string alt = Dateiinhalt(tabelle);
  ASSERT_GT(alt.size(), 1000000u);
  for (rlim_t grenze : {rlim_t{1000}, rlim_t{1000000}, alt.size() - 1000}) {
    SCOPED_TRACE(grenze);
    const auto dateien = Dateien(v.Pfad());
    const pid_t kind = ::fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
      ::signal(SIGXFSZ, SIG_DFL);
      rlimit r{grenze, grenze};
      ::setrlimit(RLIMIT_FSIZE, &r);
      StilleOberflaeche still;
      WriteDBSegmentData(*m, still, v.Pfad(), "Terval");
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(kind, &status, 0), kind);
    ASSERT_TRUE(WIFSIGNALED(status)) << "der Speichervorgang lief durch";
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(Dateiinhalt(tabelle), alt);
    // What the killed process leaves is a hidden temporary file beside the
    // table; nothing else changed.
    for (const auto& [name, inhalt] : Dateien(v.Pfad())) {
      if (dateien.count(name)) {
        EXPECT_TRUE(dateien.at(name) == inhalt) << name;
      } else {
        EXPECT_EQ(name.rfind(".Terval Gesamtergebnis.dbf.tmp-", 0), 0u) << name;
      }
    }
  }
  Aufzeichner ui;
  ASSERT_TRUE(WriteDBSegmentData(*m, ui, v.Pfad(), "Terval"));
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(tabelle, fehler);
  ASSERT_TRUE(t) << fehler;
  EXPECT_EQ(t->Datensaetze(), Stunden);
}

// SIGKILL at an arbitrary moment of a child that saves the channel over and
// over: the file is always one complete version, never a torn one.
TEST_F(Unterbrochen, SigkillWaehrendWiederholtemSpeichern) {
  m->Anz_Segmente = 150;
  for (int s = 4; s <= 150; ++s) m->Segmente[s] = m->Segmente[1 + s % 3];
  const std::string pfad = v.Datei("Erdkanal.ewt.db");
  const std::string alt = Dateiinhalt(pfad);
  const pid_t kind = ::fork();
  ASSERT_GE(kind, 0);
  if (kind == 0) {
    StilleOberflaeche still;
    for (;;) SpeichereKanaldatei(*m, still, pfad);
  }
  // Kill it once a temporary file of a save in progress has been seen.
  bool gesehen = false;
  for (int versuch = 0; versuch < 1000000 && !gesehen; ++versuch)
    for (const auto& e : fs::directory_iterator(v.Pfad()))
      gesehen = gesehen || e.path().filename().string().rfind(".Erdkanal.ewt.db.tmp-", 0) == 0;
  ::kill(kind, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(kind, &status, 0), kind);
  EXPECT_TRUE(gesehen);

  Aufzeichner ui;
  ASSERT_TRUE(SpeichereKanaldatei(*m, ui, v.Datei("neu.ewt.db")));
  const std::string neu = Dateiinhalt(v.Datei("neu.ewt.db"));
  const std::string jetzt = Dateiinhalt(pfad);
  // Tables written on the same day are byte-identical.
  EXPECT_TRUE(jetzt == alt || jetzt == neu);
  auto geladen = NeuesModell();
  ASSERT_TRUE(LadeKanaldatei(*geladen, ui, pfad));
  EXPECT_TRUE(geladen->Anz_Segmente == 3 || geladen->Anz_Segmente == 150);
  // The next save over the file works despite what the child left.
  ASSERT_TRUE(SpeichereKanaldatei(*m, ui, pfad));
  EXPECT_EQ(Dateiinhalt(pfad), neu);
}

// An output directory that refuses new files (immutable for root, read-only
// for others): the run completes, the table writer says so, nothing that
// was there changes.
TEST_F(Unterbrochen, AusgabeverzeichnisNichtBeschreibbar) {
  const auto dateien = Dateien(v.Pfad());
  Aufzeichner ui;
  Laufbericht b;
  {
    test::GesperrtesVerzeichnis gesperrt(v.Pfad());
    if (!gesperrt.Gesperrt()) GTEST_SKIP() << "Verzeichnis lässt sich hier nicht sperren";
    b = test::Starte(*m, ui, v.Pfad());
  }
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_TRUE(b.dateien.empty());
  EXPECT_EQ(b.nichtGeschrieben.size(), 6u);
  ASSERT_EQ(ui.Texte("Fehler").size(), 1u);
  EXPECT_EQ(ui.Texte("Fehler")[0],
            "Die Ergebnistabelle \"Terval Gesamtergebnis\" konnte nicht geschrieben werden !\rDie Datei \"" +
                v.Datei("Terval Gesamtergebnis.dbf") +
                "\" konnte nicht gespeichert werden: keine Zugriffsberechtigung; die bisherige Datei bleibt "
                "unverändert.");
  ErwarteGleicheDateien(dateien, v.Pfad());
  test::ErwarteEndlicheErgebnisse(*m, v.Pfad());
}

// A directory where the overall results file should go: the writer fails
// without touching it.
TEST_F(Unterbrochen, ErgebnisdateiIstEinVerzeichnis) {
  fs::remove(v.Datei("Terval Gesamtergebnis.TXT"));
  fs::create_directory(v.Datei("Terval Gesamtergebnis.TXT"));
  SchreibeDatei(v.Datei("Terval Gesamtergebnis.TXT/drin.txt"), "bleibt");
  Aufzeichner ui;
  Laufoptionen o;
  o.TextAusgabe = true;
  const Laufbericht b = test::Starte(*m, ui, v.Pfad(), o);
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_EQ(b.nichtGeschrieben, std::vector<std::string>{"Terval Gesamtergebnis.TXT"});
  EXPECT_TRUE(fs::is_directory(v.Datei("Terval Gesamtergebnis.TXT")));
  EXPECT_EQ(Dateiinhalt(v.Datei("Terval Gesamtergebnis.TXT/drin.txt")), "bleibt");
  test::ErwarteEndlicheErgebnisse(*m, v.Pfad());
}

}  // namespace
}  // namespace terval
