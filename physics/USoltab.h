// The extraterrestrial solar spectrum: 63 pairs (wavelength um, irradiance kW/(m2 um)).
#pragma once

#include <array>

namespace terval {

struct Spektralwert {
  float lambda;  // um
  float E;       // kW/(m2 um)
};

extern const std::array<Spektralwert, 63> SolarSpektrum;

}  // namespace terval
