// pot_a_b takes a double-precision route where it can prove the float result;
// it must always give what exp(b ln a) in extended precision rounds to.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include "physics/maths.h"

namespace terval {
namespace {

float Erweitert(float a, float b) {
  const long double y = static_cast<long double>(b) * std::log(static_cast<long double>(a));
  return static_cast<float>(std::exp(y));
}

uint32_t Bits(float x) { return std::bit_cast<uint32_t>(x); }

// a^2 for a = 1 + j 2^-12 is 1 + j 2^-11 + j^2 2^-24: for odd j exactly half
// way between two floats. The double route cannot decide those.
TEST(PotenzGenau, HalfwayCasesTakeTheExtendedRoute) {
  for (int j = 1; j < 4096; ++j) {
    const float a = 1.0f + static_cast<float>(j) * 0x1p-12f;
    ASSERT_EQ(Bits(pot_a_b(a, 2.0f)), Bits(Erweitert(a, 2.0f))) << j;
  }
}

// The exponents of the soil hydraulics (2b + 3 and b + 3 for b of 4 to 12),
// the entrance factor and the radiation formulas, and random ones, over
// bases from 1e-6 to 1e3.
TEST(PotenzGenau, SameFloatAsTheExtendedFormula) {
  std::mt19937 zufall(20240605);
  std::uniform_real_distribution<float> logBasis(-6.0f, 3.0f), zufallsExponent(-30.0f, 30.0f);
  std::uniform_real_distribution<float> b(4.0f, 12.0f);
  const float feste[] = {0.67f, -4.0f, -1.3f, 0.7f, 0.5f, 3.0f};
  long abweichungen = 0;
  for (int i = 0; i < 1'500'000; ++i) {
    const float a = std::pow(10.0f, logBasis(zufall));
    const float bb = b(zufall);
    const float exponenten[] = {2 * bb + 3, bb + 3, feste[i % 6], zufallsExponent(zufall)};
    for (float e : exponenten) abweichungen += Bits(pot_a_b(a, e)) != Bits(Erweitert(a, e));
  }
  EXPECT_EQ(abweichungen, 0);
}

// Outside the normal float range the extended formula decides alone.
TEST(PotenzGenau, UnderflowOverflowAndSubnormalResults) {
  EXPECT_EQ(pot_a_b(1e-30f, 2.0f), Erweitert(1e-30f, 2.0f));   // 1e-60: 0
  EXPECT_EQ(pot_a_b(1e-21f, 2.0f), Erweitert(1e-21f, 2.0f));   // 1e-42: subnormal
  EXPECT_EQ(pot_a_b(1e20f, 2.0f), Erweitert(1e20f, 2.0f));     // 1e40: inf
  EXPECT_EQ(Bits(pot_a_b(2.0f, 127.9f)), Bits(Erweitert(2.0f, 127.9f)));
  EXPECT_TRUE(std::isnan(pot_a_b(std::nanf(""), 2.0f)));
  EXPECT_EQ(pot_a_b(std::numeric_limits<float>::infinity(), -1.0f), 0.0f);
}

}  // namespace
}  // namespace terval
