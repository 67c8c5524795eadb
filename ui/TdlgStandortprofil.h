// The location profile dialog: shows the site values of the model, takes
// edits over on "Übernehmen", opens and saves location files, and previews
// the thermal properties of the chosen soil.
#pragma once

#include <QDialog>
#include <array>

#include "ui/Dialoghilfen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;

namespace terval {

struct Modell;
class Oberflaeche;

// Created once with the main window and reused: each opening refreshes every
// control from the model; edits stay in the controls until "Übernehmen" or a
// save, and "Schliessen" leaves the model as it is.
class TdlgStandortprofil : public QDialog {
  Q_OBJECT

 public:
  TdlgStandortprofil(Modell& m, Oberflaeche& ui, QWidget* parent = nullptr);

  // WerteAnzeigen, then the dialog modally; the dialog's result.
  int ShowStandortprofil();

  // Model into the controls, caption "Standortprofil (" + Standortdatei + ")".
  void WerteAnzeigen();
  // Controls into the model. A number field whose text is still the one
  // shown from the model keeps the model's exact value; an edited field left
  // empty gives 0, one that holds no number keeps the model's value.
  // Veg_Hoehe <= 0 becomes 0.5. A list without a selection keeps its value.
  // Ends with OrtsnameGeaendert.
  void WerteUebernehmen();
  // The preview line l_tlf for the selected soil and the typed start
  // moisture; unchanged when no soil is selected, empty when the typed
  // moisture cannot be shown (no number, above 100 %).
  void cbSoilsChange();

 signals:
  // After every take-over: the main window's group caption follows the site
  // name ("Klimadaten von " + name).
  void OrtsnameGeaendert(const QString& ortsname);

 public slots:
  // "Übernehmen"; refused while a number field holds no number.
  void Button2Click();
  // Open a location file.
  void btOpenLocDateiClick();
  // Both save buttons; the sender tells save (btSaveLoc) from save as.
  void bt_savelocasClick();

 public:
  // "Schliessen", Escape and the close box: refused while a number field
  // holds no number (the user would take the red field for taken over).
  void done(int ergebnis) override;

 protected:
  // The file dialog; empty when cancelled. Tests decide here.
  virtual QString DateiWaehlen(const Dateiwahl& wahl);
  bool event(QEvent* e) override;

 private:
  void Speichern(bool unterNeuemNamen);

  Modell& m_;
  Oberflaeche& ui_;

  QLineEdit* e_locname_;
  QToolButton* btOpenLocDatei_;
  QToolButton* btSaveLoc_;
  QToolButton* bt_savelocas_;
  QLineEdit* e_breite_;
  QLineEdit* E_laenge_;
  QLineEdit* e_veghoehe_;
  QComboBox* cbVegTyp_;
  QComboBox* cbSoils_;
  QLineEdit* E_relBodenfeuchte_;
  QLabel* l_tlf_;
  QLineEdit* e_Tkeller_;
  QLineEdit* E_WlfKellerwand_;
  QLineEdit* E_Kellerwanddicke_;
  QLineEdit* e_Tfundament_;
  QLineEdit* e_DeltaTdew_;
  QComboBox* cbTruebung_;
  QLineEdit* e_wind_mittel_;
  QLineEdit* e_windhoehe_;
  QLineEdit* e_wind_tn_;
  std::array<QSlider*, 13> tb_{};     // 1..12
  std::array<QLineEdit*, 13> ens_{};  // 1..12
};

}  // namespace terval
