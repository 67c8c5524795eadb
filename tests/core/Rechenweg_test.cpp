// The two ways through a channel leave the model bit for bit the same: every
// segment on its own (its own moisture column, its soil properties every
// hour), and the shared moisture trajectory replayed with the per-row heat
// step. Compared with memcmp, so even -0 against +0 would show.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "core/Feuchtebahn.h"
#include "output/DBErgout.h"
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
  m.Anz_Segmente = 9;
  m.Rohrdaten.Rohr_Ra[1] = 0.3f;
  m.Rohrdaten.Rohr_Ra[2] = 0.15f;
  m.Kanalbetrieb.Betriebsart = 1;
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
    m.Segmente[s].Abst_Geb_li = g.links;
    m.Segmente[s].Abst_Geb_re = g.rechts;
    m.Segmente[s].Überbaut = g.ueberbaut;
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
#define GLEICH(feld) EXPECT_EQ(ErsteAbweichung(a.feld, b.feld), -1) << #feld

void ErwarteGleich(const Modell& a, const Modell& b) {
  for (int s = 1; s <= a.Anz_Segmente + 1; ++s) {
    SCOPED_TRACE(s);
    GLEICH(Segmente[s].T_aus);
    GLEICH(Segmente[s].T_ein);
    GLEICH(Segmente[s].Alpha);
    GLEICH(Segmente[s].VolStromRohr);
  }
  // All fields of every hour (the moisture ones of the last segment), the
  // state of the last segment's grid and soil.
  GLEICH(Klima);
  GLEICH(VolStromStunde);
  GLEICH(T_Feld);
  GLEICH(T_Neu);
  GLEICH(K_Zelle);
  GLEICH(K_W);
  GLEICH(K_O);
  GLEICH(K_N);
  GLEICH(K_S);
  GLEICH(RingMarke);
  GLEICH(Theta);
  GLEICH(Lambda);
  GLEICH(K_Schicht);
  GLEICH(K_Hydr);
  GLEICH(D_Hydr);
  GLEICH(G_Schwer);
  GLEICH(T_Profil);
  GLEICH(T_ProfilHilf);
  GLEICH(Gehalt);
  GLEICH(Kondensat.abfluss);
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
};

std::string Lies(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Both ways on copies of the mixed channel, `vorbereiten` adjusting it first.
// Segment 6 (an overbuilt register beside a cellar) is marked: each way
// writes its 2-D fields under its own stem.
void RechneBeide(Beide& x, const std::function<void(Modell&)>& vorbereiten) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("terval_rechenweg_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  MischKanal(*x.s);
  x.s->MarkSegment = 6;
  x.s->AusgabeVerzeichnis = dir.string();
  x.s->AusgabeStamm = "S";
  vorbereiten(*x.s);
  test::Aufzeichner pruefung;
  ASSERT_TRUE(PruefeKanal(*x.s, pruefung) && PruefeGitter(*x.s, pruefung));
  x.g = std::make_unique<Modell>(*x.s);
  x.g->AusgabeStamm = "G";
  ASSERT_TRUE(FeuchtebahnMoeglich(*x.g));  // else the shared way would go segment by segment
  RechneKanal(*x.s, x.ui_s, Rechenweg::Segmentweise);
  RechneKanal(*x.g, x.ui_g, Rechenweg::Gemeinsam);
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
       [](Modell& m) {
         m.FeuchteZeitschritt = 600, m.StartBodenfeuchte = 110.0f, m.Segmente[9].Überbaut = 2;
       }},
      {"halbstündlich", [](Modell& m) { m.FeuchteZeitschritt = 1800; }},
      {"ohne Feuchtemodell", [](Modell& m) { m.MitFeuchte = false; }},
      // 0.5 sub-steps per hour round to none: the fields stay as they were.
      {"Schritt zu lang",
       [](Modell& m) {
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
  x.s->Anz_Segmente = 2;
  x.s->Boeden[1].ThetaSat = -0.45;
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
  a->Rohrdaten.Rohr_Ra[2] = 0.3f;
  a->Segmente[1].Abst_Geb_li = 2.0f;
  a->Segmente[1].Abst_Geb_re = 3.5f;
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
  BerechneDampfdruck(*m);
  BerechneLangwelligeStrahlung(*m);
  BerechneNettostrahlung(*m);
  CalcBestand(*m);
  BerechneBodenwaermestromUndRa(*m);
  CalcVerdunstung(*m);
  Feuchtebahn mit(*m, true, true, true), ohne(*m, true, true, false);
  EXPECT_EQ(ohne.Arbeiter(), 0);
  for (Oberflaechenart art : {Oberflaechenart::Offen, Oberflaechenart::Dicht}) {
    mit.BisTag(art, 365);
    ohne.BisTag(art, 365);
    for (int h = 0; h <= Stunden; ++h) {
      const Feuchtestand &a = mit.Stand(art, h), &b = ohne.Stand(art, h);
      ASSERT_TRUE(ErsteAbweichung(a.Theta, b.Theta) == -1 && ErsteAbweichung(a.Lambda, b.Lambda) == -1 &&
                  ErsteAbweichung(a.Zeilenwerte.N, b.Zeilenwerte.N) == -1 &&
                  std::memcmp(&a.r_Verd_mm, &b.r_Verd_mm, sizeof(float)) == 0)
          << static_cast<int>(art) << " " << h;
    }
  }
  // Open ground gets the rain, sealed ground only drains.
  EXPECT_GT(mit.Stand(Oberflaechenart::Offen, 8760).Theta[1],
            mit.Stand(Oberflaechenart::Dicht, 8760).Theta[1]);
  EXPECT_LT(mit.Groesse(), 10u << 20);  // 8761 hours of both kinds in a few megabytes

  m->FeuchteZeitschritt = 1;  // a year of 1 s steps would take long
  Feuchtebahn bahn(*m, true, true);
  bahn.BisTag(Oberflaechenart::Offen, 1);
  EXPECT_GT(bahn.Stand(Oberflaechenart::Offen, 24).Theta[1], 0);
}  // the destructors return after the day their workers are in

}  // namespace
}  // namespace terval
