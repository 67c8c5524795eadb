// The main window as a user meets it: start-up and options, refused,
// complete, stopped and closed runs, the sample year from loading to the
// finished run, the chart and its controls, the windows its commands open,
// and what it shows besides (message boxes, hourglass, model grid, writer window).
#include <QtCharts>

#include "Fensterhilfen.h"
#include "channel/UshowKanaldaten.h"
#include "location/klimaprofil.h"
#include "ui/Diagramm.h"
#include "ui/ModellGrid.h"
#include "ui/Tfrm_DBWriteerg.h"

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

// Values that tell where they came from: inlet 10 + h/10000, outlet of
// segment s = inlet + s, channel flow 0.5 m3/s.
float Ein(int tag, int stunde) { return 10.0f + StundenIndex(tag, stunde) / 10000.0f; }
void Kennwerte(Modell& m, int segmente) {
  m.Anz_Segmente = segmente;
  for (int h = 1; h <= Stunden; ++h) {
    m.Segmente[1].T_ein[h] = 10.0f + h / 10000.0f, m.VolStromStunde[h] = 0.5f;
    for (int s = 1; s <= segmente; ++s) m.Segmente[s].T_aus[h] = m.Segmente[1].T_ein[h] + s;
  }
}

}  // namespace

class tst_TMainform : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }
  void vollstaendigerLauf();
  void anhaltenUndSchliessen();
  void nichtGeschriebeneDateienWerdenGenannt();
  void laufMitBeispieldaten();
  void diagramm();
  void meldungenUndSanduhr();
};

void tst_TMainform::vollstaendigerLauf() {
  Aufbau a(3);
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  f.show();
  // The moisture step follows its list (locked without moisture); one output time opens the hour field.
  auto* schritt = Kind<QComboBox>(f, "cb_SoilmodRes");
  QList<int> sekunden;
  for (int i = 4; i >= 0; --i) schritt->setCurrentIndex(i), sekunden << m.FeuchteZeitschritt;
  QCOMPARE(sekunden, QList<int>({1, 60, 600, 1800, 3600}));
  QString felder = Frei(f, {"cb_SoilmodRes", "e_outputhour"});
  for (const char* n : {"cb_mitFeuchte", "rb_smalldataset"}) Klick(f, n);
  felder += Frei(f, {"cb_SoilmodRes", "e_outputhour"});
  for (const char* n : {"rb_fulldataset", "mpTextoutput", "cb_CreateTagesgang"}) Klick(f, n);
  Setze(f, "e_outputhour", "7"), Setze(f, "E_markseg", "3"), schritt->setCurrentIndex(2);
  // What the run start receives.
  const Laufoptionen o = f.OptionenAusSteuerung();
  QCOMPARE(felder + Frei(f, {"e_outputhour"}) + " " + QString::fromStdString(o.Stammname + "|" + o.MarkSegmentText + "|" + o.AusgabeStundeText),
           QString("10010 Terval|3|7"));
  QCOMPARE(QList<int>({o.NurEinTermin, o.TextAusgabe, o.Tagesgang, o.MitFeuchte, o.FeuchteZeitschritt}), QList<int>({0, 1, 1, 0, 600}));
  // Which commands and controls are usable, what is shown, and whether the climate viewer (opened as the menu does) may delete.
  auto zustand = [&] {
    QString z, loeschbar;
    for (const char* n : {"EKModellFDVerfahren1", "KlimaDatenbankladen1", "Standortprofilbearbeiten1",
                          "EWTDatenbearbeiten1", "CreateDataTemp", "CreateDataPerm", "KlimaDatenbankanzeigen1"})
      z += Befehl(f, n)->isEnabled() ? '1' : '0';
    z += Frei(f, {"bt_Standortprofil", "btEditEWTDaten", "e_output", "cb_SoilmodRes", "cbDisplaymode", "eShowSegnr"});
    for (const char* n : {"btStopsim", "pb_Fortschritt", "frmModellGrid"}) z += f.findChild<QWidget*>(n)->isVisible() ? " " + QString(n) : "";
    return z + " " + WennModal([&] { Befehl(f, "KlimaDatenbankanzeigen1")->trigger(); },
                               [&](QWidget* w) { loeschbar = Frei(*w, {"bcl3", "bcl4", "bcl5", "bcl6", "bcl8"}); }) + loeschbar;
  };
  const QString frei = "1111111111011 DBShowKlima11111";  // the moisture step locked without moisture
  QCOMPARE(zustand(), frei);
  // Between two segments nothing may change the model, the editors stay shut even when called directly.
  QStringList zwischen;
  a.ui.beiProcMsg = [&](int) {
    zwischen << zustand() + WennModal([&] { f.ShowStandortprofil(); }) + WennModal([&] { f.btEditEWTDatenClick(); });
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && a.ui.nachrichten.empty() && !QApplication::overrideCursor());
  QCOMPARE(zwischen, QStringList(3, "0000001000011 btStopsim pb_Fortschritt frmModellGrid DBShowKlima00000"));
  QCOMPARE(zustand(), frei);

  // Day courses, five fields of the marked segment; the writer window went along and is hidden again.
  const QStringList dateien = Dateien(dir.path());
  QVERIFY(dateien.size() == 17 && dateien.filter("Terval2D Feld Seg   3 Tag ").size() == 5 && dateien.contains("Terval Verlauf Tag 166.TXT"));
  QVERIFY(f.Schreibfenster()->Label1()->text().startsWith("Schreibe \"Terval") && f.Schreibfenster()->isHidden());
  // Segments drawn one after another, the last once more at the end; the chart shows the outlet.
  QCOMPARE(a.ui.gezeichneteSegmente, (std::vector<int>{1, 2, 3, 3}));
  QVERIFY(a.ui.status.front() == "Initialisierung..." && Label(f, "StatusBar1") == Banner && Kind<QSpinBox>(f, "eShowSegnr")->value() == 3);
  QCOMPARE(f.Chart()->Taus()->at(0).y(), double(m.Segmente[3].T_aus[StundenIndex(1, 13)]));
  // The model grid as the run left it: 10 x 10 pixels a cell, the ring red over all, pipe cells black.
  const QImage gitter = f.Gitterfenster()->grab().toImage();
  int abweichend = 0;
  for (int c = 0; c <= m.LetzteSpalte; ++c)
    for (int r = 0; r < Zeilen; ++r)
      abweichend += QColor(gitter.pixel(10 * c + 9, 10 * r)) != (m.RingMarke[c][r] == 1 ? Qt::red : m.ZellTyp[c][r] == 1 ? Qt::black : Qt::white);
  QVERIFY(a.ui.gridBilder == 3 && m.LetzteSpalte > 0 && gitter.size() == QSize(10 * m.LetzteSpalte + 20, 180) && abweichend == 0);
  m.LetzteSpalte = -3, f.Gitterfenster()->ZeigeGitter(m);  // a grid never built: one column
  QCOMPARE(f.Gitterfenster()->width(), 20);
  // The editor adds segments; the window follows the channel.
  m.Rohrdaten.Seglaenge = 1.5f;
  WennModal([&] { Klick(f, "btEditEWTDaten"); }, [&](QWidget* editor) {
    Setze(*editor, "e_addsegment", "9"), Klick(*editor, "bt_addsegment"), Klick(*editor, "btClose");
  });
  QVERIFY(m.Anz_Segmente == 12 && Kind<QSpinBox>(f, "eShowSegnr")->maximum() == 12);
  QCOMPARE(Label(f, "l_segmentzahl"), QString("Aktuelle Länge des Kanals: 12 Segmente (=18.00 m)"));
}

void tst_TMainform::anhaltenUndSchliessen() {
  Aufbau a(3);
  Prueffenster& f = *a.f;
  f.show();
  auto* stop = Kind<QPushButton>(f, "btStopsim");
  // Stopped after the first segment: the pressed button greys out at once.
  bool gesperrt = false;
  a.ui.beiProcMsg = [&](int) {
    if (a.ui.gezeichneteSegmente == std::vector<int>{1}) stop->click(), gesperrt = !stop->isEnabled();
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Warnung", "Die Simulation wurde vom Anweder abgebrochen !"}}));
  QCOMPARE(a.ui.gezeichneteSegmente, std::vector<int>{1});  // no redraw after the stop
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Abgebrochen && a.ui.status.back() == "Rechne Segment 1");
  QVERIFY(gesperrt && stop->isHidden() && !f.Gitterfenster()->isVisible() && !QApplication::overrideCursor() &&
          Dateien(dir.path()).isEmpty() && Befehl(f, "EKModellFDVerfahren1")->isEnabled());
  // Closed during the next run (the stop button live again): the window stays until the segment is done.
  bool frei = false, offen = false;
  a.ui.beiProcMsg = [&](int) { frei = stop->isEnabled(), f.close(), offen = f.isVisible(); };
  Starte(a, dir.path()), QCoreApplication::processEvents();
  QVERIFY(frei && offen && !f.isVisible() && f.LetzterLauf().ergebnis == Laufergebnis::Abgebrochen && Dateien(dir.path()).isEmpty());
}

void tst_TMainform::nichtGeschriebeneDateienWerdenGenannt() {
  // A stem in a folder that does not exist: the finished run must not look like a finished job.
  Aufbau a(2);
  Klick(*a.f, "mpTextoutput"), Setze(*a.f, "e_output", "fehlt/Terval");
  QTemporaryDir dir;
  Starte(a, dir.path());
  const std::vector<std::string> warnung = a.ui.Texte("Warnung");
  QVERIFY(a.f->LetzterLauf().ergebnis == Laufergebnis::Fertig && Dateien(dir.path()).isEmpty() && warnung.size() == 1);
  QCOMPARE(warnung[0], "Folgende Ergebnisdateien konnten nicht in \"" + StdText(QDir(dir.path()).absolutePath()) +
                           "\" geschrieben werden:\rfehlt/Terval Gesamtergebnis.TXT\rfehlt/Terval Kanal Tag 14.TXT\rfehlt/Terval "
                           "Kanal Tag 74.TXT\rfehlt/Terval Kanal Tag 166.TXT\rfehlt/Terval Kanal Tag 225.TXT\rfehlt/Terval Kanal Tag 258.TXT"
                           "\rfehlt/Terval Hydraulik.TXT");
}

void tst_TMainform::laufMitBeispieldaten() {
  // The road a user takes with the shipped samples, from the start-up and a climate table that cannot be
  // read to a run with text output. The pictures of the chart's three modes go to the build folder
  // (scripts/bildschirmfotos.sh renews docs/ with them).
  const QString daten = TERVAL_DATENVERZEICHNIS;
  Aufbau a;
  QVERIFY2(a.gestartet, "SOILS.DAT und Rohre.DBF müssen im Datenverzeichnis des Builds liegen");
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  QStringList texte{Kind<QGroupBox>(f, "gb_locdata")->title()};
  for (const char* n : {"StatusBar1", "l_display", "l_DBKlimaName", "l_tmittelmessort", "L_tmaxmessort", "l_segmentzahl"})
    texte << Label(f, n);
  for (const char* n : {"e_display", "e_output", "E_markseg", "e_outputhour"}) texte << Text(f, n);
  QCOMPARE(texte, (QStringList{"Klimadaten von Testort (Bochum,D)", Banner, "Angezeigte Stunde:", "<keine>",
                               "Mitteltemperatur am Messort: 7.0", "Mittlere Maximaltemperatur am Messort: 18.0",
                               "Aktuelle Länge des Kanals: (kein Kanal)", "13", "Terval", "-1", "12"}));
  auto* tb = Kind<QSlider>(f, "tb_display");
  QCOMPARE(QList<int>({tb->minimum(), tb->maximum(), tb->value(), m.FeuchteZeitschritt}), QList<int>({0, 23, 13, 3600}));
  for (const char* n : {"l_Tluft", "L_rfeuchte", "L_wind", "l_strahlung", "l_ns"}) QCOMPARE(Farbe(f, n), Dunkelrot);
  QVERIFY(Kind(f, "btStopsim")->isHidden() && !f.Chart()->Monat(1)->chart() && !f.Chart()->AchseW()->isVisible());

  m.ErgebnisseVorhanden = true, f.klimadatei = daten + "/gibt es nicht.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QTest::mouseDClick(f.Chart()->viewport(), Qt::LeftButton);  // the viewer has nothing to show
  const std::vector<std::string> fehler = a.ui.Texte("Fehler");
  QCOMPARE(std::vector<std::string>(fehler.end() - 2, fehler.end()), (std::vector<std::string>{
      "Klimadatenbank konnte nicht gelesen werden !", "Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !"}));
  QVERIFY(Label(f, "l_DBKlimaName") == "<keine>" && m.ErgebnisseVorhanden && !m.KlimaGueltig);
  QVERIFY(LadeStandortdatei(m, f.UI(), StdText(daten + "/Bochum.loc.db")) && LadeKanaldatei(m, f.UI(), StdText(daten + "/Erdkanal.ewt.db")));
  f.klimadatei = daten + "/Aachen2022.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QVERIFY(m.KlimaGueltig && !m.KlimaKomplett && !m.ErgebnisseVorhanden && f.Chart()->Tin()->count() == 365 && f.Chart()->Taus()->count() == 0);
  // 11.63 degC is the year's mean of the measured air temperature; the year has no precipitation.
  QCOMPARE(Label(f, "l_DBKlimaName") + "|" + Label(f, "l_tmittelmessort"), f.klimadatei + "|Mitteltemperatur am Messort: 11.6");
  QVERIFY(Farbe(f, "l_Tluft") == Gruen && Farbe(f, "l_ns") == Dunkelrot);

  QTemporaryDir dir;
  a.ui.nachrichten.clear();
  Starte(a, dir.path());
  QVERIFY(a.ui.nachrichten.size() == 1 && a.ui.nachrichten[0].text.starts_with("Der aktuelle Klimadatensatz enthält noch fehlende"));
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Abgelehnt && Dateien(dir.path()).isEmpty() && Befehl(f, "EKModellFDVerfahren1")->isEnabled());
  // Writing back asks first and "No" changes nothing; in memory it completes the year.
  Befehl(f, "CreateDataPerm")->trigger();
  const bool ohneJa = !m.KlimaKomplett;
  Befehl(f, "CreateDataTemp")->trigger();
  QVERIFY(ohneJa && a.ui.Texte("Frage").size() == 1 && m.KlimaKomplett && Farbe(f, "l_ns") == Gruen);
  a.ui.nachrichten.clear();
  Klick(f, "mpTextoutput"), Klick(f, "cbShowEnergie");
  f.resize(1280, 800);
  f.show();
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && a.ui.nachrichten.empty());
  QVERIFY(Dateien(dir.path()).size() == 7 && a.ui.gezeichneteSegmente.size() == 36 && Kind<QSpinBox>(f, "eShowSegnr")->value() == 35);
  // The fan's figures of the run stay in the status bar.
  const QString ventilator = Kind<QLabel>(f, "l_Ventilator")->text();
  QVERIFY2(ventilator.startsWith("Druckverlust bei Basis-Volumenstrom: ") && ventilator.contains(" Pa   Ventilatorenergie: ") &&
               ventilator.contains(" kWh   Arbeitszahl: ") && f.LetzterLauf().ventilator.energie > 0,
           qPrintable(ventilator));
  // Winter air leaves the channel warmer than it entered, summer air cooler.
  const int januar = StundenIndex(15, 7), juli = StundenIndex(196, 15);
  QVERIFY(m.Segmente[35].T_aus[januar] > m.Segmente[1].T_ein[januar] && m.Segmente[35].T_aus[juli] < m.Segmente[1].T_ein[juli]);
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
  auto* tb = Kind<QSlider>(f, "tb_display");
  auto zeige = [&](int modus, const char* eingabe) {
    if (modus >= 0) Kind<QComboBox>(f, "cbDisplaymode")->setCurrentIndex(modus);
    if (*eingabe) Setze(f, "e_display", eingabe), QTest::keyClick(Kind(f, "e_display"), Qt::Key_Return);
    return Label(f, "l_display") + Text(f, "e_display") + QString(" %1-%2").arg(tb->minimum()).arg(tb->maximum());
  };
  Kennwerte(*a.m, 10);
  // Before a run only the inlet, day d at 13 h as point d - 1; with results outlet, warming and the power
  // 1200 J/(m3 K) x 0.5 m3/s x 3 K on its own axis.
  f.DrawSegment(2);
  QVERIFY(d->Tin()->at(364) == QPointF(364, Ein(365, 13)) && d->Tin()->count() == 365 && d->Taus()->count() + d->Energie()->count() == 0);
  a.m->ErgebnisseVorhanden = true;
  Klick(f, "cbShowEnergie"), f.DrawSegment(3);
  QCOMPARE(d->Taus()->at(99).y(), double(Ein(100, 13) + 3));
  QVERIFY(qAbs(d->Tdelta()->at(99).y() - 3) < 1e-3 && qAbs(d->Energie()->at(99).y() - 1800) < 0.01 && d->AchseW()->isVisible());
  // The day course, day 166 at first, a day beyond the year as the last; along the channel twelve months
  // (day 30 (m - 1) + 15), hour 24 as 12.
  QCOMPARE(zeige(1, ""), QString("Angezeigter Tag:166 1-365"));
  QVERIFY(d->Tin()->at(23) == QPointF(23, Ein(166, 23)) && d->Taus()->count() == 24);
  QVERIFY(zeige(-1, "400").endsWith("400 1-365") && d->Tin()->at(0).y() == double(Ein(365, 0)));  // the last day
  f.Updatedisplay();  // ten segments to choose from
  QCOMPARE(zeige(2, ""), QString("Angezeigte Stunde:13 0-23"));
  QVERIFY(!Kind(f, "eShowSegnr")->isEnabled() && !d->Energie()->isVisible() && !d->Tin()->chart());
  for (int monat = 1; monat <= 12; ++monat) QCOMPARE(d->Monat(monat)->at(9), QPointF(9, Ein(30 * (monat - 1) + 15, 13) + 10));
  QVERIFY(zeige(-1, "24") == "Angezeigte Stunde:12 0-23" && tb->value() == 12 && d->Monat(1)->at(0).y() == double(Ein(15, 12) + 1));
  // Back to the year course the months leave; the track bar copies its position, the chart waits for Enter.
  QVERIFY(zeige(0, "") == "Angezeigte Stunde:13 0-23" && !d->Monat(1)->chart() && d->Tin()->chart() == d->chart() && d->Energie()->isVisible());
  tb->setValue(7);
  QVERIFY(Text(f, "e_display") == "7" && d->Tin()->at(0).y() == double(Ein(1, 13)));
  zeige(-1, "abc");  // no number: the bar stays, the chart follows the last position
  QVERIFY(tb->value() == 7 && d->Tin()->at(0).y() == double(Ein(1, 7)));
  // The chosen segment is drawn; beyond the channel nothing; "neuzeichnen" takes new data; segment 0
  // changes only the visibility.
  Kind<QSpinBox>(f, "eShowSegnr")->setValue(4);
  a.m->Segmente[4].T_aus[StundenIndex(1, 7)] = 99, f.DrawSegment(11);
  QCOMPARE(d->Taus()->at(0).y(), double(Ein(1, 7) + 4));
  Klick(f, "bt_Redraw");
  Kind<QCheckBox>(f, "cb_tout")->setChecked(false), f.DrawSegment(0);
  QVERIFY(!d->Taus()->isVisible() && d->Taus()->at(0).y() == 99);
  // Copied on white; the window's chart stays silver.
  Klick(f, "bt_CopyChart");
  QVERIFY(QColor(QGuiApplication::clipboard()->image().pixel(2, 2)) == Qt::white && a.ui.Texte("Information").size() == 1 &&
          d->chart()->backgroundBrush().color() == QColor(192, 192, 192));
}

void tst_TMainform::meldungenUndSanduhr() {
  // Without a recorder every message is a box: symbol, title, line breaks, buttons, and over the hourglass
  // (only there) the arrow; the hourglass counts, surplus "off"s take no cursor that someone else set.
  auto m = NeuesModell();
  TMainform f(*m);
  Oberflaeche& ui = f.UI();
  QStringList gesehen;
  auto beantworte = [&gesehen](const QString& knopf) {
    Sobald(qApp, [&gesehen, knopf] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      gesehen << QString("%1 %2 %3: %4 ").arg(QApplication::overrideCursor()->shape()).arg(int(box->icon())).arg(box->windowTitle(), box->text());
      for (QAbstractButton* b : box->buttons()) gesehen.last() += b->text() == knopf ? "[" + b->text() + "]" : b->text();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == knopf) b->click();
    });
  };
  QApplication::setOverrideCursor(Qt::CrossCursor);
  for (auto meldung : {&Oberflaeche::Fehler, &Oberflaeche::Warnung, &Oberflaeche::Information, &Oberflaeche::Meldung})
    beantworte("OK"), (ui.*meldung)("Zeile 1\rZeile 2"), ui.Sanduhr(true);
  beantworte("&Nein");
  const bool nein = ui.Frage("Wollen Sie ?");
  beantworte("&Ja");
  QVERIFY(!nein && ui.Frage("Wollen Sie ?") && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
  QCOMPARE(gesehen, (QStringList{"2 3 Fehler: Zeile 1\nZeile 2 [OK]", "0 2 Warnung: Zeile 1\nZeile 2 [OK]",
                                 "0 1 Information: Zeile 1\nZeile 2 [OK]", "0 0 Terval: Zeile 1\nZeile 2 [OK]",
                                 "0 4 Bestätigung: Wollen Sie ? &Ja[&Nein]", "0 4 Bestätigung: Wollen Sie ? [&Ja]&Nein"}));
  for (int i = 0; i < 5; ++i) ui.Sanduhr(false);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
}

QTEST_MAIN(tst_TMainform)
#include "tst_TMainform.moc"
