#include "ui/Kanalbild.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/Vardef.h"
#include "model/Zahltext.h"

namespace terval {

namespace {

// Text centred horizontally on x, its top at y.
void Beschrifte(QPainter& p, int x, int y, const std::string& text) {
  p.drawText(QRect(x - 50, y, 100, 40), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(text));
}

// A horizontal bar of pen width `breite` through row y. The line is laid
// through the middle of the pixel row, so an odd width covers y - w/2 .. y + w/2.
void Linie(QPainter& p, const QColor& farbe, int breite, int x1, int x2, int y) {
  p.setPen(QPen(farbe, breite, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(x1, y + 0.5), QPointF(x2, y + 0.5));
}

}  // namespace

Kanalbild::Kanalbild(const Modell& m, QWidget* parent) : QWidget(parent), m_(m) {
  setObjectName("kanalimg");
  setAttribute(Qt::WA_OpaquePaintEvent);
  Aktualisieren();
}

void Kanalbild::Aktualisieren() {
  setFixedSize(std::clamp(m_.Anz_Segmente, 1, MaxSegmente) * SegmentBreite, Hoehe);
  update();
}

void Kanalbild::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  QFont schrift("Arial");
  schrift.setPointSize(7);
  p.setFont(schrift);

  const int n = std::clamp(m_.Anz_Segmente, 0, MaxSegmente);
  for (int k = 1; k <= n; ++k) {
    const Kanalsegment& s = m_.Segmente[k];
    const int x = SegmentBreite * k;  // right edge of segment k

    p.setPen(QPen(Gitterlinie(), 1));
    p.drawLine(x, 0, x, Hoehe);
    p.setPen(Qt::black);
    Beschrifte(p, x - 15, 5, FormatReal(k * static_cast<double>(m_.Rohrdaten.Seglaenge), 2, 1));
    p.setPen(Tiefenschrift());
    Beschrifte(p, x - 15, 130, FormatReal(s.Tiefe, 2, 0));

    // Pipes s pixels apart, symmetric about 75:
    //   t = round(75 - (Anz_Rohre - 1) * s / 2),  pipe j at t + j * s.
    // Rounding is to the nearest integer, halves to even.
    double abstand = std::nearbyint(5.0 * s.Abst_Rohre);
    QColor rohrfarbe = Qt::black;
    if (s.Anz_Rohre > 1 && abstand == 0) {
      abstand = 5;
      rohrfarbe = Warnrot();
    }
    const double t = std::nearbyint(75 - (static_cast<double>(s.Anz_Rohre) - 1) * abstand * 0.5);
    // Only pipes that reach into the picture are drawn (a huge count would
    // otherwise take ages for nothing).
    long long erster = 0, letzter = static_cast<long long>(s.Anz_Rohre) - 1;
    if (abstand != 0) {
      const double a = (-5 - t) / abstand, b = (Hoehe + 5 - t) / abstand;
      erster = std::max<long long>(erster, static_cast<long long>(std::floor(std::min(a, b))));
      letzter = std::min<long long>(letzter, static_cast<long long>(std::ceil(std::max(a, b))));
    } else {
      letzter = std::min<long long>(letzter, 0);
    }
    for (long long j = erster; j <= letzter; ++j)
      Linie(p, rohrfarbe, 3, x - 30, x, static_cast<int>(t + j * abstand));

    if (s.Überbaut == 1 || s.Überbaut == 2)
      Linie(p, s.Überbaut == 1 ? Ueberbaut() : Versiegelt(), 5, x - 25, x - 5, 145);
    if (s.Abst_Geb_li > 0)
      Linie(p, s.Tief_Geb_li != 0 ? GebaeudeTief() : GebaeudeFlach(), 5, x - 25, x - 5, 20);
    if (s.Abst_Geb_re > 0)
      Linie(p, s.Tief_Geb_re != 0 ? GebaeudeTief() : GebaeudeFlach(), 5, x - 25, x - 5, 130);
    p.setPen(QPen(Qt::black, 1));
  }
}

void Kanalbild::mousePressEvent(QMouseEvent* ereignis) {
  emit Maustaste(static_cast<int>(std::floor(ereignis->position().x())));
}

}  // namespace terval
