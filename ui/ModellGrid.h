// The window "Modell-Grid": the soil cross-section of the segment just
// computed, one 10 x 10 pixel square per cell.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "model/Vardef.h"

namespace terval {

// A painted window: ZeigeGitter stores a copy of the grid, paintEvent only
// reads it.
class ModellGrid : public QWidget {
  Q_OBJECT

 public:
  // Colours of the cells.
  enum Zelle : uint8_t { Boden = 0, Fest = 1, Ring = 2 };

  explicit ModellGrid(QWidget* parent = nullptr);

  // Takes the grid of the model (ZellTyp, RingMarke, LetzteSpalte), sizes
  // the window to (LetzteSpalte + 1) * 10 + 10 by 180 pixels and repaints.
  void ZeigeGitter(const Modell& m);

  int LetzteSpalte() const { return letzteSpalte_; }
  Zelle Art(int spalte, int zeile) const { return zellen_[spalte][zeile]; }

 protected:
  void paintEvent(QPaintEvent* ereignis) override;

 private:
  int letzteSpalte_ = 0;  // 0..MaxSpalten-1
  std::array<std::array<Zelle, Zeilen>, MaxSpalten> zellen_{};
};

}  // namespace terval
