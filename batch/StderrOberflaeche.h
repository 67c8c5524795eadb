// The user interface of the batch program: messages and progress on stderr,
// Yes/No questions answered without a user, Ctrl-C as the stop button.
#pragma once

#include <array>
#include <chrono>
#include <csignal>
#include <string>

#include "model/Oberflaeche.h"

namespace terval {

struct Modell;

// Set by the SIGINT handler, read by procMsg (the only thing a handler may
// safely do is set such a flag).
extern volatile std::sig_atomic_t StopSignal;

// Installs the SIGINT handler for one stop request; the handler resets
// itself, so a second Ctrl-C ends the process as usual.
void StopSignalEinrichten();

class StderrOberflaeche : public Oberflaeche {
 public:
  // `terminal`: one updating progress bar line (stderr is a terminal) or
  // plain lines (a pipe or file). `modell` receives the stop request.
  StderrOberflaeche(Modell& modell, bool terminal);
  ~StderrOberflaeche() override;

  // Answer Yes to the write-back confirmation of the climate generator.
  bool rueckschreibenBestaetigen = false;

  void Fehler(const std::string& text) override;
  void Warnung(const std::string& text) override;
  void Information(const std::string& text) override;
  void Meldung(const std::string& text) override;
  bool Frage(const std::string& text) override;

  void Stat(const std::string& text) override;
  void procMsg() override;
  void Fortschritt(int wert, int maximum) override;
  void KlimaLabel(Klimaelement element, bool komplett) override;
  void SchreibfensterZeigen(const std::string& label) override;

  // Progress of a variant study: variants done of all, with the time still
  // needed (one line in place on a terminal, a line per tenth otherwise).
  void Variantenfortschritt(int fertig, int gesamt);

 private:
  // Ends an open progress bar line before other output.
  void ZeileBeenden();
  void Zeile(const std::string& text);
  void Nachricht(const char* art, const std::string& text);

  // ", noch ca. mmm:ss" for the progress line: the time the channel still needs.
  std::string Restzeit(int wert, int maximum) const;
  // ", noch ca. mmm:ss" when `anteil` (0..1] of the work since beginn_ is done.
  std::string RestzeitText(double anteil) const;

  Modell& m_;
  bool terminal_;
  std::chrono::steady_clock::time_point beginn_;  // start of the main module
  bool balkenOffen_ = false;
  int segment_ = 0;        // segment being computed, 1-based; 0 before the main module
  int letzteAnzeige_ = -1; // percentage last drawn
  int studienZehntel_ = 0; // tenths of a study last reported
  // Last state shown per climate element: -1 none yet, 0 incomplete, 1 complete.
  std::array<int, 5> klimaLabel_ = {-1, -1, -1, -1, -1};
};

}  // namespace terval
