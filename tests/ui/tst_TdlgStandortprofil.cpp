// The location profile dialog: what it shows and in which format, what
// "Übernehmen" takes over (and what "Schliessen" does not), the soil
// preview, and opening and saving location files.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "Fensterhilfen.h"
#include "location/klimaprofil.h"
#include "physics/getsoildata.h"
#include "ui/TdlgStandortprofil.h"

using namespace terval;
using namespace terval::test;

namespace {

// The dialog with the file dialog replaced: it records what was asked and
// returns `antwort` (empty = cancelled).
class Pruefdialog : public TdlgStandortprofil {
 public:
  using TdlgStandortprofil::TdlgStandortprofil;
  QString antwort;
  std::vector<Dateiwahl> gefragt;

 protected:
  QString DateiWaehlen(const Dateiwahl& wahl) override {
    gefragt.push_back(wahl);
    return antwort;
  }
};

// The model after start-up (with the soil table) and the dialog.
struct Ortaufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<Pruefdialog> w;

  Ortaufbau() {
    SetzeStartzustand(*m);
    GetSoilData(*m, TERVAL_DATENVERZEICHNIS "/SOILS.DAT");
    w = std::make_unique<Pruefdialog>(*m, ui);
  }
  QLineEdit* Feld(const char* name) { return Kind<QLineEdit>(*w, name); }
  QString Text(const char* name) { return Feld(name)->text(); }
  void Setze(const char* name, const QString& t) { Feld(name)->setText(t); }
  QComboBox* Liste(const char* name) { return Kind<QComboBox>(*w, name); }
  QSlider* Regler(int monat) {
    return Kind<QSlider>(*w, qPrintable(QString("tb%1").arg(monat, 2, 10, QChar('0'))));
  }
  QString Vorschau() { return Kind<QLabel>(*w, "l_tlf")->text(); }
  void Klick(const char* name) { Kind<QAbstractButton>(*w, name)->click(); }
};

// Every real number of the location profile, in a fixed order.
std::vector<float> Ortszahlen(const Modell& m) {
  std::vector<float> r = {m.Breitengrad, m.Laengengrad,   m.Veg_Hoehe,        m.StartBodenfeuchte,
                          m.T_Keller,    m.wlf_kellerwand, m.kellerwand_dicke, m.T_Fundament,
                          m.Diff_Tdew,   m.Wg_mittel,      m.WG_Messhoehe,     m.Wg_Tag_Nacht};
  for (int k = 1; k <= 12; ++k) r.push_back(m.Ns_[k]);
  return r;
}

// Values finer than the dialog shows them.
void FeineWerte(Modell& m) {
  m.Breitengrad = 51.256f;
  m.Laengengrad = -7.1549f;
  m.Veg_Hoehe = 0.125f;
  m.StartBodenfeuchte = 47.25f;
  m.T_Keller = 8.125f;
  m.wlf_kellerwand = 1.005f;
  m.kellerwand_dicke = 0.245f;
  m.T_Fundament = 10.005f;
  m.Diff_Tdew = 0.75f;
  m.Wg_mittel = 2.125f;
  m.WG_Messhoehe = 10.005f;
  m.Wg_Tag_Nacht = 1.875f;
  m.Ns_[1] = 66.35f;
  m.Ns_[12] = 70.05f;
}

}  // namespace

class tst_TdlgStandortprofil : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void steuerelementeUndHinweise();
  void anzeigeformate_data();
  void anzeigeformate();
  void ersterBodenUndVorschau();
  void uebernehmen();
  void vegetationshoehe_data();
  void vegetationshoehe();
  void ungueltigeZahlBehaeltAltenWert();
  void wetterqualitaetAusserhalbDesBereichs();
  void schliessenVerwirftEingaben();
  void uebernehmenOhneAenderungBitgenau();
  void bearbeiteteFelderWieGetippt();
  void speichernUnterUndOeffnen();
  void speichernUnterAktuellemNamen();
  void bildSpeichern();
};

void tst_TdlgStandortprofil::steuerelementeUndHinweise() {
  Ortaufbau a;
  for (int k = 1; k <= 12; ++k) {
    QSlider* tb = a.Regler(k);
    QCOMPARE(tb->minimum(), 1);
    QCOMPARE(tb->maximum(), 3);
    QVERIFY(tb->invertedAppearance());  // 1 "Schön" at the top
  }
  QCOMPARE(a.Liste("cbVegTyp")->itemText(1), QString("hohes Gras, Korn u.ä., lockerer Bewuchs"));
  QCOMPARE(a.Liste("cbTruebung")->itemText(2), QString("verschmutzt (0.10)"));
  QVERIFY(a.w->width() >= 463 && a.w->height() >= 586);
  QCOMPARE(a.w->minimumSize(), a.w->maximumSize());  // fixed size

  // Hints reach the status line; no control has a tooltip.
  QStatusTipEvent tip(a.Feld("E_laenge")->statusTip());
  QApplication::sendEvent(a.Feld("E_laenge"), &tip);
  QCOMPARE(a.ui.status,
           std::vector<std::string>{"Längengrad des Standortes (für Strahlungsdaten), -:wL, +:öL"});
  QCOMPARE(a.Regler(7)->statusTip(),
           QString("Diese Daten werden benötigt für: Berechnung der kurzwelligen Strahlung (Wolken) und "
                   "Verteilung des Niederschlags"));
  for (QWidget* k : a.w->findChildren<QWidget*>()) QVERIFY2(k->toolTip().isEmpty(), qPrintable(k->objectName()));
}

void tst_TdlgStandortprofil::anzeigeformate_data() {
  QTest::addColumn<QString>("feld");
  QTest::addColumn<QString>("text");
  QTest::newRow("Breitengrad") << "e_breite" << "51.26";
  QTest::newRow("Längengrad West") << "E_laenge" << "-7.15";
  QTest::newRow("Niederschlag Januar") << "ens1" << "66.3";
  QTest::newRow("Startfeuchte") << "E_relBodenfeuchte" << "50.0";
  QTest::newRow("Vegetationshöhe") << "e_veghoehe" << "0.50";
  QTest::newRow("Tdew") << "e_DeltaTdew" << "0.0";
  QTest::newRow("Keller") << "e_Tkeller" << "8.00";
  QTest::newRow("Fundament groß") << "e_Tfundament" << "1234.57";
}

void tst_TdlgStandortprofil::anzeigeformate() {
  QFETCH(QString, feld);
  QFETCH(QString, text);
  Ortaufbau a;
  a.m->Laengengrad = -7.15f;
  a.m->T_Fundament = 1234.567f;
  a.w->WerteAnzeigen();
  QCOMPARE(a.Text(qPrintable(feld)), text);
}

void tst_TdlgStandortprofil::ersterBodenUndVorschau() {
  Ortaufbau a;
  a.w->WerteAnzeigen();
  QCOMPARE(a.w->windowTitle(), QString("Standortprofil (Bochum.loc.db)"));
  QCOMPARE(a.Liste("cbSoils")->count(), int(a.m->AnzBoeden));
  QCOMPARE(a.Liste("cbSoils")->currentIndex(), 0);
  QCOMPARE(a.Liste("cbSoils")->itemText(2), QString::fromStdString(a.m->Boeden[3].BodenName));
  QCOMPARE(a.Liste("cbTruebung")->currentIndex(), 1);
  QCOMPARE(a.Liste("cbVegTyp")->currentIndex(), 0);
  for (int k = 1; k <= 12; ++k) QCOMPARE(a.Regler(k)->value(), 2);
  const QString erster = a.Vorschau();
  QVERIFY2(erster.startsWith("Wlf= ") && erster.endsWith(" *10-6 [m²/s]"), qPrintable(erster));
  QCOMPARE(erster, QString::fromStdString(*BodenVorschau(*a.m, 1, "50.0")));

  // The preview follows the list and the moisture field.
  a.Liste("cbSoils")->setCurrentIndex(2);
  QCOMPARE(a.Vorschau(), QString::fromStdString(*BodenVorschau(*a.m, 3, "50.0")));
  QVERIFY(a.Vorschau() != erster);
  a.Setze("E_relBodenfeuchte", "90");
  const QString neunzig = a.Vorschau();
  QCOMPARE(neunzig, QString::fromStdString(*BodenVorschau(*a.m, 3, "90")));
  // Nothing to show: the line keeps its text.
  a.Setze("E_relBodenfeuchte", "viel");
  QCOMPARE(a.Vorschau(), neunzig);
  a.Setze("E_relBodenfeuchte", "90");

  // "Übernehmen" without other changes: the third soil.
  a.Klick("Button2");
  QCOMPARE(a.m->Bodenart, 3);
  QCOMPARE(a.m->StartBodenfeuchte, 90.0f);
}

void tst_TdlgStandortprofil::uebernehmen() {
  Ortaufbau a;
  a.w->WerteAnzeigen();
  QSignalSpy ortsname(a.w.get(), &TdlgStandortprofil::OrtsnameGeaendert);
  a.Setze("e_locname", "Aachen-Orsbach");
  a.Setze("e_breite", "50.8");
  a.Setze("E_laenge", "-6.02");
  a.Setze("e_Tkeller", "12.5");
  a.Setze("e_DeltaTdew", "1.5");
  a.Setze("e_wind_mittel", "3.25");
  a.Setze("e_windhoehe", "10");
  a.Setze("e_wind_tn", "1.5");
  a.Setze("ens3", "40.5");
  a.Setze("ens4", "1e2");
  a.Regler(3)->setValue(3);
  a.Regler(4)->setValue(1);
  a.Liste("cbTruebung")->setCurrentIndex(2);
  a.Liste("cbVegTyp")->setCurrentIndex(1);
  a.Klick("Button2");

  const Modell& m = *a.m;
  QCOMPARE(m.Ortsname, std::string("Aachen-Orsbach"));
  QCOMPARE(m.Breitengrad, 50.8f);
  QCOMPARE(m.Laengengrad, -6.02f);
  QCOMPARE(m.T_Keller, 12.5f);
  QCOMPARE(m.Diff_Tdew, 1.5f);
  QCOMPARE(m.Wg_mittel, 3.25f);
  QCOMPARE(m.WG_Messhoehe, 10.0f);
  QCOMPARE(m.Wg_Tag_Nacht, 1.5f);
  QCOMPARE(m.Truebung, 2);
  QCOMPARE(m.Veg_typ, 2);
  QCOMPARE(m.Bodenart, 1);
  // Month k pairs with track bar and field of month k.
  QCOMPARE(m.Wetter_[3], 3);
  QCOMPARE(m.Wetter_[4], 1);
  QCOMPARE(m.Wetter_[5], 2);
  QCOMPARE(m.Ns_[3], 40.5f);
  QCOMPARE(m.Ns_[4], 100.0f);
  QCOMPARE(m.Ns_[5], 63.3f);
  QCOMPARE(ortsname.count(), 1);
  QCOMPARE(ortsname.at(0).at(0).toString(), QString("Aachen-Orsbach"));
  QVERIFY(a.w->isHidden());  // "Übernehmen" does not close
}

void tst_TdlgStandortprofil::vegetationshoehe_data() {
  QTest::addColumn<QString>("eingabe");
  QTest::addColumn<float>("wert");
  QTest::addColumn<QString>("danach");
  QTest::newRow("0") << "0" << 0.5f << "0.50";
  QTest::newRow("-1") << "-1" << 0.5f << "0.50";
  QTest::newRow("leer") << "" << 0.5f << "0.50";
  QTest::newRow("0.3") << "0.3" << 0.3f << "0.30";
  QTest::newRow("1.25") << " 1.25 " << 1.25f << "1.25";
}

void tst_TdlgStandortprofil::vegetationshoehe() {
  QFETCH(QString, eingabe);
  QFETCH(float, wert);
  QFETCH(QString, danach);
  Ortaufbau a;
  a.m->Veg_Hoehe = 2.0f;
  a.w->WerteAnzeigen();
  a.Setze("e_veghoehe", eingabe);
  a.Klick("Button2");
  QCOMPARE(a.m->Veg_Hoehe, wert);
  a.w->WerteAnzeigen();
  QCOMPARE(a.Text("e_veghoehe"), danach);
}

void tst_TdlgStandortprofil::ungueltigeZahlBehaeltAltenWert() {
  Ortaufbau a;
  a.w->WerteAnzeigen();
  a.Setze("e_breite", "51,5");     // a decimal comma is no number here
  a.Setze("e_wind_mittel", "");    // empty gives 0
  a.Setze("ens2", "viel");
  a.Setze("e_Tkeller", "1e60");    // beyond single precision
  a.Klick("Button2");
  QCOMPARE(a.m->Breitengrad, 51.26f);
  QCOMPARE(a.m->Wg_mittel, 0.0f);
  QCOMPARE(a.m->Ns_[2], 54.7f);
  QCOMPARE(a.m->T_Keller, 8.0f);
  QVERIFY(a.ui.nachrichten.empty());
}

void tst_TdlgStandortprofil::wetterqualitaetAusserhalbDesBereichs() {
  // Values read from a file may lie outside 1..3: the track bar shows the
  // nearer end and the next take-over stores that position.
  Ortaufbau a;
  a.m->Wetter_[1] = 7;
  a.m->Wetter_[2] = 0;
  a.m->Truebung = 5;
  a.w->WerteAnzeigen();
  QCOMPARE(a.Regler(1)->value(), 3);
  QCOMPARE(a.Regler(2)->value(), 1);
  QCOMPARE(a.Liste("cbTruebung")->currentIndex(), -1);
  a.Klick("Button2");
  QCOMPARE(a.m->Wetter_[1], 3);
  QCOMPARE(a.m->Wetter_[2], 1);
  QCOMPARE(a.m->Truebung, 5);  // no selection: the value stays
}

void tst_TdlgStandortprofil::schliessenVerwirftEingaben() {
  Ortaufbau a;
  QSignalSpy ortsname(a.w.get(), &TdlgStandortprofil::OrtsnameGeaendert);
  QTimer::singleShot(0, a.w.get(), [&a] {
    a.Setze("e_breite", "40");
    a.Setze("e_locname", "Anderswo");
    a.Regler(6)->setValue(3);
    a.Klick("Button1");
  });
  QCOMPARE(a.w->ShowStandortprofil(), int(QDialog::Accepted));
  QCOMPARE(a.m->Breitengrad, 51.26f);
  QCOMPARE(a.m->Ortsname, std::string("Testort (Bochum,D)"));
  QCOMPARE(a.m->Wetter_[6], 2);
  QCOMPARE(ortsname.count(), 0);
  // The next opening shows the old values again.
  QTimer::singleShot(0, a.w.get(), [&a] { a.Klick("Button1"); });
  a.w->ShowStandortprofil();
  QCOMPARE(a.Text("e_breite"), QString("51.26"));
  QCOMPARE(a.Regler(6)->value(), 2);
}

void tst_TdlgStandortprofil::uebernehmenOhneAenderungBitgenau() {
  Ortaufbau a;
  FeineWerte(*a.m);
  const std::vector<float> vorher = Ortszahlen(*a.m);
  QStringList gezeigt;
  QTimer::singleShot(0, a.w.get(), [&] {
    gezeigt << a.Text("ens1") << a.Text("e_breite") << a.Text("e_Tkeller");
    a.Klick("Button2");
    a.Klick("Button2");
    a.Klick("Button1");
  });
  a.w->ShowStandortprofil();
  // 66.35 is 66.3499985 in single precision; 8.125 rounds to even.
  QCOMPARE(gezeigt, (QStringList{"66.3", "51.26", "8.12"}));
  QCOMPARE(ErsteAbweichung(vorher, Ortszahlen(*a.m)), -1);
}

void tst_TdlgStandortprofil::bearbeiteteFelderWieGetippt() {
  Ortaufbau a;
  FeineWerte(*a.m);
  a.w->WerteAnzeigen();
  a.Setze("ens1", "70");
  a.Setze("e_breite", "50.8");
  a.Klick("Button2");
  QCOMPARE(ErsteAbweichung({a.m->Ns_[1], a.m->Breitengrad, a.m->Ns_[12]}, {70.0f, 50.8f, 70.05f}), -1);
  // Typed back to the text first shown, after "Übernehmen" took the edit:
  // taken as typed, neither the 70 of before nor the old 66.35.
  a.Setze("ens1", "66.3");
  a.Klick("Button2");
  QCOMPARE(ErsteAbweichung({a.m->Ns_[1]}, {66.3f}), -1);
}

void tst_TdlgStandortprofil::speichernUnterUndOeffnen() {
  Ortaufbau a;
  QTemporaryDir dir;
  const QString pfad = dir.filePath("Aachen.loc.db");
  a.m->Standortdatei = StdText(dir.filePath("Bochum.loc.db"));
  a.w->WerteAnzeigen();
  a.Setze("e_locname", "Aachen");
  a.Setze("ens7", "99.9");
  a.w->antwort = pfad;
  a.Klick("bt_savelocas");

  QCOMPARE(int(a.w->gefragt.size()), 1);
  const Dateiwahl& frage = a.w->gefragt[0];
  QCOMPARE(frage.titel, QString("Standortprofil speichern"));
  QCOMPARE(frage.filter, QString("Standorte (*.loc.db);;Alle Dateien (*.*)"));
  QCOMPARE(frage.endung, QString("loc.db"));
  QVERIFY(frage.speichern);
  QCOMPARE(QFileInfo(frage.verzeichnis).canonicalFilePath(), QFileInfo(dir.path()).canonicalFilePath());
  // The save took the edits over and wrote them.
  QVERIFY(QFileInfo::exists(pfad));
  QCOMPARE(a.m->Standortdatei, StdText(pfad));
  QCOMPARE(a.w->windowTitle(), "Standortprofil (" + pfad + ")");
  QCOMPARE(a.m->Ortsname, std::string("Aachen"));
  QVERIFY(a.ui.nachrichten.empty());

  // Another model state, then the file opened again.
  a.m->Ortsname = "weg";
  a.m->Ns_[7] = 1;
  a.m->Startverzeichnis = "/";
  a.w->WerteAnzeigen();
  a.w->antwort = pfad;
  a.Klick("btOpenLocDatei");
  QCOMPARE(a.w->gefragt.back().titel, QString("Standortprofil öffnen"));
  QCOMPARE(a.w->gefragt.back().filter, QString("Standorte (*.loc.db);;Alle Dateien (*.*)"));
  QCOMPARE(a.w->gefragt.back().verzeichnis, QString("/"));
  QVERIFY(!a.w->gefragt.back().speichern);
  QCOMPARE(a.m->Ortsname, std::string("Aachen"));
  QCOMPARE(a.m->Ns_[7], 99.9f);
  QCOMPARE(a.Text("e_locname"), QString("Aachen"));
  QCOMPARE(a.Text("ens7"), QString("99.9"));
  QCOMPARE(QString::fromStdString(a.m->Startverzeichnis), dir.path());

  // Cancelled dialogs change nothing, not even the edits.
  a.Setze("e_locname", "nicht übernommen");
  a.w->antwort.clear();
  a.Klick("bt_savelocas");
  a.Klick("btOpenLocDatei");
  QCOMPARE(a.m->Ortsname, std::string("Aachen"));
  QCOMPARE(a.m->Standortdatei, StdText(pfad));
  QCOMPARE(QDir(dir.path()).entryList({"*.loc.db"}), QStringList{"Aachen.loc.db"});
}

void tst_TdlgStandortprofil::speichernUnterAktuellemNamen() {
  Ortaufbau a;
  QTemporaryDir dir;
  a.m->Standortdatei = StdText(dir.filePath("Bochum.loc.db"));
  a.w->WerteAnzeigen();
  a.Klick("btSaveLoc");
  QVERIFY(a.w->gefragt.empty());
  QVERIFY(QFileInfo::exists(dir.filePath("Bochum.loc.db")));
  auto zweites = NeuesModell();
  QVERIFY(LadeStandortdatei(*zweites, a.ui, a.m->Standortdatei));
  QCOMPARE(zweites->Breitengrad, 51.26f);
  QCOMPARE(zweites->Truebung, 1);
  QCOMPARE(zweites->Wetter_[12], 2);
}

void tst_TdlgStandortprofil::bildSpeichern() {
  Ortaufbau a;
  QVERIFY(LadeStandortdatei(*a.m, a.ui, TERVAL_DATENVERZEICHNIS "/Bochum.loc.db"));
  a.m->Wetter_[1] = a.m->Wetter_[2] = 3;
  a.m->Wetter_[6] = a.m->Wetter_[7] = 1;
  a.w->WerteAnzeigen();
  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()));
  QVERIFY(a.w->grab().save(Bildverzeichnis() + "/standortprofil.png"));
}

QTEST_MAIN(tst_TdlgStandortprofil)
#include "tst_TdlgStandortprofil.moc"
