#include "physics/Bodenfeuchte.h"

#include "physics/Diffusion.h"
#include "physics/getsoildata.h"
#include "physics/maths.h"

namespace terval {

namespace {

// `merker` may be null (the model's column keeps none).
void Hydraulik(const TBodenDaten& boden, int feuchteZeitschritt, Schichten& Theta,
               Schichten& K_Hydr, Schichten& D_Hydr, Schichten& G_Schwer,
               std::array<Feuchtezustand::Knotenwerte, Zeilen>* merker) {
  const double thetaS = boden.ThetaSat;
  const double b = boden.B_Exponent;
  const double Ks = boden.KSat;
  const double psiS = boden.PsiSat;
  const float exponentK = static_cast<float>(2 * b + 3);
  const float exponentD = static_cast<float>(b + 3);

  // Campbell (1974): K = Ks (theta/theta_s)^(2b+3); with psi = psi_s (theta_s/theta)^b
  // the diffusivity D = K dpsi/dtheta = (theta/theta_s)^(b+3) (-b Ks psi_s / theta).
  for (int k = 1; k <= UntersteZeile; ++k) {
    if (Theta[k] >= thetaS) Theta[k] = thetaS;
    float theta = static_cast<float>(Theta[k]);
    // The power law has no meaning for a dry node; evaluate it just above dry.
    if (theta <= 1e-4f) theta = 1e-4f;
    // Both values depend on theta alone (pot_a_b is a pure function), so a
    // remembered pair is exact. Not with theta_s <= 0, where pot_a_b gets a
    // negative base and must report it every time.
    if (merker != nullptr && thetaS > 0 && (*merker)[k].theta == theta) {
      K_Hydr[k] = (*merker)[k].K;
      D_Hydr[k] = (*merker)[k].D;
      continue;
    }
    const float relativ = static_cast<float>(theta / thetaS);
    const float leitung = pot_a_b(relativ, exponentK);
    const float diffusion = pot_a_b(relativ, exponentD);
    K_Hydr[k] = Ks * leitung;
    D_Hydr[k] = diffusion * (-b * Ks * psiS / theta);
    if (merker != nullptr) (*merker)[k] = {theta, K_Hydr[k], D_Hydr[k]};
  }
  D_Hydr[0] = D_Hydr[1];

  // Per sub-step, so the solver runs with dt = 1.
  for (int k = 0; k <= UntersteZeile; ++k) {
    D_Hydr[k] *= feuchteZeitschritt;
    K_Hydr[k] *= feuchteZeitschritt;
  }

  // Gravity drainage: outflow through the lower face minus inflow through the
  // upper face, each the face mean of K; nothing enters node 1 from above.
  for (int j = 1; j <= UntersteZeile - 1; ++j) {
    double oben = j == 1 ? 0.0 : K_Hydr[j - 1];
    double unten = K_Hydr[j + 1];
    if (oben == -1) oben = 0;
    if (unten == -1) unten = 0;
    G_Schwer[j] = (0.5 * (unten + K_Hydr[j]) - 0.5 * (K_Hydr[j] + oben)) / DZ;
  }
  G_Schwer[UntersteZeile] = 0;
}

float Schritt(const TBodenDaten& boden, int feuchteZeitschritt, double dt, float N, float E,
              Schichten& Theta, const Schichten& D_Hydr, const Schichten& G_Schwer) {
  Schichten S{};
  for (int k = 1; k <= UntersteZeile - 1; ++k) S[k] = -G_Schwer[k];

  // A top layer drier than the reference water content limits both the
  // evaporation and the water that gets in.
  const float beta = min_a_b(1.0f, static_cast<float>(Theta[1] / boden.ThetaRef));

  // Water of this sub-step in kg/m2: the hour's net input shared over its sub-steps.
  const double W =
      (static_cast<double>(N) - E) / 1000 * rho_Wasser * beta / (3600.0 / feuchteZeitschritt);
  // Spread over the top two nodes, each a layer DZ thick.
  const double zufuhr = 0.5 * W / (static_cast<double>(rho_Wasser) * DZ);
  S[1] += zufuhr;
  S[2] += zufuhr;

  Schichten neu;
  ImplizitDiffusion(DZ, 0, UntersteZeile, D_Hydr.data(), Theta.data(), S.data(), dt,
                    /*obenGradient=*/true, /*untenGradient=*/false, 0.0, 0.0, true, neu.data());
  for (int k = 1; k <= UntersteZeile; ++k) Theta[k] = neu[k];
  Theta[0] = Theta[1];
  return beta;
}

}  // namespace

void UpdateBodenHydraulik(Modell& m) {
  const TBodenDaten* boden = AktuellerBoden(m);
  if (boden == nullptr) return;
  Hydraulik(*boden, m.FeuchteZeitschritt, m.Theta, m.K_Hydr, m.D_Hydr, m.G_Schwer, nullptr);
}

void UpdateBodenHydraulik(const TBodenDaten& boden, int feuchteZeitschritt, Feuchtezustand& z) {
  Hydraulik(boden, feuchteZeitschritt, z.Theta, z.K_Hydr, z.D_Hydr, z.G_Schwer, &z.merker);
}

void FeuchteSchritt(Modell& m, int tag, int stunde, double dt, float N, float E) {
  const TBodenDaten* boden = AktuellerBoden(m);
  if (boden == nullptr) return;
  const int h = StundenIndex(tag, stunde);
  const bool stundeGueltig = tag >= 1 && tag <= 365 && stunde >= 0 && stunde <= 23;

  const float beta =
      Schritt(*boden, m.FeuchteZeitschritt, dt, N, E, m.Theta, m.D_Hydr, m.G_Schwer);

  if (stundeGueltig) {
    TKlimaStunde& k = m.Klima[h];
    // The record's own potential evaporation, whatever the surface lets in.
    k.r_Verd_mm = k.p_Verd_mm * beta;
    k.Eta_z1 = static_cast<float>(m.Theta[1]);
    k.Eta_z3 = static_cast<float>(m.Theta[3]);
    k.Eta_z5 = static_cast<float>(m.Theta[5]);
    if (m.RohrZeile >= 0 && m.RohrZeile <= UntersteZeile)
      k.Eta_kanal = static_cast<float>(m.Theta[m.RohrZeile]);
  }
}

float FeuchteSchritt(const TBodenDaten& boden, int feuchteZeitschritt, double dt, float N, float E,
                     Feuchtezustand& z) {
  return Schritt(boden, feuchteZeitschritt, dt, N, E, z.Theta, z.D_Hydr, z.G_Schwer);
}

}  // namespace terval
