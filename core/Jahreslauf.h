// A run over several years: the climate year (or a sequence of climate
// tables) computed year after year, each segment's soil carried from the end
// of one year into the start of the next.
#pragma once

#include <string>
#include <vector>

#include "core/Cor_mod.h"
#include "output/Bodenjahr.h"
#include "output/Jahresbilanz.h"
#include "physics/Bodenfeuchte.h"

namespace terval {

class Laufvorrat;

inline constexpr int MaxJahre = 50;

// One climate table of a sequence, as loaded, checked and completed.
struct Klimajahr {
  std::string Name;                 // file name, for the year table
  std::vector<TKlimaStunde> Klima;  // hours 1..8760, index 0 unused (8761 entries)
  bool VolStromAusKlima = false;    // the table has the 7th field (flows)
  bool Komplett = false;            // KlimaKomplett after loading (and completing)
};

// What a segment hands from the end of one year to the start of the next:
// its soil temperature field and its moisture column.
struct Segmentstand {
  Gitter<float> T_Feld{};
  Feuchtezustand Feuchte{};
};

// The years of one run and what the run leaves of them.
struct Jahreslauf {
  // Years to compute, 1..MaxJahre, with the climate the model holds; a
  // sequence in `Folge` (two tables or more) sets the years itself, one per
  // table, and Jahre is then ignored.
  int Jahre = 1;
  std::vector<Klimajahr> Folge;
  // Per segment (index 1..Anz_Segmente; 0 unused): the state at the end of
  // the last year computed. Filled by the run; when it holds a state for
  // every segment before the run, the first year starts from it instead of
  // the start profile.
  std::vector<Segmentstand> Stand;
  // One row per finished year.
  std::vector<Jahreszeile> Zeilen;
  // Where a variant study keeps what its runs share; null for a run on its own.
  Laufvorrat* Vorrat = nullptr;
  // Names the channel up to its length for the store: runs of the same
  // name take over the segments one of them computed. Empty: none.
  std::string Vorlauf;
  // Takes the marked segment's field at the end of each day of the last
  // year; null: none is kept. Reads the model only.
  Bodenjahr* Boden = nullptr;
  // The years the run computes.
  int AnzahlJahre() const { return Folge.size() >= 2 ? static_cast<int>(Folge.size()) : Jahre; }
};

// RechneKanal over the years of `lauf`. The hourly inputs are prepared again
// only when the year's climate table changes; T_Jahresmittel and
// T_Sommermittel (bottom temperature and start profile) are the means over
// the whole sequence; the start profile is computed once. The 2-D field
// files are written into `felder` in the last year only. Honours
// StopRequested after each day of any year. With one year and no start state
// this is RechneKanal(m, ui, weg, felder) bit for bit.
void RechneKanal(Modell& m, Oberflaeche& ui, Jahreslauf& lauf, Rechenweg weg = Rechenweg::Gemeinsam,
                 Ergebnissatz* felder = nullptr);

// The model's climate into a sequence entry, and back (with segment 1's inlet).
Klimajahr KlimajahrVon(const Modell& m, const std::string& name);
void SetzeKlimajahr(Modell& m, const Klimajahr& k);

}  // namespace terval
