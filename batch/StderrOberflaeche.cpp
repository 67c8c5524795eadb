#include "batch/StderrOberflaeche.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "climate/Klimaerzeugung.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"

namespace terval {

volatile std::sig_atomic_t StopSignal = 0;


namespace {

extern "C" void BeiSigint(int) { StopSignal = 1; }

const char* Elementname(Klimaelement e) {
  switch (e) {
    case Klimaelement::Lufttemperatur: return "Lufttemperatur";
    case Klimaelement::Feuchte: return "relative Feuchte";
    case Klimaelement::Wind: return "Wind";
    case Klimaelement::Strahlung: return "Globalstrahlung";
    case Klimaelement::Niederschlag: return "Niederschlag";
  }
  return "?";
}

}  // namespace

void StopSignalEinrichten() {
  struct sigaction sa {};
  sa.sa_handler = BeiSigint;
  sigemptyset(&sa.sa_mask);
  // One stop request; the next Ctrl-C takes the default action again.
  sa.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &sa, nullptr);
}

StderrOberflaeche::StderrOberflaeche(Modell& modell, bool terminal)
    : m_(modell), terminal_(terminal) {}

StderrOberflaeche::~StderrOberflaeche() { ZeileBeenden(); }

void StderrOberflaeche::ZeileBeenden() {
  if (balkenOffen_) {
    std::fputs("\n", stderr);
    balkenOffen_ = false;
    letzteAnzeige_ = -1;
  }
}

void StderrOberflaeche::Zeile(const std::string& text) {
  ZeileBeenden();
  std::fputs(text.c_str(), stderr);
  std::fputs("\n", stderr);
  std::fflush(stderr);
}

void StderrOberflaeche::Nachricht(const char* art, const std::string& text) {
  Zeile(std::string(art) + MitZeilenumbruechen(text));
}

void StderrOberflaeche::Fehler(const std::string& text) { Nachricht("Fehler: ", text); }
void StderrOberflaeche::Warnung(const std::string& text) { Nachricht("Warnung: ", text); }
void StderrOberflaeche::Information(const std::string& text) { Nachricht("Hinweis: ", text); }
void StderrOberflaeche::Meldung(const std::string& text) { Nachricht("Meldung: ", text); }

bool StderrOberflaeche::Frage(const std::string& text) {
  // Nobody can answer: only the write-back confirmation the user gave on the
  // command line is a Yes.
  const bool ja = rueckschreibenBestaetigen &&
                  text == RueckschreibFrage;
  Nachricht("Frage: ", text);
  Zeile(ja ? "Antwort: Ja (--erzeugen-zurueckschreiben)" : "Antwort: Nein");
  return ja;
}

void StderrOberflaeche::Stat(const std::string& text) {
  if (text.empty()) {
    ZeileBeenden();
    return;
  }
  const std::string praefix = "Rechne Segment ";
  if (text == "Hauptmodul...") {
    segment_ = 1;
    beginn_ = std::chrono::steady_clock::now();
  } else if (text.compare(0, praefix.size(), praefix) == 0) {
    // Shown after a segment has finished: the next one is under way.
    segment_ = static_cast<int>(GanzzahlAmAnfang(text.substr(praefix.size()))) + 1;
    if (terminal_) return;  // the bar shows it
  }
  Zeile(text);
}

void StderrOberflaeche::procMsg() {
  if (StopSignal != 0) m_.StopRequested = true;
}

void StderrOberflaeche::Fortschritt(int wert, int maximum) {
  if (!terminal_ || segment_ < 1 || maximum <= 0) return;
  const int prozent = static_cast<int>(100LL * wert / maximum);
  if (prozent == letzteAnzeige_) return;
  letzteAnzeige_ = prozent;
  constexpr int Breite = 30;
  const int voll = prozent * Breite / 100;
  std::string balken = "\rRechne Segment " + FormatInt(segment_) + " von " +
                       FormatInt(m_.Anz_Segmente) + " [" + std::string(voll, '#') +
                       std::string(Breite - voll, ' ') + "] " + FormatInt(prozent, 3) + " %" +
                       Restzeit(wert, maximum);
  std::fputs(balken.c_str(), stderr);
  std::fflush(stderr);
  balkenOffen_ = true;
}

std::string StderrOberflaeche::Restzeit(int wert, int maximum) const {
  // The run so far, extrapolated over the whole channel.
  return RestzeitText((segment_ - 1 + static_cast<double>(wert) / maximum) / std::max(1, m_.Anz_Segmente));
}

std::string StderrOberflaeche::RestzeitText(double anteil) const {
  // Of fixed width, so the line overwrites the last one completely.
  const double vergangen = std::chrono::duration<double>(std::chrono::steady_clock::now() - beginn_).count();
  if (!(anteil > 0 && anteil <= 1) || vergangen < 1) return ", noch ca.   -:--";
  const long long rest = std::llround(vergangen * (1 - anteil) / anteil);
  const long long sekunden = rest % 60;
  return ", noch ca. " + FormatInt(static_cast<int>(std::min(rest / 60, 999LL)), 3) + ":" +
         (sekunden < 10 ? "0" : "") + FormatInt(static_cast<int>(sekunden));
}

void StderrOberflaeche::Variantenfortschritt(int fertig, int gesamt) {
  if (gesamt <= 0) return;
  if (fertig == 0) beginn_ = std::chrono::steady_clock::now(), studienZehntel_ = 0;
  const std::string text = "Studie: " + FormatInt(fertig) + " von " + FormatInt(gesamt) + " Varianten fertig";
  if (!terminal_) {
    // A line per tenth of the study, for a log file.
    const int zehntel = static_cast<int>(10LL * fertig / gesamt);
    if (zehntel > studienZehntel_) Zeile(text), studienZehntel_ = zehntel;
    return;
  }
  const std::string zeile = "\r" + text + RestzeitText(static_cast<double>(fertig) / gesamt);
  std::fputs(zeile.c_str(), stderr);
  std::fflush(stderr);
  balkenOffen_ = true;
  if (fertig == gesamt) ZeileBeenden();
}

void StderrOberflaeche::KlimaLabel(Klimaelement element, bool komplett) {
  // Only gaps are worth a line (they are why a run would be refused), and a
  // gap that has been filled; the labels are set again on every check.
  int& alt = klimaLabel_[static_cast<size_t>(element)];
  const int neu = komplett ? 1 : 0;
  if (neu == alt) return;
  if (!komplett)
    Zeile(std::string("Klimadaten unvollständig: ") + Elementname(element));
  else if (alt == 0)
    Zeile(std::string("Klimadaten jetzt vollständig: ") + Elementname(element));
  alt = neu;
}

void StderrOberflaeche::SchreibfensterZeigen(const std::string& label) { Zeile(label); }

}  // namespace terval
