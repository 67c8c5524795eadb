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
  QCOMPARE(zwischen + QStringList(frei()), QStringList({"0000", "0000", "0000", "1111"}));
  // Day courses, five fields of the marked segment; the writer window was shown before writing and is hidden again.
  const QStringList dateien = Dateien(dir.path());
  QVERIFY(dateien.size() == 16 && dateien.filter("Terval2D Feld Seg   3 Tag ").size() == 5 && a.ui.gridBilder == 3);
  QVERIFY(f.Schreibfenster()->Label1()->text().startsWith("Schreibe \"Terval") && f.Schreibfenster()->isHidden());
  // Segments drawn one after another, the last once more at the end.
  QCOMPARE(a.ui.gezeichneteSegmente, (std::vector<int>{1, 2, 3, 3}));
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
                           "Kanal Tag 74.TXT\rfehlt/Terval Kanal Tag 166.TXT\rfehlt/Terval Kanal Tag 225.TXT\rfehlt/Terval Kanal Tag 258.TXT");
}

void tst_TMainform::laufMitBeispieldaten() {
  // The road a user takes with the shipped samples, from a climate table that cannot be read to a run with
  // text output. The pictures of the chart's three modes go to the build folder (scripts/bildschirmfotos.sh).
  const QString daten = TERVAL_DATENVERZEICHNIS;
  Aufbau a;
  QVERIFY2(a.gestartet, "SOILS.DAT und Rohre.DBF müssen im Datenverzeichnis des Builds liegen");
  Modell& m = *a.m;
  Prueffenster& f = *a.f;
  QCOMPARE(Label(f, "StatusBar1") + Label(f, "L_tmaxmessort"), Banner + "Mittlere Maximaltemperatur am Messort: 18.0");
  m.ErgebnisseVorhanden = true, f.klimadatei = daten + "/gibt es nicht.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QVERIFY(a.ui.Texte("Fehler").back() == "Klimadatenbank konnte nicht gelesen werden !" && m.ErgebnisseVorhanden && !m.KlimaGueltig);
  QVERIFY(LadeStandortdatei(m, f.UI(), StdText(daten + "/Bochum.loc.db")) && LadeKanaldatei(m, f.UI(), StdText(daten + "/Erdkanal.ewt.db")));
  f.klimadatei = daten + "/Aachen2022.DBF";
  Befehl(f, "KlimaDatenbankladen1")->trigger();
  QVERIFY(m.KlimaGueltig && !m.KlimaKomplett && !m.ErgebnisseVorhanden && f.Chart()->Tin()->count() == 365);
  // 11.63 degC is the year's mean of the measured air temperature.
  QCOMPARE(Label(f, "l_tmittelmessort"), QString("Mitteltemperatur am Messort: 11.6"));
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
  f.resize(1280, 800);
  f.show();
  Starte(a, dir.path());
  QVERIFY(f.LetzterLauf().ergebnis == Laufergebnis::Fertig && a.ui.nachrichten.empty() && Dateien(dir.path()).size() == 6);
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
  QVERIFY(d->Tin()->at(364) == QPointF(364, Ein(365, 13)) && d->Taus()->count() + d->Energie()->count() == 0);
  a.m->ErgebnisseVorhanden = true;
  Klick(f, "cbShowEnergie"), f.DrawSegment(3);
  QCOMPARE(d->Taus()->at(99).y(), double(Ein(100, 13) + 3));
  QVERIFY(qAbs(d->Energie()->at(99).y() - 1800) < 0.01 && d->AchseW()->isVisible());
  // The day course, day 166 at first; along the channel twelve months (day 30 (m - 1) + 15), hour 24 as 12.
  QCOMPARE(zeige(1, ""), QString("Angezeigter Tag:166 1-365"));
  QVERIFY(d->Tin()->at(23) == QPointF(23, Ein(166, 23)) && d->Taus()->count() == 24);
  f.Updatedisplay();  // ten segments to choose from
  QCOMPARE(zeige(2, "24"), QString("Angezeigte Stunde:12 0-23"));
  for (int monat = 1; monat <= 12; ++monat) QCOMPARE(d->Monat(monat)->at(9), QPointF(9, Ein(30 * (monat - 1) + 15, 12) + 10));
  // Back to the year course the months leave and the one chart the view owns comes back.
  zeige(0, "13"), Kind<QSpinBox>(f, "eShowSegnr")->setValue(4), f.DrawSegment(11);  // beyond the channel: the chosen one
  QVERIFY(!d->Monat(1)->chart() && d->Tin()->chart() == d->chart() && d->Taus()->at(0).y() == double(Ein(1, 13) + 4));
}

void tst_TMainform::meldungenUndSanduhr() {
  // Without a recorder every message is a box: symbol, title, line breaks, German buttons, and over the
  // hourglass the arrow; surplus "off"s take no cursor that someone else set.
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
  ui.Sanduhr(true), beantworte("OK"), ui.Warnung("Zeile 1\rZeile 2");
  beantworte("&Nein");
  QVERIFY(!ui.Frage("Wollen Sie ?") && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
  QCOMPARE(gesehen, (QStringList{"0 2 Warnung: Zeile 1\nZeile 2 [OK]", "0 4 Bestätigung: Wollen Sie ? &Ja[&Nein]"}));
  for (int i = 0; i < 3; ++i) ui.Sanduhr(false);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
}

QTEST_MAIN(tst_TMainform)
#include "tst_TMainform.moc"
