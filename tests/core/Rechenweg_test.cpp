// The two ways through a channel leave the model bit for bit the same: every
// segment on its own (its own moisture column, its soil properties every
// hour), and the shared moisture trajectory replayed with the per-row heat
// step. Compared with memcmp, so even -0 against +0 would show.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <unistd.h>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "core/Feuchtebahn.h"
#include "physics/UgetRadiation.h"
#include "physics/maths.h"
#include "physics/monteith.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Aufzeichner;
using test::SetzeSegment;

// Annual and daily waves; rain on one day in five, in bursts of 6 hours
// (so the top layer dries below the reference water content in between).
void Wechselklima(Modell& m) {
  test::FuelleKlima(m, [](int h) {
    const double jahr = 2 * std::numbers::pi * (h - 4800) / 8760.0;
    const double tag = 2 * std::numbers::pi * ((h - 1) % 24 - 9) / 24.0;
    return static_cast<float>(9.0 + 9.0 * std::cos(jahr) - 4.0 * std::cos(tag));
  });
  for (int h = 1; h <= Stunden; ++h)
    m.Klima[h].Nieders = ((h - 1) / 24) % 5 == 0 && (h - 1) % 24 < 6 ? 1.5f : 0.0f;
}

// Everything the core tells apart: open, overbuilt and sealed ground (also
// Überbaut 5), a single pipe and two registers, a cellar on the left, on the
// right and on both sides, pipe axes from 1.5 to 4 m, and a fan that runs
// by the clock (hours without flow pass the air unchanged).
void MischKanal(Modell& m) {
  m.Anz_Segmente = 9;
  m.Rohrdaten.Rohr_Ra[1] = 0.3f;
  m.Rohrdaten.Rohr_Ra[2] = 0.15f;
  m.Kanalbetrieb.Betriebsart = 1;
  SetzeSegment(m, 1, 1, 2.0f);
  SetzeSegment(m, 2, 1, 2.0f);
  m.Segmente[2].Überbaut = 1;
  SetzeSegment(m, 3, 3, 2.5f, 0.5f);
  SetzeSegment(m, 4, 1, 1.5f);
  m.Segmente[4].Überbaut = 2;
  SetzeSegment(m, 5, 1, 3.0f);
  m.Segmente[5].Abst_Geb_re = 2.0f;
  SetzeSegment(m, 6, 2, 2.0f, 0.3f);
  m.Segmente[6].Abst_Geb_li = 2.5f;
  m.Segmente[6].Überbaut = 1;
  SetzeSegment(m, 7, 1, 4.0f);
  m.Segmente[7].Abst_Geb_li = 3.0f;
  m.Segmente[7].Abst_Geb_re = 3.5f;
  SetzeSegment(m, 8, 1, 2.0f);
  m.Segmente[8].Überbaut = 5;
  SetzeSegment(m, 9, 1, 2.0f);
  Wechselklima(m);
}

// First index where two arrays differ in their bytes, -1 when none does.
template <typename T, size_t N>
long ErsteAbweichung(const std::array<T, N>& a, const std::array<T, N>& b) {
  for (size_t i = 0; i < N; ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0) return static_cast<long>(i);
  return -1;
}

void ErwarteGleich(const Modell& a, const Modell& b) {
  ASSERT_EQ(a.Anz_Segmente, b.Anz_Segmente);
  for (int s = 1; s <= a.Anz_Segmente; ++s) {
    const Kanalsegment &x = a.Segmente[s], &y = b.Segmente[s];
    EXPECT_EQ(ErsteAbweichung(x.T_aus, y.T_aus), -1) << "T_aus, Segment " << s;
    EXPECT_EQ(ErsteAbweichung(x.T_ein, y.T_ein), -1) << "T_ein, Segment " << s;
    EXPECT_EQ(ErsteAbweichung(x.Alpha, y.Alpha), -1) << "Alpha, Segment " << s;
    EXPECT_EQ(ErsteAbweichung(x.VolStromRohr, y.VolStromRohr), -1) << "VolStromRohr, Segment " << s;
  }
  EXPECT_EQ(ErsteAbweichung(a.Segmente[a.Anz_Segmente + 1].T_ein,
                            b.Segmente[b.Anz_Segmente + 1].T_ein), -1);
  // All 20 fields of every hour: the moisture fields hold the last segment's values.
  EXPECT_EQ(ErsteAbweichung(a.Klima, b.Klima), -1) << "Klima";
  EXPECT_EQ(ErsteAbweichung(a.VolStromStunde, b.VolStromStunde), -1);
  EXPECT_EQ(std::memcmp(&a.T_Jahresmittel, &b.T_Jahresmittel, sizeof(float)), 0);
  // The state of the last segment's grid and soil.
  EXPECT_EQ(ErsteAbweichung(a.T_Feld, b.T_Feld), -1) << "T_Feld";
  EXPECT_EQ(ErsteAbweichung(a.T_Neu, b.T_Neu), -1) << "T_Neu";
  EXPECT_EQ(ErsteAbweichung(a.K_Zelle, b.K_Zelle), -1);
  EXPECT_EQ(ErsteAbweichung(a.K_W, b.K_W), -1);
  EXPECT_EQ(ErsteAbweichung(a.K_O, b.K_O), -1);
  EXPECT_EQ(ErsteAbweichung(a.K_N, b.K_N), -1);
  EXPECT_EQ(ErsteAbweichung(a.K_S, b.K_S), -1);
  EXPECT_EQ(ErsteAbweichung(a.RingMarke, b.RingMarke), -1);
  EXPECT_EQ(ErsteAbweichung(a.Theta, b.Theta), -1) << "Theta";
  EXPECT_EQ(ErsteAbweichung(a.Lambda, b.Lambda), -1);
  EXPECT_EQ(ErsteAbweichung(a.K_Schicht, b.K_Schicht), -1);
  EXPECT_EQ(ErsteAbweichung(a.K_Hydr, b.K_Hydr), -1);
  EXPECT_EQ(ErsteAbweichung(a.D_Hydr, b.D_Hydr), -1);
  EXPECT_EQ(ErsteAbweichung(a.G_Schwer, b.G_Schwer), -1);
  EXPECT_EQ(ErsteAbweichung(a.T_Profil, b.T_Profil), -1);
  EXPECT_EQ(ErsteAbweichung(a.T_ProfilHilf, b.T_ProfilHilf), -1);
}

// Records the progress reports too.
class Zaehler : public Aufzeichner {
 public:
  std::vector<int> tage;
  void Fortschritt(int wert, int maximum) override {
    EXPECT_EQ(maximum, 365);
    tage.push_back(wert);
  }
};

class Rechenwege : public ::testing::Test {
 protected:
  std::unique_ptr<Modell> segmentweise = test::Kernmodell();
  std::unique_ptr<Modell> gemeinsam;
  Zaehler ui_s, ui_g;

  // Both ways on copies of the same channel; `vorbereiten` adjusts it first,
  // `nurGemeinsam` the copy of the shared way.
  void RechneBeide(const std::function<void(Modell&)>& vorbereiten,
                   const std::function<void(Modell&)>& nurGemeinsam = [](Modell&) {}) {
    MischKanal(*segmentweise);
    vorbereiten(*segmentweise);
    Aufzeichner pruefung;
    ASSERT_TRUE(PruefeKanal(*segmentweise, pruefung));
    ASSERT_TRUE(PruefeGitter(*segmentweise, pruefung));
    gemeinsam = std::make_unique<Modell>(*segmentweise);
    nurGemeinsam(*gemeinsam);
    RechneKanal(*segmentweise, ui_s, Rechenweg::Segmentweise);
    RechneKanal(*gemeinsam, ui_g, Rechenweg::Gemeinsam);
    EXPECT_EQ(ui_s.status, ui_g.status);
    EXPECT_EQ(ui_s.gezeichneteSegmente, ui_g.gezeichneteSegmente);
    EXPECT_EQ(ui_s.nachrichten, ui_g.nachrichten);
    // The window keeps repainting day by day in both.
    EXPECT_EQ(ui_s.tage, ui_g.tage);
    EXPECT_EQ(ui_g.tage.size(), 365u * ui_g.gezeichneteSegmente.size());
  }
};

TEST_F(Rechenwege, HourlyMoistureStepsGiveTheSameChannel) {
  RechneBeide([](Modell&) {});
  ErwarteGleich(*segmentweise, *gemeinsam);
  // The channel does exercise the moisture: both kinds of surface, and a
  // sealed last segment would leave other values than this open one.
  EXPECT_NE(segmentweise->Klima[2000].Eta_z1, segmentweise->Klima[1].Eta_z1);
  EXPECT_NE(segmentweise->Segmente[9].T_aus[4000], segmentweise->Segmente[9].T_ein[4000]);
}

TEST_F(Rechenwege, TenMinuteStepsFromAnOversaturatedStart) {
  // The first hydraulic update of every segment lowers the profile to saturation.
  RechneBeide([](Modell& m) {
    m.FeuchteZeitschritt = 600;
    m.StartBodenfeuchte = 110.0f;
    m.Segmente[9].Überbaut = 2;  // the climate fields come from a sealed segment
  });
  ErwarteGleich(*segmentweise, *gemeinsam);
}

TEST_F(Rechenwege, WithoutTheMoistureModel) {
  RechneBeide([](Modell& m) { m.MitFeuchte = false; });
  ErwarteGleich(*segmentweise, *gemeinsam);
}

TEST_F(Rechenwege, StepTooLongForAnySubStepLeavesTheFieldsAsTheyWere) {
  RechneBeide([](Modell& m) {
    m.FeuchteZeitschritt = 7200;  // 0.5 sub-steps per hour round to none
    for (int h = 1; h <= Stunden; ++h) m.Klima[h].r_Verd_mm = m.Klima[h].Eta_kanal = 123.0f;
  });
  ErwarteGleich(*segmentweise, *gemeinsam);
  EXPECT_EQ(gemeinsam->Klima[500].r_Verd_mm, 123.0f);
}

TEST_F(Rechenwege, StopAfterASegmentLeavesTheSameModel) {
  ui_s.beiProcMsg = [&](int aufruf) { segmentweise->StopRequested = aufruf == 3; };
  ui_g.beiProcMsg = [&](int aufruf) { gemeinsam->StopRequested = aufruf == 3; };
  RechneBeide([](Modell&) {});
  EXPECT_EQ(ui_g.gezeichneteSegmente, (std::vector<int>{1, 2, 3}));
  // Segment 3 (a register on open ground) wrote the climate fields last.
  ErwarteGleich(*segmentweise, *gemeinsam);
}

// The 2-D fields of a marked segment, written during its year.
TEST_F(Rechenwege, MarkedSegmentWritesTheSameFieldFiles) {
  const auto basis = std::filesystem::temp_directory_path() /
                     ("terval_rechenweg_" + std::to_string(::getpid()));
  const auto dir_s = basis / "s", dir_g = basis / "g";
  std::filesystem::create_directories(dir_s);
  std::filesystem::create_directories(dir_g);
  RechneBeide(
      [&](Modell& m) {
        m.MarkSegment = 6;  // overbuilt register beside a cellar
        m.AusgabeStamm = "Feld";
        m.FeuchteZeitschritt = 1800;
        m.AusgabeVerzeichnis = dir_s.string();
      },
      [&](Modell& m) { m.AusgabeVerzeichnis = dir_g.string(); });

  auto inhalt = [](const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  };
  int dateien = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_s)) {
    const std::string s = inhalt(e.path());
    EXPECT_GT(s.size(), 1000u);
    EXPECT_EQ(s, inhalt(dir_g / e.path().filename())) << e.path().filename();
    ++dateien;
  }
  EXPECT_EQ(dateien, 5);
  std::filesystem::remove_all(basis);
}

// A soil the property routines complain about (each call, through the
// maths message sink): the shared way would report once where each segment
// reports, so it goes segment by segment and says the same.
TEST_F(Rechenwege, UnusableSoilGoesSegmentBySegmentWithTheSameMessages) {
  SetzeMathsOberflaeche(&ui_s);
  MischKanal(*segmentweise);
  segmentweise->Anz_Segmente = 2;
  segmentweise->Boeden[1].ThetaSat = -0.45;
  segmentweise->MitFeuchte = false;  // keeps the number of messages small
  gemeinsam = std::make_unique<Modell>(*segmentweise);
  RechneKanal(*segmentweise, ui_s, Rechenweg::Segmentweise);
  SetzeMathsOberflaeche(&ui_g);
  RechneKanal(*gemeinsam, ui_g, Rechenweg::Gemeinsam);
  SetzeMathsOberflaeche(nullptr);
  EXPECT_FALSE(FeuchtebahnMoeglich(*gemeinsam));
  EXPECT_GT(ui_s.nachrichten.size(), 2u);
  EXPECT_EQ(ui_s.nachrichten, ui_g.nachrichten);
  ErwarteGleich(*segmentweise, *gemeinsam);

  gemeinsam->Bodenart = 0;  // no soil at all
  EXPECT_FALSE(FeuchtebahnMoeglich(*gemeinsam));
}

// ---- The trajectory on its own ---------------------------------------------------

// A model whose climate is prepared as the run prepares it before the
// trajectories start.
std::unique_ptr<Modell> VorbereitetesKlima(int feuchteZeitschritt) {
  auto m = test::Kernmodell();
  MischKanal(*m);
  m->FeuchteZeitschritt = feuchteZeitschritt;
  BerechneDampfdruck(*m);
  BerechneLangwelligeStrahlung(*m);
  BerechneNettostrahlung(*m);
  CalcBestand(*m);
  BerechneBodenwaermestromUndRa(*m);
  CalcVerdunstung(*m);
  return m;
}

TEST(Feuchtebahn, WorkerThreadsChangeNothing) {
  auto m = VorbereitetesKlima(600);
  Feuchtebahn mit(*m, true, true, true), ohne(*m, true, true, false);
  EXPECT_EQ(ohne.Arbeiter(), 0);
  for (Oberflaechenart art : {Oberflaechenart::Offen, Oberflaechenart::Dicht}) {
    mit.BisTag(art, 365);
    ohne.BisTag(art, 365);
    for (int h = 0; h <= Stunden; ++h) {
      const Feuchtestand &a = mit.Stand(art, h), &b = ohne.Stand(art, h);
      ASSERT_EQ(ErsteAbweichung(a.Theta, b.Theta), -1) << static_cast<int>(art) << " " << h;
      ASSERT_EQ(ErsteAbweichung(a.Lambda, b.Lambda), -1) << h;
      ASSERT_EQ(ErsteAbweichung(a.Zeilenwerte.W, b.Zeilenwerte.W), -1) << h;
      ASSERT_EQ(ErsteAbweichung(a.Zeilenwerte.N, b.Zeilenwerte.N), -1) << h;
      ASSERT_EQ(ErsteAbweichung(a.Zeilenwerte.S, b.Zeilenwerte.S), -1) << h;
      ASSERT_EQ(std::memcmp(&a.r_Verd_mm, &b.r_Verd_mm, sizeof(float)), 0) << h;
    }
    EXPECT_EQ(std::memcmp(&mit.Ende(art).Theta, &ohne.Ende(art).Theta, sizeof(Schichten)), 0);
  }
  // Open ground gets the rain, sealed ground only drains.
  EXPECT_GT(mit.Stand(Oberflaechenart::Offen, 8760).Theta[1],
            mit.Stand(Oberflaechenart::Dicht, 8760).Theta[1]);
  // 8761 hours of both kinds in one store of a few megabytes.
  EXPECT_GE(mit.Groesse(), 2 * 8761 * sizeof(Feuchtestand));
  EXPECT_LT(mit.Groesse(), 10u << 20);
}

TEST(Feuchtebahn, StopsItsWorkersWhenTheRunEndsEarly) {
  auto m = VorbereitetesKlima(1);  // a year of 1 s steps would take seconds
  {
    Feuchtebahn bahn(*m, true, true);
    bahn.BisTag(Oberflaechenart::Offen, 1);
    EXPECT_GT(bahn.Stand(Oberflaechenart::Offen, 24).Theta[1], 0);
  }  // the destructor returns after the day the workers are in
  SUCCEED();
}

}  // namespace
}  // namespace terval
