#include "physics/Bodenfeuchte.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Bodentest.h"
#include "model/Vardef.h"
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

TEST_F(Feuchtesaeule, UebersaettigungWirdAbgeschnittenTrockenheitNurBewertet) {
  Gleichfoermig(0.2);
  m->Theta[4] = 0.55;
  m->Theta[7] = -0.01;
  UpdateBodenHydraulik(*m);
  EXPECT_EQ(m->Theta[4], 0.4);
  EXPECT_NEAR(m->K_Hydr[4], 5e-6 * 3600, 1e-15);
  EXPECT_EQ(m->Theta[7], -0.01);  // evaluated as 1e-4, stored unchanged
  EXPECT_GT(m->D_Hydr[7], 0);
}

// ---- Sub-steps ------------------------------------------------------------------

TEST_F(Feuchtesaeule, OhneEintragVerliertDieSaeuleGenauDenSchwerkraftabfluss) {
  Gleichfoermig(0.3);
  UpdateBodenHydraulik(*m);
  // Node 1 receives nothing from above and passes K on below: (K - K/2) / DZ = K;
  // nodes 2..15 pass on what they receive.
  const double abfluss = m->G_Schwer[1];
  EXPECT_DOUBLE_EQ(abfluss, m->K_Hydr[1]);
  for (int j = 2; j <= 16; ++j) EXPECT_EQ(m->G_Schwer[j], 0.0) << j;
  const Schichten alt = m->Theta;
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
  EXPECT_EQ(m->Theta[0], m->Theta[1]);  // zero gradient at the surface
}

// A soil that neither conducts nor diffuses water: the input stays where it lands.
class StarreSaeule : public Feuchtesaeule {
 protected:
  void SetUp() override {
    Feuchtesaeule::SetUp();
    m->Boeden[1].KSat = 0;
  }
};

TEST_F(StarreSaeule, JederTeilschrittBekommtSeinenTeilDesWassers) {
  for (int schritt : {3600, 1800, 600, 60, 1}) {
    SCOPED_TRACE(schritt);
    m->FeuchteZeitschritt = schritt;
    Gleichfoermig(0.35);  // above ThetaRef 0.3: no reduction
    const int n = 3600 / schritt;
    for (int i = 0; i < n; ++i) {
      UpdateBodenHydraulik(*m);
      FeuchteSchritt(*m, 1, 0, 1.0, 2.0f, 0.5f);
      if (i == 0) {
        EXPECT_NEAR(m->Theta[1] - 0.35, 0.0015 / n, 1e-14);
      }
    }
    // 1.5 mm net, shared by the two top layers of 0.5 m: 0.75 mm in 0.5 m of soil each.
    EXPECT_NEAR(m->Theta[1] - 0.35, 0.0015, 1e-12);
    EXPECT_NEAR(m->Theta[2] - 0.35, 0.0015, 1e-12);
    EXPECT_EQ(m->Theta[3], 0.35);
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

TEST_F(Feuchtesaeule, FeuchtefelderDerKlimastundeUndUngueltigeAufrufe) {
  for (int k = 0; k <= 16; ++k) m->Theta[k] = 0.2 + 0.01 * k;
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 365, 23, 1.0, 0, 0);
  EXPECT_EQ(m->Klima[Stunden].Eta_z3, static_cast<float>(m->Theta[3]));
  EXPECT_EQ(m->Klima[Stunden].Eta_kanal, static_cast<float>(m->Theta[12]));  // RohrZeile
  FeuchteSchritt(*m, 366, 24, 1.0, 1, 0);  // no such hour: the column still steps
  m->Bodenart = MaxBoeden + 1;             // no such soil: nothing happens
  const Schichten vorher = m->Theta;
  UpdateBodenHydraulik(*m);
  FeuchteSchritt(*m, 1, 0, 1.0, 1, 0);
  EXPECT_EQ(m->Theta, vorher);
}

}  // namespace
}  // namespace terval
