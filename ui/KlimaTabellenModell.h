// The climate year of the model as a table of 8760 rows for the climate
// viewer: day, hour and the six measured elements as text.
#pragma once

#include <QAbstractTableModel>

namespace terval {

struct Modell;

// Reads the climate year directly; Neufuellen() tells the view that the
// year has changed. Row r (0-based) is hour r + 1 = (day - 1) * 24 + hour + 1.
class KlimaTabellenModell : public QAbstractTableModel {
 public:
  static constexpr int Spalten = 8;

  explicit KlimaTabellenModell(const Modell& m, QObject* parent = nullptr);

  // The cell text: day and hour as integers, humidity in 3 characters
  // without decimals (" 85"), the others with 2 decimals; a missing value
  // shows as the marker (-999.00, or -999 for humidity).
  static QString Text(const Modell& m, int zeile, int spalte);

  void Neufuellen();

  int rowCount(const QModelIndex& eltern = {}) const override;
  int columnCount(const QModelIndex& eltern = {}) const override;
  QVariant data(const QModelIndex& index, int rolle = Qt::DisplayRole) const override;
  QVariant headerData(int abschnitt, Qt::Orientation richtung, int rolle = Qt::DisplayRole) const override;

 private:
  const Modell& m_;
};

}  // namespace terval
