// The window "2D-Feld": the marked segment's soil cross-section of one day
// of the last run, a day slider and a play button that walk through the
// year, and the day saved as a picture or as data.
#pragma once

#include <QWidget>

#include "output/Bodenjahr.h"

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace terval {

class Exporteur;

// The field as the window shows it, drawn by the renderer at its own size.
class Bodenansicht : public QWidget {
  Q_OBJECT

 public:
  explicit Bodenansicht(QWidget* parent = nullptr);
  // Shows `feld` (null: nothing) on the scale `bereich`.
  void Zeige(const Bodenfeld* feld, const Temperaturbereich& bereich);

 protected:
  void paintEvent(QPaintEvent* ereignis) override;

 private:
  const Bodenfeld* feld_ = nullptr;
  Temperaturbereich bereich_;
};

// The field of a day as "Daten speichern…" saves it: a head row with the
// distance of each column (m), then one row per depth (m) with its
// temperatures (degC).
QString Bodentabelle(const Bodenfeld& feld);

class Bodenfenster : public QWidget {
  Q_OBJECT

 public:
  Bodenfenster(Exporteur& aus, QWidget* parent = nullptr);

  // Shows the year `jahr` (kept by the caller until the next call), at the
  // day shown before where `jahr` holds it, else at its first day.
  void Zeige(const Bodenjahr& jahr);
  // The day shown, 0 without one.
  int Tag() const;
  QSlider* Schieber() const { return schieber_; }

 protected:
  // A closed window stops playing.
  void hideEvent(QHideEvent* ereignis) override;

 private:
  void TagGewaehlt(int index);
  void Schritt();

  const Bodenjahr* jahr_ = nullptr;
  Temperaturbereich bereich_;  // of the whole year: one scale for every day
  Bodenansicht* ansicht_;
  QSlider* schieber_;
  QLabel* tag_;
  QPushButton* abspielen_;
  QTimer* takt_;
};

}  // namespace terval
