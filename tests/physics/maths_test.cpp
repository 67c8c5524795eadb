#include "physics/maths.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/Aufzeichner.h"

namespace terval {
namespace {

TEST(Potenz, WieExpVonBMalLnA) {
  EXPECT_EQ(pot_a_b(2, 10), 1024.0f);
  EXPECT_FLOAT_EQ(pot_a_b(0.5f, -4), 16.0f);
  EXPECT_EQ(pot_a_b(0, 2), 0.0f);  // ln 0 is never taken
  EXPECT_EQ(pot_a_b(0, -1), 0.0f);
}

TEST(Potenz, NegativeBasisMeldetDenFehlerUndGibtNull) {
  test::Aufzeichner ui;
  SetzeMathsOberflaeche(&ui);
  const float ergebnis = pot_a_b(-1, 2);
  SetzeMathsOberflaeche(nullptr);
  EXPECT_EQ(ergebnis, 0.0f);  // not 1
  ASSERT_EQ(ui.nachrichten.size(), 1u);
  EXPECT_EQ(ui.nachrichten[0].art, "Fehler");
  EXPECT_EQ(ui.nachrichten[0].text,
            "Terval maths 1.0\r"
            "Error in module: pot_a_b \r"
            "Invalid call argument a<0 !\r"
            "Execution can proceed, but will contain errors");
  EXPECT_EQ(pot_a_b(-3, 0.5f), 0.0f);  // without a sink: silent
}

TEST(Winkel, ArcTangensNachQuadranten) {
  EXPECT_FLOAT_EQ(arctan_y_x(1, 1), 45);
  EXPECT_FLOAT_EQ(arctan_y_x(1, -1), 135);
  EXPECT_FLOAT_EQ(arctan_y_x(-1, -1), -135);
  EXPECT_EQ(arctan_y_x(0, -1), 0);  // the rule's quirk: not 180
  EXPECT_EQ(arctan_y_x(-5, 0), -90);
  EXPECT_EQ(arctan_y_x(0, 0), 0);
  EXPECT_EQ(sign_x(-0.0f), 0);
}

TEST(Winkel, ArcCosUndArcSinMitBegrenztemArgument) {
  EXPECT_EQ(arccos_deg(-1), 180);
  EXPECT_EQ(arccos_deg(1), 0);
  EXPECT_FLOAT_EQ(arccos_deg(0.5f), 60);
  EXPECT_FLOAT_EQ(arccos_deg(-0.5f), 120);
  EXPECT_EQ(arcsin_deg(-1), -90);
  EXPECT_FLOAT_EQ(arcsin_deg(0.5f), 30);
  // Rounding in the solar azimuth can push a cosine a hair past 1.
  EXPECT_EQ(arccos_deg(1.0000001f), 0);
  EXPECT_EQ(arccos_deg(-1.2f), 180);
  EXPECT_EQ(arcsin_deg(1.5f), 90);
}

TEST(Winkel, SinusUndKosinusInGrad) {
  EXPECT_FLOAT_EQ(sin_deg(30), 0.5f);
  EXPECT_FLOAT_EQ(cos_deg(60), 0.5f);
  EXPECT_EQ(sin_deg(90), 1.0f);
  EXPECT_NEAR(cos_deg(90), 0.0f, 1e-7f);
  EXPECT_FLOAT_EQ(sin_deg(-270), 1.0f);
}

TEST(Hilfen, MinimumGibtBeiGleichheitDasZweiteArgument) {
  EXPECT_EQ(min_a_b(3, 4), 3);
  EXPECT_EQ(min_a_b(4, 3), 3);
  // Equal values are told apart by the sign of zero.
  EXPECT_TRUE(std::signbit(min_a_b(0.0f, -0.0f)));
  EXPECT_FALSE(std::signbit(min_a_b(-0.0f, 0.0f)));
}

TEST(Hilfen, ZehnerlogarithmusMitMarkeFuerNichtPositives) {
  EXPECT_EQ(log_10(100), 2.0f);
  EXPECT_FLOAT_EQ(log_10(20), 1.30103f);
  EXPECT_EQ(log_10(0), 1e37f);
  EXPECT_EQ(log_10(-5), 1e37f);
  EXPECT_EQ(log_10(NAN), 1e37f);
}

}  // namespace
}  // namespace terval
