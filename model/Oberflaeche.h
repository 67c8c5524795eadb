// The one way the library reaches the user. The library never shows anything
// itself: whenever the system shows a message, a status text, progress or a
// redraw, it calls this interface. The desktop program implements it with
// message boxes and windows, the batch program with stderr, the tests with a
// recorder (tests/support/Aufzeichner.h).
//
// Message texts are the system's own German texts, UTF-8; a "\r" inside a
// text is a line break.
#pragma once

#include <string>

namespace terval {

// Colour state of one completeness label of the main window.
enum class Klimaelement { Lufttemperatur, Feuchte, Wind, Strahlung, Niederschlag };

class Oberflaeche {
 public:
  virtual ~Oberflaeche() = default;

  // The five kinds of message box.
  virtual void Fehler(const std::string& text) = 0;       // error, OK button
  virtual void Warnung(const std::string& text) = 0;      // warning, OK button
  virtual void Information(const std::string& text) = 0;  // information, OK button
  virtual void Meldung(const std::string& text) = 0;      // plain, no icon
  virtual bool Frage(const std::string& text) = 0;        // Yes/No; true = Yes

  // Status line; an empty text shows the program banner.
  virtual void Stat(const std::string& text) = 0;
  // Lets the user interface process pending events (stop button, repaint).
  virtual void procMsg() {}
  // Progress within long work, e.g. the simulated day of a segment.
  virtual void Fortschritt(int wert, int maximum) { (void)wert, (void)maximum; }
  // Hourglass cursor on (true) or off.
  virtual void Sanduhr(bool an) { (void)an; }

  // A run begins (hourglass, stop button, model-grid window) and ends.
  virtual void LaufBeginnt() {}
  virtual void LaufEndet() {}

  // Redraws after each segment of a run.
  virtual void DrawSegment(int segment) { (void)segment; }
  virtual void ZeigeModellGrid() {}

  // Completeness label of one climate element: green when complete, dark red when not.
  virtual void KlimaLabel(Klimaelement element, bool komplett) { (void)element, (void)komplett; }

  // The results writer window: shown with its label, progress 0..365, hidden.
  virtual void SchreibfensterZeigen(const std::string& label) { (void)label; }
  virtual void SchreibfensterFortschritt(int tag) { (void)tag; }
  virtual void SchreibfensterVerbergen() {}
};

// The hourglass for as long as the object lives.
class SanduhrAn {
 public:
  explicit SanduhrAn(Oberflaeche& ui) : ui_(ui) { ui_.Sanduhr(true); }
  ~SanduhrAn() { ui_.Sanduhr(false); }
  SanduhrAn(const SanduhrAn&) = delete;
  SanduhrAn& operator=(const SanduhrAn&) = delete;

 private:
  Oberflaeche& ui_;
};

// Shows nothing and answers every question with No: for work without a user.
class StilleOberflaeche : public Oberflaeche {
 public:
  void Fehler(const std::string&) override {}
  void Warnung(const std::string&) override {}
  void Information(const std::string&) override {}
  void Meldung(const std::string&) override {}
  bool Frage(const std::string&) override { return false; }
  void Stat(const std::string&) override {}
};

}  // namespace terval
