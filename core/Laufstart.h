// The run start shared by the desktop program and the batch program: the
// checks in their order, the options into the model, the run, and the result
// files.
#pragma once

#include <string>
#include <vector>

#include "core/Jahreslauf.h"
#include "model/Vardef.h"
#include "output/Bildmaler.h"
#include "physics/Hydraulik.h"

namespace terval {

struct Modell;
class Oberflaeche;
class Laufvorrat;

// The run options as the main window's controls hold them (texts where the
// user types text, so both programs parse and refuse them alike).
struct Laufoptionen {
  std::string Stammname = "Terval";      // e_output
  std::string MarkSegmentText = "-1";    // E_markseg
  bool NurEinTermin = false;             // rb_smalldataset
  std::string AusgabeStundeText = "12";  // e_outputhour
  bool TextAusgabe = false;              // mpTextoutput
  bool Tagesgang = false;                // cb_CreateTagesgang
  bool MitFeuchte = true;                // cb_mitFeuchte
  int FeuchteZeitschritt = 3600;         // cb_SoilmodRes: 3600, 1800, 600, 60 or 1
  // "Anzahl Jahre": the climate year computed this many times in a row, 1..50.
  int Jahre = 1;
  // A sequence of climate tables, one year each, in place of the table the
  // model holds; empty or a single table: the model's table. With two tables
  // or more Jahre must be 1.
  std::vector<Klimajahr> Klimafolge;
  Luftoptionen Luftseite;                // cb_KleinerVolumenstrom, cb_Energieerhaltend, cb_Kondensation
  // A variant of a study: what its runs share, and whether this one writes
  // result files (without, the report holds its figures only).
  Laufvorrat* Vorrat = nullptr;
  std::string Vorlauf;  // see Jahreslauf::Vorlauf
  bool Ergebnisdateien = true;
  // Draws the run's pictures into its result set ("--bilder"); null: no pictures.
  Bildmaler* Bilder = nullptr;
};

enum class Laufergebnis {
  Abgelehnt,    // a check refused the run (its message was shown)
  Abgebrochen,  // the user stopped it before its files replaced the earlier ones; nothing written
  Fertig,       // complete, result files written
};

struct Laufbericht {
  Laufergebnis ergebnis = Laufergebnis::Abgelehnt;
  // Names (inside the output directory) of the result files written, in the
  // order of writing: the 2-D fields first, then the overall results, the
  // channel profiles and the day courses.
  std::vector<std::string> dateien;
  // The files of a complete run whose set could not replace the earlier
  // one (a message said why); then none of them was written.
  std::vector<std::string> nichtGeschrieben;
  // One row per year computed ("NAME Jahre.TXT"); one row for a one-year run.
  std::vector<Jahreszeile> jahre;
  // The fan's side of a complete run.
  Ventilatorjahr ventilator;
  // The marked segment's field at the end of each day of the last year;
  // empty when no segment was marked.
  Bodenjahr boden;
};

// "Simulation starten...": checks, RechneKanal, writers. Result files go to
// `arbeitsverzeichnis` (recorded as AusgabeVerzeichnis).
Laufbericht EKModellFDVerfahren(Modell& m, Oberflaeche& ui, const Laufoptionen& optionen,
                                const std::string& arbeitsverzeichnis);

}  // namespace terval
