// Psychrometrics and the Penman-Monteith potential evaporation of the
// climate year (Monteith 1965; Monteith & Unsworth, Principles of
// Environmental Physics), with Tetens' saturation vapour pressure, the bulk
// surface resistance r_l / active LAI and the hourly soil heat flux fractions
// of Allen et al. (1998), FAO Irrigation and Drainage Paper 56.
#pragma once

namespace terval {

struct Modell;

inline constexpr float r_l = 200.0f;        // stomatal resistance of a single well-lit leaf, s/m
inline constexpr float Karman = 0.41f;      // von Karman constant
inline constexpr double Luftdruck = 102.4;  // air pressure, kPa

// Saturation vapour pressure over water at T (degC), kPa (Tetens 1930):
// es = 0.6108 exp(17.27 T / (T + 237.3)).
double CalcEsat(double T);
// Slope of the saturation curve at T (degC) for the saturation pressure es,
// in the unit of es per K: es / TK (6790.5 / TK - 5.028), TK = T + 273.13 as float.
double CalcDeltaEsat(double T, double es);
// Soil heat flux G (W/m2, same sign as the net radiation Rn). Veg_typ 3
// (dense canopy) scales with exp(-0.5 LAI); the others take 10 % of Rn by
// day and 50 % at night (Rn <= 0).
double CalcBodenwaermestrom(const Modell& m, double Rn);
// Sets LAI (m2/m2) and r_s (s/m) from Veg_typ and Veg_Hoehe.
void CalcBestand(Modell& m);
// Aerodynamic resistance ra (s/m) of the log wind profile at wind speed u
// (m/s, raised to 0.5 when lower), between WG_Messhoehe and the canopy of
// height Veg_Hoehe; needs LAI.
double CalcRa(const Modell& m, float u);
// p_Verd_W (W/m2) and p_Verd_mm (mm per hour) of every hour; 0 for hours with
// negative net radiation or frost. Needs e, Esat, Net_Boden, G, ra, LAI, r_s.
void CalcVerdunstung(Modell& m);

// Run-start passes over the whole year.
void BerechneDampfdruck(Modell& m);             // Esat from T_Luft, then e from rFeuchte
void BerechneBodenwaermestromUndRa(Modell& m);  // G from Net_Boden, ra from Wind

// Whether Veg_typ, Veg_Hoehe and WG_Messhoehe give a usable canopy: LAI and
// the roughness length above 0 and the wind measured above the displacement
// height (otherwise r_s or ra turn negative or undefined). Changes nothing;
// for the checks before a run.
bool BestandGueltig(const Modell& m);

}  // namespace terval
