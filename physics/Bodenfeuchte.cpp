#include "physics/Bodenfeuchte.h"

#include "core/Vardef.h"
#include "physics/Diffusion.h"
#include "physics/getsoildata.h"
#include "physics/maths.h"

namespace terval {

void UpdateBodenHydraulik(Modell& m) {
  const TBodenDaten* boden = AktuellerBoden(m);
  if (boden == nullptr) return;
  const double thetaS = boden->ThetaSat;
  const double b = boden->B_Exponent;
  const double Ks = boden->KSat;
  const double psiS = boden->PsiSat;

  // Campbell (1974): K = Ks (theta/theta_s)^(2b+3); with psi = psi_s (theta_s/theta)^b
  // the diffusivity D = K dpsi/dtheta = (theta/theta_s)^(b+3) (-b Ks psi_s / theta).
  for (int k = 1; k <= UntersteZeile; ++k) {
    if (m.Theta[k] >= thetaS) m.Theta[k] = thetaS;
    float theta = static_cast<float>(m.Theta[k]);
    // The power law has no meaning for a dry node; evaluate it just above dry.
    if (theta <= 1e-4f) theta = 1e-4f;
    const float relativ = static_cast<float>(theta / thetaS);
    const float leitung = pot_a_b(relativ, static_cast<float>(2 * b + 3));
    const float diffusion = pot_a_b(relativ, static_cast<float>(b + 3));
    m.K_Hydr[k] = Ks * leitung;
    m.D_Hydr[k] = diffusion * (-b * Ks * psiS / theta);
  }
  m.D_Hydr[0] = m.D_Hydr[1];

  // Per sub-step, so the solver runs with dt = 1.
  for (int k = 0; k <= UntersteZeile; ++k) {
    m.D_Hydr[k] *= m.FeuchteZeitschritt;
    m.K_Hydr[k] *= m.FeuchteZeitschritt;
  }

  // Gravity drainage: outflow through the lower face minus inflow through the
  // upper face, each the face mean of K; nothing enters node 1 from above.
  for (int j = 1; j <= UntersteZeile - 1; ++j) {
    double oben = j == 1 ? 0.0 : m.K_Hydr[j - 1];
    double unten = m.K_Hydr[j + 1];
    if (oben == -1) oben = 0;
    if (unten == -1) unten = 0;
    m.G_Schwer[j] = (0.5 * (unten + m.K_Hydr[j]) - 0.5 * (m.K_Hydr[j] + oben)) / DZ;
  }
  m.G_Schwer[UntersteZeile] = 0;
}

void FeuchteSchritt(Modell& m, int tag, int stunde, double dt, float N, float E) {
  const TBodenDaten* boden = AktuellerBoden(m);
  if (boden == nullptr) return;
  const int h = StundenIndex(tag, stunde);
  const bool stundeGueltig = tag >= 1 && tag <= 365 && stunde >= 0 && stunde <= 23;

  Schichten S{};
  for (int k = 1; k <= UntersteZeile - 1; ++k) S[k] = -m.G_Schwer[k];

  // A top layer drier than the reference water content limits both the
  // evaporation and the water that gets in.
  const float beta = min_a_b(1.0f, static_cast<float>(m.Theta[1] / boden->ThetaRef));
  if (stundeGueltig) m.Klima[h].r_Verd_mm = m.Klima[h].p_Verd_mm * beta;

  // Water of this sub-step in kg/m2: the hour's net input shared over its sub-steps.
  const double W =
      (static_cast<double>(N) - E) / 1000 * rho_Wasser * beta / (3600.0 / m.FeuchteZeitschritt);
  // Spread over the top two nodes, each a layer DZ thick.
  const double zufuhr = 0.5 * W / (static_cast<double>(rho_Wasser) * DZ);
  S[1] += zufuhr;
  S[2] += zufuhr;

  Schichten neu{};
  ImplizitDiffusion(DZ, 0, UntersteZeile, m.D_Hydr.data(), m.Theta.data(), S.data(), dt,
                    /*obenGradient=*/true, /*untenGradient=*/false, 0.0, 0.0, true, neu.data());
  for (int k = 1; k <= UntersteZeile; ++k) m.Theta[k] = neu[k];
  m.Theta[0] = m.Theta[1];

  if (stundeGueltig) {
    TKlimaStunde& k = m.Klima[h];
    k.Eta_z1 = static_cast<float>(m.Theta[1]);
    k.Eta_z3 = static_cast<float>(m.Theta[3]);
    k.Eta_z5 = static_cast<float>(m.Theta[5]);
    if (m.RohrZeile >= 0 && m.RohrZeile <= UntersteZeile)
      k.Eta_kanal = static_cast<float>(m.Theta[m.RohrZeile]);
  }
}

}  // namespace terval
