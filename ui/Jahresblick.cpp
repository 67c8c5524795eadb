#include "ui/Jahresblick.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

#include "model/Vardef.h"
#include "output/Jahresbilanz.h"

namespace terval {

namespace {

QValueAxis* Achse(QChart* c, Qt::Alignment seite, const QString& titel) {
  auto* a = new QValueAxis;
  a->setTitleText(titel);
  c->addAxis(a, seite);
  return a;
}

QChartView* Ansicht(QChart* c, const char* name) {
  c->legend()->setAlignment(Qt::AlignBottom);
  auto* v = new QChartView(c);
  v->setObjectName(name);
  v->setRenderHint(QPainter::Antialiasing);
  return v;
}

}  // namespace

Jahresblick::Jahresblick(const Modell& m, QWidget* parent) : QWidget(parent), m_(m) {
  setObjectName("Jahresblick");
  // Bars and curves must part in a grey print too: the bars by fill pattern,
  // the curves by dash.
  gewinn_ = new QBarSet("Gewinn");
  gewinn_->setBrush(QBrush(QColor(190, 60, 0)));
  abgabe_ = new QBarSet("Abgabe");
  abgabe_->setBrush(QBrush(QColor(0, 70, 170), Qt::BDiagPattern));
  abgabe_->setPen(QPen(QColor(0, 70, 170)));
  auto* balken = new QBarSeries;
  balken->append(gewinn_);
  balken->append(abgabe_);
  auto* mc = new QChart;
  mc->setTitle("Wärme der Luft je Monat");
  mc->addSeries(balken);
  auto* monatsachse = new QBarCategoryAxis;
  monatsachse->append({"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"});
  mc->addAxis(monatsachse, Qt::AlignBottom);
  balken->attachAxis(monatsachse);
  balken->attachAxis(Achse(mc, Qt::AlignLeft, "kWh"));
  monate_ = Ansicht(mc, "Monatsbalken");

  dauerAus_ = new QLineSeries;
  dauerAus_->setName("Taus");
  dauerAus_->setPen(QPen(Qt::black, 2));
  dauerEin_ = new QLineSeries;
  dauerEin_->setName("Tin");
  dauerEin_->setPen(QPen(QColor(0, 70, 170), 1.5, Qt::DashLine));
  auto* dc = new QChart;
  dc->setTitle("Dauerlinie der Lufttemperatur");
  dc->addSeries(dauerAus_);
  dc->addSeries(dauerEin_);
  auto* stundenachse = Achse(dc, Qt::AlignBottom, "Stunden (h)");
  stundenachse->setRange(0, Stunden);
  auto* tachse = Achse(dc, Qt::AlignLeft, "T (°C)");
  for (QLineSeries* r : {dauerAus_, dauerEin_}) r->attachAxis(stundenachse), r->attachAxis(tachse);
  dauer_ = Ansicht(dc, "Dauerlinie");

  grenze_ = new QSpinBox;
  grenze_->setObjectName("sb_Grenze");
  grenze_->setRange(-50, 60);
  grenze_->setValue(25);
  grenze_->setSuffix(" °C");
  grenze_->setStatusTip("Obere Grenze der Austrittstemperatur, deren Überschreitungsstunden gezählt werden");
  stunden_ = new QLabel;
  stunden_->setObjectName("l_Stundenzahl");
  connect(grenze_, &QSpinBox::valueChanged, this, &Jahresblick::Aktualisieren);

  auto* zeile = new QHBoxLayout;
  zeile->addWidget(new QLabel("Obere Grenze:"));
  zeile->addWidget(grenze_);
  zeile->addWidget(stunden_, 1);
  auto* spalte = new QVBoxLayout(this);
  auto* diagramme = new QHBoxLayout;
  diagramme->addWidget(monate_);
  diagramme->addWidget(dauer_);
  spalte->addLayout(diagramme, 1);
  spalte->addLayout(zeile);
  Aktualisieren();
}

void Jahresblick::Aktualisieren() {
  gewinn_->remove(0, gewinn_->count());
  abgabe_->remove(0, abgabe_->count());
  dauerAus_->clear();
  dauerEin_->clear();
  if (!m_.ErgebnisseVorhanden) {
    stunden_->setText("Noch kein Berechnungsergebnis");
    return;
  }
  const Monatswaerme w = Monatsbilanz(m_);
  double groesste = 0;
  for (int i = 0; i < 12; ++i) {
    gewinn_->append(w.Gewinn_kWh[i]);
    abgabe_->append(w.Abgabe_kWh[i]);
    groesste = std::max({groesste, w.Gewinn_kWh[i], w.Abgabe_kWh[i]});
  }
  auto* kwh = qobject_cast<QValueAxis*>(monate_->chart()->axes(Qt::Vertical).constFirst());
  kwh->setRange(0, groesste > 0 ? groesste * 1.05 : 1);
  kwh->applyNiceNumbers();

  const Dauerlinien d = terval::Dauerlinie(m_, grenze_->value());
  QList<QPointF> aus, ein;
  aus.reserve(Stunden), ein.reserve(Stunden);
  for (int i = 0; i < static_cast<int>(d.T_aus.size()); ++i)
    aus.append(QPointF(i + 1, d.T_aus[i])), ein.append(QPointF(i + 1, d.T_ein[i]));
  dauerAus_->replace(aus);
  dauerEin_->replace(ein);
  auto* t = qobject_cast<QValueAxis*>(dauer_->chart()->axes(Qt::Vertical).constFirst());
  t->setRange(std::min(d.T_aus.back(), d.T_ein.back()), std::max(d.T_aus.front(), d.T_ein.front()));
  t->applyNiceNumbers();
  stunden_->setText(QString("Stunden mit Taus unter 0 °C: %1     über %2 °C: %3")
                        .arg(d.StundenUnterNull)
                        .arg(grenze_->value())
                        .arg(d.StundenUeberGrenze));
}

}  // namespace terval
