// The values a climate year and the generation parameters of a location may
// take: a table is refused at load, a location at load, generation before it
// starts and a run at its start when one lies outside. The ranges are wide
// enough for every measured year (sensors report a little negative radiation
// at night and a little over 100 % humidity at saturation) and narrow enough
// that every formula fed with them stays finite.
#pragma once

#include <cmath>
#include <string>

#include "model/Zahltext.h"

namespace terval {

// A closed range of one value, with its name and unit for messages.
struct Wertebereich {
  const char* name;
  const char* einheit;  // with its leading blank, "" for none
  float min, max;

  bool Enthaelt(float x) const { return x >= min && x <= max; }  // false for NaN
  // "-90 bis 65 °C"
  std::string Text() const { return KuerzesterText(min) + " bis " + KuerzesterText(max) + einheit; }
};

// Columns 1..6 of a climate table (index 0 unused). Missing values (-999)
// lie outside every range and are not checked against them.
// - Air temperature: beyond the extremes ever measured (-89.2 and 56.7 degC);
//   Tetens' saturation pressure breaks down at -237.3 degC.
// - Humidity: a saturated sensor reads a few % above 100.
// - Wind: hourly means; the evaporation is linear in it.
// - Global radiation: a pyranometer's night offset is a few W/m2 below 0; no
//   hourly mean at the ground exceeds the solar constant of 1361 W/m2.
// - Precipitation: as large as a whole month (Ns_ below), because generation
//   may hand a month's sum to one hour.
// - Cloud cover in octas; 9 is the observers' "sky not visible".
inline constexpr Wertebereich Klimabereiche[7] = {
    {"", "", 0, 0},
    {"Lufttemperatur", " °C", -90, 65},
    {"relative Feuchte", " %", 0, 110},
    {"Windgeschwindigkeit", " m/s", 0, 100},
    {"Globalstrahlung", " W/m²", -50, 1500},
    {"Niederschlag", " mm", 0, 1000},
    {"Bedeckungsgrad", " Achtel", 0, 9},
};

// The generation parameters of a location. Within them every generator
// stays inside Klimabereiche:
// - Diff_Tdew: the dew point is the day's minimum less Diff_Tdew, so 0 keeps
//   the humidity at or below 100 %; below 0 it exceeds 100 % (-20 K gives
//   400 %). 50 K keeps the dew point above -140 degC, where Tetens holds.
// - Wg_mittel and Wg_Tag_Nacht: the day value 2 Wg_mittel / (1 + 1/ratio)
//   stays below 2 Wg_mittel = 100 m/s. The wind generator refuses either
//   below 0.5 itself, with its own message.
// - Ns_ the monthly sum of precipitation, mm; the generator counts a
//   negative sum as 0.
// Wetter_ and Truebung choose a class; the generators take the nearest
// class (Wetter_) or keep the turbidity (Truebung) for any other number.
// - Breitengrad and Laengengrad: the globe; the radiation generator
//   itself needs 10..90 degrees of latitude (north or south).
inline constexpr Wertebereich Diff_TdewBereich = {"Differenz zum Taupunkt (Diff_Tdew)", " K", 0, 50};
inline constexpr Wertebereich Wg_mittelBereich = {"mittlere Windgeschwindigkeit (Wg_mittel)", " m/s", 0, 50};
inline constexpr Wertebereich Wg_Tag_NachtBereich = {
    "Windgeschwindigkeit am Tag im Verhältnis zur Nacht (Wg_Tag_Nacht)", "", 0, 20};
inline constexpr Wertebereich NsBereich = {"Monatssumme des Niederschlags (Ns_)", " mm", 0, 1000};
inline constexpr Wertebereich BreitengradBereich = {"Breitengrad", " °", -90, 90};
inline constexpr Wertebereich LaengengradBereich = {"Längengrad", " °", -180, 180};

}  // namespace terval
