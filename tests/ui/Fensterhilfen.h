// Shared pieces of the window tests: a main window whose outside choices a
// test makes, models built by hand, lookups of controls by their names.
#pragma once

#include <QtTest>
#include <QPrinter>
#include <QtWidgets>
#include <bit>
#include <clocale>
#include <functional>
#include <memory>
#include <set>

#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "ui/Dialoghilfen.h"
#include "ui/TMainform.h"

namespace terval::test {

// The main window with its file dialog, print dialog and reference-file lookup decided by the test.
class Prueffenster : public TMainform {
 public:
  using TMainform::TMainform;
  QString klimadatei;             // what the open dialog "returns"; empty = cancelled
  std::set<std::string> fehlend;  // reference files that count as missing
  QString druckdatei;             // the print dialog "chooses" a PDF file; empty = cancelled

 protected:
  QString KlimaDateiWaehlen() override { return klimadatei; }
  bool DruckerWaehlen(QPrinter& drucker) override {
    drucker.setOutputFormat(QPrinter::PdfFormat);
    drucker.setOutputFileName(druckdatei);
    return !druckdatei.isEmpty();
  }
  std::string Referenzdatei(const std::string& name) override {
    return fehlend.count(name) ? std::string() : TMainform::Referenzdatei(name);
  }
};

// An editing window whose file dialog records the question and returns `antwort` (empty = cancelled).
template <typename Fenster>
class MitDateiwahl : public Fenster {
 public:
  using Fenster::Fenster;
  QString antwort;
  std::vector<Dateiwahl> gefragt;

 protected:
  QString DateiWaehlen(const Dateiwahl& wahl) override {
    gefragt.push_back(wahl);
    return antwort;
  }
};

// A fresh model, a recorder answering every message, the main window after start-up.
struct Aufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<Prueffenster> f = std::make_unique<Prueffenster>(*m, &ui);
  bool gestartet = f->FormCreate();
};

// A complete climate year: air with a yearly and a daily wave about 10 degC, sun by day.
inline void FuelleKlima(Modell& m) {
  for (int h = 1; h <= Stunden; ++h) {
    const double tag = (h - 1) / 24 + 1, stunde = (h - 1) % 24;
    TKlimaStunde& k = m.Klima[h];
    k.T_Luft = float(10 - 9 * std::cos(2 * M_PI * (tag - 20) / 365) - 3 * std::cos(2 * M_PI * (stunde - 3) / 24));
    k.Glob_Str = float(std::max(0.0, 400 * std::sin(M_PI * (stunde - 6) / 12)));
    k.rFeuchte = 75, k.Wind = 2, k.Wolken = 4, k.Nieders = 0.1f;
    m.Segmente[1].T_ein[h] = k.T_Luft;
  }
  m.DBKlimaName = "synthetisch";
  m.KlimaGueltig = m.TLuftKomplett = m.FeuchteKomplett = m.WindKomplett = true;
  m.StrahlungKomplett = m.NiederschlagKomplett = m.WolkenKomplett = m.KlimaKomplett = true;
}

// n segments of one pipe (outer radius 0.1 m, wall 0.01 m) at 2 m depth, open ground.
inline void BaueKanal(Modell& m, int n) {
  m.Anz_Segmente = n;
  for (int s = 1; s <= n; ++s) {
    Kanalsegment& k = m.Segmente[s];
    k.Anz_Rohre = 1, k.Tiefe = 2.0f, k.Abst_Rohre = k.Abst_Geb_li = k.Abst_Geb_re = 0, k.Überbaut = 0;
  }
  m.Rohrdaten.Rohr_Ra = {0, 0.1f, 0.1f};
  m.Rohrdaten.Rohr_Dicke = {0, 0.01f, 0.01f};
}

// The child of `w` with this object name and type (null and a warning when missing).
template <typename T = QWidget>
T* Kind(const QObject& w, const QString& name) {
  T* k = w.findChild<T*>(name);
  if (!k) qWarning("Steuerelement fehlt: %s", qPrintable(name));
  return k;
}
inline QString Text(const QObject& w, const char* name) { return Kind<QLineEdit>(w, name)->text(); }
inline void Setze(const QObject& w, const char* name, const QString& t) { Kind<QLineEdit>(w, name)->setText(t); }
inline void Klick(const QObject& w, const char* name) { Kind<QAbstractButton>(w, name)->click(); }
// '1' for every named control that is enabled, '0' for the others.
inline QString Frei(const QObject& w, std::initializer_list<const char*> namen) {
  QString r;
  for (const char* n : namen) r += Kind(w, n)->isEnabled() ? '1' : '0';
  return r;
}

// Runs `imFenster` as soon as the modal window that comes up next is shown.
inline void Sobald(QObject* w, std::function<void()> imFenster) { QTimer::singleShot(0, w, std::move(imFenster)); }

// The first position at which two lists of floats differ in any bit, -1
// when they are the same bit for bit (QCOMPARE on floats is fuzzy).
inline int ErsteAbweichung(const std::vector<float>& a, const std::vector<float>& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i])) return int(i);
  return a.size() == b.size() ? -1 : int(std::min(a.size(), b.size()));
}

// Qt has read the numeric locale from the environment; the tables need "." again.
inline void NumerikC() { std::setlocale(LC_NUMERIC, "C"); }

// Saves a picture for the documentation into the build folder (or where the environment says).
inline bool Bild(QWidget& w, const QString& name) {
  const QString v = qEnvironmentVariable("TERVAL_BILDVERZEICHNIS");
  return w.grab().save((v.isEmpty() ? QString(".") : v) + "/" + name);
}

}  // namespace terval::test
