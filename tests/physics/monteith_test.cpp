#include "physics/monteith.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/Vardef.h"

namespace terval {
namespace {

TEST(Dampfdruck, SaettigungNachTetens) {
  EXPECT_DOUBLE_EQ(CalcEsat(0), 0.6108);
  EXPECT_NEAR(CalcEsat(20), 2.338, 5e-4);
  EXPECT_NEAR(CalcEsat(-10), 0.2857, 2e-4);
}

TEST(Dampfdruck, SteigungFolgtDerAbleitungDerSaettigungskurve) {
  // The slope formula is a separate fit; it must agree with the derivative of
  // the saturation curve itself to a fraction of a percent.
  for (double T : {0.0, 10.0, 20.0, 30.0}) {
    const double numerisch = (CalcEsat(T + 0.01) - CalcEsat(T - 0.01)) / 0.02;
    EXPECT_NEAR(CalcDeltaEsat(T, CalcEsat(T)) / numerisch, 1.0, 5e-3) << T;
  }
}

TEST(Dampfdruck, JahresdurchgangSetztEsatUndE) {
  auto m = NeuesModell();
  m->Klima[1].T_Luft = 20;
  m->Klima[1].rFeuchte = 100;
  m->Klima[2].T_Luft = 20;
  m->Klima[2].rFeuchte = 40;
  m->Klima[Stunden].T_Luft = 0;
  m->Klima[Stunden].rFeuchte = 50;
  BerechneDampfdruck(*m);
  EXPECT_FLOAT_EQ(m->Klima[1].Esat, static_cast<float>(CalcEsat(20)));
  EXPECT_EQ(m->Klima[1].e, m->Klima[1].Esat);
  EXPECT_FLOAT_EQ(m->Klima[2].e, 0.4f * m->Klima[2].Esat);
  EXPECT_FLOAT_EQ(m->Klima[Stunden].e, 0.3054f);
}

TEST(Bestand, KurzesGrasTyp1) {
  auto m = NeuesModell();
  m->Veg_typ = 1;
  m->Veg_Hoehe = 0.5f;
  CalcBestand(*m);
  EXPECT_EQ(m->LAI, 12.0f);
  EXPECT_NEAR(m->r_s, 16.67f, 0.01f);
}

TEST(Bestand, DichterBewuchsTyp3NutztDieHalbeBlattflaeche) {
  auto m = NeuesModell();
  m->Veg_typ = 3;
  m->Veg_Hoehe = 0.5f;
  CalcBestand(*m);
  EXPECT_NEAR(m->LAI, 4.46f, 0.005f);
  EXPECT_NEAR(m->r_s, 89.7f, 0.05f);
  m->Veg_typ = 2;
  CalcBestand(*m);
  EXPECT_NEAR(m->r_s, 44.84f, 0.01f);
}

TEST(Bestand, GueltigkeitFuerDieLaufpruefung) {
  auto m = NeuesModell();
  m->Veg_typ = 1;
  m->Veg_Hoehe = 0.5f;
  m->WG_Messhoehe = 2.0f;  // above d = 1.21 m
  EXPECT_TRUE(BestandGueltig(*m));
  m->WG_Messhoehe = 1.0f;  // below the displacement height: ln of a negative number
  EXPECT_FALSE(BestandGueltig(*m));
  m->WG_Messhoehe = 10.0f;
  m->Veg_typ = 2;
  m->Veg_Hoehe = 0.02f;  // 1.5 ln 0.02 + 5.5 < 0
  EXPECT_FALSE(BestandGueltig(*m));
  m->Veg_Hoehe = 0;
  EXPECT_FALSE(BestandGueltig(*m));
  m->Veg_Hoehe = 1.0f;
  EXPECT_TRUE(BestandGueltig(*m));
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
  EXPECT_NEAR(CalcBodenwaermestrom(*m, 100), 0.4 * std::exp(-2.0) * 100, 1e-6);
  EXPECT_NEAR(CalcBodenwaermestrom(*m, -100), -1.6 * std::exp(-2.0) * 100, 1e-6);
}

class Aerodynamik : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Veg_typ = 1;
    m->Veg_Hoehe = 0.5f;
    m->WG_Messhoehe = 2.0f;
    CalcBestand(*m);
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Aerodynamik, WiderstandDesLogProfils) {
  // z0m = 0.504, z0h = 0.1008, d = 1.2145 m: ln(0.7855/0.504) ln(0.7855/0.1008) / (0.41^2 0.5)
  EXPECT_NEAR(CalcRa(*m, 0.5f), 10.8398, 1e-3);
}

TEST_F(Aerodynamik, SchwacherWindZaehltAlsHalberMeterProSekunde) {
  EXPECT_EQ(CalcRa(*m, 0), CalcRa(*m, 0.5f));
  EXPECT_EQ(CalcRa(*m, 0.3f), CalcRa(*m, 0.5f));
  EXPECT_EQ(CalcRa(*m, -2), CalcRa(*m, 0.5f));
}

TEST_F(Aerodynamik, WiderstandUmgekehrtProportionalZumWind) {
  EXPECT_NEAR(CalcRa(*m, 3) * 3, CalcRa(*m, 1) * 1, 1e-9);
  EXPECT_NEAR(CalcRa(*m, 3), 1.80664, 1e-4);
}

TEST_F(Aerodynamik, JahresdurchgangFuerGUndRa) {
  m->Klima[5].Net_Boden = 200;
  m->Klima[5].Wind = 0;
  BerechneBodenwaermestromUndRa(*m);
  EXPECT_FLOAT_EQ(m->Klima[5].G, 20);
  EXPECT_FLOAT_EQ(m->Klima[5].ra, static_cast<float>(CalcRa(*m, 0.5f)));
}

// One hour of the climate year filled as the run preparation does it.
void SetzeStunde(Modell& m, int h, float T, float rF, float Rn, float wind) {
  TKlimaStunde& k = m.Klima[h];
  k.T_Luft = T;
  k.Esat = static_cast<float>(CalcEsat(T));
  k.e = rF / 100 * k.Esat;
  k.Net_Boden = Rn;
  k.G = static_cast<float>(CalcBodenwaermestrom(m, Rn));
  k.Wind = wind;
  k.ra = static_cast<float>(CalcRa(m, wind));
}

TEST_F(Aerodynamik, VerdunstungEinerSommerstunde) {
  SetzeStunde(*m, 100, 20, 50, 400, 2);
  CalcVerdunstung(*m);
  // Hand evaluation of the hour (T 20 degC, rF 50 %, Rn 400, G 40 W/m2, u 2 m/s,
  // ra 2.70996 s/m, r_s 16.6667 s/m, lambda 681.360 Wh/kg).
  EXPECT_NEAR(m->Klima[100].p_Verd_W, 356.030, 0.005);
  EXPECT_NEAR(m->Klima[100].p_Verd_mm, 0.522529, 1e-5);
  EXPECT_NEAR(m->Klima[100].p_Verd_mm * (1 - 0.000946 * 20) * 694.5, m->Klima[100].p_Verd_W, 1e-3);
}

TEST_F(Aerodynamik, GesaettigteLuftOhneOberflaechenwiderstandVerdunstetImGleichgewicht) {
  // D = 0 and r_s = 0 leave the equilibrium evaporation Delta / (Delta + gamma) (Rn - G)
  // (Slatyer & McIlroy 1961).
  SetzeStunde(*m, 7, 15, 100, 300, 3);
  m->r_s = 0;
  CalcVerdunstung(*m);
  const TKlimaStunde& k = m->Klima[7];
  const double lambda = (1 - 0.000946 * 15) * 694.5;
  const double gamma = Luftdruck / lambda * 0.00163;
  const double delta = CalcDeltaEsat(15, k.Esat);
  EXPECT_NEAR(k.p_Verd_W, delta / (delta + gamma) * (300 - k.G), 1e-3);
}

TEST_F(Aerodynamik, KeineVerdunstungBeiFrostOderNegativerBilanz) {
  SetzeStunde(*m, 1, -0.5f, 60, 300, 2);
  SetzeStunde(*m, 2, 12, 60, -20, 2);
  SetzeStunde(*m, 3, 0, 60, 0, 2);  // neither frost nor negative: computed
  m->Klima[1].p_Verd_W = m->Klima[2].p_Verd_W = 99;
  m->Klima[1].p_Verd_mm = m->Klima[2].p_Verd_mm = 99;
  CalcVerdunstung(*m);
  EXPECT_EQ(m->Klima[1].p_Verd_W, 0);
  EXPECT_EQ(m->Klima[1].p_Verd_mm, 0);
  EXPECT_EQ(m->Klima[2].p_Verd_W, 0);
  EXPECT_EQ(m->Klima[2].p_Verd_mm, 0);
  EXPECT_GT(m->Klima[3].p_Verd_W, 0);  // the vapour deficit alone still drives some
}

}  // namespace
}  // namespace terval
