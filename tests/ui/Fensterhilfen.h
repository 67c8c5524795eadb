// Shared pieces of the window tests: a main window whose file dialog and
// reference-file lookup a test decides, a model built by hand, and lookups
// of controls by their names.
#pragma once

#include <QFile>
#include <QPrinter>
#include <QString>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <bit>
#include <clocale>
#include <cstdint>
#include <cmath>
#include <memory>
#include <set>
#include <vector>
#include <string>

#include "support/Aufzeichner.h"
#include "model/Vardef.h"
#include "ui/TMainform.h"

namespace terval::test {

// The main window with its two outside choices made by the test.
class Prueffenster : public TMainform {
 public:
  using TMainform::TMainform;

  QString klimadatei;             // what the open dialog "returns"; empty = cancelled
  std::set<std::string> fehlend;  // reference files that count as missing
  QString druckdatei;             // the print dialog "chooses" a PDF file; empty = cancelled
  int dialogeGeoeffnet = 0;

 protected:
  QString KlimaDateiWaehlen() override {
    ++dialogeGeoeffnet;
    return klimadatei;
  }
  bool DruckerWaehlen(QPrinter& drucker) override {
    if (druckdatei.isEmpty()) return false;
    drucker.setOutputFormat(QPrinter::PdfFormat);
    drucker.setOutputFileName(druckdatei);
    return true;
  }
  std::string Referenzdatei(const std::string& name) override {
    return fehlend.count(name) ? std::string() : TMainform::Referenzdatei(name);
  }
};

// A fresh model, a recorder answering every message, and the main window
// after its start-up.
struct Aufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<Prueffenster> f;
  bool gestartet = false;
  std::vector<Nachricht> startnachrichten;  // what the start-up said

  Aufbau() {
    f = std::make_unique<Prueffenster>(*m, &ui);
    gestartet = f->FormCreate();
    startnachrichten = ui.nachrichten;
    ui.nachrichten.clear();
  }
};

// A complete, plausible climate year: air temperature with a yearly and a
// daily wave (mean 10 degC), humidity, wind, radiation by day, clouds, rain.
inline void FuelleKlima(Modell& m) {
  const double pi = 3.14159265358979;
  for (int tag = 1; tag <= 365; ++tag)
    for (int stunde = 0; stunde < 24; ++stunde) {
      const int h = StundenIndex(tag, stunde);
      TKlimaStunde& k = m.Klima[h];
      k.T_Luft = static_cast<float>(10.0 - 9.0 * std::cos(2 * pi * (tag - 20) / 365.0) -
                                    3.0 * std::cos(2 * pi * (stunde - 3) / 24.0));
      k.rFeuchte = 75;
      k.Wind = 2;
      k.Glob_Str = static_cast<float>(std::max(0.0, 400.0 * std::sin(pi * (stunde - 6) / 12.0)));
      k.Wolken = 4;
      k.Nieders = 0.1f;
      m.Segmente[1].T_ein[h] = k.T_Luft;
    }
  m.DBKlimaName = "synthetisch";
  m.KlimaGueltig = true;
  m.TLuftKomplett = m.FeuchteKomplett = m.WindKomplett = m.StrahlungKomplett = true;
  m.NiederschlagKomplett = m.WolkenKomplett = m.KlimaKomplett = true;
}

// n segments of one pipe (outer radius 0.1 m, wall 0.01 m) at 2 m depth, open ground.
inline void BaueKanal(Modell& m, int n) {
  m.Anz_Segmente = n;
  for (int s = 1; s <= n; ++s) {
    Kanalsegment& k = m.Segmente[s];
    k.Anz_Rohre = 1;
    k.Abst_Rohre = 0;
    k.Tiefe = 2.0f;
    k.Abst_Geb_li = k.Abst_Geb_re = 0;
    k.Überbaut = 0;
  }
  for (int t = 1; t <= 2; ++t) {
    m.Rohrdaten.Rohr_Ra[t] = 0.1f;
    m.Rohrdaten.Rohr_Dicke[t] = 0.01f;
  }
}

// The child of `w` with this object name and type; fails the test when missing.
template <typename T>
T* Kind(const QObject& w, const char* name) {
  T* k = w.findChild<T*>(name);
  if (!k) qWarning("Steuerelement fehlt: %s", name);
  return k;
}

// The first position at which two lists of floats differ in any bit, -1
// when they are the same values bit for bit (QCOMPARE on floats is fuzzy).
inline int ErsteAbweichung(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return static_cast<int>(std::min(a.size(), b.size()));
  for (size_t i = 0; i < a.size(); ++i)
    if (std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i])) return static_cast<int>(i);
  return -1;
}

// Qt has read the numeric locale from the environment; the library's tables
// need "." again, as in the program.
inline void NumerikC() { std::setlocale(LC_NUMERIC, "C"); }

// Where a test leaves its pictures (the build folder, or what the
// environment names).
inline QString Bildverzeichnis() {
  const QString v = qEnvironmentVariable("TERVAL_BILDVERZEICHNIS");
  return v.isEmpty() ? QString(".") : v;
}

}  // namespace terval::test
