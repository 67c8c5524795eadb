// The drawn longitudinal picture of the channel in the channel editor
// ("kanalimg"): 30 pixels per segment, 150 pixels high.
#pragma once

#include <QWidget>

namespace terval {

struct Modell;

// Paints the channel of the model as it is at each paint request: per
// segment a grey border line, the running length on top, the depth in green
// near the bottom, the pipes (pen 3) spread symmetrically about the middle
// height 75, and 5-pixel bars for the surface (row 145) and for buildings on
// the left (row 20) and right (row 130).
class Kanalbild : public QWidget {
  Q_OBJECT

 public:
  static constexpr int SegmentBreite = 30;  // pixels per segment
  static constexpr int Hoehe = 150;         // pixels

  // Colours of the picture (red, green, blue).
  static QColor Gitterlinie() { return {192, 192, 192}; }
  static QColor Tiefenschrift() { return {0, 128, 0}; }
  static QColor Warnrot() { return {255, 0, 0}; }       // register without spacing
  static QColor Ueberbaut() { return {128, 0, 0}; }     // maroon
  static QColor Versiegelt() { return {128, 128, 128}; }
  static QColor GebaeudeTief() { return {213, 106, 0}; }   // building with a depth
  static QColor GebaeudeFlach() { return {255, 179, 102}; }  // building depth 0

  explicit Kanalbild(const Modell& m, QWidget* parent = nullptr);

  // Sizes the picture to Anz_Segmente x 30 by 150 pixels and repaints.
  void Aktualisieren();

 signals:
  // A mouse button went down at picture position x.
  void Maustaste(int x);

 protected:
  void paintEvent(QPaintEvent* ereignis) override;
  void mousePressEvent(QMouseEvent* ereignis) override;

 private:
  const Modell& m_;
};

}  // namespace terval
