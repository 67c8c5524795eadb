// The way out of the windows for every chart and picture: "Als Bild
// speichern…" (PNG or SVG) and "Daten speichern…" (a ;-separated table),
// each through a file dialog and written whole or not at all.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

#include "ui/Bildwerk.h"

namespace terval {

class Oberflaeche;
struct Dateiwahl;

// The shortest text that reads back to the same double, always with ".".
QString Zahl(double wert);

// One column of a table: its head with the unit, its values from the top.
struct Tabellenspalte {
  QString kopf;
  QList<double> werte;
};
// The table as "Daten speichern…" writes it: the heads, then one row per
// value down to the longest column, ";" between the cells, "." as decimal
// point; a cell stays empty where its column is shorter.
QString Tabellentext(const QList<Tabellenspalte>& spalten);

class Exporteur {
 public:
  // `waehle` shows the save dialog and returns the chosen path (empty: cancelled).
  Exporteur(Oberflaeche& ui, std::function<QString(const Dateiwahl&)> waehle);

  // Asks for a name and saves the picture `bild` draws in the format the
  // name's ending asks for: ".png" or ".svg".
  void Bild(const QString& titel, const std::function<QByteArray(Bildformat)>& bild);
  // Asks for a name and saves `text` as UTF-8.
  void Daten(const QString& titel, const QString& text);
  // Writes `inhalt` to `pfad` through a temporary file, so a failed write
  // leaves an older file as it was; says why it failed.
  bool Schreibe(const QString& pfad, const QByteArray& inhalt);

 private:
  Oberflaeche& ui_;
  std::function<QString(const Dateiwahl&)> waehle_;
};

}  // namespace terval
