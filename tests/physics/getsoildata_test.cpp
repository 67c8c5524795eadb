#include "physics/getsoildata.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "Bodentest.h"
#include "model/Vardef.h"

namespace terval {
namespace {

using test::Testboden;

// Reads `inhalt` as a SOILS.DAT into a fresh model.
std::unique_ptr<Modell> Lies(const std::string& inhalt) {
  const auto pfad = std::filesystem::temp_directory_path() /
                    ("terval_soils_" + std::to_string(::getpid()) + ".dat");
  std::ofstream(pfad, std::ios::binary) << inhalt;
  auto m = NeuesModell();
  EXPECT_TRUE(GetSoilData(*m, pfad.string()));
  std::filesystem::remove(pfad);
  return m;
}

const std::string Kopf = "Bodenarten fuer den Test\nKz  K ThSat  ...\n";
// Every column of the layout filled; numbers right-aligned with leading blanks.
const std::string Lehmzeile = "L   2  0.451  0.318  0.154 -0.478   6.950  2.000   5.39   0.18 Lehm";

TEST(SoilsDat, FesteSpaltenMitUmrechnung) {
  auto m = Lies(Kopf + Lehmzeile + "\n");
  ASSERT_EQ(m->AnzBoeden, 1);
  const TBodenDaten& b = m->Boeden[1];
  EXPECT_EQ(b.Kuerzel, "L");
  EXPECT_EQ(b.Klasse, 2);
  EXPECT_EQ(b.ThetaSat, 0.451);
  EXPECT_EQ(b.ThetaRef, 0.318);
  EXPECT_EQ(b.Wert3, 0.154);
  EXPECT_EQ(b.PsiSat, -0.478);
  EXPECT_DOUBLE_EQ(b.KSat, 6.95e-6);  // column in 1e-6 m/s
  EXPECT_DOUBLE_EQ(b.CBoden, 2.0e6);  // column in MJ/(m3 K)
  EXPECT_EQ(b.B_Exponent, 5.39);
  EXPECT_EQ(b.Wert8, 0.18);
  EXPECT_EQ(b.BodenName, "Lehm");
}

TEST(SoilsDat, WindowsZeilenendenUndKaputteZahlen) {
  // A decimal comma in ThetaRef's column; a short second line.
  auto m =
      Lies("a\r\nb\r\n" + Lehmzeile.substr(0, 14) + "0,318" + Lehmzeile.substr(19) + "\r\nKu\r\n");
  ASSERT_EQ(m->AnzBoeden, 2);
  EXPECT_EQ(m->Boeden[1].ThetaRef, 0);  // a conversion error is not reported
  EXPECT_EQ(m->Boeden[1].Wert3, 0.154);
  EXPECT_EQ(m->Boeden[1].BodenName, "Lehm");
  EXPECT_EQ(m->Boeden[2].Kuerzel, "Ku");
  EXPECT_EQ(m->Boeden[2].ThetaSat, 0);
}

TEST(SoilsDat, DateiendeWirdNachJedemBodenGeprueft) {
  auto m = NeuesModell();
  EXPECT_FALSE(GetSoilData(*m, "/nicht/vorhanden/SOILS.DAT"));
  EXPECT_EQ(Lies(Kopf)->AnzBoeden, 1);  // headers only: still one (empty) soil
  EXPECT_EQ(Lies(Kopf + Lehmzeile)->AnzBoeden, 1);
  EXPECT_EQ(Lies(Kopf + Lehmzeile + "\n\n")->AnzBoeden, 2);  // a blank line is a soil
  std::string sechzig = Kopf;
  for (int i = 1; i <= 60; ++i)
    sechzig += Lehmzeile.substr(0, 63) + "Boden " + std::to_string(i) + "\n";
  m = Lies(sechzig);
  EXPECT_EQ(m->AnzBoeden, 50);
  EXPECT_EQ(m->Boeden[50].BodenName, "Boden 50");
}

TEST(SoilsDat, MitgelieferteTabelleVonSandBisTon) {
  auto m = NeuesModell();
  ASSERT_TRUE(GetSoilData(*m, std::string(TERVAL_QUELLVERZEICHNIS) + "/data/SOILS.DAT"));
  ASSERT_EQ(m->AnzBoeden, 11);
  EXPECT_EQ(m->Boeden[1].BodenName, "Lehm");  // the default Bodenart 1
  // Clapp & Hornberger (1978), table 2, for sand.
  EXPECT_EQ(m->Boeden[2].BodenName, "Sand");
  EXPECT_EQ(m->Boeden[2].ThetaSat, 0.395);
  EXPECT_EQ(m->Boeden[2].PsiSat, -0.121);
  EXPECT_EQ(m->Boeden[2].B_Exponent, 4.05);
  EXPECT_DOUBLE_EQ(m->Boeden[2].KSat, 1.76e-4);
  for (int i = 1; i <= m->AnzBoeden; ++i) {
    const TBodenDaten& b = m->Boeden[i];
    // The reference water content is field capacity, pF 2.5 on the soil's own
    // retention curve theta = theta_s (psi_s / psi)^(1/b).
    EXPECT_NEAR(b.ThetaRef, b.ThetaSat * std::pow(-b.PsiSat / 3.1623, 1 / b.B_Exponent), 6e-4)
        << b.BodenName;
    // Every soil keeps the explicit 3600 s heat step stable over its whole moisture range.
    EXPECT_LE(MaxDiffusivitaet(b), MaxStabileDiffusivitaet) << b.BodenName;
  }
}

TEST(SoilsDat, LesenUndVorschauUnabhaengigVomLocale) {
  const std::string vorher = std::setlocale(LC_ALL, nullptr);
  const auto vorschauC = BodenVorschau(*Lies(Kopf + Lehmzeile + "\n"), 1, "100");
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "kein deutsches Locale";
  auto m = Lies(Kopf + Lehmzeile + "\n");
  const auto vorschau = BodenVorschau(*m, 1, "100");
  std::setlocale(LC_ALL, vorher.c_str());
  EXPECT_EQ(m->Boeden[1].ThetaSat, 0.451);
  EXPECT_EQ(vorschau, vorschauC);
  EXPECT_EQ(vorschau.value_or("").substr(0, 9), "Wlf= 5.25");
}

// ---- Thermal properties -------------------------------------------------------

TEST(Bodenthermik, GesaettigterUndSehrTrockenerBoden) {
  // psi = -0.2 m * 100 = -20 cm, pF = log10 20 = 1.30: lambda = 419 exp(-4.0) = 7.67 W/(m K).
  const Bodenthermik nass = Waermeleitfaehigkeit(Testboden(), 0.4f);
  EXPECT_NEAR(nass.lambda, 7.666, 0.001);
  EXPECT_FLOAT_EQ(nass.a, nass.lambda / (0.6f * 2.0e6f + 0.4f * 4.182e6f));
  // pF = 5.1 lies at theta = 0.0695: below it exactly the floor, above it the formula.
  EXPECT_EQ(Waermeleitfaehigkeit(Testboden(), 0.0694f).lambda, 0.172f);
  EXPECT_GT(Waermeleitfaehigkeit(Testboden(), 0.0697f).lambda, 0.1717f);
}

TEST(Bodenthermik, ZwischenTrockenUndNassEingeklammert) {
  const TBodenDaten b = Testboden();
  const float lambdaNass = Waermeleitfaehigkeit(b, 0.4f).lambda;
  float lambdaVorher = 0.172f;
  for (float theta = 0.01f; theta <= 0.4f; theta += 0.01f) {
    const Bodenthermik t = Waermeleitfaehigkeit(b, theta);
    EXPECT_GE(t.lambda, lambdaVorher) << theta;  // wetter soil conducts better...
    EXPECT_LE(t.lambda, lambdaNass) << theta;    // ...up to saturation
    // Volume-weighted heat capacities (de Vries 1963): linear in theta.
    EXPECT_NEAR(t.C, 0.6 * 2.0e6 + theta * 4.182e6, 1.0) << theta;
    lambdaVorher = t.lambda;
  }
}

TEST(Bodenthermik, StabilitaetsgrenzeDesExplizitenSchritts) {
  // Cell with solid neighbours on all four sides: every distance is half a cell.
  const double a = MaxStabileDiffusivitaet, dt = 3600, dx = 0.5;
  EXPECT_NEAR(2 * dt / dx * (a / (dx / 2) + a / (dx / 2)), 1.0, 1e-12);
  EXPECT_NEAR(a, 8.68e-6, 0.01e-6);
  const TBodenDaten b = Testboden();  // its diffusivity peaks at saturation
  EXPECT_NEAR(MaxDiffusivitaet(b), Waermeleitfaehigkeit(b, 0.4f).a, 1e-12);
  TBodenDaten leer;  // the empty record of a header-only file: no heat capacity
  EXPECT_GT(MaxDiffusivitaet(leer), MaxStabileDiffusivitaet);
}

// ---- Layers of the grid and the preview --------------------------------------

class Schichtwerte : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Boeden[1] = Testboden();
    m->AnzBoeden = 1;
    m->Bodenart = 1;
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Schichtwerte, StartprofilUndBegrenzteFeuchte) {
  InitFeuchteProfil(*m, 50);
  EXPECT_DOUBLE_EQ(m->Theta[16], 0.2);
  EXPECT_FLOAT_EQ(m->Klima[Stunden].Eta_z5, 0.2f);
  m->Theta[3] = 0.55;  // above saturation
  m->Theta[4] = -0.1;  // overshot below dry
  UpdateBodenThermik(*m);
  EXPECT_EQ(m->Lambda[3], Waermeleitfaehigkeit(Testboden(), 0.4f).lambda);
  EXPECT_EQ(m->K_Schicht[4], Waermeleitfaehigkeit(Testboden(), 1e-5f).a);
  EXPECT_EQ(m->Theta[3], 0.55);  // evaluated limited, stored unchanged
  m->Bodenart = MaxBoeden + 1;   // unknown soil: nothing changes
  InitFeuchteProfil(*m, 80);
  EXPECT_DOUBLE_EQ(m->Theta[2], 0.2);
}

TEST_F(Schichtwerte, ZellenUndFlaechenDesGitters) {
  m->LetzteSpalte = 5;
  m->ZellTyp[2][3] = 1;  // a pipe cell
  for (auto* feld : {&m->K_W, &m->K_N, &m->K_S})
    for (auto& spalte : *feld) spalte.fill(-7);
  for (int k = 0; k < Zeilen; ++k) m->Theta[k] = 0.1 + 0.015 * k;  // every layer different
  UpdateBodenThermik(*m);
  const auto& K = m->K_Zelle;
  EXPECT_EQ(K[5][7], static_cast<float>(m->K_Schicht[7]));
  EXPECT_EQ(K[2][3], static_cast<float>(m->K_Schicht[3]));  // solid cells too
  EXPECT_EQ(m->K_N[1][3], 0.5f * (K[1][2] + K[1][3]));
  EXPECT_EQ(m->K_S[4][15], 0.5f * (K[4][15] + K[4][16]));
  // Solid cells, the edge columns and rows 0 and 16 keep what they held.
  for (float f : {m->K_W[2][3], m->K_N[0][5], m->K_N[5][5], m->K_S[3][0], m->K_N[3][16]})
    EXPECT_EQ(f, -7);
}

TEST_F(Schichtwerte, VorschautextMitZweiNachkommastellen) {
  EXPECT_EQ(BodenVorschau(*m, 1, "100"), "Wlf= 7.67 [W/mK], Tlf=2.67 *10-6 [m²/s]");
  EXPECT_EQ(BodenVorschau(*m, 1, " 50 "), "Wlf= 1.70 [W/mK], Tlf=0.84 *10-6 [m²/s]");
  // Below 10 % the preview shows 10 %.
  EXPECT_EQ(BodenVorschau(*m, 1, "10"), "Wlf= 0.17 [W/mK], Tlf=0.13 *10-6 [m²/s]");
  EXPECT_EQ(BodenVorschau(*m, 1, "5"), BodenVorschau(*m, 1, "10"));
  // Nothing for more than 100 %, a text that is no number, or no such soil.
  for (const char* eingabe : {"100.5", "abc", "", "50,5"})
    EXPECT_FALSE(BodenVorschau(*m, 1, eingabe));
  EXPECT_FALSE(BodenVorschau(*m, 0, "50"));
  EXPECT_FALSE(BodenVorschau(*m, 2, "50"));
}

}  // namespace
}  // namespace terval
