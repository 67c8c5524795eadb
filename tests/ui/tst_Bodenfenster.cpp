// The pictures that leave the program: the renderer on fields whose picture is
// known, the window "2D-Feld" after a run (day slider, play button, the day saved
// as data), the year at a glance saved as SVG and as data, and terval-batch
// --bilder drawing, without a display, the very pictures the windows save.
#include <QRegularExpression>
#include <QtCharts>

#include "Fensterhilfen.h"
#include "channel/UshowKanaldaten.h"
#include "climate/Klimaerzeugung.h"
#include "location/klimaprofil.h"
#include "ui/Bildwerk.h"
#include "ui/Bodenfenster.h"
#include "ui/Export.h"
#include "ui/Jahresblick.h"

namespace {

// What the save dialogs "return" is `pfad`; the file the button wrote.
QByteArray Speichere(Aufbau& a, const QWidget& fenster, const char* knopf, const QString& pfad) {
  a.f->speicherdatei = pfad;
  Klick(fenster, knopf);
  QFile datei(pfad);
  return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray();
}

// A field of 8 columns, all 12 degC but for the cells `warm` gives.
Bodenfeld Feld(const std::function<float(int, int)>& warm = {}) {
  Bodenfeld f;
  f.Tag = 14, f.Spalten = 8;
  for (int c = 0; c < f.Spalten; ++c)
    for (int r = 0; r < Zeilen; ++r) f.T.push_back(warm ? warm(c, r) : 12.0f), f.Fest.push_back(0);
  return f;
}

// The position 0..1 on the scale whose colour lies nearest to `farbe`.
double Skalenwert(QColor farbe) {
  double bester = -1, abstand = 1e9;
  for (int i = 0; i <= 1000; ++i) {
    const QColor s = Farbskala(i / 1000.0);
    const double d = std::hypot(s.red() - farbe.red(), s.green() - farbe.green(), s.blue() - farbe.blue());
    if (d < abstand) abstand = d, bester = i / 1000.0;
  }
  return bester;
}

}  // namespace

class tst_Bodenfenster : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }
  void bekannteFelder();
  void fensterNachDemLauf();
  void batchZeichnetWieDieFenster();
};

void tst_Bodenfenster::bekannteFelder() {
  // The scale grows lighter from end to end: its order survives a grey print.
  for (int i = 1; i <= 50; ++i) QVERIFY2(qGray(Farbskala(i / 50.0).rgb()) > qGray(Farbskala((i - 1) / 50.0).rgb()), qPrintable(QString::number(i)));
  QImage bild(Bildgroesse, QImage::Format_RGB32);
  auto zeichne = [&](const Bodenfeld& f, Temperaturbereich b) {
    bild.fill(Qt::white);
    QPainter maler(&bild);
    return ZeichneBoden(maler, QRectF(QPointF(0, 0), Bildgroesse), f, b);
  };
  // A uniform field is one colour, the scale's middle, inside its frame.
  const QRectF rahmen = zeichne(Feld(), {10, 14});
  QVERIFY(rahmen.width() > 100 && rahmen.height() > 100 && qAbs(rahmen.width() / 8 - rahmen.height() / Zeilen) < 0.01);
  const QRect innen = rahmen.toAlignedRect().adjusted(2, 2, -2, -2);
  QSet<QRgb> farben;
  for (int y = innen.top(); y <= innen.bottom(); ++y)
    for (int x = innen.left(); x <= innen.right(); ++x) farben.insert(bild.pixel(x, y));
  QCOMPARE(farben, QSet<QRgb>{Farbskala(0.5).rgb()});
  // A warm pipe (two by two cells at 2.5 m depth) in soil that cools away from it: the picture is warmest at
  // the pipe and outlines it; a cellar wall on the left is hatched, not coloured.
  auto rohr = [](int c, int r) { return (c == 3 || c == 4) && (r == 5 || r == 6); };
  Bodenfeld f = Feld([&](int c, int r) { return rohr(c, r) ? 30.0f : 30.0f - 2.0f * float(std::hypot(c - 3.5, r - 5.5)); });
  for (int r = 0; r < Zeilen; ++r) f.Fest[r] = 1;
  for (int c = 3; c <= 4; ++c) f.Fest[c * Zeilen + 5] = f.Fest[c * Zeilen + 6] = 1;
  f.WandLinks = true, f.Ueberbaut = 1;
  const QRectF r = zeichne(f, {0, 30});
  const double zelle = r.width() / 8;
  auto mitte = [&](int c, int z) { return QColor(bild.pixel(QPointF(r.left() + (c + 0.5) * zelle, r.top() + (z + 0.5) * zelle).toPoint())); };
  double waermste = -1;
  QPoint wo;
  for (int c = 1; c < 8; ++c)
    for (int z = 0; z < Zeilen; ++z)
      if (const double w = Skalenwert(mitte(c, z)); w > waermste) waermste = w, wo = QPoint(c, z);
  QVERIFY2(rohr(wo.x(), wo.y()) && waermste > 0.99, qPrintable(QString("%1,%2").arg(wo.x()).arg(wo.y())));
  const QPoint kante = QPointF(r.left() + 3 * zelle, r.top() + 5.5 * zelle).toPoint();
  QCOMPARE(QColor(bild.pixel(kante)), QColor(Qt::black));
  QSet<QRgb> wand;
  for (int y = int(r.top()) + 2; y < int(r.bottom()) - 2; ++y) wand.insert(bild.pixel(int(r.left() + zelle / 2), y));
  QVERIFY(wand.size() == 2 && wand.contains(QColor(220, 220, 220).rgb()));
}

void tst_Bodenfenster::fensterNachDemLauf() {
  Aufbau a(3);
  Prueffenster& f = *a.f;
  QTemporaryDir dir;
  QVERIFY(!Befehl(f, "Feld2DAnzeigen")->isEnabled());
  Setze(f, "E_markseg", "2");
  Starte(a, dir.path());
  const Bodenjahr& jahr = f.LetzterLauf().boden;
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && jahr.Tage().size() == 365);
  Befehl(f, "Feld2DAnzeigen")->trigger();
  Bodenfenster& fenster = *f.Feldfenster();
  auto* schieber = Kind<QSlider>(fenster, "sl_Tag");
  QVERIFY(fenster.isVisible() && schieber->minimum() == 0 && schieber->maximum() == 364);
  schieber->setValue(13);
  QCOMPARE(Kind<QLabel>(fenster, "l_Tag")->text(), QString("Segment 2, Tag 14"));
  // The day saved as data: distances across, depths down, reading back to the field bit for bit.
  const QStringList zeilen = QString::fromUtf8(Speichere(a, fenster, "bt_SaveFieldData", dir.filePath("feld.csv"))).split('\n', Qt::SkipEmptyParts);
  const Bodenfeld& tag = *jahr.Tag(14);
  QCOMPARE(zeilen.size(), 1 + Zeilen);
  QStringList kopf{"Tiefe (m) / Abstand (m)"};
  for (int c = 0; c < tag.Spalten; ++c) kopf << QString::number(c * 0.5);
  QCOMPARE(zeilen[0].split(';'), kopf);
  for (int z = 0; z < Zeilen; ++z) {
    const QStringList w = zeilen[z + 1].split(';');
    QVERIFY(w.size() == tag.Spalten + 1 && w[0].toDouble() == z * 0.5);
    for (int c = 0; c < tag.Spalten; ++c) QVERIFY2(w[c + 1].toDouble() == double(tag.Temperatur(c, z)), qPrintable(zeilen[z + 1]));
  }
  // Played to the year's end it stops; played again it starts from the first day.
  auto* spielen = Kind<QPushButton>(fenster, "bt_Abspielen");
  schieber->setValue(360);
  spielen->click();
  QTRY_VERIFY(!spielen->isChecked());
  QCOMPARE(Kind<QLabel>(fenster, "l_Tag")->text(), QString("Segment 2, Tag 365"));
  spielen->click();
  QVERIFY(spielen->isChecked() && schieber->value() < 5 && spielen->text() == "Anhalten");
  fenster.close();
  QVERIFY(!spielen->isChecked());
  f.Zeige2DFeld();

  // The year at a glance: the duration curves as SVG, each series one line through its points in its own
  // colour, the inlet's dashed; the months as data, the bars' values.
  Jahresblick& j = *f.Jahresueberblick();
  QXmlStreamReader svg(Speichere(a, j, "bt_SaveDurationImage", dir.filePath("dauer.svg")));
  // Per stroke colour and dash, the longest line drawn; a line may come in pieces, each starting where the last ended.
  QMap<QString, QList<QPointF>> linien, kette;
  QString strich, text;
  const QRegularExpression punkt("(-?[0-9.]+(?:e-?[0-9]+)?),(-?[0-9.]+(?:e-?[0-9]+)?)");
  while (!svg.atEnd()) {
    svg.readNext();
    if (svg.isCharacters()) text += svg.text();
    if (!svg.isStartElement()) continue;
    const QXmlStreamAttributes attr = svg.attributes();
    if (svg.name() == u"g" && attr.hasAttribute("stroke"))
      strich = attr.value("stroke").toString() + (attr.hasAttribute("stroke-dasharray") ? " gestrichelt" : "");
    if (svg.name() != u"polyline" && svg.name() != u"path") continue;
    QList<QPointF> linie;
    for (const QRegularExpressionMatch& p : punkt.globalMatch(attr.value(svg.name() == u"path" ? "d" : "points")))
      linie.append(QPointF(p.captured(1).toDouble(), p.captured(2).toDouble()));
    QList<QPointF>& k = kette[strich];
    if (!k.isEmpty() && !linie.isEmpty() && linie.first() == k.last()) linie.removeFirst();
    else k.clear();
    k.append(linie);
    if (k.size() > linien[strich].size()) linien[strich] = k;
  }
  QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
  // Drawn at some scale and offset: the points are the series' own once both are mapped from first to last.
  auto gleich = [](const QList<QPointF>& gezeichnet, const QList<QPointF>& reihe) {
    if (gezeichnet.size() != reihe.size() || reihe.size() < 2) return false;
    const QPointF a0 = reihe.first(), a1 = reihe.last(), b0 = gezeichnet.first(), b1 = gezeichnet.last();
    const double sx = (b1.x() - b0.x()) / (a1.x() - a0.x()), sy = (b1.y() - b0.y()) / (a1.y() - a0.y());
    for (qsizetype i = 0; i < reihe.size(); ++i)
      if (qAbs(b0.x() + sx * (reihe[i].x() - a0.x()) - gezeichnet[i].x()) > 0.02 ||
          qAbs(b0.y() + sy * (reihe[i].y() - a0.y()) - gezeichnet[i].y()) > 0.02)
        return false;
    return true;
  };
  QVERIFY2(gleich(linien.value("#000000"), j.DauerAus()->points()) && gleich(linien.value("#0046aa gestrichelt"), j.DauerEin()->points()),
           qPrintable(QStringList(linien.keys()).join('|')));
  // The picture's title carries the hours the window's label counts: 0, below, limit, above.
  const QStringList zahlen = Kind<QLabel>(j, "l_Stundenzahl")->text().split(QRegularExpression("\\D+"), Qt::SkipEmptyParts);
  QCOMPARE(zahlen.size(), 4);
  const QString titel = QString("(Taus: %1 h unter 0 °C, %2 h über %3 °C)").arg(zahlen[1], zahlen[3], zahlen[2]);
  QVERIFY2(text.contains(titel), qPrintable(text.left(300)));
  const QStringList monate = QString::fromUtf8(Speichere(a, j, "bt_SaveMonthsData", dir.filePath("monate.csv"))).split('\n', Qt::SkipEmptyParts);
  QVERIFY(monate.size() == 13 && monate[0] == "Monat (-);Gewinn (kWh);Abgabe (kWh)");
  for (int i = 0; i < 12; ++i)
    QVERIFY(monate[i + 1].split(';') == QStringList({QString::number(i + 1), Zahl(j.Gewinn()->at(i)), Zahl(j.Abgabe()->at(i))}));

  // A run without a marked segment keeps no fields: the window goes, the command waits for the next.
  Setze(f, "E_markseg", "-1");
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().boden.Leer() && !fenster.isVisible() && !Befehl(f, "Feld2DAnzeigen")->isEnabled());
}

void tst_Bodenfenster::batchZeichnetWieDieFenster() {
  // The sample run with segment 18 marked, once in the window and once by terval-batch --bilder on its own
  // copies of the files, with no display and no platform named.
  const QString daten = TERVAL_DATENVERZEICHNIS;
  QTemporaryDir dir;
  for (const char* ordner : {"fenster", "batch", "ein1", "ein2"}) QVERIFY(QDir(dir.path()).mkdir(ordner));
  for (const char* name : {"Erdkanal.ewt.db", "Bochum.loc.db", "Aachen2022.DBF"})
    for (const char* ein : {"ein1", "ein2"}) QVERIFY(QFile::copy(daten + "/" + name, dir.filePath(ein) + "/" + name));
  const QString ein1 = dir.filePath("ein1"), ein2 = dir.filePath("ein2");
  Aufbau a;
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  QVERIFY(LadeStandortdatei(m, f.UI(), StdText(ein1 + "/Bochum.loc.db")) && LadeKanaldatei(m, f.UI(), StdText(ein1 + "/Erdkanal.ewt.db")));
  f.klimadatei = ein1 + "/Aachen2022.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  FehlendeKlimadatenErzeugen(m, f.UI(), false, 1u);
  Setze(f, "E_markseg", "18");
  Starte(a, dir.filePath("fenster"));
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig);

  QProcess batch;
  QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) umgebung.remove(name);
  batch.setProcessEnvironment(umgebung);
  batch.setWorkingDirectory(dir.filePath("batch"));
  batch.start(TERVAL_BINVERZEICHNIS "/terval-batch",
              {"--kanal", ein2 + "/Erdkanal.ewt.db", "--standort", ein2 + "/Bochum.loc.db", "--klima", ein2 + "/Aachen2022.DBF",
               "--erzeugen", "--seed", "1", "--markseg", "18", "--bilder"});
  QVERIFY(batch.waitForFinished(120000));
  QVERIFY2(batch.exitStatus() == QProcess::NormalExit && batch.exitCode() == 0, batch.readAllStandardError().constData());
  QVERIFY(QString::fromUtf8(batch.readAllStandardOutput()).contains("  Terval Bild Monate.png\n"));

  // Pixel for pixel what the windows save.
  auto gleich = [&](const QString& name, const QWidget& fenster, const char* knopf) {
    const QImage b(dir.filePath("batch/Terval " + name)), w = QImage::fromData(Speichere(a, fenster, knopf, dir.filePath("fenster/" + name)));
    return !b.isNull() && b.size() == Bildgroesse && b.convertToFormat(QImage::Format_RGB32) == w.convertToFormat(QImage::Format_RGB32);
  };
  Befehl(f, "Feld2DAnzeigen")->trigger();
  Bodenfenster& fenster = *f.Feldfenster();
  for (int tag : Referenztage) {
    fenster.Schieber()->setValue(tag - 1);
    QVERIFY2(gleich(QString("Bild Boden Tag %1.png").arg(tag), fenster, "bt_SaveFieldImage"), qPrintable(QString::number(tag)));
    // Winter and summer for the documentation.
    if (tag == 14 || tag == 225) QVERIFY(Bild(fenster, QString("feld2d-tag%1.png").arg(tag)));
  }
  Jahresblick& j = *f.Jahresueberblick();
  QVERIFY(gleich("Bild Monate.png", j, "bt_SaveMonthsImage") && gleich("Bild Dauerlinie.png", j, "bt_SaveDurationImage"));
  Kind<QTabWidget>(f, "tw_Diagramme")->setCurrentWidget(&j);
  f.resize(1280, 800);
  f.show();
  QCoreApplication::processEvents();
  QVERIFY(Bild(*j.Monate(), "jahresueberblick-monate.png") && Bild(*j.Dauerkurven(), "jahresueberblick-dauerlinie.png"));
}

QTEST_MAIN(tst_Bodenfenster)
#include "tst_Bodenfenster.moc"
