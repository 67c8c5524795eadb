#include "ui/Mehrjahresfeld.h"

#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "model/Zahltext.h"

namespace terval {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

Mehrjahresfeld::Mehrjahresfeld(std::function<Klimajahr()> aktuellesKlima, QWidget* eltern)
    : QGroupBox("Mehrere Jahre", eltern), aktuellesKlima_(std::move(aktuellesKlima)) {
  setObjectName("gb_MehrereJahre");
  auto* spalte = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  sb_AnzahlJahre_ = new QSpinBox;
  sb_AnzahlJahre_->setObjectName("sb_AnzahlJahre");
  sb_AnzahlJahre_->setRange(1, MaxJahre);
  sb_AnzahlJahre_->setStatusTip(
      "Das Klimajahr so oft hintereinander rechnen; der Boden geht vom Ende eines Jahres in das "
      "nächste über");
  form->addRow("Anzahl Jahre", sb_AnzahlJahre_);
  spalte->addLayout(form);

  lb_Klimafolge_ = new QListWidget;
  lb_Klimafolge_->setObjectName("lb_Klimafolge");
  lb_Klimafolge_->setStatusTip(
      "Folge echter Klimajahre, je Tabelle ein Jahr; leer: die geladene Klimatabelle");
  lb_Klimafolge_->setMaximumHeight(48);
  spalte->addWidget(new QLabel("Folge von Klimatabellen:"));
  spalte->addWidget(lb_Klimafolge_);
  auto* knoepfe = new QHBoxLayout;
  pb_KlimaAnhaengen_ = new QPushButton("Geladene Tabelle anhängen");
  pb_KlimaAnhaengen_->setObjectName("pb_KlimaAnhaengen");
  pb_KlimaAnhaengen_->setStatusTip("Die geladene (und geprüfte) Klimatabelle als nächstes Jahr der Folge");
  pb_KlimafolgeLeeren_ = new QPushButton("Leeren");
  pb_KlimafolgeLeeren_->setObjectName("pb_KlimafolgeLeeren");
  knoepfe->addWidget(pb_KlimaAnhaengen_);
  knoepfe->addWidget(pb_KlimafolgeLeeren_);
  spalte->addLayout(knoepfe);
  connect(pb_KlimaAnhaengen_, &QPushButton::clicked, this, &Mehrjahresfeld::KlimaAnhaengen);
  connect(pb_KlimafolgeLeeren_, &QPushButton::clicked, this, &Mehrjahresfeld::FolgeLeeren);

  l_Drift_ = new QLabel;
  l_Drift_->setObjectName("l_Drift");
  l_Drift_->setStatusTip(
      "Änderung vom ersten zum letzten Jahr: mittlere Austrittstemperatur des Kanals und "
      "Boden in Rohrtiefe des letzten Segments am Jahresende");
  spalte->addWidget(l_Drift_);
  pb_Jahresdiagramm_ = new QPushButton("Jahr für Jahr...");
  pb_Jahresdiagramm_->setObjectName("pb_Jahresdiagramm");
  pb_Jahresdiagramm_->setStatusTip("Die Kennwerte der letzten Rechnung Jahr für Jahr als Diagramm");
  pb_Jahresdiagramm_->setEnabled(false);
  spalte->addWidget(pb_Jahresdiagramm_);

  // The chart gets a window of its own: the options column has no room for it.
  jahresfenster_ = new QDialog(this);
  jahresfenster_->setObjectName("dlgJahresdiagramm");
  jahresfenster_->setWindowTitle("Mehrere Jahre: Jahr für Jahr");
  jahresfenster_->resize(640, 400);
  jahresDiagramm_ = new QChartView(new QChart);
  jahresDiagramm_->setObjectName("jahresDiagramm");
  l_DriftDetail_ = new QLabel;
  l_DriftDetail_->setObjectName("l_DriftDetail");
  auto* fensterSpalte = new QVBoxLayout(jahresfenster_);
  fensterSpalte->addWidget(l_DriftDetail_);
  fensterSpalte->addWidget(jahresDiagramm_);
  connect(pb_Jahresdiagramm_, &QPushButton::clicked, jahresfenster_, &QWidget::show);
}

void Mehrjahresfeld::Optionen(Laufoptionen& o) const {
  o.Jahre = folge_.size() >= 2 ? 1 : sb_AnzahlJahre_->value();
  o.Klimafolge = folge_.size() >= 2 ? folge_ : std::vector<Klimajahr>{};
}

void Mehrjahresfeld::KlimaAnhaengen() {
  if (folge_.size() >= static_cast<size_t>(MaxJahre)) return;
  folge_.push_back(aktuellesKlima_());
  lb_Klimafolge_->addItem(FormatInt(static_cast<long long>(folge_.size())).append(". ").c_str() +
                          Q(folge_.back().Name));
  // A sequence sets the years itself.
  sb_AnzahlJahre_->setEnabled(folge_.size() < 2);
}

void Mehrjahresfeld::FolgeLeeren() {
  folge_.clear();
  lb_Klimafolge_->clear();
  sb_AnzahlJahre_->setEnabled(true);
}

void Mehrjahresfeld::ZeigeJahre(const std::vector<Jahreszeile>& jahre) {
  QChart* chart = jahresDiagramm_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* achse : chart->axes()) chart->removeAxis(achse);
  pb_Jahresdiagramm_->setEnabled(jahre.size() >= 2);
  if (jahre.size() < 2) {
    l_Drift_->clear();
    l_DriftDetail_->clear();
    jahresfenster_->hide();
    return;
  }
  const Jahreszeile &a = jahre.front(), &e = jahre.back();
  auto differenz = [](double von, double bis) {
    std::string t = bis >= von ? "+" : "";
    return t.append(FormatReal(bis - von, 1, 3)).append(" K");
  };
  auto aenderung = [&](double von, double bis) {
    return FormatReal(von, 1, 3) + " → " + FormatReal(bis, 1, 3) + " °C (" + differenz(von, bis) + ")";
  };
  // One line in the box, which has no room for more; the figures in full
  // beside the chart.
  const std::string kopf = "Drift Jahr 1 → " + FormatInt(e.Jahr) + ": ";
  l_Drift_->setText(Q(kopf + "Austritt " + differenz(a.T_aus_Mittel, e.T_aus_Mittel) + ", Boden " +
                      differenz(a.T_Rohrtiefe[2], e.T_Rohrtiefe[2])));
  l_DriftDetail_->setText(Q(kopf + "Austrittstemperatur im Mittel " + aenderung(a.T_aus_Mittel, e.T_aus_Mittel) +
                            ",\nBoden in Rohrtiefe des letzten Segments am Jahresende " +
                            aenderung(a.T_Rohrtiefe[2], e.T_Rohrtiefe[2])));

  // Mean outlet (left axis) and the soil at pipe depth of the last segment
  // at the end of each year (right axis), each on a scale of its own: both
  // change by hundredths of a kelvin once the soil has settled.
  auto* x = new QValueAxis;
  x->setRange(1, e.Jahr);
  x->setTickCount(static_cast<int>(std::min<size_t>(jahre.size(), 11)));
  x->setLabelFormat("%d");
  x->setTitleText("Jahr");
  chart->addAxis(x, Qt::AlignBottom);
  auto kurve = [&](const char* name, Qt::Alignment seite, auto wert) {
    auto* reihe = new QLineSeries;
    reihe->setName(name);
    QList<QPointF> punkte;
    double lo = 1e9, hi = -1e9;
    for (const Jahreszeile& j : jahre) {
      const double v = wert(j);
      punkte.append(QPointF(j.Jahr, v));
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
    reihe->replace(punkte);
    chart->addSeries(reihe);
    auto* y = new QValueAxis;
    const double mitte = (lo + hi) / 2, halb = std::max((hi - lo) / 2 + 0.02, 0.1);
    y->setRange(mitte - halb, mitte + halb);
    y->setTitleText("°C");
    y->setLinePenColor(reihe->color());
    chart->addAxis(y, seite);
    reihe->attachAxis(x);
    reihe->attachAxis(y);
  };
  kurve("Austrittstemperatur, Mittel", Qt::AlignLeft, [](const Jahreszeile& j) { return j.T_aus_Mittel; });
  kurve("Boden in Rohrtiefe, letztes Segment (Jahresende)", Qt::AlignRight,
        [](const Jahreszeile& j) { return static_cast<double>(j.T_Rohrtiefe[2]); });
}

}  // namespace terval
