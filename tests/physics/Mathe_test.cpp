// Numeric helpers (pot_a_b, degree trigonometry) and the running clock of
// the climate generator.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "model/Vardef.h"
#include "physics/maths.h"
#include "physics/routinen.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

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

TEST(Winkel, QuadrantsClampedArgumentsAndQuirks) {
  EXPECT_EQ(std::tuple(arctan_y_x(1, 1), arctan_y_x(1, -1), arctan_y_x(-1, -1)), std::tuple(45.0f, 135.0f, -135.0f));
  // The rule's quirks: (0, -1) gives 0, not 180; x = 0 gives 90 times the sign of y.
  EXPECT_EQ(std::tuple(arctan_y_x(0, -1), arctan_y_x(-5, 0), arctan_y_x(0, 0)), std::tuple(0.0f, -90.0f, 0.0f));
  EXPECT_EQ(std::tuple(arccos_deg(-1), arcsin_deg(-1), arcsin_deg(0.5f)), std::tuple(180.0f, -90.0f, 30.0f));
  // Rounding in the solar azimuth can push a cosine a hair past 1.
  EXPECT_EQ(std::tuple(arccos_deg(1.0000001f), arccos_deg(-1.2f), arcsin_deg(1.5f)), std::tuple(0.0f, 180.0f, 90.0f));
  EXPECT_EQ(std::pair(sin_deg(-270), cos_deg(60)), std::pair(1.0f, 0.5f));
  // min_a_b gives the second argument on equality, seen in the sign of zero.
  EXPECT_TRUE(min_a_b(3, 4) == 3 && std::signbit(min_a_b(0.0f, -0.0f)) && !std::signbit(min_a_b(-0.0f, 0.0f)));
  EXPECT_FLOAT_EQ(log_10(20), 1.30103f);
  for (float x : {0.0f, -5.0f, NAN}) EXPECT_EQ(log_10(x), 1e37f) << x;
}

TEST(Uhr, TimeCarriesAndDatesRollWithoutLeapDay) {
  auto m = NeuesModell();
  m->AktZeit = "10:59:30";
  ZeitPlus(*m, 45);
  EXPECT_EQ(m->AktZeit, "11:00:15");
  m->AktZeit = "ab:cd:ef";  // broken fields count as 0
  ZeitPlus(*m, 61);
  EXPECT_EQ(m->AktZeit, "00:01:01");
  for (auto [vorher, nachher] : {std::pair{"28.02.2000", "01.03.2000"}, {"30.04.2001", "01.05.2001"},
                                 {"09.03.2001", "10.03.2001"}, {"05.13.2000", "01.01.2000"}}) {
    m->AktDatum = vorher;
    NaechsterTag(*m);
    EXPECT_EQ(m->AktDatum, nachher) << vorher;
  }
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
