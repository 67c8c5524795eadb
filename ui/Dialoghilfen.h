// Pieces shared by the editing windows (location dialog, pipe dialog,
// channel editor, climate viewer): text conversion, number fields, the file
// dialogs, and hints that go to the main window's status line.
#pragma once

#include <QString>
#include <optional>
#include <string>

class QEvent;
class QWidget;

namespace terval {

class Oberflaeche;

inline QString QText(const std::string& s) { return QString::fromStdString(s); }
inline std::string StdText(const QString& s) { return s.toStdString(); }

// What a file dialog asks for. The filter is in Qt's form
// ("Standorte (*.loc.db);;Alle Dateien (*.*)").
struct Dateiwahl {
  QString titel;
  QString filter;
  QString verzeichnis;  // initial directory; empty = the working directory
  QString endung;       // default extension of a save dialog, without the leading dot
  bool speichern = false;
};

// Shows the open or save dialog; the chosen path, empty when cancelled.
QString ZeigeDateidialog(QWidget* eltern, const Dateiwahl& wahl);

// The whole text as a number ("." as decimal point, exponent allowed).
// An empty (or blank) text gives 0; any other text that is not a number,
// or a number beyond single precision, gives std::nullopt.
std::optional<float> FeldZahl(const QString& text);

// The number at the start of a text, as far as it reads as one ("2.5 m"
// gives 2.5); 0 when the text does not begin with a number.
float ZahlAmAnfang(const QString& text);

// The integer at the start of a text ("2.5" gives 2, none gives 0), limited
// to the 32-bit range.
int GanzzahlAmAnfang32(const QString& text);

// A status tip event (mouse entering or leaving a control with a hint) goes
// to the status line through `ui` (an empty tip shows the banner again).
// True when `e` was such an event and has been handled.
bool HinweisWeitergeben(QEvent* e, Oberflaeche& ui);

}  // namespace terval
