// The library's way to the user in the desktop program: the five kinds of
// message box, the status line, the hourglass, a run's begin and end.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "Fensterhilfen.h"
#include "ui/ModellGrid.h"

using namespace terval;
using namespace terval::test;

namespace {

// What a message box showed before the test closed it.
struct Kasten {
  bool gesehen = false;
  QMessageBox::Icon symbol = QMessageBox::NoIcon;
  QString titel, text;
  QStringList knoepfe;
};

// Closes the next modal message box with the button whose text is
// `knopf` (or the only one) and remembers what it showed.
void BeantworteNaechsten(Kasten& k, const QString& knopf = {}) {
  QTimer::singleShot(0, [&k, knopf] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    k.gesehen = true;
    k.symbol = box->icon();
    k.titel = box->windowTitle();
    k.text = box->text();
    for (QAbstractButton* b : box->buttons()) k.knoepfe << b->text();
    for (QAbstractButton* b : box->buttons())
      if (knopf.isEmpty() || b->text() == knopf) {
        b->click();
        return;
      }
  });
}

}  // namespace

class tst_QtOberflaeche : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void meldungsarten_data();
  void meldungsarten();
  void frageJaUndNein();
  void beobachterStattKasten();
  void statuszeile();
  void sanduhrIstAusgeglichen();
  void laufBeginntUndEndet();
  void klimaLabelFarben();
};

void tst_QtOberflaeche::meldungsarten_data() {
  QTest::addColumn<int>("art");
  QTest::addColumn<int>("symbol");
  QTest::addColumn<QString>("titel");
  QTest::newRow("Fehler") << 0 << int(QMessageBox::Critical) << "Fehler";
  QTest::newRow("Warnung") << 1 << int(QMessageBox::Warning) << "Warnung";
  QTest::newRow("Information") << 2 << int(QMessageBox::Information) << "Information";
  QTest::newRow("Meldung") << 3 << int(QMessageBox::NoIcon) << "Terval";
}

void tst_QtOberflaeche::meldungsarten() {
  QFETCH(int, art);
  QFETCH(int, symbol);
  QFETCH(QString, titel);
  auto m = NeuesModell();
  TMainform f(*m);
  Oberflaeche& ui = f.UI();
  Kasten k;
  BeantworteNaechsten(k);
  const std::string text = "Erste Zeile !\rZweite Zeile";
  switch (art) {
    case 0: ui.Fehler(text); break;
    case 1: ui.Warnung(text); break;
    case 2: ui.Information(text); break;
    default: ui.Meldung(text); break;
  }
  QVERIFY(k.gesehen);
  QCOMPARE(int(k.symbol), symbol);
  QCOMPARE(k.titel, titel);
  QCOMPARE(k.text, QString("Erste Zeile !\nZweite Zeile"));
  QCOMPARE(k.knoepfe, QStringList{"OK"});
}

void tst_QtOberflaeche::frageJaUndNein() {
  auto m = NeuesModell();
  TMainform f(*m);
  Kasten k;
  BeantworteNaechsten(k, "&Ja");
  QVERIFY(f.UI().Frage("Wollen Sie ?"));
  QCOMPARE(int(k.symbol), int(QMessageBox::Question));
  QCOMPARE(k.knoepfe.size(), 2);
  QVERIFY(k.knoepfe.contains("&Ja"));
  QVERIFY(k.knoepfe.contains("&Nein"));
  Kasten k2;
  BeantworteNaechsten(k2, "&Nein");
  QVERIFY(!f.UI().Frage("Wollen Sie ?"));
  QVERIFY(k2.gesehen);
}

void tst_QtOberflaeche::beobachterStattKasten() {
  auto m = NeuesModell();
  Aufzeichner a;
  a.antworten = {true};
  TMainform f(*m, &a);
  // A box that did appear would be closed here and counted.
  Kasten k;
  BeantworteNaechsten(k);
  f.UI().Fehler("F");
  f.UI().Warnung("W");
  f.UI().Information("I");
  f.UI().Meldung("M");
  QVERIFY(f.UI().Frage("Q"));
  QCoreApplication::processEvents();
  QVERIFY(!k.gesehen);
  QCOMPARE(a.nachrichten, (std::vector<Nachricht>{{"Fehler", "F"},
                                                  {"Warnung", "W"},
                                                  {"Information", "I"},
                                                  {"Meldung", "M"},
                                                  {"Frage", "Q"}}));
  // Everything else reaches both the windows and the observer.
  f.UI().Stat("Rechne Segment 7");
  QCOMPARE(a.status, std::vector<std::string>{"Rechne Segment 7"});
  QCOMPARE(Kind<QLabel>(f, "StatusBar1")->text(), QString("Rechne Segment 7"));
  int gerufen = 0;
  a.beiProcMsg = [&](int n) { gerufen = n; };
  f.UI().procMsg();
  QCOMPARE(gerufen, 1);
}

void tst_QtOberflaeche::statuszeile() {
  auto m = NeuesModell();
  TMainform f(*m);
  auto* zeile = Kind<QLabel>(f, "StatusBar1");
  f.UI().Stat("Initialisierung...");
  QCOMPARE(zeile->text(), QString("Initialisierung..."));
  f.UI().Stat("");
  QCOMPARE(zeile->text(), QString("Terval 1.00 h  v. 10.08.04"));
  // Progress within a segment shows a bar in the status line.
  auto* balken = Kind<QProgressBar>(f, "pb_Fortschritt");
  f.UI().Fortschritt(100, 365);
  QVERIFY(!balken->isHidden());
  QCOMPARE(balken->maximum(), 365);
  QCOMPARE(balken->value(), 100);
}

void tst_QtOberflaeche::sanduhrIstAusgeglichen() {
  auto m = NeuesModell();
  TMainform f(*m);
  f.UI().Sanduhr(true);
  f.UI().Sanduhr(true);
  QVERIFY(QApplication::overrideCursor());
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  f.UI().Sanduhr(false);
  QVERIFY(QApplication::overrideCursor());
  // One more "off" than "on" must not take away a cursor someone else set.
  f.UI().Sanduhr(false);
  f.UI().Sanduhr(false);
  QVERIFY(!QApplication::overrideCursor());
}

void tst_QtOberflaeche::laufBeginntUndEndet() {
  auto m = NeuesModell();
  TMainform f(*m);
  f.show();
  auto* stop = Kind<QPushButton>(f, "btStopsim");
  QVERIFY(!stop->isVisible());
  f.UI().LaufBeginnt();
  QVERIFY(stop->isVisible());
  QVERIFY(f.Gitterfenster()->isVisible());
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  // The stop button only raises the flag.
  stop->click();
  QVERIFY(m->StopRequested);
  f.UI().Fortschritt(5, 365);
  f.UI().LaufEndet();
  QVERIFY(!stop->isVisible());
  QVERIFY(!f.Gitterfenster()->isVisible());
  QVERIFY(!QApplication::overrideCursor());
  QVERIFY(Kind<QProgressBar>(f, "pb_Fortschritt")->isHidden());
}

void tst_QtOberflaeche::klimaLabelFarben() {
  auto m = NeuesModell();
  TMainform f(*m);
  const char* namen[5] = {"l_Tluft", "L_rfeuchte", "L_wind", "l_strahlung", "l_ns"};
  f.UI().KlimaLabel(Klimaelement::Wind, true);
  f.UI().KlimaLabel(Klimaelement::Niederschlag, false);
  for (int i = 0; i < 5; ++i) {
    const QColor farbe = Kind<QLabel>(f, namen[i])->palette().color(QPalette::WindowText);
    QCOMPARE(farbe, i == 2 ? QColor(0, 128, 0) : QColor(128, 0, 0));
  }
  f.UI().KlimaLabel(Klimaelement::Wind, false);
  QCOMPARE(Kind<QLabel>(f, "L_wind")->palette().color(QPalette::WindowText), QColor(128, 0, 0));
}

QTEST_MAIN(tst_QtOberflaeche)
#include "tst_QtOberflaeche.moc"
