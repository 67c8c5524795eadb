// The channel's pressure drop: worked numbers of the single pipe, the
// transition of the friction factor, the air state, the power law of the
// whole channel and how registers and local losses add up.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/Vardef.h"
#include "physics/Hydraulik.h"

namespace terval {
namespace {

// The air of the worked numbers.
const Luftzustand Bezug{1.2, 1.427e-5};

struct Rohrfall {
  const char* name;
  double D, V_m3h, L, k_mm;
  double w, Re, f, dp;  // expected; dp over L (0: not checked)
};

// Worked by hand from the definitions (Moody chart agrees to two digits).
const Rohrfall Rohrfaelle[] = {
    {"glatt_D200_200m3h_40m", 0.20, 200, 40, 0.007, 1.77, 24800, 0.0247, 9.2},
    {"rau_1mm_D200_200m3h_40m", 0.20, 200, 40, 1.0, 1.77, 24800, 0.0341, 12.7},
    {"Register_D150_60m3h", 0.15, 60, 1, 0.007, 0.943, 9900, 0.031, 0},
};

TEST(Hydraulik, WorkedNumbersOfOnePipe) {
  for (const Rohrfall& c : Rohrfaelle) {
    SCOPED_TRACE(c.name);
    const double V = c.V_m3h / 3600.0;
    const double w = Geschwindigkeit(V, c.D);
    const double Re = w * c.D / Bezug.nu;
    const double f = Reibungszahl(Re, c.k_mm * 1e-3 / c.D);
    EXPECT_NEAR(w, c.w, 0.005);
    EXPECT_NEAR(Re, c.Re, 0.01 * c.Re);
    EXPECT_NEAR(f, c.f, 0.0006);
    if (c.dp > 0) {
      EXPECT_NEAR(Reibungsdruckverlust(V, c.D, c.k_mm * 1e-3, c.L, Bezug), c.dp, 0.1);
      EXPECT_NEAR(Reibungsdruckverlust(V, c.D, c.k_mm * 1e-3, 1.0, Bezug), c.dp / c.L, 0.005);
    }
  }
}

TEST(Hydraulik, FrictionFactorLaminarAndContinuousThroughTheTransition) {
  EXPECT_DOUBLE_EQ(Reibungszahl(1000, 1e-4), 0.064);
  EXPECT_DOUBLE_EQ(Reibungszahl(2300, 1e-4), 64.0 / 2300);
  EXPECT_EQ(Reibungszahl(0, 1e-4), 0.0);
  // Colebrook-White itself at a textbook point: smooth pipe, Re 1e5, f 0.0180.
  EXPECT_NEAR(Reibungszahl(1e5, 0), 0.0180, 0.0001);
  // No jump at either end of the blend, and no kink worth a step.
  for (double Re : {2300.0, 4000.0}) {
    const double unten = Reibungszahl(Re * (1 - 1e-7), 1e-4), oben = Reibungszahl(Re * (1 + 1e-7), 1e-4);
    EXPECT_NEAR(unten, oben, 1e-8) << Re;
  }
  // Inside the transition the factor lies between the laminar and the turbulent value.
  const double lam = 64.0 / 3000, tur = Reibungszahl(4000, 1e-4);
  const double mitte = Reibungszahl(3000, 1e-4);
  EXPECT_GT(mitte, std::min(lam, tur));
  EXPECT_LT(mitte, std::max(lam, 0.05));
}

TEST(Hydraulik, AirStateFollowsTemperatureAndPressure) {
  // Tables of dry air at 101325 Pa: 0 degC rho 1.293, nu 1.33e-5; 20 degC rho 1.204, nu 1.51e-5.
  const Luftzustand null = LuftBei(0, 101325), zwanzig = LuftBei(20, 101325);
  EXPECT_NEAR(null.rho, 1.293, 0.002);
  EXPECT_NEAR(null.nu, 1.33e-5, 0.01e-5);
  EXPECT_NEAR(zwanzig.rho, 1.204, 0.002);
  EXPECT_NEAR(zwanzig.nu, 1.51e-5, 0.01e-5);
  EXPECT_NEAR(LuftBei(20, 2 * 101325.0).rho, 2 * zwanzig.rho, 1e-12);
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
  struct Fall {
    const char* name;
    bool mitEinzelverlusten;
    double min, max;
  };
  for (const Fall& c : {Fall{"nur Reibung", false, 1.75, 1.80}, Fall{"mit Einzelverlusten", true, 1.80, 1.85}}) {
    SCOPED_TRACE(c.name);
    m->Hydraulik = THydraulik{};
    if (!c.mitEinzelverlusten) OhneEinzelverluste();
    for (double V = 150; V < 450; V += 25) {
      const double n = std::log(Gesamt(V * 1.01) / Gesamt(V)) / std::log(1.01);
      EXPECT_GE(n, c.min) << V;
      EXPECT_LE(n, c.max) << V;
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
    EXPECT_EQ(reg.wHauptstrang, 0.0);
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
  const double V = 600 / 3600.0;
  const double q = Bezug.rho / 2;
  // The diameters as the model's single-precision radii give them.
  auto D = [&](int t) { return 2.0 * (double{m->Rohrdaten.Rohr_Ra[t]} - double{m->Rohrdaten.Rohr_Dicke[t]}); };
  const double w1 = Geschwindigkeit(V, D(1)), w3 = Geschwindigkeit(V / 3, D(2)), w2 = Geschwindigkeit(V / 2, D(2));
  const Druckverlust d = Kanaldruckverlust(*m, V, Bezug);
  ASSERT_TRUE(d.gueltig);
  EXPECT_NEAR(d.einlauf, 0.5 * q * w1 * w1, 1e-6 * d.einlauf);
  EXPECT_NEAR(d.boegen, 2 * 0.15 * q * w1 * w1, 1e-6 * d.boegen);
  // Two registers, each split and join.
  EXPECT_NEAR(d.register_, 2 * q * w3 * w3 + 2 * q * w2 * w2, 1e-6 * d.register_);
  // The last segment is a register pipe.
  EXPECT_NEAR(d.auslauf, q * w2 * w2, 1e-6 * d.auslauf);
  // Twice the base flow: four times the filter's drop.
  EXPECT_NEAR(d.filter, 200, 1e-6 * d.filter);
  EXPECT_NEAR(d.wHauptstrang, w1, 1e-6 * w1);
  EXPECT_NEAR(d.wRegister, w2, 1e-6 * w2);
  double summe = 0;
  for (const Segmenthydraulik& s : d.segmente) summe += s.dp;
  EXPECT_DOUBLE_EQ(d.reibung, summe);
  EXPECT_NEAR(d.gesamt, summe + d.einlauf + d.boegen + d.register_ + d.auslauf + d.filter, 1e-6 * d.gesamt);
}

TEST_F(Kanal, NoInnerDiameterMakesTheFigureInvalidAndNoFlowNoDrop) {
  Baue(3, 0.2);
  EXPECT_EQ(Kanaldruckverlust(*m, 0, Bezug).gesamt, 0.0);
  m->Rohrdaten.Rohr_Dicke[1] = m->Rohrdaten.Rohr_Ra[1];
  EXPECT_FALSE(Kanaldruckverlust(*m, 0.1, Bezug).gueltig);
}

}  // namespace
}  // namespace terval
