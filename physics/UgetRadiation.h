// Solar position, clear-sky irradiance through a Rayleigh and aerosol
// atmosphere, and long-wave sky radiation.
#pragma once

#include <string_view>

namespace terval {

struct Modell;

// Sets Deklination, SonnenHoehe and SonnenAzimut for a date "dd.mm.yyyy" and a
// clock time "hh:mm" at Breitengrad/Laengengrad (clock of Bezugsmeridian).
void Sonnenstand(Modell& m, std::string_view datum, std::string_view zeit);

struct Sonnenstrahlen {
  float direkt = 0;  // direct beam on a plane normal to it, W/m2
  float diffus = 0;  // diffuse on the horizontal, W/m2
};
// Irradiance at solar elevation h, declination delta (degrees), turbidity
// beta and vapour pressure e (hPa), reduced by m.Bedeckung.
Sonnenstrahlen Sonnenstrahlung(const Modell& m, float h, float delta, float beta, float e);

// Long-wave radiation of the sky at air temperature T (degC), W/m2.
float Atmosphaerenstrahlung(float T);

// Run-start passes over the whole year.
void BerechneLangwelligeStrahlung(Modell& m);  // Lw_Str
void BerechneNettostrahlung(Modell& m);        // Net_Boden

}  // namespace terval
