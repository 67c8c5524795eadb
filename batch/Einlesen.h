// The batch program's start-up and input loading, step by step as the main
// window does it. Each step speaks through the user interface and returns
// false after telling why it cannot go on.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Jahreslauf.h"
#include "model/Vardef.h"

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

// The input files of a run and what the command line changes in them.
struct Eingaben {
  std::string kanal, standort;     // standort empty: the main window's start values
  std::vector<std::string> klima;  // one table, or a sequence of years
  bool erzeugen = false;           // complete missing climate data
  bool zurueckschreiben = false;   // ... and write them back into the table
  std::optional<unsigned> seed;
  // Air path inputs that replace the channel file's, in the order given.
  std::vector<std::pair<float THydraulik::*, float>> luftweg;
  std::optional<float> rauhigkeit;  // both pipe types, mm
  std::optional<int32_t> boegen;
};

// Everything a run of `e` starts from, in the main window's order: start-up,
// location, channel, the air path inputs, each climate table (completed when
// asked). A sequence of two tables or more goes into `folge`, each table as
// it was loaded. False after the message of the step that failed.
bool LadeEingaben(Modell& m, Oberflaeche& ui, const Eingaben& e, std::vector<Klimajahr>& folge);

}  // namespace terval
