#include "ui/TMainform.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtCharts/QLineSeries>
#include <algorithm>
#include <exception>
#include <limits>

#include "channel/URohrdaten.h"
#include "climate/DBKlima.h"
#include "climate/Klimaerzeugung.h"
#include "core/Cor_mod.h"
#include "core/Ventilator.h"
#include "model/Vardef.h"
#include "model/Zahltext.h"
#include "output/Studientabelle.h"
#include "physics/getsoildata.h"
#include "tables/Referenzdateien.h"
#include "ui/Dialoghilfen.h"
#include "ui/Bodenfenster.h"
#include "ui/Diagramm.h"
#include "ui/Export.h"
#include "ui/Jahresblick.h"
#include "ui/Mehrjahresfeld.h"
#include "ui/ModellGrid.h"
#include "ui/QtOberflaeche.h"
#include "ui/TDBShowKlima.h"
#include "ui/TdlgStandortprofil.h"
#include "ui/TfrmKanaldaten.h"
#include "ui/Tfrm_DBWriteerg.h"
#include "ui/Variantenstudie.h"

namespace terval {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A label that shows a long file name shortened in the middle to its width;
// text() keeps the whole name.
class Namensfeld : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width()));
  }
};

QLabel* NeuesLabel(const char* name, const QString& text, const QString& hinweis) {
  auto* l = new QLabel(text);
  l->setObjectName(name);
  l->setStatusTip(hinweis);
  return l;
}

// A dock's content in a scroll area: a small screen scrolls it instead of
// pushing the status line (progress, stop button) below its edge.
QScrollArea* Rollbar(QWidget* inhalt) {
  auto* r = new QScrollArea;
  r->setWidget(inhalt);
  r->setWidgetResizable(true);
  r->setFrameShape(QFrame::NoFrame);
  r->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // As wide as the content, but no higher than needed.
  r->setMinimumWidth(std::min(inhalt->sizeHint().width() + 20, 360));
  r->setMinimumHeight(std::min(inhalt->sizeHint().height(), 80));
  return r;
}

}  // namespace

TMainform::TMainform(Modell& m, Oberflaeche* beobachter, QWidget* parent)
    : QMainWindow(parent), m_(m), ui_(std::make_unique<QtOberflaeche>(*this, beobachter)) {
  setObjectName("Mainform");
  setWindowTitle("Terval");
  // A laptop of 1366 x 768 must show the progress and the stop button:
  // every dock scrolls, so the window shrinks to 1024 x 640 and below.
  resize(1280, 800);

  // The save dialogs start where the samples lie.
  export_ = std::make_unique<Exporteur>(UI(), [this](const Dateiwahl& w) {
    Dateiwahl wahl = w;
    wahl.verzeichnis = Q(m_.Startverzeichnis);
    return DateiWaehlen(wahl);
  });
  chart_ = new Diagramm(this);
  chart_->setStatusTip("Doppelklick: Klimadatenbank anzeigen");
  jahresblick_ = new Jahresblick(m_, *export_, this);
  feld_ = new Bodenfenster(*export_, this);
  auto* reiter = new QTabWidget(this);
  reiter->setObjectName("tw_Diagramme");
  reiter->addTab(chart_, "EWT-Betrieb");
  reiter->addTab(jahresblick_, "Jahresüberblick");
  setCentralWidget(reiter);
  connect(chart_, &Diagramm::Doppelklick, this, [this] {
    if (!m_.DBKlimaName.empty()) ShowKlimaGrid();
  });

  gitter_ = new ModellGrid(this);
  schreibfenster_ = new Tfrm_DBWriteerg(this);
  dlgStandortprofil_ = new TdlgStandortprofil(m_, UI(), this);
  frmKanaldaten_ = new TfrmKanaldaten(m_, UI(), this);
  dbShowKlima_ = new TDBShowKlima(m_, UI(), this);
  connect(dlgStandortprofil_, &TdlgStandortprofil::OrtsnameGeaendert, this, &TMainform::ZeigeOrtsname);

  BaueMenues();
  BaueOptionen();
  BaueGrafiksteuerung();
  BaueStatuszeile();
  SetzeBedienbarkeit();
  if (const QScreen* schirm = screen())
    resize(size().boundedTo(schirm->availableGeometry().size() - QSize(40, 60)));
}

TMainform::~TMainform() = default;

Oberflaeche& TMainform::UI() { return *ui_; }

// ---- Building the window ------------------------------------------------------

void TMainform::BaueMenues() {
  auto neu = [this](const char* name, const QString& text, const QString& hinweis) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    a->setStatusTip(hinweis);
    return a;
  };
  aStandortprofil_ = neu("Standortprofilbearbeiten1", "Standortprofil bearbeiten...",
                         "Die Daten des Standortes bearbeiten: Lage, Vegetation, Boden, Gebäude und "
                         "Angaben für die Erzeugung von Klimadaten");
  aKlimaLaden_ = neu("KlimaDatenbankladen1", "Klima-Datenbank laden...",
                     "Klimadatenbank öffnen (dBASE, Paradox, Text, EnergyPlus, Testreferenzjahr)");
  aKlimaLaden_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  aKlimaAnzeigen_ = neu("KlimaDatenbankanzeigen1", "Klima-Datenbank anzeigen...",
                        "Die geladenen Klimadaten Stunde für Stunde anzeigen und einzelne Spalten "
                        "löschen");
  aKlimaAnzeigen_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  aEWTDaten_ = neu("EWTDatenbearbeiten1", "EWT-Daten bearbeiten...",
                   "Den Erdkanal Segment für Segment bearbeiten, dazu Betrieb und Rohrdaten");
  aErzeugenTemp_ = neu("CreateDataTemp", "Temporär im Speicher",
                       "Fehlende Klimadaten synthetisch erzeugen, nur im Speicher");
  aErzeugenPerm_ = neu("CreateDataPerm", "In Datenbank zurückschreiben",
                       "Fehlende Klimadaten synthetisch erzeugen und in die Datenbank zurückschreiben");
  aStart_ = neu("EKModellFDVerfahren1", "Simulation starten...",
                "Den Erdkanal über das ganze Klimajahr simulieren und die Ergebnisdateien schreiben");
  aStart_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  aFeld_ = neu("Feld2DAnzeigen", "2D-Feld anzeigen",
               "Das Temperaturfeld des markierten Segments Tag für Tag zeigen (nach einem Lauf mit "
               "\"Segment-Markierung für 2D-Feld\")");
  aKlimaLaden_->setShortcut(QKeySequence::Open);
  aStart_->setShortcut(Qt::Key_F5);
  aKlimaAnzeigen_->setShortcut(Qt::CTRL | Qt::Key_K);
  aEWTDaten_->setShortcut(Qt::CTRL | Qt::Key_E);
  aStandortprofil_->setShortcut(Qt::CTRL | Qt::Key_L);
  // The menu texts stay as they read; the mnemonic goes on the first letter.
  for (QAction* a : {aStandortprofil_, aKlimaLaden_, aKlimaAnzeigen_, aEWTDaten_, aErzeugenTemp_, aErzeugenPerm_, aStart_})
    a->setText("&" + a->text());
  aKlimaAnzeigen_->setText("Klima-Datenbank &anzeigen...");

  connect(aStandortprofil_, &QAction::triggered, this, &TMainform::ShowStandortprofil);
  connect(aEWTDaten_, &QAction::triggered, this, &TMainform::btEditEWTDatenClick);
  connect(aKlimaLaden_, &QAction::triggered, this, &TMainform::Bt_DBKlimaSelectClick);
  connect(aKlimaAnzeigen_, &QAction::triggered, this, &TMainform::ShowKlimaGrid);
  connect(aErzeugenTemp_, &QAction::triggered, this, &TMainform::CreateDataTempClick);
  connect(aErzeugenPerm_, &QAction::triggered, this, &TMainform::CreateDataPermClick);
  connect(aStart_, &QAction::triggered, this, &TMainform::EKModellFDVerfahren1Click);
  connect(aFeld_, &QAction::triggered, this, &TMainform::Zeige2DFeld);

  QMenu* basis = menuBar()->addMenu("&Basisdaten");
  basis->setObjectName("Basisdaten1");
  basis->addAction(aStandortprofil_);
  basis->addAction(aKlimaLaden_);
  basis->addAction(aKlimaAnzeigen_);
  basis->addAction(aEWTDaten_);
  basis->addSeparator();
  QAction* aStudie = neu("Variantenstudieoeffnen1", "&Variantenstudie öffnen…",
                         "Die Ergebnistabelle einer Variantenstudie von terval-batch als sortierbare Tabelle "
                         "und Diagramm anzeigen");
  connect(aStudie, &QAction::triggered, this, &TMainform::VariantenstudieOeffnen);
  basis->addAction(aStudie);

  QMenu* rechnen = menuBar()->addMenu("&Berechnen");
  rechnen->setObjectName("Berechnen1");
  QMenu* erzeugen = rechnen->addMenu("&Fehlende Klimadaten erzeugen");
  erzeugen->setObjectName("FehlendeKlimadatenerzeugen1");
  erzeugen->addAction(aErzeugenTemp_);
  erzeugen->addAction(aErzeugenPerm_);
  rechnen->addAction(aStart_);
  rechnen->addAction(aFeld_);

  // Speed buttons.
  QToolBar* leiste = addToolBar("Werkzeuge");
  leiste->setObjectName("ToolBar1");
  leiste->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  leiste->setMovable(false);
  leiste->addAction(aKlimaLaden_);
  leiste->addAction(aKlimaAnzeigen_);
  leiste->addSeparator();
  leiste->addAction(aStart_);
}

void TMainform::BaueOptionen() {
  auto* inhalt = new QWidget;
  auto* spalte = new QVBoxLayout(inhalt);

  // Climate data of the site.
  gb_locdata_ = new QGroupBox;
  gb_locdata_->setObjectName("gb_locdata");
  gb_locdata_->setStatusTip("Die geladenen Klimadaten und ihre Vollständigkeit");
  auto* klima = new QVBoxLayout(gb_locdata_);
  auto* namenszeile = new QHBoxLayout;
  namenszeile->addWidget(NeuesLabel("l_DBKlima", "Klima-Datenbank:", "Name der geladenen Klimadatenbank"));
  l_DBKlimaName_ = new Namensfeld("<keine>");
  l_DBKlimaName_->setObjectName("l_DBKlimaName");
  l_DBKlimaName_->setStatusTip("Name der geladenen Klimadatenbank");
  l_DBKlimaName_->setTextFormat(Qt::PlainText);
  // Long paths must not widen the tool window; the whole name is the tool tip.
  l_DBKlimaName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  namenszeile->addWidget(l_DBKlimaName_, 1);
  klima->addLayout(namenszeile);
  l_tmittelmessort_ = NeuesLabel("l_tmittelmessort", "",
                                 "Jahresmittel der Lufttemperatur der geladenen Klimadaten");
  L_tmaxmessort_ = NeuesLabel("L_tmaxmessort", "",
                              "Mittel der Lufttemperatur der Sommertage 166 bis 225");
  klima->addWidget(l_tmittelmessort_);
  klima->addWidget(L_tmaxmessort_);
  auto* pruefung = new QGroupBox("Gültigkeitsprüfung");
  pruefung->setObjectName("gb_pruefung");
  auto* felder = new QGridLayout(pruefung);
  const char* namen[5] = {"l_Tluft", "L_rfeuchte", "L_wind", "l_strahlung", "l_ns"};
  const char* texte[5] = {"Lufttemperatur", "relative Feuchte", "Wind", "Globalstrahlung",
                          "Niederschlag"};
  for (int i = 0; i < 5; ++i) {
    klimaLabel_[i] = NeuesLabel(namen[i], texte[i],
                                "Grün: vollständig, dunkelrot: es fehlen Werte (-999)");
    QFont f = klimaLabel_[i]->font();
    f.setBold(true);
    klimaLabel_[i]->setFont(f);
    KlimaLabel(static_cast<Klimaelement>(i), false);
    felder->addWidget(klimaLabel_[i], i / 2, i % 2);
  }
  klima->addWidget(pruefung);
  spalte->addWidget(gb_locdata_);

  // The editors of the site and the channel.
  btStandortprofil_ = Benannt(new QPushButton("Standortprofil bearbeiten.."), "bt_Standortprofil",
                              aStandortprofil_->statusTip());
  btEditEWTDaten_ = Benannt(new QPushButton("EWT Daten bearbeiten..."), "btEditEWTDaten",
                            aEWTDaten_->statusTip());
  connect(btStandortprofil_, &QPushButton::clicked, aStandortprofil_, &QAction::trigger);
  connect(btEditEWTDaten_, &QPushButton::clicked, aEWTDaten_, &QAction::trigger);
  connect(aStandortprofil_, &QAction::enabledChanged, btStandortprofil_, &QWidget::setEnabled);
  connect(aEWTDaten_, &QAction::enabledChanged, btEditEWTDaten_, &QWidget::setEnabled);
  auto* knoepfe = new QHBoxLayout;
  knoepfe->addWidget(btStandortprofil_);
  knoepfe->addWidget(btEditEWTDaten_);
  spalte->addLayout(knoepfe);
  l_segmentzahl_ = NeuesLabel("l_segmentzahl", "", "Anzahl der Segmente und Länge des Erdkanals");
  l_segmentzahl_->setWordWrap(true);
  spalte->addWidget(l_segmentzahl_);

  // Everything below feeds the run and is locked while one is in progress.
  optionen_ = new QWidget;
  optionen_->setObjectName("pn_Optionen");
  auto* optionenSpalte = new QVBoxLayout(optionen_);
  optionenSpalte->setContentsMargins(0, 0, 0, 0);

  auto* ausgabe = new QGroupBox("Ausgabeoptionen");
  ausgabe->setObjectName("gb_Ausgabeoptionen");
  auto* form = new QGridLayout(ausgabe);
  e_output_ = Benannt(new QLineEdit, "e_output",
                      "Stammname der Ergebnisdateien; sie entstehen im aktuellen Arbeitsverzeichnis");
  E_markseg_ = Benannt(new QLineEdit, "E_markseg",
                       "Segment, dessen 2D-Temperaturfeld an den Referenztagen geschrieben wird "
                       "(-1: keines)");
  E_markseg_->setMaximumWidth(60);
  form->addWidget(NeuesLabel("l_output", "Stammname für Ausgabedatei: ", e_output_->statusTip()), 0,
                  0);
  form->addWidget(e_output_, 0, 1, 1, 2);
  form->addWidget(
      NeuesLabel("l_markseg", "Segment-Markierung für 2D-Feld::", E_markseg_->statusTip()), 1, 0);
  form->addWidget(E_markseg_, 1, 1);
  rb_fulldataset_ = Benannt(new QRadioButton("Kompletter Tagesgang"), "rb_fulldataset",
                            "Gesamtergebnis mit allen 24 Stunden jedes Tages");
  rb_smalldataset_ = Benannt(new QRadioButton("nur 1 Termin pro Tag, und zwar:"), "rb_smalldataset",
                             "Gesamtergebnis mit nur einer Stunde je Tag");
  ausgabeumfang_ = new QButtonGroup(this);
  ausgabeumfang_->addButton(rb_fulldataset_);
  ausgabeumfang_->addButton(rb_smalldataset_);
  e_outputhour_ = Benannt(new QLineEdit, "e_outputhour",
                          "Uhrzeit (0 bis 23), die ins Gesamtergebnis geschrieben wird");
  e_outputhour_->setMaximumWidth(40);
  form->addWidget(rb_fulldataset_, 2, 0, 1, 3);
  form->addWidget(rb_smalldataset_, 3, 0);
  auto* stunde = new QHBoxLayout;
  stunde->addWidget(e_outputhour_);
  stunde->addWidget(NeuesLabel("l_uhr", "Uhr", e_outputhour_->statusTip()));
  stunde->addStretch(1);
  form->addLayout(stunde, 3, 1, 1, 2);
  mpTextoutput_ = Benannt(new QCheckBox("Hauptdatei im ASCII-Format ausgeben (sonst DBASE)"),
                          "mpTextoutput", "Gesamtergebnis als Textdatei statt als dBASE-Tabelle");
  cb_CreateTagesgang_ =
      Benannt(new QCheckBox("Zusätzliche Tagesgangdateien für die Referenztage"),
              "cb_CreateTagesgang",
              "Für die Tage 14, 74, 166, 225 und 258 zusätzlich den Tagesgang schreiben");
  form->addWidget(mpTextoutput_, 4, 0, 1, 3);
  form->addWidget(cb_CreateTagesgang_, 5, 0, 1, 3);
  connect(rb_smalldataset_, &QRadioButton::toggled, e_outputhour_, &QWidget::setEnabled);
  optionenSpalte->addWidget(ausgabe);

  auto* feuchte = new QGroupBox("Bodenfeuchte");
  feuchte->setObjectName("gb_Feuchte");
  auto* feuchteForm = new QVBoxLayout(feuchte);
  cb_mitFeuchte_ = Benannt(new QCheckBox("Dynamische Feuchtemodellierung verwenden"), "cb_mitFeuchte",
                           "Die Bodenfeuchte während der Rechnung fortschreiben (sonst bleibt sie "
                           "beim Startwert)");
  cb_SoilmodRes_ = Benannt(new QComboBox, "cb_SoilmodRes",
                           "Zeitschritt des Feuchtemodells: je feiner, desto genauer und langsamer");
  cb_SoilmodRes_->addItems({"Grob (1 h)", "Mittel (1800 s)", "Fein (600 s)", "Sehr Fein (60 s)",
                            "Exakt (1 s)"});
  connect(cb_mitFeuchte_, &QCheckBox::toggled, cb_SoilmodRes_, &QWidget::setEnabled);
  connect(cb_SoilmodRes_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0 && i < 5) m_.FeuchteZeitschritt = FeuchteZeitschritte[i];
  });
  feuchteForm->addWidget(cb_mitFeuchte_);
  feuchteForm->addWidget(cb_SoilmodRes_);
  optionenSpalte->addWidget(feuchte);
  mehrjahr_ = new Mehrjahresfeld([this] {
    return KlimajahrVon(m_, QFileInfo(Q(m_.DBKlimaName)).fileName().toStdString());
  });
  optionenSpalte->addWidget(mehrjahr_);

  // Air-side options beyond the described model, for this session only.
  auto* luft = new QGroupBox("Luftseite");
  luft->setObjectName("gb_Luftseite");
  auto* luftForm = new QVBoxLayout(luft);
  cb_KleinerVolumenstrom_ = Benannt(new QCheckBox("Wärmeübergang auch bei kleinem Volumenstrom"),
                                    "cb_KleinerVolumenstrom",
                                    "Unter 100 m3/h je Rohr tauscht die Luft Wärme aus, statt das Segment "
                                    "unverändert zu durchströmen");
  cb_Energieerhaltend_ = Benannt(new QCheckBox("Energieerhaltende Rohrkopplung"), "cb_Energieerhaltend",
                                 "Die Rohrzellen rechnen als Erdreich mit der Luft als Wärmesenke: was die "
                                 "Luft aufnimmt, gibt das Erdreich ab");
  cb_Kondensation_ = Benannt(new QCheckBox("Kondensation berechnen"), "cb_Kondensation",
                             "Luftfeuchte im Kanal, Kondensat und Wasserfilm an der Rohrwand; rechnet mit der "
                             "energieerhaltenden Rohrkopplung");
  luftForm->addWidget(cb_KleinerVolumenstrom_);
  luftForm->addWidget(cb_Energieerhaltend_);
  luftForm->addWidget(cb_Kondensation_);
  optionenSpalte->addWidget(luft);
  spalte->addWidget(optionen_);
  spalte->addStretch(1);

  auto* dock = new QDockWidget("Optionen", this);
  dock->setObjectName("dockOptionen");
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  dock->setWidget(Rollbar(inhalt));
  addDockWidget(Qt::LeftDockWidgetArea, dock);
}

void TMainform::BaueGrafiksteuerung() {
  // "Steuerung Grafik": what the chart shows and where.
  auto* steuerung = new QWidget;
  auto* form = new QGridLayout(steuerung);
  cbDisplaymode_ = Benannt(new QComboBox, "cbDisplaymode",
                           "Jahresverlauf oder Tagesverlauf eines Segments, oder Temperaturverlauf "
                           "entlang des Kanals");
  cbDisplaymode_->addItems({"Jahresverlauf im (aktuellen) Segment",
                            "Tagesverlauf im (aktuellen) Segment", "Temperaturverlauf im Kanal"});
  l_display_ = NeuesLabel("l_display", "Angezeigte Stunde:", "Angezeigte Stunde bzw. angezeigter Tag");
  tb_display_ = Benannt(new QSlider(Qt::Horizontal), "tb_display",
                        "Angezeigte Stunde bzw. angezeigter Tag");
  tb_display_->setTickPosition(QSlider::TicksBelow);
  e_display_ = Benannt(new QLineEdit, "e_display",
                       "Stunde bzw. Tag eingeben und mit Enter das Diagramm neu zeichnen");
  e_display_->setMaximumWidth(60);
  eShowSegnr_ = Benannt(new QSpinBox, "eShowSegnr", "Segment, dessen Verlauf angezeigt wird");
  eShowSegnr_->setRange(0, 1);
  eShowSegnr_->setValue(1);
  form->addWidget(cbDisplaymode_, 0, 0, 1, 3);
  form->addWidget(l_display_, 1, 0);
  form->addWidget(tb_display_, 1, 1);
  form->addWidget(e_display_, 1, 2);
  form->addWidget(NeuesLabel("l_segnr", "Segment:", eShowSegnr_->statusTip()), 2, 0);
  form->addWidget(eShowSegnr_, 2, 1, 1, 1, Qt::AlignLeft);
  form->setColumnStretch(1, 1);

  connect(cbDisplaymode_, &QComboBox::currentIndexChanged, this, &TMainform::cbDisplaymodeChange);
  // Dragging redraws once the slider rests for a moment: a year course of
  // 365 points per curve is too much for every step of the drag.
  zeichenTakt_ = new QTimer(this);
  zeichenTakt_->setSingleShot(true);
  zeichenTakt_->setInterval(150);
  connect(zeichenTakt_, &QTimer::timeout, this, &TMainform::Neuzeichnen);
  connect(tb_display_, &QSlider::valueChanged, this, [this](int v) {
    anzeigePosition_ = v;
    e_display_->setText(QString::number(v));
    zeichenTakt_->start();
  });
  connect(e_display_, &QLineEdit::textChanged, this, &TMainform::AnzeigefeldPruefen);
  connect(e_display_, &QLineEdit::returnPressed, this, &TMainform::AnzeigeEingabe);
  connect(eShowSegnr_, &QSpinBox::valueChanged, this, &TMainform::SegmentWechsel);

  auto* dockSteuerung = new QDockWidget("Steuerung Grafik", this);
  dockSteuerung->setObjectName("dockSteuerungGrafik");
  dockSteuerung->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  dockSteuerung->setWidget(Rollbar(steuerung));
  addDockWidget(Qt::BottomDockWidgetArea, dockSteuerung);

  // "Grafik": which series, redraw, clipboard, printer.
  auto* grafik = new QWidget;
  auto* raster = new QGridLayout(grafik);
  cb_Tin_ = Benannt(new QCheckBox("T Eingang"), "cb_Tin", "Lufttemperatur am Kanaleingang zeigen");
  cb_tout_ = Benannt(new QCheckBox("T Ausgang"), "cb_tout",
                     "Lufttemperatur am Ausgang des Segments zeigen");
  cb_Tdelta_ = Benannt(new QCheckBox("T Differenz"), "cb_Tdelta",
                       "Temperaturänderung der Luft (Ausgang - Eingang) zeigen");
  cbShowEnergie_ = Benannt(new QCheckBox("Energie"), "cbShowEnergie",
                           "Mit der Luft ausgetauschte Leistung in W zeigen (rechte Achse)");
  auto* neu = Benannt(new QPushButton("Diagramm neuzeichnen"), "bt_Redraw",
                      "Das Diagramm mit den aktuellen Einstellungen neu zeichnen");
  auto* kopieren = Benannt(new QPushButton("Diagramm in Zwischenablage kopieren"), "bt_CopyChart",
                           "Das Diagramm als Bild in die Zwischenablage kopieren");
  auto* drucken = Benannt(new QPushButton("Diagramm drucken"), "bt_PrintChart", "Das Diagramm drucken");
  auto* bild = Benannt(new QPushButton("Als Bild speichern…"), "bt_SaveChartImage",
                       "Das Diagramm als PNG- oder SVG-Datei speichern");
  auto* daten = Benannt(new QPushButton("Daten speichern…"), "bt_SaveChartData",
                        "Die gezeigten Kurven als Tabelle (CSV) speichern");
  raster->addWidget(cb_Tin_, 0, 0);
  raster->addWidget(cb_tout_, 0, 1);
  raster->addWidget(cb_Tdelta_, 1, 0);
  raster->addWidget(cbShowEnergie_, 1, 1);
  raster->addWidget(neu, 0, 2);
  raster->addWidget(kopieren, 1, 2);
  raster->addWidget(drucken, 2, 2);
  raster->addWidget(bild, 3, 2);
  raster->addWidget(daten, 4, 2);
  for (QCheckBox* k : {cb_Tin_, cb_tout_, cb_Tdelta_, cbShowEnergie_})
    connect(k, &QCheckBox::clicked, this, &TMainform::Neuzeichnen);
  connect(neu, &QPushButton::clicked, this, &TMainform::Neuzeichnen);
  connect(kopieren, &QPushButton::clicked, this, &TMainform::KopiereDiagramm);
  connect(drucken, &QPushButton::clicked, this, &TMainform::DruckeDiagramm);
  connect(bild, &QPushButton::clicked, this, &TMainform::SpeichereDiagrammBild);
  connect(daten, &QPushButton::clicked, this, &TMainform::SpeichereDiagrammDaten);
  // Window-wide keys; a focused text field keeps Ctrl+C for its own text.
  auto* druckTaste = new QAction(this);
  druckTaste->setShortcut(QKeySequence::Print);
  connect(druckTaste, &QAction::triggered, this, &TMainform::DruckeDiagramm);
  auto* kopierTaste = new QAction(this);
  kopierTaste->setShortcut(QKeySequence::Copy);
  connect(kopierTaste, &QAction::triggered, this, &TMainform::KopiereDiagramm);
  addActions({druckTaste, kopierTaste});

  auto* dockGrafik = new QDockWidget("Grafik", this);
  dockGrafik->setObjectName("dockGrafik");
  dockGrafik->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  dockGrafik->setWidget(Rollbar(grafik));
  addDockWidget(Qt::BottomDockWidgetArea, dockGrafik);
  splitDockWidget(dockSteuerung, dockGrafik, Qt::Horizontal);
}

void TMainform::BaueStatuszeile() {
  l_status_ = new QLabel;
  l_status_->setObjectName("StatusBar1");
  statusBar()->addWidget(l_status_, 1);
  pb_fortschritt_ = new QProgressBar;
  pb_fortschritt_->setObjectName("pb_Fortschritt");
  pb_fortschritt_->setMaximumWidth(220);
  pb_fortschritt_->setTextVisible(false);
  pb_fortschritt_->hide();
  statusBar()->addPermanentWidget(pb_fortschritt_);
  btStopsim_ = Benannt(new QPushButton("Berechnung stoppen"), "btStopsim",
                       "Die Rechnung sofort beenden (Esc); es wird nichts geschrieben");
  btStopsim_->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  btStopsim_->setShortcut(Qt::Key_Escape);  // only while it shows: during a run
  btStopsim_->hide();
  connect(btStopsim_, &QPushButton::clicked, this, &TMainform::btStopsimClick);
  statusBar()->addPermanentWidget(btStopsim_);
}

void TMainform::SetzeBedienbarkeit() {
  // A run reads the model between its segments while the message loop runs:
  // nothing may load, edit or generate under it, nor start a second run.
  // Looking at the climate year stays possible; its delete buttons do not
  // (ShowKlimaGrid).
  const bool frei = !laufAktiv_;
  for (QAction* a : {aStandortprofil_, aKlimaLaden_, aEWTDaten_, aErzeugenTemp_, aErzeugenPerm_, aStart_})
    a->setEnabled(frei);
  aKlimaAnzeigen_->setEnabled(true);
  aFeld_->setEnabled(frei && !letzterLauf_.boden.Leer());
  btStandortprofil_->setEnabled(aStandortprofil_->isEnabled());
  btEditEWTDaten_->setEnabled(aEWTDaten_->isEnabled());
  optionen_->setEnabled(frei);
}

// ---- Start-up --------------------------------------------------------------------

bool TMainform::FormCreate() {
  // 1. Banner; hints appear in the status line by themselves (statusTip).
  Stat("");

  // 2.
  mpTextoutput_->setChecked(false);
  l_display_->setText("Angezeigte Stunde:");
  tb_display_->setRange(0, 23);
  tb_display_->setTickInterval(1);
  SetzeAnzeigeposition(13);

  // 3. The model's start-up state in one place, shared with the batch
  // program: defaults, segment 1, the location's start values, moisture
  // model on, the measured climate elements missing (steps 3, 5, 7, 8, 9).
  SetzeStartzustand(m_);

  // 4. The month series exist detached from the chart until mode 2.
  cb_Tin_->setChecked(true);
  cb_tout_->setChecked(true);
  cb_Tdelta_->setChecked(true);
  cbShowEnergie_->setChecked(false);
  cbDisplaymode_->blockSignals(true);
  cbDisplaymode_->setCurrentIndex(0);
  cbDisplaymode_->blockSignals(false);
  chart_->SetzeModus(0);
  chart_->Tin()->setVisible(true);
  chart_->Taus()->setVisible(true);
  chart_->Tdelta()->setVisible(true);
  chart_->Energie()->setVisible(false);
  chart_->Skalieren();

  // 5.
  ZeigeOrtsname();
  e_output_->setText("Terval");
  l_segmentzahl_->setText("Aktuelle Länge des Kanals: (kein Kanal)");
  E_markseg_->setText("-1");

  // 6.
  rb_fulldataset_->setChecked(true);
  e_outputhour_->setText("12");
  e_outputhour_->setEnabled(false);

  // 8.
  cb_mitFeuchte_->setChecked(m_.MitFeuchte);
  cb_SoilmodRes_->setCurrentIndex(0);
  m_.FeuchteZeitschritt = 3600;
  cb_SoilmodRes_->setEnabled(true);
  cb_mitFeuchte_->setChecked(true);

  // 10.
  m_.Startverzeichnis = QCoreApplication::applicationDirPath().toStdString();
  Updatedisplay();

  // 11. A missing file is the installation's fault: the second line says
  // where the program looked.
  std::string gesucht = "\rGesucht in: ";
  for (const std::string& ordner : Referenzordner()) gesucht += (gesucht.ends_with(": ") ? "" : ", ") + ordner;
  const std::string soils = Referenzdatei("SOILS.DAT");
  if (soils.empty() || !GetSoilData(m_, soils)) {
    UI().Fehler(
        "Die Datenbank SOILS.DAT konnte nicht geöffnet werden !\rStellen Sie sicher, dass die "
        "Datei im aktuellen Verzeichnis steht und starten Sie das Programm neu !" + gesucht);
    return false;
  }
  // The open dialogs start where the samples lie, not in an empty bin/.
  m_.Startverzeichnis = Verzeichnisanteil(soils);

  // 12.
  const std::string rohre = Referenzdatei("Rohre.DBF");
  if (rohre.empty() ||
      !ReadRohrdatenDB(m_, QFileInfo(Q(rohre)).absolutePath().toStdString())) {
    UI().Fehler(
        "Konnte die Datenbank \"Rohre.DBF\" mit verschiedenen Rohrtypen \rnicht finden! " + gesucht);
    return false;
  }
  return true;
}

std::string TMainform::Referenzdatei(const std::string& name) { return FindeReferenzdatei(name); }

// ---- Displayed values ------------------------------------------------------------

void TMainform::Stat(const std::string& text) {
  l_status_->setText(Q(text.empty() ? std::string(Versionsbanner) : text));
  l_status_->repaint();
}

void TMainform::Updatedisplay() {
  l_DBKlimaName_->setText(m_.DBKlimaName.empty() ? QString("<keine>") : Q(m_.DBKlimaName));
  l_DBKlimaName_->setToolTip(Q(m_.DBKlimaName));
  l_tmittelmessort_->setText(
      Q("Mitteltemperatur am Messort: " + FormatReal(m_.T_Jahresmittel, 2, 1)));
  L_tmaxmessort_->setText(
      Q("Mittlere Maximaltemperatur am Messort: " + FormatReal(m_.T_Sommermittel, 2, 1)));
  // The segment chooser follows the channel without redrawing on its own.
  eShowSegnr_->blockSignals(true);
  eShowSegnr_->setMaximum(std::clamp(m_.Anz_Segmente, 0, MaxSegmente));
  eShowSegnr_->blockSignals(false);
}

void TMainform::ZeigeKanallaenge() {
  l_segmentzahl_->setText(Q("Aktuelle Länge des Kanals: " + FormatInt(m_.Anz_Segmente) +
                            " Segmente (=" +
                            FormatReal(m_.Anz_Segmente * m_.Rohrdaten.Seglaenge, 0, 2) + " m)"));
}

void TMainform::ZeigeOrtsname() { gb_locdata_->setTitle(Q("Klimadaten von " + m_.Ortsname)); }

void TMainform::KlimaLabel(Klimaelement element, bool komplett) {
  QLabel* l = klimaLabel_[static_cast<int>(element)];
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, komplett ? FarbeKomplett() : FarbeUnvollstaendig());
  l->setPalette(p);
}

void TMainform::ZeigeFortschritt(int wert, int maximum) {
  if (maximum <= 0) {
    pb_fortschritt_->hide();
    return;
  }
  pb_fortschritt_->setRange(0, maximum);
  pb_fortschritt_->setValue(std::clamp(wert, 0, maximum));
  pb_fortschritt_->show();
}

void TMainform::ZeigeStopknopf(bool sichtbar) {
  btStopsim_->setEnabled(true);
  btStopsim_->setVisible(sichtbar);
}

Laufoptionen TMainform::OptionenAusSteuerung() const {
  Laufoptionen o;
  o.Stammname = e_output_->text().toStdString();
  o.MarkSegmentText = E_markseg_->text().toStdString();
  o.NurEinTermin = rb_smalldataset_->isChecked();
  o.AusgabeStundeText = e_outputhour_->text().toStdString();
  o.TextAusgabe = mpTextoutput_->isChecked();
  o.Tagesgang = cb_CreateTagesgang_->isChecked();
  o.MitFeuchte = cb_mitFeuchte_->isChecked();
  const int i = cb_SoilmodRes_->currentIndex();
  o.FeuchteZeitschritt = FeuchteZeitschritte[i >= 0 && i < 5 ? i : 0];
  mehrjahr_->Optionen(o);
  o.Luftseite.KleinerVolumenstrom = cb_KleinerVolumenstrom_->isChecked();
  o.Luftseite.Energieerhaltend = cb_Energieerhaltend_->isChecked();
  o.Luftseite.Kondensation = cb_Kondensation_->isChecked();
  return o;
}

// ---- Commands ----------------------------------------------------------------------

QString TMainform::KlimaDateiWaehlen() {
  QFileDialog dialog(this, "Datenbank Klimadaten öffnen", Q(m_.Startverzeichnis),
                     "DBase (*.DBF *.dbf);;Paradox (*.DB *.db);;Text (*.txt);;"
                     "EnergyPlus (*.epw);;Testreferenzjahr (*.dat)");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix("DBF");
  if (!m_.DBKlimaName.empty()) dialog.selectFile(Q(m_.DBKlimaName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

void TMainform::Bt_DBKlimaSelectClick() {
  if (laufAktiv_) return;
  const QString name = KlimaDateiWaehlen();
  if (name.isEmpty()) return;
  // A refused table leaves the one loaded before in place, with its name:
  // the reader keeps the year in memory and only takes the verdict back.
  const std::string vorherName = m_.DBKlimaName;
  const bool vorherGueltig = m_.KlimaGueltig;
  m_.DBKlimaName = name.toStdString();
  m_.Startverzeichnis = Verzeichnisanteil(m_.DBKlimaName);  // the next dialog starts here
  UI().Sanduhr(true);
  ReadKlimaDB(m_, UI());
  UI().Sanduhr(false);
  if (m_.KlimaGueltig) {
    CalcMitteltemperaturen(m_);
    m_.ErgebnisseVorhanden = false;
    jahresblick_->Aktualisieren();
    DrawSegment(1);
    Updatedisplay();
  } else {
    UI().Fehler("Klimadatenbank konnte nicht gelesen werden !");
    m_.DBKlimaName = vorherName;
    m_.KlimaGueltig = vorherGueltig;
    Updatedisplay();
  }
}

void TMainform::VariantenstudieOeffnen() {
  const QString pfad = DateiWaehlen({"Variantenstudie öffnen", "Variantenstudie (*Studie.csv);;CSV-Dateien (*.csv)",
                                     Q(m_.Startverzeichnis), "", false});
  if (pfad.isEmpty()) return;
  Studientabelle t;
  std::string fehler;
  if (!LiesStudientabelle(pfad.toStdString(), t, fehler)) {
    UI().Fehler(fehler);
    return;
  }
  m_.Startverzeichnis = Verzeichnisanteil(pfad.toStdString());  // the next dialog starts here
  auto* fenster = new Variantenstudie(std::move(t), pfad, UI(), *export_, this);
  fenster->setAttribute(Qt::WA_DeleteOnClose);
  fenster->show();
}

void TMainform::CreateDataTempClick() { ErzeugeFehlendeDaten(false); }
void TMainform::CreateDataPermClick() { ErzeugeFehlendeDaten(true); }

void TMainform::ErzeugeFehlendeDaten(bool zurueckschreiben) {
  if (laufAktiv_) return;
  FehlendeKlimadatenErzeugen(m_, UI(), zurueckschreiben);
  Updatedisplay();
}

void TMainform::EKModellFDVerfahren1Click() {
  if (laufAktiv_) return;
  laufAktiv_ = true;
  SetzeBedienbarkeit();
  try {
    letzterLauf_ =
        EKModellFDVerfahren(m_, UI(), OptionenAusSteuerung(), QDir::currentPath().toStdString());
  } catch (const std::exception& e) {
    letzterLauf_ = Laufbericht{};
    UI().Fehler(std::string("Die Simulation wurde wegen eines internen Fehlers beendet:\r") +
                e.what());
  }
  jahresblick_->Aktualisieren();
  // An open field window follows the new run; without fields it closes.
  if (feld_->isVisible()) letzterLauf_.boden.Leer() ? feld_->hide() : Zeige2DFeld();
  if (letzterLauf_.ergebnis == Laufergebnis::Fertig) {
    mehrjahr_->ZeigeJahre(letzterLauf_.jahre);
    // The fan's figures of a finished run stay in the status bar until the next one.
    auto* l = statusBar()->findChild<QLabel*>("l_Ventilator");
    if (l == nullptr) {
      l = new QLabel;
      l->setObjectName("l_Ventilator");
      l->setStatusTip("Druckverlust des Kanals und Strom des Ventilators im letzten Lauf");
      statusBar()->insertPermanentWidget(0, l);
    }
    const auto zeilen = Ventilatorzeilen(letzterLauf_.ventilator);
    l->setText(QString::fromStdString(zeilen[0] + "   " + zeilen[1] + "   " + zeilen[2]));
  }
  laufAktiv_ = false;
  // The run's last status text names the segment it was at.
  if (letzterLauf_.ergebnis == Laufergebnis::Abgebrochen) UI().Stat(Gestoppt);
  // Whatever way the run ended, the window is idle again.
  ZeigeFortschritt(0, 0);
  ZeigeStopknopf(false);
  gitter_->hide();
  while (ui_->SanduhrTiefe() > 0) UI().Sanduhr(false);
  SetzeBedienbarkeit();
  if (schliessenNachLauf_) QTimer::singleShot(0, this, &QWidget::close);
}

void TMainform::btStopsimClick() {
  m_.StopRequested = true;
  // The run ends within the day it is computing; the greyed button says the
  // request has been taken.
  btStopsim_->setEnabled(false);
}

void TMainform::ShowKlimaGrid() {
  if (!m_.KlimaGueltig) {
    UI().Fehler("Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !");
    return;
  }
  // A run reads the year between its segments: nothing may be cleared under it.
  dbShowKlima_->LoeschenErlauben(!laufAktiv_);
  dbShowKlima_->ShowKlimaGrid();
}

void TMainform::ShowStandortprofil() {
  if (laufAktiv_) return;
  dlgStandortprofil_->ShowStandortprofil();
  // A location file opened in the dialog is in the model without
  // "Übernehmen": the caption shows the site the model now holds.
  ZeigeOrtsname();
}

void TMainform::btEditEWTDatenClick() {
  if (laufAktiv_) return;
  frmKanaldaten_->zeigen();
  ZeigeKanallaenge();
  Updatedisplay();
}

void TMainform::closeEvent(QCloseEvent* ereignis) {
  // Closing during a run would pull the window from under the run: stop it
  // (within the day being computed) and close then, if the user agrees.
  if (laufAktiv_) {
    ereignis->ignore();
    if (schliessenNachLauf_ || !UI().Frage(SchliessenFrage)) return;
    m_.StopRequested = true;
    schliessenNachLauf_ = true;
    btStopsim_->setEnabled(false);
    return;
  }
  QMainWindow::closeEvent(ereignis);
}

// ---- Chart -------------------------------------------------------------------------

void TMainform::SetzeAnzeigeposition(int wert) {
  anzeigePosition_ = wert;
  tb_display_->blockSignals(true);
  tb_display_->setValue(wert);
  tb_display_->blockSignals(false);
  e_display_->setText(QString::number(wert));
}

void TMainform::AnzeigeEingabe() {
  if (const auto v = ParseGanzzahl(e_display_->text().toStdString())) {
    anzeigePosition_ = static_cast<int>(std::clamp<long long>(
        *v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    // The track bar shows the nearest position it has; DrawSegment corrects
    // an hour outside the day.
    tb_display_->blockSignals(true);
    tb_display_->setValue(anzeigePosition_);
    tb_display_->blockSignals(false);
  }
  Neuzeichnen();
}

void TMainform::SegmentWechsel(int s) { DrawSegment(s); }

void TMainform::AnzeigefeldPruefen() {
  // A day beyond the year shows the last day; an hour outside the day is
  // no hour (the chart shows 12 Uhr then).
  const auto v = ParseGanzzahl(e_display_->text().toStdString());
  const bool tag = cbDisplaymode_->currentIndex() == 1;
  FeldMarkieren(e_display_, v && (tag || (*v >= 0 && *v <= 23)),
                tag ? "Keine gültige Tagesnummer (1 bis 365)" : "Keine gültige Stunde (0 bis 23)");
}

void TMainform::Neuzeichnen() { DrawSegment(eShowSegnr_->value()); }

void TMainform::cbDisplaymodeChange(int modus) {
  chart_->SetzeModus(modus);
  if (modus == 1) {
    l_display_->setText("Angezeigter Tag:");
    tb_display_->setRange(1, 365);
    tb_display_->setTickInterval(10);
    SetzeAnzeigeposition(166);
  } else {
    l_display_->setText("Angezeigte Stunde:");
    tb_display_->setRange(0, 23);
    tb_display_->setTickInterval(1);
    SetzeAnzeigeposition(13);
  }
  DrawSegment(eShowSegnr_->value());
  eShowSegnr_->setEnabled(modus != 2);
}

void TMainform::DrawSegment(int s) {
  if (s > m_.Anz_Segmente || s < 0) return;
  chart_->Tin()->setVisible(cb_Tin_->isChecked());
  chart_->Taus()->setVisible(cb_tout_->isChecked());
  chart_->Tdelta()->setVisible(cb_Tdelta_->isChecked());
  chart_->Energie()->setVisible(cbShowEnergie_->isChecked());
  if (s == 0 && m_.ErgebnisseVorhanden) return;

  UI().Sanduhr(true);
  const int modus = cbDisplaymode_->currentIndex();
  int stunde = anzeigePosition_;
  if ((modus == 0 || modus == 2) && (stunde < 0 || stunde > 23)) {
    stunde = 12;
    SetzeAnzeigeposition(12);
  }
  if (modus == 0 || modus == 1) {
    const Segmentkurven k = modus == 0
                                ? Jahresverlauf(m_, s, stunde)
                                : Tagesverlauf(m_, s, std::clamp(anzeigePosition_, 1, 365));
    chart_->Tin()->replace(k.tin);
    chart_->Taus()->replace(k.taus);
    chart_->Tdelta()->replace(k.tdelta);
    chart_->Energie()->replace(k.energie);
    if (s > 0) {
      eShowSegnr_->blockSignals(true);
      eShowSegnr_->setMaximum(std::max(eShowSegnr_->maximum(), s));
      eShowSegnr_->setValue(s);
      eShowSegnr_->blockSignals(false);
    }
  } else if (modus == 2) {
    chart_->Energie()->setVisible(false);
    const auto kurven = Kanalverlauf(m_, stunde);
    for (int monat = 1; monat <= 12; ++monat) chart_->Monat(monat)->replace(kurven[monat - 1]);
  }
  const QString was = modus == 0   ? QString("Segment %1, Jahresverlauf um %2 Uhr").arg(s).arg(stunde)
                      : modus == 1 ? QString("Segment %1, Tagesverlauf am Tag %2").arg(s).arg(std::clamp(anzeigePosition_, 1, 365))
                                   : QString("Temperaturverlauf im Kanal um %1 Uhr, Monatsmitte").arg(stunde);
  chart_->chart()->setTitle("EWT-Betrieb: " + was);
  AnzeigefeldPruefen();
  chart_->Skalieren();
  chart_->repaint();
  UI().Sanduhr(false);
}

void TMainform::KopiereDiagramm() {
  QGuiApplication::clipboard()->setImage(chart_->BildAufWeiss());
  UI().Information("Das Diagramm wurde erfolgreich in die Zwischanablage kopiert !");
}

bool TMainform::DruckerWaehlen(QPrinter& drucker) {
  QPrintDialog dialog(&drucker, this);
  dialog.setWindowTitle("Diagramm drucken");
  return dialog.exec() == QDialog::Accepted;
}

void TMainform::DruckeDiagramm() {
  QPrinter drucker(QPrinter::HighResolution);
  drucker.setPageOrientation(QPageLayout::Landscape);
  if (!DruckerWaehlen(drucker)) return;
  QPainter maler;
  if (!maler.begin(&drucker)) {
    UI().Fehler("Der Drucker konnte nicht angesprochen werden !");
    return;
  }
  // The painter's origin is the corner of the printable area.
  const QRect seite = drucker.pageLayout().paintRectPixels(drucker.resolution());
  chart_->Zeichnen(maler, QRectF(0, 0, seite.width(), seite.height()));
  maler.end();
}

QString TMainform::DateiWaehlen(const Dateiwahl& wahl) { return ZeigeDateidialog(this, wahl); }

void TMainform::SpeichereDiagrammBild() {
  export_->Bild("Diagramm als Bild speichern", [this](Bildformat format) {
    if (format == Bildformat::Svg) return chart_->Svg();
    QByteArray png;
    QBuffer puffer(&png);
    chart_->BildAufWeiss().save(&puffer, "PNG");
    return png;
  });
}

void TMainform::SpeichereDiagrammDaten() { export_->Daten("Diagrammdaten speichern", chart_->Tabelle()); }

void TMainform::Zeige2DFeld() {
  if (letzterLauf_.boden.Leer()) return;
  feld_->Zeige(letzterLauf_.boden);
  feld_->show();
  feld_->raise();
}

}  // namespace terval
