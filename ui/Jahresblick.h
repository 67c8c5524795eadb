// The tab "Jahresüberblick" of the main window: the heat the air gained and
// gave off per month, and the duration curves of the outlet and the inlet
// with the hours below 0 °C and above a limit the user chooses; each chart
// saved as a picture or as data.
#pragma once

#include <QWidget>

class QBarSet;
class QChartView;
class QLabel;
class QLineSeries;
class QSpinBox;

namespace terval {

struct Modell;
class Exporteur;

class Jahresblick : public QWidget {
  Q_OBJECT

 public:
  // Shows the year `m` holds; reads it only in Aktualisieren. Saves through `aus`.
  Jahresblick(const Modell& m, Exporteur& aus, QWidget* parent = nullptr);

  // Fills both charts from the model's results, or empties them when the
  // model holds none.
  void Aktualisieren();

  QBarSet* Gewinn() const { return gewinn_; }
  QBarSet* Abgabe() const { return abgabe_; }
  QLineSeries* DauerAus() const { return dauerAus_; }
  QLineSeries* DauerEin() const { return dauerEin_; }
  QSpinBox* Grenze() const { return grenze_; }
  QLabel* Stundenzahl() const { return stunden_; }
  QChartView* Monate() const { return monate_; }
  QChartView* Dauerkurven() const { return dauer_; }

 private:
  const Modell& m_;
  QChartView* monate_;
  QChartView* dauer_;
  QBarSet* gewinn_;
  QBarSet* abgabe_;
  QLineSeries* dauerAus_;
  QLineSeries* dauerEin_;
  QSpinBox* grenze_;
  QLabel* stunden_;
};

}  // namespace terval
