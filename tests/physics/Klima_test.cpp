// The climate year's physics: sun position, clear-sky and long-wave
// radiation, vapour pressure and Penman-Monteith evaporation (worked values
// evaluated by hand in double precision from the formulas); the numeric
// helpers (pot_a_b, the arc tangent on the axes) and the generator's running clock.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "model/Vardef.h"
#include "physics/UgetRadiation.h"
#include "physics/maths.h"
#include "physics/monteith.h"
#include "physics/routinen.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

TEST(Sonnenstand, WorkedPositionsMorningAndAfternoon) {
  EXPECT_EQ(std::tuple(Jahrestag(1, 3, 2000), Jahrestag(1, 3, 2001), Jahrestag(31, 12, 2001)), std::tuple(61, 60, 365));
  auto m = NeuesModell();
  m->Breitengrad = 51.26f, m->Laengengrad = 7.15f, m->Bezugsmeridian = 15.0f;  // the clock runs on CET
  const struct {
    const char *datum, *zeit;
    double deklination, hoehe, azimut;
  } faelle[] = {{"15.04.2001", "09:30", 9.67906, 34.38333, 121.82728},
                {"03.11.2004", "15:00", -15.35944, 14.30664, 221.00316}};
  for (const auto& f : faelle) {
    Sonnenstand(*m, f.datum, f.zeit);
    for (auto [wert, soll] :
         {std::pair{m->Deklination, f.deklination}, {m->SonnenHoehe, f.hoehe}, {m->SonnenAzimut, f.azimut}})
      EXPECT_NEAR(wert, soll, 2e-3) << f.datum;
  }
  Sonnenstand(*m, "xx.yy.zzzz", "ab:cd");  // unreadable texts count as 0
  EXPECT_FALSE(std::isnan(m->SonnenHoehe));
  m->Breitengrad = 90;  // the azimuth has no direction at the pole
  Sonnenstand(*m, "21.06.2001", "12:00");
  EXPECT_FALSE(std::isnan(m->SonnenAzimut));
}

TEST(Strahlung, WorkedClearSkyHighAndLowSun) {
  EXPECT_TRUE(std::abs(Luftmasse(5) - 10.4) < 0.05 && std::abs(Luftmasse(30) - 2) < 1e-6);  // not 1/sin 5 = 11.5
  auto m = NeuesModell();
  const Sonnenstrahlen hoch = Sonnenstrahlung(*m, 35, 10, 0.07f, 12);
  EXPECT_TRUE(std::abs(hoch.direkt - 885.187) < 0.05 && std::abs(hoch.diffus - 93.653) < 0.01);
  const Sonnenstrahlen tief = Sonnenstrahlung(*m, 5, -20, 0.1f, 8);
  EXPECT_TRUE(std::abs(tief.direkt - 4.7133) < 0.01 && std::abs(tief.diffus - 0.28335) < 0.001);
  // No sun; vapour took it all.
  EXPECT_TRUE(Sonnenstrahlung(*m, 0, 10, 0.07f, 10).diffus == 0 && Sonnenstrahlung(*m, 3, 0, 0.1f, 60).diffus == 0);
  // Clouds take the direct beam only.
  m->Bedeckung = 8;
  const Sonnenstrahlen bedeckt = Sonnenstrahlung(*m, 35, 10, 0.07f, 12);
  EXPECT_TRUE(bedeckt.direkt == 0 && bedeckt.diffus == hoch.diffus);
  m->Bedeckung = 2;
  EXPECT_FLOAT_EQ(Sonnenstrahlung(*m, 35, 10, 0.07f, 12).direkt, 0.75f * hoch.direkt);
}

TEST(Strahlung, SkyAndNetRadiationOfTheYear) {
  EXPECT_NEAR(Atmosphaerenstrahlung(0), 233.19, 0.05);  // 5.67e-8 * 273.13^4 * 0.739
  // sigma 293.13^4 = 418.624
  EXPECT_NEAR(Atmosphaerenstrahlung(20), 418.624 * (1 - 0.261 * std::exp(-7.77e-4 * 20.13 * 20.13)), 0.01);
  auto m = NeuesModell();
  m->Klima[1].T_Luft = m->Klima[Stunden].T_Luft = 10, m->Klima[1].Glob_Str = 0, m->Klima[Stunden].Glob_Str = 500;
  BerechneLangwelligeStrahlung(*m), BerechneNettostrahlung(*m);
  EXPECT_EQ(m->Klima[1].Lw_Str, Atmosphaerenstrahlung(10));
  // Clear night: 0.97 sigma T^4 out, the sky in; albedo 0.3 by day.
  EXPECT_NEAR(m->Klima[1].Net_Boden, -76.88, 0.02);
  EXPECT_NEAR(m->Klima[Stunden].Net_Boden - m->Klima[1].Net_Boden, 350, 1e-3);
}

TEST(Dampfdruck, SaturationSlopeAndActualPressure) {
  EXPECT_TRUE(CalcEsat(0) == 0.6108 && std::abs(CalcEsat(20) - 2.338) < 5e-4);
  // The slope is a fit of its own; it must match the curve's derivative.
  for (double T : {0.0, 15.0, 30.0})
    EXPECT_NEAR(CalcDeltaEsat(T, CalcEsat(T)) / ((CalcEsat(T + 0.01) - CalcEsat(T - 0.01)) / 0.02), 1.0,
                5e-3);
  auto m = NeuesModell();
  for (int h : {1, Stunden}) m->Klima[h].T_Luft = 0, m->Klima[h].rFeuchte = 50;
  BerechneDampfdruck(*m);
  for (int h : {1, Stunden}) EXPECT_FLOAT_EQ(m->Klima[h].e, 0.3054f) << h;  // the first and the last hour
}

TEST(Bestand, LeafAreaResistanceValidityAndSoilHeat) {
  auto m = NeuesModell();
  m->Veg_Hoehe = 0.5f, m->Veg_typ = 1;
  CalcBestand(*m);
  EXPECT_TRUE(m->LAI == 12.0f && std::abs(m->r_s - 16.67f) < 0.01f);
  EXPECT_EQ(std::pair(CalcBodenwaermestrom(*m, 100), CalcBodenwaermestrom(*m, -100)), std::pair(10.0, -50.0));
  m->WG_Messhoehe = 1.3f;  // just above d = 1.2145 m, then exactly d
  EXPECT_TRUE(BestandGueltig(*m));
  m->WG_Messhoehe = 1.2145f;
  EXPECT_FALSE(BestandGueltig(*m));
  m->Veg_typ = 3;  // only half the leaves are active
  CalcBestand(*m);
  EXPECT_TRUE(std::abs(m->LAI - 4.46f) < 0.005f && std::abs(m->r_s - 89.7f) < 0.05f);
  m->LAI = 4;  // a dense stand shades the ground
  EXPECT_NEAR(CalcBodenwaermestrom(*m, -100), -1.6 * std::exp(-2.0) * 100, 1e-6);
  EXPECT_NEAR(CalcBodenwaermestrom(*m, 100), 0.4 * std::exp(-2.0) * 100, 1e-6);
  m->Veg_typ = 2, m->Veg_Hoehe = 0.02f, m->WG_Messhoehe = 10.0f;  // 1.5 ln 0.02 + 5.5 < 0
  EXPECT_TRUE(!BestandGueltig(*m) && m->LAI == 4.0f);  // only looked, did not set
}

// Short grass, wind measured at 2 m.
class Grasland : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Veg_typ = 1, m->Veg_Hoehe = 0.5f, m->WG_Messhoehe = 2.0f;
    CalcBestand(*m);
  }
  // One hour filled as the run's preparation fills it.
  void Stunde(int h, float T, float rF, float Rn, float wind) {
    TKlimaStunde& k = m->Klima[h];
    k.T_Luft = T, k.Esat = static_cast<float>(CalcEsat(T)), k.e = rF / 100 * k.Esat, k.Net_Boden = Rn;
    k.G = static_cast<float>(CalcBodenwaermestrom(*m, Rn)), k.Wind = wind, k.ra = static_cast<float>(CalcRa(*m, wind));
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Grasland, WorkedEvaporationOfASummerHour) {
  // z0m 0.504, z0h 0.1008, d 1.2145 m: ln(0.7855/0.504) ln(0.7855/0.1008) / (0.41^2 0.5)
  EXPECT_NEAR(CalcRa(*m, 0.5f), 10.8398, 1e-3);
  EXPECT_TRUE(CalcRa(*m, 0) == CalcRa(*m, 0.5f) && std::abs(CalcRa(*m, 3) * 3 - CalcRa(*m, 1)) < 1e-9);  // calm: 0.5
  // T 20 degC, rF 50 %, Rn 400, G 40 W/m2, u 2 m/s: ra 2.70996, r_s 16.6667 s/m, lambda 681.360 Wh/kg.
  Stunde(100, 20, 50, 400, 2);
  // Saturated air without surface resistance evaporates at equilibrium,
  // Delta / (Delta + gamma) (Rn - G) (Slatyer & McIlroy 1961).
  Stunde(7, 15, 100, 300, 3);
  Stunde(1, -0.5f, 60, 300, 2);  // frost
  Stunde(2, 12, 60, -20, 2);     // negative balance
  m->Klima[1].p_Verd_mm = m->Klima[2].p_Verd_W = 99;
  CalcVerdunstung(*m);
  const TKlimaStunde& sommer = m->Klima[100];
  EXPECT_TRUE(std::abs(sommer.p_Verd_W - 356.030) < 0.005 && std::abs(sommer.p_Verd_mm - 0.522529) < 1e-5);
  for (int h : {1, 2}) EXPECT_EQ(m->Klima[h].p_Verd_W + m->Klima[h].p_Verd_mm, 0) << h;
  m->r_s = 0;
  CalcVerdunstung(*m);
  const TKlimaStunde& k = m->Klima[7];
  const double gamma = Luftdruck / ((1 - 0.000946 * 15) * 694.5) * 0.00163;
  const double delta = CalcDeltaEsat(15, k.Esat);
  EXPECT_NEAR(k.p_Verd_W, delta / (delta + gamma) * (300 - k.G), 1e-3);
}

// ---- Numeric helpers and the climate generator's running clock ----------------------

float Erweitert(float a, float b) {
  return static_cast<float>(std::exp(static_cast<long double>(b) * std::log(static_cast<long double>(a))));
}
uint32_t Bits(float x) { return std::bit_cast<uint32_t>(x); }

// Regression guard of the fast double route of pot_a_b: it must always give
// what exp(b ln a) in extended precision rounds to. a^2 for a = 1 + j 2^-12
// with odd j lies exactly half way between two floats.
TEST(Potenz, SameFloatAsTheExtendedFormula) {
  for (int j = 1; j < 4096; ++j) {
    const float a = 1.0f + static_cast<float>(j) * 0x1p-12f;
    ASSERT_EQ(Bits(pot_a_b(a, 2.0f)), Bits(Erweitert(a, 2.0f))) << j;
  }
  // The soil exponents (2b + 3, b + 3), the entrance factor, radiation powers, random ones.
  std::mt19937 zufall(20240605);
  std::uniform_real_distribution<float> logBasis(-6.0f, 3.0f), exponent(-30.0f, 30.0f), b(4.0f, 12.0f);
  const float feste[] = {0.67f, -4.0f, -1.3f, 0.7f, 0.5f, 3.0f};
  long abweichungen = 0;
  for (int i = 0; i < 500'000; ++i) {
    const float a = std::pow(10.0f, logBasis(zufall)), bb = b(zufall);
    for (float e : {2 * bb + 3, bb + 3, feste[i % 6], exponent(zufall)})
      abweichungen += Bits(pot_a_b(a, e)) != Bits(Erweitert(a, e));
  }
  EXPECT_EQ(abweichungen, 0);
  // Outside the normal float range: 0, subnormal, inf; ln 0 is never taken.
  for (float a : {1e-30f, 1e-21f, 1e20f}) EXPECT_EQ(pot_a_b(a, 2.0f), Erweitert(a, 2.0f)) << a;
  EXPECT_EQ(std::pair(pot_a_b(2, 10), pot_a_b(0, -1)), std::pair(1024.0f, 0.0f));
}

TEST(Potenz, NegativeBaseReportsAndGivesZero) {
  test::Aufzeichner ui;
  SetzeMathsOberflaeche(&ui);
  const float ergebnis = pot_a_b(-1, 2);
  SetzeMathsOberflaeche(nullptr);
  EXPECT_EQ(std::pair(ergebnis, pot_a_b(-3, 0.5f)), std::pair(0.0f, 0.0f));  // not 1; without a sink silent
  EXPECT_EQ(ui.Texte("Fehler"), std::vector<std::string>{"Terval maths 1.0\rError in module: pot_a_b \rInvalid "
                                                         "call argument a<0 !\rExecution can proceed, but will "
                                                         "contain errors"});
}

// The arc tangent's rule on the axes, which the solar routines rely on: x = 0
// gives 90 times the sign of y, (0, -1) gives 0, so the straight angle is arccos's own case.
TEST(Winkel, ArcTangentOnTheAxes) {
  EXPECT_EQ(std::tuple(arctan_y_x(-5, 0), arctan_y_x(3, 0), arctan_y_x(0, -1), arccos_deg(-1.2f)),
            std::tuple(-90.0f, 90.0f, 0.0f, 180.0f));
}

TEST(Uhr, TheGeneratorsYearRollsWithoutLeapDay) {
  auto m = NeuesModell();
  // The generator's walk: 8760 hours from 01.01.2000 00:00 (no seconds in the start text).
  m->AktDatum = "01.01.2000", m->AktZeit = "00:00";
  const int monatstage[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int monat = 1; monat <= 12; ++monat)
    for (int tag = 1; tag <= monatstage[monat - 1]; ++tag)
      for (int stunde = 0; stunde < 24; ++stunde) {
        char text[32];
        std::snprintf(text, sizeof text, "%02d.%02d.2000 %02d:00%s", tag, monat, stunde,
                      monat + tag + stunde > 2 ? ":00" : "");
        ASSERT_EQ(m->AktDatum + " " + m->AktZeit, text);
        ZeitPlus(*m, 3600);
      }
  EXPECT_EQ(m->AktDatum + " " + m->AktZeit, "01.01.2000 00:00:00");  // the year text stays
}

}  // namespace
}  // namespace terval
