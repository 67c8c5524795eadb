#include "ui/KlimaTabellenModell.h"

#include "model/Vardef.h"
#include "model/Zahltext.h"

namespace terval {

namespace {
const char* const Koepfe[KlimaTabellenModell::Spalten] = {
    "Tag", "Stunde", "Temperatur", "rel. Feuchte", "Wind", "G.-Strahlung", "Niederschl.", "Wolken"};
}

KlimaTabellenModell::KlimaTabellenModell(const Modell& m, QObject* parent)
    : QAbstractTableModel(parent), m_(m) {}

QString KlimaTabellenModell::Text(const Modell& m, int zeile, int spalte) {
  const int h = zeile + 1;
  const TKlimaStunde& k = m.Klima[h];
  std::string t;
  switch (spalte) {
    case 0: t = FormatInt((h - 1) / 24 + 1); break;
    case 1: t = FormatInt((h - 1) % 24); break;
    case 2: t = FormatReal(k.T_Luft, 0, 2); break;
    case 3: t = FormatReal(k.rFeuchte, 3, 0); break;
    case 4: t = FormatReal(k.Wind, 0, 2); break;
    case 5: t = FormatReal(k.Glob_Str, 0, 2); break;
    case 6: t = FormatReal(k.Nieders, 0, 2); break;
    case 7: t = FormatReal(k.Wolken, 0, 2); break;
    default: break;
  }
  return QString::fromStdString(t);
}

void KlimaTabellenModell::Neufuellen() {
  beginResetModel();
  endResetModel();
}

int KlimaTabellenModell::rowCount(const QModelIndex& eltern) const {
  return eltern.isValid() ? 0 : Stunden;
}

int KlimaTabellenModell::columnCount(const QModelIndex& eltern) const {
  return eltern.isValid() ? 0 : Spalten;
}

QVariant KlimaTabellenModell::data(const QModelIndex& index, int rolle) const {
  if (rolle != Qt::DisplayRole || !index.isValid()) return {};
  return Text(m_, index.row(), index.column());
}

QVariant KlimaTabellenModell::headerData(int abschnitt, Qt::Orientation richtung, int rolle) const {
  if (rolle != Qt::DisplayRole || richtung != Qt::Horizontal || abschnitt < 0 || abschnitt >= Spalten)
    return QAbstractTableModel::headerData(abschnitt, richtung, rolle);
  return QString(Koepfe[abschnitt]);
}

}  // namespace terval
