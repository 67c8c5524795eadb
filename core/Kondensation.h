// Humidity of the air in the pipes, condensation at the inner wall and the
// water film it leaves (option Luftoptionen::Kondensation).
//
// Heat and mass transfer follow the same boundary layer (Chilton-Colburn):
// with the air-side NTU of heat, the air's humidity ratio approaches that of
// saturation at the wall as
//   w_aus = w_s + (w_ein - w_s) exp(-NTU Le^(-2/3)).
// Air drier than w_s takes water back from the film by the same law until
// the film is empty; what the film cannot hold drains off.
#pragma once

namespace terval {

inline constexpr double Verdampfungswaerme = 2.45e6;  // latent heat of water, J/kg (at about 20 degC)
inline constexpr double LewisZahl = 0.85;             // Le of water vapour in air
inline constexpr double Luftdichte = 1.2;             // kg/m3, as in 1200 J/(m3 K) = rho c_p
// Water the wall holds as a film before it drains: 0.1 kg/m2 (a film of
// 0.1 mm), about what a smooth plastic wall keeps in drops before they run.
inline constexpr double Filmkapazitaet = 0.1;

// Humidity ratio (kg water per kg dry air) of air at T (degC) and relative
// humidity rF (%), at the pressure p (kPa) of the model (Luftdruck).
double Feuchtegehalt(double T, double rF, double p);
// Humidity ratio at saturation.
double Saettigungsgehalt(double T, double p);
// Relative humidity (%) of air at T with humidity ratio w; above 100 when
// supersaturated (it is not clipped, so the file shows it).
double RelativeFeuchte(double T, double w, double p);

// Outlet humidity ratio of air w_ein over a wall saturated at w_s.
double AustrittsGehalt(double w_ein, double w_s, double NTU, double Le = LewisZahl);

// One step of a segment's water film.
struct Filmschritt {
  double w_aus = 0;      // outlet humidity ratio
  double kondensat = 0;  // water from the air onto the wall in the step, kg (negative: evaporated)
  double abfluss = 0;    // drained in the step, kg
  double latent = 0;     // heat released at the wall, W (negative when evaporating)
};

// dt seconds of air (mass flow mdot, kg/s dry air) with w_ein over a wall at
// T_wand (degC) with air-side NTU; `film` (kg) is the segment's film, of at
// most `kapazitaet` kg, and is updated.
Filmschritt FilmSchritt(double& film, double kapazitaet, double mdot, double w_ein, double T_wand,
                        double NTU, double p, double dt);

// A segment's wall through the year for the pipe coupling: its film, and
// per hour the air's humidity and what the wall took or gave. Called as the
// coupling's wall hook for every sub-step; returns the latent heat (W)
// released into the pipe cells.
class Segmentwand {
 public:
  // Film capacity of `rohre` pipes of radius R over L m.
  Segmentwand(double R, double L, int rohre);
  // The hour: air flow V (m3/s per pipe, 0 passes), inlet humidity, the
  // air-side coefficient alpha and the pipe conductance UA (one pipe).
  void Stunde(double V, double w_ein, double alpha, double UA);
  double operator()(double T_node, double Q, float dt);

  double film = 0;               // kg
  double kapazitaet = 0;         // kg
  // Sums of the hour.
  double kondensat = 0;          // condensed, kg (evaporation not counted)
  double netto = 0;              // condensed less evaporated, kg
  double abfluss = 0;            // drained, kg
  double latent = 0;             // released at the wall, J
  double W_aus() const { return zeit > 0 ? summe_w / zeit : w_ein_; }

 private:
  double R_, L_;
  int rohre_;
  double mdot_ = 0, NTU_ = 0, UA_ = 0, alphaA_ = 0, w_ein_ = 0;
  double summe_w = 0, zeit = 0;
};

}  // namespace terval
