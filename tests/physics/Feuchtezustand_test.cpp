// The moisture column kept outside the model goes through the same values as
// the model's own column, sub-step by sub-step; remembering the powers of
// unchanged nodes changes nothing and swallows no error message.
#include <gtest/gtest.h>

#include <cstring>

#include "Bodentest.h"
#include "model/Vardef.h"
#include "physics/Bodenfeuchte.h"
#include "physics/getsoildata.h"
#include "physics/maths.h"
#include "support/Aufzeichner.h"

namespace terval {
namespace {

bool Gleich(const Schichten& a, const Schichten& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ErwarteGleicheSaeule(const Modell& m, const Feuchtezustand& z, int schritt) {
  ASSERT_TRUE(Gleich(m.Theta, z.Theta)) << schritt;
  ASSERT_TRUE(Gleich(m.K_Hydr, z.K_Hydr)) << schritt;
  ASSERT_TRUE(Gleich(m.D_Hydr, z.D_Hydr)) << schritt;
  ASSERT_TRUE(Gleich(m.G_Schwer, z.G_Schwer)) << schritt;
}

// Two days of 1 s steps: a wet night, a dry day with evaporation, from a
// profile with an oversaturated and a negative node.
TEST(Feuchtezustand, SameColumnAsTheModelStepByStep) {
  auto m = NeuesModell();
  m->Boeden[1] = test::Testboden();
  m->AnzBoeden = 1;
  m->Bodenart = 1;
  m->FeuchteZeitschritt = 1;
  m->RohrZeile = 4;
  InitFeuchteProfil(*m, 60.0f);
  m->Theta[6] = 0.45;
  m->Theta[9] = -0.02;
  Feuchtezustand z;
  StartFeuchteProfil(m->Boeden[1], 60.0f, z.Theta);
  z.Theta[6] = 0.45;
  z.Theta[9] = -0.02;

  for (int tag = 1; tag <= 2; ++tag)
    for (int stunde = 0; stunde < 24; stunde += 3) {
      const float N = stunde < 6 ? 2.0f : 0.0f, E = stunde >= 9 && stunde <= 15 ? 0.4f : 0.0f;
      TKlimaStunde& k = m->Klima[StundenIndex(tag, stunde)];
      k.p_Verd_mm = E;
      for (int i = 0; i < 3600; ++i) {
        UpdateBodenHydraulik(*m);
        FeuchteSchritt(*m, tag, stunde, 1.0, N, E);
        UpdateBodenHydraulik(m->Boeden[1], 1, z);
        const float beta = FeuchteSchritt(m->Boeden[1], 1, 1.0, N, E, z);
        ASSERT_EQ(k.r_Verd_mm, E * beta);
        ErwarteGleicheSaeule(*m, z, i);
      }
    }
  // The column did change: rain came in and drained.
  EXPECT_GT(z.Theta[1], 0.24);
  EXPECT_NE(z.Theta[12], 0.24);

  // And the thermal properties of both columns agree.
  Schichten lambda, k;
  Schichtthermik(m->Boeden[1], z.Theta, lambda, k);
  UpdateBodenThermik(*m);
  EXPECT_TRUE(Gleich(lambda, m->Lambda));
  EXPECT_TRUE(Gleich(k, m->K_Schicht));
}

// A soil with a negative saturated water content makes every power a
// negative base: each update reports it, the remembered values not hiding it.
TEST(Feuchtezustand, BrokenSoilReportsInEveryUpdate) {
  TBodenDaten b = test::Testboden();
  b.ThetaSat = -0.4;
  Feuchtezustand z;
  z.Theta.fill(0.2);
  test::Aufzeichner ui;
  SetzeMathsOberflaeche(&ui);
  UpdateBodenHydraulik(b, 60, z);
  const size_t einmal = ui.nachrichten.size();
  UpdateBodenHydraulik(b, 60, z);
  SetzeMathsOberflaeche(nullptr);
  EXPECT_EQ(einmal, 2u * UntersteZeile);
  EXPECT_EQ(ui.nachrichten.size(), 2 * einmal);
}

}  // namespace
}  // namespace terval
