// The main window's "Mehrere Jahre" box: the number of years, the list of
// climate tables of a sequence, and after a run the drift from the first to
// the last year and a window with a chart of the year-by-year figures.
#pragma once

#include <QGroupBox>
#include <functional>
#include <vector>

#include "core/Laufstart.h"

class QChartView;
class QDialog;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace terval {

class Mehrjahresfeld : public QGroupBox {
  Q_OBJECT
 public:
  // `aktuellesKlima` hands out the table the model holds, for "anhängen".
  explicit Mehrjahresfeld(std::function<Klimajahr()> aktuellesKlima, QWidget* eltern = nullptr);

  // The years and the sequence into the run options.
  void Optionen(Laufoptionen& o) const;
  // The year rows of the last run: the drift line and the chart (one year: cleared).
  void ZeigeJahre(const std::vector<Jahreszeile>& jahre);

 private:
  void KlimaAnhaengen();
  void FolgeLeeren();

  std::function<Klimajahr()> aktuellesKlima_;
  std::vector<Klimajahr> folge_;
  QSpinBox* sb_AnzahlJahre_ = nullptr;
  QListWidget* lb_Klimafolge_ = nullptr;
  QPushButton* pb_KlimaAnhaengen_ = nullptr;
  QPushButton* pb_KlimafolgeLeeren_ = nullptr;
  QLabel* l_Drift_ = nullptr;        // one line: the changes
  QLabel* l_DriftDetail_ = nullptr;  // in the chart's window: the figures
  QPushButton* pb_Jahresdiagramm_ = nullptr;
  QDialog* jahresfenster_ = nullptr;  // "Jahr für Jahr": the chart, non-modal
  QChartView* jahresDiagramm_ = nullptr;
};

}  // namespace terval
