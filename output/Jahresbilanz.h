// The figures of one simulated year of the channel, as the year table of a
// run over several years and the batch summary show them.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace terval {

struct Modell;

// One row of "NAME Jahre.TXT". The air figures come from the hourly values
// the model holds after the year (inlet of segment 1, outlet of the last
// segment, the channel flow); the soil figures are set by the driver when
// the segments finish the year.
struct Jahreszeile {
  int Jahr = 0;             // 1..N
  std::string Klima;        // name of the year's climate table
  double T_ein_Mittel = 0;  // degC, channel inlet
  double T_aus_Mittel = 0;  // degC, channel outlet
  double T_aus_Min = 0;
  double T_aus_Max = 0;
  double Gewinn_kWh = 0;    // heat taken up by the air in the hours it warmed
  double Abgabe_kWh = 0;    // heat given off by the air in the hours it cooled (> 0)
  int StundenUnterNull = 0; // hours with the outlet below 0 degC
  // Mean soil temperature of the pipe-axis row at the end of the year, degC,
  // of the first, the middle ((n + 1) / 2) and the last segment.
  std::array<float, 3> T_Rohrtiefe{};
};

// The air figures of the year the model holds. Heat of one hour, kWh:
//   Q = 1200 J/(m3 K) * V (m3/s) * (T_aus - T_ein) (K) * 3600 s / 3.6e6 J/kWh
// with V the channel's hourly flow VolStromStunde (all pipes together).
Jahreszeile Jahresbilanz(const Modell& m);

// Heat of the air per month, kWh, [0] January: the hours, flows and formula
// of Jahresbilanz, so the twelve months add up to its year figures.
struct Monatswaerme {
  std::array<double, 12> Gewinn_kWh{};
  std::array<double, 12> Abgabe_kWh{};  // > 0
};
Monatswaerme Monatsbilanz(const Modell& m);

// The duration curves of the year: the hourly outlet and inlet temperatures
// of the channel, each sorted from the warmest hour to the coldest, and how
// many hours the outlet lies below 0 degC and above `grenze` degC.
struct Dauerlinien {
  std::vector<double> T_aus;  // degC, Stunden values, descending
  std::vector<double> T_ein;
  int StundenUnterNull = 0;
  int StundenUeberGrenze = 0;
  double Grenze = 0;  // degC, the limit StundenUeberGrenze counts above
};
Dauerlinien Dauerlinie(const Modell& m, double grenze);
// The limit the duration curve counts above until the user picks another,
// degC; the variant studies count above it too.
inline constexpr int StandardGrenze = 26;

// Mean temperature of the soil cells in the pipe-axis row of the field the
// model holds (the segment just computed), degC.
float RohrtiefenMittel(const Modell& m);

}  // namespace terval
