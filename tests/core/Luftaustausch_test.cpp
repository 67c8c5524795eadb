// The air side: the fan schedule, the flow per pipe, the convective
// coefficient and the hourly exchange with the soil ring around the pipes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

using test::Kernmodell;
using test::SetzeSegment;

TEST(CalcVolumenstrom, ModesThresholdsAndRefusals) {
  auto m = Kernmodell();
  test::FuelleKlima(*m, [](int) { return 10.0f; });
  for (auto [stunde, T] : {std::pair{1, 4.0f}, {2, 18.0f}, {3, 3.9f}, {4, 18.1f}})
    m->Klima[StundenIndex(5, stunde)].T_Luft = T;
  auto Q = [&](int tag, int stunde) { return std::lround(m->VolStromStunde[StundenIndex(tag, stunde)] * 3600); };
  test::Aufzeichner ui;
  TKanalbetrieb& b = m->Kanalbetrieb;
  b.Fuenftagebetrieb = true;  // only for the timed modes
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->VolStromStunde[h], 2400.0f / 3600.0f) << h;
  b.Betriebsart = 1, b.Vol_Aus = 360;  // 7 to 18 o'clock on five days of every week of the climate year
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(std::vector<long>({Q(1, 6), Q(1, 7), Q(200, 17), Q(365, 18)}), std::vector<long>({360, 2400, 2400, 360}));
  for (int tag : {6, 7, 12, 14, 18, 21, 28, 30, 35, 42, 364}) EXPECT_EQ(Q(tag, 10), 360) << tag;
  for (int tag : {1, 5, 8, 13, 15, 365}) EXPECT_EQ(Q(tag, 10), 2400) << tag;
  b.Betriebsart = 2, b.Vol_Aus = 0;  // outside 4..18 degC; a value on a threshold lies between them
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(std::vector<long>({Q(5, 0), Q(5, 1), Q(5, 2), Q(5, 3), Q(5, 4), Q(6, 3)}),
            std::vector<long>({0, 0, 0, 2400, 2400, 0}));
  b.Betriebsart = 3, b.Ein_Zeit = 2, b.Aus_Zeit = 4, b.Fuenftagebetrieb = false;  // only the cold hour inside
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  EXPECT_EQ(std::vector<long>({Q(5, 1), Q(5, 2), Q(5, 3), Q(5, 4)}), std::vector<long>({0, 0, 2400, 0}));
  b.Betriebsart = 1, b.Ein_Zeit = b.Aus_Zeit = 9;  // equal hours are no error and never switch the fan on
  ASSERT_TRUE(CalcVolumenstrom(*m, ui) && ui.nachrichten.empty());
  for (int h = 1; h <= Stunden; ++h) ASSERT_EQ(m->VolStromStunde[h], 0.0f) << h;
  b.Betriebsart = 4;  // an unknown mode leaves the flows
  m->VolStromStunde.fill(0.25f);
  EXPECT_TRUE(CalcVolumenstrom(*m, ui) && ui.nachrichten.empty());
  for (int art : {1, 2, 3}) {
    b.Betriebsart = art, b.Ein_Zeit = 19, b.Aus_Zeit = 18;
    EXPECT_FALSE(CalcVolumenstrom(*m, ui)) << art;
  }
  EXPECT_EQ(m->VolStromStunde[100], 0.25f);
  // No air in constant operation: a warning, and the run goes on.
  b.Betriebsart = 0, b.Volstrom = 0;
  EXPECT_TRUE(CalcVolumenstrom(*m, ui) && ui.Texte("Warnung") == std::vector<std::string>{KeinVolumenstrom});
  b.Volstrom = 2400;
  const std::string zeiten = "Ungülige Zeitsteuerung für den Volumenstrom: EIN muß vor AUS liegen !";
  EXPECT_EQ(ui.Texte("Fehler"), std::vector<std::string>(3, zeiten));
  // Flows of the climate table (m3/h) replace the schedule; a negative channel flow is refused all the same.
  ui.nachrichten.clear();
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Vol_Strom = static_cast<float>(h % 5000);
  b.VolStromAusKlima = true;
  ASSERT_TRUE(CalcVolumenstrom(*m, ui));
  for (int h : {1, 3600, 8760}) EXPECT_EQ(m->VolStromStunde[h], static_cast<float>(h % 5000) / 3600.0f);
  b.Volstrom = -1;
  EXPECT_TRUE(!CalcVolumenstrom(*m, ui) && m->VolStromStunde[1] == 1.0f / 3600.0f);
  EXPECT_EQ(ui.nachrichten, (std::vector<test::Nachricht>{
                                {"Information", "Die Volumenstromdaten werden aus der Klimatabelle entnommen !"},
                                {"Fehler", "Der Wert für den Volumenstrom ist ungültig !"}}));
}

// The correlation evaluated in double precision, independently of the code.
double AlphaDoppelt(double R, double V, double L) {
  const double Re = V / (std::numbers::pi * R * R + 1e-6) * 2 * R / 1.33e-5;
  const double xi = 1 / std::pow(2 * std::log10(Re) - 1.44, 2);
  const double Nu = xi / 8 * (Re - 1000) * 0.72 / (1 + 12.7 * std::sqrt(xi / 8) * -0.21256) *
                    (1 + std::pow(2 * R / L, 0.67));
  return std::max(0.02 * Nu / (2 * R), 10.0);
}

TEST(CalcAlpha, CorrelationFloorAndFlowPerPipe) {
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[2] = 0.1f, m->Anz_Segmente = 4;
  SetzeSegment(*m, 1, 1, 3.0f);
  SetzeSegment(*m, 2, 4, 3.0f, 0.5f);  // a register: pipe type 2
  SetzeSegment(*m, 3, 0, 3.0f);
  SetzeSegment(*m, 4, 2, 3.0f, 0.5f);
  EXPECT_NEAR(CalcAlpha(*m, 2, 0.2f), AlphaDoppelt(0.1, 0.2, 1.0), 2e-3);
  m->Rohrdaten.Seglaenge = 5.0f;  // a smaller entrance factor
  EXPECT_NEAR(CalcAlpha(*m, 2, 0.2f), AlphaDoppelt(0.1, 0.2, 5.0), 2e-3);
  EXPECT_NEAR(CalcAlpha(*m, 1, 8.0f), AlphaDoppelt(0.4, 8.0, 5.0), 2e-3);
  m->Rohrdaten.Seglaenge = 1.0f;
  // Default pipe at 2400 m3/h: Re 79 777, 0.02 * 212.9 / 0.8 = 5.32, below the floor of 10.
  for (float V : {2400.0f / 3600.0f, 1e-9f, 5e-6f, 1e-2f, -0.5f}) EXPECT_EQ(CalcAlpha(*m, 1, V), 10.0f) << V;
  EXPECT_EQ(CalcAlpha(*m, 1, 0.0f), 1e-8f);  // no flow
  // Around Re = 10 numerator and denominator are both negative and the
  // correlation gives more than the floor; the formula is kept as it is.
  EXPECT_NEAR(CalcAlpha(*m, 1, 8.4e-5f), AlphaDoppelt(0.4, 8.4e-5, 1.0), 0.03);

  for (int h = 1; h <= Stunden; ++h) m->VolStromStunde[h] = h % 2 ? 0.6f : 0.0f;
  m->Segmente[3].VolStromRohr.fill(7.0f);
  CalcRohrVolumenstrom(*m), CalcAlphaJahr(*m);
  for (int h : {1, 2, 8759}) {
    EXPECT_EQ(m->Segmente[1].VolStromRohr[h], m->VolStromStunde[h]);
    EXPECT_EQ(m->Segmente[2].VolStromRohr[h], m->VolStromStunde[h] / 4.0f);
    EXPECT_EQ(m->Segmente[4].VolStromRohr[h], m->VolStromStunde[h] / 2.0f);
    EXPECT_EQ(m->Segmente[3].VolStromRohr[h], 7.0f);  // a count below 1: untouched
    for (int s = 1; s <= 3; ++s)
      EXPECT_EQ(m->Segmente[s].Alpha[h], CalcAlpha(*m, s, m->Segmente[s].VolStromRohr[h]));
  }
}

// Alpha 10, U_w 10, U_s 6 (Lambda 1.5), air at 0 degC into a ring at 10 degC:
// a = 16 * 20 = 320, T_wand = (10 * 6/16) / (1 - 100/320) = 60/11,
// T_i = 30/11, Q = 2 pi 0.4 * 10 * 30/11 = 68.54 W, T_aus = Q / 800.
TEST(CalcLuftaustausch, WorkedExampleAndTheThresholdOf100CubicMetres) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  m->Lambda[12] = 1.5;
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 2400.0f / 3600.0f, 0.0f, T_aus, T_wand);
  EXPECT_NEAR(T_wand, 60.0 / 11, 2e-6);
  EXPECT_NEAR(T_aus, 2 * std::numbers::pi * 0.4 * 10 * 30.0 / 11 / 800, 2e-6);
  // Below 100 m3/h the air passes and the wall takes the ring temperature.
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 99.9f / 3600.0f, 0.0f, T_aus, T_wand);
  EXPECT_EQ(std::pair(T_aus, T_wand), std::pair(0.0f, 10.0f));
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 100.0f / 3600.0f, 0.0f, T_aus, T_wand);
  EXPECT_GT(T_aus, 0.0f);
  CalcLuftaustausch(*m, 1, 1.0f, 14.0f, 0.7f, 10.0f, T_aus, T_wand);  // air at ring temperature passes unchanged
  EXPECT_TRUE(std::abs(T_aus - 10.0f) < 1e-5f && std::abs(T_wand - 10.0f) < 1e-5f);
}

TEST(CalcLuftaustausch, RingIsThePlainAverageOfFourSideMeans) {
  // Three single-cell pipes at columns 6, 8, 10 of row 6: the block is 5 x 1.
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[2] = 0.2f;
  SetzeSegment(*m, 1, 3, 3.0f, 0.6f);
  InitGrid(*m, 1);
  ASSERT_EQ(m->RegisterBox, (std::array<int32_t, 4>{6, 10, 6, 6}));
  for (auto& spalte : m->T_Feld) spalte.fill(-50.0f);
  for (int c = 6; c <= 10; ++c) {
    m->T_Feld[c][5] = c == 10 ? 5.0f : 0.0f;  // above: mean 1
    m->T_Feld[c][7] = 2.0f;
  }
  m->T_Feld[5][6] = 3.0f, m->T_Feld[11][6] = 4.0f;
  m->RingMarke[0].fill(1.0f);
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.01f, 7.25f, T_aus, T_wand);
  EXPECT_EQ(std::pair(T_wand, T_aus), std::pair(2.5f, 7.25f));  // not the cell mean 22/12
  int ring = 0;
  for (int c = 0; c <= m->LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r) ring += m->RingMarke[c][r] == 1.0f;
  EXPECT_EQ(ring, 5 + 5 + 1 + 1);
  EXPECT_EQ(m->RingMarke[5][6] + m->RingMarke[11][6] + m->RingMarke[8][5] + m->RingMarke[8][7], 4.0f);

  // An unchecked block on the grid's edge averages the lines that exist.
  m->RegisterBox = {0, 11, 6, 16};  // only the line above (mean -345 / 12) and the right side (-50)
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.01f, 1.0f, T_aus, T_wand);
  EXPECT_FLOAT_EQ(T_wand, (-345.0f / 12 - 50) / 2);
  m->RegisterBox = {90, 0, 90, 0};  // no pipe cells at all
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.01f, 1.0f, T_aus, T_wand);
  EXPECT_EQ(T_wand, 1.0f);
}

}  // namespace
}  // namespace terval
