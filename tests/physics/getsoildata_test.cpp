#include "physics/getsoildata.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <set>
#include <string>

#include "Bodentest.h"
#include "core/Vardef.h"

namespace terval {
namespace {

using test::TempDatei;
using test::Testboden;

const std::string Kopf = "Bodenarten fuer den Test\nKz  K ThSat  ...\n";
// Every column of the layout filled; numbers with leading blanks.
const std::string Lehmzeile = "L   2  0.451  0.318  0.154 -0.478   6.950  2.000   5.39   0.18 Lehm";

// ---- Reading SOILS.DAT ------------------------------------------------------

TEST(SoilsDat, FesteSpaltenMitUmrechnung) {
  TempDatei datei("spalten.dat", Kopf + Lehmzeile + "\n");
  auto m = NeuesModell();
  ASSERT_TRUE(GetSoilData(*m, datei.pfad()));
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

TEST(SoilsDat, WindowsZeilenendenUndLinksbuendigeZahlen) {
  // Numbers flush left in their columns, the name padded to its full width.
  const std::string zeile = std::string("sL") + "  " + "2" + " " + "0.435 " + " " + "0.252 " + " " +
                            "0.113 " + " " + "-0.218" + " " + "34.667 " + " " + "2.0   " + " " +
                            "4.90  " + " " + "0.10  " + " " + "Sandiger Lehm       ";
  ASSERT_EQ(zeile.size(), 83u);
  TempDatei datei("crlf.dat", "a\r\nb\r\n" + zeile + "\r\n");
  auto m = NeuesModell();
  ASSERT_TRUE(GetSoilData(*m, datei.pfad()));
  ASSERT_EQ(m->AnzBoeden, 1);
  const TBodenDaten& b = m->Boeden[1];
  EXPECT_EQ(b.Kuerzel, "sL");
  EXPECT_EQ(b.ThetaSat, 0.435);
  EXPECT_EQ(b.PsiSat, -0.218);
  EXPECT_DOUBLE_EQ(b.KSat, 34.667e-6);
  EXPECT_DOUBLE_EQ(b.CBoden, 2.0e6);
  EXPECT_EQ(b.BodenName, "Sandiger Lehm");
}

TEST(SoilsDat, FehlendeDateiLaesstDieTabelleStehen) {
  auto m = NeuesModell();
  m->AnzBoeden = 3;
  EXPECT_FALSE(GetSoilData(*m, "/nicht/vorhanden/SOILS.DAT"));
  EXPECT_EQ(m->AnzBoeden, 3);
}

TEST(SoilsDat, NurKopfzeilenErgebenEinenLeerenBoden) {
  TempDatei datei("kopf.dat", Kopf);
  auto m = NeuesModell();
  ASSERT_TRUE(GetSoilData(*m, datei.pfad()));
  ASSERT_EQ(m->AnzBoeden, 1);
  EXPECT_EQ(m->Boeden[1].BodenName, "");
  EXPECT_EQ(m->Boeden[1].ThetaSat, 0);

  TempDatei leer("leer.dat", "");
  ASSERT_TRUE(GetSoilData(*m, leer.pfad()));
  EXPECT_EQ(m->AnzBoeden, 1);
}

TEST(SoilsDat, EndeDerDateiWirdNachJedemBodenGeprueft) {
  auto m = NeuesModell();
  TempDatei ohneNeueZeile("ohne.dat", Kopf + Lehmzeile);
  ASSERT_TRUE(GetSoilData(*m, ohneNeueZeile.pfad()));
  EXPECT_EQ(m->AnzBoeden, 1);
  // A blank last line is one more (empty) soil, as a header-only file is.
  TempDatei leerzeile("leerzeile.dat", Kopf + Lehmzeile + "\n\n");
  ASSERT_TRUE(GetSoilData(*m, leerzeile.pfad()));
  EXPECT_EQ(m->AnzBoeden, 2);
}

TEST(SoilsDat, HoechstensFuenfzigBoeden) {
  std::string inhalt = Kopf;
  for (int i = 1; i <= 60; ++i) {
    // The name column starts at column 64.
    inhalt += Lehmzeile.substr(0, 63) + "Boden " + std::to_string(i) + "\n";
  }
  TempDatei datei("sechzig.dat", inhalt);
  auto m = NeuesModell();
  ASSERT_TRUE(GetSoilData(*m, datei.pfad()));
  EXPECT_EQ(m->AnzBoeden, 50);
  EXPECT_EQ(m->Boeden[50].BodenName, "Boden 50");
}

TEST(SoilsDat, KaputteZahlenWerdenNull) {
  std::string zeile = Lehmzeile;
  zeile.replace(6, 6, "  0,45");  // decimal comma
  zeile.replace(49, 6, "  abc ");
  TempDatei datei("kaputt.dat", Kopf + zeile + "\n" + "Ku\n");
  auto m = NeuesModell();
  ASSERT_TRUE(GetSoilData(*m, datei.pfad()));
  ASSERT_EQ(m->AnzBoeden, 2);
  EXPECT_EQ(m->Boeden[1].ThetaSat, 0);
  EXPECT_EQ(m->Boeden[1].B_Exponent, 0);
  EXPECT_EQ(m->Boeden[1].PsiSat, -0.478);  // the other columns are unharmed
  EXPECT_EQ(m->Boeden[2].Kuerzel, "Ku");   // a short line ends the fields early
  EXPECT_EQ(m->Boeden[2].ThetaSat, 0);
}

// ---- The shipped table --------------------------------------------------------

class MitgelieferteBoeden : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSoilData(*m, std::string(TERVAL_QUELLVERZEICHNIS) + "/data/SOILS.DAT"));
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(MitgelieferteBoeden, TexturklassenVonSandBisTon) {
  ASSERT_EQ(m->AnzBoeden, 11);
  EXPECT_EQ(m->Boeden[1].BodenName, "Lehm");  // the default Bodenart 1
  std::set<std::string> kuerzel;
  for (int i = 1; i <= m->AnzBoeden; ++i) {
    const TBodenDaten& b = m->Boeden[i];
    SCOPED_TRACE(b.BodenName);
    EXPECT_FALSE(b.BodenName.empty());
    EXPECT_LE(b.BodenName.size(), 20u);
    EXPECT_TRUE(kuerzel.insert(b.Kuerzel).second);
    EXPECT_GT(b.ThetaSat, 0.3);
    EXPECT_LT(b.ThetaSat, 0.6);
    EXPECT_GT(b.ThetaRef, 0.1);
    EXPECT_LT(b.ThetaRef, b.ThetaSat);
    EXPECT_LT(b.PsiSat, 0);
    EXPECT_GT(b.KSat, 0);
    EXPECT_DOUBLE_EQ(b.CBoden, 2.0e6);
    EXPECT_GT(b.B_Exponent, 4);
    // The reference water content is field capacity, pF 2.5 on the soil's own
    // retention curve theta = theta_s (psi_s / psi)^(1/b).
    const double feldkapazitaet =
        b.ThetaSat * std::pow(-b.PsiSat / std::pow(10.0, 2.5 - 2), 1 / b.B_Exponent);
    EXPECT_NEAR(b.ThetaRef, feldkapazitaet, 0.0006);
  }
  // Clapp & Hornberger (1978), table 2: sand and clay.
  EXPECT_EQ(m->Boeden[2].BodenName, "Sand");
  EXPECT_EQ(m->Boeden[2].ThetaSat, 0.395);
  EXPECT_EQ(m->Boeden[2].PsiSat, -0.121);
  EXPECT_EQ(m->Boeden[2].B_Exponent, 4.05);
  EXPECT_DOUBLE_EQ(m->Boeden[2].KSat, 1.76e-4);
  EXPECT_EQ(m->Boeden[11].BodenName, "Ton");
  EXPECT_EQ(m->Boeden[11].B_Exponent, 11.4);
  EXPECT_EQ(m->Boeden[11].PsiSat, -0.405);
}

TEST_F(MitgelieferteBoeden, JederBodenHaeltDenExplizitenWaermeschrittStabil) {
  for (int i = 1; i <= m->AnzBoeden; ++i) {
    const TBodenDaten& b = m->Boeden[i];
    const double aMax = MaxDiffusivitaet(b);
    EXPECT_LE(aMax, MaxStabileDiffusivitaet) << b.BodenName << ": " << aMax;
    EXPECT_GT(aMax, 1e-7) << b.BodenName;
  }
}

TEST_F(MitgelieferteBoeden, LesenUndVorschauUnabhaengigVomLocale) {
  const std::string vorher = std::setlocale(LC_ALL, nullptr);
  const std::string vorschauC = BodenVorschau(*m, 1, "50").value_or("");
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "kein deutsches Locale";
  auto deutsch = NeuesModell();
  const bool gelesen =
      GetSoilData(*deutsch, std::string(TERVAL_QUELLVERZEICHNIS) + "/data/SOILS.DAT");
  const std::string vorschauDe = BodenVorschau(*deutsch, 1, "50").value_or("");
  std::setlocale(LC_ALL, vorher.c_str());
  ASSERT_TRUE(gelesen);
  EXPECT_EQ(deutsch->Boeden[1].ThetaSat, 0.451);
  EXPECT_EQ(vorschauDe, vorschauC);
  EXPECT_NE(vorschauDe.find("."), std::string::npos);
}

// ---- Thermal properties -------------------------------------------------------

TEST(Bodenthermik, GesaettigterBodenNachDemPFWert) {
  // psi = -0.2 m * 100 = -20 cm, pF = log10 20 = 1.30: lambda = 419 exp(-4.0) = 7.67 W/(m K).
  const Bodenthermik t = Waermeleitfaehigkeit(Testboden(), 0.4f);
  EXPECT_NEAR(t.lambda, 7.666, 0.001);
  EXPECT_FLOAT_EQ(t.C, 0.6f * 2.0e6f + 0.4f * 4.182e6f);
  EXPECT_FLOAT_EQ(t.a, t.lambda / t.C);
}

TEST(Bodenthermik, SehrTrockenerBodenLeitetGenau0172) {
  // theta 0.05: psi = -20 cm * 8^5, pF = 5.82 > 5.1
  EXPECT_EQ(Waermeleitfaehigkeit(Testboden(), 0.05f).lambda, 0.172f);
  EXPECT_EQ(Waermeleitfaehigkeit(Testboden(), 1e-5f).lambda, 0.172f);
  // pF = 5.1 lies at theta = 0.0695: just below it the floor, just above it the
  // formula, which starts at 419 exp(-7.8) = 0.1717.
  EXPECT_EQ(Waermeleitfaehigkeit(Testboden(), 0.0694f).lambda, 0.172f);
  const float knapp = Waermeleitfaehigkeit(Testboden(), 0.0697f).lambda;
  EXPECT_GT(knapp, 0.1717f);
  EXPECT_LT(knapp, 0.173f);
}

TEST(Bodenthermik, ZwischenTrockenUndNassEingeklammert) {
  const TBodenDaten b = Testboden();
  const Bodenthermik nass = Waermeleitfaehigkeit(b, 0.4f);
  const float Ctrocken = static_cast<float>((1 - b.ThetaSat) * b.CBoden);
  float lambdaVorher = 0;
  for (float theta = 0.01f; theta <= 0.4f; theta += 0.01f) {
    const Bodenthermik t = Waermeleitfaehigkeit(b, theta);
    EXPECT_GE(t.lambda, 0.172f) << theta;
    EXPECT_LE(t.lambda, nass.lambda) << theta;
    EXPECT_GE(t.lambda, lambdaVorher) << theta;  // wetter soil conducts better
    // Volume-weighted heat capacities (de Vries 1963): linear in theta.
    EXPECT_NEAR(t.C, Ctrocken + theta * 4.182e6, 1.0) << theta;
    lambdaVorher = t.lambda;
  }
}

TEST(Bodenthermik, StabilitaetsgrenzeDesExplizitenSchritts) {
  // Cell with solid neighbours on all four sides: every distance is half a cell.
  const double a = MaxStabileDiffusivitaet;
  const double dt = 3600, dx = 0.5, dz = 0.5;
  const double summe =
      dt / dx * (a / (dx / 2) + a / (dx / 2)) + dt / dz * (a / (dz / 2) + a / (dz / 2));
  EXPECT_NEAR(summe, 1.0, 1e-12);
  EXPECT_NEAR(a, 8.68e-6, 0.01e-6);
  // Among soil (full distances) the same a uses half the margin: about 1.7e-5 m2/s would pass.
  EXPECT_NEAR(dt / dx * (a / dx + a / dx) + dt / dz * (a / dz + a / dz), 0.5, 1e-12);
}

TEST(Bodenthermik, GroessteDiffusivitaetUeberDenFeuchtebereich) {
  const TBodenDaten b = Testboden();
  const double aMax = MaxDiffusivitaet(b);
  // For this soil the diffusivity rises towards saturation.
  EXPECT_NEAR(aMax, Waermeleitfaehigkeit(b, 0.4f).a, 1e-12);
  for (float theta = 0.001f; theta < 0.4f; theta += 0.003f)
    EXPECT_LE(Waermeleitfaehigkeit(b, theta).a, aMax) << theta;

  TBodenDaten leer;  // the empty record of a header-only file: no heat capacity
  EXPECT_TRUE(std::isinf(MaxDiffusivitaet(leer)));
  EXPECT_GT(MaxDiffusivitaet(leer), MaxStabileDiffusivitaet);
}

// ---- Layers of the grid -------------------------------------------------------

class Schichtwerte : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Boeden[1] = Testboden();
    m->AnzBoeden = 1;
    m->Bodenart = 1;
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

TEST_F(Schichtwerte, StartprofilInProzentDerSaettigung) {
  InitFeuchteProfil(*m, 50);
  for (int k = 0; k < Zeilen; ++k) EXPECT_DOUBLE_EQ(m->Theta[k], 0.2) << k;
  for (int h : {1, 4000, Stunden}) {
    EXPECT_FLOAT_EQ(m->Klima[h].Eta_z1, 0.2f);
    EXPECT_FLOAT_EQ(m->Klima[h].Eta_z3, 0.2f);
    EXPECT_FLOAT_EQ(m->Klima[h].Eta_z5, 0.2f);
  }
}

TEST_F(Schichtwerte, UebersaettigtUndNegativWerdenBegrenztAberNichtGeaendert) {
  InitFeuchteProfil(*m, 50);
  m->Theta[3] = 0.55;
  m->Theta[4] = -0.1;
  UpdateBodenThermik(*m);
  EXPECT_EQ(m->Lambda[3], Waermeleitfaehigkeit(Testboden(), 0.4f).lambda);
  EXPECT_EQ(m->K_Schicht[3], Waermeleitfaehigkeit(Testboden(), 0.4f).a);
  EXPECT_EQ(m->Lambda[4], 0.172f);
  EXPECT_EQ(m->K_Schicht[4], Waermeleitfaehigkeit(Testboden(), 1e-5f).a);
  EXPECT_EQ(m->Theta[3], 0.55);
  EXPECT_EQ(m->Theta[4], -0.1);
  EXPECT_EQ(m->Lambda[5], Waermeleitfaehigkeit(Testboden(), 0.2f).lambda);
}

TEST_F(Schichtwerte, ZellenUndFlaechenDesGitters) {
  m->LetzteSpalte = 5;
  m->ZellTyp[2][3] = 1;  // a pipe cell
  const float unberuehrt = -7;
  for (auto* feld : {&m->K_W, &m->K_O, &m->K_N, &m->K_S})
    for (auto& spalte : *feld) spalte.fill(unberuehrt);
  for (int k = 0; k < Zeilen; ++k) m->Theta[k] = 0.1 + 0.015 * k;  // every layer different
  UpdateBodenThermik(*m);

  for (int c = 0; c <= 5; ++c)
    for (int r = 0; r < Zeilen; ++r)
      EXPECT_EQ(m->K_Zelle[c][r], static_cast<float>(m->K_Schicht[r])) << c << "," << r;
  EXPECT_EQ(m->K_Zelle[6][4], 0.0f);  // beyond LetzteSpalte

  const auto& K = m->K_Zelle;
  EXPECT_EQ(m->K_N[1][3], 0.5f * (K[1][2] + K[1][3]));
  EXPECT_EQ(m->K_S[1][3], 0.5f * (K[1][3] + K[1][4]));
  EXPECT_EQ(m->K_O[1][3], K[1][3]);  // same layer on both sides, pipe cell included
  EXPECT_EQ(m->K_W[4][15], K[4][15]);
  EXPECT_EQ(m->K_S[4][15], 0.5f * (K[4][15] + K[4][16]));
  // Solid cells, the edge columns and rows 0 and 16 keep what they held.
  EXPECT_EQ(m->K_W[2][3], unberuehrt);
  EXPECT_EQ(m->K_N[0][5], unberuehrt);
  EXPECT_EQ(m->K_N[5][5], unberuehrt);
  EXPECT_EQ(m->K_S[3][0], unberuehrt);
  EXPECT_EQ(m->K_N[3][16], unberuehrt);
}

TEST_F(Schichtwerte, UnbekannteBodenartAendertNichts) {
  InitFeuchteProfil(*m, 50);
  for (int art : {0, -3, MaxBoeden + 1}) {
    m->Bodenart = art;
    InitFeuchteProfil(*m, 80);
    UpdateBodenThermik(*m);
    EXPECT_DOUBLE_EQ(m->Theta[2], 0.2);
    EXPECT_EQ(m->Lambda[2], 0.0);
  }
}

// ---- Preview of the location dialog --------------------------------------------

TEST_F(Schichtwerte, VorschautextMitZweiNachkommastellen) {
  EXPECT_EQ(BodenVorschau(*m, 1, "100"), "Wlf= 7.67 [W/mK], Tlf=2.67 *10-6 [m²/s]");
  EXPECT_EQ(BodenVorschau(*m, 1, "50"), "Wlf= 1.70 [W/mK], Tlf=0.84 *10-6 [m²/s]");
  EXPECT_EQ(BodenVorschau(*m, 1, " 50 "), BodenVorschau(*m, 1, "50"));
}

TEST_F(Schichtwerte, VorschauUnterZehnProzentZeigtZehn) {
  const auto zehn = BodenVorschau(*m, 1, "10");
  EXPECT_EQ(zehn, "Wlf= 0.17 [W/mK], Tlf=0.13 *10-6 [m²/s]");
  EXPECT_EQ(BodenVorschau(*m, 1, "5"), zehn);
  EXPECT_EQ(BodenVorschau(*m, 1, "0"), zehn);
  EXPECT_EQ(BodenVorschau(*m, 1, "-20"), zehn);
}

TEST_F(Schichtwerte, VorschauZeigtNichtsOhneGueltigeEingabe) {
  EXPECT_FALSE(BodenVorschau(*m, 1, "100.5"));
  EXPECT_FALSE(BodenVorschau(*m, 1, "abc"));
  EXPECT_FALSE(BodenVorschau(*m, 1, ""));
  EXPECT_FALSE(BodenVorschau(*m, 1, "50,5"));
  EXPECT_FALSE(BodenVorschau(*m, 0, "50"));
  EXPECT_FALSE(BodenVorschau(*m, 2, "50"));  // only one soil in the table
  EXPECT_FALSE(BodenVorschau(*m, -1, "50"));
}

}  // namespace
}  // namespace terval
