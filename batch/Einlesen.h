// The batch program's start-up and input loading, step by step as the main
// window does it. Each step speaks through the user interface and returns
// false after telling why it cannot go on.
#pragma once

#include <optional>
#include <string>

namespace terval {

struct Modell;
class Oberflaeche;

// The main window's start-up state, then "SOILS.DAT" and "Rohre.DBF" from the
// program directory (or ../share/terval), with the start-up messages when
// one is missing.
bool Programmstart(Modell& m, Oberflaeche& ui);

// Location profile file (*.loc.db).
bool LadeStandort(Modell& m, Oberflaeche& ui, const std::string& pfad);

// Channel file (*.ewt.db) with the pipe types and the operation settings.
bool LadeKanal(Modell& m, Oberflaeche& ui, const std::string& pfad);

// Climate table as "Klima-Datenbank laden..." reads it: the year, its
// completeness and the mean temperatures.
bool LadeKlima(Modell& m, Oberflaeche& ui, const std::string& pfad);

// "Fehlende Klimadaten erzeugen", in memory or written back.
bool ErgaenzeKlima(Modell& m, Oberflaeche& ui, bool zurueckschreiben,
                   std::optional<unsigned> seed);

}  // namespace terval
