// The one-dimensional soil moisture model (Campbell 1974 retention and
// conductivity), solved implicitly on sub-steps of FeuchteZeitschritt.
#pragma once

namespace terval {

struct Modell;

// K_Hydr, D_Hydr, G_Schwer from Theta; clips Theta above saturation.
void UpdateBodenHydraulik(Modell& m);
// One sub-step of the hour (tag 1..365, stunde 0..23) with precipitation N and
// potential evaporation E in mm; dt is always 1.
void FeuchteSchritt(Modell& m, int tag, int stunde, double dt, float N, float E);

}  // namespace terval
