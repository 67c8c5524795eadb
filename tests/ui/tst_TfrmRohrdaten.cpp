// The pipe data dialog: display of the pipe types, the round trip through
// the fields, switching types, copying from the catalogue, and the segment
// length check on closing.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>

#include "Fensterhilfen.h"
#include "channel/URohrdaten.h"
#include "ui/TfrmRohrdaten.h"

using namespace terval;
using namespace terval::test;

namespace {

// A model with the start-up pipe types and a small catalogue.
struct Rohraufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<TfrmRohrdaten> w;

  explicit Rohraufbau(int katalog = 3) {
    SetzeStartzustand(*m);
    const TRohrtyp typen[3] = {{"PE 110", 0.11f, 0.0066f, 0.42},
                               {"Probe 200", 0.2f, 0.01f, 0.42},
                               {"Fehlerhaft", 0.05f, 0.05f, 1.5}};
    for (int i = 0; i < katalog; ++i) m->Rohrtypen[i + 1] = typen[i];
    m->Anz_Rohrtypen = katalog;
    w = std::make_unique<TfrmRohrdaten>(*m, ui);
  }
  QString Text(const char* name) { return Kind<QLineEdit>(*w, name)->text(); }
  void Setze(const char* name, const QString& t) { Kind<QLineEdit>(*w, name)->setText(t); }
  QComboBox* Katalog() { return Kind<QComboBox>(*w, "cbRohrtypen"); }
  void Klick(const char* name) { Kind<QAbstractButton>(*w, name)->click(); }
};

// The sample's pipes: PE-HD d 200 x 11.9 mm and d 160 x 9.5 mm.
void Beispielrohre(TRohrdaten& r) {
  r.Rohr_Ra = {0, 0.1f, 0.08f};
  r.Rohr_Dicke = {0, 0.0119f, 0.0095f};
  r.Rohr_wlf = {0, 0.42f, 0.385f};
  r.Seglaenge = 1.255f;
}

std::vector<float> Rohrzahlen(const TRohrdaten& r) {
  return {r.Rohr_Ra[1], r.Rohr_Dicke[1], r.Rohr_wlf[1], r.Rohr_Ra[2],
          r.Rohr_Dicke[2], r.Rohr_wlf[2], r.Seglaenge};
}

}  // namespace

class tst_TfrmRohrdaten : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void aussehenUndHinweise();
  void startwerteUndUnveraenderteRueckgabe();
  void feldInhaltInDenSpeicher();
  void segmentlaengeBeimSchliessen_data();
  void segmentlaengeBeimSchliessen();
  void umschaltenSpeichertDenGezeigtenTyp();
  void kopierenAusDemKatalog();
  void kopierenMitFehlerhaftemEintrag();
  void vorauswahlImKatalog_data();
  void vorauswahlImKatalog();
  void zeigenUebernimmtWieAuchImmerGeschlossen();
  void unveraendertBleibtBitgenau();
  void bearbeiteteFelderWieGetippt();
  void kopierterWertWieGetippt();
  void segmentlaengeAusDemSpeicherGeprueft();
  void bildSpeichern();
};

void tst_TfrmRohrdaten::aussehenUndHinweise() {
  Rohraufbau a;
  QCOMPARE(a.w->windowTitle(), QString("Rohrdaten Erdkanal"));
  QVERIFY(Kind<QRadioButton>(*a.w, "rbHauptstrang")->isChecked());
  // Hints go to the main window's status line, never as tooltips.
  QStatusTipEvent tip(Kind<QComboBox>(*a.w, "cbRohrtypen")->statusTip());
  QApplication::sendEvent(a.Katalog(), &tip);
  QCOMPARE(a.ui.status, std::vector<std::string>{"In der Datei ROHRE.DBF definierte Rohrtypen"});
  for (QWidget* k : a.w->findChildren<QWidget*>()) QVERIFY2(k->toolTip().isEmpty(), qPrintable(k->objectName()));
}

void tst_TfrmRohrdaten::startwerteUndUnveraenderteRueckgabe() {
  Rohraufbau a;
  a.w->Vorbereiten();
  QCOMPARE(a.Text("e_Rohrname"), QString("Beton 100"));
  QCOMPARE(a.Text("e_idurchm"), QString("600"));
  QCOMPARE(a.Text("E_rohrdicke"), QString("100"));
  QCOMPARE(a.Text("e_Rohrwlf"), QString("1.00"));
  QCOMPARE(a.Text("e_seglaenge"), QString("1.00"));
  a.w->show();
  a.Klick("btOK");
  QVERIFY(!a.w->isVisible());
  a.w->Dlg2Mem(1);
  // Exactly the single-precision values of before.
  QCOMPARE(a.m->Rohrdaten.Rohr_Ra[1], 0.4f);
  QCOMPARE(a.m->Rohrdaten.Rohr_Dicke[1], 0.1f);
  QCOMPARE(a.m->Rohrdaten.Rohr_wlf[1], 1.0f);
  QCOMPARE(a.m->Rohrdaten.Seglaenge, 1.0f);
  QVERIFY(a.ui.nachrichten.empty());
}

void tst_TfrmRohrdaten::feldInhaltInDenSpeicher() {
  // Inner diameter 190 mm and wall 5 mm give the outer radius 0.1 m.
  Rohraufbau a;
  a.w->Vorbereiten();
  a.Setze("e_Rohrname", "PE 200");
  a.Setze("e_idurchm", "190");
  a.Setze("E_rohrdicke", "5");
  a.Setze("e_Rohrwlf", "0.35");
  a.Setze("e_seglaenge", "2.5");
  a.w->Dlg2Mem(2);
  const TRohrdaten& r = a.m->Rohrdaten;
  QCOMPARE(r.Rohrname[2], std::string("PE 200"));
  QCOMPARE(r.Rohr_Dicke[2], 0.005f);
  QCOMPARE(r.Rohr_Ra[2], 0.1f);
  QCOMPARE(r.Rohr_wlf[2], 0.35f);
  QCOMPARE(r.Seglaenge, 2.5f);
  QCOMPARE(r.Rohr_Ra[1], 0.4f);  // the other type untouched
}

void tst_TfrmRohrdaten::segmentlaengeBeimSchliessen_data() {
  QTest::addColumn<QString>("eingabe");
  QTest::addColumn<bool>("angenommen");
  QTest::newRow("0.5") << "0.5" << true;
  QTest::newRow("5") << "5" << true;
  QTest::newRow("2.00") << "2.00" << true;
  QTest::newRow("0.49") << "0.49" << false;
  QTest::newRow("5.01") << "5.01" << false;
  QTest::newRow("keine Zahl") << "zwei" << false;
  QTest::newRow("leer") << "" << false;
  QTest::newRow("Komma") << "2,5" << false;
}

void tst_TfrmRohrdaten::segmentlaengeBeimSchliessen() {
  QFETCH(QString, eingabe);
  QFETCH(bool, angenommen);
  Rohraufbau a;
  a.w->Vorbereiten();
  a.w->show();
  a.Setze("e_seglaenge", eingabe);
  a.Klick("btOK");
  QCOMPARE(!a.w->isVisible(), angenommen);
  if (angenommen) {
    QVERIFY(a.ui.nachrichten.empty());
  } else {
    QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{
                                   {"Fehler", "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !"}}));
  }
}

void tst_TfrmRohrdaten::umschaltenSpeichertDenGezeigtenTyp() {
  Rohraufbau a;
  a.m->Rohrdaten.Rohrname[2] = "Register 160";
  a.m->Rohrdaten.Rohr_Ra[2] = 0.08f;
  a.m->Rohrdaten.Rohr_Dicke[2] = 0.01f;
  a.w->Vorbereiten();
  a.Setze("e_Rohrname", "Geändert");
  a.Setze("e_idurchm", "500");

  a.Klick("rbRegister");
  QCOMPARE(a.w->Rohrtyp(), 2);
  QVERIFY(!Kind<QRadioButton>(*a.w, "rbHauptstrang")->isChecked());
  QCOMPARE(a.m->Rohrdaten.Rohrname[1], std::string("Geändert"));
  QCOMPARE(a.m->Rohrdaten.Rohr_Ra[1], 0.35f);
  QCOMPARE(a.Text("e_Rohrname"), QString("Register 160"));
  QCOMPARE(a.Text("e_idurchm"), QString("140"));
  QCOMPARE(a.Text("E_rohrdicke"), QString("10"));

  // A click on the type already shown stores nothing.
  a.Setze("e_Rohrname", "nicht gespeichert");
  a.Klick("rbRegister");
  QCOMPARE(a.m->Rohrdaten.Rohrname[2], std::string("Register 160"));

  a.Klick("rbHauptstrang");
  QCOMPARE(a.w->Rohrtyp(), 1);
  QCOMPARE(a.m->Rohrdaten.Rohrname[2], std::string("nicht gespeichert"));
  QCOMPARE(a.Text("e_Rohrname"), QString("Geändert"));
  QCOMPARE(a.Text("e_idurchm"), QString("500"));
}

void tst_TfrmRohrdaten::kopierenAusDemKatalog() {
  // Outer size 0.2 m and wall 0.01 m: (0.2 - 0.01) * 0.5 * 1000 = 95.
  Rohraufbau a;
  a.w->Vorbereiten();
  QCOMPARE(a.Katalog()->currentIndex(), 1);
  QCOMPARE(a.Katalog()->currentText(), QString("Probe 200"));
  a.Klick("btCopyData");
  QCOMPARE(a.Text("e_Rohrname"), QString("Probe 200"));
  QCOMPARE(a.Text("e_idurchm"), QString("95"));
  QCOMPARE(a.Text("E_rohrdicke"), QString(" 10"));
  QCOMPARE(a.Text("e_Rohrwlf"), QString("0.42"));
  QVERIFY(a.ui.nachrichten.empty());
  // Only the fields changed; the model takes them on closing.
  QCOMPARE(a.m->Rohrdaten.Rohrname[1], std::string("Beton 100"));
  a.w->Dlg2Mem(1);
  QCOMPARE(a.m->Rohrdaten.Rohr_Dicke[1], 0.01f);
  QCOMPARE(a.m->Rohrdaten.Rohr_Ra[1], 0.0575f);
}

void tst_TfrmRohrdaten::kopierenMitFehlerhaftemEintrag() {
  Rohraufbau a;
  a.w->Vorbereiten();
  a.Katalog()->setCurrentIndex(2);
  a.Klick("btCopyData");
  QCOMPARE(a.ui.nachrichten,
           (std::vector<Nachricht>{
               {"Fehler",
                "Fehler im Datensatz: Aussendurchmesser ist gleich oder kleiner Innendurchmesser !\r"
                "Bitte Wanddicke korrigieren (und Datenbank Rohre.DBF) !"}}));
  // Copied all the same.
  QCOMPARE(a.Text("e_idurchm"), QString(" 0"));
  QCOMPARE(a.Text("e_Rohrname"), QString("Fehlerhaft"));
  QCOMPARE(a.Text("E_rohrdicke"), QString(" 50"));
  QCOMPARE(a.Text("e_Rohrwlf"), QString("1.50"));
}

void tst_TfrmRohrdaten::vorauswahlImKatalog_data() {
  QTest::addColumn<int>("eintraege");
  QTest::addColumn<int>("auswahl");
  QTest::newRow("drei") << 3 << 1;
  QTest::newRow("einer") << 1 << 0;
  QTest::newRow("keiner") << 0 << -1;
}

void tst_TfrmRohrdaten::vorauswahlImKatalog() {
  QFETCH(int, eintraege);
  QFETCH(int, auswahl);
  Rohraufbau a(eintraege);
  a.w->Vorbereiten();
  QCOMPARE(a.Katalog()->count(), eintraege);
  QCOMPARE(a.Katalog()->currentIndex(), auswahl);
  // Copying without a selection leaves the fields alone.
  a.Klick("btCopyData");
  if (auswahl < 0) QCOMPARE(a.Text("e_Rohrname"), QString("Beton 100"));
}

void tst_TfrmRohrdaten::zeigenUebernimmtWieAuchImmerGeschlossen() {
  Rohraufbau a;
  a.m->Rohrdaten.Rohrname[2] = "Register";
  QTimer::singleShot(0, a.w.get(), [&a] {
    a.Klick("rbRegister");
    a.Setze("e_Rohrname", "Per Schliessfeld");
    a.Setze("e_seglaenge", "7");
    a.w->close();  // the close box checks the length too
    QVERIFY(a.w->isVisible());
    a.Setze("e_seglaenge", "1.5");
    a.w->close();
  });
  QCOMPARE(a.w->zeigen(), int(QDialog::Rejected));
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{TfrmRohrdaten::SegmentlaengeFehler});
  QCOMPARE(a.m->Rohrdaten.Rohrname[2], std::string("Per Schliessfeld"));
  QCOMPARE(a.m->Rohrdaten.Seglaenge, 1.5f);
  // The type shown survives until the next opening.
  a.w->Vorbereiten();
  QCOMPARE(a.w->Rohrtyp(), 2);
  QCOMPARE(a.Text("e_Rohrname"), QString("Per Schliessfeld"));
}

void tst_TfrmRohrdaten::unveraendertBleibtBitgenau() {
  Rohraufbau a;
  TRohrdaten& r = a.m->Rohrdaten;
  Beispielrohre(r);
  const std::vector<float> vorher = Rohrzahlen(r);
  QStringList gezeigt;
  QTimer::singleShot(0, a.w.get(), [&] {
    gezeigt << a.Text("e_idurchm") << a.Text("E_rohrdicke") << a.Text("e_Rohrwlf") << a.Text("e_seglaenge");
    a.Klick("rbRegister");
    a.Klick("rbHauptstrang");
    a.Klick("btOK");
  });
  a.w->zeigen();
  // Bore 2 * (100 - 11.9) = 176.2 mm; 1.255 is 1.2549999 in single precision.
  QCOMPARE(gezeigt, (QStringList{"176", "12", "0.42", "1.25"}));
  QCOMPARE(ErsteAbweichung(vorher, Rohrzahlen(r)), -1);
  // Again, showing the register when closed.
  QTimer::singleShot(0, a.w.get(), [&] {
    a.Klick("rbRegister");
    a.Klick("btOK");
  });
  a.w->zeigen();
  QCOMPARE(ErsteAbweichung(vorher, Rohrzahlen(r)), -1);
  QVERIFY(a.ui.nachrichten.empty());
}

void tst_TfrmRohrdaten::bearbeiteteFelderWieGetippt() {
  Rohraufbau a;
  TRohrdaten& r = a.m->Rohrdaten;
  Beispielrohre(r);
  a.w->Vorbereiten();
  // A wall of 10 mm around the same bore of 176.2 mm: outer radius 98.1 mm.
  a.Setze("E_rohrdicke", "10");
  a.w->Dlg2Mem(1);
  QCOMPARE(ErsteAbweichung({r.Rohr_Dicke[1]}, {0.01f}), -1);
  QCOMPARE(r.Rohr_Ra[1], 0.0981f);
  QCOMPARE(ErsteAbweichung({r.Rohr_wlf[1], r.Seglaenge}, {0.42f, 1.255f}), -1);

  // A new bore of 180 mm inside the wall of 11.9 mm: 101.9 mm.
  Beispielrohre(r);
  a.w->Mem2Dlg(1);
  a.Setze("e_idurchm", "180");
  a.Setze("e_seglaenge", "2");
  a.w->Dlg2Mem(1);
  QCOMPARE(ErsteAbweichung({r.Rohr_Dicke[1], r.Seglaenge}, {0.0119f, 2.0f}), -1);
  QCOMPARE(r.Rohr_Ra[1], 0.1019f);

  // The segment length stays in its field across a switch of the type,
  // which takes the edit: typed back to the text first shown, it is an
  // edit like any other (1.25, neither the 2 of before nor the old 1.255).
  Beispielrohre(r);
  a.w->Vorbereiten();
  a.Setze("e_seglaenge", "2");
  a.Klick("rbRegister");
  QCOMPARE(r.Seglaenge, 2.0f);
  a.Klick("rbHauptstrang");
  QCOMPARE(a.Text("e_seglaenge"), QString("2"));
  a.Setze("e_seglaenge", "1.25");
  a.w->Dlg2Mem(1);
  QCOMPARE(ErsteAbweichung({r.Seglaenge}, {1.25f}), -1);
}

void tst_TfrmRohrdaten::kopierterWertWieGetippt() {
  // The catalogue's wall of 12 mm, copied and tidied by hand to "12", reads
  // like the model's 11.9 mm shown before: it is taken all the same.
  Rohraufbau a;
  a.m->Rohrtypen[2] = {"PE 200 x 12", 0.2f, 0.012f, 0.42};
  Beispielrohre(a.m->Rohrdaten);
  a.w->Vorbereiten();
  QCOMPARE(a.Text("E_rohrdicke"), QString("12"));
  a.Klick("btCopyData");
  QCOMPARE(a.Text("E_rohrdicke"), QString(" 12"));
  a.Setze("E_rohrdicke", "12");
  a.w->Dlg2Mem(1);
  QCOMPARE(ErsteAbweichung({a.m->Rohrdaten.Rohr_Dicke[1]}, {0.012f}), -1);
  // x = (0.2 - 0.012) * 0.5 * 1000 = 94 shown as the diameter: 47 + 12 mm.
  QCOMPARE(a.m->Rohrdaten.Rohr_Ra[1], 0.059f);
}

void tst_TfrmRohrdaten::segmentlaengeAusDemSpeicherGeprueft() {
  // 5.004 m shows as "5.00", but the model would keep 5.004: refused until
  // a length is typed.
  Rohraufbau a;
  a.m->Rohrdaten.Seglaenge = 5.004f;
  QTimer::singleShot(0, a.w.get(), [&] {
    a.Klick("btOK");
    QVERIFY(a.w->isVisible());
    a.Setze("e_seglaenge", "5");
    a.Klick("btOK");
  });
  a.w->zeigen();
  QCOMPARE(a.ui.nachrichten,
           (std::vector<Nachricht>{{"Fehler", "Die Segmentlänge muß zwischen 0.5 und 5 m liegen !"}}));
  QCOMPARE(a.m->Rohrdaten.Seglaenge, 5.0f);
}

void tst_TfrmRohrdaten::bildSpeichern() {
  Rohraufbau a(0);
  QVERIFY(ReadRohrdatenDB(*a.m, TERVAL_DATENVERZEICHNIS));
  a.m->Rohrdaten.Rohrname[1] = "PE-HD SDR 17, d 200 x 11,9 mm";
  a.m->Rohrdaten.Rohr_Ra[1] = 0.1f;
  a.m->Rohrdaten.Rohr_Dicke[1] = 0.0119f;
  a.m->Rohrdaten.Rohr_wlf[1] = 0.42f;
  a.w->Vorbereiten();
  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()));
  QVERIFY(a.w->grab().save(Bildverzeichnis() + "/rohrdaten.png"));
}

QTEST_MAIN(tst_TfrmRohrdaten)
#include "tst_TfrmRohrdaten.moc"
