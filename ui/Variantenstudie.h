// The window "Variantenstudie": a finished study table beside a chart of
// two of its numeric columns, so the designs that gain much heat for little
// fan energy (or whatever the two columns say) stand out. A point picked in
// the chart selects its row in the table, a row picked in the table marks
// its point. The chart saves itself as a picture and its points as data.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "output/Studientabelle.h"

class QChart;
class QComboBox;
class QScatterSeries;
class QSortFilterProxyModel;
class QTableView;
class QValueAxis;

namespace terval {

class Exporteur;
class Oberflaeche;
class Studienmodell;

class Variantenstudie : public QDialog {
  Q_OBJECT

 public:
  // Shows `t`, read from `pfad`; the window is not modal and owned by
  // `parent`. The hints of its controls go to `ui`'s status line, the
  // chart's exports through `aus`.
  Variantenstudie(Studientabelle t, const QString& pfad, Oberflaeche& ui, Exporteur& aus, QWidget* parent = nullptr);
  ~Variantenstudie() override;

  QTableView* Tabelle() const { return tabelle_; }
  QComboBox* XWahl() const { return xWahl_; }
  QComboBox* YWahl() const { return yWahl_; }
  QChart* Chart() const { return chart_; }
  // One point per variant that has both figures and no "Meldung".
  QScatterSeries* Punkte() const { return punkte_; }
  // The points of the rows selected in the table, drawn over the others.
  QScatterSeries* Auswahl() const { return auswahl_; }

  // Selects the row of the variant whose point is nearest to `p` (in chart
  // values) and shows it in the table.
  void PunktGewaehlt(const QPointF& p);

 protected:
  bool event(QEvent* e) override;

 private:
  // Refills both series and the axes from the columns the combo boxes name.
  void Zeichnen();
  // The points of the rows selected in the table.
  void AuswahlZeigen();
  // The tool tip of a point under the mouse: the variant's name and values.
  void PunktHinweis(const QPointF& p, bool darueber);
  // Index into punktZeile_ of the point nearest to `p`, -1 when there is none.
  int NaechsterPunkt(const QPointF& p) const;
  // "Daten speichern…": each point's study row and its two figures.
  QString Punkttabelle() const;

  Oberflaeche& ui_;
  Studienmodell* modell_;
  QSortFilterProxyModel* sortierung_;
  QTableView* tabelle_;
  QComboBox* xWahl_;
  QComboBox* yWahl_;
  QChart* chart_;
  QValueAxis* xAchse_;
  QValueAxis* yAchse_;
  QScatterSeries* punkte_;
  QScatterSeries* auswahl_;
  std::vector<int> punktZeile_;  // table row (of the file) of each point of punkte_
};

}  // namespace terval
