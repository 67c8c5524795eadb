// The energy-conserving pipe coupling: the pipe cells as ordinary cells of
// the soil step and the air as their sink.
#include "core/Rohrkopplung.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace terval {

namespace {

constexpr double Pi = std::numbers::pi;

// Peaceman's equivalent radius of a square cell in the five-point step: the
// cell's temperature is the steady radial field's value at r_e ~ 0.2 DX.
constexpr double Aequivalenzradius = 0.2 * DX;

}  // namespace

Rohrknoten OeffneRohrzellen(Modell& m, int s) {
  const Kanalsegment& seg = m.Segmente[std::clamp(s, 1, MaxSegmente)];
  const int t = seg.Anz_Rohre == 1 ? 1 : 2;
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  Rohrknoten k;
  k.rohre = std::max(seg.Anz_Rohre, 1);
  k.zeile = std::clamp(m.RohrZeile, 0, static_cast<int>(UntersteZeile));
  k.R = m.Rohrdaten.Rohr_Ra[t];
  k.L = m.Rohrdaten.Seglaenge;
  k.U_w = static_cast<double>(m.Rohrdaten.Rohr_wlf[t]) / m.Rohrdaten.Rohr_Dicke[t];
  if (m.RohrZellRadius < 1 && Aequivalenzradius > k.R)
    k.peaceman = std::log(Aequivalenzradius / k.R) / (2.0 * Pi);

  for (int c = 1; c <= n - 1; ++c)
    for (int r = 1; r < UntersteZeile; ++r)
      if (m.ZellTyp[c][r] == 1) {
        k.zellen[k.anz++] = {static_cast<int8_t>(c), static_cast<int8_t>(r)};
        m.ZellTyp[c][r] = 0;
      }
  // Every face of an inner cell now joins two cell centres a full cell apart,
  // except the faces onto a cellar wall, which keep their half cell.
  for (int c = 1; c <= n - 1; ++c)
    for (int r = 1; r < UntersteZeile; ++r) {
      if (m.ZellTyp[c][r] != 0) continue;
      m.D_W[c][r] = m.ZellTyp[c - 1][r] == 0 ? DX : DX / 2;
      m.D_O[c][r] = m.ZellTyp[c + 1][r] == 0 ? DX : DX / 2;
      m.D_N[c][r] = m.ZellTyp[c][r - 1] == 0 ? DZ : DZ / 2;
      m.D_S[c][r] = m.ZellTyp[c][r + 1] == 0 ? DZ : DZ / 2;
    }
  return k;
}

void SchliesseRohrzellen(Modell& m, const Rohrknoten& k) {
  for (int i = 0; i < k.anz; ++i) m.ZellTyp[k.zellen[i][0]][k.zellen[i][1]] = 1;
}

double RohrLeitwert(const Rohrknoten& k, double alpha, double lambda) {
  const double kehr = (1.0 / alpha + 1.0 / k.U_w) / (2.0 * Pi * k.R * k.L) + k.peaceman / (lambda * k.L);
  return 1.0 / kehr;
}

namespace kopplung {

Vorbereitung Bereite(const Rohrknoten& k, const Rohrboden& b, double UA, float V, float dt) {
  Vorbereitung v;
  double steif = 0;  // largest 2 K_W / DX^2 + (K_N + K_S) / DZ^2 of a node cell, 1/s
  for (int i = 0; i < k.anz; ++i) {
    const int r = k.zellen[i][1];
    v.kapazitaet += b.lambda[r] / static_cast<double>(b.k->W[r]);
    steif = std::max(steif, 2.0 * b.k->W[r] / (DX * DX) + (static_cast<double>(b.k->N[r]) + b.k->S[r]) / (DZ * DZ));
  }
  v.kapazitaet *= static_cast<double>(DX) * DZ * k.L;
  if (V > 0.0f && UA > 0.0 && v.kapazitaet > 0.0) {
    const double W = 1200.0 * V * k.rohre;  // heat capacity flow of the air, W/K
    v.G = W * -std::expm1(-UA * k.rohre / W);
    v.teilschritte = std::max(1, static_cast<int>(std::ceil(dt * (steif + v.G / v.kapazitaet))));
  }
  return v;
}

double Knotentemperatur(const Modell& m, const Rohrknoten& k, const Rohrboden& b) {
  double summe = 0, c = 0;
  for (int i = 0; i < k.anz; ++i) {
    const int r = k.zellen[i][1];
    const double C = b.lambda[r] / static_cast<double>(b.k->W[r]);
    summe += C * m.T_Feld[k.zellen[i][0]][r];
    c += C;
  }
  return c > 0 ? summe / c : 0.0;
}

void Senke(Modell& m, const Rohrknoten& k, double Q, double kapazitaet, float dt) {
  if (Q == 0.0) return;
  const float dT = static_cast<float>(-Q * dt / kapazitaet);
  for (int i = 0; i < k.anz; ++i) m.T_Neu[k.zellen[i][0]][k.zellen[i][1]] += dT;
}

void Uebernehme(Modell& m) {
  const int n = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  std::memcpy(m.T_Feld.data(), m.T_Neu.data(), static_cast<size_t>(n + 1) * sizeof(m.T_Feld[0]));
}

}  // namespace kopplung
}  // namespace terval
