// Humidity, condensation and the water film in the pipes.
#include "core/Kondensation.h"

#include <algorithm>
#include <cmath>

#include <numbers>

#include "physics/monteith.h"

namespace terval {

namespace {
// Molar mass of water over that of dry air.
constexpr double Epsilon = 0.622;
}  // namespace

double Feuchtegehalt(double T, double rF, double p) {
  const double e = CalcEsat(T) * rF / 100.0;
  return Epsilon * e / (p - e);
}

double Saettigungsgehalt(double T, double p) { return Feuchtegehalt(T, 100.0, p); }

double RelativeFeuchte(double T, double w, double p) {
  const double e = w * p / (Epsilon + w);
  return 100.0 * e / CalcEsat(T);
}

double AustrittsGehalt(double w_ein, double w_s, double NTU, double Le) {
  return w_s + (w_ein - w_s) * std::exp(-NTU * std::pow(Le, -2.0 / 3.0));
}

Filmschritt FilmSchritt(double& film, double kapazitaet, double mdot, double w_ein, double T_wand,
                        double NTU, double p, double dt) {
  Filmschritt f;
  f.w_aus = w_ein;
  if (!(mdot > 0) || !(dt > 0)) return f;
  const double w_s = Saettigungsgehalt(T_wand, p);
  double wasser = mdot * (w_ein - AustrittsGehalt(w_ein, w_s, NTU)) * dt;
  // The air can take back only what the film holds.
  wasser = std::max(wasser, -film);
  f.kondensat = wasser;
  f.w_aus = w_ein - wasser / (mdot * dt);
  film += wasser;
  if (film > kapazitaet) {
    f.abfluss = film - kapazitaet;
    film = kapazitaet;
  }
  f.latent = wasser * Verdampfungswaerme / dt;
  return f;
}

Segmentwand::Segmentwand(double R, double L, int rohre)
    : kapazitaet(Filmkapazitaet * 2.0 * std::numbers::pi * R * L * rohre), R_(R), L_(L), rohre_(rohre) {}

void Segmentwand::Stunde(double V, double w_ein, double alpha, double UA) {
  const double A = 2.0 * std::numbers::pi * R_ * L_;
  mdot_ = V > 0 ? Luftdichte * V * rohre_ : 0.0;
  NTU_ = V > 0 ? alpha * A / (1200.0 * V) : 0.0;
  UA_ = UA;
  alphaA_ = alpha * A;
  w_ein_ = w_ein;
  kondensat = netto = abfluss = latent = summe_w = zeit = 0;
}

double Segmentwand::operator()(double T_node, double Q, float dt) {
  // The inner wall: the node less the drop over soil and wall that the
  // sensible heat Q of all pipes causes; the latent heat is left out.
  const double T_wand = T_node - Q / rohre_ * (1.0 / UA_ - 1.0 / alphaA_);
  const Filmschritt f = FilmSchritt(film, kapazitaet, mdot_, w_ein_, T_wand, NTU_, Luftdruck, dt);
  summe_w += f.w_aus * dt;
  zeit += dt;
  kondensat += std::max(f.kondensat, 0.0);
  netto += f.kondensat;
  abfluss += f.abfluss;
  latent += f.latent * dt;
  return f.latent;
}

}  // namespace terval
