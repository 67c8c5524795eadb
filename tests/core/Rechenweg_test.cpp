// Whole-year runs: small channels against properties of the physics, and the
// two ways through a channel leave the model bit for bit the same: every
// segment on its own (its own moisture column, its soil properties every
// hour), and the shared moisture trajectory replayed with the per-row heat
// step. Compared with memcmp, so even -0 against +0 would show.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "core/Feuchtebahn.h"
#include "core/Jahreslauf.h"
#include "output/DBErgout.h"
#include "output/Ergebnissatz.h"
#include "physics/UgetRadiation.h"
#include "physics/getsoildata.h"
#include "physics/maths.h"
#include "physics/monteith.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::SetzeSegment;

// Everything the core tells apart: open, overbuilt and sealed ground (also
// Überbaut 5), a single pipe and two registers, a cellar on the left, on the
// right and on both sides (the widest grid of 40 columns), pipe axes from 1.5 to 4 m, a fan by the clock
// (hours without flow pass the air unchanged), and rain on one day in five
// in bursts of 6 hours, so the top layer dries below ThetaRef in between.
void MischKanal(Modell& m) {
  m.Anz_Segmente = 9, m.Rohrdaten.Rohr_Ra[1] = 0.3f, m.Rohrdaten.Rohr_Ra[2] = 0.15f, m.Kanalbetrieb.Betriebsart = 1;
  const struct {
    int rohre;
    float tiefe, abstand, links, rechts;
    int ueberbaut;
  } segmente[] = {{1, 2, 0, 0, 0, 0},    {1, 2, 0, 0, 0, 1}, {3, 2.5f, 0.5f, 0, 0, 0},
                  {1, 1.5f, 0, 0, 0, 2}, {1, 3, 0, 0, 2, 0}, {2, 2, 0.3f, 2.5f, 0, 1},
                  {1, 4, 0, 15, 5, 0},   {1, 2, 0, 0, 0, 5}, {1, 2, 0, 0, 0, 0}};
  for (int s = 1; s <= 9; ++s) {
    const auto& g = segmente[s - 1];
    SetzeSegment(m, s, g.rohre, g.tiefe, g.abstand);
    m.Segmente[s].Abst_Geb_li = g.links, m.Segmente[s].Abst_Geb_re = g.rechts, m.Segmente[s].Überbaut = g.ueberbaut;
  }
  test::FuelleKlima(m, test::Jahresklima);
  for (int h = 1; h <= Stunden; ++h)
    m.Klima[h].Nieders = ((h - 1) / 24) % 5 == 0 && (h - 1) % 24 < 6 ? 1.5f : 0.0f;
}

template <typename T, size_t N>
long ErsteAbweichung(const std::array<T, N>& a, const std::array<T, N>& b) {
  for (size_t i = 0; i < N; ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0) return static_cast<long>(i);
  return -1;
}
#define FELD(f) std::pair<const char*, long>(#f, ErsteAbweichung(a.f, b.f))

void ErwarteGleich(const Modell& a, const Modell& b) {
  for (int s = 1; s <= a.Anz_Segmente + 1; ++s)
    for (auto [name, i] : {FELD(Segmente[s].T_aus), FELD(Segmente[s].T_ein), FELD(Segmente[s].Alpha),
                           FELD(Segmente[s].VolStromRohr)})
      EXPECT_EQ(i, -1) << name << " " << s;
  // All fields of every hour (the moisture ones of the last segment), the
  // state of the last segment's grid and soil.
  for (auto [name, i] : {FELD(Klima), FELD(VolStromStunde), FELD(T_Feld), FELD(T_Neu), FELD(K_Zelle), FELD(K_W),
                         FELD(K_O), FELD(K_N), FELD(K_S), FELD(RingMarke), FELD(Theta), FELD(Lambda),
                         FELD(K_Schicht), FELD(K_Hydr), FELD(D_Hydr), FELD(G_Schwer), FELD(T_Profil),
                         FELD(T_ProfilHilf), FELD(Gehalt), FELD(Kondensat.abfluss)})
    EXPECT_EQ(i, -1) << name;
  EXPECT_EQ(std::memcmp(&a.T_Jahresmittel, &b.T_Jahresmittel, sizeof(float)), 0);
}

// Records the day-by-day progress too.
class Zaehler : public test::Aufzeichner {
 public:
  std::vector<int> tage;
  void Fortschritt(int wert, int maximum) override {
    EXPECT_EQ(maximum, 365);
    tage.push_back(wert);
  }
};

struct Beide {
  std::unique_ptr<Modell> s = test::Kernmodell(), g;
  Zaehler ui_s, ui_g;
  Jahreslauf lauf_s, lauf_g;
  Bodenjahr boden_s, boden_g;
};

std::string Lies(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Both ways on copies of the mixed channel, `vorbereiten` adjusting it first.
// Segment 6 (an overbuilt register beside a cellar) is marked: each way
// writes its 2-D fields under its own stem.
void RechneBeide(Beide& x, const std::function<void(Modell&)>& vorbereiten) {
  const auto dir = std::filesystem::temp_directory_path() / ("terval_rechenweg_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  MischKanal(*x.s);
  x.s->MarkSegment = 6, x.s->AusgabeVerzeichnis = dir.string(), x.s->AusgabeStamm = "S";
  vorbereiten(*x.s);
  test::Aufzeichner pruefung;
  ASSERT_TRUE(PruefeKanal(*x.s, pruefung) && PruefeGitter(*x.s, pruefung));
  x.g = std::make_unique<Modell>(*x.s);
  x.g->AusgabeStamm = "G";
  ASSERT_TRUE(FeuchtebahnMoeglich(*x.g));  // else the shared way would go segment by segment
  {
    std::string fehler;
    auto satz_s = Ergebnissatz::Oeffnen(dir.string(), "S", fehler);
    auto satz_g = Ergebnissatz::Oeffnen(dir.string(), "G", fehler);
    ASSERT_TRUE(satz_s && satz_g) << fehler;
    x.lauf_s.Boden = &x.boden_s, x.lauf_g.Boden = &x.boden_g;
    RechneKanal(*x.s, x.ui_s, x.lauf_s, Rechenweg::Segmentweise, satz_s.get());
    RechneKanal(*x.g, x.ui_g, x.lauf_g, Rechenweg::Gemeinsam, satz_g.get());
    EXPECT_TRUE(satz_s->Uebernehmen(fehler) && satz_g->Uebernehmen(fehler)) << fehler;
  }
  // The day fields of the marked segment: the same both ways (the shared way's moisture column from its
  // trajectory), one a day, the last the state the segment hands on.
  const bool fertig = x.ui_g.gezeichneteSegmente.size() >= 6;
  ASSERT_EQ(x.boden_g.Tage().size(), fertig ? 365u : 0u);
  ASSERT_EQ(x.boden_s.Tage().size(), x.boden_g.Tage().size());
  for (size_t i = 0; i < x.boden_g.Tage().size(); ++i) {
    const Bodenfeld &s = x.boden_s.Tage()[i], &g = x.boden_g.Tage()[i];
    ASSERT_TRUE(g.Tag == int(i) + 1 && s.T == g.T && s.Fest == g.Fest && s.Theta == g.Theta) << g.Tag;
  }
  if (fertig) {
    const Bodenfeld& ende = x.boden_g.Tage().back();
    EXPECT_TRUE(x.boden_g.Segment() == 6 && ende.WandLinks && !ende.WandRechts && ende.Ueberbaut == 1);
    EXPECT_EQ(ende.Theta, x.lauf_g.Stand[6].Feuchte.Theta);
    for (int c = 0; c < ende.Spalten; ++c)
      for (int r = 0; r < Zeilen; ++r) ASSERT_EQ(ende.Temperatur(c, r), x.lauf_g.Stand[6].T_Feld[c][r]) << c << " " << r;
  }
  EXPECT_EQ(x.ui_s.status, x.ui_g.status);
  EXPECT_EQ(x.ui_s.gezeichneteSegmente, x.ui_g.gezeichneteSegmente);
  EXPECT_EQ(x.ui_s.nachrichten, x.ui_g.nachrichten);
  EXPECT_EQ(x.ui_s.tage, x.ui_g.tage);  // the window repaints day by day in both
  EXPECT_EQ(x.ui_g.tage.size(), 365u * x.ui_g.gezeichneteSegmente.size());
  ErwarteGleich(*x.s, *x.g);
  int dateien = 0;
  for (int tag : Referenztage) {
    const std::string s = Lies(dir / FeldDateiname("S", 6, tag)), g = Lies(dir / FeldDateiname("G", 6, tag));
    dateien += s.size() > 1000;
    EXPECT_EQ(s, g) << tag;
  }
  EXPECT_EQ(dateien, x.ui_g.gezeichneteSegmente.size() >= 6 ? 5 : 0);
  std::filesystem::remove_all(dir);
}

TEST(Rechenwege, GiveTheSameChannel) {
  const struct {
    const char* name;
    std::function<void(Modell&)> vorbereiten;
  } faelle[] = {
      {"stündlich", [](Modell&) {}},
      // The first hydraulic update of every segment lowers the profile to
      // saturation; the climate fields come from a sealed last segment.
      {"10 Minuten, übersättigt",
       [](Modell& m) { m.FeuchteZeitschritt = 600, m.StartBodenfeuchte = 110.0f, m.Segmente[9].Überbaut = 2; }},
      {"halbstündlich", [](Modell& m) { m.FeuchteZeitschritt = 1800; }},
      {"ohne Feuchtemodell", [](Modell& m) { m.MitFeuchte = false; }},
      // 0.5 sub-steps per hour round to none: the fields stay as they were.
      {"Schritt zu lang", [](Modell& m) {
         m.FeuchteZeitschritt = 7200;
         for (int h = 1; h <= Stunden; ++h) m.Klima[h].r_Verd_mm = 123.0f;
       }},
      // The air-side options go the same way in both (the pipe cells open
      // and close again; the register blocks and cellar walls are exercised).
      {"energieerhaltend, kleiner Volumenstrom",
       [](Modell& m) { m.Luftseite = {.KleinerVolumenstrom = true, .Energieerhaltend = true}; }},
      {"kondensation, feuchte Luft",
       [](Modell& m) { m.Luftseite.Kondensation = true; for (auto& k : m.Klima) k.rFeuchte = 95.0f; }},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    Beide x;
    RechneBeide(x, f.vorbereiten);
    // The channel does exercise the moisture and the soil.
    EXPECT_EQ(x.g->Klima[2000].Eta_z1 != x.g->Klima[1].Eta_z1,
              x.g->MitFeuchte && x.g->FeuchteZeitschritt < 7200);
    EXPECT_NE(x.g->Segmente[9].T_aus[4000], x.g->Segmente[9].T_ein[4000]);
  }
}

TEST(Rechenwege, StopAfterASegmentLeavesTheSameModel) {
  Beide x;
  x.ui_s.beiProcMsg = [&](int aufruf) { x.s->StopRequested = aufruf == 3; };
  x.ui_g.beiProcMsg = [&](int aufruf) { x.g->StopRequested = aufruf == 3; };
  RechneBeide(x, [](Modell&) {});
  EXPECT_EQ(x.ui_g.gezeichneteSegmente, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(x.ui_g.status.back(), "Rechne Segment 3");  // the window reports the stop
  EXPECT_EQ(x.g->Segmente[4].T_ein, x.g->Segmente[3].T_aus);
}

// A soil the property routines complain about at each call: the shared way
// would report once where each segment reports, so it goes segment by
// segment and says the same.
TEST(Rechenwege, UnusableSoilGoesSegmentBySegmentWithTheSameMessages) {
  Beide x;
  MischKanal(*x.s);
  x.s->Anz_Segmente = 2, x.s->Boeden[1].ThetaSat = -0.45;
  x.s->MitFeuchte = false;  // keeps the number of messages small
  x.g = std::make_unique<Modell>(*x.s);
  SetzeMathsOberflaeche(&x.ui_s);
  RechneKanal(*x.s, x.ui_s, Rechenweg::Segmentweise);
  SetzeMathsOberflaeche(&x.ui_g);
  RechneKanal(*x.g, x.ui_g, Rechenweg::Gemeinsam);
  SetzeMathsOberflaeche(nullptr);
  EXPECT_FALSE(FeuchtebahnMoeglich(*x.g));
  EXPECT_GT(x.ui_s.nachrichten.size(), 2u);
  EXPECT_EQ(x.ui_s.nachrichten, x.ui_g.nachrichten);
  ErwarteGleich(*x.s, *x.g);
  x.g->Bodenart = 0;  // no soil at all
  EXPECT_FALSE(FeuchtebahnMoeglich(*x.g));
}

// The row step, on the grid of a register between cellar walls with a
// different diffusivity in every layer, gives the cell-by-cell step's fields
// bit for bit, fixed cells included, hour after hour from a random field. It
// needs distances whose reciprocals are exact; any other grid goes cell by cell.
TEST(Rechenwege, RowStepEqualsTheCellStepOnTheGridsOfRealSegmentsOnly) {
  auto a = test::Kernmodell();
  SetzeSegment(*a, 1, 2, 4.5f, 0.6f);
  a->Rohrdaten.Rohr_Ra[2] = 0.3f, a->Segmente[1].Abst_Geb_li = 2.0f, a->Segmente[1].Abst_Geb_re = 3.5f;
  InitGrid(*a, 1);
  for (int r = 0; r < Zeilen; ++r) a->Theta[r] = 0.02 + 0.027 * r;
  UpdateBodenThermik(*a);
  std::mt19937 zufall(4711);
  std::uniform_real_distribution<float> T(-15.0f, 35.0f);
  for (auto& spalte : a->T_Feld) std::generate(spalte.begin(), spalte.end(), [&] { return T(zufall); });
  auto b = std::make_unique<Modell>(*a);
  Zellgeometrie zellen;
  ASSERT_TRUE(BereiteZellen(*b, zellen));
  EXPECT_EQ(zellen.anzRohrzellen, 2 * 2 * 2);  // two pipes of 2 x 2 cells
  EXPECT_EQ(zellen.anzWandLinks + zellen.anzWandRechts, 2 * UntersteZeile);
  const Zeilendiffusivitaet k = ZeilenDiffusivitaeten(b->K_Schicht);
  for (int stunde = 0; stunde < 336; ++stunde) {
    const float T_re = T(zufall), T_li = T(zufall), T_wand = T(zufall), T_oben = T(zufall);
    WaermeSchritt(*a, T_re, T_li, T_wand, 9.0f, T_oben, 3600.0f);
    WaermeSchrittZeilen(*b, zellen, k, T_re, T_li, T_wand, 9.0f, T_oben, 3600.0f);
    ASSERT_EQ(ErsteAbweichung(a->T_Neu, b->T_Neu), -1) << stunde;
    ASSERT_EQ(ErsteAbweichung(a->T_Feld, b->T_Feld), -1) << stunde;
    a->T_Feld = a->T_Neu, b->T_Feld = b->T_Neu;
  }
  b->D_O[2][4] = 0.3f;  // x / 0.3 and x * (1 / 0.3) can differ in the last bit
  EXPECT_FALSE(BereiteZellen(*b, zellen));
}

// ---- The trajectory on its own ---------------------------------------------------

TEST(Feuchtebahn, WorkerThreadsChangeNothingAndStopWhenTheRunEndsEarly) {
  auto m = test::Kernmodell();
  MischKanal(*m);
  m->FeuchteZeitschritt = 600;
  BerechneDampfdruck(*m), BerechneLangwelligeStrahlung(*m), BerechneNettostrahlung(*m);
  CalcBestand(*m), BerechneBodenwaermestromUndRa(*m), CalcVerdunstung(*m);
  Feuchtebahn mit(*m, true, true, true), ohne(*m, true, true, false);
  EXPECT_EQ(ohne.Arbeiter(), 0);
  for (Oberflaechenart art : {Oberflaechenart::Offen, Oberflaechenart::Dicht}) {
    mit.BisTag(art, 365), ohne.BisTag(art, 365);
    for (int h = 0; h <= Stunden; ++h) {
      const Feuchtestand &a = mit.Stand(art, h), &b = ohne.Stand(art, h);
      ASSERT_TRUE(ErsteAbweichung(a.Theta, b.Theta) == -1 && ErsteAbweichung(a.Lambda, b.Lambda) == -1 &&
                  ErsteAbweichung(a.Zeilenwerte.N, b.Zeilenwerte.N) == -1 &&
                  std::memcmp(&a.r_Verd_mm, &b.r_Verd_mm, sizeof(float)) == 0)
          << static_cast<int>(art) << " " << h;
    }
  }
  EXPECT_LT(mit.Groesse(), 10u << 20);  // 8761 hours of both kinds in a few megabytes

  m->FeuchteZeitschritt = 1;  // a year of 1 s steps would take long
  Feuchtebahn bahn(*m, true, true);
  bahn.BisTag(Oberflaechenart::Offen, 1);
  EXPECT_GT(bahn.Stand(Oberflaechenart::Offen, 24).Theta[1], 0);
}  // the destructors return after the day their workers are in

// ---- Whole-year runs of small channels ---------------------------------------------

// n default segments (a single pipe at 6 m) on the annual climate with some rain.
std::unique_ptr<Modell> Kanal(int n) {
  auto m = test::Kernmodell();
  m->Anz_Segmente = n;
  for (int s = 1; s <= n; ++s) SetzeSegment(*m, s, 1, 6.0f);
  test::FuelleKlima(*m, test::Jahresklima, 0.1f);
  return m;
}

double Tagesmittel(const std::array<float, Stunden + 1>& T, int tag) {
  double summe = 0;
  for (int k = 0; k < 24; ++k) summe += T[StundenIndex(tag, k)];
  return summe / 24;
}

TEST(RechneKanal, OutletFeedsTheNextSegmentAndTheSoilWorksBothWays) {
  auto m = Kanal(2);
  m->Segmente[3].T_ein.fill(777.0f);
  test::Aufzeichner ui;
  RechneKanal(*m, ui);
  EXPECT_EQ(ui.status, (std::vector<std::string>{"Initialisierung...", "Hauptmodul...", "Rechne Segment 1",
                                                 "Rechne Segment 2", ""}));
  EXPECT_TRUE(ui.gezeichneteSegmente == std::vector<int>({1, 2}) && ui.gridBilder + ui.procMsgAufrufe == 4);
  EXPECT_TRUE(ui.nachrichten.empty() && m->ErgebnisseVorhanden);
  const Kanalsegment &s1 = m->Segmente[1], &s2 = m->Segmente[2];
  EXPECT_EQ(s2.T_ein, s1.T_aus);
  EXPECT_EQ(m->Segmente[3].T_ein[100], 777.0f);  // no segment beyond the channel is written
  // The soil at 6 m warms the January air and cools the July air, segment after segment.
  EXPECT_GT(Tagesmittel(s1.T_aus, 14), Tagesmittel(s1.T_ein, 14) + 0.01);
  EXPECT_GT(Tagesmittel(s2.T_aus, 14), Tagesmittel(s2.T_ein, 14));
  EXPECT_LT(Tagesmittel(s2.T_aus, 200), Tagesmittel(s1.T_ein, 200) - 0.01);
  // Segment 2's surface follows the outdoor air, not its own inlet air.
  ASSERT_NE(s2.T_ein[Stunden], s1.T_ein[Stunden]);
  for (int c = 0; c <= m->LetzteSpalte; ++c) EXPECT_EQ(m->T_Feld[c][0], s1.T_ein[Stunden]);
}

// A constant climate is the soil's steady state: the air leaves as it came,
// and without the moisture model the soil keeps its start moisture.
TEST(RechneKanal, ConstantClimateLeavesAirAndSoilAsTheyWere) {
  auto m = Kanal(2);
  test::FuelleKlima(*m, [](int) { return 10.0f; }, 0.1f);
  m->MitFeuchte = false;
  test::Aufzeichner ui;
  RechneKanal(*m, ui);
  EXPECT_EQ(m->T_Jahresmittel, 10.0f);
  for (int s = 1; s <= 2; ++s)
    for (int h = 1; h <= Stunden; ++h) ASSERT_NEAR(m->Segmente[s].T_aus[h], 10.0f, 1e-4) << s << " " << h;
  for (int r = 0; r < Zeilen; ++r) EXPECT_DOUBLE_EQ(m->Theta[r], 0.5 * 0.45) << r;
  for (int h : {1, 4000, 8760}) EXPECT_FLOAT_EQ(m->Klima[h].Eta_z1, 0.5f * 0.45f);
}

// The scheme treats a column and its mirror image with the same operations
// on negated differences, so a grid symmetric about the pipe keeps an
// exactly mirror-symmetric field.
TEST(RechneKanal, SymmetricGridKeepsASymmetricField) {
  auto m = Kanal(1);
  test::Aufzeichner ui;
  RechneKanal(*m, ui);
  const int n = m->LetzteSpalte;
  ASSERT_EQ(n, 11);
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) EXPECT_NEAR(m->T_Feld[c][r], m->T_Feld[n - c][r], 1e-5) << c << "," << r;
  EXPECT_GT(std::abs(m->T_Feld[3][2] - m->T_Feld[3][14]), 0.5f);  // and not trivially uniform
}

TEST(RechneKanal, MoistureSubStepsPerHour) {  // nearest, halves to even
  for (auto [schritt, teile] : {std::pair{3600, 1}, {1800, 2}, {600, 6}, {60, 60}, {1, 3600}, {2400, 2}, {1440, 2},
                                {7200, 0}, {0, 0}, {-60, 0}})
    EXPECT_EQ(FeuchteTeilschritte(schritt), teile) << schritt;
}

}  // namespace
}  // namespace terval
