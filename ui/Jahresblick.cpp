#include "ui/Jahresblick.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "model/Vardef.h"
#include "output/Jahresbilanz.h"
#include "ui/Bildwerk.h"
#include "ui/Dialoghilfen.h"
#include "ui/Export.h"

namespace terval {

namespace {

QChartView* Ansicht(QChart* c, const char* name) {
  auto* v = new QChartView(c);
  v->setObjectName(name);
  v->setRenderHint(QPainter::Antialiasing);
  return v;
}

// The chart above its two save buttons.
QVBoxLayout* MitKnoepfen(QChartView* v, QPushButton* bild, QPushButton* daten) {
  auto* spalte = new QVBoxLayout;
  spalte->addWidget(v, 1);
  auto* zeile = new QHBoxLayout;
  zeile->addStretch(1);
  zeile->addWidget(bild);
  zeile->addWidget(daten);
  spalte->addLayout(zeile);
  return spalte;
}

}  // namespace

Jahresblick::Jahresblick(const Modell& m, Exporteur& aus, QWidget* parent) : QWidget(parent), m_(m) {
  setObjectName("Jahresblick");
  const Monatsdiagramm md = NeuesMonatsdiagramm();
  gewinn_ = md.gewinn;
  abgabe_ = md.abgabe;
  monate_ = Ansicht(md.chart, "Monatsbalken");
  const Dauerdiagramm dd = NeuesDauerdiagramm();
  dauerAus_ = dd.aus;
  dauerEin_ = dd.ein;
  dauer_ = Ansicht(dd.chart, "Dauerlinie");

  grenze_ = new QSpinBox;
  grenze_->setObjectName("sb_Grenze");
  grenze_->setRange(-50, 60);
  grenze_->setValue(StandardGrenze);
  grenze_->setSuffix(" °C");
  grenze_->setStatusTip("Obere Grenze der Austrittstemperatur, deren Überschreitungsstunden gezählt werden");
  stunden_ = new QLabel;
  stunden_->setObjectName("l_Stundenzahl");
  connect(grenze_, &QSpinBox::valueChanged, this, &Jahresblick::Aktualisieren);

  // The saved pictures are drawn anew at the export size; the data are the chart's.
  auto* monatsbild = Benannt(new QPushButton("Als Bild speichern…"), "bt_SaveMonthsImage",
                             "Die Monatsbalken als PNG- oder SVG-Datei speichern");
  auto* monatsdaten = Benannt(new QPushButton("Daten speichern…"), "bt_SaveMonthsData",
                              "Die Wärme je Monat als Tabelle (CSV) speichern");
  auto* dauerbild = Benannt(new QPushButton("Als Bild speichern…"), "bt_SaveDurationImage",
                            "Die Dauerlinien als PNG- oder SVG-Datei speichern");
  auto* dauerdaten = Benannt(new QPushButton("Daten speichern…"), "bt_SaveDurationData",
                             "Die Dauerlinien als Tabelle (CSV) speichern");
  connect(monatsbild, &QPushButton::clicked, this, [this, &aus] {
    const Monatswaerme w = m_.ErgebnisseVorhanden ? Monatsbilanz(m_) : Monatswaerme{};
    aus.Bild("Monatsbalken als Bild speichern", [&](Bildformat f) { return terval::Monatsbild(w, f); });
  });
  connect(dauerbild, &QPushButton::clicked, this, [this, &aus] {
    const Dauerlinien d = m_.ErgebnisseVorhanden ? Dauerlinie(m_, grenze_->value()) : Dauerlinien{};
    aus.Bild("Dauerlinien als Bild speichern", [&](Bildformat f) { return terval::Dauerlinienbild(d, f); });
  });
  connect(monatsdaten, &QPushButton::clicked, this, [this, &aus] {
    Tabellenspalte monat{"Monat (-)", {}}, gewinn{"Gewinn (kWh)", {}}, abgabe{"Abgabe (kWh)", {}};
    for (int i = 0; i < gewinn_->count(); ++i)
      monat.werte.append(i + 1), gewinn.werte.append(gewinn_->at(i)), abgabe.werte.append(abgabe_->at(i));
    aus.Daten("Monatswerte speichern", Tabellentext({monat, gewinn, abgabe}));
  });
  connect(dauerdaten, &QPushButton::clicked, this, [this, &aus] {
    Tabellenspalte stunde{"Stunden (h)", {}}, t_aus{"Taus (°C)", {}}, t_ein{"Tin (°C)", {}};
    for (const QPointF& p : dauerAus_->points()) stunde.werte.append(p.x()), t_aus.werte.append(p.y());
    for (const QPointF& p : dauerEin_->points()) t_ein.werte.append(p.y());
    aus.Daten("Dauerlinien speichern", Tabellentext({stunde, t_aus, t_ein}));
  });

  auto* zeile = new QHBoxLayout;
  zeile->addWidget(new QLabel("Obere Grenze:"));
  zeile->addWidget(grenze_);
  zeile->addWidget(stunden_, 1);
  auto* spalte = new QVBoxLayout(this);
  auto* diagramme = new QHBoxLayout;
  diagramme->addLayout(MitKnoepfen(monate_, monatsbild, monatsdaten));
  diagramme->addLayout(MitKnoepfen(dauer_, dauerbild, dauerdaten));
  spalte->addLayout(diagramme, 1);
  spalte->addLayout(zeile);
  Aktualisieren();
}

void Jahresblick::Aktualisieren() {
  const Monatsdiagramm md{monate_->chart(), gewinn_, abgabe_,
                          qobject_cast<QValueAxis*>(monate_->chart()->axes(Qt::Vertical).constFirst())};
  const Dauerdiagramm dd{dauer_->chart(), dauerAus_, dauerEin_,
                         qobject_cast<QValueAxis*>(dauer_->chart()->axes(Qt::Vertical).constFirst())};
  if (!m_.ErgebnisseVorhanden) {
    Fuelle(md, nullptr);
    Fuelle(dd, nullptr);
    stunden_->setText("Noch kein Berechnungsergebnis");
    return;
  }
  const Monatswaerme w = Monatsbilanz(m_);
  Fuelle(md, &w);
  const Dauerlinien d = terval::Dauerlinie(m_, grenze_->value());
  Fuelle(dd, &d);
  stunden_->setText(QString("Stunden mit Taus unter 0 °C: %1     über %2 °C: %3")
                        .arg(d.StundenUnterNull)
                        .arg(grenze_->value())
                        .arg(d.StundenUeberGrenze));
}

}  // namespace terval
