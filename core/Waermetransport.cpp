// Heat conduction in the soil: the mean temperatures, the 1-D spin-up of the
// start profile and the explicit 2-D step of a segment's cross-section.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Cor_mod.h"

namespace terval {

namespace {

// Columns 0..n of the current grid, never beyond the store.
int LetzteSpalteImStore(const Modell& m) { return std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1); }

}  // namespace

void CalcMitteltemperaturen(Modell& m) {
  const auto& T = m.Segmente[1].T_ein;
  float jahr = 0;
  for (int h = 1; h <= Stunden; ++h) jahr += T[h];
  // Days 166..225: hours 3961..5400.
  float sommer = 0;
  for (int h = StundenIndex(166, 0); h <= StundenIndex(225, 23); ++h) sommer += T[h];
  m.T_Jahresmittel = jahr / 8760.0f;
  m.T_Sommermittel = sommer / 1440.0f;
}

float T_Jahresgang(const Modell& m, int d) {
  // t = d * 86400 - 1.5768e7 s (relative to day 182.5, a whole number);
  // T = cos(2 pi t / 3.1536e7) (T_Sommermittel - T_Jahresmittel) + T_Jahresmittel
  const double t = static_cast<double>(d) * 86400.0 - 1.5768e7;
  const double amplitude = static_cast<double>(m.T_Sommermittel) - m.T_Jahresmittel;
  return static_cast<float>(std::cos(2.0 * std::numbers::pi * t / 3.1536e7) * amplitude +
                            m.T_Jahresmittel);
}

void ProfilSchritt(Modell& m, double dt, double T_unten, double T_oben) {
  auto& H = m.T_ProfilHilf;
  H[0] = T_oben;
  H[UntersteZeile] = T_unten;
  for (int i = 1; i < UntersteZeile; ++i) H[i] = m.T_Profil[i];

  const double dz2 = static_cast<double>(DZ) * DZ;
  const auto& K = m.K_Zelle[0];
  // T'[i] = ((T[i-1] - T[i]) k_o / dz^2 - (T[i] - T[i+1]) k_u / dz^2) dt + T[i],
  // k_o, k_u the means of the node diffusivities across the upper and lower face
  for (int i = 1; i < UntersteZeile; ++i) {
    const double k_o = (static_cast<double>(K[i - 1]) + K[i]) / 2.0;
    const double k_u = (static_cast<double>(K[i]) + K[i + 1]) / 2.0;
    m.T_Profil[i] = ((H[i - 1] - H[i]) * k_o / dz2 - (H[i] - H[i + 1]) * k_u / dz2) * dt + H[i];
  }
  m.T_Profil[0] = T_oben;
  m.T_Profil[UntersteZeile] = T_unten;
}

void InitTProfil(Modell& m) {
  m.T_Profil.fill(m.T_Jahresmittel);
  // Each day's surface value is held for 24 x 61 hourly steps. This is not
  // the periodic state of the annual wave (that would need one step per
  // hour); it is the start profile every segment begins from.
  for (int d = 1; d <= 365; ++d) {
    const float T_s = T_Jahresgang(m, d);
    for (int stunde = 0; stunde < 24; ++stunde)
      for (int wiederholung = 0; wiederholung < 61; ++wiederholung)
        ProfilSchritt(m, 3600.0, m.T_Jahresmittel, T_s);
  }
}

void InitTFeld(Modell& m) {
  const int n = LetzteSpalteImStore(m);
  for (int c = 0; c <= n; ++c)
    for (int r = 0; r <= UntersteZeile; ++r) m.T_Feld[c][r] = static_cast<float>(m.T_Profil[r]);
}

void WaermeSchritt(Modell& m, float T_re, float T_li, float T_wand, float T_unten, float T_oben,
                   float dt) {
  const int n = LetzteSpalteImStore(m);
  auto& T = m.T_Feld;
  const auto& typ = m.ZellTyp;

  // Fixed values: surface, bottom, cellar walls, pipes.
  for (int c = 0; c <= n; ++c) {
    T[c][0] = T_oben;
    T[c][UntersteZeile] = T_unten;
  }
  for (int r = 0; r < UntersteZeile; ++r) {
    if (typ[0][r] == 1) T[0][r] = T_li;
    if (typ[n][r] == 1) T[n][r] = T_re;
  }
  for (int c = 1; c <= n - 1; ++c)
    for (int r = 1; r < UntersteZeile; ++r)
      if (typ[c][r] == 1) T[c][r] = T_wand;

  // Finite volume of one soil cell; the gradients use the distance to the
  // neighbour's centre (half a cell to a pipe or wall surface), the flux
  // difference the full cell size:
  // T' = dt/DX (K_W Grad_W - K_O Grad_O) + T + dt/DZ (K_N Grad_N - K_S Grad_S)
  const float dt_dx = dt / DX;
  const float dt_dz = dt / DZ;
  for (int r = 1; r < UntersteZeile; ++r)
    for (int c = 1; c <= n - 1; ++c) {
      if (typ[c][r] != 0) {
        m.T_Neu[c][r] = T_wand;
        continue;
      }
      const float gw = (T[c - 1][r] - T[c][r]) / m.D_W[c][r];
      const float go = (T[c][r] - T[c + 1][r]) / m.D_O[c][r];
      const float gn = (T[c][r - 1] - T[c][r]) / m.D_N[c][r];
      const float gs = (T[c][r] - T[c][r + 1]) / m.D_S[c][r];
      m.Grad_W[c][r] = gw;
      m.Grad_O[c][r] = go;
      m.Grad_N[c][r] = gn;
      m.Grad_S[c][r] = gs;
      m.T_Neu[c][r] = dt_dx * (m.K_W[c][r] * gw - m.K_O[c][r] * go) + T[c][r] +
                      dt_dz * (m.K_N[c][r] * gn - m.K_S[c][r] * gs);
    }

  for (int c = 0; c <= n; ++c) {
    m.T_Neu[c][0] = T_oben;
    m.T_Neu[c][UntersteZeile] = T_unten;
  }
  // Sides without a building pass no heat: the edge column mirrors its
  // inner neighbour.
  for (int r = 1; r < UntersteZeile; ++r) {
    m.T_Neu[0][r] = typ[0][r] == 1 ? T_li : m.T_Neu[1][r];
    m.T_Neu[n][r] = typ[n][r] == 1 ? T_re : m.T_Neu[n - 1 < 0 ? 0 : n - 1][r];
  }
}

}  // namespace terval
