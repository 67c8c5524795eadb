// Soil types (SOILS.DAT) and the thermal properties of moist soil.
#pragma once

#include <optional>
#include <string>

namespace terval {

struct Modell;
struct TBodenDaten;

// Reads SOILS.DAT at `pfad` into Boeden/AnzBoeden; false when it cannot be opened.
bool GetSoilData(Modell& m, const std::string& pfad);

struct Bodenthermik {
  float lambda = 0;  // conductivity, W/(m K)
  float C = 0;       // heat capacity, J/(m3 K)
  float a = 0;       // diffusivity, m2/s
};
// Thermal properties of soil `b` at volumetric water content theta > 0.
Bodenthermik Waermeleitfaehigkeit(const TBodenDaten& b, float theta);

// Start moisture m (% of saturation) into Theta and the climate year's Eta fields.
void InitFeuchteProfil(Modell& m, float prozent);
// Lambda, K_Schicht and the grid's diffusivity fields from Theta.
void UpdateBodenThermik(Modell& m);

// Preview line of the location dialog for soil 1..AnzBoeden and a typed
// start moisture; nothing when the rules show nothing.
std::optional<std::string> BodenVorschau(const Modell& m, int boden, const std::string& eingabe);

}  // namespace terval
