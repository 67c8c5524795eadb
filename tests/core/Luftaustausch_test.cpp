#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"

namespace terval {
namespace {

using test::Kernmodell;
using test::SetzeSegment;

constexpr double Pi = std::numbers::pi;

// The correlation evaluated in double precision, independently of the code.
double AlphaDoppelt(double R, double V, double L) {
  const double Re = V / (Pi * R * R + 1e-6) * 2 * R / 1.33e-5;
  const double xi = 1 / std::pow(2 * std::log10(Re) - 1.44, 2);
  const double F = 1 + std::pow(2 * R / L, 0.67);
  const double Nu = xi / 8 * (Re - 1000) * 0.72 / (1 + 12.7 * std::sqrt(xi / 8) * -0.21256) * F;
  return std::max(0.02 * Nu / (2 * R), 10.0);
}

TEST(CalcAlpha, DefaultsFallOnTheFloor) {
  auto m = Kernmodell();
  // Re 79 777, Nu 212.9: 0.02 * 212.9 / 0.8 = 5.32 < 10.
  EXPECT_NEAR(AlphaDoppelt(0.4, 2400.0 / 3600, 1.0), 10.0, 0);
  EXPECT_EQ(CalcAlpha(*m, 1, 2400.0f / 3600.0f), 10.0f);
}

TEST(CalcAlpha, NarrowPipeAboveTheFloor) {
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[1] = 0.1f;
  const float alpha = CalcAlpha(*m, 1, 0.2f);
  EXPECT_NEAR(alpha, 17.7f, 0.05f);
  EXPECT_NEAR(alpha, AlphaDoppelt(0.1, 0.2, 1.0), 1e-4 * alpha);
  // A longer segment has a smaller entrance factor.
  m->Rohrdaten.Seglaenge = 5.0f;
  EXPECT_NEAR(CalcAlpha(*m, 1, 0.2f), AlphaDoppelt(0.1, 0.2, 5.0), 1e-4 * alpha);
  EXPECT_LT(CalcAlpha(*m, 1, 0.2f), alpha);
}

TEST(CalcAlpha, RegisterUsesThePipeTypeOfTheRegister) {
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[2] = 0.1f;
  SetzeSegment(*m, 2, 3, 3.0f, 0.5f);
  EXPECT_NEAR(CalcAlpha(*m, 2, 0.2f), 17.7f, 0.05f);
  EXPECT_EQ(CalcAlpha(*m, 1, 0.2f), 10.0f);
}

TEST(CalcAlpha, NoFlowAndLaminarFlow) {
  auto m = Kernmodell();
  EXPECT_EQ(CalcAlpha(*m, 1, 0.0f), 1e-8f);
  for (float V : {1e-9f, 1e-7f, 5e-6f, 1e-3f, 1e-2f, -0.5f}) EXPECT_EQ(CalcAlpha(*m, 1, V), 10.0f) << V;
  // Around Re = 10 numerator and denominator are both negative and the
  // correlation gives more than the floor; the formula is kept as it is
  // (such flows lie far below 100 m3/h and never reach the air anyway).
  const float V = 8.4e-5f;
  EXPECT_NEAR(CalcAlpha(*m, 1, V), AlphaDoppelt(0.4, V, 1.0), 1e-3 * AlphaDoppelt(0.4, V, 1.0));
  EXPECT_GT(CalcAlpha(*m, 1, V), 18.0f);
}

TEST(CalcRohrVolumenstrom, ChannelFlowSplitOverThePipes) {
  auto m = Kernmodell();
  m->Anz_Segmente = 3;
  SetzeSegment(*m, 1, 1, 3.0f);
  SetzeSegment(*m, 2, 4, 3.0f, 0.5f);
  SetzeSegment(*m, 3, 0, 3.0f);
  m->Segmente[3].VolStromRohr.fill(7.0f);
  for (int h = 1; h <= Stunden; ++h) m->VolStromStunde[h] = h % 2 ? 0.6f : 0.0f;
  CalcRohrVolumenstrom(*m);
  CalcAlphaJahr(*m);
  for (int h : {1, 2, 4380, 8760}) {
    EXPECT_EQ(m->Segmente[1].VolStromRohr[h], m->VolStromStunde[h]);
    EXPECT_EQ(m->Segmente[2].VolStromRohr[h], m->VolStromStunde[h] / 4.0f);
    EXPECT_EQ(m->Segmente[3].VolStromRohr[h], 7.0f);  // count below 1: untouched
    for (int s = 1; s <= 3; ++s)
      EXPECT_EQ(m->Segmente[s].Alpha[h], CalcAlpha(*m, s, m->Segmente[s].VolStromRohr[h]));
  }
  EXPECT_EQ(m->Segmente[1].Alpha[2], 1e-8f);
}

// The worked exchange: alpha 10, U_w 10, U_s 6 (Lambda 1.5), air 0 degC into a
// ring at 10 degC. a = 16 * 20 = 320, T_wand = (10 * 6/16) / (1 - 100/320) =
// 60/11, T_i = 30/11, Q = 2 pi 0.4 * 10 * 30/11, T_aus = Q / 800.
TEST(CalcLuftaustausch, WorkedExample) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  m->Lambda[12] = 1.5;
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 2400.0f / 3600.0f, 0.0f, T_aus, T_wand);
  EXPECT_NEAR(T_wand, 5.4545, 1e-4);
  EXPECT_NEAR(T_wand, 60.0 / 11, 2e-6);
  const double Q = 2 * Pi * 0.4 * 10 * 30.0 / 11;
  EXPECT_NEAR(Q, 68.54, 0.005);
  EXPECT_NEAR(T_aus, 0.0857, 1e-4);
  EXPECT_NEAR(T_aus, Q / 800, 2e-6);
}

TEST(CalcLuftaustausch, RingAroundThePipeBlockIsMarked) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  for (auto& spalte : m->RingMarke) spalte.fill(1.0f);
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.5f, 3.0f, T_aus, T_wand);
  int ring = 0;
  for (int c = 0; c <= m->LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r) ring += m->RingMarke[c][r] == 1.0f;
  EXPECT_EQ(ring, 8);
  for (int c : {5, 6}) {
    EXPECT_EQ(m->RingMarke[c][10], 1.0f);
    EXPECT_EQ(m->RingMarke[c][13], 1.0f);
  }
  for (int r : {11, 12}) {
    EXPECT_EQ(m->RingMarke[4][r], 1.0f);
    EXPECT_EQ(m->RingMarke[7][r], 1.0f);
  }
}

TEST(CalcLuftaustausch, RingIsThePlainAverageOfFourSideMeans) {
  // Three single-cell pipes at columns 6, 8, 10 of row 6: the block is
  // 5 x 1, the lines above and below 5 cells long, the sides 1 cell.
  auto m = Kernmodell();
  m->Rohrdaten.Rohr_Ra[2] = 0.2f;
  SetzeSegment(*m, 1, 3, 3.0f, 0.6f);
  InitGrid(*m, 1);
  ASSERT_EQ(m->RegisterBox, (std::array<int32_t, 4>{6, 10, 6, 6}));
  for (auto& spalte : m->T_Feld) spalte.fill(-50.0f);
  for (int c = 6; c <= 10; ++c) {
    m->T_Feld[c][5] = c == 10 ? 5.0f : 0.0f;  // mean 1
    m->T_Feld[c][7] = 2.0f;
  }
  m->T_Feld[5][6] = 3.0f;
  m->T_Feld[11][6] = 4.0f;
  // Below 100 m3/h the wall takes the ring temperature and the air passes.
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.01f, 7.25f, T_aus, T_wand);
  EXPECT_EQ(T_wand, 2.5f);  // not the cell mean 22/12
  EXPECT_EQ(T_aus, 7.25f);
}

TEST(CalcLuftaustausch, HundredCubicMetresPerHourIsTheThreshold) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  m->Lambda[12] = 1.5;
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 2400.0f / 3600.0f / 25.0f, 0.0f, T_aus, T_wand);  // 96 m3/h
  EXPECT_EQ(T_aus, 0.0f);
  EXPECT_EQ(T_wand, 10.0f);
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 100.0f / 3600.0f, 0.0f, T_aus, T_wand);
  EXPECT_GT(T_aus, 0.0f);
  EXPECT_LT(T_wand, 10.0f);
}

TEST(CalcLuftaustausch, AirAtRingTemperaturePassesUnchanged) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(8.3f);
  m->Lambda[12] = 1.2;
  float T_aus = 0, T_wand = 0;
  CalcLuftaustausch(*m, 1, 1.0f, 14.0f, 0.7f, 8.3f, T_aus, T_wand);
  EXPECT_NEAR(T_aus, 8.3f, 1e-5);
  EXPECT_NEAR(T_wand, 8.3f, 1e-5);
}

TEST(CalcLuftaustausch, UncheckedBlockOnTheGridEdgeStaysInside) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(4.0f);
  float T_aus = 0, T_wand = 0;
  m->RegisterBox = {90, 0, 90, 0};  // no pipe cells at all
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.5f, 1.0f, T_aus, T_wand);
  EXPECT_TRUE(std::isfinite(T_aus));
  m->RegisterBox = {0, 11, 15, 16};  // touching the bottom and both sides
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.01f, 1.0f, T_aus, T_wand);
  EXPECT_EQ(T_wand, 4.0f);  // only the line above exists
  m->RohrZeile = 400;
  CalcLuftaustausch(*m, 1, 1.0f, 10.0f, 0.5f, 1.0f, T_aus, T_wand);
  EXPECT_TRUE(std::isfinite(T_aus));
}

// ---- Boundaries -------------------------------------------------------------

// Defaults U_w = 0.9/0.4 = 2.25, h = 3, U_s = 1.5/0.25 = 6, cellar 8, soil 10.
double KellerwandDoppelt(double U_w, double U_s, double T_keller, double T_nb) {
  const double h = 3, a = (U_w + U_s) * (U_w + h);
  return (U_w * h / a * T_keller + U_s / (U_w + U_s) * T_nb) / (1 - U_w * U_w / a);
}

TEST(CalcKellerwand, WorkedExampleOnBothSides) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  m->Segmente[1].Abst_Geb_re = 3.0f;
  InitGrid(*m, 1);
  const int n = m->LetzteSpalte;
  for (auto& spalte : m->T_Feld) spalte.fill(30.0f);
  m->T_Feld[1].fill(10.0f);
  m->T_Feld[n - 1].fill(10.0f);
  m->Lambda[16] = 1.5;
  EXPECT_NEAR(CalcKellerwand(*m, 0), 9.647, 1e-3);
  EXPECT_NEAR(CalcKellerwand(*m, 0), KellerwandDoppelt(2.25, 6, 8, 10), 1e-5);
  EXPECT_NEAR(CalcKellerwand(*m, 1), 9.647, 1e-3);
  EXPECT_NEAR(CalcKellerwand(*m, 7), 9.647, 1e-3);  // any side but 0 is the right one
}

TEST(CalcKellerwand, SoilBesideTheWallRowsOnly) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  m->GebTiefeLinks = 3.0f;  // rows 0..6
  InitGrid(*m, 1);
  m->Lambda[16] = 1.5;
  for (int r = 0; r < Zeilen; ++r) m->T_Feld[1][r] = r <= 6 ? 10.0f : 50.0f;
  EXPECT_NEAR(CalcKellerwand(*m, 0), KellerwandDoppelt(2.25, 6, 8, 10), 1e-5);
}

TEST(CalcKellerwand, LimitsOfTheSeriesNetwork) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  InitGrid(*m, 1);
  m->T_Feld[1].fill(10.0f);
  // Soil at cellar temperature: the wall too.
  m->Lambda[16] = 1.5;
  m->T_Keller = 10.0f;
  EXPECT_NEAR(CalcKellerwand(*m, 0), 10.0f, 1e-5);
  // No soil conductance: the cellar air alone.
  m->T_Keller = 8.0f;
  m->Lambda[16] = 0.0;
  EXPECT_NEAR(CalcKellerwand(*m, 0), 8.0f, 1e-5);
  // A wall of (almost) no resistance: (h T_Keller + U_s T_nb) / (h + U_s) = 84/9.
  m->Lambda[16] = 1.5;
  m->wlf_kellerwand = 4000.0f;
  EXPECT_NEAR(CalcKellerwand(*m, 0), 84.0 / 9, 0.01);
  // A wall of no rows (building depth below 0) has no soil beside it.
  m->wlf_kellerwand = 0.9f;
  m->GebTiefeLinks = -1.0f;
  InitGrid(*m, 1);
  EXPECT_NEAR(CalcKellerwand(*m, 0), 8.0f, 1e-5);
}

TEST(Randbedingungen, SurfaceAndWaterBySurfaceState) {
  auto m = Kernmodell();
  m->Anz_Segmente = 3;
  m->Segmente[1].T_ein[100] = -3.0f;
  m->Segmente[2].T_ein[100] = 1.0f;
  m->Segmente[3].T_ein[100] = 2.0f;
  m->T_Fundament = 10.0f;
  for (int s = 1; s <= 3; ++s) m->Segmente[s].Überbaut = s - 1;
  EXPECT_EQ(Oberflaechentemperatur(*m, 1, 100), -3.0f);
  EXPECT_EQ(Oberflaechentemperatur(*m, 2, 100), 10.0f);  // overbuilt
  EXPECT_EQ(Oberflaechentemperatur(*m, 3, 100), -3.0f);  // sealed: outdoor air, not own inlet
  EXPECT_EQ(Wasserfaktor(*m, 1), 1.0f);
  EXPECT_EQ(Wasserfaktor(*m, 2), 0.0f);
  EXPECT_EQ(Wasserfaktor(*m, 3), 0.0f);
  m->Segmente[3].Überbaut = 7;  // any other positive value: sealed
  EXPECT_EQ(Oberflaechentemperatur(*m, 3, 100), -3.0f);
  EXPECT_EQ(Wasserfaktor(*m, 3), 0.0f);
}

}  // namespace
}  // namespace terval
