// Solar position, clear-sky irradiance through a Rayleigh and aerosol
// atmosphere, and long-wave sky radiation.
//
// Solar position from simplified almanac formulas (mean anomaly, ecliptic
// longitude, equation of time); Rayleigh optical depth 0.00816 lambda^-4 and
// the aerosol depth beta lambda^-1.3 of Angstrom (1929), integrated over the
// extraterrestrial spectrum; clear-sky emissivity of Idso & Jackson (1969),
// J. Geophys. Res. 74, 5397.
#pragma once

#include <string_view>

namespace terval {

struct Modell;

// Day of the year 1..365 (366 on 31.12 of a year divisible by 4):
// Int(275 M / 9) - K Int((M + 9) / 12) + D - 30, K = 1 when the year is
// divisible by 4, else 2.
int Jahrestag(int tag, int monat, int jahr);

// Sets Deklination, SonnenHoehe and SonnenAzimut (degrees; azimuth clockwise
// from north, 180 = south) for a date "dd.mm.yyyy" and a clock time "hh:mm"
// at Breitengrad/Laengengrad, the clock running on Bezugsmeridian. Fields that
// are not numbers count as 0. Where the azimuth is undefined (sun in the
// zenith, or a pole) it is some finite angle in 0..360 (180 when the
// denominator of its cosine is exactly 0).
void Sonnenstand(Modell& m, std::string_view datum, std::string_view zeit);

// Irradiance of a clear or clouded sky, W/m2; both 0 at night.
struct Sonnenstrahlen {
  float direkt = 0;  // direct beam on a plane normal to it, W/m2
  float diffus = 0;  // diffuse on the horizontal, W/m2
};
// Irradiance at solar elevation h, declination delta (degrees), turbidity
// beta and vapour pressure e (hPa); the beam is reduced by m.Bedeckung
// (octas), the diffuse part is not.
Sonnenstrahlen Sonnenstrahlung(const Modell& m, float h, float delta, float beta, float e);

// Relative optical air mass at solar elevation h (degrees, h > 0):
// 1 / sin h above 10 degrees, the refraction-corrected low-sun form below.
float Luftmasse(float h);

// Long-wave radiation of the sky at air temperature T (degC), W/m2.
float Atmosphaerenstrahlung(float T);

// Run-start passes over the whole year.
void BerechneLangwelligeStrahlung(Modell& m);  // Lw_Str from T_Luft
void BerechneNettostrahlung(Modell& m);        // Net_Boden from Glob_Str, Lw_Str, T_Luft

}  // namespace terval
