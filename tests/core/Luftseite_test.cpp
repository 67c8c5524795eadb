// The air-side options: exchange at small flows, the energy-conserving pipe
// coupling.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Kernhilfe.h"
#include "core/Cor_mod.h"

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

}  // namespace
}  // namespace terval
