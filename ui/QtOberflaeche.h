// How the library reaches the user in the desktop program: message boxes,
// the main window's status line, chart and stop button, the model-grid
// window and the results writer window.
#pragma once

#include <QMessageBox>
#include <string>

#include "model/Oberflaeche.h"

namespace terval {

class TMainform;

class QtOberflaeche : public Oberflaeche {
 public:
  // `beobachter`, when given (tests), answers every message and question
  // instead of a message box, and also sees every other call, which the
  // windows carry out as usual.
  QtOberflaeche(TMainform& fenster, Oberflaeche* beobachter = nullptr);

  void Fehler(const std::string& text) override;
  void Warnung(const std::string& text) override;
  void Information(const std::string& text) override;
  void Meldung(const std::string& text) override;
  bool Frage(const std::string& text) override;

  void Stat(const std::string& text) override;
  void procMsg() override;
  void Fortschritt(int wert, int maximum) override;
  void Sanduhr(bool an) override;
  void LaufBeginnt() override;
  void LaufEndet() override;
  void DrawSegment(int segment) override;
  void ZeigeModellGrid() override;
  void KlimaLabel(Klimaelement element, bool komplett) override;
  void SchreibfensterZeigen(const std::string& label) override;
  void SchreibfensterFortschritt(int tag) override;
  void SchreibfensterVerbergen() override;

  // Hourglass requests not yet taken back (0 = normal cursor).
  int SanduhrTiefe() const { return sanduhr_; }

 private:
  // A modal box of one kind; true when Yes was chosen.
  bool Kasten(QMessageBox::Icon symbol, const QString& titel, const std::string& text,
              bool jaNein);

  TMainform& fenster_;
  Oberflaeche* beobachter_;
  int sanduhr_ = 0;
};

}  // namespace terval
