#include "ui/Dialoghilfen.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QStyle>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QStatusTipEvent>
#include <QTableWidgetItem>
#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Oberflaeche.h"
#include "model/Zahltext.h"

namespace terval {

QString ZeigeDateidialog(QWidget* eltern, const Dateiwahl& wahl) {
  QFileDialog dialog(eltern, wahl.titel, wahl.verzeichnis, wahl.filter);
  dialog.setAcceptMode(wahl.speichern ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(wahl.speichern ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!wahl.endung.isEmpty()) dialog.setDefaultSuffix(wahl.endung);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

std::optional<float> FeldZahl(const QString& text) {
  const std::string s = StdText(text);
  if (s.find_first_not_of(" \t") == std::string::npos) return 0.0f;
  const std::optional<double> wert = ParseZahl(s);
  if (!wert) return std::nullopt;
  const float f = static_cast<float>(*wert);
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

float ZahlAmAnfang(const QString& text) {
  // The longest start that has the form of a number: blanks, sign, digits
  // with point and fraction, and an exponent only when digits follow it.
  const std::string s = StdText(text);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  auto ziffern = [&s](size_t& j) {
    const size_t anfang = j;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
    return j > anfang;
  };
  bool zahl = ziffern(i);
  if (i < s.size() && s[i] == '.') {
    ++i;
    zahl = ziffern(i) || zahl;
  }
  if (!zahl) return 0.0f;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (ziffern(j)) i = j;
  }
  const std::optional<double> wert = ParseZahl(s.substr(0, i));
  if (!wert) return 0.0f;
  const float f = static_cast<float>(*wert);
  return std::isfinite(f) ? f : 0.0f;
}

int GanzzahlAmAnfang32(const QString& text) {
  const long long wert = GanzzahlAmAnfang(StdText(text));
  return static_cast<int>(std::clamp<long long>(wert, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

namespace {

// Where a field keeps the text that stands for the model's value.
constexpr char Modelltext[] = "terval_modelltext";
constexpr int ModelltextRolle = Qt::UserRole + 1;

}  // namespace

void ZeigeModellwert(QLineEdit* e, const QString& text) {
  e->setText(text);
  Abgeglichen(e);
}

void ZeigeModellwert(QTableWidgetItem* z, const QString& text) {
  z->setText(text);
  Abgeglichen(z);
}

void ZeigeNeuenWert(QLineEdit* e, const QString& text) {
  e->setProperty(Modelltext, QVariant());
  e->setText(text);
}

bool Unveraendert(const QLineEdit* e) {
  const QVariant t = e->property(Modelltext);
  return t.isValid() && t.toString() == e->text();
}

bool Unveraendert(const QTableWidgetItem* z) {
  const QVariant t = z->data(ModelltextRolle);
  return t.isValid() && t.toString() == z->text();
}

void Abgeglichen(QLineEdit* e) { e->setProperty(Modelltext, e->text()); }

void Abgeglichen(QTableWidgetItem* z) { z->setData(ModelltextRolle, z->text()); }

namespace {

constexpr char Zahlenart[] = "terval_zahlenfeld";
constexpr char Zahlhinweis[] = "Keine gültige Zahl: bitte eine Zahl mit \".\" als Dezimalpunkt eingeben";
const QColor Zahlfehler(255, 190, 190);

void Markiere(QLineEdit* e) { FeldMarkieren(e, ZahlLesbar(e->text(), false), Zahlhinweis); }

}  // namespace

void FeldMarkieren(QLineEdit* e, bool gut, const QString& hinweis) {
  QPalette p = e->palette();
  p.setColor(QPalette::Base, gut ? e->style()->standardPalette().color(QPalette::Base) : Zahlfehler);
  e->setPalette(p);
  e->setToolTip(gut ? QString() : hinweis);
}

bool ZahlLesbar(const QString& text, bool amAnfang) {
  if (FeldZahl(text)) return true;
  if (!amAnfang) return false;
  // A start with the form of a number: sign, then a digit or a point and a digit.
  const QString t = text.trimmed();
  int i = t.startsWith('+') || t.startsWith('-') ? 1 : 0;
  if (i < t.size() && t[i] == '.') ++i;
  return i < t.size() && t[i].isDigit() && t[i].unicode() < 128;
}

void Zahlenfeld(QLineEdit* e) {
  e->setProperty(Zahlenart, 1);
  // Letters never reach the field from the keyboard; the rest of a number
  // may be typed in any order of completion.
  static const QRegularExpression form(R"(\s*[+-]?[0-9]*\.?[0-9]*([eE][+-]?[0-9]*)?\s*)");
  e->setValidator(new QRegularExpressionValidator(form, e));
  QObject::connect(e, &QLineEdit::textChanged, e, [e] { Markiere(e); });
  Markiere(e);
}

void ZahlenzelleMarkieren(QTableWidgetItem* z, bool amAnfang) {
  const bool gut = ZahlLesbar(z->text(), amAnfang);
  z->setData(Qt::BackgroundRole, gut ? QVariant() : QVariant(Zahlfehler));
  z->setToolTip(gut ? QString() : QString(Zahlhinweis));
}

bool ZahlenPruefen(QWidget* dialog, Oberflaeche& ui) {
  for (QLineEdit* e : dialog->findChildren<QLineEdit*>()) {
    if (!e->property(Zahlenart).isValid() || ZahlLesbar(e->text(), false)) continue;
    ui.Fehler(KeineZahl);
    e->setFocus();
    return false;
  }
  for (QTableWidget* t : dialog->findChildren<QTableWidget*>())
    for (int r = 0; r < t->rowCount(); ++r)
      for (int c = 0; c < t->columnCount(); ++c)
        if (QTableWidgetItem* z = t->item(r, c); z && z->data(Qt::BackgroundRole) == QVariant(Zahlfehler)) {
          ui.Fehler(KeineZahl);
          t->setCurrentItem(z);
          t->setFocus();
          return false;
        }
  return true;
}

bool HinweisWeitergeben(QEvent* e, Oberflaeche& ui) {
  if (e->type() != QEvent::StatusTip) return false;
  ui.Stat(StdText(static_cast<QStatusTipEvent*>(e)->tip()));
  return true;
}

}  // namespace terval
