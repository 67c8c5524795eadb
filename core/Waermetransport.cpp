// Heat conduction in the soil: the mean temperatures, the 1-D spin-up of the
// start profile and the explicit 2-D step of a segment's cross-section.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "core/Cor_mod.h"

namespace terval {

namespace {

// Columns 0..n of the current grid, never beyond the store.
int LetzteSpalteImStore(const Modell& m) { return std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1); }

// A positive normal float whose mantissa is 1: x / d and x * (1 / d) are
// then the same real number rounded once, so the same float.
bool IstZweierpotenz(float d) {
  const uint32_t bits = std::bit_cast<uint32_t>(d);
  const uint32_t exponent = bits >> 23;  // sign bit 0 for positive numbers
  return (bits & 0x7FFFFFu) == 0 && exponent > 0 && exponent < 0xFFu;
}

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
  // ProfilSchritt 534 360 times, with what does not change taken out of the
  // loop: the face diffusivities (K_Zelle stays as it is during the
  // spin-up), and the division by DZ^2, a power of two, which is the same
  // as multiplying by its reciprocal.
  static_assert(static_cast<double>(DZ) * DZ == 0.25, "DZ^2 must stay a power of two");
  constexpr double kehrDz2 = 1.0 / (static_cast<double>(DZ) * DZ);
  const auto& K = m.K_Zelle[0];
  double k_o[UntersteZeile], k_u[UntersteZeile];
  for (int i = 1; i < UntersteZeile; ++i) {
    k_o[i] = (static_cast<double>(K[i - 1]) + K[i]) / 2.0;
    k_u[i] = (static_cast<double>(K[i]) + K[i + 1]) / 2.0;
  }
  const double dt = 3600.0;
  const double T_unten = m.T_Jahresmittel;
  auto& T = m.T_Profil;

  // Each day's surface value is held for 24 x 61 hourly steps. This is not
  // the periodic state of the annual wave (that would need one step per
  // hour); it is the start profile every segment begins from.
  for (int d = 1; d <= 365; ++d) {
    const float T_s = T_Jahresgang(m, d);
    const double T_oben = T_s;
    // The very last step is ProfilSchritt itself, so its scratch copy
    // T_ProfilHilf ends as it always has.
    const int schritte = d < 365 ? 24 * 61 : 24 * 61 - 1;
    for (int schritt = 0; schritt < schritte; ++schritt) {
      // ProfilSchritt(3600, T_Jahresmittel, T_s), in place: H_oben is the
      // upper neighbour's value before this step.
      T[0] = T_oben;
      T[UntersteZeile] = T_unten;
      double H_oben = T_oben;
      for (int i = 1; i < UntersteZeile; ++i) {
        const double H = T[i];
        T[i] = ((H_oben - H) * k_o[i] * kehrDz2 - (H - T[i + 1]) * k_u[i] * kehrDz2) * dt + H;
        H_oben = H;
      }
    }
    if (d == 365) ProfilSchritt(m, dt, T_unten, T_s);
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

Zeilendiffusivitaet ZeilenDiffusivitaeten(const Schichten& K_Schicht) {
  // K_Zelle of every cell of row r is float(K_Schicht[r]); the faces are
  // UpdateBodenThermik's means of the two cells they join, written the same
  // way so that they round the same way.
  std::array<float, Zeilen> K;
  for (int r = 0; r < Zeilen; ++r) K[r] = static_cast<float>(K_Schicht[r]);
  Zeilendiffusivitaet z;
  for (int r = 1; r <= UntersteZeile - 1; ++r) {
    z.W[r] = 0.5f * (K[r] + K[r]);
    z.N[r] = 0.5f * (K[r - 1] + K[r]);
    z.S[r] = 0.5f * (K[r] + K[r + 1]);
  }
  return z;
}

bool BereiteZellen(const Modell& m, Zellgeometrie& g) {
  const int n = LetzteSpalteImStore(m);
  const auto& typ = m.ZellTyp;
  g.n = n;
  g.anzRohrzellen = g.anzWandLinks = g.anzWandRechts = 0;
  for (int r = 0; r < UntersteZeile; ++r) {
    if (typ[0][r] == 1) g.wandLinks[g.anzWandLinks++] = static_cast<int8_t>(r);
    if (typ[n][r] == 1) g.wandRechts[g.anzWandRechts++] = static_cast<int8_t>(r);
  }
  for (int c = 1; c <= n - 1; ++c)
    for (int r = 1; r < UntersteZeile; ++r) {
      if (typ[c][r] == 1) {
        g.kehrW[c][r] = g.kehrO[c][r] = g.kehrN[c][r] = g.kehrS[c][r] = 0.0f;
        g.rohrzellen[g.anzRohrzellen++] = {static_cast<int8_t>(c), static_cast<int8_t>(r)};
        continue;
      }
      if (typ[c][r] != 0) return false;  // InitGrid makes only soil and solid cells
      const float d[4] = {m.D_W[c][r], m.D_O[c][r], m.D_N[c][r], m.D_S[c][r]};
      for (float x : d)
        if (!IstZweierpotenz(x)) return false;
      g.kehrW[c][r] = 1.0f / d[0];
      g.kehrO[c][r] = 1.0f / d[1];
      g.kehrN[c][r] = 1.0f / d[2];
      g.kehrS[c][r] = 1.0f / d[3];
    }
  return true;
}

void WaermeSchrittZeilen(Modell& m, const Zellgeometrie& g, const Zeilendiffusivitaet& k,
                         float T_re, float T_li, float T_wand, float T_unten, float T_oben,
                         float dt) {
  const int n = g.n;
  auto& T = m.T_Feld;
  auto& T_Neu = m.T_Neu;

  // Fixed values, as WaermeSchritt places them: surface, bottom, cellar
  // walls, pipes.
  for (int c = 0; c <= n; ++c) {
    T[c][0] = T_oben;
    T[c][UntersteZeile] = T_unten;
  }
  for (int i = 0; i < g.anzWandLinks; ++i) T[0][g.wandLinks[i]] = T_li;
  for (int i = 0; i < g.anzWandRechts; ++i) T[n][g.wandRechts[i]] = T_re;
  for (int i = 0; i < g.anzRohrzellen; ++i) T[g.rohrzellen[i][0]][g.rohrzellen[i][1]] = T_wand;

  // T' = dt/DX (K_W Grad_W - K_O Grad_O) + T + dt/DZ (K_N Grad_N - K_S Grad_S)
  // with the gradients (neighbour - cell) * 1/D, down a column so the rows
  // run through contiguous memory. Pipe cells get a value here too (their
  // reciprocals are 0) that is replaced below.
  const float dt_dx = dt / DX;
  const float dt_dz = dt / DZ;
  for (int c = 1; c <= n - 1; ++c) {
    const auto& links = T[c - 1];
    const auto& mitte = T[c];
    const auto& rechts = T[c + 1];
    auto& neu = T_Neu[c];
    for (int r = 1; r < UntersteZeile; ++r) {
      const float t = mitte[r];
      const float gw = (links[r] - t) * g.kehrW[c][r];
      const float go = (t - rechts[r]) * g.kehrO[c][r];
      const float gn = (mitte[r - 1] - t) * g.kehrN[c][r];
      const float gs = (t - mitte[r + 1]) * g.kehrS[c][r];
      neu[r] = dt_dx * (k.W[r] * gw - k.W[r] * go) + t + dt_dz * (k.N[r] * gn - k.S[r] * gs);
    }
  }
  for (int i = 0; i < g.anzRohrzellen; ++i)
    T_Neu[g.rohrzellen[i][0]][g.rohrzellen[i][1]] = T_wand;

  for (int c = 0; c <= n; ++c) {
    T_Neu[c][0] = T_oben;
    T_Neu[c][UntersteZeile] = T_unten;
  }
  const auto& typ = m.ZellTyp;
  for (int r = 1; r < UntersteZeile; ++r) {
    T_Neu[0][r] = typ[0][r] == 1 ? T_li : T_Neu[1][r];
    T_Neu[n][r] = typ[n][r] == 1 ? T_re : T_Neu[n - 1 < 0 ? 0 : n - 1][r];
  }
}

}  // namespace terval
