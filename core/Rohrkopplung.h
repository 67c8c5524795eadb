// The energy-conserving pipe coupling (option Luftoptionen::Energieerhaltend).
//
// The pipe cells are ordinary cells of the soil step; the air in the pipes
// is a sink (or source) that takes from them, each hour and segment, exactly
// the heat it gains. Along the segment the air approaches the temperature of
// the pipe node exponentially:
//   T_aus = T_node + (T_in - T_node) exp(-UA / (1200 V)),
// UA the conductance of one pipe from the air to the point the node's
// temperature stands for.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "core/Cor_mod.h"

namespace terval {

// What the coupling needs of a segment's pipes, fixed for the year.
//
// Blockknoten: every pipe cell of the segment (a pipe of several cells, or
// the pipes of a register) belongs to one node. Its temperature is the
// heat-capacity weighted mean of the cells, and the sink lowers every cell
// by the same amount, so the heat taken from the cells is exactly the sink
// times the step while the grid's own faces go on carrying heat between
// the cells and their soil.
struct Rohrknoten {
  // Pipe cells of columns 1..n-1, rows 1..15, as column, row.
  std::array<std::array<int8_t, 2>, MaxSpalten * Zeilen> zellen{};
  int anz = 0;
  int rohre = 0;        // pipes of the segment (Anz_Rohre, at least 1)
  int zeile = 0;        // row of the pipe axis
  double R = 0;         // outer radius, m
  double L = 0;         // segment length, m
  double U_w = 0;       // wall conductance over the outer surface, W/(m2 K)
  // Conduction from the pipe surface to the cell centre, times the soil's
  // conductivity, per metre: ln(r_e / R) / (2 pi) for a pipe of a single
  // cell with Peaceman's equivalent radius r_e = 0.2 DX of a square cell in
  // the five-point step, while r_e > R; 0 otherwise (for a block, the grid's
  // face into the block's outer cells already spans the half cell to the
  // pipe surface).
  double peaceman = 0;
};

// Turns the pipe cells of the grid InitGrid has just built for segment s
// into soil cells: ZellTyp 0 and full-cell distances on every face that
// reaches them (the half cell belongs to the fixed-wall model). RegisterBox
// stays as it is. Call before the soil properties fill the face arrays.
Rohrknoten OeffneRohrzellen(Modell& m, int s);

// Marks the node's cells solid again, for the grid picture after the run.
void SchliesseRohrzellen(Modell& m, const Rohrknoten& k);

// UA of one pipe over the segment, W/K, for the air-side coefficient alpha
// and the soil conductivity lambda of the pipe row; the series
//   1 / UA = (1/alpha + 1/U_w) / (2 pi R L) + peaceman / (lambda L),
// every part positive.
double RohrLeitwert(const Rohrknoten& k, double alpha, double lambda);

// The soil of the pipe rows in an hour: conductivity (W/(m K)) and the
// face diffusivities of the heat step; C = lambda / K.
struct Rohrboden {
  const float* lambda = nullptr;  // per row, 0..16
  const Zeilendiffusivitaet* k = nullptr;
};

// One hour of the coupling, its sub-steps summed.
struct Koppelstunde {
  float T_aus = 0;      // outlet air, mean over the sub-steps, degC
  double Q = 0;         // heat into the air of all pipes, W (negative: into the soil)
  double Q_wand = 0;    // heat released at the wall into the soil, W
  int teilschritte = 1;
};

namespace kopplung {
struct Vorbereitung {
  double kapazitaet = 0;  // sum of C DX DZ L over the node's cells, J/K
  double G = 0;           // 1200 V rohre (1 - exp(-NTU)), W/K: Q = G (T_node - T_in)
  int teilschritte = 1;
};
// Capacity, air conductance and sub-steps of an hour of dt seconds.
//
// Stability of the explicit step in a node cell: the new value is
//   T' = T (1 - dt (K_W + K_O) / DX^2 - dt (K_N + K_S) / DZ^2 - dt G C_i / Cap^2) + ...
// with C_i / Cap <= 1 / (DX DZ L), so every coefficient stays >= 0 when
//   dt (2 K_W / DX^2 + (K_N + K_S) / DZ^2 + G / Cap) <= 1.
// The hour is cut into as many sub-steps as that sum asks for.
Vorbereitung Bereite(const Rohrknoten& k, const Rohrboden& b, double UA, float V, float dt);
double Knotentemperatur(const Modell& m, const Rohrknoten& k, const Rohrboden& b);
void Senke(Modell& m, const Rohrknoten& k, double Q, double kapazitaet, float dt);
void Uebernehme(Modell& m);
}  // namespace kopplung

// One hour of dt seconds of segment-wide coupling: air flow V (m3/s per
// pipe; at most 0 passes unchanged), inlet T_in, pipe conductance UA (W/K,
// one pipe). `schritt(dt)` is the heat step of the soil, from T_Feld into
// T_Neu, with the pipe cells open; the sink follows it and T_Neu becomes
// T_Feld after each sub-step. `wand(T_node, Q, dt)` returns the heat (W)
// released at the wall in a sub-step, which goes into the soil with the
// sink (the latent heat of condensation).
template <class Schritt, class Wand>
Koppelstunde KoppelStunde(Modell& m, const Rohrknoten& k, const Rohrboden& b, double UA, float V,
                          float T_in, float dt, Schritt&& schritt, Wand&& wand) {
  const kopplung::Vorbereitung v = kopplung::Bereite(k, b, UA, V, dt);
  const float dt_t = dt / static_cast<float>(v.teilschritte);
  Koppelstunde st;
  st.teilschritte = v.teilschritte;
  double summeAus = 0;
  for (int i = 0; i < v.teilschritte; ++i) {
    const double T_node = kopplung::Knotentemperatur(m, k, b);
    const double Q = v.G * (T_node - T_in);
    const double Q_wand = wand(T_node, Q, dt_t);
    summeAus += v.G > 0 ? T_in + Q / (1200.0 * V * k.rohre) : T_in;
    schritt(dt_t);
    kopplung::Senke(m, k, Q - Q_wand, v.kapazitaet, dt_t);
    kopplung::Uebernehme(m);
    st.Q += Q;
    st.Q_wand += Q_wand;
  }
  st.Q /= v.teilschritte;
  st.Q_wand /= v.teilschritte;
  st.T_aus = static_cast<float>(summeAus / v.teilschritte);
  return st;
}

template <class Schritt>
Koppelstunde KoppelStunde(Modell& m, const Rohrknoten& k, const Rohrboden& b, double UA, float V,
                          float T_in, float dt, Schritt&& schritt) {
  return KoppelStunde(m, k, b, UA, V, T_in, dt, schritt, [](double, double, float) { return 0.0; });
}

}  // namespace terval
