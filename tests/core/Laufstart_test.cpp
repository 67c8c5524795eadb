#include "core/Laufstart.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/Aufzeichner.h"
#include "model/Vardef.h"
#include "physics/getsoildata.h"

namespace terval {
namespace test {
// Readable failure output for recorded messages.
void PrintTo(const Nachricht& n, std::ostream* os) { *os << n.art << ": " << n.text; }
}  // namespace test
namespace {

namespace fs = std::filesystem;

const char* const KlimaFehlt =
    "Der aktuelle Klimadatensatz enthält noch fehlende Daten !\r"
    "Vervollständigen Sie ihn oder verwenden Sie die Option \"Fehlende Klimadaten ergänzen\" um "
    "die Datenbank synthetisch zu vervollständigen!\r"
    "Klimaelemente mit fehlenden Daten sind in der Gültigkeitsprüfung ROT gekennzeichnet !";
const char* const KeinKanal = "Sie haben noch keinen Erdkanal definiert !";
const char* const MarkeAusserhalb = "Das markierte Segment liegt nicht innerhalb des Kanals";
const char* const Hauptstrang =
    "Die Angaben für das Rohmaterial \"Hauptstrang\" sind unvollständig oder ungültig !";
const char* const Register =
    "Die Angaben für das Rohmaterial \"Register\" sind unvollständig oder ungültig !";
const char* const Abgebrochen = "Die Simulation wurde vom Anweder abgebrochen !";

std::string KeineUhrzeit(const std::string& text) {
  return text + " ist keine gültige Uhrzeit !\rBitte prüfen Sie ihre Angaben im Feld \"Ausgabeoptionen\"";
}

// Records the run's begin and end besides the messages.
class Laufbeobachter : public test::Aufzeichner {
 public:
  int begonnen = 0, beendet = 0;
  std::vector<std::string> schreibfenster;
  void LaufBeginnt() override { ++begonnen; }
  void LaufEndet() override { ++beendet; }
  void SchreibfensterZeigen(const std::string& label) override { schreibfenster.push_back(label); }
};

// A channel of two single-pipe segments at 2 m, with a climate year that
// passes every check: a mild annual cosine, constant humidity, wind, sun
// and clouds, a little rain.
void FuelleLauffaehig(Modell& m) {
  SetzeStartzustand(m);
  m.Anz_Segmente = 2;
  for (int s = 1; s <= 2; ++s) {
    m.Segmente[s].Anz_Rohre = 1;
    m.Segmente[s].Tiefe = 2.0f;
  }
  m.Rohrdaten.Rohr_Ra = {0.0f, 0.1f, 0.1f};
  m.Rohrdaten.Rohr_Dicke = {0.0f, 0.01f, 0.01f};
  m.Rohrdaten.Seglaenge = 5.0f;
  m.Kanalbetrieb.Volstrom = 300;
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    k.T_Luft = static_cast<float>(9.0 - 8.0 * std::cos(2.0 * M_PI * (h - 400) / Stunden));
    k.rFeuchte = 80.0f;
    k.Wind = 2.0f;
    k.Glob_Str = (h - 1) % 24 >= 7 && (h - 1) % 24 <= 17 ? 200.0f : 0.0f;
    k.Wolken = 4.0f;
    k.Nieders = 0.1f;
  }
  m.KlimaGueltig = m.KlimaKomplett = true;
  m.TLuftKomplett = m.FeuchteKomplett = m.WindKomplett = m.StrahlungKomplett = true;
  m.NiederschlagKomplett = m.WolkenKomplett = true;

  // The shipped soil table when the build has placed it, else one loam.
  const fs::path soils = fs::path(TERVAL_DATENVERZEICHNIS) / "SOILS.DAT";
  if (!fs::exists(soils) || !GetSoilData(m, soils.string())) {
    TBodenDaten& b = m.Boeden[1];
    b.Kuerzel = "L";
    b.BodenName = "Lehm";
    b.ThetaSat = 0.45, b.ThetaRef = 0.3, b.PsiSat = -0.2, b.KSat = 3.0e-6;
    b.CBoden = 2.2e6, b.B_Exponent = 5.0;
    m.AnzBoeden = 1;
  }
  m.Bodenart = 1;
}

class Laufstart : public ::testing::Test {
 protected:
  void SetUp() override {
    m = NeuesModell();
    FuelleLauffaehig(*m);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          (std::string("terval_lauf_") + info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  Laufbericht Starte() { return EKModellFDVerfahren(*m, ui, opt, dir.string()); }

  // The one message of a refused run, and proof that it never started.
  void ErwarteAbgelehnt(const std::string& text) {
    SCOPED_TRACE(text);
    Laufbericht b = Starte();
    EXPECT_EQ(b.ergebnis, Laufergebnis::Abgelehnt);
    EXPECT_TRUE(b.dateien.empty());
    EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Fehler", text}}));
    EXPECT_EQ(ui.begonnen, 0);
    EXPECT_TRUE(ui.status.empty());
    EXPECT_TRUE(fs::is_empty(dir));
    ui.nachrichten.clear();
  }

  std::unique_ptr<Modell> m;
  Laufoptionen opt;
  Laufbeobachter ui;
  fs::path dir;
};

TEST_F(Laufstart, ChecksComeInTheirOrderEachEndingTheCommand) {
  // Everything wrong at once: each fix reveals the next check.
  m->KlimaKomplett = false;
  m->Anz_Segmente = 1;
  m->Segmente[2].Anz_Rohre = 3;  // a register without spacing
  m->Segmente[2].Abst_Rohre = 0;
  opt.NurEinTermin = true;
  opt.AusgabeStundeText = "24";
  opt.MarkSegmentText = "3";
  m->Rohrdaten.Rohr_Ra[1] = 0;
  m->Rohrdaten.Rohr_Ra[2] = -0.1f;
  m->StopRequested = true;

  ErwarteAbgelehnt(KlimaFehlt);
  EXPECT_FALSE(m->StopRequested);  // cleared before anything else
  m->KlimaKomplett = true;
  ErwarteAbgelehnt(KeinKanal);
  m->Anz_Segmente = 2;
  ErwarteAbgelehnt("Das Rohrregister in Segment 2 weist einen ungültigen Rohrabstand (=0) auf !");
  m->Segmente[2].Abst_Rohre = 0.3f;
  ErwarteAbgelehnt(KeineUhrzeit("24"));
  opt.AusgabeStundeText = "23";
  ErwarteAbgelehnt(MarkeAusserhalb);
  opt.MarkSegmentText = "2";  // the last segment may be marked
  ErwarteAbgelehnt(Hauptstrang);
  m->Rohrdaten.Rohr_Ra[1] = 0.1f;
  ErwarteAbgelehnt(Register);
}

TEST_F(Laufstart, ChannelOfOneSegmentIsRefused) {
  m->Anz_Segmente = 1;
  ErwarteAbgelehnt(KeinKanal);
  m->Anz_Segmente = 0;
  ErwarteAbgelehnt(KeinKanal);
}

TEST_F(Laufstart, OutputHourIsExaminedOnlyForOneHourPerDay) {
  m->Rohrdaten.Rohr_Ra[1] = 0;  // stops the command after the hour and mark checks
  opt.NurEinTermin = true;
  for (const char* falsch : {"24", "abc", "-1", "", "12.5", "1e1"}) {
    opt.AusgabeStundeText = falsch;
    ErwarteAbgelehnt(KeineUhrzeit(falsch));
  }
  for (const char* gut : {"0", "23", " 7 "}) {
    opt.AusgabeStundeText = gut;
    ErwarteAbgelehnt(Hauptstrang);
  }
  opt.NurEinTermin = false;
  opt.AusgabeStundeText = "abc";
  ErwarteAbgelehnt(Hauptstrang);
}

TEST_F(Laufstart, MarkedSegment) {
  m->Rohrdaten.Rohr_Ra[1] = 0;
  for (const char* gut : {"-1", "2", "0", "1"}) {
    opt.MarkSegmentText = gut;
    ErwarteAbgelehnt(Hauptstrang);
  }
  opt.MarkSegmentText = "3";
  ErwarteAbgelehnt(MarkeAusserhalb);
  opt.MarkSegmentText = "zwei";
  ErwarteAbgelehnt(
      "zwei ist keine gültige Segmentnummer !\rBitte prüfen Sie ihre Angaben im Feld "
      "\"Segment-Markierung für 2D-Feld\"");
}

TEST_F(Laufstart, RefusedRunLeavesTheOptionsAsTheyWere) {
  m->AusgabeStamm = "alt";
  m->AusgabeVerzeichnis = "/alt";
  m->ErgebnisseVorhanden = true;
  opt.Stammname = "neu";
  opt.MitFeuchte = false;
  opt.FeuchteZeitschritt = 60;
  opt.TextAusgabe = true;
  opt.NurEinTermin = true;
  opt.AusgabeStundeText = "5";
  opt.MarkSegmentText = "2";
  m->Rohrdaten.Rohr_Ra[2] = 0;  // the last check refuses
  ErwarteAbgelehnt(Register);
  EXPECT_EQ(m->AusgabeStamm, "alt");
  EXPECT_EQ(m->AusgabeVerzeichnis, "/alt");
  EXPECT_TRUE(m->MitFeuchte);
  EXPECT_EQ(m->FeuchteZeitschritt, 3600);
  EXPECT_FALSE(m->TextAusgabe);
  EXPECT_FALSE(m->NurEinTermin);
  EXPECT_EQ(m->AusgabeStunde, 12);
  EXPECT_EQ(m->MarkSegment, -1);
  EXPECT_TRUE(m->ErgebnisseVorhanden);
}

// ---- Complete runs (a small channel, moisture model off) -------------------

std::vector<std::string> Inhalt(const fs::path& dir) {
  std::vector<std::string> namen;
  for (const auto& e : fs::directory_iterator(dir)) namen.push_back(e.path().filename().string());
  std::sort(namen.begin(), namen.end());
  return namen;
}

TEST_F(Laufstart, CompleteRunWritesEveryFileInOrder) {
  opt.Stammname = "Lauf";
  opt.MitFeuchte = false;
  opt.TextAusgabe = true;
  opt.Tagesgang = true;
  opt.MarkSegmentText = "2";
  opt.NurEinTermin = true;
  opt.AusgabeStundeText = "6";
  Laufbericht b = Starte();
  ASSERT_EQ(b.ergebnis, Laufergebnis::Fertig) << (ui.nachrichten.empty() ? "" : ui.nachrichten[0].text);
  EXPECT_TRUE(ui.nachrichten.empty());
  EXPECT_EQ(ui.begonnen, 1);
  EXPECT_EQ(ui.beendet, 1);

  const std::vector<std::string> erwartet = {
      "Lauf2D Feld Seg   2 Tag  14.DAT", "Lauf2D Feld Seg   2 Tag  74.DAT",
      "Lauf2D Feld Seg   2 Tag 166.DAT", "Lauf2D Feld Seg   2 Tag 225.DAT",
      "Lauf2D Feld Seg   2 Tag 258.DAT", "Lauf Gesamtergebnis.TXT",
      "Lauf Kanal Tag 14.TXT",           "Lauf Kanal Tag 74.TXT",
      "Lauf Kanal Tag 166.TXT",          "Lauf Kanal Tag 225.TXT",
      "Lauf Kanal Tag 258.TXT",          "Lauf Verlauf Tag 14.TXT",
      "Lauf Verlauf Tag 74.TXT",         "Lauf Verlauf Tag 166.TXT",
      "Lauf Verlauf Tag 225.TXT",        "Lauf Verlauf Tag 258.TXT"};
  EXPECT_EQ(b.dateien, erwartet);
  EXPECT_TRUE(b.nichtGeschrieben.empty());
  auto sortiert = erwartet;
  std::sort(sortiert.begin(), sortiert.end());
  EXPECT_EQ(Inhalt(dir), sortiert);

  // The options reached the model and the writers.
  EXPECT_EQ(m->AusgabeVerzeichnis, dir.string());
  EXPECT_EQ(m->AusgabeStamm, "Lauf");
  EXPECT_TRUE(m->NurEinTermin);
  EXPECT_EQ(m->AusgabeStunde, 6);
  EXPECT_EQ(m->MarkSegment, 2);
  EXPECT_FALSE(m->MitFeuchte);
  EXPECT_TRUE(m->ErgebnisseVorhanden);
  std::ifstream gesamt(dir / "Lauf Gesamtergebnis.TXT", std::ios::binary);
  int zeilen = 0;
  for (std::string z; std::getline(gesamt, z);) ++zeilen;
  EXPECT_EQ(zeilen, 2 + 365);

  // The last segment is drawn after the run, before the files are written.
  ASSERT_FALSE(ui.gezeichneteSegmente.empty());
  EXPECT_EQ(ui.gezeichneteSegmente.back(), 2);
  EXPECT_EQ(ui.schreibfenster.front(), "Schreibe \"Lauf Gesamtergebnis.TXT\"");
  EXPECT_EQ(ui.schreibfenster.size(), 11u);
}

TEST_F(Laufstart, StoppedRunWritesNothing) {
  opt.MitFeuchte = false;
  opt.TextAusgabe = true;
  opt.Tagesgang = true;
  ui.beiProcMsg = [&](int) { m->StopRequested = true; };
  Laufbericht b = Starte();
  EXPECT_EQ(b.ergebnis, Laufergebnis::Abgebrochen);
  EXPECT_TRUE(b.dateien.empty());
  EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{{"Warnung", Abgebrochen}}));
  EXPECT_TRUE(fs::is_empty(dir));
  // Stopped after segment 1; the chart of the last segment is not drawn.
  EXPECT_EQ(ui.gezeichneteSegmente, std::vector<int>{1});
  EXPECT_EQ(ui.begonnen, 1);
  EXPECT_EQ(ui.beendet, 1);
  EXPECT_TRUE(ui.schreibfenster.empty());
}

TEST_F(Laufstart, RefusedFanScheduleWritesNothing) {
  m->Kanalbetrieb.Volstrom = -1;
  m->ErgebnisseVorhanden = false;
  Laufbericht b = Starte();
  EXPECT_EQ(b.ergebnis, Laufergebnis::Abgelehnt);
  EXPECT_EQ(ui.Texte("Fehler"), std::vector<std::string>{"Der Wert für den Volumenstrom ist ungültig !"});
  EXPECT_TRUE(fs::is_empty(dir));
  EXPECT_FALSE(m->ErgebnisseVorhanden);
}

TEST_F(Laufstart, TableOutputIsTheDefault) {
  opt.MitFeuchte = false;
  opt.Stammname = "Tab";
  Laufbericht b = Starte();
  ASSERT_EQ(b.ergebnis, Laufergebnis::Fertig);
  ASSERT_FALSE(b.dateien.empty());
  EXPECT_EQ(b.dateien.front(), "Tab Gesamtergebnis.dbf");
  EXPECT_EQ(b.dateien.size(), 6u);  // table and five channel profiles, no day courses
  EXPECT_TRUE(fs::exists(dir / "Tab Gesamtergebnis.dbf"));
}

TEST_F(Laufstart, UnwritableDirectoryIsNotClaimed) {
  opt.MitFeuchte = false;
  opt.TextAusgabe = true;
  Laufbericht b = EKModellFDVerfahren(*m, ui, opt, (dir / "fehlt").string());
  EXPECT_EQ(b.ergebnis, Laufergebnis::Fertig);
  EXPECT_TRUE(b.dateien.empty());
  EXPECT_EQ(b.nichtGeschrieben.size(), 6u);
  // Text files fail without a message.
  EXPECT_TRUE(ui.nachrichten.empty());
}

}  // namespace
}  // namespace terval
