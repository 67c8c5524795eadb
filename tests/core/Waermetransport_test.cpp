// Heat in the soil: the mean temperatures, the spin-up of the start profile,
// the explicit 2-D step and the boundary values of a cross-section.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"

namespace terval {
namespace {

using test::Kernmodell;

void GleicheDiffusivitaet(Modell& m, float k) {
  for (int c = 0; c < MaxSpalten; ++c)
    for (int r = 0; r < Zeilen; ++r)
      m.K_Zelle[c][r] = m.K_W[c][r] = m.K_O[c][r] = m.K_N[c][r] = m.K_S[c][r] = k;
}

TEST(Mitteltemperaturen, YearSummerDays166To225AndTheAnnualCosine) {
  auto m = Kernmodell();
  auto& T = m->Segmente[1].T_ein;
  T.fill(5.0f);
  for (int h = 3961; h <= 5400; ++h) T[h] = 20.0f;
  T[3960] = T[5401] = 100.0f;  // just outside the summer window
  CalcMitteltemperaturen(*m);
  EXPECT_FLOAT_EQ(m->T_Sommermittel, 20.0f);
  EXPECT_NEAR(m->T_Jahresmittel, (5.0 * (8760 - 1442) + 20.0 * 1440 + 200.0) / 8760, 1e-4);
  m->T_Jahresmittel = 7.0f, m->T_Sommermittel = 18.0f;
  // Warmest at day 182.5, the cold end 2 * 7 - 18 half a year away.
  EXPECT_NEAR(T_Jahresgang(*m, 365), -4.0f, 1e-5);
  EXPECT_FLOAT_EQ(T_Jahresgang(*m, 182), T_Jahresgang(*m, 183));
  EXPECT_NEAR(T_Jahresgang(*m, 182), 7.0 + 11.0 * std::cos(2 * std::numbers::pi * 43200 / 3.1536e7), 1e-5);
  EXPECT_NEAR(T_Jahresgang(*m, 91), 7.0, 0.11);
}

// The spin-up is ProfilSchritt taken 24 x 61 times with each day's value of
// the annual cosine at the surface, for the whole year.
TEST(InitTProfil, IsTheStepByStepSpinUpAndReachesEveryColumn) {
  auto m = Kernmodell();
  m->T_Jahresmittel = 8.0f, m->T_Sommermittel = 17.0f;
  for (int r = 0; r < Zeilen; ++r) m->K_Zelle[0][r] = 4e-7f + 5e-8f * static_cast<float>(r);
  auto ref = std::make_unique<Modell>(*m);
  InitTProfil(*m);
  ref->T_Profil.fill(8.0);
  for (int d = 1; d <= 365; ++d)
    for (int i = 0; i < 24 * 61; ++i) ProfilSchritt(*ref, 3600.0, 8.0, T_Jahresgang(*ref, d));
  EXPECT_TRUE(m->T_Profil == ref->T_Profil && m->T_ProfilHilf == ref->T_ProfilHilf);
  EXPECT_NEAR(m->T_Profil[0], -1.0, 1e-5);  // the cold end
  EXPECT_TRUE(m->T_Profil[16] == 8.0 && m->T_Profil[4] > m->T_Profil[2]);
  InitGrid(*m, 1), InitTFeld(*m);
  for (int c = 0; c <= m->LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r) EXPECT_EQ(m->T_Feld[c][r], static_cast<float>(m->T_Profil[r]));
}

// Driven hour by hour by a true annual cosine at the surface, the profile
// reaches the periodic state of a half-space: amplitude A exp(-z/d), lag z/d,
// damping depth d = sqrt(2a/omega). The bottom at 8 m and the 0.5 m nodes
// change this by well under a percent.
TEST(ProfilSchritt, AnnualWaveDampsAndLagsAsInTheHalfSpace) {
  auto m = Kernmodell();
  const float a = 5e-7f;
  m->K_Zelle[0].fill(a);
  const double omega = 2 * std::numbers::pi / (8760 * 3600.0),
               d = std::sqrt(2 * static_cast<double>(a) / omega);
  m->T_Profil.fill(10.0);
  double cs[Zeilen] = {}, sn[Zeilen] = {};
  for (long n = 1; n <= 5 * 8760; ++n) {
    const double t = omega * 3600.0 * n;
    ProfilSchritt(*m, 3600.0, 10.0, 10.0 + 8.0 * std::cos(t));
    if (n > 4 * 8760)
      for (int r = 0; r < Zeilen; ++r)
        cs[r] += (m->T_Profil[r] - 10) * std::cos(t), sn[r] += (m->T_Profil[r] - 10) * std::sin(t);
  }
  for (int r : {2, 4}) {  // 1 m and 2 m
    const double z = r * 0.5;
    EXPECT_NEAR(2.0 / 8760 * std::hypot(cs[r], sn[r]) / (8.0 * std::exp(-z / d)), 1.0, 0.03) << z;
    EXPECT_NEAR(std::atan2(sn[r], cs[r]), z / d, 0.03) << z;
  }
}

TEST(WaermeSchritt, HalfCellExchangeFixedValuesSidesAndUniformField) {
  auto m = Kernmodell();
  InitGrid(*m, 1);
  GleicheDiffusivitaet(*m, 1e-6f);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  WaermeSchritt(*m, 99.0f, 98.0f, 0.0f, 11.0f, -2.0f, 3600.0f);
  // West of the pipe: flux k (10 - 0) / 0.25 over 0.5 m for 3600 s: 10 - 3600 / 0.5 * 1e-6 * 40.
  for (auto [c, r] : {std::pair{4, 11}, {7, 12}, {5, 10}, {6, 13}}) EXPECT_NEAR(m->T_Neu[c][r], 9.712f, 1e-5);
  EXPECT_NEAR(m->T_Neu[3][1], 10 - 3600 / 0.5 * 1e-6 * 12 / 0.5, 1e-5);  // the surface a full cell away
  EXPECT_EQ(m->T_Neu[4][10], 10.0f);                                      // diagonal neighbours feel nothing yet
  const int n = m->LetzteSpalte;
  for (int c = 0; c <= n; ++c)
    EXPECT_EQ(std::pair(m->T_Neu[c][0], m->T_Neu[c][16]), std::pair(-2.0f, 11.0f)) << c;
  for (int r = 1; r <= 15; ++r)  // no building: no heat through the side
    EXPECT_TRUE(m->T_Neu[0][r] == m->T_Neu[1][r] && m->T_Neu[n][r] == m->T_Neu[n - 1][r]) << r;
  EXPECT_EQ(m->T_Neu[5][11] + m->T_Neu[6][12], 0.0f);
  EXPECT_EQ(std::pair(m->T_Feld[5][11], m->T_Feld[3][0]), std::pair(0.0f, -2.0f));  // fixed values go into T_Feld too

  // Between cellar walls a uniform field equal to every boundary stays as it is.
  m->Segmente[1].Abst_Geb_li = m->Segmente[1].Abst_Geb_re = 3.0f, m->GebTiefeRechts = 4.0f;  // rows 0..8
  InitGrid(*m, 1);
  for (auto& spalte : m->T_Feld) spalte.fill(10.0f);
  WaermeSchritt(*m, 10.0f, 10.0f, 10.0f, 10.0f, 10.0f, 3600.0f);
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) ASSERT_EQ(m->T_Neu[c][r], 10.0f) << c << "," << r;
  // The walls hold their temperatures down to the building depth.
  WaermeSchritt(*m, 7.0f, 6.0f, 10.0f, 10.0f, 10.0f, 3600.0f);
  for (int r = 1; r <= 15; ++r)
    EXPECT_TRUE(m->T_Neu[0][r] == 6.0f && m->T_Neu[n][r] == (r <= 8 ? 7.0f : m->T_Neu[n - 1][r])) << r;
  EXPECT_LT(m->T_Neu[1][5], 10.0f);  // the wall cools its neighbour
}

// Cellar air - wall - soil in series, h = 3 W/(m2 K) on the cellar side:
// defaults U_w = 0.9/0.4 = 2.25, U_s = 1.5/0.25 = 6, cellar 8 degC, soil 10 degC.
double KellerwandDoppelt(double U_w, double U_s, double T_keller, double T_nb) {
  const double h = 3, a = (U_w + U_s) * (U_w + h);
  return (U_w * h / a * T_keller + U_s / (U_w + U_s) * T_nb) / (1 - U_w * U_w / a);
}

TEST(Randbedingungen, CellarWallSurfaceAndWater) {
  auto m = Kernmodell();
  m->Segmente[1].Abst_Geb_li = m->Segmente[1].Abst_Geb_re = 3.0f, m->GebTiefeLinks = 3.0f;  // rows 0..6
  InitGrid(*m, 1);
  const int n = m->LetzteSpalte;
  for (auto& spalte : m->T_Feld) spalte.fill(30.0f);
  for (int r = 0; r < Zeilen; ++r) m->T_Feld[1][r] = r <= 6 ? 10.0f : 50.0f;  // beside the wall rows only
  m->T_Feld[n - 1].fill(10.0f);
  m->Lambda[16] = 1.5;
  EXPECT_NEAR(CalcKellerwand(*m, 0), KellerwandDoppelt(2.25, 6, 8, 10), 1e-5);
  EXPECT_NEAR(CalcKellerwand(*m, 7), KellerwandDoppelt(2.25, 6, 8, 10), 1e-5);  // any side but 0 is the right
  m->Lambda[16] = 0.0;  // no soil conductance: the cellar air alone
  EXPECT_NEAR(CalcKellerwand(*m, 0), 8.0f, 1e-5);
  m->Lambda[16] = 1.5, m->wlf_kellerwand = 4000.0f;  // no wall resistance: (h T_Keller + U_s T_nb) / (h + U_s)
  EXPECT_NEAR(CalcKellerwand(*m, 0), 84.0 / 9, 0.01);
  m->wlf_kellerwand = 0.9f, m->GebTiefeLinks = -1.0f;  // a wall of no rows has no soil beside it
  InitGrid(*m, 1);
  EXPECT_NEAR(CalcKellerwand(*m, 0), 8.0f, 1e-5);

  m->Anz_Segmente = 3, m->T_Fundament = 10.0f;
  m->Segmente[1].T_ein[100] = -3.0f, m->Segmente[3].T_ein[100] = 2.0f;
  for (int s = 1; s <= 3; ++s) m->Segmente[s].Überbaut = s - 1;
  // Overbuilt: the foundation; sealed: the outdoor air, not its own inlet.
  EXPECT_EQ(std::vector<float>({Oberflaechentemperatur(*m, 1, 100), Oberflaechentemperatur(*m, 2, 100),
                                Oberflaechentemperatur(*m, 3, 100)}),
            std::vector<float>({-3, 10, -3}));
  EXPECT_EQ(std::vector<float>({Wasserfaktor(*m, 1), Wasserfaktor(*m, 2), Wasserfaktor(*m, 3)}),
            std::vector<float>({1, 0, 0}));
}

}  // namespace
}  // namespace terval
