// The pipe data dialog "Rohrdaten Erdkanal": name, inner diameter, wall
// thickness and wall conductivity of the two pipe types (main line and
// register) and the common segment length, with the catalogue "Rohre.DBF"
// to copy from.
#pragma once

#include <QDialog>

#include "ui/Dialoghilfen.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace terval {

struct Modell;
class Oberflaeche;

// Created once by the channel editor and reused: the pipe type shown (and
// its radio button) survives from one opening to the next.
class TfrmRohrdaten : public QDialog {
  Q_OBJECT

 public:
  // The message when the segment length is outside 0.5..5 m on closing.
  static constexpr char SegmentlaengeFehler[] = "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !";

  TfrmRohrdaten(Modell& m, Oberflaeche& ui, QWidget* parent = nullptr);

  // Fills the dialog from the model, runs it modally and, however it was
  // closed, takes the shown pipe type and the segment length into the model.
  int zeigen();
  // The steps before the dialog runs: the shown type from the model, the
  // catalogue list (second entry selected), the segment length.
  void Vorbereiten();

  // Pipe type k (1 main line, 2 register) from the model into the fields.
  void Mem2Dlg(int k);
  // The fields into pipe type k and the segment length. A field whose text
  // is still the one shown from the model keeps the model's exact value; a
  // new wall with the diameter untouched keeps the bore.
  void Dlg2Mem(int k);
  // The pipe type shown, 1 or 2.
  int Rohrtyp() const { return k_; }

 public slots:
  void rbHauptstrangClick();
  void rbRegisterClick();
  // "<- Werte kopieren": the selected catalogue entry into the fields.
  void btCopyDataClick();

 public:
  // OK, Escape and the close box end here: a number field that holds no
  // number, or a segment length outside 0.5..5 m, is refused with its
  // message and the dialog stays open.
  void done(int ergebnis) override;

 protected:
  bool event(QEvent* e) override;

 private:
  void Wechsle(int neu);
  // The segment length the model would take from e_seglaenge, m.
  double Segmentlaenge() const;

  Modell& m_;
  Oberflaeche& ui_;
  int k_ = 1;

  QRadioButton* rbHauptstrang_;
  QRadioButton* rbRegister_;
  QLineEdit* e_Rohrname_;
  QLineEdit* e_idurchm_;
  QLineEdit* E_rohrdicke_;
  QLineEdit* e_Rohrwlf_;
  QLineEdit* e_seglaenge_;
  QComboBox* cbRohrtypen_;
  QPushButton* btCopyData_;
};

}  // namespace terval
