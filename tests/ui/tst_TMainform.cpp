// The main window as a user meets it: start-up and options, refused,
// complete, stopped and closed runs, the sample year from loading to the
// finished run, the chart and its controls, the windows its commands open,
// and what it shows besides (message boxes, model grid, writer window).
#include <QtCharts>

#include "Fensterhilfen.h"
#include "channel/UshowKanaldaten.h"
#include "location/klimaprofil.h"
#include "ui/Diagramm.h"
#include "ui/ModellGrid.h"
#include "ui/Tfrm_DBWriteerg.h"

using namespace terval;
using namespace terval::test;

namespace {

const QString Banner = "Terval 1.00 h  v. 10.08.04";
const QColor Gruen(0, 128, 0), Dunkelrot(128, 0, 0);

QColor Farbe(const QWidget& f, const char* label) { return Kind(f, label)->palette().color(QPalette::WindowText); }
QAction* Befehl(const QWidget& f, const char* name) { return f.findChild<QAction*>(name); }
QString Label(const QWidget& f, const char* name) { return Kind<QLabel>(f, name)->text(); }
QStringList Dateien(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

// "Simulation starten..." with the working directory `dir`.
void Starte(Aufbau& a, const QString& dir) {
  const QString vorher = QDir::currentPath();
  QDir::setCurrent(dir);
  Befehl(*a.f, "EKModellFDVerfahren1")->trigger();
  QDir::setCurrent(vorher);
}

// Runs `ausloesen`, which may open a modal window; `imFenster` acts in it,
// then it is closed. Returns the object name of what came up (empty: nothing).
QString WennModal(const std::function<void()>& ausloesen, const std::function<void(QWidget*)>& imFenster = {}) {
  QString name;
  QObject kontext;  // takes the timer along when nothing came up
  Sobald(&kontext, [&] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      name = w->objectName();
      if (imFenster) imFenster(w);
      if (w->isVisible()) w->close();
    }
  });
  ausloesen();
  QCoreApplication::processEvents();
  return name;
}

// Types into the chart's hour/day field and presses Enter.
void Eingeben(QWidget& f, const QString& text) {
  Setze(f, "e_display", text);
  QTest::keyClick(Kind(f, "e_display"), Qt::Key_Return);
}

// Values that tell where they came from: inlet 10 + h/10000, outlet of
// segment s = inlet + s, channel flow 0.5 m3/s.
float Ein(int tag, int stunde) { return 10.0f + StundenIndex(tag, stunde) / 10000.0f; }
void Kennwerte(Modell& m, int segmente) {
  m.Anz_Segmente = segmente;
  for (int h = 1; h <= Stunden; ++h) {
    m.Segmente[1].T_ein[h] = 10.0f + h / 10000.0f;
    for (int s = 1; s <= segmente; ++s) m.Segmente[s].T_aus[h] = m.Segmente[1].T_ein[h] + s;
    m.VolStromStunde[h] = 0.5f;
  }
}

}  // namespace

class tst_TMainform : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }
  void startUndOptionen();
  void laufWirdAbgelehnt();
  void vollstaendigerLauf();
  void anhaltenUndSchliessen();
  void nichtGeschriebeneDateienWerdenGenannt();
  void laufMitBeispieldaten();
  void diagramm();
  void befehleOeffnenIhreFenster();
  void meldungenUndNebenfenster();
};

void tst_TMainform::startUndOptionen() {
  for (const char* datei : {"SOILS.DAT", "Rohre.DBF"}) {  // either missing ends the program
    auto m = NeuesModell();
    Aufzeichner ui;
    Prueffenster f(*m, &ui);
    f.fehlend.insert(datei);
    QVERIFY(!f.FormCreate());
    QVERIFY(ui.nachrichten.size() == 1 && ui.nachrichten[0].text.find(datei) != std::string::npos);
  }
  Aufbau a;
  QVERIFY2(a.gestartet, "SOILS.DAT und Rohre.DBF müssen im Datenverzeichnis des Builds liegen");
  Prueffenster& f = *a.f;
  QStringList texte;
  for (const char* n : {"StatusBar1", "l_display", "l_DBKlimaName", "l_tmittelmessort", "L_tmaxmessort", "l_segmentzahl"})
    texte << Label(f, n);
  for (const char* n : {"e_display", "e_output", "E_markseg", "e_outputhour"}) texte << Text(f, n);
  QCOMPARE(texte, (QStringList{Banner, "Angezeigte Stunde:", "<keine>", "Mitteltemperatur am Messort: 7.0",
                               "Mittlere Maximaltemperatur am Messort: 18.0", "Aktuelle Länge des Kanals: (kein Kanal)",
                               "13", "Terval", "-1", "12"}));
  QCOMPARE(Kind<QGroupBox>(f, "gb_locdata")->title(), QString("Klimadaten von Testort (Bochum,D)"));
  QString haken;
  for (const char* n : {"cb_Tin", "cb_tout", "cb_Tdelta", "cbShowEnergie", "mpTextoutput", "cb_mitFeuchte", "rb_fulldataset"})
    haken += Kind<QAbstractButton>(f, n)->isChecked() ? '1' : '0';
  QCOMPARE(haken + Frei(f, {"e_outputhour", "cb_SoilmodRes"}), QString("1110011" "01"));
  auto* tb = Kind<QSlider>(f, "tb_display");
  QCOMPARE(QList<int>({tb->minimum(), tb->maximum(), tb->value()}), QList<int>({0, 23, 13}));
  for (const char* n : {"l_Tluft", "L_rfeuchte", "L_wind", "l_strahlung", "l_ns"}) QCOMPARE(Farbe(f, n), Dunkelrot);
  QVERIFY(Kind(f, "btStopsim")->isHidden() && !f.Chart()->Monat(1)->chart() && !f.Chart()->AchseW()->isVisible());
  QCOMPARE(QString::fromStdString(a.m->Startverzeichnis), QCoreApplication::applicationDirPath());

  // The moisture step follows its list (locked without moisture); one output time opens the hour field.
  auto* schritt = Kind<QComboBox>(f, "cb_SoilmodRes");
  QList<int> sekunden;
  for (int i = 4; i >= 0; --i) schritt->setCurrentIndex(i), sekunden << a.m->FeuchteZeitschritt;
  QCOMPARE(sekunden, QList<int>({1, 60, 600, 1800, 3600}));
  Klick(f, "cb_mitFeuchte");
  Klick(f, "rb_smalldataset");
  QCOMPARE(Frei(f, {"cb_SoilmodRes", "e_outputhour"}), QString("01"));
  Klick(f, "rb_fulldataset");
  QCOMPARE(Frei(f, {"e_outputhour"}), QString("0"));
  // What the run start receives.
  Klick(f, "rb_smalldataset");
  Setze(f, "e_outputhour", "7");
  Setze(f, "e_output", "Studie A");
  Setze(f, "E_markseg", "3");
  Klick(f, "mpTextoutput");
  Klick(f, "cb_CreateTagesgang");
  schritt->setCurrentIndex(2);
  const Laufoptionen o = f.OptionenAusSteuerung();
  QCOMPARE(o.Stammname + "|" + o.MarkSegmentText + "|" + o.AusgabeStundeText, std::string("Studie A|3|7"));
  QCOMPARE(QList<bool>({o.NurEinTermin, o.TextAusgabe, o.Tagesgang, o.MitFeuchte}), QList<bool>({true, true, true, false}));
  QCOMPARE(o.FeuchteZeitschritt, 600);
}

void tst_TMainform::laufWirdAbgelehnt() {
  // The window's part of the input check: the hour counts only for one output time, the marked segment.
  const std::string markiert = "Das markierte Segment liegt nicht innerhalb des Kanals";
  for (const auto& [einTermin, stunde, marke, text] : std::vector<std::tuple<bool, QString, QString, std::string>>{
           {true, "24", "-1", "24 ist keine gültige Uhrzeit !\rBitte prüfen Sie ihre Angaben im Feld \"Ausgabeoptionen\""},
           {false, "24", "5", markiert},
           {true, "7", "5", markiert}}) {
    Aufbau a;
    FuelleKlima(*a.m);
    BaueKanal(*a.m, 4);
    Klick(*a.f, einTermin ? "rb_smalldataset" : "rb_fulldataset");
    Setze(*a.f, "e_outputhour", stunde);
    Setze(*a.f, "E_markseg", marke);
    Setze(*a.f, "e_output", "Abgelehnt");
    QTemporaryDir dir;
    Starte(a, dir.path());
    QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Fehler", text}}));
    QCOMPARE(a.f->LetzterLauf().ergebnis, Laufergebnis::Abgelehnt);
    QVERIFY(Dateien(dir.path()).isEmpty() && a.ui.gezeichneteSegmente.empty() && a.m->AusgabeStamm == "Terval");
    QVERIFY(!a.f->LaufAktiv() && Befehl(*a.f, "EKModellFDVerfahren1")->isEnabled());
  }
}

void tst_TMainform::vollstaendigerLauf() {
  Aufbau a;
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  FuelleKlima(m);
  BaueKanal(m, 3);
  f.Updatedisplay();
  f.show();
  Klick(f, "mpTextoutput");
  Klick(f, "cb_CreateTagesgang");
  Setze(f, "E_markseg", "3");
  // Which commands and controls are usable, and what is shown.
  auto bedienbar = [&] {
    QString z;
    for (const char* n : {"EKModellFDVerfahren1", "KlimaDatenbankladen1", "Standortprofilbearbeiten1",
                          "EWTDatenbearbeiten1", "CreateDataTemp", "CreateDataPerm", "KlimaDatenbankanzeigen1"})
      z += Befehl(f, n)->isEnabled() ? '1' : '0';
    z += Frei(f, {"bt_Standortprofil", "btEditEWTDaten", "e_output", "cb_SoilmodRes", "cbDisplaymode", "eShowSegnr"});
    return z + (Kind(f, "btStopsim")->isVisible() ? " Stop" : "") + (f.Gitterfenster()->isVisible() ? " Gitter" : "");
  };
  // The climate viewer as the menu opens it, and whether it may delete.
  auto ansicht = [&] {
    QString frei;
    const QString name = WennModal([&] { Befehl(f, "KlimaDatenbankanzeigen1")->trigger(); },
                                   [&](QWidget* w) { frei = Frei(*w, {"bcl3", "bcl4", "bcl5", "bcl6", "bcl8"}); });
    return name + " " + frei;
  };
  QCOMPARE(bedienbar() + " " + ansicht(), QString("1111111111111 DBShowKlima 11111"));

  // Between two segments nothing may change the model: the editors stay shut
  // even when called directly; the climate year may be looked at, not cleared.
  QStringList zwischen;
  a.ui.beiProcMsg = [&](int n) {
    zwischen << bedienbar();
    if (n == 1) zwischen << WennModal([&] { f.ShowStandortprofil(); }) + WennModal([&] { f.btEditEWTDatenClick(); }) << ansicht();
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Fertig);
  QVERIFY(a.ui.nachrichten.empty() && !QApplication::overrideCursor());
  const QString laufend = "0000001000011 Stop Gitter";
  QCOMPARE(zwischen, (QStringList{laufend, "", "DBShowKlima 00000", laufend, laufend}));
  QCOMPARE(bedienbar() + " " + ansicht(), QString("1111111111111 DBShowKlima 11111"));

  const QStringList dateien = Dateien(dir.path());
  QCOMPARE(dateien.size(), 16);
  QCOMPARE(dateien.filter("Terval2D Feld Seg   3 Tag ").size(), 5);
  QVERIFY(dateien.contains("Terval Verlauf Tag 166.TXT") && dateien.contains("Terval Kanal Tag 14.TXT"));
  QFile gesamt(dir.filePath("Terval Gesamtergebnis.TXT"));
  QVERIFY(gesamt.open(QIODevice::ReadOnly));
  QCOMPARE(gesamt.readAll().count("\r\n"), 2 + Stunden);
  // The writer window went along with the last file and is hidden again.
  QVERIFY(f.Schreibfenster()->Label1()->text().startsWith("Schreibe \"Terval"));
  QVERIFY(f.Schreibfenster()->ProgressBar1()->value() > 0 && f.Schreibfenster()->isHidden());
  // Segments drawn one after another, the last once more at the end; the chart shows the outlet.
  QCOMPARE(a.ui.gezeichneteSegmente, (std::vector<int>{1, 2, 3, 3}));
  QVERIFY(a.ui.gridBilder == 3 && f.Gitterfenster()->LetzteSpalte() > 0);
  QCOMPARE(a.ui.status.front() + "|" + a.ui.status.back(), std::string("Initialisierung...|"));
  QCOMPARE(Label(f, "StatusBar1"), Banner);
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->value(), 3);
  QCOMPARE(f.Chart()->Taus()->count(), 365);
  QCOMPARE(f.Chart()->Taus()->at(0).y(), double(m.Segmente[3].T_aus[StundenIndex(1, 13)]));
}

void tst_TMainform::anhaltenUndSchliessen() {
  Aufbau a;
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 3);
  Prueffenster& f = *a.f;
  f.show();
  auto* stop = Kind<QPushButton>(f, "btStopsim");
  // Stopped after the first segment: the pressed button greys out at once.
  bool gesperrt = false;
  a.ui.beiProcMsg = [&](int) {
    if (a.ui.gezeichneteSegmente != std::vector<int>{1}) return;
    stop->click();
    gesperrt = !stop->isEnabled();
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(f.LetzterLauf().ergebnis, Laufergebnis::Abgebrochen);
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Warnung", "Die Simulation wurde vom Anweder abgebrochen !"}}));
  QCOMPARE(a.ui.gezeichneteSegmente, std::vector<int>{1});  // no redraw after the stop
  QCOMPARE(a.ui.status.back(), std::string("Rechne Segment 1"));
  QVERIFY(gesperrt && stop->isHidden() && !f.Gitterfenster()->isVisible() && !QApplication::overrideCursor());
  QVERIFY(Dateien(dir.path()).isEmpty() && Befehl(f, "EKModellFDVerfahren1")->isEnabled());

  // Closed during the next run (the stop button live again): the window stays until the segment is done.
  bool frei = false, offen = false;
  a.ui.procMsgAufrufe = 0;
  a.ui.beiProcMsg = [&](int n) {
    if (n == 1) frei = stop->isEnabled(), f.close(), offen = f.isVisible();
  };
  Starte(a, dir.path());
  QVERIFY(frei && offen && f.LetzterLauf().ergebnis == Laufergebnis::Abgebrochen);
  QCoreApplication::processEvents();
  QVERIFY(!f.isVisible() && Dateien(dir.path()).isEmpty());
}

void tst_TMainform::nichtGeschriebeneDateienWerdenGenannt() {
  // A stem in a folder that does not exist: the finished run must not look like a finished job.
  Aufbau a;
  FuelleKlima(*a.m);
  BaueKanal(*a.m, 2);
  Klick(*a.f, "mpTextoutput");
  Setze(*a.f, "e_output", "fehlt/Terval");
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(a.f->LetzterLauf().ergebnis, Laufergebnis::Fertig);
  QCOMPARE(a.ui.Texte("Warnung"),
           std::vector<std::string>{"Folgende Ergebnisdateien konnten nicht in \"" +
                                    QDir(dir.path()).absolutePath().toStdString() +
                                    "\" geschrieben werden:\rfehlt/Terval Gesamtergebnis.TXT\rfehlt/Terval Kanal Tag 14.TXT"
                                    "\rfehlt/Terval Kanal Tag 74.TXT\rfehlt/Terval Kanal Tag 166.TXT"
                                    "\rfehlt/Terval Kanal Tag 225.TXT\rfehlt/Terval Kanal Tag 258.TXT"});
  QVERIFY(Dateien(dir.path()).isEmpty());
}

void tst_TMainform::laufMitBeispieldaten() {
  // The road a user takes with the shipped samples, from a climate table
  // that cannot be read to a run with text output. The pictures of the
  // chart's three modes go to the build folder (scripts/bildschirmfotos.sh
  // renews docs/ with them).
  const QString daten = TERVAL_DATENVERZEICHNIS;
  Aufbau a;
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  m.ErgebnisseVorhanden = true;
  f.klimadatei = daten + "/gibt es nicht.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QCOMPARE(a.ui.nachrichten.back(), (Nachricht{"Fehler", "Klimadatenbank konnte nicht gelesen werden !"}));
  QVERIFY(Label(f, "l_DBKlimaName") == "<keine>" && m.ErgebnisseVorhanden && !m.KlimaGueltig);
  QTest::mouseDClick(f.Chart()->viewport(), Qt::LeftButton);  // the viewer has nothing to show
  QCOMPARE(a.ui.nachrichten.back().text, std::string("Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !"));

  QVERIFY(LadeStandortdatei(m, f.UI(), (daten + "/Bochum.loc.db").toStdString()));
  QVERIFY(LadeKanaldatei(m, f.UI(), (daten + "/Erdkanal.ewt.db").toStdString()));
  f.klimadatei = daten + "/Aachen2022.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QVERIFY(m.KlimaGueltig && !m.KlimaKomplett && !m.ErgebnisseVorhanden);
  // 11.63 degC is the year's mean of the measured air temperature; the year has no precipitation.
  QCOMPARE(Label(f, "l_DBKlimaName") + "|" + Label(f, "l_tmittelmessort"), f.klimadatei + "|Mitteltemperatur am Messort: 11.6");
  QVERIFY(Farbe(f, "l_Tluft") == Gruen && Farbe(f, "l_ns") == Dunkelrot);
  QVERIFY(f.Chart()->Tin()->count() == 365 && f.Chart()->Taus()->count() == 0);  // the inlet only

  QTemporaryDir dir;
  a.ui.nachrichten.clear();
  Starte(a, dir.path());
  QCOMPARE(a.ui.nachrichten.size(), size_t(1));
  QVERIFY(a.ui.nachrichten[0].text.starts_with("Der aktuelle Klimadatensatz enthält noch fehlende Daten !"));
  // Writing back asks first and "No" changes nothing; in memory it completes the year.
  Befehl(f, "CreateDataPerm")->trigger();
  QVERIFY(a.ui.Texte("Frage").size() == 1 && !m.KlimaKomplett);
  Befehl(f, "CreateDataTemp")->trigger();
  QVERIFY(m.KlimaKomplett && Farbe(f, "l_ns") == Gruen);
  // Complete now: neither way generates anything, and neither asks.
  a.ui.nachrichten.clear();
  Befehl(f, "CreateDataTemp")->trigger();
  Befehl(f, "CreateDataPerm")->trigger();
  const std::string vollstaendig = "Die aktuelle Datenbank ist vollständig.\rEs brauchen keine Daten erzeugt zu werden ! ";
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Information", vollstaendig}, {"Information", vollstaendig}}));

  a.ui.nachrichten.clear();
  Klick(f, "mpTextoutput");
  Klick(f, "cbShowEnergie");
  f.resize(1280, 800);
  f.show();
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && a.ui.nachrichten.empty());
  QVERIFY(Dateien(dir.path()).size() == 6 && a.ui.gezeichneteSegmente.size() == 36);
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->value(), 35);
  // Winter air leaves the channel warmer than it entered, summer air cooler.
  const int januar = StundenIndex(15, 7), juli = StundenIndex(196, 15);
  QVERIFY(m.Segmente[35].T_aus[januar] > m.Segmente[1].T_ein[januar]);
  QVERIFY(m.Segmente[35].T_aus[juli] < m.Segmente[1].T_ein[juli]);
  QVERIFY(f.Chart()->AchseW()->isVisible());
  for (int i = 0; i < 3; ++i) {
    Kind<QComboBox>(f, "cbDisplaymode")->setCurrentIndex(i);
    QCoreApplication::processEvents();
    QVERIFY(Bild(f, QString("hauptfenster-modus%1.png").arg(i)));
  }
}

void tst_TMainform::diagramm() {
  Aufbau a;
  Prueffenster& f = *a.f;
  Diagramm* d = f.Chart();
  Kennwerte(*a.m, 4);
  // Before a run only the inlet; day d at 13 h is point d - 1.
  a.m->ErgebnisseVorhanden = false;
  f.DrawSegment(2);
  QCOMPARE(d->Tin()->at(364), QPointF(364, Ein(365, 13)));
  QCOMPARE(d->Tin()->count() + d->Taus()->count() + d->Tdelta()->count() + d->Energie()->count(), 365);
  // With results: outlet, warming, and the power 1200 J/(m3 K) x 0.5 m3/s x 3 K on its own axis.
  a.m->ErgebnisseVorhanden = true;
  Klick(f, "cbShowEnergie");
  f.DrawSegment(3);
  QCOMPARE(d->Taus()->at(99).y(), double(Ein(100, 13) + 3));
  QVERIFY(qAbs(d->Tdelta()->at(99).y() - 3) < 1e-3 && qAbs(d->Energie()->at(99).y() - 1800) < 0.01);
  QVERIFY(d->AchseW()->isVisible() && d->AchseW()->max() >= 1800);
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->value(), 3);

  // The day course: day 166 at first; a day beyond the year shows the last.
  auto* modus = Kind<QComboBox>(f, "cbDisplaymode");
  auto* tb = Kind<QSlider>(f, "tb_display");
  modus->setCurrentIndex(1);
  QCOMPARE(Label(f, "l_display") + Text(f, "e_display"), QString("Angezeigter Tag:166"));
  QCOMPARE(QList<int>({tb->minimum(), tb->maximum(), tb->value()}), QList<int>({1, 365, 166}));
  QCOMPARE(d->Tin()->at(23), QPointF(23, Ein(166, 23)));
  QCOMPARE(d->Taus()->count(), 24);
  Eingeben(f, "400");
  QCOMPARE(d->Tin()->at(0).y(), double(Ein(365, 0)));

  // Along the channel: twelve months, reference day 30 (m - 1) + 15 at 13 h; hour 24 shows 12.
  Kennwerte(*a.m, 10);
  f.Updatedisplay();
  modus->setCurrentIndex(2);
  QCOMPARE(Label(f, "l_display") + Text(f, "e_display"), QString("Angezeigte Stunde:13"));
  QVERIFY(!Kind(f, "eShowSegnr")->isEnabled() && !d->Energie()->isVisible() && !d->Tin()->chart());
  for (int monat = 1; monat <= 12; ++monat) {
    QCOMPARE(d->Monat(monat)->count(), 10);
    QCOMPARE(d->Monat(monat)->at(9), QPointF(9, Ein(30 * (monat - 1) + 15, 13) + 10));
  }
  Eingeben(f, "24");
  QCOMPARE(Text(f, "e_display") + QString::number(tb->value()), QString("1212"));
  QCOMPARE(d->Monat(1)->at(0).y(), double(Ein(15, 12) + 1));
  // Back to the year course: the months leave, the three come back.
  modus->setCurrentIndex(0);
  QVERIFY(!d->Monat(1)->chart() && d->Tin()->chart() == d->chart() && d->Energie()->isVisible());
  QVERIFY(Kind(f, "eShowSegnr")->isEnabled());
  // The track bar copies its position, the chart waits for Enter; a text that is no number leaves the bar.
  tb->setValue(7);
  QCOMPARE(Text(f, "e_display"), QString("7"));
  QCOMPARE(d->Tin()->at(0).y(), double(Ein(1, 13)));
  QTest::keyClick(Kind(f, "e_display"), Qt::Key_Return);
  QCOMPARE(d->Tin()->at(0).y(), double(Ein(1, 7)));
  Eingeben(f, "abc");
  QCOMPARE(tb->value(), 7);
  // The chosen segment is drawn; beyond the channel nothing; "neuzeichnen" takes new data.
  Kind<QSpinBox>(f, "eShowSegnr")->setValue(4);
  a.m->Segmente[4].T_aus[StundenIndex(1, 7)] = 99;
  f.DrawSegment(11);
  QCOMPARE(d->Taus()->at(0).y(), double(Ein(1, 7) + 4));
  Klick(f, "bt_Redraw");
  QCOMPARE(d->Taus()->at(0).y(), 99.0);
  // Segment 0 with results: only the visibility follows; without results it draws the inlet.
  Kind<QCheckBox>(f, "cb_tout")->setChecked(false);
  f.DrawSegment(0);
  QVERIFY(!d->Taus()->isVisible() && d->Taus()->count() == 365);
  a.m->ErgebnisseVorhanden = false;
  f.DrawSegment(0);
  QVERIFY(d->Taus()->count() == 0 && d->Tin()->count() == 365);

  // Copied on white, printed into a file (a cancelled print does nothing); the window's chart stays silver.
  f.resize(900, 600);
  Klick(f, "bt_CopyChart");
  QCOMPARE(QColor(QGuiApplication::clipboard()->image().pixel(2, 2)), QColor(Qt::white));
  Klick(f, "bt_PrintChart");
  QTemporaryDir dir;
  f.druckdatei = dir.filePath("Diagramm.pdf");
  Klick(f, "bt_PrintChart");
  QFile pdf(f.druckdatei);
  QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-" && pdf.size() > 1000);
  QCOMPARE(d->chart()->backgroundBrush().color(), QColor(192, 192, 192));
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{
                                 {"Information", "Das Diagramm wurde erfolgreich in die Zwischanablage kopiert !"}}));
}

void tst_TMainform::befehleOeffnenIhreFenster() {
  Aufbau a;
  FuelleKlima(*a.m);
  Prueffenster& f = *a.f;
  f.show();
  // Menu items, buttons and the chart's double click, each opening its modal window.
  QStringList gesehen;
  for (const char* ausloeser : {"Standortprofilbearbeiten1", "bt_Standortprofil", "EWTDatenbearbeiten1", "btEditEWTDaten",
                                "KlimaDatenbankanzeigen1", ""})
    gesehen << WennModal([&] {
      if (!*ausloeser) return QTest::mouseDClick(f.Chart()->viewport(), Qt::LeftButton);
      if (QAction* befehl = f.findChild<QAction*>(ausloeser)) return befehl->trigger();
      Klick(f, ausloeser);
    }, [&](QWidget* w) { gesehen << w->windowTitle(); });
  QCOMPARE(gesehen, (QStringList{"Standortprofil (Bochum.loc.db)", "dlgStandortprofil", "Standortprofil (Bochum.loc.db)",
                                 "dlgStandortprofil", "Erdkanaldaten (Erdkanal.ewt.db)", "frmKanaldaten",
                                 "Erdkanaldaten (Erdkanal.ewt.db)", "frmKanaldaten", "Datenbank Klimadaten",
                                 "DBShowKlima", "Datenbank Klimadaten", "DBShowKlima"}));
  QVERIFY(a.ui.nachrichten.empty() && a.m->Anz_Segmente == 1);  // only looked at

  // "Übernehmen" shows the new site at once; edits closed with "Schliessen" change nothing.
  auto* gruppe = Kind<QGroupBox>(f, "gb_locdata");
  WennModal([&] { Klick(f, "bt_Standortprofil"); }, [&](QWidget* dialog) {
    Setze(*dialog, "e_locname", "Aachen-Orsbach");
    Klick(*dialog, "Button2");
    gesehen << gruppe->title();
    Setze(*dialog, "e_locname", "Nirgendwo");
    Klick(*dialog, "Button1");
  });
  QCOMPARE(gesehen.last() + "|" + gruppe->title(), QString("Klimadaten von Aachen-Orsbach|Klimadaten von Aachen-Orsbach"));
  QCOMPARE(a.m->Ortsname, std::string("Aachen-Orsbach"));
  // Segments added and a depth typed but not taken over: closing the editor takes it; the window follows the channel.
  a.m->Rohrdaten.Seglaenge = 1.5f;
  WennModal([&] { Befehl(f, "EWTDatenbearbeiten1")->trigger(); }, [&](QWidget* editor) {
    Setze(*editor, "e_addsegment", "11");
    Klick(*editor, "bt_addsegment");
    Kind<QTableWidget>(*editor, "sgKanal")->item(11, 1)->setText("2.5");
    Klick(*editor, "btClose");
  });
  QCOMPARE(a.m->Segmente[12].Tiefe, 2.5f);
  QCOMPARE(Label(f, "l_segmentzahl"), QString("Aktuelle Länge des Kanals: 12 Segmente (=18.00 m)"));
  QCOMPARE(Kind<QSpinBox>(f, "eShowSegnr")->maximum(), 12);
}

void tst_TMainform::meldungenUndNebenfenster() {
  // Without a recorder every message is a box: symbol, title, line breaks, buttons.
  auto m = NeuesModell();
  TMainform f(*m);
  Oberflaeche& ui = f.UI();
  QStringList gesehen;
  auto beantworte = [&gesehen](const QString& knopf = {}) {
    Sobald(qApp, [&gesehen, knopf] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QStringList knoepfe;
      for (QAbstractButton* b : box->buttons()) knoepfe << b->text();
      knoepfe.sort();
      gesehen << QString("%1 %2: %3 [%4]").arg(int(box->icon())).arg(box->windowTitle(), box->text(), knoepfe.join(" "));
      for (QAbstractButton* b : box->buttons())
        if (knopf.isEmpty() || b->text() == knopf) return b->click();
    });
  };
  for (auto meldung : {&Oberflaeche::Fehler, &Oberflaeche::Warnung, &Oberflaeche::Information, &Oberflaeche::Meldung})
    beantworte(), (ui.*meldung)("Erste Zeile !\rZweite Zeile");
  beantworte("&Ja");
  QVERIFY(ui.Frage("Wollen Sie ?"));
  beantworte("&Nein");
  QVERIFY(!ui.Frage("Wollen Sie ?"));
  const QString zeilen = "Erste Zeile !\nZweite Zeile [OK]", frage = "4 Bestätigung: Wollen Sie ? [&Ja &Nein]";
  QCOMPARE(gesehen, (QStringList{"3 Fehler: " + zeilen, "2 Warnung: " + zeilen, "1 Information: " + zeilen,
                                 "0 Terval: " + zeilen, frage, frage}));
  // The hourglass counts: surplus "off"s take no cursor that someone else set.
  QApplication::setOverrideCursor(Qt::CrossCursor);
  for (bool an : {true, true, false}) ui.Sanduhr(an);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  for (bool an : {false, false}) ui.Sanduhr(an);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
  ui.Fortschritt(100, 365);
  auto* balken = Kind<QProgressBar>(f, "pb_Fortschritt");
  QCOMPARE(QList<int>({balken->value(), balken->maximum(), balken->isHidden()}), QList<int>({100, 365, 0}));

  // The model grid: 10 x 10 pixels a cell up to the last column, the ring (exactly 1.0) red over any cell, walls black.
  m->LetzteSpalte = 3;
  m->ZellTyp[2][8] = m->ZellTyp[1][3] = m->ZellTyp[4][0] = 1;  // the last beyond the last column
  m->RingMarke[1][3] = m->RingMarke[3][3] = 1.0f;
  m->RingMarke[3][4] = 0.5f;
  ModellGrid g;
  g.ZeigeGitter(*m);
  QCOMPARE(g.size(), QSize(50, 180));
  const QImage bild = g.grab().toImage();
  QList<QColor> farben;
  for (QPoint p : {QPoint(20, 80), QPoint(29, 89), QPoint(30, 89), QPoint(29, 90), QPoint(15, 35), QPoint(35, 35),
                   QPoint(35, 45), QPoint(5, 175), QPoint(45, 5)})
    farben << QColor(bild.pixel(p));
  QCOMPARE(farben.mid(0, 7), (QList<QColor>{Qt::black, Qt::black, Qt::white, Qt::white, Qt::red, Qt::red, Qt::white}));
  QVERIFY(farben[7] != QColor(Qt::white) && farben[8] != QColor(Qt::black) && farben[8] != QColor(Qt::white));
  for (int spalten : {500, -3}) m->LetzteSpalte = spalten, g.ZeigeGitter(*m), gesehen << QString::number(g.width());
  QCOMPARE(gesehen.mid(6), (QStringList{QString::number(MaxSpalten * 10 + 10), "20"}));

  // The writer window starts its bar afresh for every file.
  Tfrm_DBWriteerg w;
  w.Zeigen("Schreibe \"a\"");
  w.Fortschritt(200);
  w.Zeigen("Schreibe \"b\"");
  QVERIFY(w.isVisible() && w.ProgressBar1()->value() == 0);
  w.Verbergen();
  QVERIFY(!w.isVisible());
}

QTEST_MAIN(tst_TMainform)
#include "tst_TMainform.moc"
