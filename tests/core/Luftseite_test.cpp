// The air-side options: exchange at small flows, the energy-conserving pipe
// coupling.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"
#include "core/Rohrkopplung.h"

namespace terval {
namespace {

constexpr double Pi = std::numbers::pi;

// ---- Exchange at small flows ------------------------------------------------------

// A DN150 main line (outer radius 0.075 m) in 1 m segments.
std::unique_ptr<Modell> DN150() {
  auto m = test::Kernmodell();
  test::SetzeSegment(*m, 1, 1, 1.5f);
  m->Rohrdaten.Rohr_Ra[1] = 0.075f, m->Rohrdaten.Rohr_Dicke[1] = 0.005f, m->Rohrdaten.Rohr_wlf[1] = 0.2f;
  m->Rohrdaten.Seglaenge = 1.0f;
  return m;
}

TEST(KleinerVolumenstrom, CoefficientIsLaminarAtRestAndMeetsTheDescribedOneAtTheThreshold) {
  auto m = DN150();
  // Re of 13 m3/h in DN150 is about 2300: the laminar range ends there.
  EXPECT_NEAR(Reynoldszahl(*m, 1, 13.0f / 3600), 2300, 10);
  EXPECT_NEAR(Reynoldszahl(*m, 1, 60.0f / 3600), 10600, 100);
  // As the flow vanishes the entrance effect does too: Nu -> 3.66.
  EXPECT_NEAR(AlphaKleinerStrom(*m, 1, 1e-7f), 3.66 * 0.02 / 0.15, 1e-3);
  EXPECT_EQ(AlphaKleinerStrom(*m, 1, 0.0f), 1e-8f);
  // At the threshold the described coefficient, here at its floor of 10.
  EXPECT_EQ(CalcAlpha(*m, 1, LuftstromGrenze), 10.0f);
  EXPECT_NEAR(AlphaKleinerStrom(*m, 1, std::nextafter(LuftstromGrenze, 0.0f)), 10.0f, 1e-4);
  // A sweep from laminar to the threshold in steps of 0.05 m3/h, in this
  // pipe and in a 0.8 m one whose threshold flow lies at Re 3300: no jump
  // larger than the slope allows, and rising all the way.
  for (float R : {0.075f, 0.4f}) {
    m->Rohrdaten.Rohr_Ra[1] = R;
    float vorher = AlphaKleinerStrom(*m, 1, 0.05f / 3600);
    for (float q = 0.1f; q < 100.0f; q += 0.05f) {
      const float a = AlphaKleinerStrom(*m, 1, q / 3600);
      ASSERT_GE(a, vorher) << R << " " << q;
      ASSERT_LT(a - vorher, 0.02f) << R << " " << q;
      vorher = a;
    }
    EXPECT_NEAR(vorher, CalcAlpha(*m, 1, LuftstromGrenze), 0.01f) << R;
  }
}

TEST(KleinerVolumenstrom, SmallFlowsExchangeWithoutOvershootAndStandingAirPasses) {
  auto m = DN150();
  const Rohrwerte rohr = RohrwerteVon(*m, 1, 1.0f);
  const double lambda = 1.5, U_s = lambda / 0.25;
  struct Fall {
    float m3h;
    float T_in, T_ring;
  };
  float T_ausVorher = 10.0f;
  // Falling flows from 60 m3/h (Re 10 600) into the laminar range: the
  // outlet comes ever closer to the ring, never beyond it.
  for (Fall f : {Fall{60, 0, 10}, {30, 0, 10}, {12, 0, 10}, {3, 0, 10}, {0.01f, 0, 10}}) {
    const float V = f.m3h / 3600;
    const float alpha = AlphaKleinerStrom(*m, 1, V);
    float T_aus = -1, T_wand = -1;
    Rohraustausch(rohr, alpha, V, f.T_in, f.T_ring, lambda, T_aus, T_wand, true);
    const double U = 1 / (1 / alpha + 1 / rohr.U_w + 1 / U_s);
    const double k = 2 * Pi * 0.075 * U / (1200 * V);
    EXPECT_NEAR(T_aus, 10 - 10 * std::exp(-k), 1e-4) << f.m3h;
    EXPECT_GT(T_aus, 0.0f) << f.m3h;
    EXPECT_LE(T_aus, 10.0f) << f.m3h;
    EXPECT_GE(T_aus, T_ausVorher == 10.0f ? 0.0f : T_ausVorher) << f.m3h;
    T_ausVorher = T_aus;
    // The wall lies between inlet and ring; it carries the heat the air takes.
    EXPECT_GT(T_wand, f.T_in) << f.m3h;
    EXPECT_LE(T_wand, 10.0f) << f.m3h;
    EXPECT_NEAR((10.0 - T_wand) * U_s * 2 * Pi * 0.075, 1200.0 * V * T_aus, 1e-3) << f.m3h;
    // Without the option the air passes and the wall takes the ring's value.
    Rohraustausch(rohr, alpha, V, f.T_in, f.T_ring, lambda, T_aus, T_wand);
    EXPECT_EQ(T_aus, f.T_in);
    EXPECT_EQ(T_wand, f.T_ring);
  }
  float T_aus = -1, T_wand = -1;
  Rohraustausch(rohr, AlphaKleinerStrom(*m, 1, 0), 0.0f, 3.0f, 10.0f, lambda, T_aus, T_wand, true);
  EXPECT_EQ(T_aus, 3.0f);
  EXPECT_EQ(T_wand, 10.0f);
}

TEST(KleinerVolumenstrom, OnlyTheHoursBelowTheThresholdChange) {
  auto m = DN150();
  for (int h = 1; h <= Stunden; ++h) m->VolStromStunde[h] = static_cast<float>(h % 200) / 3600;
  CalcRohrVolumenstrom(*m);
  CalcAlphaJahr(*m);
  const auto aus = m->Segmente[1].Alpha;
  m->Luftseite.KleinerVolumenstrom = true;
  CalcAlphaJahr(*m);
  for (int h = 1; h <= Stunden; ++h) {
    const float V = m->Segmente[1].VolStromRohr[h];
    if (V < LuftstromGrenze && V > 0)
      ASSERT_EQ(m->Segmente[1].Alpha[h], AlphaKleinerStrom(*m, 1, V)) << h;
    else
      ASSERT_EQ(m->Segmente[1].Alpha[h], aus[h]) << h;
  }
}

// ---- Energy-conserving coupling: the steady strip -------------------------------

// Steady temperature rise (K) at (x, z) per W/m of a line source at (0, z0) in
// soil of conductivity lambda filling the strip 0 < z < H between isothermal
// planes, with adiabatic sides at x = a < 0 and x = b > 0. The strip's own
// Green's function (the images in z summed in closed form),
//   g = ln[(cosh(pi dx/H) - cos(pi (z + z0)/H)) / (cosh(pi dx/H) - cos(pi (z - z0)/H))] / (4 pi lambda),
// reflected in both sides: sources at 2 k (b - a) and 2 a + 2 k (b - a).
double Streifenquelle(double x, double z, double z0, double H, double a, double b, double lambda) {
  auto g = [&](double xi) {
    const double ch = std::cosh(Pi * (x - xi) / H);
    return std::log((ch - std::cos(Pi * (z + z0) / H)) / (ch - std::cos(Pi * (z - z0) / H))) /
           (4 * Pi * lambda);
  };
  double summe = 0;
  for (int k = -40; k <= 40; ++k) summe += g(2 * k * (b - a)) + g(2 * a + 2 * k * (b - a));
  return summe;
}

// Outlet of `segmente` m of pipe (radius R, coefficient alpha, thin wall) at
// depth z0 in that strip, surface at T_oben and bottom (H) at 0 degC, air
// entering at 0 degC with V m3/s: the soil's undisturbed temperature at the
// pipe, T0 = T_oben (1 - z0 / H), and the series of soil and air side.
double AnalytischerAustritt(double z0, double R, double alpha, double V, double segmente) {
  const double H = 8, T_oben = 10, lambda = 1.5;
  const double T0 = T_oben * (1 - z0 / H);
  const double R_boden = Streifenquelle(R, z0, z0, H, -2.75, 1.25, lambda);
  const double R_luft = 1 / (alpha * 2 * Pi * R);
  return T0 - T0 * std::exp(-segmente / (1200 * V * (R_boden + R_luft)));
}

// The steady case: a single pipe of r 0.1 m (a single cell, where Peaceman's
// radius meets the pipe) with a thin wall, under an overbuilt surface at
// 10 degC, bottom and inlet at 0 degC, soil lambda 1.5, 30 segments of 1 m at
// 200 m3/h. The grid's outlet must come within 5 % of the strip's analytic
// value, and every hour the soil must lose what the air gains.
class Steady : public ::testing::TestWithParam<double> {};

TEST_P(Steady, OutletMeetsTheLineSourceAndSoilLossEqualsAirGainEveryHour) {
  const double tiefe = GetParam();
  auto m = test::Kernmodell();
  test::SetzeSegment(*m, 1, 1, static_cast<float>(tiefe));
  m->Segmente[1].Überbaut = 1;
  m->Rohrdaten.Rohr_Ra[1] = 0.1f, m->Rohrdaten.Rohr_Dicke[1] = 0.001f, m->Rohrdaten.Rohr_wlf[1] = 1000.0f;
  m->Rohrdaten.Seglaenge = 1.0f;
  InitGrid(*m, 1);
  ASSERT_EQ(m->LetzteSpalte, 9);
  const Rohrknoten knoten = OeffneRohrzellen(*m, 1);
  ASSERT_EQ(knoten.anz, 1);
  EXPECT_EQ(knoten.peaceman, 0.0);  // r_e = 0.1 m = R
  // Soil lambda 1.5 W/(m K); the heat capacity (3e5 J/(m3 K)) only sets how
  // fast the field settles, not where.
  const double lambda = 1.5, C = 3e5;
  const float K = static_cast<float>(lambda / C);
  const int n = m->LetzteSpalte;
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      m->K_Zelle[c][r] = m->K_W[c][r] = m->K_O[c][r] = m->K_N[c][r] = m->K_S[c][r] = K;
      m->T_Feld[c][r] = 10.0f * (1.0f - static_cast<float>(r) / 16.0f);
    }
  std::array<float, Zeilen> lambdaZeilen;
  lambdaZeilen.fill(static_cast<float>(lambda));
  Schichten K_Schicht;
  K_Schicht.fill(K);
  const Zeilendiffusivitaet z = ZeilenDiffusivitaeten(K_Schicht);
  const float V = 200.0f / 3600;
  const float alpha = CalcAlpha(*m, 1, V);
  ASSERT_EQ(alpha, 10.0f);
  const double UA = RohrLeitwert(knoten, alpha, lambda);

  // Heat content of the inner cells (J per metre) and the heat the step lets
  // in through the surface, bottom and sides in dt, from the field before it.
  auto inhalt = [&] {
    double e = 0;
    for (int c = 1; c <= n - 1; ++c)
      for (int r = 1; r < UntersteZeile; ++r) e += C * DX * DZ * m->T_Feld[c][r];
    return e;
  };
  auto zufluss = [&](double dt) {
    const auto& T = m->T_Feld;
    double q = 0;
    for (int c = 1; c <= n - 1; ++c) q += C * K * DX / DZ * ((10.0 - T[c][1]) + (0.0 - T[c][15]));
    for (int r = 1; r < UntersteZeile; ++r) q += C * K * DZ / DX * ((T[0][r] - T[1][r]) + (T[n][r] - T[n - 1][r]));
    return q * dt;
  };

  float T_in = 0;
  for (int s = 1; s <= 30; ++s) {
    Koppelstunde st;
    for (int h = 1; h <= 3000; ++h) {
      const double vorher = inhalt(), zu = zufluss(3600);
      st = KoppelStunde(*m, knoten, Rohrboden{lambdaZeilen.data(), &z}, UA, V, T_in, 3600.0f,
                        [&](float dt) { WaermeSchritt(*m, 0, 0, 0, 0.0f, 10.0f, dt); });
      // What the air gains, 1200 V (T_aus - T_in), the soil loses.
      EXPECT_NEAR(st.Q, 1200.0 * V * (st.T_aus - T_in), 1e-3 * std::abs(st.Q) + 1e-4);
      const double verlust = vorher + zu - inhalt();
      if (s == 1 || h == 3000) {
        ASSERT_NEAR(verlust, st.Q * 3600, 2e-3 * std::abs(st.Q * 3600) + 20) << s << " " << h;
      }
    }
    EXPECT_EQ(st.teilschritte, 1);
    T_in = st.T_aus;
  }
  const double analytisch = AnalytischerAustritt(tiefe, 0.1, 10, V, 30);
  if (tiefe == 1.5) {
    EXPECT_NEAR(analytisch, 4.43, 0.02);
  }
  EXPECT_NEAR(T_in, analytisch, 0.05 * analytisch) << analytisch;
}

INSTANTIATE_TEST_SUITE_P(Tiefen, Steady, ::testing::Values(1.5, 2.5));

}  // namespace
}  // namespace terval
