#include "physics/Diffusion.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace terval {
namespace {

using Feld = std::array<double, MaxDiffusionsKnoten + 1>;

// ---- Tridiag ---------------------------------------------------------------------

TEST(Tridiag, DiagonalesSystem) {
  Feld a{}, b{}, c{}, r{}, u{};
  for (int j = 2; j <= 6; ++j) b[j] = j + 0.5, r[j] = 3.0 * j;
  ASSERT_TRUE(Tridiag(a.data(), b.data(), c.data(), r.data(), 2, 6, u.data()));
  for (int j = 2; j <= 6; ++j) EXPECT_DOUBLE_EQ(u[j], r[j] / b[j]) << j;
  EXPECT_EQ(u[7], 0);  // outside lo..hi nothing is written
}

TEST(Tridiag, VonHandGeloestesDreierSystem) {
  //  | 2 1 0 | |1|   | 4|
  //  | 1 3 1 | |2| = |10|
  //  | 0 1 2 | |3|   | 8|
  Feld a{}, b{}, c{}, r{}, u{};
  a[5] = c[7] = 99;  // a[lo] and c[hi] are not part of the system
  b[5] = 2, c[5] = 1, r[5] = 4;
  a[6] = 1, b[6] = 3, c[6] = 1, r[6] = 10;
  a[7] = 1, b[7] = 2, r[7] = 8;
  ASSERT_TRUE(Tridiag(a.data(), b.data(), c.data(), r.data(), 5, 7, u.data()));
  EXPECT_NEAR(u[5], 1, 1e-14);
  EXPECT_NEAR(u[6], 2, 1e-14);
  EXPECT_NEAR(u[7], 3, 1e-14);
}

TEST(Tridiag, NullPivotUndFalscheIndizesWerdenAbgewiesen) {
  Feld a{}, b{}, c{}, r{}, u{};
  u.fill(-5);
  r[0] = r[1] = 1;
  EXPECT_FALSE(Tridiag(a.data(), b.data(), c.data(), r.data(), 0, 1, u.data()));  // b[lo] = 0
  // | 1 1 ; 1 1 |: the second pivot is 1 - 1 * 1 = 0.
  b[0] = b[1] = c[0] = a[1] = 1;
  EXPECT_FALSE(Tridiag(a.data(), b.data(), c.data(), r.data(), 0, 1, u.data()));
  EXPECT_EQ(u[0], -5);
  EXPECT_EQ(u[1], -5);
  EXPECT_FALSE(Tridiag(a.data(), b.data(), c.data(), r.data(), 3, 2, u.data()));
  EXPECT_FALSE(
      Tridiag(a.data(), b.data(), c.data(), r.data(), 0, MaxDiffusionsKnoten + 1, u.data()));
}

// ---- ImplizitDiffusion ------------------------------------------------------------

TEST(ImplizitDiffusion, StationaeresLinearesProfilBleibtLinear) {
  // 1-D steady conduction between fixed values is linear.
  Feld D{}, alt{}, S{}, neu{};
  D.fill(0.7);
  for (int i = 0; i <= 10; ++i) alt[i] = 1 + 0.2 * i;
  ImplizitDiffusion(0.5, 0, 10, D.data(), alt.data(), S.data(), 5.0, false, false, 0, 0, false,
                    neu.data());
  for (int i = 0; i <= 10; ++i) EXPECT_NEAR(neu[i], alt[i], 1e-12) << i;
}

TEST(ImplizitDiffusion, SinusmodeKlingtMitDemRueckwaertsEulerFaktorAb) {
  // With u = 0 at both ends, u_i = sin(pi i / N) is an eigenvector of the discrete
  // Laplacian with eigenvalue -(2 - 2 cos(pi/N)) D/dz^2; one backward-Euler step
  // divides it by 1 + dt (2 - 2 cos(pi/N)) D/dz^2.
  const int N = 10;
  const double dt = 0.3;
  Feld D{}, alt{}, S{}, neu{};
  D.fill(0.25);  // D/dz^2 = 1 at dz = 0.5, exact in single precision
  for (int i = 0; i < N; ++i) alt[i] = std::sin(M_PI * i / N);
  ImplizitDiffusion(0.5, 0, N, D.data(), alt.data(), S.data(), dt, false, false, 0, 0, false,
                    neu.data());
  const double faktor = 1 / (1 + dt * (2 - 2 * std::cos(M_PI / N)));
  for (int i = 1; i < N; ++i) EXPECT_NEAR(neu[i], alt[i] * faktor, 1e-14) << i;
}

TEST(ImplizitDiffusion, OhneRandflussBleibtDieSummeErhalten) {
  // Zero-gradient ends: the interior gains exactly dt * sum(S), however D varies.
  Feld D{}, alt{}, S{}, neu{};
  for (int i = 0; i <= 12; ++i) D[i] = 0.1 + 0.05 * (i % 4), alt[i] = 0.3 + 0.01 * ((i * 7) % 5);
  S[3] = 0.02;
  S[9] = -0.005;
  const double dt = 2.0;
  ImplizitDiffusion(0.5, 0, 12, D.data(), alt.data(), S.data(), dt, true, true, 0, 0, false,
                    neu.data());
  double vorher = 0, nachher = 0;
  for (int i = 1; i <= 11; ++i) vorher += alt[i], nachher += neu[i];
  EXPECT_NEAR(nachher - vorher, dt * (0.02 - 0.005), 1e-14);
  EXPECT_NEAR(neu[0], neu[1], 1e-15);
}

TEST(ImplizitDiffusion, RandbedingungenMitRateUndGradient) {
  Feld D{}, alt{}, S{}, neu{};
  D.fill(0.2);
  alt.fill(1.0);
  ImplizitDiffusion(0.5, 0, 8, D.data(), alt.data(), S.data(), 2.0, false, true, 0.25, 0.4, false,
                    neu.data());
  EXPECT_DOUBLE_EQ(neu[0], 1.0 + 0.25 * 2.0);        // value moving at rate q_oben
  EXPECT_NEAR((neu[8] - neu[7]) / 0.5, 0.4, 1e-14);  // prescribed gradient at the bottom
  ImplizitDiffusion(0.5, 0, 8, D.data(), alt.data(), S.data(), 2.0, true, false, -0.3, 0, false,
                    neu.data());
  EXPECT_NEAR((neu[1] - neu[0]) / 0.5, -0.3, 1e-14);
}

TEST(ImplizitDiffusion, MinusEinsSperrtDieFlaechen) {
  // Node 5 lies outside the medium: the two halves do not exchange anything.
  Feld D{}, alt{}, S{}, neu{};
  D.fill(0.5);
  D[5] = -1;
  for (int i = 0; i <= 10; ++i) alt[i] = i < 5 ? 2.0 : 1.0;
  alt[0] = 3.0;  // the left half is heated from its end
  ImplizitDiffusion(0.5, 0, 10, D.data(), alt.data(), S.data(), 1.0, false, false, 0, 0, false,
                    neu.data());
  for (int i = 5; i <= 10; ++i) EXPECT_DOUBLE_EQ(neu[i], 1.0) << i;
  EXPECT_GT(neu[1], 2.0);
}

TEST(ImplizitDiffusion, GroessteAenderungUndSingulaeresSystem) {
  Feld D{}, alt{}, S{}, neu{};
  S[4] = 0.3;  // D = 0: the source alone moves node 4
  EXPECT_DOUBLE_EQ(ImplizitDiffusion(0.5, 0, 8, D.data(), alt.data(), S.data(), 1.0, true, false, 0,
                                     0, true, neu.data()),
                   0.3 / (1e-8 + 1.0));
  // A negative step with W + E = 1 makes the pivot W + E + 1/dt vanish: values stay.
  D.fill(0.125);
  alt.fill(0.7);
  ImplizitDiffusion(0.5, 0, 4, D.data(), alt.data(), S.data(), -1.0, false, false, 0, 0, false,
                    neu.data());
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(neu[i], 0.7) << i;
}

}  // namespace
}  // namespace terval
