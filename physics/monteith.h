// Psychrometrics and the Penman-Monteith potential evaporation of the
// climate year (Monteith & Unsworth, Principles of Environmental Physics).
#pragma once

namespace terval {

struct Modell;

inline constexpr float r_l = 200.0f;        // stomatal resistance of a single leaf, s/m
inline constexpr float Karman = 0.41f;      // von Karman constant
inline constexpr double Luftdruck = 102.4;  // air pressure, kPa

// Saturation vapour pressure over water, kPa (Tetens).
double CalcEsat(double T);
// Slope of the saturation curve, in the unit of es per K.
double CalcDeltaEsat(double T, double es);
// Soil heat flux G (W/m2) from net radiation Rn; needs LAI for Veg_typ 3.
double CalcBodenwaermestrom(const Modell& m, double Rn);
// Sets LAI and r_s from Veg_typ and Veg_Hoehe.
void CalcBestand(Modell& m);
// Aerodynamic resistance ra (s/m) at wind speed u.
double CalcRa(const Modell& m, float u);
// p_Verd_W and p_Verd_mm of every hour.
void CalcVerdunstung(Modell& m);

// Run-start passes over the whole year.
void BerechneDampfdruck(Modell& m);                 // Esat, then e
void BerechneBodenwaermestromUndRa(Modell& m);      // G and ra

}  // namespace terval
