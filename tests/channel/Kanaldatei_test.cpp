// The channel file (.ewt.db) and the pipe catalogue: every value comes back
// exactly and sits in the column other readers expect, settings that do not
// go together are repaired on loading, a failed save keeps the old file.
// Files the loaders refuse are in the hostile catalogue.
#include <gtest/gtest.h>

#include <random>

#include "channel/URohrdaten.h"
#include "channel/UshowKanaldaten.h"
#include "model/Vardef.h"
#include "tables/DbfTabelle.h"
#include "support/Aufzeichner.h"
#include "support/TabellenTesthilfen.h"

namespace terval {
namespace {

using namespace test;

// A channel whose every value is distinct and no short decimal.
void BaueKanal(Modell& m, int segmente) {
  std::mt19937 zufall(4711);
  std::uniform_real_distribution<float> w(0.0f, 10.0f);
  m.Anz_Segmente = segmente;
  for (int k = 1; k <= segmente; ++k)
    m.Segmente[k] = {1 + k % 4, w(zufall), w(zufall), w(zufall), w(zufall), w(zufall), w(zufall), k % 3};
  m.Kanalbetrieb = {345, 17, 6, 22, 3.3333333f, 21.123457f, 3, true};
  m.Rohrdaten = {{"", "PE-HD DN 200 SDR 17 – Hauptstrang", "Steinzeug DN 150 (ä ö ü ß)"}, {0, 0.1f, 0.0935f},
                 {0, 0.0118f, 0.0195f}, {0, 0.42f, 1.2f}, 1.25f};
}

// The channel saved, loaded into a model with results and saved again: the
// same bytes, the results untouched. Three segments as the golden example has
// them (the layout other readers expect, read back by dbfread alike).
TEST(Kanaldatei, KommtGenauZurueckUndStehtWieImBeispiel) {
  Testverzeichnis v;
  auto quelle = NeuesModell(), ziel = NeuesModell();
  Aufzeichner ui;
  BaueKanal(*quelle, 3);
  ASSERT_TRUE(SpeichereKanaldatei(*quelle, ui, v.Datei("drei.ewt.db")));
  EXPECT_EQ(UnterschiedZuGolden(v.Datei("drei.ewt.db"), "channel/Erdkanal.ewt.db"), "");
  EXPECT_EQ(UnterschiedZuDbfread(v.Datei("drei.ewt.db")).value_or(""), "");
  BaueKanal(*quelle, MaxSegmente);
  ASSERT_TRUE(SpeichereKanaldatei(*quelle, ui, v.Datei("a.ewt.db")));
  EXPECT_EQ(quelle->Kanaldatei, v.Datei("a.ewt.db"));
  EXPECT_EQ(quelle->Startverzeichnis, "") << "Speichern ändert das Startverzeichnis nicht";
  ziel->Segmente[7].T_aus[100] = 12.5f;
  ziel->Kanalbetrieb.VolStromAusKlima = true;
  ASSERT_TRUE(LadeKanaldatei(*ziel, ui, v.Datei("a.ewt.db")));
  EXPECT_EQ(ziel->Segmente[7].T_aus[100], 12.5f);
  EXPECT_TRUE(ziel->Kanalbetrieb.VolStromAusKlima);
  EXPECT_EQ(ziel->Startverzeichnis, v.Pfad());
  ASSERT_TRUE(SpeichereKanaldatei(*ziel, ui, v.Datei("b.ewt.db")));
  EXPECT_TRUE(Dateiinhalt(v.Datei("a.ewt.db")) == Dateiinhalt(v.Datei("b.ewt.db")));
  EXPECT_TRUE(ui.nachrichten.empty());
}

// A channel file cell by cell: rows of numbers in float columns.
std::string Roh(const Testverzeichnis& v, const std::vector<std::vector<double>>& zeilen) {
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(v.Datei("roh.ewt.db"), std::vector<Felddefinition>(10), fehler);
  for (const auto& z : zeilen)
    for (int s = t->Anhaengen(), i = 0; i < static_cast<int>(z.size()); ++i) t->SchreibeZahl(s, i, z[i]);
  EXPECT_TRUE(t->Schliessen(fehler)) << fehler;
  return v.Datei("roh.ewt.db");
}

// Five-day operation only in the temperature-controlled mode, repaired with
// a message; the index column is not read; integers may sit in float columns.
TEST(Kanaldatei, WasEinAnderesProgrammSchreibt) {
  Testverzeichnis v;
  const std::vector<double> rohre = {0, 0.1, 0, 0.01, 0.4, 0.08, 0.009, 0.4, 0};
  const std::tuple<double, double, bool, bool> faelle[] = {{1.0, 0, false, true}, {0.5, 0, false, false}, {2.0, 0, false, false},
                                                          {1.0, 2, true, false}, {1.0000001, 3, false, false}, {0, 3, false, false}};
  for (const auto& [fuenftage, betriebsart, gesetzt, meldung] : faelle) {
    auto m = NeuesModell();
    Aufzeichner ui;
    m->Kanalbetrieb.Fuenftagebetrieb = true;
    ASSERT_TRUE(LadeKanaldatei(*m, ui, Roh(v, {{450.0, 1.0, 6.0, 19.0, 120.0, 4.0, 18.0, fuenftage, betriebsart}, rohre,
                                              {3, 1.5}, {1, 2.5}, {-7, 3.5}})));
    EXPECT_EQ(m->Kanalbetrieb.Fuenftagebetrieb, gesetzt) << fuenftage << " / " << betriebsart;
    EXPECT_EQ(ui.Texte("Fehler"), std::vector<std::string>(meldung, "Integritätsfehler im Kanal behoben:\r5-Tages Betrieb "
              "nur möglich im Modus \"geregelter Betrieb\"\r5-Tages Betrieb wurde deaktiviert !"));
    EXPECT_EQ((std::array{m->Kanalbetrieb.Volstrom, m->Kanalbetrieb.Ein_Zeit, m->Kanalbetrieb.Aus_Zeit,
                          m->Kanalbetrieb.Vol_Aus, m->Kanalbetrieb.Betriebsart}),
              (std::array{450, 6, 19, 120, static_cast<int>(betriebsart)}));
    EXPECT_EQ((std::array{m->Anz_Segmente, m->Segmente[1].Anz_Rohre}), (std::array{3, 0}));
    EXPECT_EQ((std::array{m->Segmente[1].Tiefe, m->Segmente[2].Tiefe, m->Segmente[3].Tiefe}), (std::array{1.5f, 2.5f, 3.5f}));
  }
}

// The air path's inputs ride in columns after the ten: a reader by position
// sees the same ten columns, and a file without them (the start values write
// none, as the golden example above shows) loads the start values. Values out
// of range are in the hostile catalogue.
TEST(Kanaldatei, LuftwegInZusatzspalten) {
  Testverzeichnis v;
  auto quelle = NeuesModell(), ziel = NeuesModell();
  Aufzeichner ui;
  BaueKanal(*quelle, 3);
  ASSERT_TRUE(SpeichereKanaldatei(*quelle, ui, v.Datei("ohne.ewt.db")));
  quelle->Hydraulik = {{0, 0.3f, 1.25f}, 0.55f, 4, 0.21f, 1.3f, 0.9f, 45.5f, 0.42f};
  ASSERT_TRUE(SpeichereKanaldatei(*quelle, ui, v.Datei("mit.ewt.db")));
  std::string fehler;
  auto ohne = DbfTabelle::Oeffnen(v.Datei("ohne.ewt.db"), fehler), mit = DbfTabelle::Oeffnen(v.Datei("mit.ewt.db"), fehler);
  ASSERT_TRUE(ohne && mit) << fehler;
  EXPECT_EQ(mit->Felder(), 18);
  for (int satz = 0; satz < 5; ++satz)
    for (int feld = 0; feld < 10; ++feld) EXPECT_EQ(mit->LiesText(satz, feld), ohne->LiesText(satz, feld)) << satz << feld;
  ohne.reset(), mit.reset();

  ASSERT_TRUE(LadeKanaldatei(*ziel, ui, v.Datei("mit.ewt.db")));
  EXPECT_TRUE(ziel->Hydraulik == quelle->Hydraulik);
  ASSERT_TRUE(LadeKanaldatei(*ziel, ui, v.Datei("ohne.ewt.db")));
  EXPECT_TRUE(ziel->Hydraulik == THydraulik{});
  EXPECT_TRUE(ui.nachrichten.empty());
}

// The pipe catalogue by column position, at most 100 entries, the
// conductivity in double precision.
TEST(Rohrkatalog, SpaltenNachPosition) {
  Testverzeichnis v;
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(v.Datei("Rohre.DBF"), {{"Name", Feldtyp::Text, 40}, {"A"}, {"D"}, {"W"}}, fehler);
  for (int i = 1; i <= 101; ++i) {
    const int s = t->Anhaengen();
    t->SchreibeText(s, 0, "Rohr Nr. " + std::to_string(i));
    t->SchreibeZahl(s, 1, 0.1f * i), t->SchreibeZahl(s, 2, 0.001f * i), t->SchreibeZahl(s, 3, 0.42 + i);
  }
  ASSERT_TRUE(t->Schliessen(fehler)) << fehler;
  auto m = NeuesModell();
  ASSERT_TRUE(ReadRohrdatenDB(*m, v.Pfad()));
  ASSERT_EQ(m->Anz_Rohrtypen, 100);
  const TRohrtyp& r = m->Rohrtypen[2];
  EXPECT_EQ(std::tuple(r.Name, r.Aussenmass, r.Dicke, r.wlf), std::tuple("Rohr Nr. 2", 0.2f, 0.002f, 2.42));
  EXPECT_EQ(m->Rohrtypen[100].Name, "Rohr Nr. 100");

}

}  // namespace
}  // namespace terval
