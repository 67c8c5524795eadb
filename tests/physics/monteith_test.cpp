#include "physics/monteith.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/Vardef.h"

namespace terval {
namespace {

TEST(Dampfdruck, SaettigungUndIhreSteigung) {
  EXPECT_DOUBLE_EQ(CalcEsat(0), 0.6108);
  EXPECT_NEAR(CalcEsat(20), 2.338, 5e-4);
  // The slope is a separate fit; it must match the derivative of the curve itself.
  for (double T : {0.0, 10.0, 20.0, 30.0}) {
    const double numerisch = (CalcEsat(T + 0.01) - CalcEsat(T - 0.01)) / 0.02;
    EXPECT_NEAR(CalcDeltaEsat(T, CalcEsat(T)) / numerisch, 1.0, 5e-3) << T;
  }
  auto m = NeuesModell();
  m->Klima[Stunden].rFeuchte = 50;  // T_Luft 0
  BerechneDampfdruck(*m);
  EXPECT_FLOAT_EQ(m->Klima[Stunden].e, 0.3054f);
}

TEST(Bestand, BlattflaecheUndOberflaechenwiderstand) {
  auto m = NeuesModell();
  m->Veg_Hoehe = 0.5f;
  m->Veg_typ = 1;
  CalcBestand(*m);
  EXPECT_EQ(m->LAI, 12.0f);
  EXPECT_NEAR(m->r_s, 16.67f, 0.01f);
  m->Veg_typ = 3;  // only half the leaves are active
  CalcBestand(*m);
  EXPECT_NEAR(m->LAI, 4.46f, 0.005f);
  EXPECT_NEAR(m->r_s, 89.7f, 0.05f);
}

TEST(Bestand, GueltigkeitFuerDieLaufpruefung) {
  auto m = NeuesModell();
  m->Veg_typ = 1;
  m->Veg_Hoehe = 0.5f;
  m->WG_Messhoehe = 2.0f;  // above d = 1.21 m
  EXPECT_TRUE(BestandGueltig(*m));
  m->WG_Messhoehe = 1.0f;  // below the displacement height
  EXPECT_FALSE(BestandGueltig(*m));
  m->WG_Messhoehe = 10.0f;
  m->Veg_typ = 2;
  m->Veg_Hoehe = 0.02f;  // 1.5 ln 0.02 + 5.5 < 0
  EXPECT_FALSE(BestandGueltig(*m));
  EXPECT_EQ(m->LAI, 0.0f);  // only looked, did not set
}

TEST(Bodenwaermestrom, AnteilDerNettostrahlung) {
  auto m = NeuesModell();
  m->Veg_typ = 1;
  EXPECT_EQ(CalcBodenwaermestrom(*m, 0), 0.0);  // night branch, factor 0.5
  EXPECT_DOUBLE_EQ(CalcBodenwaermestrom(*m, 100), 10);
  EXPECT_DOUBLE_EQ(CalcBodenwaermestrom(*m, -100), -50);
  m->Veg_typ = 3;
  m->LAI = 4;
  EXPECT_NEAR(CalcBodenwaermestrom(*m, -100), -1.6 * std::exp(-2.0) * 100, 1e-6);
}

// Short grass, wind measured at 2 m.
class Grasland : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Veg_typ = 1;
    m->Veg_Hoehe = 0.5f;
    m->WG_Messhoehe = 2.0f;
    CalcBestand(*m);
  }
  // One hour of the climate year filled as the run preparation does it.
  void SetzeStunde(int h, float T, float rF, float Rn, float wind) {
    TKlimaStunde& k = m->Klima[h];
    k.T_Luft = T;
    k.Esat = static_cast<float>(CalcEsat(T));
    k.e = rF / 100 * k.Esat;
    k.Net_Boden = Rn;
    k.G = static_cast<float>(CalcBodenwaermestrom(*m, Rn));
    k.Wind = wind;
    k.ra = static_cast<float>(CalcRa(*m, wind));
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Grasland, WiderstandDesLogProfils) {
  // z0m = 0.504, z0h = 0.1008, d = 1.2145 m: ln(0.7855/0.504) ln(0.7855/0.1008) / (0.41^2 0.5)
  EXPECT_NEAR(CalcRa(*m, 0.5f), 10.8398, 1e-3);
  EXPECT_EQ(CalcRa(*m, 0), CalcRa(*m, 0.5f));  // calm counts as 0.5 m/s
  EXPECT_NEAR(CalcRa(*m, 3) * 3, CalcRa(*m, 1), 1e-9);
}

TEST_F(Grasland, VerdunstungEinerSommerstunde) {
  SetzeStunde(100, 20, 50, 400, 2);
  CalcVerdunstung(*m);
  // Hand evaluation (T 20 degC, rF 50 %, Rn 400, G 40 W/m2, u 2 m/s, ra 2.70996 s/m,
  // r_s 16.6667 s/m, lambda 681.360 Wh/kg).
  EXPECT_NEAR(m->Klima[100].p_Verd_W, 356.030, 0.005);
  EXPECT_NEAR(m->Klima[100].p_Verd_mm, 0.522529, 1e-5);
}

TEST_F(Grasland, GesaettigteLuftOhneOberflaechenwiderstandVerdunstetImGleichgewicht) {
  // D = 0 and r_s = 0 leave Delta / (Delta + gamma) (Rn - G) (Slatyer & McIlroy 1961).
  SetzeStunde(7, 15, 100, 300, 3);
  m->r_s = 0;
  CalcVerdunstung(*m);
  const TKlimaStunde& k = m->Klima[7];
  const double gamma = Luftdruck / ((1 - 0.000946 * 15) * 694.5) * 0.00163;
  const double delta = CalcDeltaEsat(15, k.Esat);
  EXPECT_NEAR(k.p_Verd_W, delta / (delta + gamma) * (300 - k.G), 1e-3);
}

TEST_F(Grasland, KeineVerdunstungBeiFrostOderNegativerBilanz) {
  SetzeStunde(1, -0.5f, 60, 300, 2);
  SetzeStunde(2, 12, 60, -20, 2);
  m->Klima[1].p_Verd_mm = m->Klima[2].p_Verd_W = 99;
  CalcVerdunstung(*m);
  EXPECT_EQ(m->Klima[1].p_Verd_W, 0);
  EXPECT_EQ(m->Klima[1].p_Verd_mm, 0);
  EXPECT_EQ(m->Klima[2].p_Verd_W, 0);
  EXPECT_EQ(m->Klima[2].p_Verd_mm, 0);
}

}  // namespace
}  // namespace terval
