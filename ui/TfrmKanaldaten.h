// The channel editor "Erdkanaldaten (...)": the segment table, the drawn
// channel with mouse editing, the operation settings, and the commands to
// add segments, begin a new channel, open and save channel files and edit
// the pipe data. It works directly on the channel in the model.
#pragma once

#include <QDialog>
#include <array>

#include "ui/Dialoghilfen.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTableWidget;
class QToolButton;

namespace terval {

struct Modell;
class Oberflaeche;
class Kanalbild;
class TfrmRohrdaten;
class TdlgLuftweg;

// Created once with the main window and reused. There is no separate copy of
// the channel and no cancel: every command changes the model at once, and
// closing the window takes the table and the settings into the model.
class TfrmKanaldaten : public QDialog {
  Q_OBJECT

 public:
  // Columns of sgKanal.
  static constexpr int Spalten = 10;
  // Entries of cb_toollist.
  enum Werkzeug {
    Anzeigen = 0, Kanaltiefe, AnzahlRohre, Rohrabstand, AbstandLinks, AbstandRechts,
    TiefeLinks, TiefeRechts, Ueberbaut, Versiegelt, SegmentLoeschen
  };

  TfrmKanaldaten(Modell& m, Oberflaeche& ui, QWidget* parent = nullptr);

  // Resets the tool row (tool "(Anzeigen)", value "0" disabled) and the add
  // count ("1"), fills the window from the model, runs it modally and then
  // takes table and settings into the model. The caller shows the new
  // channel length afterwards.
  int zeigen();

  // Model into the window: table, length label, caption, settings, picture.
  void Mem2Grid();
  // Table and settings into the model. A number cell or field whose text is
  // still the one shown from the model keeps the model's exact value. Edited
  // numbers are read from the start of a text (integers stop at the first
  // non-digit, "2.5" gives 2); a text that does not begin with a number is
  // not taken (the cell or field stays red). Column 8 counts as "Ü" or "V"
  // after upper-casing a..z only, so "v" is sealed and "ü" open ground.
  void Grid2Mem();

  TfrmRohrdaten* Rohrdialog() const { return rohrdaten_; }
  TdlgLuftweg* Luftwegdialog() const { return luftweg_; }

  // "Schließen", Escape and the close box: refused while a number field or
  // cell holds no number.
  void done(int ergebnis) override;

 public slots:
  void bt_addsegmentClick();
  void btNewClick();
  void btShowRohrdataClick();
  void bt_aktdatafromTabClick();
  void btOpenKanalClick();
  // Both save buttons; the sender tells save (btSaveKanal) from save as.
  void btSaveKanalClick();
  // A mouse button at picture position x: selects the segment's row and
  // applies the chosen tool with the value of E_toolvalue.
  void kanalimgMouseDown(int x);
  void cb_toollistChange(int position);
  void rbConstVolClick();
  void rbSchaltzeitbetriebClick();
  void rbTemperaturbetriebClick();
  void rbZeitundTempClick();

 protected:
  // The file dialog; empty when cancelled. Tests decide here.
  virtual QString DateiWaehlen(const Dateiwahl& wahl);
  bool event(QEvent* e) override;

 private:
  // Selects the radio button of mode 0..3 and enables its controls.
  void SetzeModus(int modus);
  // Table row of segment k from the model; column 0 shows k itself when
  // `nummer`, else the distance from the inlet.
  void SchreibeZeile(int k, bool nummer);
  void SetzeZelle(int zeile, int spalte, const QString& text);
  QString Zelle(int zeile, int spalte) const;
  // The air path live from the table's pipe counts and the base flow field:
  // pressure drop at the base flow, speeds, and a warning above 3 m/s.
  void ZeigeLuftweg();

  Modell& m_;
  Oberflaeche& ui_;
  TfrmRohrdaten* rohrdaten_;

  QLabel* l_Kanallaenge_;
  QLineEdit* e_addsegment_;
  QToolButton* btSaveKanal_;
  QToolButton* bt_saveas_;
  QTableWidget* sgKanal_;
  QScrollArea* bildbox_;
  Kanalbild* kanalimg_;
  QComboBox* cb_toollist_;
  QLineEdit* E_toolvalue_;
  QLineEdit* eVolstrom_;
  QLineEdit* eVolAusZustand_;
  QCheckBox* cb_5tagesbetrieb_;
  QButtonGroup* betriebsart_;
  std::array<QRadioButton*, 4> rb_{};  // by mode 0..3
  QLineEdit* eVolein_zeit_;
  QLineEdit* eVolaus_zeit_;
  QLineEdit* evol_heizT_;
  QLineEdit* evol_kuehlT_;
  TdlgLuftweg* luftweg_;
  QLabel* l_Luftweg_;
  QLabel* l_LuftwegWarnung_;
};

}  // namespace terval
