#include "ui/Export.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <charconv>

#include "model/Oberflaeche.h"
#include "ui/Dialoghilfen.h"

namespace terval {

QString Zahl(double wert) {
  char puffer[32];
  const auto ende = std::to_chars(puffer, puffer + sizeof puffer, wert).ptr;
  return QString::fromLatin1(puffer, ende - puffer);
}

QString Tabellentext(const QList<Tabellenspalte>& spalten) {
  QString text;
  qsizetype zeilen = 0;
  for (const Tabellenspalte& s : spalten) {
    if (!text.isEmpty()) text += ';';
    text += s.kopf;
    zeilen = std::max(zeilen, s.werte.size());
  }
  text += '\n';
  for (qsizetype i = 0; i < zeilen; ++i) {
    for (qsizetype k = 0; k < spalten.size(); ++k) {
      if (k > 0) text += ';';
      if (i < spalten[k].werte.size()) text += Zahl(spalten[k].werte[i]);
    }
    text += '\n';
  }
  return text;
}

Exporteur::Exporteur(Oberflaeche& ui, std::function<QString(const Dateiwahl&)> waehle)
    : ui_(ui), waehle_(std::move(waehle)) {}

bool Exporteur::Schreibe(const QString& pfad, const QByteArray& inhalt) {
  QSaveFile datei(pfad);
  if (datei.open(QIODevice::WriteOnly) && datei.write(inhalt) == inhalt.size() && datei.commit()) return true;
  ui_.Fehler(QString("Die Datei \"%1\" konnte nicht geschrieben werden: %2").arg(pfad, datei.errorString()).toStdString());
  return false;
}

void Exporteur::Bild(const QString& titel, const std::function<QByteArray(Bildformat)>& bild) {
  const QString pfad = waehle_({titel, "PNG-Bild (*.png);;SVG-Grafik (*.svg)", QString(), "png", true});
  if (pfad.isEmpty()) return;
  const QString endung = QFileInfo(pfad).suffix().toLower();
  if (endung != "svg" && endung != "png") {
    ui_.Fehler("Ein Diagramm kann nur als PNG (.png) oder SVG (.svg) gespeichert werden !");
    return;
  }
  const QByteArray inhalt = bild(endung == "svg" ? Bildformat::Svg : Bildformat::Png);
  if (inhalt.isEmpty())
    ui_.Fehler(QString("Das Bild \"%1\" konnte nicht gezeichnet werden !").arg(pfad).toStdString());
  else
    Schreibe(pfad, inhalt);
}

void Exporteur::Daten(const QString& titel, const QString& text) {
  const QString pfad = waehle_({titel, "CSV-Tabelle (*.csv);;Alle Dateien (*.*)", QString(), "csv", true});
  if (!pfad.isEmpty()) Schreibe(pfad, text.toUtf8());
}

}  // namespace terval
