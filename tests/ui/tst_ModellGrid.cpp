// The window "Modell-Grid": size and colours of the painted cells.
#include <QImage>
#include <QTest>

#include "Fensterhilfen.h"
#include "core/Cor_mod.h"
#include "ui/ModellGrid.h"

using namespace terval;
using namespace terval::test;

namespace {

// Colour at the centre of cell (c, r).
QColor Zelle(const QImage& bild, int c, int r) { return QColor(bild.pixel(10 * c + 5, 10 * r + 5)); }

}  // namespace

class tst_ModellGrid : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void titelUndGroesse();
  void farbenDerZellen();
  void ringVorRohr();
  void beispielGitter();
  void unbrauchbareSpaltenzahl();
};

void tst_ModellGrid::titelUndGroesse() {
  ModellGrid g;
  QCOMPARE(g.windowTitle(), QString("Modell-Grid"));
  auto m = NeuesModell();
  m->LetzteSpalte = 11;
  g.ZeigeGitter(*m);
  QCOMPARE(g.size(), QSize(130, 180));
  m->LetzteSpalte = 39;
  g.ZeigeGitter(*m);
  QCOMPARE(g.size(), QSize(410, 180));
}

void tst_ModellGrid::farbenDerZellen() {
  auto m = NeuesModell();
  m->LetzteSpalte = 3;
  for (int r = 0; r < Zeilen; ++r) m->ZellTyp[0][r] = 1;  // a cellar wall
  m->ZellTyp[2][8] = 1;
  // Beyond the last column the store holds leftovers that are not drawn.
  m->ZellTyp[4][0] = 1;
  ModellGrid g;
  g.ZeigeGitter(*m);
  const QImage bild = g.grab().toImage();
  QCOMPARE(bild.size(), QSize(50, 180));
  for (int r = 0; r < Zeilen; ++r) QCOMPARE(Zelle(bild, 0, r), QColor(Qt::black));
  QCOMPARE(Zelle(bild, 2, 8), QColor(Qt::black));
  QCOMPARE(Zelle(bild, 1, 8), QColor(Qt::white));
  QCOMPARE(Zelle(bild, 3, 16), QColor(Qt::white));
  // Cells are whole 10 x 10 squares.
  QCOMPARE(QColor(bild.pixel(20, 80)), QColor(Qt::black));
  QCOMPARE(QColor(bild.pixel(29, 89)), QColor(Qt::black));
  QCOMPARE(QColor(bild.pixel(30, 89)), QColor(Qt::white));
  QCOMPARE(QColor(bild.pixel(29, 90)), QColor(Qt::white));
  // The canvas is 40 x 170 pixels; the margin keeps the window's colour.
  QVERIFY(QColor(bild.pixel(45, 5)) != QColor(Qt::black));
  QVERIFY(QColor(bild.pixel(45, 5)) != QColor(Qt::white));
  QVERIFY(QColor(bild.pixel(5, 175)) != QColor(Qt::white));
}

void tst_ModellGrid::ringVorRohr() {
  auto m = NeuesModell();
  m->LetzteSpalte = 5;
  m->ZellTyp[2][3] = 1;
  m->RingMarke[2][3] = 1.0f;  // red wins over black
  m->RingMarke[3][3] = 1.0f;
  m->RingMarke[4][3] = 0.5f;  // only exactly 1.0 marks the ring
  ModellGrid g;
  g.ZeigeGitter(*m);
  const QImage bild = g.grab().toImage();
  QCOMPARE(Zelle(bild, 2, 3), QColor(Qt::red));
  QCOMPARE(Zelle(bild, 3, 3), QColor(Qt::red));
  QCOMPARE(Zelle(bild, 4, 3), QColor(Qt::white));
}

void tst_ModellGrid::beispielGitter() {
  // One pipe of outer radius 0.4 m at 6 m depth, no buildings: twelve
  // columns, the pipe in columns 5..6 and rows 11..12.
  auto m = NeuesModell();
  SetzeStartzustand(*m);
  InitGrid(*m, 1);
  QCOMPARE(m->LetzteSpalte, 11);
  ModellGrid g;
  g.ZeigeGitter(*m);
  QCOMPARE(g.size(), QSize(130, 180));
  const QImage bild = g.grab().toImage();
  for (int c = 0; c <= 11; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      const bool rohr = c >= 5 && c <= 6 && r >= 11 && r <= 12;
      QCOMPARE(Zelle(bild, c, r), rohr ? QColor(Qt::black) : QColor(Qt::white));
    }
}

void tst_ModellGrid::unbrauchbareSpaltenzahl() {
  auto m = NeuesModell();
  ModellGrid g;
  m->LetzteSpalte = 500;
  g.ZeigeGitter(*m);
  QCOMPARE(g.LetzteSpalte(), MaxSpalten - 1);
  m->LetzteSpalte = -3;
  g.ZeigeGitter(*m);
  QCOMPARE(g.LetzteSpalte(), 0);
  QCOMPARE(g.size(), QSize(20, 180));
  QVERIFY(!g.grab().isNull());
}

QTEST_MAIN(tst_ModellGrid)
#include "tst_ModellGrid.moc"
