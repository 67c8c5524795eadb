#include "ui/Symbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace terval {

namespace {

// Drawn on a 64 x 64 canvas, scaled to the requested size.
QPixmap Bild(int groesse) {
  QPixmap bild(groesse, groesse);
  bild.fill(Qt::transparent);
  QPainter p(&bild);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(groesse / 64.0, groesse / 64.0);
  p.setPen(Qt::NoPen);
  QPainterPath rahmen;
  rahmen.addRoundedRect(2, 2, 60, 60, 8, 8);
  p.setClipPath(rahmen);
  p.fillRect(2, 2, 60, 60, QColor("#8a5a2b"));    // soil
  p.fillRect(2, 2, 60, 14, QColor("#9fd0ff"));    // sky
  p.fillRect(2, 16, 60, 5, QColor("#3f9a3a"));    // grass
  p.fillRect(2, 21, 60, 10, QColor("#a0703c"));   // top soil
  p.setBrush(QColor("#ffd23f"));
  p.drawEllipse(QPointF(50, 9), 4, 4);            // sun
  p.setBrush(QColor("#5f5f5f"));
  p.drawRoundedRect(QRectF(8, 36, 48, 14), 7, 7);  // duct wall
  p.setBrush(QColor("#d9d9d9"));
  p.drawRoundedRect(QRectF(11, 39, 42, 8), 4, 4);  // duct inside
  QPen blau(QColor("#2f6fd6"), 3, Qt::SolidLine, Qt::RoundCap);
  p.setPen(blau);
  p.drawLine(QPointF(14, 43), QPointF(44, 43));
  QPen rot(QColor("#d9322b"), 3, Qt::SolidLine, Qt::RoundCap);
  p.setPen(rot);
  p.drawLine(QPointF(36, 43), QPointF(46, 43));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#d9322b"));
  p.drawPolygon(QPolygonF({QPointF(45, 38.5), QPointF(52, 43), QPointF(45, 47.5)}));
  return bild;
}

}  // namespace

QIcon TervalSymbol() {
  QIcon symbol;
  for (int groesse : {16, 24, 32, 48, 64, 128}) symbol.addPixmap(Bild(groesse));
  return symbol;
}

}  // namespace terval
