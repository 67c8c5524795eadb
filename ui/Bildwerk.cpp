#include "ui/Bildwerk.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <functional>

namespace terval {

namespace {

// The "viridis" map sampled at 0, 1/8, ..., 1; linear between the samples.
// Its lightness rises at an even pace, so equal steps of temperature look
// equally far apart.
const QColor Anker[9] = {QColor(68, 1, 84),    QColor(71, 45, 123),  QColor(59, 82, 139),
                         QColor(44, 114, 142), QColor(33, 144, 140), QColor(39, 173, 129),
                         QColor(93, 200, 99),  QColor(170, 220, 50), QColor(253, 231, 37)};

QString Oberflaechentext(int32_t ueberbaut) {
  return ueberbaut == 0 ? "offen" : ueberbaut == 1 ? "überbaut" : "versiegelt";
}

// A round step (1, 2 or 5 times a power of ten) giving at most `teile` parts of `spanne`.
double RunderSchritt(double spanne, int teile) {
  const double roh = std::max(spanne, 1e-9) / teile;
  const double zehner = std::pow(10.0, std::floor(std::log10(roh)));
  for (double f : {1.0, 2.0, 5.0})
    if (f * zehner >= roh) return f * zehner;
  return 10 * zehner;
}

QString Zahltext(double x) { return QString::number(std::abs(x) < 1e-9 ? 0.0 : x, 'g', 4); }

// The rectangle of the cell in column c, row r, on whole pixels so that
// neighbours share their edges.
QRectF Zellrechteck(const QRectF& feld, double zelle, int c, int r) {
  const double x0 = std::round(feld.left() + c * zelle), x1 = std::round(feld.left() + (c + 1) * zelle);
  const double y0 = std::round(feld.top() + r * zelle), y1 = std::round(feld.top() + (r + 1) * zelle);
  return QRectF(x0, y0, x1 - x0, y1 - y0);
}

// A picture of Bildgroesse on white as PNG or SVG.
QByteArray Zeichne(Bildformat format, const std::function<void(QPainter&, const QRectF&)>& male) {
  const QRectF ziel(QPointF(0, 0), Bildgroesse);
  QBuffer puffer;
  puffer.open(QIODevice::WriteOnly);
  if (format == Bildformat::Svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&puffer);
    svg.setSize(Bildgroesse);
    svg.setViewBox(ziel);
    QPainter maler(&svg);
    maler.fillRect(ziel, Qt::white);
    male(maler, ziel);
    maler.end();
  } else {
    QImage bild(Bildgroesse, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter maler(&bild);
    male(maler, ziel);
    maler.end();
    if (!bild.save(&puffer, "PNG")) return {};
  }
  return puffer.data();
}

// Draws a chart that no view shows: in a scene of its own, laid out at the
// target's size.
void MaleDiagramm(QChart* chart, QPainter& maler, const QRectF& ziel) {
  QGraphicsScene szene;
  szene.addItem(chart);
  chart->setGeometry(QRectF(QPointF(0, 0), ziel.size()));
  chart->layout()->activate();
  maler.setRenderHint(QPainter::Antialiasing);
  szene.render(&maler, ziel, QRectF(QPointF(0, 0), ziel.size()));
  szene.removeItem(chart);
}

QValueAxis* Achse(QChart* c, Qt::Alignment seite, const QString& titel) {
  auto* a = new QValueAxis;
  a->setTitleText(titel);
  a->setLabelFormat("%g");
  c->addAxis(a, seite);
  return a;
}

QChart* NeuesDiagramm(const QString& titel) {
  auto* c = new QChart;
  c->setTitle(titel);
  c->legend()->setAlignment(Qt::AlignBottom);
  c->setBackgroundRoundness(0);
  return c;
}

std::string Bytes(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }

}  // namespace

QColor Farbskala(double t) {
  if (!(t > 0)) t = 0;
  if (t > 1) t = 1;
  const double x = t * 8;
  const int i = std::min(static_cast<int>(x), 7);
  const double f = x - i;
  auto mische = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
  const QColor &a = Anker[i], &b = Anker[i + 1];
  return QColor(mische(a.red(), b.red()), mische(a.green(), b.green()), mische(a.blue(), b.blue()));
}

namespace {

// The cells on the colour scale, cellar walls hatched, the pipe outlined
// black with a white edge inside, visible on every colour of the scale.
void ZeichneZellen(QPainter& maler, const QRectF& rahmen, double zelle, const Bodenfeld& feld,
                   const Temperaturbereich& bereich) {
  if (feld.T.size() != static_cast<size_t>(feld.Spalten) * Zeilen || feld.Fest.size() != feld.T.size()) return;
  const double spanne = std::max(bereich.Max - bereich.Min, 1e-6f);
  auto istWand = [&](int c, int r) {
    return feld.IstFest(c, r) && ((c == 0 && feld.WandLinks) || (c == feld.Spalten - 1 && feld.WandRechts));
  };
  auto istRohr = [&](int c, int r) {
    return c >= 0 && c < feld.Spalten && r >= 0 && r < Zeilen && feld.IstFest(c, r) && !istWand(c, r);
  };
  for (int c = 0; c < feld.Spalten; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      const QRectF z = Zellrechteck(rahmen, zelle, c, r);
      if (istWand(c, r)) {
        maler.fillRect(z, QColor(220, 220, 220));
        maler.fillRect(z, QBrush(QColor(60, 60, 60), Qt::BDiagPattern));
      } else {
        maler.fillRect(z, Farbskala((feld.Temperatur(c, r) - bereich.Min) / spanne));
      }
    }
  for (int c = 0; c < feld.Spalten; ++c)
    for (int r = 0; r < Zeilen; ++r) {
      if (!istRohr(c, r)) continue;
      const QRectF z = Zellrechteck(rahmen, zelle, c, r);
      const struct {
        bool aussen;
        QLineF linie, innen;
      } kanten[4] = {
          {!istRohr(c - 1, r), QLineF(z.topLeft(), z.bottomLeft()), QLineF(z.topLeft() + QPointF(2, 0), z.bottomLeft() + QPointF(2, 0))},
          {!istRohr(c + 1, r), QLineF(z.topRight(), z.bottomRight()), QLineF(z.topRight() - QPointF(2, 0), z.bottomRight() - QPointF(2, 0))},
          {!istRohr(c, r - 1), QLineF(z.topLeft(), z.topRight()), QLineF(z.topLeft() + QPointF(0, 2), z.topRight() + QPointF(0, 2))},
          {!istRohr(c, r + 1), QLineF(z.bottomLeft(), z.bottomRight()), QLineF(z.bottomLeft() - QPointF(0, 2), z.bottomRight() - QPointF(0, 2))}};
      for (const auto& k : kanten) {
        if (!k.aussen) continue;
        maler.setPen(QPen(Qt::black, 2));
        maler.drawLine(k.linie);
        maler.setPen(QPen(Qt::white, 1));
        maler.drawLine(k.innen);
      }
    }
}

// The surface above the field: open ground a line with tufts, overbuilt a
// cross-hatched band, sealed a solid one; the title names it too.
void ZeichneOberflaeche(QPainter& maler, const QRectF& rahmen, int32_t ueberbaut) {
  const QRectF band(rahmen.left(), rahmen.top() - 8, rahmen.width(), 7);
  if (ueberbaut == 0) {
    maler.drawLine(band.bottomLeft(), band.bottomRight());
    for (double x = band.left() + 3; x < band.right(); x += 8) maler.drawLine(QPointF(x, band.bottom()), QPointF(x + 2, band.top() + 2));
  } else if (ueberbaut == 1) {
    maler.fillRect(band, Qt::white);
    maler.fillRect(band, QBrush(Qt::black, Qt::DiagCrossPattern));
    maler.drawRect(band);
  } else {
    maler.fillRect(band, QColor(40, 40, 40));
  }
}

// Depth on the left every metre and distance below, both at the cells' centres.
void ZeichneAchsen(QPainter& maler, const QRectF& rahmen, double zelle, int spalten) {
  const QFontMetricsF fm(maler.font());
  const double zh = fm.height();
  for (double t = 0; t <= UntersteZeile * DZ + 1e-6; t += 1.0) {
    const double y = rahmen.top() + (t / DZ + 0.5) * zelle;
    maler.drawLine(QPointF(rahmen.left() - 4, y), QPointF(rahmen.left(), y));
    maler.drawText(QRectF(rahmen.left() - 66, y - zh / 2, 60, zh), Qt::AlignRight | Qt::AlignVCenter, Zahltext(t));
  }
  maler.save();
  maler.translate(rahmen.left() - fm.horizontalAdvance("8.8") - zh * 1.4, rahmen.center().y());
  maler.rotate(-90);
  maler.drawText(QRectF(-rahmen.height() / 2, -zh / 2, rahmen.height(), zh), Qt::AlignCenter, "Tiefe (m)");
  maler.restore();

  const double schritt = RunderSchritt((spalten - 1) * DX, 10);
  for (double x = 0; x <= (spalten - 1) * DX + 1e-6; x += schritt) {
    const double px = rahmen.left() + (x / DX + 0.5) * zelle;
    maler.drawLine(QPointF(px, rahmen.bottom()), QPointF(px, rahmen.bottom() + 4));
    maler.drawText(QRectF(px - 30, rahmen.bottom() + 4, 60, zh), Qt::AlignHCenter | Qt::AlignTop, Zahltext(x));
  }
  maler.drawText(QRectF(rahmen.left(), rahmen.bottom() + 4 + zh, rahmen.width(), zh), Qt::AlignCenter, "Abstand (m)");
}

// The moisture column from `x`, `breite` wide: one cell per row with its value.
void ZeichneFeuchte(QPainter& maler, const QRectF& rahmen, double zelle, const Schichten& theta, double x,
                    double breite, const QString& kopf) {
  const double zh = QFontMetricsF(maler.font()).height();
  maler.drawText(QRectF(x - 4, rahmen.top() - 8 - zh * 1.2, breite + 8, zh), Qt::AlignCenter, kopf);
  for (int r = 0; r < Zeilen; ++r) {
    const QRectF zeile = Zellrechteck(rahmen, zelle, 0, r);
    const QRectF z(x, zeile.top(), breite, zeile.height());
    const double anteil = std::clamp(theta[r] / 0.5, 0.0, 1.0);
    maler.fillRect(z, QColor::fromHsvF(0.58f, static_cast<float>(0.05 + 0.45 * anteil), 1.0f));
    maler.drawRect(z);
    maler.drawText(z, Qt::AlignCenter, QString::number(theta[r], 'f', 3));
  }
}

// The colour bar from `x` beside the field, with round ticks up to `rechts`.
void ZeichneFarbbalken(QPainter& maler, const QRectF& rahmen, const Temperaturbereich& bereich, double x, double rechts) {
  const double zh = QFontMetricsF(maler.font()).height();
  const QRectF balken(x + 8, rahmen.top(), zh, rahmen.height());
  for (int i = 0; i < static_cast<int>(balken.height()); ++i) {
    maler.setPen(Farbskala(1.0 - i / std::max(balken.height() - 1, 1.0)));
    maler.drawLine(QPointF(balken.left(), balken.top() + i), QPointF(balken.right() - 1, balken.top() + i));
  }
  maler.setPen(Qt::black);
  maler.drawRect(balken);
  maler.drawText(QRectF(balken.left() - 20, rahmen.top() - 8 - zh * 1.2, balken.width() + 40, zh), Qt::AlignCenter, "T (°C)");
  const double spanne = std::max(bereich.Max - bereich.Min, 1e-6f);
  const double schritt = RunderSchritt(bereich.Max - bereich.Min, 6);
  for (double t = std::ceil(bereich.Min / schritt - 1e-9) * schritt; t <= bereich.Max + 1e-9; t += schritt) {
    const double y = balken.bottom() - (t - bereich.Min) / spanne * balken.height();
    maler.drawLine(QPointF(balken.right(), y), QPointF(balken.right() + 4, y));
    maler.drawText(QRectF(balken.right() + 6, y - zh / 2, rechts - balken.right() - 6, zh), Qt::AlignLeft | Qt::AlignVCenter,
                   Zahltext(t));
  }
}

}  // namespace

QRectF ZeichneBoden(QPainter& maler, const QRectF& ziel, const Bodenfeld& feld, const Temperaturbereich& bereich) {
  maler.save();
  maler.setRenderHint(QPainter::Antialiasing, false);
  maler.setPen(Qt::black);
  const QFontMetricsF fm(maler.font());
  const double zh = fm.height();
  const int spalten = std::max(feld.Spalten, 1);
  const QString feuchteKopf = "θ (m³/m³)";
  const double feuchteBreite = feld.MitFeuchte ? fm.horizontalAdvance(feuchteKopf) + 8 : 0;
  const double balkenBreite = zh + 8 + fm.horizontalAdvance("-88.8");

  // Margins: title and surface band above, depth on the left, distance
  // below, the moisture column and the colour bar on the right.
  const double links = ziel.left() + 2 * zh + fm.horizontalAdvance("8.8");
  const double oben = ziel.top() + 2.5 * zh + 8;
  const double unten = ziel.bottom() - 2.5 * zh;
  const double rechts = ziel.right() - balkenBreite - 20 - (feld.MitFeuchte ? feuchteBreite + 12 : 0);
  const double zelle = std::max(1.0, std::min((rechts - links) / spalten, (unten - oben) / Zeilen));
  // A narrow field stands in the middle with its scales.
  const double versatz = std::max(0.0, (rechts - links - zelle * spalten) / 2);
  const QRectF rahmen(links + versatz, oben, zelle * spalten, zelle * Zeilen);

  maler.drawText(QRectF(ziel.left() + 4, ziel.top() + 2, ziel.width() - 8, zh), Qt::AlignLeft | Qt::AlignVCenter,
                 QString("Bodentemperatur in Segment %1 am Tag %2, Oberfläche %3")
                     .arg(feld.Segment)
                     .arg(feld.Tag)
                     .arg(Oberflaechentext(feld.Ueberbaut)));
  ZeichneZellen(maler, rahmen, zelle, feld, bereich);
  maler.setPen(Qt::black);
  maler.setBrush(Qt::NoBrush);
  maler.drawRect(rahmen);
  ZeichneOberflaeche(maler, rahmen, feld.Ueberbaut);
  ZeichneAchsen(maler, rahmen, zelle, spalten);
  double x = rahmen.right() + 12;
  if (feld.MitFeuchte) {
    ZeichneFeuchte(maler, rahmen, zelle, feld.Theta, x, feuchteBreite, feuchteKopf);
    x += feuchteBreite + 12;
  }
  ZeichneFarbbalken(maler, rahmen, bereich, x, ziel.right());
  maler.restore();
  return rahmen;
}

Monatsdiagramm NeuesMonatsdiagramm() {
  // Bars and curves must part in a grey print too: the bars by fill
  // pattern, the curves by dash.
  Monatsdiagramm d;
  d.gewinn = new QBarSet("Gewinn");
  d.gewinn->setBrush(QBrush(QColor(190, 60, 0)));
  d.abgabe = new QBarSet("Abgabe");
  d.abgabe->setBrush(QBrush(QColor(0, 70, 170), Qt::BDiagPattern));
  d.abgabe->setPen(QPen(QColor(0, 70, 170)));
  auto* balken = new QBarSeries;
  balken->append(d.gewinn);
  balken->append(d.abgabe);
  d.chart = NeuesDiagramm("Wärme der Luft je Monat");
  d.chart->addSeries(balken);
  auto* monatsachse = new QBarCategoryAxis;
  monatsachse->append({"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"});
  // Upright, the names fit a chart half a window wide.
  monatsachse->setLabelsAngle(-90);
  d.chart->addAxis(monatsachse, Qt::AlignBottom);
  balken->attachAxis(monatsachse);
  d.kwh = Achse(d.chart, Qt::AlignLeft, "kWh");
  balken->attachAxis(d.kwh);
  return d;
}

void Fuelle(const Monatsdiagramm& d, const Monatswaerme* w) {
  d.gewinn->remove(0, d.gewinn->count());
  d.abgabe->remove(0, d.abgabe->count());
  if (w == nullptr) return;
  double groesste = 0;
  for (int i = 0; i < 12; ++i) {
    d.gewinn->append(w->Gewinn_kWh[i]);
    d.abgabe->append(w->Abgabe_kWh[i]);
    groesste = std::max({groesste, w->Gewinn_kWh[i], w->Abgabe_kWh[i]});
  }
  d.kwh->setRange(0, groesste > 0 ? groesste * 1.05 : 1);
  d.kwh->applyNiceNumbers();
}

Dauerdiagramm NeuesDauerdiagramm() {
  Dauerdiagramm d;
  d.aus = new QLineSeries;
  d.aus->setName("Taus");
  d.aus->setPen(QPen(Qt::black, 2));
  d.ein = new QLineSeries;
  d.ein->setName("Tin");
  d.ein->setPen(QPen(QColor(0, 70, 170), 1.5, Qt::DashLine));
  d.chart = NeuesDiagramm("Dauerlinie der Lufttemperatur");
  d.chart->addSeries(d.aus);
  d.chart->addSeries(d.ein);
  auto* stundenachse = Achse(d.chart, Qt::AlignBottom, "Stunden (h)");
  stundenachse->setRange(0, Stunden);
  stundenachse->setTickType(QValueAxis::TicksDynamic);
  stundenachse->setTickAnchor(0);
  stundenachse->setTickInterval(1000);
  d.t = Achse(d.chart, Qt::AlignLeft, "T (°C)");
  for (QLineSeries* r : {d.aus, d.ein}) r->attachAxis(stundenachse), r->attachAxis(d.t);
  return d;
}

void Fuelle(const Dauerdiagramm& d, const Dauerlinien* l) {
  d.aus->clear();
  d.ein->clear();
  if (l == nullptr || l->T_aus.empty() || l->T_ein.size() != l->T_aus.size()) return;
  QList<QPointF> aus, ein;
  aus.reserve(static_cast<qsizetype>(l->T_aus.size())), ein.reserve(static_cast<qsizetype>(l->T_aus.size()));
  for (size_t i = 0; i < l->T_aus.size(); ++i)
    aus.append(QPointF(static_cast<double>(i + 1), l->T_aus[i])), ein.append(QPointF(static_cast<double>(i + 1), l->T_ein[i]));
  d.aus->replace(aus);
  d.ein->replace(ein);
  d.t->setRange(std::min(l->T_aus.back(), l->T_ein.back()), std::max(l->T_aus.front(), l->T_ein.front()));
  d.t->applyNiceNumbers();
}

QByteArray Bodenbild(const Bodenfeld& feld, const Temperaturbereich& bereich, Bildformat format) {
  return Zeichne(format, [&](QPainter& maler, const QRectF& ziel) { ZeichneBoden(maler, ziel, feld, bereich); });
}

QByteArray Monatsbild(const Monatswaerme& w, Bildformat format) {
  const Monatsdiagramm d = NeuesMonatsdiagramm();
  const std::unique_ptr<QChart> halter(d.chart);
  Fuelle(d, &w);
  return Zeichne(format, [&](QPainter& maler, const QRectF& ziel) { MaleDiagramm(d.chart, maler, ziel); });
}

QByteArray Dauerlinienbild(const Dauerlinien& l, Bildformat format) {
  const Dauerdiagramm d = NeuesDauerdiagramm();
  const std::unique_ptr<QChart> halter(d.chart);
  Fuelle(d, &l);
  // A picture in a report has no label beside it: its title carries the hours counted.
  if (!l.T_aus.empty())
    d.chart->setTitle(QString("%1 (Taus: %2 h unter 0 °C, %3 h über %4 °C)")
                          .arg(d.chart->title())
                          .arg(l.StundenUnterNull)
                          .arg(l.StundenUeberGrenze)
                          .arg(l.Grenze));
  return Zeichne(format, [&](QPainter& maler, const QRectF& ziel) { MaleDiagramm(d.chart, maler, ziel); });
}

QByteArray Ansichtsbild(QGraphicsView& ansicht, Bildformat format) {
  return Zeichne(format, [&](QPainter& maler, const QRectF& ziel) {
    // As large as fits, in the middle: the window's shape, not the picture's.
    const QRectF quelle = ansicht.viewport()->rect();
    if (quelle.isEmpty()) return;
    const double mass = std::min(ziel.width() / quelle.width(), ziel.height() / quelle.height());
    QRectF mitte(QPointF(0, 0), quelle.size() * mass);
    mitte.moveCenter(ziel.center());
    maler.setRenderHint(QPainter::Antialiasing);
    ansicht.render(&maler, mitte, quelle.toRect());
  });
}

QtBildmaler::QtBildmaler() = default;
QtBildmaler::~QtBildmaler() = default;

void QtBildmaler::Starte() {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The batch program speaks German on standard error: Qt's own notes on its
  // platform (a missing runtime folder and the like) are not for its user.
  qInstallMessageHandler([](QtMsgType art, const QMessageLogContext&, const QString& text) {
    if (art == QtCriticalMsg || art == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
  });
  anwendung_ = std::make_unique<QApplication>(argc_, argv_);
  // Qt has read the numeric locale from the environment; the tables need ".".
  std::setlocale(LC_NUMERIC, "C");
}

void QtBildmaler::Fertig() {
  anwendung_.reset();
  std::setlocale(LC_NUMERIC, "C");
}

std::string QtBildmaler::Bodenbild(const Bodenfeld& feld, const Temperaturbereich& bereich) {
  Starte();
  return Bytes(terval::Bodenbild(feld, bereich, Bildformat::Png));
}

std::string QtBildmaler::Monatsbild(const Monatswaerme& waerme) {
  Starte();
  return Bytes(terval::Monatsbild(waerme, Bildformat::Png));
}

std::string QtBildmaler::Dauerlinienbild(const Dauerlinien& linien) {
  Starte();
  return Bytes(terval::Dauerlinienbild(linien, Bildformat::Png));
}

QtBildmaler& QtBildmaler::Batch() {
  static QtBildmaler maler;
  return maler;
}

}  // namespace terval
