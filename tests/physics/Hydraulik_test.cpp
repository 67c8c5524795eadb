// The channel's pressure drop: worked numbers of the single pipe, the
// transition of the friction factor, the air state, the power law of the
// whole channel and how registers and local losses add up.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <tuple>

#include "model/Vardef.h"
#include "physics/Hydraulik.h"

namespace terval {
namespace {

// The air of the worked numbers.
const Luftzustand Bezug{1.2, 1.427e-5};

// Worked by hand from the definitions (Moody chart agrees to two digits):
// D, V (m3/h), L, k (mm) -> w, Re, f, dp over L (0: not checked).
TEST(Hydraulik, WorkedNumbersOfOnePipe) {
  const std::array<double, 8> faelle[] = {{0.20, 200, 40, 0.007, 1.77, 24800, 0.0247, 9.2},
                                          {0.20, 200, 40, 1.0, 1.77, 24800, 0.0341, 12.7},
                                          {0.15, 60, 1, 0.007, 0.943, 9900, 0.031, 0}};
  for (const auto& [D, V_m3h, L, k_mm, w, Re, f, dp] : faelle) {
    SCOPED_TRACE(testing::Message() << "D " << D << " k " << k_mm);
    const double V = V_m3h / 3600.0, re = Geschwindigkeit(V, D) * D / Bezug.nu;
    EXPECT_NEAR(Geschwindigkeit(V, D), w, 0.005);
    EXPECT_NEAR(re, Re, 0.01 * Re);
    EXPECT_NEAR(Reibungszahl(re, k_mm * 1e-3 / D), f, 0.0006);
    if (dp > 0) {
      EXPECT_NEAR(Reibungsdruckverlust(V, D, k_mm * 1e-3, L, Bezug), dp, 0.1);
    }
  }
}

// Laminar exactly 64/Re, no jump at either end of the blend, and inside it
// between the laminar and the turbulent value.
TEST(Hydraulik, FrictionFactorLaminarAndContinuousThroughTheTransition) {
  EXPECT_DOUBLE_EQ(Reibungszahl(1000, 1e-4), 0.064);
  for (double Re : {2300.0, 4000.0})
    EXPECT_NEAR(Reibungszahl(Re * (1 - 1e-7), 1e-4), Reibungszahl(Re * (1 + 1e-7), 1e-4), 1e-8) << Re;
  const double mitte = Reibungszahl(3000, 1e-4);
  EXPECT_GT(mitte, std::min(64.0 / 3000, Reibungszahl(4000, 1e-4)));
  EXPECT_LT(mitte, 0.05);
}

// Tables of dry air at 101325 Pa.
TEST(Hydraulik, AirStateFollowsTemperature) {
  for (const auto& [T, rho, nu] : {std::array{0.0, 1.293, 1.33e-5}, std::array{20.0, 1.204, 1.51e-5}}) {
    EXPECT_NEAR(LuftBei(T, 101325).rho, rho, 0.002) << T;
    EXPECT_NEAR(LuftBei(T, 101325).nu, nu, 0.01e-5) << T;
  }
}

// A channel of `segmente` segments of 1 m, both pipe types of inner diameter D.
class Kanal : public ::testing::Test {
 protected:
  void SetUp() override { m = NeuesModell(); }
  void Baue(int segmente, double D, int rohre = 1) {
    m->Anz_Segmente = segmente;
    m->Rohrdaten.Seglaenge = 1.0f;
    for (int t = 1; t <= 2; ++t) {
      m->Rohrdaten.Rohr_Dicke[t] = 0.01f;
      m->Rohrdaten.Rohr_Ra[t] = static_cast<float>(D / 2 + 0.01);
    }
    for (int s = 1; s <= segmente; ++s) m->Segmente[s].Anz_Rohre = rohre;
  }
  void OhneEinzelverluste() {
    THydraulik& h = m->Hydraulik;
    h.Zeta_Einlauf = h.Zeta_Bogen = h.Zeta_Register = h.Zeta_Auslauf = 0;
  }
  double Gesamt(double V_m3h) { return Kanaldruckverlust(*m, V_m3h / 3600.0, Bezug).gesamt; }
  std::unique_ptr<Modell> m;
};

// The drop grows as a power of the flow; over the turbulent range of a
// house's duct (150 to 450 m3/h in 0.2 m, Re 18 600 to 55 000) the local
// exponent d ln(dp) / d ln(V) stays in a narrow band.
TEST_F(Kanal, PowerLawOfTheFlowOverATurbulentSweep) {
  Baue(40, 0.2);
  for (const auto& [mitEinzelverlusten, min, max] : {std::tuple{false, 1.75, 1.80}, std::tuple{true, 1.80, 1.85}}) {
    SCOPED_TRACE(mitEinzelverlusten);
    m->Hydraulik = THydraulik{};
    if (!mitEinzelverlusten) OhneEinzelverluste();
    for (double V = 150; V < 450; V += 25) {
      const double n = std::log(Gesamt(V * 1.01) / Gesamt(V)) / std::log(1.01);
      EXPECT_TRUE(n >= min && n <= max) << V << ": " << n;
    }
  }
}

TEST_F(Kanal, RegisterOfNPipesHasTheDropOfOnePipeAtOneNthOfTheFlow) {
  for (int n : {2, 3, 5}) {
    Baue(10, 0.15, n);
    OhneEinzelverluste();
    const Druckverlust reg = Kanaldruckverlust(*m, 300 / 3600.0, Bezug);
    Baue(10, 0.15, 1);
    const Druckverlust einzeln = Kanaldruckverlust(*m, 300 / 3600.0 / n, Bezug);
    EXPECT_NEAR(reg.gesamt, einzeln.gesamt, 1e-12 * einzeln.gesamt) << n;
    EXPECT_DOUBLE_EQ(reg.wRegister, einzeln.wHauptstrang);
  }
}

// Main line 0.2 m, registers of 0.15 m: segments 1, 2 | 3, 4 (3 pipes) | 5 | 6 (2 pipes).
TEST_F(Kanal, LocalLossesAndFilterGoWithTheirOwnSpeeds) {
  Baue(6, 0.2);
  m->Rohrdaten.Rohr_Ra[2] = 0.075f + 0.01f;
  m->Segmente[3].Anz_Rohre = m->Segmente[4].Anz_Rohre = 3;
  m->Segmente[6].Anz_Rohre = 2;
  m->Kanalbetrieb.Volstrom = 300;
  m->Hydraulik.Filter_Pa = 50;
  const double V = 600 / 3600.0, q = Bezug.rho / 2;
  // The diameters as the model's single-precision radii give them.
  auto D = [&](int t) { return 2.0 * (double{m->Rohrdaten.Rohr_Ra[t]} - double{m->Rohrdaten.Rohr_Dicke[t]}); };
  const double w1 = Geschwindigkeit(V, D(1)), w3 = Geschwindigkeit(V / 3, D(2)), w2 = Geschwindigkeit(V / 2, D(2));
  const Druckverlust d = Kanaldruckverlust(*m, V, Bezug);
  ASSERT_TRUE(d.gueltig);
  double reibung = 0;
  for (const Segmenthydraulik& s : d.segmente) reibung += s.dp;
  // Inlet 0.5 and two bends of 0.15 at the main line's speed, split and join
  // of both registers, the outlet at the last (register) pipe's speed, and
  // at twice the base flow four times the filter's drop.
  const double lokal = q * (0.8 * w1 * w1 + 2 * w3 * w3 + 2 * w2 * w2 + w2 * w2);
  EXPECT_NEAR(d.gesamt, reibung + lokal + 200, 1e-9 * d.gesamt);
  EXPECT_NEAR(d.gesamt - d.reibung - d.filter, lokal, 1e-9 * d.gesamt);
  // No flow, no drop; no inner diameter, no valid figure.
  EXPECT_EQ(Kanaldruckverlust(*m, 0, Bezug).gesamt, 0.0);
  m->Rohrdaten.Rohr_Dicke[1] = m->Rohrdaten.Rohr_Ra[1];
  EXPECT_FALSE(Kanaldruckverlust(*m, 0.1, Bezug).gueltig);
}

}  // namespace
}  // namespace terval
