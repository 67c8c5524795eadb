// The soil cross-section of the marked segment day by day, kept during a run
// so the windows can walk through the year and the pictures can draw any day.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Vardef.h"

namespace terval {

// One day's field of the marked segment at the end of the day, as the
// picture shows it. Cells are DX wide and DZ high; row 0 is the surface.
struct Bodenfeld {
  int Segment = 0;  // 1..Anz_Segmente
  int Tag = 0;      // 1..365
  int Spalten = 0;  // columns used: LetzteSpalte + 1
  std::vector<float> T;          // degC, Spalten * Zeilen, column after column
  std::vector<uint8_t> Fest;     // ZellTyp: 1 pipe or wall cell, 0 soil; same order
  Schichten Theta{};             // volumetric moisture per row, m3/m3
  bool MitFeuchte = false;       // the moisture model ran (Theta then changes)
  int32_t Ueberbaut = 0;         // the segment's Überbaut: 0 open, 1 overbuilt, else sealed
  bool WandLinks = false;        // a cellar wall fills column 0 down to its depth
  bool WandRechts = false;       // same in the last column

  float Temperatur(int c, int r) const { return T[static_cast<size_t>(c) * Zeilen + r]; }
  bool IstFest(int c, int r) const { return Fest[static_cast<size_t>(c) * Zeilen + r] != 0; }
};

// Lowest and highest soil temperature of a set of fields, degC.
struct Temperaturbereich {
  float Min = 0;
  float Max = 0;
};

// The fields of one segment through the year: at most one per day, in the
// order taken. About 3.5 kB a day.
class Bodenjahr {
 public:
  // Takes the field the model holds for segment s at the end of day `tag`,
  // with the moisture column `theta` (the model's own or, on the shared
  // road, the trajectory's). Reads the model only.
  void Aufnehmen(const Modell& m, int s, int tag, const Schichten& theta);

  bool Leer() const { return tage_.empty(); }
  int Segment() const { return segment_; }
  const std::vector<Bodenfeld>& Tage() const { return tage_; }
  // The field of day `tag`, null when none was taken.
  const Bodenfeld* Tag(int tag) const;
  // The range over every cell of every day, widened outward to whole
  // degrees, so each day of a year is drawn on one scale; 0..1 when empty.
  Temperaturbereich Bereich() const;

 private:
  int segment_ = 0;
  std::vector<Bodenfeld> tage_;
};

}  // namespace terval
