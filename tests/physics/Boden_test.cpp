// Soil: the SOILS.DAT reader, the thermal properties of moist soil, the
// moisture column and its implicit diffusion solver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "model/Vardef.h"
#include "physics/Bodenfeuchte.h"
#include "physics/Diffusion.h"
#include "physics/getsoildata.h"
#include "physics/maths.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

// theta_s 0.4, psi_s -0.2 m, b 5, Ks 5e-6 m/s, solids 2 MJ/(m3 K), reference 0.3.
TBodenDaten Testboden() {
  TBodenDaten b;
  b.ThetaSat = 0.4, b.ThetaRef = 0.3, b.PsiSat = -0.2, b.KSat = 5e-6, b.CBoden = 2.0e6, b.B_Exponent = 5;
  return b;
}

std::unique_ptr<Modell> Bodenmodell(double theta) {
  auto m = NeuesModell();
  m->Boeden[1] = Testboden(), m->AnzBoeden = m->Bodenart = 1, m->FeuchteZeitschritt = 3600, m->RohrZeile = 12;
  m->Theta.fill(theta);
  return m;
}

std::unique_ptr<Modell> Lies(const std::string& inhalt) {
  const auto pfad = std::filesystem::temp_directory_path() / ("terval_soils_" + std::to_string(::getpid()));
  std::ofstream(pfad, std::ios::binary) << inhalt;
  auto m = NeuesModell();
  EXPECT_TRUE(GetSoilData(*m, pfad.string()));
  std::filesystem::remove(pfad);
  return m;
}

const std::string Kopf = "Bodenarten\nKz  K ThSat\n";
const std::string Lehm = "L   2  0.451  0.318  0.154 -0.478   6.950  2.000   5.39   0.18 Lehm";

TEST(SoilsDat, FixedColumnsUnitsAndRecordCount) {
  const TBodenDaten b = Lies(Kopf + Lehm + "\n")->Boeden[1];
  EXPECT_EQ(std::tuple(b.Kuerzel, b.Klasse, b.ThetaSat, b.ThetaRef, b.Wert3, b.PsiSat, b.B_Exponent, b.Wert8),
            std::tuple("L", 2, 0.451, 0.318, 0.154, -0.478, 5.39, 0.18));
  EXPECT_TRUE(b.BodenName == "Lehm" && b.CBoden == 2.0e6);  // MJ/(m3 K)
  EXPECT_DOUBLE_EQ(b.KSat, 6.95e-6);                        // the column holds 1e-6 m/s
  // CR LF, a decimal comma (reads as 0, unreported), a short line.
  auto m = Lies("a\r\nb\r\n" + Lehm.substr(0, 14) + "0,318" + Lehm.substr(19) + "\r\nKu\r\n");
  ASSERT_EQ(m->AnzBoeden, 2);
  EXPECT_EQ(std::tuple(m->Boeden[1].ThetaRef, m->Boeden[1].BodenName, m->Boeden[2].Kuerzel),
            std::tuple(0.0, "Lehm", "Ku"));
  // The end is tested after each record: headers alone give one soil, a blank line is one.
  EXPECT_FALSE(GetSoilData(*m, "/nicht/vorhanden/SOILS.DAT"));
  EXPECT_EQ(std::tuple(Lies(Kopf)->AnzBoeden, Lies(Kopf + Lehm)->AnzBoeden, Lies(Kopf + Lehm + "\n\n")->AnzBoeden),
            std::tuple(1, 1, 2));
  std::string sechzig = Kopf;
  for (int i = 1; i <= 60; ++i) sechzig += Lehm.substr(0, 63) + "Boden " + std::to_string(i) + "\n";
  m = Lies(sechzig);
  EXPECT_EQ(std::tuple(m->AnzBoeden, m->Boeden[50].BodenName), std::tuple(50, "Boden 50"));
}

TEST(Bodenthermik, WorkedValuesBoundsAndStabilityLimit) {
  const TBodenDaten b = Testboden();
  // Saturated: psi = -20 cm, pF 1.30, lambda = 419 exp(-4.0); C = 0.6 * 2e6 + 0.4 * 4.182e6.
  const Bodenthermik nass = Waermeleitfaehigkeit(b, 0.4f);
  EXPECT_TRUE(std::abs(nass.lambda - 7.666) < 1e-3 && std::abs(nass.a - 7.666 / (0.6 * 2e6 + 0.4 * 4.182e6)) < 1e-9);
  // pF 5.1 lies at theta = 0.0695: below it the floor of 0.172.
  EXPECT_EQ(Waermeleitfaehigkeit(b, 0.0694f).lambda, 0.172f);
  EXPECT_GT(Waermeleitfaehigkeit(b, 0.0697f).lambda, 0.1717f);
  for (float theta = 0.01f, vorher = 0.172f; theta <= 0.4f; theta += 0.01f) {
    const Bodenthermik t = Waermeleitfaehigkeit(b, theta);
    EXPECT_TRUE(t.lambda >= vorher && t.lambda <= nass.lambda) << theta;  // wetter conducts better
    EXPECT_NEAR(t.C, 0.6 * 2.0e6 + theta * 4.182e6, 1.0) << theta;
    vorher = t.lambda;
  }
  // A cell with solid neighbours on all four sides: 3600 a (4/0.25 + 4/0.25) = 1.
  EXPECT_NEAR(MaxStabileDiffusivitaet, 1 / (3600 * 32.0), 1e-15);
  EXPECT_TRUE(std::abs(MaxDiffusivitaet(b) - nass.a) < 1e-12 && MaxDiffusivitaet({}) > MaxStabileDiffusivitaet);
}

TEST(Bodenthermik, LayersGridCellsAndPreview) {
  auto m = Bodenmodell(0);
  InitFeuchteProfil(*m, 50);
  EXPECT_EQ(std::tuple(m->Theta[16], m->Klima[Stunden].Eta_z5), std::tuple(0.2, 0.2f));
  m->LetzteSpalte = 5;
  m->ZellTyp[2][3] = 1;  // a pipe cell
  for (auto* feld : {&m->K_W, &m->K_N, &m->K_S})
    for (auto& spalte : *feld) spalte.fill(-7);
  m->Theta[3] = 0.55, m->Theta[4] = -0.1;  // above saturation, overshot below dry: evaluated limited, kept
  UpdateBodenThermik(*m);
  EXPECT_EQ(m->Lambda[3], Waermeleitfaehigkeit(Testboden(), 0.4f).lambda);
  EXPECT_EQ(m->K_Schicht[4], Waermeleitfaehigkeit(Testboden(), 1e-5f).a);
  EXPECT_TRUE(m->Theta[3] == 0.55 && m->K_Zelle[5][7] == static_cast<float>(m->K_Schicht[7]));
  // Solid cells, the edge columns and rows 0 and 16 keep what they held.
  for (float f : {m->K_W[2][3], m->K_N[0][5], m->K_N[5][5], m->K_S[3][0], m->K_N[3][16]}) EXPECT_EQ(f, -7);
  m->Bodenart = MaxBoeden + 1;  // unknown soil: nothing changes
  InitFeuchteProfil(*m, 80);
  EXPECT_EQ(m->Theta[3], 0.55);
  m->Bodenart = 1;
  EXPECT_EQ(BodenVorschau(*m, 1, " 50 "), "Wlf= 1.70 [W/mK], Tlf=0.84 *10-6 [m²/s]");
  EXPECT_EQ(BodenVorschau(*m, 1, "5"), "Wlf= 0.17 [W/mK], Tlf=0.13 *10-6 [m²/s]");  // as 10 %
  for (auto [boden, eingabe] : {std::pair{1, "100.5"}, {1, "abc"}, {0, "50"}, {2, "50"}})
    EXPECT_FALSE(BodenVorschau(*m, boden, eingabe)) << boden << eingabe;
}

// ---- The moisture column ---------------------------------------------------------

TEST(Bodenfeuchte, CampbellCoefficientsAndLimits) {
  auto m = Bodenmodell(0.2);  // half saturated
  m->Theta[4] = 0.55, m->Theta[7] = -0.01;
  UpdateBodenHydraulik(*m);
  EXPECT_NEAR(m->K_Hydr[5], 5e-6 * std::pow(0.5, 13) * 3600, 1e-15);  // Ks (1/2)^(2b+3) per hour
  // D = K dpsi/dtheta on the retention curve psi = psi_s (theta/theta_s)^-b.
  auto psi = [](double theta) { return -0.2 * std::pow(theta / 0.4, -5.0); };
  EXPECT_NEAR(m->D_Hydr[5] / (m->K_Hydr[5] * (psi(0.2 + 1e-7) - psi(0.2 - 1e-7)) / 2e-7), 1.0, 1e-5);
  EXPECT_TRUE(m->D_Hydr[0] == m->D_Hydr[1] && m->Theta[4] == 0.4);  // cut to saturation
  EXPECT_NEAR(m->K_Hydr[4], 5e-6 * 3600, 1e-15);
  EXPECT_EQ(m->Theta[7], -0.01);  // evaluated as 1e-4, stored unchanged
  EXPECT_NEAR(m->D_Hydr[7] / (std::pow(1e-4 / 0.4, 8) * 5 * 5e-6 * 0.2 / 1e-4 * 3600), 1.0, 1e-4);
}

TEST(Bodenfeuchte, ColumnWithoutInputLosesExactlyTheGravityDrainage) {
  auto m = Bodenmodell(0.3);
  UpdateBodenHydraulik(*m);
  // Node 1 gets nothing from above and passes K on; the others pass on what they get.
  const double abfluss = m->G_Schwer[1];
  EXPECT_DOUBLE_EQ(abfluss, m->K_Hydr[1]);
  EXPECT_EQ(std::count(&m->G_Schwer[2], &m->G_Schwer[17], 0.0), 15);
  const Schichten alt = m->Theta;
  FeuchteSchritt(*m, 10, 5, 1.0, 0, 0);
  // Interior change = source + what enters through the face to the fixed node 16.
  const double E15 = static_cast<float>(0.5 * (m->D_Hydr[15] + m->D_Hydr[16]) / (DZ * DZ));
  double aenderung = 0;
  for (int k = 1; k <= 15; ++k) aenderung += m->Theta[k] - alt[k];
  EXPECT_NEAR(aenderung, -abfluss + E15 * (m->Theta[16] - m->Theta[15]), 1e-9 * abfluss);
  EXPECT_TRUE(m->Theta[1] < alt[1] && m->Theta[16] == alt[16] && m->Theta[0] == m->Theta[1]);
}

// A soil that neither conducts nor diffuses: the input stays where it lands.
TEST(Bodenfeuchte, EverySubStepGetsItsShareAndADryTopReducesIt) {
  auto m = Bodenmodell(0.35);
  m->Boeden[1].KSat = 0;
  for (int schritt : {3600, 600, 1}) {
    m->FeuchteZeitschritt = schritt;
    m->Theta.fill(0.35);  // above ThetaRef: no reduction
    for (int i = 0; i < 3600 / schritt; ++i) {
      UpdateBodenHydraulik(*m);
      FeuchteSchritt(*m, 1, 0, 1.0, 2.0f, 0.5f);
    }
    // 1.5 mm net over the two top layers of 0.5 m.
    EXPECT_TRUE(std::abs(m->Theta[1] - 0.3515) < 1e-12 && std::abs(m->Theta[2] - 0.3515) < 1e-12) << schritt;
    EXPECT_EQ(m->Theta[3], 0.35);
  }
  const int h = StundenIndex(3, 14);
  m->FeuchteZeitschritt = 3600, m->Klima[h].p_Verd_mm = 0.4f;
  m->Theta.fill(0.15);  // half of ThetaRef
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 3, 14, 1.0, 2.0f, 0.0f);
  EXPECT_NEAR(m->Theta[1] - 0.15, 0.001, 1e-12);
  const TKlimaStunde& k = m->Klima[h];
  EXPECT_EQ(std::tuple(k.r_Verd_mm, k.Eta_z1, k.Eta_z3, k.Eta_z5, k.Eta_kanal),
            std::tuple(0.2f, static_cast<float>(m->Theta[1]), 0.15f, 0.15f, 0.15f));  // Eta_kanal: RohrZeile
  m->Bodenart = MaxBoeden + 1;  // no such soil: nothing happens
  FeuchteSchritt(*m, 1, 0, 1.0, 1, 0);
  EXPECT_NEAR(m->Theta[1] - 0.15, 0.001, 1e-12);
}

// Regression: the remembered powers must not swallow the negative-base
// message of a soil with negative ThetaSat; every update reports again.
TEST(Bodenfeuchte, BrokenSoilReportsInEveryUpdate) {
  TBodenDaten b = Testboden();
  b.ThetaSat = -0.4;
  Feuchtezustand z;
  z.Theta.fill(0.2);
  test::Aufzeichner ui;
  SetzeMathsOberflaeche(&ui);
  UpdateBodenHydraulik(b, 60, z);
  UpdateBodenHydraulik(b, 60, z);
  SetzeMathsOberflaeche(nullptr);
  EXPECT_EQ(ui.nachrichten.size(), 2u * 2u * UntersteZeile);  // two powers per node, twice
}

// ---- The solver ----------------------------------------------------------------------

using Feld = std::array<double, MaxDiffusionsKnoten + 1>;

TEST(Tridiag, HandSolvedSystemZeroPivotAndBadIndices) {
  //  | 2 1 0 | |1|   | 4|
  //  | 1 3 1 | |2| = |10|
  //  | 0 1 2 | |3|   | 8|
  Feld a{}, b{}, c{}, r{}, u{};
  a[5] = c[7] = 99;  // not part of the system
  b[5] = 2, c[5] = 1, r[5] = 4;
  a[6] = 1, b[6] = 3, c[6] = 1, r[6] = 10;
  a[7] = 1, b[7] = 2, r[7] = 8;
  ASSERT_TRUE(Tridiag(a.data(), b.data(), c.data(), r.data(), 5, 7, u.data()));
  for (int i = 5; i <= 8; ++i) EXPECT_NEAR(u[i], i < 8 ? i - 4 : 0, 1e-14) << i;
  // | 1 1 ; 1 1 |: the second pivot is 0; nothing is written.
  Feld e{}, v{};
  e[0] = e[1] = 1;
  v.fill(-5);
  EXPECT_TRUE(!Tridiag(e.data(), e.data(), e.data(), r.data(), 0, 1, v.data()) && v[0] == -5);
  // b[lo] = 0, hi below lo, beyond the work arrays; the last node of the work arrays is usable.
  for (auto [lo, hi] : {std::pair{0, 1}, {3, 2}, {0, MaxDiffusionsKnoten + 1}})
    EXPECT_FALSE(Tridiag(a.data(), b.data(), c.data(), r.data(), lo, hi, v.data())) << lo << hi;
  e.fill(1);
  EXPECT_TRUE(Tridiag(a.data(), e.data(), c.data(), r.data(), MaxDiffusionsKnoten, MaxDiffusionsKnoten, v.data()));
}

TEST(ImplizitDiffusion, AnalyticProfilesAndConservation) {
  Feld D{}, alt{}, S{}, neu{};
  // Steady conduction between fixed values is linear.
  D.fill(0.7);
  for (int i = 0; i <= 10; ++i) alt[i] = 1 + 0.2 * i;
  ImplizitDiffusion(0.5, 0, 10, D.data(), alt.data(), S.data(), 5.0, false, false, 0, 0, false, neu.data());
  for (int i = 0; i <= 10; ++i) EXPECT_NEAR(neu[i], alt[i], 1e-12) << i;
  // sin(pi i / N) is an eigenvector of the discrete Laplacian: one backward
  // Euler step divides it by 1 + dt (2 - 2 cos(pi/N)) D/dz^2 (D/dz^2 = 1).
  D.fill(0.25);
  alt.fill(0);
  for (int i = 0; i < 10; ++i) alt[i] = std::sin(M_PI * i / 10);
  ImplizitDiffusion(0.5, 0, 10, D.data(), alt.data(), S.data(), 0.3, false, false, 0, 0, false, neu.data());
  for (int i = 1; i < 10; ++i) EXPECT_NEAR(neu[i], alt[i] / (1 + 0.3 * (2 - 2 * std::cos(M_PI / 10))), 1e-14);
  // Zero-gradient ends: the interior gains exactly dt * sum(S), however D varies.
  for (int i = 0; i <= 12; ++i) D[i] = 0.1 + 0.05 * (i % 4), alt[i] = 0.3 + 0.01 * ((i * 7) % 5);
  S[3] = 0.02, S[9] = -0.005;
  ImplizitDiffusion(0.5, 0, 12, D.data(), alt.data(), S.data(), 2.0, true, true, 0, 0, false, neu.data());
  double summe = 0;
  for (int i = 1; i <= 11; ++i) summe += neu[i] - alt[i];
  EXPECT_NEAR(summe, 2.0 * (0.02 - 0.005), 1e-14);
  EXPECT_NEAR(neu[0], neu[1], 1e-15);
}

TEST(ImplizitDiffusion, BoundaryRatesGradientsBlockedFacesAndLargestChange) {
  Feld D{}, alt{}, S{}, neu{};
  D.fill(0.2);
  alt.fill(1.0);
  ImplizitDiffusion(0.5, 0, 8, D.data(), alt.data(), S.data(), 2.0, false, true, 0.25, 0.4, false,
                    neu.data());
  EXPECT_DOUBLE_EQ(neu[0], 1.0 + 0.25 * 2.0);        // value moving at rate q_oben
  EXPECT_NEAR((neu[8] - neu[7]) / 0.5, 0.4, 1e-14);  // gradient at the bottom
  ImplizitDiffusion(0.5, 0, 8, D.data(), alt.data(), S.data(), 2.0, true, false, -0.3, 0, false, neu.data());
  EXPECT_NEAR((neu[1] - neu[0]) / 0.5, -0.3, 1e-14);
  // Node 5 outside the medium (-1): the two halves exchange nothing.
  D.fill(0.5);
  D[5] = -1;
  for (int i = 0; i <= 10; ++i) alt[i] = i < 5 ? 2.0 : 1.0;
  alt[0] = 3.0;
  ImplizitDiffusion(0.5, 0, 10, D.data(), alt.data(), S.data(), 1.0, false, false, 0, 0, false, neu.data());
  for (int i = 5; i <= 10; ++i) EXPECT_DOUBLE_EQ(neu[i], 1.0) << i;
  EXPECT_GT(neu[1], 2.0);
  // D = 0: the source alone moves node 4.
  D.fill(0);
  alt.fill(0);
  S[4] = 0.3;
  EXPECT_DOUBLE_EQ(
      ImplizitDiffusion(0.5, 0, 8, D.data(), alt.data(), S.data(), 1.0, true, false, 0, 0, true, neu.data()),
      0.3 / (1e-8 + 1.0));
  // A negative step with W + E = 1 makes the pivot vanish: values stay.
  D.fill(0.125);
  alt.fill(0.7);
  ImplizitDiffusion(0.5, 0, 4, D.data(), alt.data(), S.data(), -1.0, false, false, 0, 0, false, neu.data());
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(neu[i], 0.7) << i;
}

}  // namespace
}  // namespace terval
