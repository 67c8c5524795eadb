// Pieces shared by the editing windows (location dialog, pipe dialog,
// channel editor, climate viewer): text conversion, number fields, the file
// dialogs, and hints that go to the main window's status line.
#pragma once

#include <QString>
#include <optional>
#include <string>

class QEvent;
class QLineEdit;
class QTableWidgetItem;
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

// A control with the object name the tests and the status line know it by.
template <typename W>
W* Benannt(W* w, const char* name, const QString& hinweis) {
  w->setObjectName(name);
  w->setStatusTip(hinweis);
  return w;
}

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

// Number fields shown from the model keep the model's exact value until
// their text is edited. A display format rounds (a wall of 11.9 mm shows as
// "12", a spacing of 0.25 m as "0.2"); reading such a text back would change
// the model merely by opening and closing a window. Each field remembers the
// text that stands for the model's value; a take-over parses only a field
// whose text differs from it, and afterwards the field's text stands for the
// model's value again.

// Shows `text` as the display of the model's current value.
void ZeigeModellwert(QLineEdit* e, const QString& text);
void ZeigeModellwert(QTableWidgetItem* z, const QString& text);
// Shows `text` as a new value that does not come from the model (a copied
// catalogue entry): the next take-over parses it like an edit.
void ZeigeNeuenWert(QLineEdit* e, const QString& text);
// True while the text is exactly the one that stands for the model's value.
bool Unveraendert(const QLineEdit* e);
bool Unveraendert(const QTableWidgetItem* z);
// After a take-over the model holds what the field shows.
void Abgeglichen(QLineEdit* e);
void Abgeglichen(QTableWidgetItem* z);

// Number fields. A field marked as one refuses keystrokes that cannot lead
// to a number ("." is the decimal point, as everywhere in the program); a
// text it cannot take (set from elsewhere, or unfinished such as "-") shows
// the field red with a hint in its tool tip.
void Zahlenfeld(QLineEdit* e);
// The same for a table cell, which has no validator: red with the hint
// while its text holds no number. `amAnfang`: the cell is read by
// ZahlAmAnfang, so a text that starts with a number ("2.5 m") is taken.
// Call again whenever the text changes.
void ZahlenzelleMarkieren(QTableWidgetItem* z, bool amAnfang = true);
// Shows a field red with `hinweis` as its tool tip, or (gut) as normal.
void FeldMarkieren(QLineEdit* e, bool gut, const QString& hinweis);
// True when a number field or cell can be taken (an empty text counts as 0).
bool ZahlLesbar(const QString& text, bool amAnfang);
// Before a dialog closes or takes its fields over: the first number field
// of `dialog` (or cell of its tables) that holds no number gets the focus
// and the user is told; false then. True when every one can be taken.
bool ZahlenPruefen(QWidget* dialog, Oberflaeche& ui);
// The message of ZahlenPruefen.
inline constexpr char KeineZahl[] =
    "Ein rot markiertes Feld enthält keine gültige Zahl !\r"
    "Bitte geben Sie eine Zahl mit \".\" als Dezimalpunkt ein.";

// A status tip event (mouse entering or leaving a control with a hint) goes
// to the status line through `ui` (an empty tip shows the banner again).
// True when `e` was such an event and has been handled.
bool HinweisWeitergeben(QEvent* e, Oberflaeche& ui);

}  // namespace terval
