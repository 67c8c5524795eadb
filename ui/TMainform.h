// The main window: start-up with the reference tables, the run options,
// the commands of the menus "Basisdaten" and "Berechnen", the run start and
// stop, and the chart "EWT-Betrieb" with its display controls.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

#include "core/Laufstart.h"
#include "model/Oberflaeche.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;

namespace terval {

struct Dateiwahl;
struct Modell;
class Bodenfenster;
class Diagramm;
class Exporteur;
class Jahresblick;
class Mehrjahresfeld;
class ModellGrid;
class QtOberflaeche;
class TDBShowKlima;
class TdlgStandortprofil;
class TfrmKanaldaten;
class Tfrm_DBWriteerg;

class TMainform : public QMainWindow {
  Q_OBJECT

 public:
  // The status line after a stopped run.
  static constexpr char Gestoppt[] = "Die Berechnung wurde gestoppt; es wurde nichts geschrieben.";
  // The question when the window is closed during a run.
  static constexpr char SchliessenFrage[] =
      "Es läuft eine Berechnung.\rWollen Sie sie abbrechen und das Programm beenden ?";

  // Moisture time step in seconds of the items 0..4 of cb_SoilmodRes.
  static constexpr int FeuchteZeitschritte[5] = {3600, 1800, 600, 60, 1};

  // The window works on `m` for its whole life. `beobachter`, when given
  // (tests), answers every message box and question and sees every call of
  // the library to the user interface.
  explicit TMainform(Modell& m, Oberflaeche* beobachter = nullptr, QWidget* parent = nullptr);
  ~TMainform() override;

  // The start-up state in its fixed order, ending with the reference tables;
  // false after the message when "SOILS.DAT" or "Rohre.DBF" is missing (the
  // program must then end).
  bool FormCreate();

  // The library's way to the user while this window is shown.
  Oberflaeche& UI();
  Modell& M() { return m_; }

  // Status line text, repainted at once; empty shows the program banner.
  void Stat(const std::string& text);
  // Climate table name, the two mean temperatures, the segment range.
  void Updatedisplay();
  // Redraws the chart for segment s in the current display mode.
  void DrawSegment(int s);
  // "Aktuelle Länge des Kanals: ..." from the channel in memory.
  void ZeigeKanallaenge();
  // "Klimadaten von " + Ortsname.
  void ZeigeOrtsname();
  // Completeness label of one climate element: green or dark red.
  void KlimaLabel(Klimaelement element, bool komplett);
  // Progress within a long piece of work in the status line; maximum 0 hides it.
  void ZeigeFortschritt(int wert, int maximum);
  // The stop button, visible only while a run is in progress.
  void ZeigeStopknopf(bool sichtbar);

  // True from the start of "Simulation starten..." until it returns.
  bool LaufAktiv() const { return laufAktiv_; }
  // The outcome of the last run start.
  const Laufbericht& LetzterLauf() const { return letzterLauf_; }
  // The run options as the controls hold them.
  Laufoptionen OptionenAusSteuerung() const;

  Diagramm* Chart() const { return chart_; }
  Jahresblick* Jahresueberblick() const { return jahresblick_; }
  Bodenfenster* Feldfenster() const { return feld_; }
  ModellGrid* Gitterfenster() const { return gitter_; }
  Tfrm_DBWriteerg* Schreibfenster() const { return schreibfenster_; }
  TdlgStandortprofil* Standortdialog() const { return dlgStandortprofil_; }
  TfrmKanaldaten* Kanaleditor() const { return frmKanaldaten_; }
  TDBShowKlima* Klimaanzeige() const { return dbShowKlima_; }

  static QColor FarbeKomplett() { return QColor(0, 128, 0); }
  static QColor FarbeUnvollstaendig() { return QColor(128, 0, 0); }

 public slots:
  // "Standortprofil bearbeiten...": the location dialog, modally.
  void ShowStandortprofil();
  // "EWT-Daten bearbeiten...": the channel editor, modally; then the
  // channel length and the display follow the channel.
  void btEditEWTDatenClick();
  // "Klima-Datenbank laden...".
  void Bt_DBKlimaSelectClick();
  // "Variantenstudie öffnen…": a study table of terval-batch in a window
  // of its own, beside the main window; a table that cannot be read is named.
  void VariantenstudieOeffnen();
  // "Fehlende Klimadaten erzeugen": in memory only, or written back.
  void CreateDataTempClick();
  void CreateDataPermClick();
  // "Simulation starten...".
  void EKModellFDVerfahren1Click();
  // "Berechnung stoppen" (Esc): the run ends within the day it computes.
  void btStopsimClick();
  // "Klima-Datenbank anzeigen...": the climate viewer, modally, once a
  // table has been accepted; its delete buttons only between runs.
  void ShowKlimaGrid();
  // Display mode 0 year course, 1 day course, 2 along the channel.
  void cbDisplaymodeChange(int modus);
  // "Diagramm in Zwischenablage kopieren".
  void KopiereDiagramm();
  // "Diagramm drucken".
  void DruckeDiagramm();
  // "Als Bild speichern…": PNG, or SVG when the name ends in ".svg".
  void SpeichereDiagrammBild();
  // "Daten speichern…": the shown series as a ";"-separated table.
  void SpeichereDiagrammDaten();
  // "2D-Feld anzeigen": the marked segment's field of the last run, day by day.
  void Zeige2DFeld();

 protected:
  // The open dialog of "Klima-Datenbank laden..."; empty when cancelled.
  virtual QString KlimaDateiWaehlen();
  // Full path of a reference file of the program directory, empty when missing.
  virtual std::string Referenzdatei(const std::string& name);
  // The print dialog; false when cancelled.
  virtual bool DruckerWaehlen(QPrinter& drucker);
  // A file dialog of the chart exports; empty when cancelled.
  virtual QString DateiWaehlen(const Dateiwahl& wahl);

  void closeEvent(QCloseEvent* ereignis) override;

 private:
  void BaueMenues();
  void BaueOptionen();
  void BaueGrafiksteuerung();
  void BaueStatuszeile();
  // Commands that change the model are usable only between runs.
  void SetzeBedienbarkeit();
  void ErzeugeFehlendeDaten(bool zurueckschreiben);
  void SetzeAnzeigeposition(int wert);
  void AnzeigeEingabe();
  void SegmentWechsel(int s);
  // e_display red while it holds no hour (or day) the chart can show.
  void AnzeigefeldPruefen();
  void Neuzeichnen();

  Modell& m_;
  std::unique_ptr<QtOberflaeche> ui_;
  bool laufAktiv_ = false;
  bool schliessenNachLauf_ = false;
  Laufbericht letzterLauf_;
  // The displayed hour or day as last chosen; a typed value may lie outside
  // the track bar's range until DrawSegment corrects it.
  int anzeigePosition_ = 13;

  std::unique_ptr<Exporteur> export_;
  Diagramm* chart_ = nullptr;
  Bodenfenster* feld_ = nullptr;
  Jahresblick* jahresblick_ = nullptr;
  ModellGrid* gitter_ = nullptr;
  Tfrm_DBWriteerg* schreibfenster_ = nullptr;
  TdlgStandortprofil* dlgStandortprofil_ = nullptr;
  TfrmKanaldaten* frmKanaldaten_ = nullptr;
  TDBShowKlima* dbShowKlima_ = nullptr;

  // Menu commands.
  QAction* aStandortprofil_ = nullptr;
  QAction* aKlimaLaden_ = nullptr;
  QAction* aKlimaAnzeigen_ = nullptr;
  QAction* aEWTDaten_ = nullptr;
  QAction* aErzeugenTemp_ = nullptr;
  QAction* aErzeugenPerm_ = nullptr;
  QAction* aStart_ = nullptr;
  QAction* aFeld_ = nullptr;

  // Options and displayed values.
  QWidget* optionen_ = nullptr;
  QGroupBox* gb_locdata_ = nullptr;
  QLabel* l_DBKlimaName_ = nullptr;
  QLabel* l_tmittelmessort_ = nullptr;
  QLabel* L_tmaxmessort_ = nullptr;
  QLabel* klimaLabel_[5] = {};
  QLabel* l_segmentzahl_ = nullptr;
  QPushButton* btStandortprofil_ = nullptr;
  QPushButton* btEditEWTDaten_ = nullptr;
  QLineEdit* e_output_ = nullptr;
  QLineEdit* E_markseg_ = nullptr;
  QRadioButton* rb_fulldataset_ = nullptr;
  QRadioButton* rb_smalldataset_ = nullptr;
  QButtonGroup* ausgabeumfang_ = nullptr;
  QLineEdit* e_outputhour_ = nullptr;
  QCheckBox* mpTextoutput_ = nullptr;
  QCheckBox* cb_CreateTagesgang_ = nullptr;
  QCheckBox* cb_mitFeuchte_ = nullptr;
  Mehrjahresfeld* mehrjahr_ = nullptr;  // "Anzahl Jahre", the climate sequence, the drift
  QComboBox* cb_SoilmodRes_ = nullptr;
  QCheckBox* cb_KleinerVolumenstrom_ = nullptr;
  QCheckBox* cb_Energieerhaltend_ = nullptr;
  QCheckBox* cb_Kondensation_ = nullptr;

  // Chart controls.
  QComboBox* cbDisplaymode_ = nullptr;
  QLabel* l_display_ = nullptr;
  QSlider* tb_display_ = nullptr;
  QLineEdit* e_display_ = nullptr;
  QTimer* zeichenTakt_ = nullptr;  // redraw after the slider rests
  QSpinBox* eShowSegnr_ = nullptr;
  QCheckBox* cb_Tin_ = nullptr;
  QCheckBox* cb_tout_ = nullptr;
  QCheckBox* cb_Tdelta_ = nullptr;
  QCheckBox* cbShowEnergie_ = nullptr;

  // Status line.
  QLabel* l_status_ = nullptr;
  QProgressBar* pb_fortschritt_ = nullptr;
  QPushButton* btStopsim_ = nullptr;
};

}  // namespace terval
