#include "ui/ModellGrid.h"

#include <QPainter>
#include <algorithm>

namespace terval {

namespace {
constexpr int Zellmass = 10;  // pixels per cell
}

ModellGrid::ModellGrid(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("frmModellGrid");
  setWindowTitle("Modell-Grid");
  resize(Zellmass + Zellmass, 180);
}

void ModellGrid::ZeigeGitter(const Modell& m) {
  // A grid that was never built may hold anything; the store has 40 columns.
  letzteSpalte_ = std::clamp(m.LetzteSpalte, 0, MaxSpalten - 1);
  for (int c = 0; c < MaxSpalten; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      // The ring around the pipe block is drawn over whatever the cell is.
      if (m.RingMarke[c][r] == 1.0f)
        zellen_[c][r] = Ring;
      else
        zellen_[c][r] = m.ZellTyp[c][r] == 1 ? Fest : Boden;
    }
  resize((letzteSpalte_ + 1) * Zellmass + Zellmass, 180);
  update();
}

void ModellGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(0, 0, (letzteSpalte_ + 1) * Zellmass, Zeilen * Zellmass, Qt::white);
  for (int c = 0; c <= letzteSpalte_; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      const QColor farbe = zellen_[c][r] == Ring   ? QColor(Qt::red)
                           : zellen_[c][r] == Fest ? QColor(Qt::black)
                                                   : QColor(Qt::white);
      p.fillRect(c * Zellmass, r * Zellmass, Zellmass, Zellmass, farbe);
    }
}

}  // namespace terval
