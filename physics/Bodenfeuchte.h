// The one-dimensional soil moisture model: a column of 17 nodes DZ apart,
// Campbell (1974) conductivity and diffusivity, gravity drainage as a source
// term, solved implicitly on sub-steps of FeuchteZeitschritt seconds.
#pragma once

#include <array>
#include <limits>

#include "model/Vardef.h"

namespace terval {

// K_Hydr, D_Hydr (per sub-step length) and G_Schwer from Theta of soil
// Bodenart; lowers Theta values above saturation to ThetaSat.
void UpdateBodenHydraulik(Modell& m);
// One sub-step of the hour (tag 1..365, stunde 0..23) with precipitation N and
// potential evaporation E in mm per hour; dt is always 1 (the coefficients
// already carry the sub-step length). Writes Theta and the hour's r_Verd_mm,
// Eta_z1, Eta_z3, Eta_z5 and Eta_kanal.
void FeuchteSchritt(Modell& m, int tag, int stunde, double dt, float N, float E);

// The moisture column on its own, outside the model: the run follows one
// such column per kind of surface and replays it for every segment.
struct Feuchtezustand {
  Schichten Theta{};     // water content per node, m3/m3
  Schichten K_Hydr{};    // hydraulic conductivity x sub-step, m; [0] stays 0
  Schichten D_Hydr{};    // water diffusivity x sub-step, m2
  Schichten G_Schwer{};  // gravity drainage per sub-step, [1..16]; [16] = 0

  // The hydraulic values of the last water content of each node, before
  // the sub-step factor. At short sub-steps most nodes keep their
  // single-precision water content from one step to the next, and the values
  // are then reused. Valid for one soil; NaN = nothing remembered.
  struct Knotenwerte {
    float theta = std::numeric_limits<float>::quiet_NaN();  // as evaluated (>= 1e-4)
    double K = 0;  // Ks (theta/theta_s)^(2b+3), m/s
    double D = 0;  // (theta/theta_s)^(b+3) (-b Ks psi_s / theta), m2/s
  };
  std::array<Knotenwerte, Zeilen> merker{};
};

// UpdateBodenHydraulik on a column of its own, soil `boden`, sub-steps of
// `feuchteZeitschritt` s. Same arithmetic as the model's routine.
void UpdateBodenHydraulik(const TBodenDaten& boden, int feuchteZeitschritt, Feuchtezustand& z);
// The Theta update of FeuchteSchritt on a column of its own. Returns the
// evaporation reduction beta of the sub-step (r_Verd_mm = p_Verd_mm beta);
// the caller records the climate fields.
float FeuchteSchritt(const TBodenDaten& boden, int feuchteZeitschritt, double dt, float N, float E,
                     Feuchtezustand& z);

}  // namespace terval
