// The one renderer of the pictures that leave the program: the soil field
// of a day, the monthly heat and the duration curves. The windows draw
// with it and export with it; the batch program reaches it through the
// library's Bildmaler, so "--bilder" writes what "Als Bild speichern…" writes.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <memory>

#include "output/Bildmaler.h"

class QApplication;
class QBarSet;
class QChart;
class QGraphicsView;
class QLineSeries;
class QPainter;
class QRectF;
class QValueAxis;

namespace terval {

// The size of every exported picture, pixels.
inline constexpr QSize Bildgroesse(800, 520);

enum class Bildformat { Png, Svg };

// The colour of a value 0..1 on a perceptually uniform scale from dark
// violet through blue and green to yellow, whose lightness rises steadily,
// so the order survives a grey print and colour-blind eyes. Values outside
// (and NaN) take the nearest end.
QColor Farbskala(double t);

// The soil field of one day into `ziel`: the cells on the scale `bereich`
// with a colour bar, pipe cells outlined, cellar walls hatched, the kind of
// surface as a band above, depth and distance on the axes, and the moisture
// column beside it when the moisture model ran. Returns where the cells lie:
// Spalten x Zeilen squares from the top left.
QRectF ZeichneBoden(QPainter& maler, const QRectF& ziel, const Bodenfeld& feld, const Temperaturbereich& bereich);

// The chart "Wärme der Luft je Monat": the bars of the heat gained (solid)
// and given off (hatched), kWh. The caller owns `chart`.
struct Monatsdiagramm {
  QChart* chart = nullptr;
  QBarSet* gewinn = nullptr;
  QBarSet* abgabe = nullptr;
  QValueAxis* kwh = nullptr;
};
Monatsdiagramm NeuesMonatsdiagramm();
// Shows `w`; null empties the chart.
void Fuelle(const Monatsdiagramm& d, const Monatswaerme* w);

// The chart "Dauerlinie der Lufttemperatur": outlet (solid) and inlet
// (dashed) sorted from the warmest hour. The caller owns `chart`.
struct Dauerdiagramm {
  QChart* chart = nullptr;
  QLineSeries* aus = nullptr;
  QLineSeries* ein = nullptr;
  QValueAxis* t = nullptr;
};
Dauerdiagramm NeuesDauerdiagramm();
void Fuelle(const Dauerdiagramm& d, const Dauerlinien* l);

// The pictures at Bildgroesse on white, as file contents.
QByteArray Bodenbild(const Bodenfeld& feld, const Temperaturbereich& bereich, Bildformat format);
QByteArray Monatsbild(const Monatswaerme& w, Bildformat format);
QByteArray Dauerlinienbild(const Dauerlinien& l, Bildformat format);

// A chart as its window shows it, scaled into Bildgroesse on white.
QByteArray Ansichtsbild(QGraphicsView& ansicht, Bildformat format);

// The renderer for the library. Without a running application (the batch
// program) it starts one on Qt's offscreen platform, unless
// QT_QPA_PLATFORM names another, at its first picture, and ends it when
// the run's pictures are done.
class QtBildmaler : public Bildmaler {
 public:
  QtBildmaler();
  ~QtBildmaler() override;
  std::string Bodenbild(const Bodenfeld& feld, const Temperaturbereich& bereich) override;
  std::string Monatsbild(const Monatswaerme& waerme) override;
  std::string Dauerlinienbild(const Dauerlinien& linien) override;
  void Fertig() override;

  // The one the batch program registers.
  static QtBildmaler& Batch();

 private:
  void Starte();

  int argc_ = 1;
  char name_[13] = "terval-batch";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> anwendung_;  // null when the caller runs one
};

}  // namespace terval
