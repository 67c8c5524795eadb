#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"

namespace terval {
namespace {

using test::Kernmodell;

// Every face and cell of the grid at diffusivity k.
void GleicheDiffusivitaet(Modell& m, float k) {
  for (int c = 0; c < MaxSpalten; ++c)
    for (int r = 0; r < Zeilen; ++r)
      m.K_Zelle[c][r] = m.K_W[c][r] = m.K_O[c][r] = m.K_N[c][r] = m.K_S[c][r] = k;
}

TEST(CalcMitteltemperaturen, YearAndDays166To225) {
  auto m = Kernmodell();
  auto& T = m->Segmente[1].T_ein;
  for (int h = 1; h <= Stunden; ++h) T[h] = 5.0f;
  for (int h = 3961; h <= 5400; ++h) T[h] = 20.0f;
  T[3960] = T[5401] = 100.0f;  // just outside the summer window
  CalcMitteltemperaturen(*m);
  EXPECT_FLOAT_EQ(m->T_Sommermittel, 20.0f);
  EXPECT_NEAR(m->T_Jahresmittel, (5.0 * (8760 - 1442) + 20.0 * 1440 + 200.0) / 8760, 1e-4);
}

TEST(T_Jahresgang, CosineBetweenTheTwoMeans) {
  auto m = Kernmodell();
  m->T_Jahresmittel = 7.0f;
  m->T_Sommermittel = 18.0f;
  // Day 365 is half a year from 182.5: the cold end 2 * 7 - 18.
  EXPECT_NEAR(T_Jahresgang(*m, 365), -4.0f, 1e-5);
  // Symmetric about day 182.5, just below the maximum there.
  EXPECT_FLOAT_EQ(T_Jahresgang(*m, 182), T_Jahresgang(*m, 183));
  EXPECT_NEAR(T_Jahresgang(*m, 182), 7.0 + 11.0 * std::cos(2 * std::numbers::pi * 43200 / 3.1536e7),
              1e-5);
  EXPECT_LT(T_Jahresgang(*m, 182), 18.0f);
  // A quarter year away from the maximum the cosine crosses the mean.
  EXPECT_NEAR(T_Jahresgang(*m, 91), 7.0, 11.0 * 0.01);
}

TEST(InitTProfil, EqualMeansLeaveEveryNodeAtTheMean) {
  auto m = Kernmodell();
  m->T_Jahresmittel = m->T_Sommermittel = 9.5f;
  for (int r = 0; r < Zeilen; ++r) m->K_Zelle[0][r] = 4e-7f + 1e-7f * r;
  InitTProfil(*m);
  for (int r = 0; r < Zeilen; ++r) EXPECT_DOUBLE_EQ(m->T_Profil[r], 9.5) << r;
}

TEST(InitTProfil, EndsAtTheColdEndOfTheCosine) {
  auto m = Kernmodell();
  m->T_Jahresmittel = 8.0f;
  m->T_Sommermittel = 17.0f;
  GleicheDiffusivitaet(*m, 8e-7f);
  InitTProfil(*m);
  EXPECT_DOUBLE_EQ(m->T_Profil[0], T_Jahresgang(*m, 365));
  EXPECT_NEAR(m->T_Profil[0], -1.0, 1e-5);
  EXPECT_DOUBLE_EQ(m->T_Profil[16], 8.0);
  // The surface cold reaches down with decreasing strength.
  for (int r = 1; r < 16; ++r) EXPECT_GT(m->T_Profil[r], m->T_Profil[r - 1]) << r;

  // InitTFeld hands the profile to every column of the grid.
  InitGrid(*m, 1);
  InitTFeld(*m);
  for (int c = 0; c <= m->LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r)
      EXPECT_EQ(m->T_Feld[c][r], static_cast<float>(m->T_Profil[r]));
}

// The profile driven hour by hour by a true annual cosine at the surface
// reaches the periodic state of a half-space: amplitude A exp(-z/d), lag z/d
// with the damping depth d = sqrt(2a/omega). The fixed bottom at 8 m (more
// than 3 d deep) and the 0.5 m nodes change this by well under a percent.
TEST(ProfilSchritt, AnnualWaveDampsAndLagsAsInTheHalfSpace) {
  auto m = Kernmodell();
  const double a = 5e-7;  // m2/s
  for (int r = 0; r < Zeilen; ++r) m->K_Zelle[0][r] = static_cast<float>(a);
  const double mittel = 10.0, A = 8.0;
  const int stundenJahr = 8760;
  const double omega = 2 * std::numbers::pi / (stundenJahr * 3600.0);
  const double d = std::sqrt(2 * static_cast<double>(static_cast<float>(a)) / omega);
  m->T_Profil.fill(mittel);

  auto oben = [&](long stunde) { return mittel + A * std::cos(omega * 3600.0 * stunde); };
  const int jahre = 5;
  double cs[17] = {}, sn[17] = {};
  for (long n = 0; n < static_cast<long>(jahre) * stundenJahr; ++n) {
    ProfilSchritt(*m, 3600.0, mittel, oben(n + 1));
    if (n >= static_cast<long>(jahre - 1) * stundenJahr) {
      const double t = omega * 3600.0 * (n + 1);
      for (int r = 0; r < Zeilen; ++r) {
        cs[r] += (m->T_Profil[r] - mittel) * std::cos(t);
        sn[r] += (m->T_Profil[r] - mittel) * std::sin(t);
      }
    }
  }
  for (int r : {2, 4}) {  // 1 m and 2 m
    const double z = r * 0.5;
    const double amplitude = 2.0 / stundenJahr * std::hypot(cs[r], sn[r]);
    const double lag = std::atan2(sn[r], cs[r]);
    EXPECT_NEAR(amplitude / (A * std::exp(-z / d)), 1.0, 0.03) << "z = " << z;
    EXPECT_NEAR(lag, z / d, 0.03) << "z = " << z;
  }
}

TEST(WaermeSchritt, UniformFieldEqualToAllBoundariesStays) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  m->Segmente[1].Abst_Geb_re = 3.5f;
  InitGrid(*m, 1);
  GleicheDiffusivitaet(*m, 9e-7f);
  for (auto& spalte : m->T_Feld) spalte.fill(12.5f);
  WaermeSchritt(*m, 12.5f, 12.5f, 12.5f, 12.5f, 12.5f, 3600.0f);
  for (int c = 0; c <= m->LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r) EXPECT_EQ(m->T_Neu[c][r], 12.5f) << c << "," << r;
}

TEST(WaermeSchritt, BoundariesAndZeroGradientSides) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  GleicheDiffusivitaet(*m, 8e-7f);
  for (int c = 0; c < MaxSpalten; ++c)
    for (int r = 0; r < Zeilen; ++r) m->T_Feld[c][r] = 5.0f + 0.3f * c + 0.7f * r + 0.05f * c * r;
  const int n = m->LetzteSpalte;
  WaermeSchritt(*m, 99.0f, 98.0f, 3.0f, 11.0f, -2.0f, 3600.0f);
  for (int c = 0; c <= n; ++c) {
    EXPECT_EQ(m->T_Neu[c][0], -2.0f);
    EXPECT_EQ(m->T_Neu[c][16], 11.0f);
  }
  for (int r = 1; r <= 15; ++r) {
    EXPECT_EQ(m->T_Neu[0][r], m->T_Neu[1][r]) << r;  // no building: no wall value used
    EXPECT_EQ(m->T_Neu[n][r], m->T_Neu[n - 1][r]) << r;
  }
  for (int c = 5; c <= 6; ++c)
    for (int r = 11; r <= 12; ++r) EXPECT_EQ(m->T_Neu[c][r], 3.0f);
  // The fixed values are placed into T_Feld as well.
  EXPECT_EQ(m->T_Feld[5][11], 3.0f);
  EXPECT_EQ(m->T_Feld[3][0], -2.0f);
}

TEST(WaermeSchritt, SoilNextToThePipeExchangesOverHalfACell) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  const float k = 1e-6f;
  GleicheDiffusivitaet(*m, k);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  WaermeSchritt(*m, 0.0f, 0.0f, 0.0f, 10.0f, 10.0f, 3600.0f);
  // Cell (4, 11) west of the pipe: flux k (10 - 0) / 0.25 over 0.5 m for
  // 3600 s: 10 - 3600 / 0.5 * 1e-6 * 40 = 9.712.
  EXPECT_NEAR(m->T_Neu[4][11], 9.712f, 1e-5);
  EXPECT_NEAR(m->T_Neu[7][12], 9.712f, 1e-5);
  EXPECT_NEAR(m->T_Neu[5][10], 9.712f, 1e-5);
  EXPECT_NEAR(m->T_Neu[6][13], 9.712f, 1e-5);
  EXPECT_EQ(m->T_Neu[4][10], 10.0f);  // diagonal neighbours feel nothing yet
  EXPECT_EQ(m->T_Neu[3][11], 10.0f);
}

TEST(WaermeSchritt, CellarWallCellsHoldTheirTemperature) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = 3.0f;
  m->Segmente[1].Abst_Geb_re = 3.0f;
  m->GebTiefeRechts = 4.0f;  // rows 0..8
  InitGrid(*m, 1);
  GleicheDiffusivitaet(*m, 8e-7f);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  const int n = m->LetzteSpalte;
  WaermeSchritt(*m, 7.0f, 6.0f, 10.0f, 10.0f, 10.0f, 3600.0f);
  for (int r = 1; r <= 15; ++r) {
    EXPECT_EQ(m->T_Neu[0][r], 6.0f) << r;
    EXPECT_EQ(m->T_Neu[n][r], r <= 8 ? 7.0f : m->T_Neu[n - 1][r]) << r;
  }
  EXPECT_LT(m->T_Neu[1][5], 10.0f);  // the wall cools its neighbour
}

}  // namespace
}  // namespace terval
