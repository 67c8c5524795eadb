// The chart "EWT-Betrieb" of the main window and the curves it shows.
#pragma once

#include <QList>
#include <QPointF>
#include <QtCharts/QChartView>
#include <array>

class QLineSeries;
class QValueAxis;
class QPainter;
class QRectF;

namespace terval {

struct Modell;

// The four curves of one segment over the year (mode 0) or over a day
// (mode 1); x counts the points from 0.
struct Segmentkurven {
  QList<QPointF> tin;      // inlet air, degC
  QList<QPointF> taus;     // outlet air, degC; empty without results
  QList<QPointF> tdelta;   // outlet - inlet, K; empty without results
  QList<QPointF> energie;  // 1200 * V * (outlet - inlet), W; empty without results
};

// Year course of segment s at hour 0..23: one point per day 1..365.
Segmentkurven Jahresverlauf(const Modell& m, int s, int stunde);
// Day course of segment s on day 1..365: one point per hour 0..23.
Segmentkurven Tagesverlauf(const Modell& m, int s, int tag);
// Outlet temperature along the channel at hour 0..23 on the reference day
// 30 * (month - 1) + 15 of each month; [0] is January, one point per segment.
std::array<QList<QPointF>, 12> Kanalverlauf(const Modell& m, int stunde);

// The chart: left axis "T (°C)", right axis "W", the series "Tin", "Taus",
// "Tdelta", "Energie" and the twelve month series "Jan".."Dez", which are
// attached to the chart only in mode 2. It holds no model data; the main
// window fills the series.
class Diagramm : public QChartView {
  Q_OBJECT

 public:
  explicit Diagramm(QWidget* parent = nullptr);
  ~Diagramm() override;

  // Attaches the three temperature series (modes 0, 1) or the twelve month
  // series (mode 2) and detaches the others; "Energie" stays attached.
  void SetzeModus(int modus);
  int Modus() const { return modus_; }

  QLineSeries* Tin() const { return tin_; }
  QLineSeries* Taus() const { return taus_; }
  QLineSeries* Tdelta() const { return tdelta_; }
  QLineSeries* Energie() const { return energie_; }
  QLineSeries* Monat(int monat) const { return monate_[monat - 1]; }  // 1..12
  QValueAxis* AchseX() const { return achseX_; }
  QValueAxis* AchseT() const { return achseT_; }
  QValueAxis* AchseW() const { return achseW_; }

  // Fits both value axes and the x axis to the visible points of the
  // attached series (an axis without points keeps 0..1), with round ticks,
  // and names what the x axis counts in the current mode.
  void Skalieren();

  // The chart as a picture on a white background, then silver again.
  QImage BildAufWeiss();
  // Draws the chart into `ziel` on `maler` (for printing), on white.
  void Zeichnen(QPainter& maler, const QRectF& ziel);
  // The chart as an SVG document of the view's size, on white.
  QByteArray Svg();
  // The visible series as a table: a header row with units, then one row per
  // point, ";" between the cells, "." as decimal point, a cell stays empty
  // where a series has no point.
  QString Tabelle() const;

  // The normal background colour (silver).
  static QColor Hintergrund();

 signals:
  void Doppelklick();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* ereignis) override;

 private:
  void Anhaengen(QLineSeries* reihe, QValueAxis* achseY);
  void Abhaengen(QLineSeries* reihe);

  int modus_ = -1;
  QValueAxis* achseX_;
  QValueAxis* achseT_;
  QValueAxis* achseW_;
  QLineSeries* tin_;
  QLineSeries* taus_;
  QLineSeries* tdelta_;
  QLineSeries* energie_;
  std::array<QLineSeries*, 12> monate_{};
};

}  // namespace terval
