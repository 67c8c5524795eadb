// Pressure drop of the channel's air path: the friction of each segment,
// the local losses at intake, bends, registers and outlet, and the intake
// filter. Pure functions of flow, geometry and air state, used by the run
// (hourly fan power), the result file and the channel editor.
//
// This is the fan's side of the channel. The heat-transfer correlation of
// the air step (CalcAlpha) has its own friction factor; it is not used here.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/Wertebereiche.h"

namespace terval {

struct Modell;
struct THydraulik;
struct TRohrdaten;

// The values the inputs of THydraulik may take, in the file, the batch
// options and the editor: wide enough for any real duct (rough concrete is
// 1 to 3 mm, a fine filter 180 Pa), narrow enough to catch a slip of unit.
inline constexpr Wertebereich Rauhigkeitsbereich{"Rauhigkeit der Rohrwand", " mm", 0, 10};
inline constexpr Wertebereich Zetabereich{"Verlustbeiwert", "", 0, 50};
inline constexpr Wertebereich Boegenbereich{"Anzahl der Bögen", "", 0, 100};
inline constexpr Wertebereich Filterbereich{"Druckverlust des Filters", " Pa", 0, 2000};
inline constexpr Wertebereich Wirkungsgradbereich{"Wirkungsgrad des Ventilators", "", 0.01f, 1};

// Empty when every input lies in its range (and the bend count is whole);
// else the German message naming the first one that does not.
std::string PruefeHydraulik(const THydraulik& h);

// State of the air for the pressure drop.
struct Luftzustand {
  double rho = 1.2;       // density, kg/m3
  double nu = 1.427e-5;   // kinematic viscosity, m2/s
};

// Air of temperature T (degC) at pressure p (Pa), dry, as an ideal gas:
//   rho = p / (R_L (T + 273.15)),  R_L = 287.05 J/(kg K);
// dynamic viscosity after Sutherland:
//   mu = 1.716e-5 Pa s * (T_K / 273.15)^1.5 * (273.15 + 110.4) / (T_K + 110.4),
// and nu = mu / rho.
Luftzustand LuftBei(double T, double p);

// Mean air speed (m/s) of a flow V (m3/s) in a pipe of inner diameter D (m).
double Geschwindigkeit(double V, double D);

// Darcy friction factor for Reynolds number Re and relative roughness k/D:
// 64/Re up to Re 2300; Colebrook-White
//   1/sqrt(f) = -2 log10(k/(3.7 D) + 2.51/(Re sqrt(f)))
// from Re 4000 on; in between the two blended with the cubic weight
// 3s^2 - 2s^3, s = (Re - 2300)/1700, so f and its slope are continuous.
// 0 for Re <= 0.
double Reibungszahl(double Re, double kDurchD);

// Darcy-Weisbach: the drop (Pa) of flow V (m3/s) through one pipe of inner
// diameter D (m), roughness k (m) and length L (m):
//   dp = f L/D rho w^2/2.
double Reibungsdruckverlust(double V, double D, double k, double L, const Luftzustand& luft);

// A local loss: dp = zeta rho w^2 / 2.
double Einzelverlust(double zeta, double w, const Luftzustand& luft);

// One segment at one flow.
struct Segmenthydraulik {
  int Rohrtyp = 1;       // 1 main line, 2 register
  int Anz_Rohre = 1;     // parallel pipes sharing the flow (and the drop)
  double D = 0;          // inner diameter, m
  double V_Rohr = 0;     // flow per pipe, m3/s
  double w = 0;          // air speed, m/s
  double Re = 0;
  double f = 0;          // Darcy friction factor
  double dp = 0;         // friction drop over the segment, Pa
};

// The pressure drop of the whole channel at one channel flow.
struct Druckverlust {
  bool gueltig = false;  // false when a pipe type in use has no inner diameter
  std::vector<Segmenthydraulik> segmente;  // index 0 is segment 1
  double reibung = 0;   // sum of the segments, Pa
  double einlauf = 0;   // intake, Pa
  double boegen = 0;    // bends of the main line, Pa
  double register_ = 0; // splits and joins of all registers, Pa
  double auslauf = 0;   // outlet into the unit, Pa
  double filter = 0;    // intake filter, Pa
  double gesamt = 0;    // everything, Pa
  double wHauptstrang = 0;  // highest speed in a main-line segment, m/s (0: none)
  double wRegister = 0;     // highest speed in a register pipe, m/s (0: none)
};

// Pressure drop of the channel in `m` (segments, pipe types, the inputs in
// `m.Hydraulik`) at channel flow V (m3/s) and air state `luft`. Inner
// diameter 2 (Rohr_Ra - Rohr_Dicke); a pipe count below 1 counts as 1. A
// register is a run of consecutive segments of more than one pipe: its
// split is referred to the speed in its first segment's pipes, its join to
// that in its last. Intake and bends go with segment 1's pipe, the outlet
// with the last segment's; the filter's drop at the base flow `Volstrom`
// scales with (V / base)^2.
Druckverlust Kanaldruckverlust(const Modell& m, double V, const Luftzustand& luft);
// The same for a channel given by the pipe count of each segment in order
// (as an editor holds it before it reaches the model) and base flow
// `volstrom` (m3/h).
Druckverlust Kanaldruckverlust(const std::vector<int>& anzRohre, const TRohrdaten& rohre, const THydraulik& h,
                               int volstrom, double V, const Luftzustand& luft);

// The state of the air for figures "at the base flow": 20 degC, the usual
// reference of fan data, at the air pressure of the psychrometrics
// (Luftdruck, 102.4 kPa) that the hourly figures use as well.
inline constexpr double Bezugstemperatur = 20.0;  // degC
Luftzustand Bezugsluft();

// The fan's side of a run: the drop at the base flow and the year.
struct Ventilatorjahr {
  Druckverlust basis;        // at the base flow Volstrom and Bezugsluft()
  double V_basis = 0;        // base flow, m3/s
  Luftzustand luft;          // the air of `basis`
  double energie = 0;        // fan electricity over the hours it runs, kWh
  double gewinn = 0;         // heat taken up by the air over the year, kWh
  double abgabe = 0;         // heat given off by the air, kWh
  double arbeitszahl = 0;    // (gewinn + abgabe) / energie; 0 without fan energy
  int betriebsstunden = 0;   // hours with a channel flow above 0
  // Segments whose flow per pipe falls below 100 m3/h in some running hours,
  // each with the share of the running hours (0..1) it does so.
  std::vector<std::pair<int, double>> schwach;
};

}  // namespace terval
