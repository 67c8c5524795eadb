// Soil types (SOILS.DAT) and the thermal properties of moist soil.
//
// Conductivity from the matric potential, lambda = 419 exp(-(2.7 + pF)) W/(m K)
// for pF <= 5.1 and 0.172 above (McCumber & Pielke 1981, J. Geophys. Res. 86,
// 9929); the potential from the retention curve psi = psi_s (theta_s/theta)^b
// (Campbell 1974, Soil Sci. 117, 311; Clapp & Hornberger 1978); heat capacity
// of solids and water by volume fractions (de Vries 1963).
#pragma once

#include <optional>
#include <string>

#include "model/Vardef.h"

namespace terval {

// Reads SOILS.DAT at `pfad` into Boeden/AnzBoeden; false when it cannot be
// opened (the table is then unchanged). Two header lines are skipped, then
// one soil per line in fixed columns, at most MaxBoeden; a field that is not a
// number reads as 0. An openable file always yields at least one soil.
bool GetSoilData(Modell& m, const std::string& pfad);

// Thermal properties of a soil at one water content.
struct Bodenthermik {
  float lambda = 0;  // conductivity, W/(m K)
  float C = 0;       // volumetric heat capacity, J/(m3 K)
  float a = 0;       // diffusivity lambda / C, m2/s
};
// Thermal properties of soil `b` at volumetric water content theta > 0 (m3/m3).
Bodenthermik Waermeleitfaehigkeit(const TBodenDaten& b, float theta);

// The soil `Bodenart` of a run; nullptr when Bodenart is outside 1..MaxBoeden
// (the routines below then leave the model as it is).
const TBodenDaten* AktuellerBoden(const Modell& m);

// Start moisture `prozent` (% of ThetaSat) into Theta[0..16] and into
// Eta_z1/Eta_z3/Eta_z5 of every hour of the climate year.
void InitFeuchteProfil(Modell& m, float prozent);
// Lambda, K_Schicht and the grid's K_Zelle and face diffusivities K_W, K_O,
// K_N, K_S from Theta. Theta above ThetaSat counts as saturated and a negative
// one as 1e-5; Theta itself is not changed.
void UpdateBodenThermik(Modell& m);

// The per-layer parts of the two routines above, for a moisture column kept
// outside the model: the start profile of InitFeuchteProfil, and Lambda
// (W/(m K)) and K_Schicht (m2/s) of every layer as UpdateBodenThermik sets them.
void StartFeuchteProfil(const TBodenDaten& b, float prozent, Schichten& Theta);
void Schichtthermik(const TBodenDaten& b, const Schichten& Theta, Schichten& Lambda,
                    Schichten& K_Schicht);

// Preview line of the location dialog for soil 1..AnzBoeden and a typed start
// moisture in % of saturation (below 10 counts as 10): "Wlf= 1.23 [W/mK],
// Tlf=0.45 *10-6 [m²/s]". Nothing for another soil number, a text that is not
// a number, or more than 100 %.
std::optional<std::string> BodenVorschau(const Modell& m, int boden, const std::string& eingabe);

// The explicit heat step (3600 s, DX = DZ = 0.5 m) stays stable while
//   dt/DX (K_W/D_W + K_O/D_O) + dt/DZ (K_N/D_N + K_S/D_S) <= 1
// in every soil cell. Its strictest case is a cell with solid neighbours on
// all four sides (each distance half a cell): dt a (4/DX^2 + 4/DZ^2) <= 1,
// a <= 8.68e-6 m2/s. Among soil only (full distances) the limit is twice that.
inline constexpr double StabilitaetsZeitschritt = 3600.0;  // s, the fixed heat step of a run
inline constexpr double MaxStabileDiffusivitaet =
    1.0 / (StabilitaetsZeitschritt *
           (4.0 / (static_cast<double>(DX) * DX) + 4.0 / (static_cast<double>(DZ) * DZ)));

// The largest thermal diffusivity (m2/s) of soil `b` over its whole moisture
// range 1e-5..ThetaSat, evaluated as UpdateBodenThermik does. +infinity when
// some water content gives no finite, non-negative value (e.g. a soil with no
// heat capacity, like the empty record of a file without data lines).
// A soil is safe for the heat step when this is <= MaxStabileDiffusivitaet.
double MaxDiffusivitaet(const TBodenDaten& b);
// The largest conductivity lambda (W/(m K)) of soil `b` over the same range,
// as UpdateBodenThermik puts it into Lambda; +infinity as above.
double MaxWaermeleitfaehigkeit(const TBodenDaten& b);

}  // namespace terval
