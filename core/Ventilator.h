// The fan's year after a run: its electricity from the hourly flows and
// pressure drops, beside the heat the air exchanged, and the hours in which
// the flow per pipe is too small to exchange heat at all.
#pragma once

#include <array>
#include <string>

#include "physics/Hydraulik.h"

namespace terval {

struct Modell;

// The fan's year of the run in `m`: every hour with a channel flow V > 0 of
// the fan schedule (Stundenvolumenstroeme) draws P = V dp / eta, dp the
// channel's drop with the air of that hour's inlet temperature at Luftdruck.
// The base-flow figures use Bezugsluft().
Ventilatorjahr BerechneVentilatorjahr(const Modell& m);

// The three lines a user reads after a run: "Druckverlust bei
// Basis-Volumenstrom: 12.7 Pa", "Ventilatorenergie: 20.6 kWh", "Arbeitszahl:
// 35" ("-" without fan energy).
std::array<std::string, 3> Ventilatorzeilen(const Ventilatorjahr& j);

// The once-per-run notice about segments passed without exchange, "" when
// there are none.
std::string Schwachlasthinweis(const Ventilatorjahr& j);

}  // namespace terval
