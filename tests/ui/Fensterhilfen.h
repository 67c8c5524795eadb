// Shared pieces of the window tests: a main window whose outside choices a
// test makes, models built by hand, lookups of controls by their names.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <bit>
#include <clocale>

#include "model/Vardef.h"
#include "support/Aufzeichner.h"
#include "ui/Dialoghilfen.h"
#include "ui/TMainform.h"

namespace terval::test {

// The main window with its file dialog and reference-file lookup decided by the test.
class Prueffenster : public TMainform {
 public:
  using TMainform::TMainform;
  QString klimadatei;  // what the open dialog "returns"; empty = cancelled
  QStringList fehlend;  // reference files that count as missing
  QString speicherdatei;  // what the chart's save dialogs and "Variantenstudie öffnen…" "return"

 protected:
  QString KlimaDateiWaehlen() override { return klimadatei; }
  QString DateiWaehlen(const Dateiwahl&) override { return speicherdatei; }
  std::string Referenzdatei(const std::string& name) override {
    return fehlend.contains(QString::fromStdString(name)) ? std::string() : TMainform::Referenzdatei(name);
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

// A complete climate year (air about 10 degC with a yearly wave, sun by day) and
// n segments of one pipe (outer radius 0.1 m, wall 0.01 m) at 2 m depth, open ground.
inline void FuelleKlima(Modell& m) {
  for (int h = 1; h <= Stunden; ++h) {
    TKlimaStunde& k = m.Klima[h];
    k.T_Luft = m.Segmente[1].T_ein[h] = float(10 - 9 * std::cos(2 * M_PI * (h - 480) / Stunden));
    k.rFeuchte = 75, k.Wind = 2, k.Glob_Str = h % 24 > 6 && h % 24 < 18 ? 300 : 0, k.Wolken = 4, k.Nieders = 0.1f;
  }
  m.DBKlimaName = "synthetisch";
  m.KlimaGueltig = m.TLuftKomplett = m.FeuchteKomplett = m.WindKomplett = true;
  m.StrahlungKomplett = m.NiederschlagKomplett = m.WolkenKomplett = m.KlimaKomplett = true;
}
inline void BaueKanal(Modell& m, int n) {
  m.Anz_Segmente = n;
  for (int s = 1; s <= n; ++s) m.Segmente[s].Anz_Rohre = 1, m.Segmente[s].Tiefe = 2.0f;
  m.Rohrdaten.Rohr_Ra = {0, 0.1f, 0.1f}, m.Rohrdaten.Rohr_Dicke = {0, 0.01f, 0.01f};
}

// A fresh model, a recorder answering every message, the main window after start-up;
// with n > 0 also a complete climate year and a channel of n segments.
struct Aufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<Prueffenster> f = std::make_unique<Prueffenster>(*m, &ui);
  bool gestartet = f->FormCreate();
  explicit Aufbau(int n = 0) { if (n > 0) FuelleKlima(*m), BaueKanal(*m, n); }
};

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

// The menu command with this object name.
inline QAction* Befehl(const QWidget& f, const char* name) { return f.findChild<QAction*>(name); }
// "Simulation starten..." with the working directory `dir`.
inline void Starte(Aufbau& a, const QString& dir) {
  const QString vorher = QDir::currentPath();
  QDir::setCurrent(dir);
  Befehl(*a.f, "EKModellFDVerfahren1")->trigger();
  QDir::setCurrent(vorher);
}

// Runs `imFenster` as soon as the modal window that comes up next is shown.
inline void Sobald(QObject* w, std::function<void()> imFenster) { QTimer::singleShot(0, w, std::move(imFenster)); }

// The first position at which two lists of floats differ in any bit, -1 when
// they are the same bit for bit (QCOMPARE on floats is fuzzy).
inline int ErsteAbweichung(const std::vector<float>& a, const std::vector<float>& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (i == b.size() || std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i])) return int(i);
  return a.size() == b.size() ? -1 : int(a.size());
}

// Qt has read the numeric locale from the environment; the tables need "." again.
inline void NumerikC() { std::setlocale(LC_NUMERIC, "C"); }

// Saves a picture for the documentation into the build folder (or where the environment says).
inline bool Bild(QWidget& w, const QString& name) {
  return w.grab().save(qEnvironmentVariable("TERVAL_BILDVERZEICHNIS", ".") + "/" + name);
}

}  // namespace terval::test

// Each test program is about one window of this program.
using namespace terval;
using namespace terval::test;
