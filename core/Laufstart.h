// The run start shared by the desktop program and the batch program: the
// checks in their order, the options into the model, the run, and the result
// files.
#pragma once

#include <string>
#include <vector>

#include "model/Vardef.h"

namespace terval {

struct Modell;
class Oberflaeche;

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
  Luftoptionen Luftseite;                // cb_KleinerVolumenstrom, cb_Energieerhaltend, cb_Kondensation
};

enum class Laufergebnis {
  Abgelehnt,    // a check refused the run (its message was shown)
  Abgebrochen,  // the user stopped it; nothing written
  Fertig,       // complete, result files written
};

struct Laufbericht {
  Laufergebnis ergebnis = Laufergebnis::Abgelehnt;
  // Names (inside the output directory) of the result files written, in the
  // order of writing: the 2-D fields first, then the overall results, the
  // channel profiles and the day courses.
  std::vector<std::string> dateien;
  // Files a complete run should have written but could not (a text file
  // fails without a message, a table with one).
  std::vector<std::string> nichtGeschrieben;
};

// "Simulation starten...": checks, RechneKanal, writers. Result files go to
// `arbeitsverzeichnis` (recorded as AusgabeVerzeichnis).
Laufbericht EKModellFDVerfahren(Modell& m, Oberflaeche& ui, const Laufoptionen& optionen,
                                const std::string& arbeitsverzeichnis);

}  // namespace terval
