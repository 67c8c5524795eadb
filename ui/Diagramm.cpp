#include "ui/Diagramm.h"

#include <QBuffer>
#include <QGraphicsLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

#include "model/Vardef.h"
#include "ui/Export.h"

namespace terval {

namespace {

// One point of each of the four curves for day and hour (x = point index).
void Punkt(const Modell& m, int s, int tag, int stunde, qreal x, Segmentkurven& k) {
  const int h = StundenIndex(tag, stunde);
  const float t_in = m.Segmente[1].T_ein[h];
  k.tin.append(QPointF(x, t_in));
  if (!m.ErgebnisseVorhanden) return;
  const float t_aus = m.Segmente[s].T_aus[h];
  const float delta = t_aus - t_in;
  k.taus.append(QPointF(x, t_aus));
  k.tdelta.append(QPointF(x, delta));
  // Power of the air stream: volumetric heat capacity of air 1200 J/(m3 K)
  // times the channel's flow (m3/s) times the warming.
  k.energie.append(QPointF(x, 1200.0f * m.VolStromStunde[h] * delta));
}

void Reserve(Segmentkurven& k, int n) {
  k.tin.reserve(n);
  k.taus.reserve(n);
  k.tdelta.reserve(n);
  k.energie.reserve(n);
}

const char* const Monatsnamen[12] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                     "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

// Winter blue through spring green and summer red to autumn brown, so that
// neighbouring months are told apart and the seasons read at a glance.
const QColor Monatsfarben[12] = {
    QColor(0, 0, 160),   QColor(30, 90, 220),  QColor(0, 150, 200), QColor(0, 160, 80),
    QColor(110, 180, 0), QColor(220, 170, 0),  QColor(240, 100, 0), QColor(200, 0, 0),
    QColor(160, 0, 120), QColor(140, 80, 20),  QColor(90, 90, 90),  QColor(0, 0, 0)};

// What the x axis counts in modes 0, 1, 2, and its unit.
const char* const XTitel[] = {"Tage seit Jahresbeginn", "Stunde des Tages", "Segmente ab dem Kanaleingang"};
const char* const XEinheit[] = {"d", "h", "-"};

QLineSeries* NeueReihe(const QString& titel, const QColor& farbe) {
  auto* r = new QLineSeries;
  r->setName(titel);
  QPen stift(farbe);
  stift.setWidthF(1.5);
  r->setPen(stift);
  return r;
}

}  // namespace

Segmentkurven Jahresverlauf(const Modell& m, int s, int stunde) {
  Segmentkurven k;
  Reserve(k, 365);
  for (int tag = 1; tag <= 365; ++tag) Punkt(m, s, tag, stunde, tag - 1, k);
  return k;
}

Segmentkurven Tagesverlauf(const Modell& m, int s, int tag) {
  Segmentkurven k;
  Reserve(k, 24);
  for (int stunde = 0; stunde <= 23; ++stunde) Punkt(m, s, tag, stunde, stunde, k);
  return k;
}

std::array<QList<QPointF>, 12> Kanalverlauf(const Modell& m, int stunde) {
  std::array<QList<QPointF>, 12> r;
  const int n = std::clamp(m.Anz_Segmente, 0, MaxSegmente);
  for (int monat = 1; monat <= 12; ++monat) {
    QList<QPointF>& p = r[monat - 1];
    p.reserve(n);
    const int h = StundenIndex(30 * (monat - 1) + 15, stunde);
    for (int s = 1; s <= n; ++s) p.append(QPointF(s - 1, m.Segmente[s].T_aus[h]));
  }
  return r;
}

// The view takes its chart at birth: a chart replaced later would be left
// to whoever created it.
Diagramm::Diagramm(QWidget* parent) : QChartView(new QChart, parent) {
  setObjectName("Chart1");
  QChart* c = chart();
  c->setTitle("EWT-Betrieb");
  c->setBackgroundBrush(Hintergrund());
  c->setBackgroundRoundness(0);
  c->legend()->setAlignment(Qt::AlignRight);
  // The background reaches the edges, so a copy shows no frame of another colour.
  c->layout()->setContentsMargins(0, 0, 0, 0);
  setRenderHint(QPainter::Antialiasing);
  setFrameShape(QFrame::NoFrame);

  achseX_ = new QValueAxis;
  achseX_->setLabelFormat("%i");
  achseX_->setTickType(QValueAxis::TicksDynamic);
  achseX_->setTickAnchor(0);
  achseT_ = new QValueAxis;
  achseT_->setTitleText("T (°C)");
  achseT_->setLabelFormat("%g");
  achseW_ = new QValueAxis;
  achseW_->setTitleText("W");
  achseW_->setLabelFormat("%g");
  for (QValueAxis* a : {achseT_, achseW_}) a->setTickType(QValueAxis::TicksDynamic), a->setTickAnchor(0);
  c->addAxis(achseX_, Qt::AlignBottom);
  c->addAxis(achseT_, Qt::AlignLeft);
  c->addAxis(achseW_, Qt::AlignRight);

  tin_ = NeueReihe("Tin", QColor(255, 0, 0));
  taus_ = NeueReihe("Taus", QColor(0, 128, 0));
  tdelta_ = NeueReihe("Tdelta", QColor(255, 255, 0));
  energie_ = NeueReihe("Energie", QColor(255, 128, 0));
  for (int i = 0; i < 12; ++i) monate_[i] = NeueReihe(Monatsnamen[i], Monatsfarben[i]);

  Anhaengen(tin_, achseT_);
  Anhaengen(taus_, achseT_);
  Anhaengen(tdelta_, achseT_);
  Anhaengen(energie_, achseW_);
  modus_ = 0;
}

Diagramm::~Diagramm() {
  // Detached series belong to nobody else.
  for (QLineSeries* r : {tin_, taus_, tdelta_, energie_})
    if (!r->chart()) delete r;
  for (QLineSeries* r : monate_)
    if (!r->chart()) delete r;
}

QColor Diagramm::Hintergrund() { return QColor(192, 192, 192); }

void Diagramm::Anhaengen(QLineSeries* reihe, QValueAxis* achseY) {
  if (reihe->chart()) return;
  chart()->addSeries(reihe);
  reihe->attachAxis(achseX_);
  reihe->attachAxis(achseY);
}

void Diagramm::Abhaengen(QLineSeries* reihe) {
  if (reihe->chart()) chart()->removeSeries(reihe);
}

void Diagramm::SetzeModus(int modus) {
  modus_ = modus;
  if (modus == 2) {
    for (QLineSeries* r : {tin_, taus_, tdelta_}) Abhaengen(r);
    for (QLineSeries* r : monate_) Anhaengen(r, achseT_);
  } else {
    for (QLineSeries* r : monate_) Abhaengen(r);
    // Keep the order of the legend: Tin, Taus, Tdelta before Energie.
    Abhaengen(energie_);
    for (QLineSeries* r : {tin_, taus_, tdelta_}) Anhaengen(r, achseT_);
    Anhaengen(energie_, achseW_);
  }
}

void Diagramm::Skalieren() {
  double xmax = 0;
  double tmin = INFINITY, tmax = -INFINITY, wmin = INFINITY, wmax = -INFINITY;
  for (QAbstractSeries* a : chart()->series()) {
    auto* r = static_cast<QLineSeries*>(a);
    if (!r->isVisible()) continue;
    const bool rechts = r == energie_;
    for (const QPointF& p : r->points()) {
      xmax = std::max(xmax, p.x());
      double& lo = rechts ? wmin : tmin;
      double& hi = rechts ? wmax : tmax;
      lo = std::min(lo, p.y());
      hi = std::max(hi, p.y());
    }
  }
  achseX_->setRange(0, std::max(xmax, 1.0));
  achseX_->setTitleText(XTitel[std::clamp(modus_, 0, 2)]);
  // A round tick step giving at most about a dozen ticks: days by 50, hours
  // by 2, segments by 1, 5 or 10.
  double schritt = 1;
  for (double s : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0})
    if (xmax / s <= 12) {
      schritt = s;
      break;
    }
  achseX_->setTickInterval(schritt);
  // Ticks at whole multiples of a round step (1, 2 or 5 times a power of
  // ten) that gives five to ten intervals, anchored at 0: from one redraw to
  // the next the labels keep their form and only move where the data do.
  auto fit = [](QValueAxis* achse, double lo, double hi) {
    if (!(lo <= hi)) {
      achse->setTickInterval(0.2);
      achse->setRange(0, 1);
      return;
    }
    if (hi - lo < 1e-6) {
      lo -= 1;
      hi += 1;
    }
    const double roh = (hi - lo) / 10;
    const double zehner = std::pow(10.0, std::floor(std::log10(roh)));
    double schritt = 10 * zehner;
    for (double f : {1.0, 2.0, 5.0})
      if (f * zehner >= roh) {
        schritt = f * zehner;
        break;
      }
    achse->setTickInterval(schritt);
    achse->setRange(std::floor(lo / schritt) * schritt, std::ceil(hi / schritt) * schritt);
  };
  fit(achseT_, tmin, tmax);
  fit(achseW_, wmin, wmax);
  // Like any axis without a visible series, the power axis steps aside.
  achseW_->setVisible(energie_->isVisible() && energie_->chart());
}

QImage Diagramm::BildAufWeiss() {
  chart()->setBackgroundBrush(Qt::white);
  const QImage bild = grab().toImage();
  chart()->setBackgroundBrush(Hintergrund());
  return bild;
}

void Diagramm::Zeichnen(QPainter& maler, const QRectF& ziel) {
  chart()->setBackgroundBrush(Qt::white);
  render(&maler, ziel);
  chart()->setBackgroundBrush(Hintergrund());
}

QByteArray Diagramm::Svg() {
  QBuffer puffer;
  QSvgGenerator svg;
  svg.setOutputDevice(&puffer);
  svg.setSize(size());
  svg.setViewBox(QRect(QPoint(0, 0), size()));
  svg.setTitle(chart()->title());
  QPainter maler(&svg);
  Zeichnen(maler, QRectF(QPointF(0, 0), size()));
  maler.end();
  return puffer.data();
}

QString Diagramm::Tabelle() const {
  const int m = std::clamp(modus_, 0, 2);
  // The series of one mode share their x values; the longest gives them.
  QList<Tabellenspalte> spalten{{QString("%1 (%2)").arg(XTitel[m], XEinheit[m]), {}}};
  for (QAbstractSeries* a : chart()->series()) {
    auto* r = static_cast<const QLineSeries*>(a);
    if (!r->isVisible()) continue;
    const char* einheit = r == energie_ ? "W" : r == tdelta_ ? "K" : "°C";
    Tabellenspalte s{QString("%1 (%2)").arg(r->name(), QString::fromUtf8(einheit)), {}};
    for (const QPointF& p : r->points()) s.werte.append(p.y());
    if (r->count() > spalten[0].werte.size()) {
      spalten[0].werte.clear();
      for (const QPointF& p : r->points()) spalten[0].werte.append(p.x());
    }
    spalten.append(s);
  }
  return Tabellentext(spalten);
}

void Diagramm::mouseDoubleClickEvent(QMouseEvent* ereignis) {
  QChartView::mouseDoubleClickEvent(ereignis);
  emit Doppelklick();
}

}  // namespace terval
