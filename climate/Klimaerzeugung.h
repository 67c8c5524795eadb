// Synthetic generation of the missing elements of the climate year
// (humidity, wind, cloud cover, global radiation, precipitation) from the air
// temperature of the same year and the site's climate parameters, and the
// command "Fehlende Klimadaten erzeugen" that the desktop and the batch
// program share.
//
// Decisions on inputs the generators cannot use as they stand:
// - Wetter_ outside 1..3 counts as the nearest allowed class (below 1 as fair,
//   above 3 as poor), as the location dialog would show it.
// - A month without any hour of cloud cover >= 3 hands its precipitation to
//   its cloudiest hours: the amount per cloudy hour is taken over the hours
//   that share the month's largest cover. No division by zero, sum unchanged.
// - An amount is never negative: where an event would exceed the remainder it
//   is limited to max(remainder - 0.1 mm, 0), so a month sum below 0.1 mm goes
//   wholly to one hour. A negative or non-finite monthly sum counts as 0 mm.
// - The handout of a month ends at entry 2 of its list at the latest, so the
//   remainder never lands outside the list.
//
// Precision: climate values are single precision; intermediate values for
// which no precision is fixed (dew-point vapour pressure, the remainder of a
// month's precipitation, vapour pressure before it is handed to the solar
// routine) are double and rounded to single only when stored or passed on.
#pragma once

#include <array>
#include <optional>
#include <random>

namespace terval {

struct Modell;
class Oberflaeche;

// The confirmation asked before generated data are written into the table.
inline constexpr char RueckschreibFrage[] =
    "Diese Funktion verändert den Inhalt Ihrer Datenbank. \r"
    "Hierbei wird die Datenbank DIREKT auf der Festplatte modifiziert, nicht nur innerhalb des "
    "Programmes !\r"
    "Sie sollten vorher eine Sicherungskopie dieser Datei anlegen, falls Sie mit den Resultaten "
    "dieser Operationen nicht zufrieden sind !\r"
    "Wollen Sie nun mit der Erzeugung fehlender Daten fortfahren ?";

// The random sources of one generation: one engine, seeded once. Every draw
// builds its own distribution object, so a draw depends only on the engine's
// state (no value is cached between draws) and a fixed seed repeats a
// generation exactly.
struct Zufall {
  std::mt19937 Generator;

  // Seeded with `seed`, or from the system clock when none is given.
  explicit Zufall(std::optional<unsigned> seed = std::nullopt);

  // Uniform integer 0..7 (std::uniform_int_distribution<int>(0, 7)).
  int Ganzzahl0bis7();
  // Normal deviate (std::normal_distribution<double>(mittel, streuung)).
  double Normal(double mittel, double streuung);
};

// What the weather quality of a month (1 fair, 2 medium, 3 poor) sets.
struct Wetterklasse {
  int Wolkenversatz;  // added to the uniform draw 0..7, then minus 4; octas
  double M;           // mean size of a precipitation event, % of the amount per cloudy hour
  double S;           // its standard deviation, %
};
// Row of the weather table for Wetter_ w; w outside 1..3 takes the nearest row.
Wetterklasse WetterTabelle(int w);

// Runs every generator whose element is incomplete, in the order humidity,
// wind, cloud cover, radiation, precipitation; writes the year back into the
// table when Zurueckschreiben. Needs complete air temperatures.
void CreateFehlendeDaten(Modell& m, Oberflaeche& ui, bool Zurueckschreiben,
                         std::optional<unsigned> seed = std::nullopt);

// The command "Fehlende Klimadaten erzeugen": refuses without an accepted
// climate table, tells a complete year that nothing is needed, asks before
// writing back, then generates.
void FehlendeKlimadatenErzeugen(Modell& m, Oberflaeche& ui, bool zurueckschreiben,
                                std::optional<unsigned> seed = std::nullopt);

// rFeuchte where missing, from the day's minimum temperature as dew point:
// ed = Esat(Tmin - Diff_Tdew), rFeuchte = 100 / (Esat(T_Luft) / ed) in %.
// CreateFehlendeDaten keeps Diff_Tdew in 0..50 K, which keeps it in 0..100 %.
void CreateFeuchte(Modell& m, Oberflaeche& ui);

// Wind where missing: Wg_mittel split into night (hours 0..5, 20..23) and day
// (6..19) values whose ratio is Wg_Tag_Nacht and whose mean is Wg_mittel.
// Refuses Wg_Tag_Nacht or Wg_mittel below 0.5 (or not finite) with an error.
void CreateWind(Modell& m, Oberflaeche& ui);

// Cloud cover of every hour of the year by ZufallsWolken; replaces all values.
void CreateWolken(Modell& m, Oberflaeche& ui, Zufall& z);

// Random cloud cover 0..8 octas for a day 1..365 by the weather quality of
// its month: r + offset - 4 with r uniform in 0..7, limited to 0..8.
int ZufallsWolken(const Modell& m, Zufall& z, int tag);

// Glob_Str where missing: clear-sky irradiance at the site in local mean
// time, direct beam reduced by the cloud cover, G = sin h * direct + diffuse.
// Refuses |Breitengrad| < 10 or > 90 and |Laengengrad| > 180 with an error.
void CreateStrahlung(Modell& m, Oberflaeche& ui);

// Precipitation of every hour: each month's sum Ns_ handed out in normally
// distributed events from the cloudiest hour down; all other hours get 0.
void CreateNiederschlag(Modell& m, Oberflaeche& ui, Zufall& z);

// Shell sort of m.Stundenliste[1..n] ascending by cloud cover, with
// floor(log2 n) passes of halved gaps starting at n div 2. Its exact
// sequence decides the order of hours with equal cover (it is not stable).
void SortStunden(Modell& m, int n);

}  // namespace terval
