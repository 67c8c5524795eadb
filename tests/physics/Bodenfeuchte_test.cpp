#include "physics/Bodenfeuchte.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Bodentest.h"
#include "core/Vardef.h"
#include "physics/getsoildata.h"

namespace terval {
namespace {

using test::Testboden;

class Feuchtesaeule : public ::testing::Test {
 protected:
  void SetUp() override {
    m->Boeden[1] = Testboden();
    m->AnzBoeden = 1;
    m->Bodenart = 1;
    m->FeuchteZeitschritt = 3600;
    m->RohrZeile = 12;
  }
  void Gleichfoermig(double theta) { m->Theta.fill(theta); }
  // Water in nodes von..bis, as volumetric content summed over the nodes.
  double Summe(int von, int bis) const {
    double s = 0;
    for (int k = von; k <= bis; ++k) s += m->Theta[k];
    return s;
  }
  // One hour of the driver's sub-steps.
  void Stunde(int tag, int stunde, float N, float E) {
    const int n = static_cast<int>(std::lround(3600.0 / m->FeuchteZeitschritt));
    for (int i = 0; i < n; ++i) {
      UpdateBodenHydraulik(*m);
      FeuchteSchritt(*m, tag, stunde, 1.0, N, E);
    }
  }
  std::unique_ptr<Modell> m = NeuesModell();
};

// ---- Hydraulic coefficients -------------------------------------------------

TEST_F(Feuchtesaeule, LeitfaehigkeitUndDiffusivitaetNachCampbell) {
  Gleichfoermig(0.2);  // half saturated
  UpdateBodenHydraulik(*m);
  // K = Ks (1/2)^(2b+3) per hour step.
  EXPECT_NEAR(m->K_Hydr[5], 5e-6 * std::pow(0.5, 13) * 3600, 1e-15);
  // D = K dpsi/dtheta with psi = psi_s (theta/theta_s)^-b, checked by differentiating
  // the retention curve numerically.
  auto psi = [](double theta) { return -0.2 * std::pow(theta / 0.4, -5.0); };
  const double dpsi = (psi(0.2 + 1e-7) - psi(0.2 - 1e-7)) / 2e-7;
  EXPECT_NEAR(m->D_Hydr[5] / (m->K_Hydr[5] * dpsi), 1.0, 1e-5);
  EXPECT_EQ(m->D_Hydr[0], m->D_Hydr[1]);
  EXPECT_EQ(m->K_Hydr[0], 0.0);  // never computed
}

TEST_F(Feuchtesaeule, KoeffizientenTragenDieTeilschrittlaenge) {
  Gleichfoermig(0.3);
  UpdateBodenHydraulik(*m);
  const double K3600 = m->K_Hydr[7], D3600 = m->D_Hydr[7];
  m->FeuchteZeitschritt = 600;
  UpdateBodenHydraulik(*m);
  EXPECT_NEAR(m->K_Hydr[7], K3600 / 6, 1e-18);
  EXPECT_NEAR(m->D_Hydr[7], D3600 / 6, 1e-15);
}

TEST_F(Feuchtesaeule, SchwerkraftAbflussDerGleichfoermigenSaeule) {
  Gleichfoermig(0.3);
  UpdateBodenHydraulik(*m);
  const double K = m->K_Hydr[1];
  // Node 1 receives nothing from above and passes K on below: (K - K/2) / DZ = K.
  EXPECT_DOUBLE_EQ(m->G_Schwer[1], K);
  for (int j = 2; j <= 15; ++j) EXPECT_EQ(m->G_Schwer[j], 0.0) << j;
  EXPECT_EQ(m->G_Schwer[16], 0.0);
}

TEST_F(Feuchtesaeule, UebersaettigungWirdAbgeschnittenTrockenheitNur) {
  Gleichfoermig(0.2);
  m->Theta[4] = 0.55;
  m->Theta[6] = 0.0;
  m->Theta[7] = -0.01;
  UpdateBodenHydraulik(*m);
  EXPECT_EQ(m->Theta[4], 0.4);  // clipped to saturation
  EXPECT_NEAR(m->K_Hydr[4], 5e-6 * 3600, 1e-15);
  EXPECT_EQ(m->Theta[6], 0.0);  // dry nodes are only evaluated as 1e-4
  EXPECT_EQ(m->Theta[7], -0.01);
  EXPECT_EQ(m->K_Hydr[6], m->K_Hydr[7]);
  EXPECT_TRUE(std::isfinite(m->D_Hydr[7]));
  EXPECT_GT(m->D_Hydr[7], 0);
}

// ---- Sub-steps ------------------------------------------------------------------

TEST_F(Feuchtesaeule, OhneEintragVerliertDieSaeuleGenauDenSchwerkraftabfluss) {
  Gleichfoermig(0.3);
  UpdateBodenHydraulik(*m);
  const Schichten alt = m->Theta;
  const double abfluss = m->G_Schwer[1];
  FeuchteSchritt(*m, 10, 5, 1.0, 0, 0);

  // The interior nodes 1..15 change by the source plus what enters through the
  // face to the fixed node 16: E15 (theta16 - theta15).
  const double E15 = static_cast<float>(0.5 * (m->D_Hydr[15] + m->D_Hydr[16]) / (DZ * DZ));
  const double zuflussUnten = E15 * (m->Theta[16] - m->Theta[15]);
  double aenderung = 0;
  for (int k = 1; k <= 15; ++k) aenderung += m->Theta[k] - alt[k];
  EXPECT_NEAR(aenderung, -abfluss + zuflussUnten, 1e-9 * abfluss);
  // The deficit starts at node 1 and hardly reaches the bottom in one step.
  EXPECT_LT(std::fabs(zuflussUnten), 1e-6 * abfluss);
  EXPECT_LT(m->Theta[1], alt[1]);
  for (int k = 2; k <= 15; ++k) EXPECT_LE(m->Theta[k], alt[k]) << k;
  EXPECT_EQ(m->Theta[16], alt[16]);
  EXPECT_LT(Summe(1, 16), 16 * 0.3);
}

TEST_F(Feuchtesaeule, OberflaecheHatKeinenGradienten) {
  Gleichfoermig(0.25);
  m->Theta[3] = 0.35;
  for (int i = 0; i < 5; ++i) {
    UpdateBodenHydraulik(*m);
    FeuchteSchritt(*m, 100, i, 1.0, 1.5f, 0.1f);
    EXPECT_EQ(m->Theta[0], m->Theta[1]) << i;
  }
}

// A soil that neither conducts nor diffuses water: the input stays where it lands.
class StarreSaeule : public Feuchtesaeule {
 protected:
  void SetUp() override {
    Feuchtesaeule::SetUp();
    m->Boeden[1].KSat = 0;
  }
};

TEST_F(StarreSaeule, NiederschlagGehtZuGleichenTeilenInKnotenEinsUndZwei) {
  Gleichfoermig(0.35);  // above ThetaRef 0.3: no reduction
  Stunde(1, 0, 2.0f, 0.0f);
  // 2 mm shared by the two top layers of 0.5 m: 1 mm in 0.5 m of soil each.
  EXPECT_NEAR(m->Theta[1] - 0.35, 0.002, 1e-12);
  EXPECT_NEAR(m->Theta[2] - 0.35, 0.002, 1e-12);
  EXPECT_EQ(m->Theta[3], 0.35);
}

TEST_F(StarreSaeule, JederTeilschrittBekommtSeinenTeilDesWassers) {
  for (int schritt : {1800, 600, 60, 1}) {
    SCOPED_TRACE(schritt);
    m->FeuchteZeitschritt = schritt;
    Gleichfoermig(0.35);
    const int n = 3600 / schritt;
    UpdateBodenHydraulik(*m);
    FeuchteSchritt(*m, 1, 0, 1.0, 2.0f, 0.5f);
    EXPECT_NEAR(m->Theta[1] - 0.35, 0.0015 / n, 1e-14);
    for (int i = 1; i < n; ++i) {
      UpdateBodenHydraulik(*m);
      FeuchteSchritt(*m, 1, 0, 1.0, 2.0f, 0.5f);
    }
    EXPECT_NEAR(m->Theta[1] - 0.35, 0.0015, 1e-12);
  }
}

TEST_F(StarreSaeule, TrockeneOberschichtMindertEintragUndVerdunstung) {
  const int h = StundenIndex(3, 14);
  m->Klima[h].p_Verd_mm = 0.4f;
  Gleichfoermig(0.15);  // half of ThetaRef
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 3, 14, 1.0, 2.0f, 0.0f);
  EXPECT_NEAR(m->Theta[1] - 0.15, 0.001, 1e-12);
  EXPECT_FLOAT_EQ(m->Klima[h].r_Verd_mm, 0.2f);

  Gleichfoermig(0.3);  // at ThetaRef: no reduction
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 3, 14, 1.0, 2.0f, 0.0f);
  EXPECT_NEAR(m->Theta[1] - 0.3, 0.002, 1e-12);
  EXPECT_FLOAT_EQ(m->Klima[h].r_Verd_mm, 0.4f);
}

TEST_F(StarreSaeule, VerdunstungOhneRegenTrocknetDieOberschicht) {
  Gleichfoermig(0.35);
  Stunde(200, 13, 0.0f, 0.5f);
  EXPECT_NEAR(m->Theta[1] - 0.35, -0.0005, 1e-12);
}

TEST_F(Feuchtesaeule, FeuchtefelderDerKlimastunde) {
  for (int k = 0; k <= 16; ++k) m->Theta[k] = 0.2 + 0.01 * k;
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 365, 23, 1.0, 0, 0);
  const TKlimaStunde& k = m->Klima[Stunden];
  EXPECT_EQ(k.Eta_z1, static_cast<float>(m->Theta[1]));
  EXPECT_EQ(k.Eta_z3, static_cast<float>(m->Theta[3]));
  EXPECT_EQ(k.Eta_z5, static_cast<float>(m->Theta[5]));
  EXPECT_EQ(k.Eta_kanal, static_cast<float>(m->Theta[12]));
  EXPECT_EQ(m->Klima[Stunden - 1].Eta_z1, 0.0f);  // other hours untouched
}

TEST_F(Feuchtesaeule, VersiegelteFlaecheDraeniertNur) {
  Gleichfoermig(0.3);
  const double vorher = Summe(1, 16);
  for (int stunde = 0; stunde < 24; ++stunde) Stunde(50, stunde, 0, 0);
  EXPECT_LT(Summe(1, 16), vorher);
  EXPECT_LT(m->Theta[1], m->Theta[8]);  // drained from the top down
  for (int k = 0; k <= 16; ++k) EXPECT_GT(m->Theta[k], 0) << k;
}

TEST_F(Feuchtesaeule, UngueltigeStundeOderBodenartStuerztNichtAb) {
  Gleichfoermig(0.3);
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 0, 0, 1.0, 1, 0);
  FeuchteSchritt(*m, 366, 24, 1.0, 1, 0);
  m->RohrZeile = 40;
  FeuchteSchritt(*m, 1, 0, 1.0, 1, 0);
  const Schichten vorher = m->Theta;
  m->Bodenart = MaxBoeden + 1;
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 1, 0, 1.0, 1, 0);
  EXPECT_EQ(m->Theta, vorher);
}

}  // namespace
}  // namespace terval
