// Interrupted work never costs a file: a run stopped after any segment, a
// save that fails midway (the disk "full" through a file-size limit) and an
// output directory that takes no file all leave every existing file byte for
// byte as it was, and the next save works.
#include <functional>

#include "channel/UshowKanaldaten.h"
#include "climate/DBKlima.h"
#include "hostile/Katalog.h"
#include "location/klimaprofil.h"
#include "output/DBErgout.h"
#include "tables/DbfTabelle.h"

namespace terval {
namespace {

using namespace test;

// A working directory as a user has it after complete runs: channel and
// location files, the result files and the 2-D fields of segment 1.
class Unterbrochen : public ::testing::Test {
 protected:
  void SetUp() override {
    Aufzeichner still;
    ASSERT_TRUE(SpeichereKanaldatei(*m, still, v.Datei("Erdkanal.ewt.db")));
    ASSERT_TRUE(SpeichereStandortdatei(*m, still, v.Datei("Bochum.loc.db")));
    o.Tagesgang = true;
    o.MarkSegmentText = "1";
    ASSERT_EQ(Starte(*m, still, v.Pfad(), o).ergebnis, Laufergebnis::Fertig);  // the results as a table,
    o.TextAusgabe = true;
    ASSERT_EQ(Starte(*m, still, v.Pfad(), o).ergebnis, Laufergebnis::Fertig);  // and as text
    m->Kanalbetrieb.Volstrom = 450;  // the next run differs, so a file it wrote would show
    m->AusgabeVerzeichnis = v.Pfad();
  }

  Testverzeichnis v;
  std::unique_ptr<Modell> m = Lauffaehig();
  Laufoptionen o;
};

// The 2-D fields of the marked segment are written during the run; a stopped
// run puts the earlier ones back.
TEST_F(Unterbrochen, LaufNachJedemSegmentGestoppt) {
  for (int segment = 1; segment <= m->Anz_Segmente; ++segment) {
    SCOPED_TRACE(segment);
    const auto dateien = Dateien(v.Pfad());
    Aufzeichner ui;
    ui.beiProcMsg = [&](int aufrufe) { m->StopRequested = m->StopRequested || aufrufe == segment; };
    EXPECT_EQ(Starte(*m, ui, v.Pfad(), o).ergebnis, Laufergebnis::Abgebrochen);
    EXPECT_EQ(ui.Texte("Warnung"), std::vector<std::string>{"Die Simulation wurde vom Anweder abgebrochen !"});
    ErwarteGleicheDateien(dateien, v.Pfad());
  }
}

// Every save of the program, with the disk full early and just before the
// end of the file it replaces.
TEST_F(Unterbrochen, SpeichernMitVollerPlatte) {
  m->Anz_Segmente = 150;
  for (int s = 4; s <= 150; ++s) m->Segmente[s] = m->Segmente[1 + s % 3];
  m->Ortsname = "Anderswo";
  const std::vector<std::pair<const char*, std::function<bool(Aufzeichner&, const std::string&)>>> alle = {
      {"Erdkanal.ewt.db", [&](auto& ui, auto& d) { return SpeichereKanaldatei(*m, ui, d + "/Erdkanal.ewt.db"); }},
      {"Bochum.loc.db", [&](auto& ui, auto& d) { return SpeichereStandortdatei(*m, ui, d + "/Bochum.loc.db"); }},
      {"Terval Gesamtergebnis.dbf", [&](auto& ui, auto& d) { return WriteDBSegmentData(*m, ui, d, "Terval"); }},
      {"Terval Gesamtergebnis.TXT", [&](auto& ui, auto& d) { return WriteTextSegmentData(*m, ui, d, "Terval"); }},
      {"Terval Kanal Tag 14.TXT", [&](auto& ui, auto& d) { return WriteTextKanalData(*m, ui, 14, d, "Terval"); }},
      {"Terval Verlauf Tag 14.TXT", [&](auto& ui, auto& d) { return WriteTagesgang(*m, ui, 14, d, "Terval"); }},
  };
  for (const auto& [datei, speichern] : alle) {
    Testverzeichnis probe;  // the size of the new file, from a save elsewhere
    Aufzeichner still;
    ASSERT_TRUE(speichern(still, probe.Pfad())) << datei;
    for (rlim_t grenze : {rlim_t{500}, Dateiinhalt(probe.Datei(datei)).size() - 100}) {
      SCOPED_TRACE(std::string(datei) + " bei " + std::to_string(grenze) + " Bytes");
      const auto dateien = Dateien(v.Pfad());
      Dateigroessengrenze voll(grenze);
      EXPECT_FALSE(speichern(still, v.Pfad()));
      ErwarteGleicheDateien(dateien, v.Pfad());
    }
    EXPECT_TRUE(speichern(still, v.Pfad())) << datei << ": mit Platz geht es wieder";
  }
}

// The climate table is written back when it is read; with the disk full the
// table stays as it was, and the year is still read.
TEST_F(Unterbrochen, KlimaZurueckschreibenMitVollerPlatte) {
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(v.Datei("Klima.DBF"), {{"Nr"}, {"T"}, {"rF"}, {"W"}, {"G"}}, fehler);
  for (int h = 1; h <= Stunden; ++h)
    for (int k = 0, s = t->Anhaengen(); k <= 4; ++k)
      if (h != 77 || k != 2) t->SchreibeZahl(s, k, static_cast<float>(k));  // hour 77: no humidity
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  const auto dateien = Dateien(v.Pfad());
  m->DBKlimaName = v.Datei("Klima.DBF");
  Aufzeichner ui;
  {
    Dateigroessengrenze voll(100000);
    ReadKlimaDB(*m, ui);
  }
  EXPECT_TRUE(m->KlimaGueltig);
  EXPECT_EQ(m->Klima[77].rFeuchte, Fehlwert);
  ASSERT_EQ(ui.Texte("Fehler").size(), 1u);
  EXPECT_EQ(ui.Texte("Fehler")[0].find("Die Klimadaten konnten nicht in die Datenbank " + v.Datei("Klima.DBF") +
                                       " zurückgeschrieben werden !\r"), 0u);
  ErwarteGleicheDateien(dateien, v.Pfad());
}

// An output directory that refuses new files, and a directory where the
// overall results should go: the run completes and says what it could not
// write; nothing that was there changes.
TEST_F(Unterbrochen, AusgabeNichtBeschreibbar) {
  std::filesystem::remove(v.Datei("Terval Gesamtergebnis.TXT"));
  std::filesystem::create_directory(v.Datei("Terval Gesamtergebnis.TXT"));
  SchreibeDatei(v.Datei("Terval Gesamtergebnis.TXT/drin.txt"), "bleibt");
  Aufzeichner ui;
  Laufbericht b = Starte(*m, ui, v.Pfad(), o);
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_EQ(b.nichtGeschrieben, std::vector<std::string>{"Terval Gesamtergebnis.TXT"});
  EXPECT_EQ(Dateiinhalt(v.Datei("Terval Gesamtergebnis.TXT/drin.txt")), "bleibt");
  ErwarteEndlicheErgebnisse(*m, v.Pfad());

  const auto dateien = Dateien(v.Pfad());
  Aufzeichner gesperrt;
  {
    GesperrtesVerzeichnis sperre(v.Pfad());
    if (!sperre.Gesperrt()) GTEST_SKIP() << "Verzeichnis lässt sich hier nicht sperren";
    b = Starte(*m, gesperrt, v.Pfad());
  }
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_TRUE(b.dateien.empty());
  EXPECT_EQ(b.nichtGeschrieben.size(), 6u);
  EXPECT_EQ(gesperrt.Texte("Fehler"),
            std::vector<std::string>{"Die Ergebnistabelle \"Terval Gesamtergebnis\" konnte nicht geschrieben werden !\rDie "
                                     "Datei \"" + v.Datei("Terval Gesamtergebnis.dbf") + "\" konnte nicht gespeichert "
                                     "werden: keine Zugriffsberechtigung; die bisherige Datei bleibt unverändert."});
  ErwarteGleicheDateien(dateien, v.Pfad());
}

}  // namespace
}  // namespace terval
