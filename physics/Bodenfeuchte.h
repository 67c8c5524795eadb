// The one-dimensional soil moisture model: a column of 17 nodes DZ apart,
// Campbell (1974) conductivity and diffusivity, gravity drainage as a source
// term, solved implicitly on sub-steps of FeuchteZeitschritt seconds.
#pragma once

namespace terval {

struct Modell;

// K_Hydr, D_Hydr (per sub-step length) and G_Schwer from Theta of soil
// Bodenart; lowers Theta values above saturation to ThetaSat.
void UpdateBodenHydraulik(Modell& m);
// One sub-step of the hour (tag 1..365, stunde 0..23) with precipitation N and
// potential evaporation E in mm per hour; dt is always 1 (the coefficients
// already carry the sub-step length). Writes Theta and the hour's r_Verd_mm,
// Eta_z1, Eta_z3, Eta_z5 and Eta_kanal.
void FeuchteSchritt(Modell& m, int tag, int stunde, double dt, float N, float E);

}  // namespace terval
