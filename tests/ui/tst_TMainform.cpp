// The main window as a user meets it: start-up and options, refused,
// complete, stopped and closed runs, the sample year from loading to the
// finished run, the chart and its controls, the windows its commands open,
// and what it shows besides (message boxes, hourglass, model grid, writer window).
#include <QtCharts>

#include "Fensterhilfen.h"
#include "channel/UshowKanaldaten.h"
#include "core/Cor_mod.h"
#include "location/klimaprofil.h"
#include "output/DBErgout.h"
#include "output/Jahresbilanz.h"
#include "ui/Diagramm.h"
#include "ui/Jahresblick.h"
#include "ui/ModellGrid.h"
#include "ui/Tfrm_DBWriteerg.h"

namespace {

const QString Banner = "Terval 1.00 h  v. 10.08.04";
const QColor Gruen(0, 128, 0), Dunkelrot(128, 0, 0);

QString Label(const QWidget& f, const char* name) { return Kind<QLabel>(f, name)->text(); }
QStringList Dateien(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }
QColor Farbe(const QWidget& f, const char* label) { return Kind(f, label)->palette().color(QPalette::WindowText); }

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
  void mehrereJahre();
};

void tst_TMainform::vollstaendigerLauf() {
  Aufbau a(3);
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  f.show();
  for (const char* n : {"mpTextoutput", "cb_CreateTagesgang"}) Klick(f, n);
  Setze(f, "E_markseg", "3");
  // Between two segments nothing may change the model, the editors stay shut even when called directly.
  auto frei = [&] {
    return Frei(f, {"bt_Standortprofil", "btEditEWTDaten", "e_output"}) + (Befehl(f, "EKModellFDVerfahren1")->isEnabled() ? "1" : "0");
  };
  QStringList zwischen;
  a.ui.beiProcMsg = [&](int) {
    zwischen << frei() + WennModal([&] { f.ShowStandortprofil(); }) + WennModal([&] { f.btEditEWTDatenClick(); });
  };
  QTemporaryDir dir;
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && a.ui.nachrichten.empty() && !QApplication::overrideCursor());
  // Locked after each of the three segments and between the writers, free again afterwards.
  QVERIFY(zwischen.size() > 4 && zwischen == QStringList(zwischen.size(), "0000") && frei() == "1111");
  // Day courses, five fields of the marked segment; the writer window was shown before writing and is hidden again.
  const QStringList dateien = Dateien(dir.path());
  QVERIFY(dateien.size() == 17 && dateien.filter("Terval2D Feld Seg   3 Tag ").size() == 5 && a.ui.gridBilder == 3);
  QVERIFY(f.Schreibfenster()->Label1()->text().startsWith("Schreibe \"Terval") && f.Schreibfenster()->isHidden());
  // Segments drawn one after another, the last once more at the end.
  QCOMPARE(a.ui.gezeichneteSegmente, (std::vector<int>{1, 2, 3, 3}));
  // The year at a glance: the bars are the months' heat, adding up to the year; the curve is the sorted outlet.
  const Jahresblick& j = *f.Jahresueberblick();
  const Monatswaerme w = Monatsbilanz(m);
  const Jahreszeile z = Jahresbilanz(m);
  double gewinn = 0, abgabe = 0;
  for (int i = 0; i < 12; ++i) {
    QVERIFY(j.Gewinn()->at(i) == w.Gewinn_kWh[i] && j.Abgabe()->at(i) == w.Abgabe_kWh[i]);
    gewinn += j.Gewinn()->at(i), abgabe += j.Abgabe()->at(i);
  }
  QVERIFY(j.Gewinn()->count() == 12 && gewinn + abgabe > 0);
  QVERIFY(qAbs(gewinn - z.Gewinn_kWh) <= 1e-9 * (1 + z.Gewinn_kWh) && qAbs(abgabe - z.Abgabe_kWh) <= 1e-9 * (1 + z.Abgabe_kWh));
  std::vector<float> aus(m.Segmente[3].T_aus.begin() + 1, m.Segmente[3].T_aus.end());
  std::sort(aus.begin(), aus.end(), std::greater<>());
  QCOMPARE(j.DauerAus()->count(), Stunden);
  std::vector<float> ein(m.Segmente[1].T_ein.begin() + 1, m.Segmente[1].T_ein.end());
  std::sort(ein.begin(), ein.end(), std::greater<>());
  QCOMPARE(j.DauerEin()->count(), Stunden);
  for (int i = 0; i < Stunden; ++i) QVERIFY(j.DauerAus()->at(i) == QPointF(i + 1, aus[i]) && j.DauerEin()->at(i) == QPointF(i + 1, ein[i]));
  const int kalt = int(std::count_if(aus.begin(), aus.end(), [](float t) { return t < 0; }));
  const auto ueber = [&](int grenze) { return int(std::count_if(aus.begin(), aus.end(), [&](float t) { return t > grenze; })); };
  QCOMPARE(j.Stundenzahl()->text(), QString("Stunden mit Taus unter 0 °C: %1     über 26 °C: %2").arg(kalt).arg(ueber(26)));
  const int mitte = int(std::lround(aus[Stunden / 2]));
  j.Grenze()->setValue(mitte);
  QCOMPARE(j.Stundenzahl()->text(), QString("Stunden mit Taus unter 0 °C: %1     über %2 °C: %3").arg(kalt).arg(mitte).arg(ueber(mitte)));
  QVERIFY(ueber(mitte) > 0 && ueber(mitte) < Stunden);
  // The editor adds segments; the window follows the channel.
  m.Rohrdaten.Seglaenge = 1.5f;
  WennModal([&] { Klick(f, "btEditEWTDaten"); }, [&](QWidget* editor) {
    Setze(*editor, "e_addsegment", "9"), Klick(*editor, "bt_addsegment"), Klick(*editor, "btClose");
  });
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
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Abgebrochen && a.ui.status.back() == TMainform::Gestoppt);
  QVERIFY(gesperrt && stop->isHidden() && !f.Gitterfenster()->isVisible() && !QApplication::overrideCursor() &&
          Dateien(dir.path()).isEmpty() && Befehl(f, "EKModellFDVerfahren1")->isEnabled());
  // Stopped within the first segment (day 20, after the field of reference day 14 was written): the half
  // segment is neither drawn nor written, the earlier field file is back.
  const QString feld = dir.filePath(QString::fromStdString(FeldDateiname("Terval", 1, 14)));
  QFile alt(feld);
  QVERIFY(alt.open(QIODevice::WriteOnly) && alt.write("alt") == 3);
  alt.close();
  Setze(f, "E_markseg", "1"), a.ui.beiProcMsg = {}, a.ui.gezeichneteSegmente.clear();
  QMetaObject::Connection tag20 = connect(Kind<QProgressBar>(f, "pb_Fortschritt"), &QProgressBar::valueChanged, [&](int d) {
    if (d == 20) stop->click();
  });
  Starte(a, dir.path());
  disconnect(tag20);
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Abgebrochen && a.ui.gezeichneteSegmente.empty());
  QVERIFY(Dateien(dir.path()) == QStringList{QFileInfo(feld).fileName()} && alt.open(QIODevice::ReadOnly) && alt.readAll() == "alt");
  QFile::remove(feld), Setze(f, "E_markseg", "-1");
  // Closed during the next run (the stop button live again): asked first, "No" runs on; after "Yes" the window
  // stays until the run has ended.
  bool frei = false, offen = false;
  a.ui.antworten = {false, true};
  a.ui.beiProcMsg = [&](int) { frei = stop->isEnabled(), f.close(), offen = f.isVisible(); };
  Starte(a, dir.path()), QCoreApplication::processEvents();
  QVERIFY(frei && offen && !f.isVisible() && f.LetzterLauf().ergebnis == Laufergebnis::Abgebrochen && Dateien(dir.path()).isEmpty());
  QVERIFY(a.ui.Texte("Frage") == std::vector<std::string>(2, TMainform::SchliessenFrage) && a.ui.gezeichneteSegmente.size() == 2);
}

void tst_TMainform::nichtGeschriebeneDateienWerdenGenannt() {
  // A stem in a folder that does not exist: refused before a year is computed for nothing.
  Aufbau a(2);
  Klick(*a.f, "mpTextoutput"), Setze(*a.f, "e_output", "fehlt/Terval");
  QTemporaryDir dir;
  Starte(a, dir.path());
  const std::vector<std::string> fehler = a.ui.Texte("Fehler");
  QVERIFY(a.f->LetzterLauf().ergebnis == Laufergebnis::Abgelehnt && Dateien(dir.path()).isEmpty() && fehler.size() == 1);
  QCOMPARE(fehler[0], "Die Ergebnisdateien \"fehlt/Terval …\" können nicht in \"" + StdText(QDir(dir.path()).absolutePath()) +
                          "/fehlt\" geschrieben werden: Datei oder Verzeichnis nicht vorhanden.");
}

void tst_TMainform::laufMitBeispieldaten() {
  // The road a user takes with the shipped samples, from a climate table that cannot be read to a run with
  // text output. The pictures of the chart's three modes go to the build folder (scripts/bildschirmfotos.sh).
  const QString daten = TERVAL_DATENVERZEICHNIS;
  Aufbau a;
  QVERIFY2(a.gestartet, "SOILS.DAT und Rohre.DBF müssen im Datenverzeichnis des Builds liegen");
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  auto* tb = Kind<QSlider>(f, "tb_display");
  QCOMPARE(QList<int>({tb->minimum(), tb->maximum(), tb->value(), m.FeuchteZeitschritt}), QList<int>({0, 23, 13, 3600}));
  // The open dialogs start where the samples lie; a missing reference file ends the start-up with a second line
  // that names the folders searched.
  QCOMPARE(QString::fromStdString(m.Startverzeichnis), daten);
  auto m2 = NeuesModell();
  Aufzeichner ui2;
  Prueffenster f2(*m2, &ui2);
  f2.fehlend = {"Rohre.DBF"};
  QVERIFY(!f2.FormCreate() && ui2.Texte("Fehler").size() == 1 && ui2.Texte("Fehler")[0].ends_with(
      "\rGesucht in: " + StdText(QCoreApplication::applicationDirPath()) + ", " +
      StdText(QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/terval"))));
  QVERIFY(Kind(f, "btStopsim")->isHidden() && !f.Chart()->Monat(1)->chart() && !f.Chart()->AchseW()->isVisible());

  m.ErgebnisseVorhanden = true, f.klimadatei = daten + "/gibt es nicht.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QTest::mouseDClick(f.Chart()->viewport(), Qt::LeftButton);  // no table named: nothing opens
  Befehl(f, "KlimaDatenbankanzeigen1")->trigger();  // the viewer has nothing to show
  const std::vector<std::string> fehler = a.ui.Texte("Fehler");
  QCOMPARE(std::vector<std::string>(fehler.end() - 2, fehler.end()), (std::vector<std::string>{
      "Klimadatenbank konnte nicht gelesen werden !", "Sie haben noch keine gültige Datenbank mit Klimadaten ausgewählt !"}));
  QVERIFY(Label(f, "l_DBKlimaName") == "<keine>" && m.ErgebnisseVorhanden && !m.KlimaGueltig);
  QVERIFY(LadeStandortdatei(m, f.UI(), StdText(daten + "/Bochum.loc.db")) && LadeKanaldatei(m, f.UI(), StdText(daten + "/Erdkanal.ewt.db")));
  f.ZeigeKanallaenge();  // as the channel editor does when it closes
  f.klimadatei = daten + "/Aachen2022.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QVERIFY(m.KlimaGueltig && !m.KlimaKomplett && !m.ErgebnisseVorhanden && f.Chart()->Tin()->count() == 365 && f.Chart()->Taus()->count() == 0);
  // 11.63 degC is the year's mean of the measured air temperature; the year has no precipitation.
  QCOMPARE(Label(f, "l_DBKlimaName") + "|" + Label(f, "l_tmittelmessort"), f.klimadatei + "|Mitteltemperatur am Messort: 11.6");
  QVERIFY(Farbe(f, "l_Tluft") == Gruen && Farbe(f, "l_ns") == Dunkelrot);
  // A file that is no climate table is refused and leaves the year loaded and named, labels, means and chart.
  f.klimadatei = daten + "/Erdkanal.ewt.db";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QCOMPARE(Label(f, "l_DBKlimaName") + "|" + Label(f, "l_tmittelmessort"), daten + "/Aachen2022.DBF|Mitteltemperatur am Messort: 11.6");
  QVERIFY(m.KlimaGueltig && Farbe(f, "l_Tluft") == Gruen && f.Chart()->Tin()->count() == 365);

  QTemporaryDir dir;
  a.ui.nachrichten.clear();
  Starte(a, dir.path());
  QVERIFY(a.ui.nachrichten.size() == 1 && f.LetzterLauf().ergebnis == Laufergebnis::Abgelehnt && Dateien(dir.path()).isEmpty());
  // Writing back asks first and "No" changes nothing; in memory it completes the year.
  Befehl(f, "CreateDataPerm")->trigger();
  const bool ohneJa = !m.KlimaKomplett;
  Befehl(f, "CreateDataTemp")->trigger();
  QVERIFY(ohneJa && a.ui.Texte("Frage").size() == 1 && m.KlimaKomplett);
  a.ui.nachrichten.clear();
  Klick(f, "mpTextoutput"), Klick(f, "cbShowEnergie");
  // On a screen of 1024 x 640 the window fits with its progress and stop button in sight.
  f.resize(1024, 640);
  f.show();
  bool imBlick = false;
  QPixmap bildImLauf;  // saved after the run: the run's working directory is the results folder
  a.ui.beiProcMsg = [&](int segment) {
    if (segment == 5) imBlick = Kind(f, "pb_Fortschritt")->isVisible() && Kind(f, "btStopsim")->isVisible(), bildImLauf = f.grab();
  };
  Starte(a, dir.path());
  a.ui.beiProcMsg = {};
  QVERIFY(f.size() == QSize(1024, 640) && imBlick);
  QVERIFY(bildImLauf.save(qEnvironmentVariable("TERVAL_BILDVERZEICHNIS", ".") + "/hauptfenster-lauf.png"));
  f.resize(1280, 800);
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
  // The year course follows the slider once it rests, and says what it shows.
  Kind<QComboBox>(f, "cbDisplaymode")->setCurrentIndex(0);
  Kind<QSlider>(f, "tb_display")->setValue(8);
  QTRY_COMPARE(f.Chart()->chart()->title(), QString("EWT-Betrieb: Segment 35, Jahresverlauf um 8 Uhr"));
  QVERIFY(Bild(*f.Chart(), "diagramm-schieber.png"));
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
  QVERIFY(d->Tin()->at(364) == QPointF(364, Ein(365, 13)) && d->Taus()->count() + d->Energie()->count() == 0);
  a.m->ErgebnisseVorhanden = true;
  Klick(f, "cbShowEnergie"), f.DrawSegment(3);
  QCOMPARE(d->Taus()->at(99).y(), double(Ein(100, 13) + 3));
  QVERIFY(qAbs(d->Energie()->at(99).y() - 1800) < 0.01 && d->AchseW()->isVisible());
  // The day course, day 166 at first; along the channel twelve months (day 30 (m - 1) + 15), hour 24 as 12.
  QCOMPARE(zeige(1, ""), QString("Angezeigter Tag:166 1-365"));
  QVERIFY(d->Tin()->at(23) == QPointF(23, Ein(166, 23)) && d->Taus()->count() == 24);
  f.Updatedisplay();  // ten segments to choose from
  QCOMPARE(zeige(2, ""), QString("Angezeigte Stunde:13 0-23"));
  QVERIFY(!Kind(f, "eShowSegnr")->isEnabled() && !d->Energie()->isVisible() && !d->Tin()->chart());
  for (int monat = 1; monat <= 12; ++monat) QCOMPARE(d->Monat(monat)->at(9), QPointF(9, Ein(30 * (monat - 1) + 15, 13) + 10));
  QVERIFY(zeige(-1, "24") == "Angezeigte Stunde:12 0-23" && tb->value() == 12 && d->Monat(1)->at(0).y() == double(Ein(15, 12) + 1));
  // Back to the year course the months leave; the track bar copies its position, the chart waits for Enter.
  QVERIFY(zeige(0, "") == "Angezeigte Stunde:13 0-23" && !d->Monat(1)->chart() && d->Tin()->chart() == d->chart() && d->Energie()->isVisible());
  tb->setValue(7);
  QVERIFY(Text(f, "e_display") == "7" && d->Tin()->at(0).y() == double(Ein(1, 13)));
  zeige(-1, "abc");  // no number: the bar stays, the chart follows the last position, the field is red
  QVERIFY(tb->value() == 7 && d->Tin()->at(0).y() == double(Ein(1, 7)) && !Kind(f, "e_display")->toolTip().isEmpty());
  // Moved alone, the slider redraws once it rests: the title names segment and hour, the x axis what it counts;
  // the temperature axis (curves from 3 to 13.9) keeps round ticks at multiples of its step.
  tb->setValue(9);
  QVERIFY(Kind(f, "e_display")->toolTip().isEmpty());
  QTRY_VERIFY(d->Tin()->at(0).y() == double(Ein(1, 9)));
  QCOMPARE(d->chart()->title() + " | " + d->AchseX()->titleText(), QString("EWT-Betrieb: Segment 3, Jahresverlauf um 9 Uhr | Tage seit Jahresbeginn"));
  const double schritt = d->AchseT()->tickInterval();
  QVERIFY(d->AchseT()->tickType() == QValueAxis::TicksDynamic && schritt == 2 && d->AchseT()->min() == 2 && d->AchseT()->max() == 14);
  tb->setValue(7);
  QTRY_VERIFY(d->Tin()->at(0).y() == double(Ein(1, 7)));
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
  // Saved as data: the shown series (Tin and Tdelta, Taus is hidden) read back point for point, with units.
  QTemporaryDir ordner;
  auto speichere = [&](const char* knopf, const QString& name) {
    f.speicherdatei = name.isEmpty() ? QString() : ordner.filePath(name);
    Klick(f, knopf);
    QFile datei(f.speicherdatei);
    return !name.isEmpty() && datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray();
  };
  const QStringList zeilen = QString::fromUtf8(speichere("bt_SaveChartData", "kurven.csv")).split('\n', Qt::SkipEmptyParts);
  QCOMPARE(zeilen.value(0), QString("Tage seit Jahresbeginn (d);Tin (°C);Tdelta (K);Energie (W)"));
  QCOMPARE(zeilen.size(), 366);
  for (int i = 0; i < 365; ++i) {
    const QStringList z = zeilen[i + 1].split(';');
    QVERIFY(z.size() == 4 && z[0].toDouble() == i);
    for (auto [spalte, reihe] : {std::pair{1, d->Tin()}, {2, d->Tdelta()}, {3, d->Energie()}}) QCOMPARE(z[spalte].toDouble(), reihe->at(i).y());
  }
  // Saved as pictures: a PNG of the chart's size on white, an SVG that parses to its end with a path per
  // series; an unknown ending, a cancelled dialog or an unwritable place write nothing and say so.
  const QImage png = QImage::fromData(speichere("bt_SaveChartImage", "bild.png"), "PNG");
  QVERIFY(png.size() == d->size() && QColor(png.pixel(2, 2)) == Qt::white);
  // The SVG draws a line as strokes from point to point in the series' colour, each group moved by its
  // matrix; collect the strokes' starts per colour.
  QXmlStreamReader svg(speichere("bt_SaveChartImage", "bild.svg"));
  QList<std::pair<QString, QPointF>> gruppe{{"", QPointF()}};
  QHash<QString, QList<QPointF>> striche;
  while (!svg.atEnd()) {
    const auto art = svg.readNext();
    const QXmlStreamAttributes attr = svg.attributes();
    if (art == QXmlStreamReader::StartElement && svg.name() == u"svg")
      QCOMPARE(attr.value("viewBox").toString(), QString("0 0 %1 %2").arg(d->width()).arg(d->height()));
    if (art == QXmlStreamReader::StartElement && svg.name() == u"g") {
      const QStringList matrix = attr.value("transform").toString().remove(")").split(',');
      gruppe << std::pair{attr.hasAttribute("stroke") ? attr.value("stroke").toString() : gruppe.last().first,
                          matrix.size() == 6 ? QPointF(matrix[4].toDouble(), matrix[5].toDouble()) : gruppe.last().second};
    } else if (art == QXmlStreamReader::EndElement && svg.name() == u"g") {
      gruppe.removeLast();
    } else if (art == QXmlStreamReader::StartElement && svg.name() == u"polyline") {
      const QStringList xy = attr.value("points").toString().section(' ', 0, 0).split(',');
      striche[gruppe.last().first] << gruppe.last().second + QPointF(xy.value(0).toDouble(), xy.value(1).toDouble());
    }
  }
  QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
  for (QLineSeries* r : {d->Tin(), d->Tdelta(), d->Energie()}) {
    const QList<QPointF> p = striche.value(r->pen().color().name());
    QCOMPARE(p.size(), r->count() - 1);
    for (int i = 0; i < p.size(); ++i) {
      const QPointF soll = d->chart()->mapToPosition(r->at(i), r);
      QVERIFY2(qAbs(p[i].x() - soll.x()) < 0.01 && qAbs(p[i].y() - soll.y()) < 0.01, qPrintable(r->name()));
    }
  }
  const size_t fehler = a.ui.Texte("Fehler").size();
  QVERIFY(speichere("bt_SaveChartImage", "bild.jpg").isEmpty() && speichere("bt_SaveChartImage", "").isEmpty());
  QVERIFY(speichere("bt_SaveChartData", "fehlt/kurven.csv").isEmpty() && a.ui.Texte("Fehler").size() == fehler + 2);
}

void tst_TMainform::meldungenUndSanduhr() {
  // Without a recorder every message is a box: symbol, title, line breaks, a sign that never wraps alone ("_"
  // marks the non-breaking space), buttons, and over the hourglass
  // (only there) the arrow; the hourglass counts, surplus "off"s take no cursor that someone else set.
  auto m = NeuesModell();
  TMainform f(*m);
  Oberflaeche& ui = f.UI();
  QStringList gesehen;
  auto beantworte = [&gesehen](const QString& knopf) {
    Sobald(qApp, [&gesehen, knopf] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      gesehen << QString("%1 %2 %3: %4 ").arg(QApplication::overrideCursor()->shape()).arg(int(box->icon())).arg(box->windowTitle(), QString(box->text()).replace(QChar(0xA0), "_"));
      for (QAbstractButton* b : box->buttons()) gesehen.last() += b->text() == knopf ? "[" + b->text() + "]" : b->text();
      if (knopf == "Enter") QTest::keyClick(box, Qt::Key_Return);
      for (QAbstractButton* b : box->buttons())
        if (b->text() == knopf) b->click();
    });
  };
  QApplication::setOverrideCursor(Qt::CrossCursor);
  ui.Sanduhr(true), beantworte("OK"), ui.Warnung("Zeile 1\rZeile 2");
  beantworte("&Nein");
  QVERIFY(!ui.Frage("Wollen Sie ?") && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
  beantworte("Enter");  // every question guards a destructive step: Enter must not say "Ja"
  QVERIFY(!ui.Frage("Wollen Sie ?"));
  QCOMPARE(gesehen, (QStringList{"0 2 Warnung: Zeile 1\nZeile 2 [OK]", "0 4 Bestätigung: Wollen Sie_? &Ja[&Nein]",
                                 "0 4 Bestätigung: Wollen Sie_? &Ja&Nein"}));
  for (int i = 0; i < 3; ++i) ui.Sanduhr(false);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
}

// "Anzahl Jahre" and the list of climate tables reach the run; after it the
// drift line and the year chart, and the year table among the files.
void tst_TMainform::mehrereJahre() {
  Aufbau a(3);
  Prueffenster& f = *a.f;
  f.show();
  Klick(f, "cb_mitFeuchte");
  Kind<QSpinBox>(f, "sb_AnzahlJahre")->setValue(2);
  QTemporaryDir dir;
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && a.ui.nachrichten.empty());
  QVERIFY(Dateien(dir.path()).contains("Terval Jahre.TXT"));
  QVERIFY(Label(f, "l_Drift").startsWith("Drift Jahr 1 → 2: Austritt ") && Label(f, "l_DriftDetail").contains("Boden in Rohrtiefe"));
  Klick(f, "pb_Jahresdiagramm");
  auto* diagramm = Kind<QChartView>(f, "jahresDiagramm");
  QVERIFY(diagramm->isVisible() && diagramm->chart()->series().size() == 2);
  QCOMPARE(static_cast<QLineSeries*>(diagramm->chart()->series()[0])->count(), 2);

  // Two tables make a sequence, which sets the years itself.
  Klick(f, "pb_KlimaAnhaengen"), Klick(f, "pb_KlimaAnhaengen");
  Laufoptionen o = f.OptionenAusSteuerung();
  QVERIFY(o.Jahre == 1 && o.Klimafolge.size() == 2 && !Kind(f, "sb_AnzahlJahre")->isEnabled());
  Klick(f, "pb_KlimafolgeLeeren");
  o = f.OptionenAusSteuerung();
  QVERIFY(o.Jahre == 2 && o.Klimafolge.empty() && Kind(f, "sb_AnzahlJahre")->isEnabled());
}

QTEST_MAIN(tst_TMainform)
#include "tst_TMainform.moc"
