#include "ui/Variantenstudie.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "ui/Bildwerk.h"
#include "ui/Dialoghilfen.h"
#include "ui/Export.h"

namespace terval {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* SpalteMeldung = "Meldung";

// Columns that keep the books of the study rather than describe a variant:
// no chart axis.
bool Buchfuehrung(const std::string& name) {
  return name == SpalteStudie || name == SpalteZeile || name == SpalteVarianten;
}

// Padded to show every point inside the plot, then rounded to nice ticks.
void Bereich(QValueAxis* achse, const QList<QPointF>& p, qreal (QPointF::*wert)() const) {
  if (p.isEmpty()) {
    achse->setRange(0, 1);
    return;
  }
  double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
  for (const QPointF& q : p) lo = std::min(lo, (q.*wert)()), hi = std::max(hi, (q.*wert)());
  // A column that is the same for every variant still gets an axis around it.
  const double saum = hi > lo ? (hi - lo) * 0.05 : std::max(std::abs(hi) * 0.1, 1.0);
  // The margin does not cross zero: an axis of energy or hours would
  // otherwise suggest negative values.
  achse->setRange(lo >= 0 ? std::max(lo - saum, 0.0) : lo - saum, hi <= 0 ? std::min(hi + saum, 0.0) : hi + saum);
  achse->applyNiceNumbers();
}

}  // namespace

// The study table for the view: the cells as the file has them; a column
// whose cells are numbers or blank is numeric, shown right-aligned and
// sorted by its numbers.
class Studienmodell : public QAbstractTableModel {
 public:
  Studienmodell(Studientabelle t, QObject* parent) : QAbstractTableModel(parent), t_(std::move(t)) {
    const double keine = std::numeric_limits<double>::quiet_NaN();
    meldung_ = t_.Spalte(SpalteMeldung);
    for (size_t c = 0; c < t_.Spalten.size(); ++c) {
      std::vector<double>& spalte = zahlen_.emplace_back();
      bool numerisch = true, gefuellt = false;
      for (const auto& z : t_.Zeilen) {
        const std::optional<double> wert = Studienzahl(z[c]);
        spalte.push_back(wert.value_or(keine));
        numerisch = numerisch && (wert || z[c].empty());
        gefuellt = gefuellt || wert;
      }
      numerisch_.push_back(numerisch && gefuellt);
    }
  }

  int rowCount(const QModelIndex& p) const override { return p.isValid() ? 0 : int(t_.Zeilen.size()); }
  int columnCount(const QModelIndex& p) const override { return p.isValid() ? 0 : int(t_.Spalten.size()); }

  QVariant data(const QModelIndex& i, int rolle) const override {
    if (rolle == Qt::DisplayRole) return Q(t_.Zeilen[i.row()][i.column()]);
    if (rolle == Qt::TextAlignmentRole)
      return int(Qt::AlignVCenter | (numerisch_[i.column()] ? Qt::AlignRight : Qt::AlignLeft));
    return {};
  }

  QVariant headerData(int s, Qt::Orientation o, int rolle) const override {
    if (o == Qt::Horizontal && rolle == Qt::DisplayRole) return Q(t_.Spalten[s]);
    return QAbstractTableModel::headerData(s, o, rolle);
  }

  const Studientabelle& Tabelle() const { return t_; }
  bool Numerisch(int spalte) const { return numerisch_[spalte]; }
  // The number of a cell; NaN when it is blank.
  double Zahl(int zeile, int spalte) const { return zahlen_[spalte][zeile]; }
  // A variant that could not be computed: its figures are blank.
  bool OhneErgebnis(int zeile) const {
    return meldung_ >= 0 && t_.Zeilen[zeile][meldung_].find_first_not_of(" \t") != std::string::npos;
  }

 private:
  Studientabelle t_;
  std::vector<std::vector<double>> zahlen_;  // [column][row]
  std::vector<bool> numerisch_;
  int meldung_;
};

namespace {

// Numeric columns by number, blank cells last whichever way; text by text.
class Studiensortierung : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool lessThan(const QModelIndex& l, const QModelIndex& r) const override {
    const auto& m = static_cast<const Studienmodell&>(*sourceModel());
    if (!m.Numerisch(l.column())) return QSortFilterProxyModel::lessThan(l, r);
    const double a = m.Zahl(l.row(), l.column()), b = m.Zahl(r.row(), r.column());
    // The view reverses the order for a descending sort, so a blank must
    // count as the smallest value then.
    if (std::isnan(a) || std::isnan(b))
      return std::isnan(a) != std::isnan(b) && std::isnan(a) == (sortOrder() == Qt::DescendingOrder);
    return a < b;
  }
};

// "Studie 9c41d07e: 250 von 1000 Varianten, 3 ohne Ergebnis": the columns
// that are the same in every row, said once.
QString Zusammenfassung(const Studienmodell& m) {
  const Studientabelle& t = m.Tabelle();
  const int n = int(t.Zeilen.size());
  int ohne = 0;
  for (int z = 0; z < n; ++z) ohne += m.OhneErgebnis(z);
  QString text = n == 1 ? "1 Variante" : QString("%1 Varianten").arg(n);
  const int gesamt = t.Spalte(SpalteVarianten), studie = t.Spalte(SpalteStudie);
  if (n > 0 && gesamt >= 0 && Studienzahl(t.Zeilen[0][gesamt]) != double(n))
    text = QString("%1 von %2 Varianten").arg(n).arg(Q(t.Zeilen[0][gesamt]));
  if (n > 0 && studie >= 0) text = QString("Studie %1: %2").arg(Q(t.Zeilen[0][studie]), text);
  if (ohne > 0) text += QString(", %1 ohne Ergebnis").arg(ohne);
  return text;
}

QComboBox* Spaltenwahl(const char* name, const Studienmodell& m) {
  auto* c = new QComboBox;
  c->setObjectName(name);
  const auto& spalten = m.Tabelle().Spalten;
  for (size_t i = 0; i < spalten.size(); ++i)
    if (m.Numerisch(int(i)) && !Buchfuehrung(spalten[i])) c->addItem(Q(spalten[i]), int(i));
  c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return c;
}

}  // namespace

Variantenstudie::Variantenstudie(Studientabelle t, const QString& pfad, Oberflaeche& ui, Exporteur& aus, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setObjectName("Variantenstudie");
  setWindowTitle("Variantenstudie – " + QFileInfo(pfad).fileName());
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setModal(false);
  setSizeGripEnabled(true);

  modell_ = new Studienmodell(std::move(t), this);
  sortierung_ = new Studiensortierung(this);
  sortierung_->setSourceModel(modell_);
  sortierung_->setSortLocaleAware(true);

  tabelle_ = new QTableView;
  tabelle_->setObjectName("tv_Studie");
  tabelle_->setModel(sortierung_);
  tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tabelle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tabelle_->setAlternatingRowColors(true);
  tabelle_->verticalHeader()->setDefaultSectionSize(tabelle_->fontMetrics().height() + 6);
  // The rows first come in the order of the file; a click on a header sorts.
  tabelle_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  tabelle_->setSortingEnabled(true);
  tabelle_->verticalHeader()->hide();
  for (const char* gleich : {SpalteStudie, SpalteVarianten})
    if (const int c = modell_->Tabelle().Spalte(gleich); c >= 0) tabelle_->setColumnHidden(c, true);
  tabelle_->resizeColumnsToContents();
  tabelle_->setStatusTip("Ein Klick auf eine Spaltenüberschrift sortiert die Varianten nach dieser Spalte");

  xWahl_ = Spaltenwahl("cb_X", *modell_);
  yWahl_ = Spaltenwahl("cb_Y", *modell_);
  // Heat against fan energy when the study has them: the designs worth
  // building lie top left. Otherwise the first columns, two if there are.
  int x = xWahl_->findText("Ventilatorenergie_kWh"), y = yWahl_->findText("Waermegewinn_kWh");
  if (x < 0) x = y == 0 && xWahl_->count() > 1 ? 1 : 0;
  if (y < 0) y = x == 0 && yWahl_->count() > 1 ? 1 : 0;
  xWahl_->setCurrentIndex(x);
  yWahl_->setCurrentIndex(y);

  chart_ = new QChart;
  chart_->legend()->hide();
  xAchse_ = new QValueAxis;
  yAchse_ = new QValueAxis;
  chart_->addAxis(xAchse_, Qt::AlignBottom);
  chart_->addAxis(yAchse_, Qt::AlignLeft);
  punkte_ = new QScatterSeries;
  punkte_->setName("Varianten");
  punkte_->setMarkerSize(9);
  punkte_->setColor(QColor(0, 70, 170));
  punkte_->setBorderColor(QColor(0, 40, 110));
  auswahl_ = new QScatterSeries;
  auswahl_->setName("Auswahl");
  auswahl_->setMarkerSize(15);
  auswahl_->setColor(QColor(230, 100, 0));
  auswahl_->setBorderColor(Qt::black);
  for (QScatterSeries* s : {punkte_, auswahl_}) {
    chart_->addSeries(s);
    s->attachAxis(xAchse_);
    s->attachAxis(yAchse_);
    connect(s, &QScatterSeries::clicked, this, &Variantenstudie::PunktGewaehlt);
    connect(s, &QScatterSeries::hovered, this, &Variantenstudie::PunktHinweis);
  }
  for (QValueAxis* a : {xAchse_, yAchse_}) a->setLabelFormat("%g");
  auto* ansicht = new QChartView(chart_);
  ansicht->setObjectName("Studiendiagramm");
  ansicht->setRenderHint(QPainter::Antialiasing);
  ansicht->setMinimumSize(360, 300);
  ansicht->setStatusTip("Ein Klick auf einen Punkt wählt seine Variante in der Tabelle");

  auto* wahl = new QHBoxLayout;
  wahl->addWidget(new QLabel("x-Achse:"));
  wahl->addWidget(xWahl_);
  wahl->addSpacing(12);
  wahl->addWidget(new QLabel("y-Achse:"));
  wahl->addWidget(yWahl_);
  wahl->addStretch();
  auto* bild = Benannt(new QPushButton("Als Bild speichern…"), "bt_SaveStudyImage",
                       "Das Diagramm als PNG- oder SVG-Datei speichern");
  auto* daten = Benannt(new QPushButton("Daten speichern…"), "bt_SaveStudyData",
                        "Die Punkte des Diagramms als Tabelle (CSV) speichern");
  connect(bild, &QPushButton::clicked, this, [ansicht, &aus] {
    aus.Bild("Diagramm als Bild speichern", [ansicht](Bildformat f) { return Ansichtsbild(*ansicht, f); });
  });
  connect(daten, &QPushButton::clicked, this, [this, &aus] { aus.Daten("Diagrammdaten speichern", Punkttabelle()); });
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addStretch();
  knoepfe->addWidget(bild);
  knoepfe->addWidget(daten);
  auto* rechts = new QWidget;
  auto* spalte = new QVBoxLayout(rechts);
  spalte->setContentsMargins(0, 0, 0, 0);
  spalte->addLayout(wahl);
  spalte->addWidget(ansicht, 1);
  spalte->addLayout(knoepfe);
  auto* links = new QWidget;
  auto* liste = new QVBoxLayout(links);
  liste->setContentsMargins(0, 0, 0, 0);
  auto* kopf = new QLabel(Zusammenfassung(*modell_));
  kopf->setObjectName("l_Studie");
  kopf->setMinimumHeight(xWahl_->sizeHint().height());
  liste->addWidget(kopf);
  liste->addWidget(tabelle_, 1);
  auto* teiler = new QSplitter(Qt::Horizontal);
  teiler->addWidget(links);
  teiler->addWidget(rechts);
  teiler->setStretchFactor(0, 3);
  teiler->setStretchFactor(1, 2);
  teiler->setSizes({720, 480});
  (new QVBoxLayout(this))->addWidget(teiler);
  resize(1200, 640);

  connect(xWahl_, &QComboBox::currentIndexChanged, this, &Variantenstudie::Zeichnen);
  connect(yWahl_, &QComboBox::currentIndexChanged, this, &Variantenstudie::Zeichnen);
  connect(tabelle_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Variantenstudie::AuswahlZeigen);
  Zeichnen();
}

Variantenstudie::~Variantenstudie() = default;

bool Variantenstudie::event(QEvent* e) { return HinweisWeitergeben(e, ui_) || QDialog::event(e); }

void Variantenstudie::Zeichnen() {
  const int x = xWahl_->currentIndex() < 0 ? -1 : xWahl_->currentData().toInt();
  const int y = yWahl_->currentIndex() < 0 ? -1 : yWahl_->currentData().toInt();
  QList<QPointF> p;
  punktZeile_.clear();
  for (int z = 0; x >= 0 && y >= 0 && z < modell_->rowCount({}); ++z) {
    const double a = modell_->Zahl(z, x), b = modell_->Zahl(z, y);
    if (modell_->OhneErgebnis(z) || std::isnan(a) || std::isnan(b)) continue;
    p.append({a, b});
    punktZeile_.push_back(z);
  }
  punkte_->replace(p);
  xAchse_->setTitleText(xWahl_->currentText());
  yAchse_->setTitleText(yWahl_->currentText());
  Bereich(xAchse_, p, &QPointF::x);
  Bereich(yAchse_, p, &QPointF::y);
  AuswahlZeigen();
}

void Variantenstudie::AuswahlZeigen() {
  QList<QPointF> p;
  for (const QModelIndex& i : tabelle_->selectionModel()->selectedRows()) {
    const auto k = std::find(punktZeile_.begin(), punktZeile_.end(), sortierung_->mapToSource(i).row());
    if (k != punktZeile_.end()) p.append(punkte_->at(int(k - punktZeile_.begin())));
  }
  auswahl_->replace(p);
}

int Variantenstudie::NaechsterPunkt(const QPointF& p) const {
  // Distance on the screen's terms: each axis measured in its own span.
  const double bx = std::max(xAchse_->max() - xAchse_->min(), 1e-300);
  const double by = std::max(yAchse_->max() - yAchse_->min(), 1e-300);
  int beste = -1;
  double abstand = std::numeric_limits<double>::max();
  for (int k = 0; k < punkte_->count(); ++k) {
    const QPointF q = punkte_->at(k);
    const double d = std::hypot((q.x() - p.x()) / bx, (q.y() - p.y()) / by);
    if (d < abstand) abstand = d, beste = k;
  }
  return beste;
}

QString Variantenstudie::Punkttabelle() const {
  // The study's own row number, so each point finds its variant in the table.
  const int zeile = modell_->Tabelle().Spalte(SpalteZeile);
  Tabellenspalte z{"Zeile (-)", {}}, x{xWahl_->currentText(), {}}, y{yWahl_->currentText(), {}};
  for (int k = 0; k < punkte_->count(); ++k) {
    z.werte.append(zeile >= 0 ? modell_->Zahl(punktZeile_[k], zeile) : punktZeile_[k] + 1);
    x.werte.append(punkte_->at(k).x()), y.werte.append(punkte_->at(k).y());
  }
  return Tabellentext({z, x, y});
}

void Variantenstudie::PunktGewaehlt(const QPointF& p) {
  const int k = NaechsterPunkt(p);
  // The column at the left edge: the table scrolls to the row, not sideways.
  const int spalte = tabelle_->horizontalHeader()->logicalIndexAt(0);
  if (k < 0 || spalte < 0) return;
  const QModelIndex i = sortierung_->mapFromSource(modell_->index(punktZeile_[k], spalte));
  tabelle_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  tabelle_->scrollTo(i);
}

void Variantenstudie::PunktHinweis(const QPointF& p, bool darueber) {
  const int k = darueber ? NaechsterPunkt(p) : -1;
  if (k < 0) {
    QToolTip::hideText();
    return;
  }
  const Studientabelle& t = modell_->Tabelle();
  const auto& zeile = t.Zeilen[punktZeile_[k]];
  const int name = t.Spalte(SpalteName);
  QString text = name >= 0 ? Q(zeile[name]) : QString("Zeile %1").arg(punktZeile_[k] + 1);
  for (const QComboBox* c : {xWahl_, yWahl_})
    text += QString("\n%1: %2").arg(c->currentText(), Q(zeile[c->currentData().toInt()]));
  QToolTip::showText(QCursor::pos(), text);
}

}  // namespace terval
