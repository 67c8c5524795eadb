// Variant studies: one run per row of a study file, each row changing some
// inputs of a base run, the figures of every variant in one table. The
// variants run side by side on all cores and share what equal inputs give
// alike (loaded files, moisture trajectories, start profile); each one's
// results are those of a single run of its inputs bit for bit.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch/Einlesen.h"
#include "core/Laufstart.h"
#include "output/Studientabelle.h"

namespace terval {

class Oberflaeche;

// A study as the command line asks for it.
struct Studienauftrag {
  std::string datei;          // the study file (--studie)
  Eingaben basis;             // --kanal, --standort, --klima and the air path options
  Laufoptionen lauf;          // the run options every variant starts from
  int von = 1, bis = 0;       // rows to run (--zeilen), 1-based; bis 0: to the last row
  bool variantendateien = false;  // --studie-dateien: each variant's result files in a folder of its name
  std::string verzeichnis;    // where the tables and the variants' folders go
  int threads = 0;            // 0: one per core
};

// What became of a study.
enum class Studienausgang {
  Abgelehnt,    // the study file or its inputs were refused (message shown); nothing written
  Fertig,       // every row of the slice ran; the table is written
  Abgebrochen,  // stopped: the rows finished so far are written
  Schreibfehler,  // the rows ran, the table could not be written (message shown)
};

struct Studienbericht {
  Studienausgang ausgang = Studienausgang::Abgelehnt;
  Studientabelle tabelle;   // the rows computed, in the order of the study file
  std::string csv, dbf;     // names of the tables written
  int varianten = 0;        // rows of the whole study
  int ohneErgebnis = 0;     // rows whose run was refused (their "Meldung" says why)
  int bahnen = 0, profile = 0;  // trajectories and start profiles computed (the rest were shared)
  // Segment-years computed, and taken over from a variant differing in its length only.
  long long segmenteGerechnet = 0, segmenteUebernommen = 0;
};

// Runs the study. `weiter` is asked before each variant starts (false: start
// no more, finish the running ones); `fortschritt` gets (done, total) as
// variants finish, on the calling thread.
Studienbericht FuehreStudieAus(const Studienauftrag& auftrag, Oberflaeche& ui,
                               const std::function<bool()>& weiter,
                               const std::function<void(int, int)>& fortschritt);

// Joins the tables of slices of one study into "<stamm> Studie.csv" and
// ".dbf" inside `verzeichnis`. Refuses (message, nothing written) tables of
// different studies and slices that do not cover every row exactly once.
bool FuehreStudienZusammen(const std::vector<std::string>& teile, const std::string& verzeichnis,
                           const std::string& stamm, Oberflaeche& ui, Studienbericht& bericht);

}  // namespace terval
