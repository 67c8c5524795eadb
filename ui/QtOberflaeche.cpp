#include "ui/QtOberflaeche.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QScreen>

#include "model/Zahltext.h"
#include "ui/ModellGrid.h"
#include "ui/TMainform.h"
#include "ui/Tfrm_DBWriteerg.h"

namespace terval {

QtOberflaeche::QtOberflaeche(TMainform& fenster, Oberflaeche* beobachter)
    : fenster_(fenster), beobachter_(beobachter) {}

bool QtOberflaeche::Kasten(QMessageBox::Icon symbol, const QString& titel,
                           const std::string& text, bool jaNein) {
  // The texts set a blank before "?" and "!": a non-breaking one keeps the
  // sign from wrapping onto a line of its own.
  QString zeilen = QString::fromStdString(MitZeilenumbruechen(text));
  zeilen.replace(" ?", QString(QChar(0xA0)) + "?").replace(" !", QString(QChar(0xA0)) + "!");
  QMessageBox box(symbol, titel, zeilen, jaNein ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, &fenster_);
  box.setObjectName("Meldungsfenster");
  if (jaNein) {
    box.button(QMessageBox::Yes)->setText("&Ja");
    box.button(QMessageBox::No)->setText("&Nein");
    // Every question asks before something is destroyed: Enter must not.
    box.setDefaultButton(QMessageBox::No);
  }
  // The hourglass of long work must not stand over a question.
  if (sanduhr_ > 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int antwort = box.exec();
  if (sanduhr_ > 0) QApplication::restoreOverrideCursor();
  return antwort == QMessageBox::Yes;
}

void QtOberflaeche::Fehler(const std::string& text) {
  if (beobachter_)
    beobachter_->Fehler(text);
  else
    Kasten(QMessageBox::Critical, "Fehler", text, false);
}

void QtOberflaeche::Warnung(const std::string& text) {
  if (beobachter_)
    beobachter_->Warnung(text);
  else
    Kasten(QMessageBox::Warning, "Warnung", text, false);
}

void QtOberflaeche::Information(const std::string& text) {
  if (beobachter_)
    beobachter_->Information(text);
  else
    Kasten(QMessageBox::Information, "Information", text, false);
}

void QtOberflaeche::Meldung(const std::string& text) {
  if (beobachter_)
    beobachter_->Meldung(text);
  else
    Kasten(QMessageBox::NoIcon, "Terval", text, false);
}

bool QtOberflaeche::Frage(const std::string& text) {
  if (beobachter_) return beobachter_->Frage(text);
  return Kasten(QMessageBox::Question, "Bestätigung", text, true);
}

void QtOberflaeche::Stat(const std::string& text) {
  fenster_.Stat(text);
  if (beobachter_) beobachter_->Stat(text);
}

void QtOberflaeche::procMsg() {
  // Between two segments of a run the user may stop it or look at the chart
  // (every command that would change the model is disabled then). Outside a
  // run only repaints are let through, so no command can start halfway
  // through another.
  QCoreApplication::processEvents(fenster_.LaufAktiv() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
  if (beobachter_) beobachter_->procMsg();
}

void QtOberflaeche::Fortschritt(int wert, int maximum) {
  fenster_.ZeigeFortschritt(wert, maximum);
  // Within a segment the window repaints and a click on the stop button is
  // seen; the run itself looks at the stop flag only after the segment.
  QCoreApplication::processEvents(fenster_.LaufAktiv() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
  if (beobachter_) beobachter_->Fortschritt(wert, maximum);
}

void QtOberflaeche::Sanduhr(bool an) {
  if (an) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++sanduhr_;
  } else if (sanduhr_ > 0) {
    QApplication::restoreOverrideCursor();
    --sanduhr_;
  }
  if (beobachter_) beobachter_->Sanduhr(an);
}

void QtOberflaeche::LaufBeginnt() {
  Sanduhr(true);
  fenster_.ZeigeStopknopf(true);
  // Beside the main window where the screen has room, else over the
  // chart's upper right corner; never a sliver at the screen's edge.
  ModellGrid* gitter = fenster_.Gitterfenster();
  if (!gitter->isVisible()) {
    const QRect haupt = fenster_.frameGeometry();
    const QRect schirm = fenster_.screen() ? fenster_.screen()->availableGeometry() : haupt;
    QPoint ort = haupt.topRight() + QPoint(8, 0);
    if (ort.x() + gitter->width() > schirm.right()) ort = haupt.topRight() + QPoint(-gitter->width() - 40, 80);
    gitter->move(ort);
  }
  gitter->show();
  if (beobachter_) beobachter_->LaufBeginnt();
}

void QtOberflaeche::LaufEndet() {
  fenster_.Gitterfenster()->hide();
  fenster_.ZeigeStopknopf(false);
  fenster_.ZeigeFortschritt(0, 0);
  Sanduhr(false);
  if (beobachter_) beobachter_->LaufEndet();
}

void QtOberflaeche::DrawSegment(int segment) {
  fenster_.DrawSegment(segment);
  if (beobachter_) beobachter_->DrawSegment(segment);
}

void QtOberflaeche::ZeigeModellGrid() {
  fenster_.Gitterfenster()->ZeigeGitter(fenster_.M());
  if (beobachter_) beobachter_->ZeigeModellGrid();
}

void QtOberflaeche::KlimaLabel(Klimaelement element, bool komplett) {
  fenster_.KlimaLabel(element, komplett);
  if (beobachter_) beobachter_->KlimaLabel(element, komplett);
}

void QtOberflaeche::SchreibfensterZeigen(const std::string& label) {
  fenster_.Schreibfenster()->Zeigen(QString::fromStdString(label));
  // A window system maps a new window only through the event loop; let it
  // appear (and nothing else happen) before the writer gets to work.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (beobachter_) beobachter_->SchreibfensterZeigen(label);
}

void QtOberflaeche::SchreibfensterFortschritt(int tag) {
  fenster_.Schreibfenster()->Fortschritt(tag);
  if (beobachter_) beobachter_->SchreibfensterFortschritt(tag);
}

void QtOberflaeche::SchreibfensterVerbergen() {
  fenster_.Schreibfenster()->Verbergen();
  if (beobachter_) beobachter_->SchreibfensterVerbergen();
}

}  // namespace terval
