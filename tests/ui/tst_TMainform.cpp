// The main window: start-up state, the run start with its refusals, a
// complete and a stopped run, loading a climate table, generating data, and
// the windows its commands open.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <functional>

#include "Fensterhilfen.h"
#include "ui/Diagramm.h"
#include "ui/ModellGrid.h"
#include "ui/QtOberflaeche.h"
#include "ui/TDBShowKlima.h"
#include "ui/TdlgStandortprofil.h"
#include "ui/TfrmKanaldaten.h"
#include "channel/UshowKanaldaten.h"
#include "location/klimaprofil.h"

using namespace terval;
using namespace terval::test;

namespace {

const char* const KlimaUnvollstaendig =
    "Der aktuelle Klimadatensatz enthält noch fehlende Daten !\r"
    "Vervollständigen Sie ihn oder verwenden Sie die Option \"Fehlende Klimadaten ergänzen\" um "
    "die Datenbank synthetisch zu vervollständigen!\r"
    "Klimaelemente mit fehlenden Daten sind in der Gültigkeitsprüfung ROT gekennzeichnet !";

QStringList Menuetexte(QMenu* menue) {
  QStringList r;
  for (QAction* a : menue->actions())
    if (!a->isSeparator()) r << a->text();
  return r;
}

QMenu* Menue(QMainWindow& f, const QString& titel) {
  for (QAction* a : f.menuBar()->actions())
    if (a->text() == titel) return a->menu();
  return nullptr;
}

QColor Textfarbe(QLabel* l) { return l->palette().color(QPalette::WindowText); }

// The names of the files in a directory, sorted.
QStringList Dateien(const QString& verzeichnis) {
  return QDir(verzeichnis).entryList(QDir::Files, QDir::Name);
}

// Runs "Simulation starten..." with the working directory `dir`.
void Starte(Aufbau& a, const QString& dir) {
  const QString vorher = QDir::currentPath();
  QDir::setCurrent(dir);
  a.f->findChild<QAction*>("EKModellFDVerfahren1")->trigger();
  QDir::setCurrent(vorher);
}

// What a modal window showed while it was open.
struct Modalfenster {
  QString name;   // objectName, empty when no modal window came up
  QString titel;
};

// Runs `ausloesen`, which may open a modal window; `imFenster` acts inside
// that window and then the window is closed. Returns what was open.
Modalfenster WennModal(const std::function<void()>& ausloesen,
                       const std::function<void(QWidget*)>& imFenster = {}) {
  Modalfenster gesehen;
  QObject kontext;  // takes the timer along when nothing came up
  QTimer::singleShot(0, &kontext, [&] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    gesehen = {w->objectName(), w->windowTitle()};
    if (imFenster) imFenster(w);
    if (w->isVisible()) w->close();
  });
  ausloesen();
  // A command that opened nothing leaves the timer pending: let it run.
  QCoreApplication::processEvents();
  return gesehen;
}

}  // namespace

class tst_TMainform : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void startzustand();
  void jedesSteuerelementHatEinenHinweis();
  void fehlendeReferenzdateiBeendetDasProgramm_data();
  void fehlendeReferenzdateiBeendetDasProgramm();
  void optionenSteuern();
  void laufWirdAbgelehnt_data();
  void laufWirdAbgelehnt();
  void stundeNurBeiEinemTerminGeprueft();
  void vollstaendigerLauf();
  void nichtGeschriebeneDateienWerdenGenannt();
  void anhaltenNachDemErstenSegment();
  void schliessenWaehrendDesLaufs();
  void klimaLadenScheitert();
  void klimaLadenAbgebrochen();
  void klimaLadenBeispieljahr();
  void laufMitBeispieldaten();
  void erzeugenBeiVollstaendigemJahr();
  void zurueckschreibenNurNachJa();
  void klimaAnzeigenOhneDatenbank();
  void kanallaenge();
  void befehleOeffnenIhreFenster_data();
  void befehleOeffnenIhreFenster();
  void ortsnameFolgtUebernehmen();
  void segmentzahlFolgtKanaleditor();
  void waehrendDesLaufsNurAnsehen();
};

void tst_TMainform::startzustand() {
  Aufbau a;
  QVERIFY2(a.gestartet, "SOILS.DAT und Rohre.DBF müssen im Datenverzeichnis des Builds liegen");
  QVERIFY(a.startnachrichten.empty());
  Prueffenster& f = *a.f;

  QCOMPARE(Menuetexte(Menue(f, "Basisdaten")),
           QStringList({"Standortprofil bearbeiten...", "Klima-Datenbank laden...",
                        "Klima-Datenbank anzeigen...", "EWT-Daten bearbeiten..."}));
  QMenu* berechnen = Menue(f, "Berechnen");
  QVERIFY(berechnen);
  QCOMPARE(Menuetexte(berechnen),
           QStringList({"Fehlende Klimadaten erzeugen", "Simulation starten..."}));
  QCOMPARE(Menuetexte(berechnen->actions().first()->menu()),
           QStringList({"Temporär im Speicher", "In Datenbank zurückschreiben"}));

  QCOMPARE(Kind<QLabel>(f, "StatusBar1")->text(), QString("Terval 1.00 h  v. 10.08.04"));
  QVERIFY(!Kind<QCheckBox>(f, "mpTextoutput")->isChecked());
  QCOMPARE(Kind<QLabel>(f, "l_display")->text(), QString("Angezeigte Stunde:"));
  auto* tb = Kind<QSlider>(f, "tb_display");
  QCOMPARE(tb->minimum(), 0);
  QCOMPARE(tb->maximum(), 23);
  QCOMPARE(tb->value(), 13);
  QCOMPARE(Kind<QLineEdit>(f, "e_display")->text(), QString("13"));
  QVERIFY(Kind<QCheckBox>(f, "cb_Tin")->isChecked());
  QVERIFY(Kind<QCheckBox>(f, "cb_tout")->isChecked());
  QVERIFY(Kind<QCheckBox>(f, "cb_Tdelta")->isChecked());
  QVERIFY(!Kind<QCheckBox>(f, "cbShowEnergie")->isChecked());
  QCOMPARE(Kind<QComboBox>(f, "cbDisplaymode")->currentIndex(), 0);
  for (int monat = 1; monat <= 12; ++monat) QVERIFY(!f.Chart()->Monat(monat)->chart());

  QCOMPARE(Kind<QGroupBox>(f, "gb_locdata")->title(), QString("Klimadaten von Testort (Bochum,D)"));
  QCOMPARE(Kind<QLineEdit>(f, "e_output")->text(), QString("Terval"));
  QCOMPARE(Kind<QLabel>(f, "l_segmentzahl")->text(),
           QString("Aktuelle Länge des Kanals: (kein Kanal)"));
  QCOMPARE(Kind<QLineEdit>(f, "E_markseg")->text(), QString("-1"));
  QVERIFY(Kind<QRadioButton>(f, "rb_fulldataset")->isChecked());
  QVERIFY(!Kind<QRadioButton>(f, "rb_smalldataset")->isChecked());
  auto* stunde = Kind<QLineEdit>(f, "e_outputhour");
  QCOMPARE(stunde->text(), QString("12"));
  QVERIFY(!stunde->isEnabled());

  auto* feuchte = Kind<QCheckBox>(f, "cb_mitFeuchte");
  auto* schritt = Kind<QComboBox>(f, "cb_SoilmodRes");
  QVERIFY(feuchte->isChecked());
  QVERIFY(schritt->isEnabled());
  QCOMPARE(schritt->currentText(), QString("Grob (1 h)"));
  QCOMPARE(a.m->FeuchteZeitschritt, 3600);
  QVERIFY(a.m->MitFeuchte);

  QCOMPARE(Kind<QLabel>(f, "l_DBKlimaName")->text(), QString("<keine>"));
  QCOMPARE(Kind<QLabel>(f, "l_tmittelmessort")->text(), QString("Mitteltemperatur am Messort: 7.0"));
  QCOMPARE(Kind<QLabel>(f, "L_tmaxmessort")->text(),
           QString("Mittlere Maximaltemperatur am Messort: 18.0"));
  for (const char* name : {"l_Tluft", "L_rfeuchte", "L_wind", "l_strahlung", "l_ns"})
    QCOMPARE(Textfarbe(Kind<QLabel>(f, name)), QColor(128, 0, 0));
  QCOMPARE(Kind<QLabel>(f, "l_Tluft")->text(), QString("Lufttemperatur"));
  QCOMPARE(Kind<QLabel>(f, "L_rfeuchte")->text(), QString("relative Feuchte"));
  QCOMPARE(Kind<QLabel>(f, "l_ns")->text(), QString("Niederschlag"));
  QVERIFY(Kind<QPushButton>(f, "btStopsim")->isHidden());

  // The model part of the start-up.
  QCOMPARE(a.m->Segmente[1].Tiefe, 6.0f);
  QCOMPARE(a.m->Breitengrad, 51.26f);
  QCOMPARE(a.m->Klima[1].T_Luft, Fehlwert);
  QCOMPARE(a.m->Klima[Stunden].Nieders, Fehlwert);
  QCOMPARE(QString::fromStdString(a.m->Startverzeichnis), QCoreApplication::applicationDirPath());
  QVERIFY(a.m->AnzBoeden > 0);
  QVERIFY(a.m->Anz_Rohrtypen > 0);
}

void tst_TMainform::jedesSteuerelementHatEinenHinweis() {
  Aufbau a;
  for (const char* name :
       {"e_output", "E_markseg", "rb_fulldataset", "rb_smalldataset", "e_outputhour",
        "mpTextoutput", "cb_CreateTagesgang", "cb_mitFeuchte", "cb_SoilmodRes", "l_DBKlimaName",
        "l_tmittelmessort", "L_tmaxmessort", "l_Tluft", "L_rfeuchte", "L_wind", "l_strahlung",
        "l_ns", "l_segmentzahl", "bt_Standortprofil", "btEditEWTDaten", "btStopsim", "cbDisplaymode", "tb_display", "e_display",
        "eShowSegnr", "cb_Tin", "cb_tout", "cb_Tdelta", "cbShowEnergie"}) {
    auto* w = Kind<QWidget>(*a.f, name);
    QVERIFY2(w, name);
    QVERIFY2(!w->statusTip().isEmpty(), name);
  }
  for (QAction* aktion : a.f->findChildren<QAction*>())
    if (!aktion->text().isEmpty() && !aktion->menu() && !aktion->isSeparator() &&
        !aktion->objectName().isEmpty())
      QVERIFY2(!aktion->statusTip().isEmpty(), qPrintable(aktion->text()));

  // A hint reaches the status line, and the banner comes back after it.
  QStatusTipEvent hinweis("Hinweistext");
  QApplication::sendEvent(Kind<QWidget>(*a.f, "e_output"), &hinweis);
  QCOMPARE(a.f->statusBar()->currentMessage(), QString("Hinweistext"));
  QStatusTipEvent leer("");
  QApplication::sendEvent(Kind<QWidget>(*a.f, "e_output"), &leer);
  QCOMPARE(a.f->statusBar()->currentMessage(), QString());
  QCOMPARE(Kind<QLabel>(*a.f, "StatusBar1")->text(), QString("Terval 1.00 h  v. 10.08.04"));
}

void tst_TMainform::fehlendeReferenzdateiBeendetDasProgramm_data() {
  QTest::addColumn<QString>("datei");
  QTest::addColumn<QString>("text");
  QTest::newRow("SOILS.DAT")
      << "SOILS.DAT"
      << "Die Datenbank SOILS.DAT konnte nicht geöffnet werden !\rStellen Sie sicher, dass die "
         "Datei im aktuellen Verzeichnis steht und starten Sie das Programm neu !";
  QTest::newRow("Rohre.DBF")
      << "Rohre.DBF"
      << "Fehler: Konnte die Datenbank \"Rohre.DBF\" mit verschiedenen Rohrtypen \rnicht finden! ";
}

void tst_TMainform::fehlendeReferenzdateiBeendetDasProgramm() {
  QFETCH(QString, datei);
  QFETCH(QString, text);
  auto m = NeuesModell();
  Aufzeichner ui;
  Prueffenster f(*m, &ui);
  f.fehlend.insert(datei.toStdString());
  QVERIFY(!f.FormCreate());
  QCOMPARE(ui.nachrichten, (std::vector<Nachricht>{{"Fehler", text.toStdString()}}));
}

void tst_TMainform::optionenSteuern() {
  Aufbau a;
  Prueffenster& f = *a.f;
  auto* feuchte = Kind<QCheckBox>(f, "cb_mitFeuchte");
  auto* schritt = Kind<QComboBox>(f, "cb_SoilmodRes");
  feuchte->click();
  QVERIFY(!schritt->isEnabled());
  feuchte->click();
  QVERIFY(schritt->isEnabled());

  QCOMPARE(schritt->count(), 5);
  const int sekunden[5] = {3600, 1800, 600, 60, 1};
  for (int i = 4; i >= 0; --i) {
    schritt->setCurrentIndex(i);
    QCOMPARE(a.m->FeuchteZeitschritt, sekunden[i]);
  }
  QCOMPARE(schritt->itemText(3), QString("Sehr Fein (60 s)"));

  auto* klein = Kind<QRadioButton>(f, "rb_smalldataset");
  auto* voll = Kind<QRadioButton>(f, "rb_fulldataset");
  auto* stunde = Kind<QLineEdit>(f, "e_outputhour");
  klein->click();
  QVERIFY(klein->isChecked());
  QVERIFY(!voll->isChecked());
  QVERIFY(stunde->isEnabled());
  voll->click();
  QVERIFY(!klein->isChecked());
  QVERIFY(!stunde->isEnabled());

  // What the run start receives.
  klein->click();
  stunde->setText("7");
  Kind<QLineEdit>(f, "e_output")->setText("Studie A");
  Kind<QLineEdit>(f, "E_markseg")->setText("3");
  Kind<QCheckBox>(f, "mpTextoutput")->setChecked(true);
  Kind<QCheckBox>(f, "cb_CreateTagesgang")->setChecked(true);
  schritt->setCurrentIndex(2);
  feuchte->click();
  const Laufoptionen o = f.OptionenAusSteuerung();
  QCOMPARE(o.Stammname, std::string("Studie A"));
  QCOMPARE(o.MarkSegmentText, std::string("3"));
  QVERIFY(o.NurEinTermin);
  QCOMPARE(o.AusgabeStundeText, std::string("7"));
  QVERIFY(o.TextAusgabe);
  QVERIFY(o.Tagesgang);
  QVERIFY(!o.MitFeuchte);
  QCOMPARE(o.FeuchteZeitschritt, 600);
}

void tst_TMainform::laufWirdAbgelehnt_data() {
  QTest::addColumn<QString>("fall");
  QTest::addColumn<QString>("text");
  QTest::newRow("Klima unvollständig") << "klima" << KlimaUnvollstaendig;
  QTest::newRow("ein Segment") << "einSegment" << "Sie haben noch keinen Erdkanal definiert !";
  QTest::newRow("Stunde 24") << "24"
                             << "24 ist keine gültige Uhrzeit !\rBitte prüfen Sie ihre Angaben im "
                                "Feld \"Ausgabeoptionen\"";
  QTest::newRow("Stunde abc") << "abc"
                              << "abc ist keine gültige Uhrzeit !\rBitte prüfen Sie ihre Angaben "
                                 "im Feld \"Ausgabeoptionen\"";
  QTest::newRow("markiertes Segment") << "mark"
                                      << "Das markierte Segment liegt nicht innerhalb des Kanals";
  QTest::newRow("Hauptstrang")
      << "ra1" << "Die Angaben für das Rohmaterial \"Hauptstrang\" sind unvollständig oder ungültig !";
  QTest::newRow("Register")
      << "ra2" << "Die Angaben für das Rohmaterial \"Register\" sind unvollständig oder ungültig !";
}

void tst_TMainform::laufWirdAbgelehnt() {
  QFETCH(QString, fall);
  QFETCH(QString, text);
  Aufbau a;
  Modell& m = *a.m;
  FuelleKlima(m);
  BaueKanal(m, 4);
  Prueffenster& f = *a.f;
  // Each case breaks one thing; the checks before it pass.
  if (fall == "klima") m.KlimaKomplett = false;
  if (fall == "einSegment") m.Anz_Segmente = 1;
  if (fall == "24" || fall == "abc") {
    Kind<QRadioButton>(f, "rb_smalldataset")->click();
    Kind<QLineEdit>(f, "e_outputhour")->setText(fall);
  }
  if (fall == "mark") Kind<QLineEdit>(f, "E_markseg")->setText("5");
  if (fall == "ra1") m.Rohrdaten.Rohr_Ra[1] = 0;
  if (fall == "ra2") m.Rohrdaten.Rohr_Ra[2] = 0;
  Kind<QLineEdit>(f, "e_output")->setText("Abgelehnt");

  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Fehler", text.toStdString()}}));
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Abgelehnt);
  QVERIFY(Dateien(dir.path()).isEmpty());
  // A refused run leaves the model's options as they were.
  QCOMPARE(m.AusgabeStamm, std::string("Terval"));
  QVERIFY(!f.LaufAktiv());
  QVERIFY(f.findChild<QAction*>("EKModellFDVerfahren1")->isEnabled());
  QVERIFY(a.ui.gezeichneteSegmente.empty());
}

void tst_TMainform::stundeNurBeiEinemTerminGeprueft() {
  // With the full day course the hour's text is not looked at: the next
  // check (marked segment) is the one that refuses.
  Aufbau a;
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 3);
  Kind<QLineEdit>(*a.f, "e_outputhour")->setText("24");
  Kind<QLineEdit>(*a.f, "E_markseg")->setText("4");
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(a.ui.Texte("Fehler"),
           std::vector<std::string>{"Das markierte Segment liegt nicht innerhalb des Kanals"});
}

void tst_TMainform::vollstaendigerLauf() {
  Aufbau a;
  QVERIFY(a.gestartet);
  Modell& m = *a.m;
  FuelleKlima(m);
  BaueKanal(m, 3);
  Prueffenster& f = *a.f;
  f.Updatedisplay();
  Kind<QCheckBox>(f, "mpTextoutput")->setChecked(true);
  Kind<QCheckBox>(f, "cb_CreateTagesgang")->setChecked(true);
  Kind<QLineEdit>(f, "E_markseg")->setText("3");

  // What the window looks like between two segments.
  struct Zwischenstand {
    bool startFrei = true, ladenFrei = true, optionenFrei = true;
    bool stopSichtbar = false, gitterSichtbar = false, anzeigeFrei = false;
  };
  std::vector<Zwischenstand> zwischen;
  a.ui.beiProcMsg = [&](int) {
    Zwischenstand z;
    z.startFrei = f.findChild<QAction*>("EKModellFDVerfahren1")->isEnabled();
    z.ladenFrei = f.findChild<QAction*>("KlimaDatenbankladen1")->isEnabled();
    z.optionenFrei = Kind<QLineEdit>(f, "e_output")->isEnabled() &&
                     Kind<QComboBox>(f, "cb_SoilmodRes")->isEnabled();
    z.stopSichtbar = Kind<QPushButton>(f, "btStopsim")->isVisible();
    z.gitterSichtbar = f.Gitterfenster()->isVisible();
    z.anzeigeFrei = Kind<QComboBox>(f, "cbDisplaymode")->isEnabled() &&
                    Kind<QSpinBox>(f, "eShowSegnr")->isEnabled();
    zwischen.push_back(z);
  };
  f.show();

  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Fertig);
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{});
  QCOMPARE(a.ui.Texte("Warnung"), std::vector<std::string>{});

  const QStringList erwartet = {
      "Terval Gesamtergebnis.TXT", "Terval Kanal Tag 14.TXT",   "Terval Kanal Tag 166.TXT",
      "Terval Kanal Tag 225.TXT",  "Terval Kanal Tag 258.TXT",  "Terval Kanal Tag 74.TXT",
      "Terval Verlauf Tag 14.TXT", "Terval Verlauf Tag 166.TXT", "Terval Verlauf Tag 225.TXT",
      "Terval Verlauf Tag 258.TXT", "Terval Verlauf Tag 74.TXT",
      "Terval2D Feld Seg   3 Tag  14.DAT", "Terval2D Feld Seg   3 Tag  74.DAT",
      "Terval2D Feld Seg   3 Tag 166.DAT", "Terval2D Feld Seg   3 Tag 225.DAT",
      "Terval2D Feld Seg   3 Tag 258.DAT"};
  QStringList sortiert = erwartet;
  sortiert.sort();
  QCOMPARE(Dateien(dir.path()), sortiert);
  QFile gesamt(dir.filePath("Terval Gesamtergebnis.TXT"));
  QVERIFY(gesamt.open(QIODevice::ReadOnly));
  QCOMPARE(gesamt.readAll().count("\r\n"), 2 + Stunden);

  // Segments drawn one after another, then the last one again at the end.
  QCOMPARE(a.ui.gezeichneteSegmente, (std::vector<int>{1, 2, 3, 3}));
  QCOMPARE(a.ui.gridBilder, 3);
  QCOMPARE(a.ui.status.front(), std::string("Initialisierung..."));
  QCOMPARE(a.ui.status.back(), std::string(""));
  QCOMPARE(Kind<QLabel>(f, "StatusBar1")->text(), QString("Terval 1.00 h  v. 10.08.04"));

  QCOMPARE(int(zwischen.size()), 3);
  for (const Zwischenstand& z : zwischen) {
    QVERIFY(!z.startFrei);
    QVERIFY(!z.ladenFrei);
    QVERIFY(!z.optionenFrei);
    QVERIFY(z.stopSichtbar);
    QVERIFY(z.gitterSichtbar);
    QVERIFY(z.anzeigeFrei);
  }
  // Idle again.
  QVERIFY(f.findChild<QAction*>("EKModellFDVerfahren1")->isEnabled());
  QVERIFY(Kind<QLineEdit>(f, "e_output")->isEnabled());
  QVERIFY(Kind<QPushButton>(f, "btStopsim")->isHidden());
  QVERIFY(!f.Gitterfenster()->isVisible());
  QVERIFY(!QApplication::overrideCursor());
  // The chart shows the channel outlet over the year.
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->value(), 3);
  QCOMPARE(f.Chart()->Taus()->count(), 365);
  QCOMPARE(f.Chart()->Taus()->at(0).y(), double(m.Segmente[3].T_aus[StundenIndex(1, 13)]));
  QVERIFY(f.Gitterfenster()->LetzteSpalte() > 0);
}

void tst_TMainform::nichtGeschriebeneDateienWerdenGenannt() {
  // The stem names a folder that does not exist: no text file can be made.
  Aufbau a;
  QVERIFY(a.gestartet);
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 2);
  Kind<QCheckBox>(*a.f, "mpTextoutput")->setChecked(true);
  Kind<QLineEdit>(*a.f, "e_output")->setText("fehlt/Terval");
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(a.f->LetzterLauf().ergebnis, Laufergebnis::Fertig);
  const std::string d = QDir(dir.path()).absolutePath().toStdString();
  QCOMPARE(a.ui.Texte("Warnung"),
           std::vector<std::string>{
               "Folgende Ergebnisdateien konnten nicht in \"" + d + "\" geschrieben werden:"
               "\rfehlt/Terval Gesamtergebnis.TXT\rfehlt/Terval Kanal Tag 14.TXT"
               "\rfehlt/Terval Kanal Tag 74.TXT\rfehlt/Terval Kanal Tag 166.TXT"
               "\rfehlt/Terval Kanal Tag 225.TXT\rfehlt/Terval Kanal Tag 258.TXT"});
  QVERIFY(Dateien(dir.path()).isEmpty());
}

void tst_TMainform::anhaltenNachDemErstenSegment() {
  Aufbau a;
  QVERIFY(a.gestartet);
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 3);
  Prueffenster& f = *a.f;
  f.show();
  auto* stop = Kind<QPushButton>(f, "btStopsim");
  bool knopfGesperrt = false;
  a.ui.beiProcMsg = [&](int) {
    if (a.ui.gezeichneteSegmente != std::vector<int>{1}) return;
    stop->click();
    knopfGesperrt = !stop->isEnabled();
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Abgebrochen);
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{
                                 {"Warnung", "Die Simulation wurde vom Anweder abgebrochen !"}}));
  QVERIFY(Dateien(dir.path()).isEmpty());
  // Segment 1 was drawn by the run; the chart is not redrawn after the stop.
  QCOMPARE(a.ui.gezeichneteSegmente, std::vector<int>{1});
  QCOMPARE(a.ui.status.back(), std::string("Rechne Segment 1"));
  QVERIFY(knopfGesperrt);
  QVERIFY(stop->isHidden());
  QVERIFY(!f.Gitterfenster()->isVisible());
  QVERIFY(!QApplication::overrideCursor());
  QVERIFY(f.findChild<QAction*>("EKModellFDVerfahren1")->isEnabled());
}

void tst_TMainform::schliessenWaehrendDesLaufs() {
  Aufbau a;
  QVERIFY(a.gestartet);
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 3);
  Prueffenster& f = *a.f;
  f.show();
  bool offenNachSchliessen = false;
  a.ui.beiProcMsg = [&](int n) {
    if (n != 1) return;
    f.close();
    offenNachSchliessen = f.isVisible();
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  // The window stays while the run finishes its segment, then closes.
  QVERIFY(offenNachSchliessen);
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Abgebrochen);
  QVERIFY(Dateien(dir.path()).isEmpty());
  QCoreApplication::processEvents();
  QVERIFY(!f.isVisible());
}

void tst_TMainform::klimaLadenScheitert() {
  Aufbau a;
  Modell& m = *a.m;
  m.ErgebnisseVorhanden = true;
  QTemporaryDir dir;
  a.f->klimadatei = dir.filePath("gibt es nicht.DBF");
  a.f->findChild<QAction*>("KlimaDatenbankladen1")->trigger();
  QCOMPARE(a.f->dialogeGeoeffnet, 1);
  QVERIFY(!a.ui.nachrichten.empty());
  QCOMPARE(a.ui.nachrichten.back(),
           (Nachricht{"Fehler", "Klimadatenbank konnte nicht gelesen werden !"}));
  QCOMPARE(Kind<QLabel>(*a.f, "l_DBKlimaName")->text(), QString("<keine>"));
  QVERIFY(m.ErgebnisseVorhanden);
  QVERIFY(!m.KlimaGueltig);
}

void tst_TMainform::klimaLadenAbgebrochen() {
  Aufbau a;
  a.m->ErgebnisseVorhanden = true;
  a.f->klimadatei.clear();
  a.f->Bt_DBKlimaSelectClick();
  QCOMPARE(a.f->dialogeGeoeffnet, 1);
  QVERIFY(a.ui.nachrichten.empty());
  QVERIFY(a.m->DBKlimaName.empty());
  QVERIFY(a.m->ErgebnisseVorhanden);
}

void tst_TMainform::klimaLadenBeispieljahr() {
  const QString beispiel = QString(TERVAL_DATENVERZEICHNIS) + "/Aachen2022.DBF";
  if (!QFile::exists(beispiel)) QSKIP("Das Beispieljahr liegt noch nicht im Datenverzeichnis");
  Aufbau a;
  Modell& m = *a.m;
  m.ErgebnisseVorhanden = true;
  a.f->klimadatei = beispiel;
  a.f->Bt_DBKlimaSelectClick();
  QVERIFY(m.KlimaGueltig);
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{});
  QVERIFY(!m.ErgebnisseVorhanden);
  QCOMPARE(Kind<QLabel>(*a.f, "l_DBKlimaName")->text(), beispiel);
  // 11.63 degC is the year's mean of the measured air temperature.
  QCOMPARE(Kind<QLabel>(*a.f, "l_tmittelmessort")->text(),
           QString("Mitteltemperatur am Messort: 11.6"));
  QCOMPARE(Textfarbe(Kind<QLabel>(*a.f, "l_Tluft")), QColor(0, 128, 0));
  // The year has no precipitation.
  QCOMPARE(Textfarbe(Kind<QLabel>(*a.f, "l_ns")), QColor(128, 0, 0));
  // Segment 1 is drawn: the inlet only, there are no results.
  QCOMPARE(a.f->Chart()->Tin()->count(), 365);
  QCOMPARE(a.f->Chart()->Taus()->count(), 0);
}

void tst_TMainform::laufMitBeispieldaten() {
  // The road a user takes with the shipped samples: site, channel, the
  // measured year (without precipitation), the missing data generated in
  // memory, a run with text output. The pictures of the chart's three modes
  // go to the build folder (docs/ keeps copies).
  const QString daten = TERVAL_DATENVERZEICHNIS;
  Aufbau a;
  QVERIFY(a.gestartet);
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  QVERIFY(LadeStandortdatei(m, f.UI(), (daten + "/Bochum.loc.db").toStdString()));
  QVERIFY(LadeKanaldatei(m, f.UI(), (daten + "/Erdkanal.ewt.db").toStdString()));
  f.ZeigeOrtsname();
  f.ZeigeKanallaenge();
  f.Updatedisplay();
  QCOMPARE(Kind<QLabel>(f, "l_segmentzahl")->text(),
           QString("Aktuelle Länge des Kanals: 35 Segmente (=35.00 m)"));
  f.klimadatei = daten + "/Aachen2022.DBF";
  f.Bt_DBKlimaSelectClick();
  QVERIFY(m.KlimaGueltig);
  QVERIFY(!m.KlimaKomplett);
  QCOMPARE(Textfarbe(Kind<QLabel>(f, "l_ns")), QColor(128, 0, 0));

  QTemporaryDir dir;
  a.ui.nachrichten.clear();
  Starte(a, dir.path());
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{KlimaUnvollstaendig});

  f.findChild<QAction*>("CreateDataTemp")->trigger();
  QVERIFY(m.KlimaKomplett);
  QCOMPARE(Textfarbe(Kind<QLabel>(f, "l_ns")), QColor(0, 128, 0));

  a.ui.nachrichten.clear();
  Kind<QCheckBox>(f, "mpTextoutput")->setChecked(true);
  Kind<QCheckBox>(f, "cbShowEnergie")->setChecked(true);
  f.resize(1280, 800);
  f.show();
  Starte(a, dir.path());
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Fertig);
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{});
  QCOMPARE(Dateien(dir.path()),
           QStringList({"Terval Gesamtergebnis.TXT", "Terval Kanal Tag 14.TXT",
                        "Terval Kanal Tag 166.TXT", "Terval Kanal Tag 225.TXT",
                        "Terval Kanal Tag 258.TXT", "Terval Kanal Tag 74.TXT"}));
  QCOMPARE(a.ui.gezeichneteSegmente.size(), size_t(36));
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->value(), 35);

  // Winter air leaves the channel warmer than it entered, summer air cooler.
  const int januar = StundenIndex(15, 7), juli = StundenIndex(196, 15);
  QVERIFY(m.Segmente[35].T_aus[januar] > m.Segmente[1].T_ein[januar]);
  QVERIFY(m.Segmente[35].T_aus[juli] < m.Segmente[1].T_ein[juli]);

  auto* modus = Kind<QComboBox>(f, "cbDisplaymode");
  for (int i = 0; i < 3; ++i) {
    modus->setCurrentIndex(i);
    QCoreApplication::processEvents();
    const QImage bild = f.grab().toImage();
    QCOMPARE(bild.size(), QSize(1280, 800));
    QVERIFY(bild.save(Bildverzeichnis() + QString("/hauptfenster-modus%1.png").arg(i)));
  }
}

void tst_TMainform::erzeugenBeiVollstaendigemJahr() {
  Aufbau a;
  FuelleKlima(*a.m);
  a.f->findChild<QAction*>("CreateDataTemp")->trigger();
  a.f->findChild<QAction*>("CreateDataPerm")->trigger();
  const std::string text =
      "Die aktuelle Datenbank ist vollständig.\rEs brauchen keine Daten erzeugt zu werden ! ";
  QCOMPARE(a.ui.nachrichten,
           (std::vector<Nachricht>{{"Information", text}, {"Information", text}}));
}

void tst_TMainform::zurueckschreibenNurNachJa() {
  Aufbau a;
  Modell& m = *a.m;
  FuelleKlima(m);
  for (int h = 1; h <= Stunden; ++h) m.Klima[h].Wind = Fehlwert;
  m.WindKomplett = m.KlimaKomplett = false;
  a.ui.antworten = {false};
  a.f->findChild<QAction*>("CreateDataPerm")->trigger();
  QCOMPARE(a.ui.Texte("Frage"),
           std::vector<std::string>{
               "Diese Funktion verändert den Inhalt Ihrer Datenbank. \rHierbei wird die Datenbank "
               "DIREKT auf der Festplatte modifiziert, nicht nur innerhalb des Programmes !\rSie "
               "sollten vorher eine Sicherungskopie dieser Datei anlegen, falls Sie mit den "
               "Resultaten dieser Operationen nicht zufrieden sind !\rWollen Sie nun mit der "
               "Erzeugung fehlender Daten fortfahren ?"});
  QCOMPARE(m.Klima[1].Wind, Fehlwert);

  // In memory only: no question, the wind is there afterwards.
  a.ui.nachrichten.clear();
  a.f->findChild<QAction*>("CreateDataTemp")->trigger();
  QCOMPARE(a.ui.Texte("Frage"), std::vector<std::string>{});
  QVERIFY(m.Klima[1].Wind != Fehlwert);
}

void tst_TMainform::klimaAnzeigenOhneDatenbank() {
  Aufbau a;
  a.f->ShowKlimaGrid();
  QCOMPARE(a.ui.nachrichten,
           (std::vector<Nachricht>{
               {"Fehler", "Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !"}}));
  // A double click on the chart says nothing while no table was chosen.
  a.ui.nachrichten.clear();
  QTest::mouseDClick(a.f->Chart()->viewport(), Qt::LeftButton);
  QVERIFY(a.ui.nachrichten.empty());
  a.m->DBKlimaName = "kaputt.DBF";
  QTest::mouseDClick(a.f->Chart()->viewport(), Qt::LeftButton);
  QCOMPARE(a.ui.Texte("Fehler").size(), size_t(1));
}

void tst_TMainform::kanallaenge() {
  Aufbau a;
  BaueKanal(*a.m, 35);
  a.m->Rohrdaten.Seglaenge = 1.25f;
  a.f->ZeigeKanallaenge();
  QCOMPARE(Kind<QLabel>(*a.f, "l_segmentzahl")->text(),
           QString("Aktuelle Länge des Kanals: 35 Segmente (=43.75 m)"));
  a.f->Updatedisplay();
  QCOMPARE(Kind<QSpinBox>(*a.f, "eShowSegnr")->maximum(), 35);
}

void tst_TMainform::befehleOeffnenIhreFenster_data() {
  QTest::addColumn<QString>("art");        // "Menü", "Knopf" or "Doppelklick"
  QTest::addColumn<QString>("ausloeser");  // object name of the action or button
  QTest::addColumn<QString>("fenster");
  QTest::addColumn<QString>("titel");
  QTest::newRow("Standortprofil bearbeiten...")
      << "Menü" << "Standortprofilbearbeiten1" << "dlgStandortprofil" << "Standortprofil (Bochum.loc.db)";
  QTest::newRow("Standortprofil bearbeiten..")
      << "Knopf" << "bt_Standortprofil" << "dlgStandortprofil" << "Standortprofil (Bochum.loc.db)";
  QTest::newRow("EWT-Daten bearbeiten...")
      << "Menü" << "EWTDatenbearbeiten1" << "frmKanaldaten" << "Erdkanaldaten (Erdkanal.ewt.db)";
  QTest::newRow("EWT Daten bearbeiten...")
      << "Knopf" << "btEditEWTDaten" << "frmKanaldaten" << "Erdkanaldaten (Erdkanal.ewt.db)";
  QTest::newRow("Klima-Datenbank anzeigen...")
      << "Menü" << "KlimaDatenbankanzeigen1" << "DBShowKlima" << "Datenbank Klimadaten";
  QTest::newRow("Doppelklick aufs Diagramm")
      << "Doppelklick" << "" << "DBShowKlima" << "Datenbank Klimadaten";
}

void tst_TMainform::befehleOeffnenIhreFenster() {
  QFETCH(QString, art);
  QFETCH(QString, ausloeser);
  QFETCH(QString, fenster);
  QFETCH(QString, titel);
  Aufbau a;
  QVERIFY(a.gestartet);
  FuelleKlima(*a.m);
  Prueffenster& f = *a.f;
  f.show();
  const Modalfenster gesehen = WennModal([&] {
    if (art == "Menü") f.findChild<QAction*>(ausloeser)->trigger();
    if (art == "Knopf") Kind<QPushButton>(f, qPrintable(ausloeser))->click();
    if (art == "Doppelklick") QTest::mouseDClick(f.Chart()->viewport(), Qt::LeftButton);
  });
  QCOMPARE(gesehen.name, fenster);
  QCOMPARE(gesehen.titel, titel);
  QVERIFY(!QApplication::activeModalWidget());
  QVERIFY(a.ui.nachrichten.empty());
  // Only looked at: the model keeps its one segment.
  QCOMPARE(a.m->Anz_Segmente, 1);
}

void tst_TMainform::ortsnameFolgtUebernehmen() {
  Aufbau a;
  QVERIFY(a.gestartet);
  Prueffenster& f = *a.f;
  auto* gruppe = Kind<QGroupBox>(f, "gb_locdata");
  QString waehrenddessen;
  WennModal([&] { f.findChild<QAction*>("Standortprofilbearbeiten1")->trigger(); },
            [&](QWidget* dialog) {
              Kind<QLineEdit>(*dialog, "e_locname")->setText("Aachen-Orsbach");
              Kind<QPushButton>(*dialog, "Button2")->click();
              waehrenddessen = gruppe->title();
              Kind<QPushButton>(*dialog, "Button1")->click();
            });
  QCOMPARE(waehrenddessen, QString("Klimadaten von Aachen-Orsbach"));
  QCOMPARE(gruppe->title(), QString("Klimadaten von Aachen-Orsbach"));
  QCOMPARE(a.m->Ortsname, std::string("Aachen-Orsbach"));

  // Edited and closed with "Schliessen": neither model nor caption change.
  WennModal([&] { Kind<QPushButton>(f, "bt_Standortprofil")->click(); },
            [&](QWidget* dialog) {
              Kind<QLineEdit>(*dialog, "e_locname")->setText("Nirgendwo");
              Kind<QPushButton>(*dialog, "Button1")->click();
            });
  QCOMPARE(gruppe->title(), QString("Klimadaten von Aachen-Orsbach"));
  QCOMPARE(a.m->Ortsname, std::string("Aachen-Orsbach"));
}

void tst_TMainform::segmentzahlFolgtKanaleditor() {
  Aufbau a;
  QVERIFY(a.gestartet);
  Prueffenster& f = *a.f;
  a.m->Rohrdaten.Seglaenge = 1.5f;
  WennModal([&] { f.findChild<QAction*>("EWTDatenbearbeiten1")->trigger(); },
            [&](QWidget* editor) {
              Kind<QLineEdit>(*editor, "e_addsegment")->setText("11");
              Kind<QPushButton>(*editor, "bt_addsegment")->click();
              // Typed into the table and not taken over: closing takes it.
              Kind<QTableWidget>(*editor, "sgKanal")->item(11, 1)->setText("2.5");
              Kind<QPushButton>(*editor, "btClose")->click();
            });
  QCOMPARE(a.m->Anz_Segmente, 12);
  QCOMPARE(a.m->Segmente[12].Tiefe, 2.5f);
  QCOMPARE(Kind<QLabel>(f, "l_segmentzahl")->text(),
           QString("Aktuelle Länge des Kanals: 12 Segmente (=18.00 m)"));
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->maximum(), 12);

  // A new channel of one segment is shown too.
  a.ui.antworten = {true};
  WennModal([&] { Kind<QPushButton>(f, "btEditEWTDaten")->click(); },
            [&](QWidget* editor) {
              Kind<QAbstractButton>(*editor, "btNew")->click();
              editor->close();  // the close box ends the editor as well
            });
  QCOMPARE(a.m->Anz_Segmente, 1);
  QCOMPARE(Kind<QLabel>(f, "l_segmentzahl")->text(),
           QString("Aktuelle Länge des Kanals: 1 Segmente (=1.50 m)"));
}

void tst_TMainform::waehrendDesLaufsNurAnsehen() {
  Aufbau a;
  QVERIFY(a.gestartet);
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 2);
  Prueffenster& f = *a.f;
  f.show();
  QAction* standort = f.findChild<QAction*>("Standortprofilbearbeiten1");
  QAction* kanal = f.findChild<QAction*>("EWTDatenbearbeiten1");
  QAction* anzeigen = f.findChild<QAction*>("KlimaDatenbankanzeigen1");
  // Between runs everything is usable, the delete buttons too.
  for (QAction* aktion : {standort, kanal, anzeigen}) QVERIFY(aktion->isEnabled());
  bool loeschbar = false;
  WennModal([&] { anzeigen->trigger(); },
            [&](QWidget* w) { loeschbar = Kind<QPushButton>(*w, "bcl4")->isEnabled(); });
  QVERIFY(loeschbar);

  struct Zwischenstand {
    bool standort = true, kanal = true, knopfStandort = true, knopfKanal = true;
    bool anzeigen = false, loeschbar = true;
    Modalfenster direktStandort, direktKanal;  // opened by calling the handlers directly
    Modalfenster ansicht;
  } z;
  a.ui.beiProcMsg = [&](int n) {
    if (n != 1) return;
    z.standort = standort->isEnabled();
    z.kanal = kanal->isEnabled();
    z.knopfStandort = Kind<QPushButton>(f, "bt_Standortprofil")->isEnabled();
    z.knopfKanal = Kind<QPushButton>(f, "btEditEWTDaten")->isEnabled();
    z.anzeigen = anzeigen->isEnabled();
    z.direktStandort = WennModal([&] { f.ShowStandortprofil(); });
    z.direktKanal = WennModal([&] { f.btEditEWTDatenClick(); });
    z.ansicht = WennModal([&] { anzeigen->trigger(); }, [&](QWidget* w) {
      z.loeschbar = false;
      for (const char* name : {"bcl3", "bcl4", "bcl5", "bcl6", "bcl8"})
        z.loeschbar |= Kind<QPushButton>(*w, name)->isEnabled();
    });
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Fertig);
  QVERIFY(!z.standort);
  QVERIFY(!z.kanal);
  QVERIFY(!z.knopfStandort);
  QVERIFY(!z.knopfKanal);
  QCOMPARE(z.direktStandort.name, QString());
  QCOMPARE(z.direktKanal.name, QString());
  // The climate year may be looked at, not cleared.
  QVERIFY(z.anzeigen);
  QCOMPARE(z.ansicht.name, QString("DBShowKlima"));
  QVERIFY(!z.loeschbar);
  QCOMPARE(a.m->Anz_Segmente, 2);

  // Idle again: the editors and the delete buttons are back.
  QVERIFY(standort->isEnabled());
  QVERIFY(Kind<QPushButton>(f, "btEditEWTDaten")->isEnabled());
  loeschbar = false;
  WennModal([&] { anzeigen->trigger(); },
            [&](QWidget* w) { loeschbar = Kind<QPushButton>(*w, "bcl8")->isEnabled(); });
  QVERIFY(loeschbar);
}

QTEST_MAIN(tst_TMainform)
#include "tst_TMainform.moc"
