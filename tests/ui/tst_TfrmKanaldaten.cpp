// The channel editor: the segment table and its formats, taking the table
// over, mouse editing of the picture with every tool, deleting and adding
// segments, the operation settings and their mode table, the painted
// picture, and opening and saving channel files.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusTipEvent>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "Fensterhilfen.h"
#include "channel/UshowKanaldaten.h"
#include "ui/Kanalbild.h"
#include "ui/TfrmKanaldaten.h"
#include "ui/TfrmRohrdaten.h"

using namespace terval;
using namespace terval::test;

namespace {

// The editor with the file dialog replaced: it records what was asked and
// returns `antwort` (empty = cancelled).
class Prueffenster : public TfrmKanaldaten {
 public:
  using TfrmKanaldaten::TfrmKanaldaten;
  QString antwort;
  std::vector<Dateiwahl> gefragt;

 protected:
  QString DateiWaehlen(const Dateiwahl& wahl) override {
    gefragt.push_back(wahl);
    return antwort;
  }
};

// A channel of n segments at depths 1, 2, 3, ... m (single pipes, open
// ground) after the start-up defaults, and the editor showing it.
struct Kanalaufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Aufzeichner ui;
  std::unique_ptr<Prueffenster> w;

  explicit Kanalaufbau(int n = 3) {
    SetzeStartzustand(*m);
    m->Rohrdaten.Rohrname[1] = "Hauptrohr";
    m->Rohrdaten.Rohrname[2] = "Registerrohr";
    m->Anz_Segmente = n;
    for (int k = 1; k <= n; ++k) {
      m->Segmente[k] = Kanalsegment{};
      m->Segmente[k].Anz_Rohre = 1;
      m->Segmente[k].Tiefe = static_cast<float>(k);
    }
    w = std::make_unique<Prueffenster>(*m, ui);
  }
  QTableWidget* Tabelle() { return Kind<QTableWidget>(*w, "sgKanal"); }
  QString Zelle(int zeile, int spalte) {
    QTableWidgetItem* z = Tabelle()->item(zeile, spalte);
    return z ? z->text() : QString("<leer>");
  }
  void SetzeZelle(int zeile, int spalte, const QString& t) { Tabelle()->item(zeile, spalte)->setText(t); }
  QStringList Spalte(int spalte) {
    QStringList r;
    for (int z = 0; z < Tabelle()->rowCount(); ++z) r << Zelle(z, spalte);
    return r;
  }
  QLineEdit* Feld(const char* name) { return Kind<QLineEdit>(*w, name); }
  void Klick(const char* name) { Kind<QAbstractButton>(*w, name)->click(); }
  QWidget* Bild() { return Kind<QWidget>(*w, "kanalimg"); }
  void Werkzeug(int position, const QString& wert) {
    Kind<QComboBox>(*w, "cb_toollist")->setCurrentIndex(position);
    Feld("E_toolvalue")->setText(wert);
  }
  void Mausklick(int x) { QTest::mouseClick(Bild(), Qt::LeftButton, {}, QPoint(x, 75)); }
  QList<int> GewaehlteZeilen() {
    QList<int> r;
    for (const QModelIndex& i : Tabelle()->selectionModel()->selectedRows()) r << i.row();
    std::sort(r.begin(), r.end());
    return r;
  }
};

// Every real number of the channel description, in a fixed order.
std::vector<float> Kanalzahlen(const Modell& m) {
  std::vector<float> r;
  for (int k = 1; k <= m.Anz_Segmente; ++k) {
    const Kanalsegment& s = m.Segmente[k];
    r.insert(r.end(), {s.Tiefe, s.Abst_Rohre, s.Abst_Geb_li, s.Tief_Geb_li, s.Abst_Geb_re, s.Tief_Geb_re});
  }
  const TRohrdaten& p = m.Rohrdaten;
  for (int t = 1; t <= 2; ++t) r.insert(r.end(), {p.Rohr_Ra[t], p.Rohr_Dicke[t], p.Rohr_wlf[t]});
  r.insert(r.end(), {p.Seglaenge, m.Kanalbetrieb.Heiz_T, m.Kanalbetrieb.Kuehl_T});
  return r;
}

// The rows of picture column x whose pixel has colour `farbe`, within y0..y1.
QList<int> ZeilenInFarbe(const QImage& bild, int x, int y0, int y1, const QColor& farbe) {
  QList<int> r;
  for (int y = y0; y <= y1; ++y)
    if (bild.pixelColor(x, y) == farbe) r << y;
  return r;
}

}  // namespace

class tst_TfrmKanaldaten : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void aussehenUndHinweise();
  void tabelleAusDemSpeicher();
  void ueberbautSpalte_data();
  void ueberbautSpalte();
  void zahlenAmTextanfang_data();
  void zahlenAmTextanfang();
  void mausklickWaehltSegment_data();
  void mausklickWaehltSegment();
  void werkzeuge_data();
  void werkzeuge();
  void ungueltigerWerkzeugwert();
  void mausbearbeitungZeigtSegmentnummern();
  void segmentLoeschen();
  void letztesSegmentBleibt();
  void segmenteHinzufuegen_data();
  void segmenteHinzufuegen();
  void neuerKanal();
  void betriebsartenTabelle_data();
  void betriebsartenTabelle();
  void betriebsartAusDemSpeicher();
  void bildRohreUndBalken();
  void speichernUnterUndOeffnen();
  void zeigenSetztZurueckUndUebernimmt();
  void rohrdatenDialog();
  void oeffnenUndSchliessenBitgenau();
  void bearbeiteteFelderWieGetippt();
  void bildSpeichern();
};

void tst_TfrmKanaldaten::aussehenUndHinweise() {
  Kanalaufbau a;
  QCOMPARE(a.w->windowTitle(), QString("Erdkanaldaten (Erdkanal.ewt.db)"));
  QStringList koepfe;
  for (int s = 0; s < a.Tabelle()->columnCount(); ++s) koepfe << a.Tabelle()->horizontalHeaderItem(s)->text();
  QCOMPARE(koepfe, (QStringList{"m", "Tiefe", "Anz Rohre", "Abstand R.", "Abst. Geb. links",
                                "Tiefe Geb. links", "Abst. Geb. rechts", "Tiefe Geb. rechts",
                                "Überbaut/Versiegelt", "Rohrtype"}));
  QComboBox* werkzeuge = Kind<QComboBox>(*a.w, "cb_toollist");
  QStringList eintraege;
  for (int i = 0; i < werkzeuge->count(); ++i) eintraege << werkzeuge->itemText(i);
  QCOMPARE(eintraege, (QStringList{"(Anzeigen)", "Kanaltiefe=", "Anzahl der Rohre=", "Rohrabstand=",
                                   "Abstand linke Bebauung=", "Abstand rechte bebauung=",
                                   "Tiefe linke Bebauung=", "Tiefe rechte Bebauung=", "Überbaut=",
                                   "Versiegelt=", "[Segment LÖSCHEN]"}));
  QCOMPARE(Kind<QLabel>(*a.w, "l_Kanallaenge")->text(), QString("Aktueller Kanal: 3 Segmente (=3.00 m)"));
  QStatusTipEvent tip(Kind<QToolButton>(*a.w, "bt_saveas")->statusTip());
  QApplication::sendEvent(Kind<QToolButton>(*a.w, "bt_saveas"), &tip);
  QCOMPARE(a.ui.status, std::vector<std::string>{"Speichert den aktuellen Erdkanal unter einen neuen Namen"});
  for (QWidget* k : a.w->findChildren<QWidget*>()) QVERIFY2(k->toolTip().isEmpty(), qPrintable(k->objectName()));
}

void tst_TfrmKanaldaten::tabelleAusDemSpeicher() {
  Kanalaufbau a(2);
  a.m->Rohrdaten.Seglaenge = 2.5f;
  Kanalsegment& s = a.m->Segmente[2];
  s.Tiefe = 1.25f;
  s.Anz_Rohre = 3;
  s.Abst_Rohre = 0.75f;
  s.Abst_Geb_li = 12.34f;
  s.Tief_Geb_li = 3;
  s.Abst_Geb_re = -1;
  s.Tief_Geb_re = 0.05f;
  s.Überbaut = 2;
  a.m->Segmente[1].Überbaut = 1;
  a.w->Mem2Grid();
  QCOMPARE(a.Spalte(0), (QStringList{"2.50", "5.00"}));
  QCOMPARE(a.Spalte(1), (QStringList{"1.0", "1.2"}));
  QCOMPARE(a.Spalte(2), (QStringList{"1", "3"}));
  QCOMPARE(a.Zelle(1, 3), QString("0.8"));
  QCOMPARE(a.Zelle(1, 4), QString("12.3"));
  QCOMPARE(a.Zelle(1, 5), QString("3.0"));
  QCOMPARE(a.Zelle(1, 6), QString("-1.0"));
  QCOMPARE(a.Zelle(1, 7), QString("0.1"));
  QCOMPARE(a.Spalte(8), (QStringList{"Ü", "V"}));
  QCOMPARE(a.Spalte(9), (QStringList{"Hauptrohr", "Registerrohr"}));
  QCOMPARE(Kind<QLabel>(*a.w, "l_Kanallaenge")->text(), QString("Aktueller Kanal: 2 Segmente (=5.00 m)"));
  // An unknown surface code leaves the cell as it was.
  a.m->Segmente[2].Überbaut = 7;
  a.w->Mem2Grid();
  QCOMPARE(a.Zelle(1, 8), QString("V"));
  // Taken over: column 0 is not read back, columns 4..7 keep their order.
  a.SetzeZelle(0, 0, "999");
  a.SetzeZelle(0, 5, "2.5");
  a.SetzeZelle(0, 6, "4.5");
  a.Klick("bt_aktdatafromTab");
  QCOMPARE(a.m->Segmente[1].Tief_Geb_li, 2.5f);
  QCOMPARE(a.m->Segmente[1].Abst_Geb_re, 4.5f);
  // An untouched cell keeps the model's value, not the rounded text.
  QCOMPARE(ErsteAbweichung({a.m->Segmente[2].Abst_Geb_li}, {12.34f}), -1);
  QCOMPARE(a.Zelle(0, 0), QString("2.50"));
}

void tst_TfrmKanaldaten::ueberbautSpalte_data() {
  QTest::addColumn<QString>("eingabe");
  QTest::addColumn<int>("code");
  QTest::addColumn<QString>("danach");
  QTest::newRow("v") << "v" << 2 << "V";
  QTest::newRow("V") << "V" << 2 << "V";
  QTest::newRow("Ü") << "Ü" << 1 << "Ü";
  QTest::newRow("ü") << "ü" << 0 << "-";
  QTest::newRow("-") << "-" << 0 << "-";
  QTest::newRow("mit Leerzeichen") << " V" << 0 << "-";
  QTest::newRow("leer") << "" << 0 << "-";
}

void tst_TfrmKanaldaten::ueberbautSpalte() {
  QFETCH(QString, eingabe);
  QFETCH(int, code);
  QFETCH(QString, danach);
  Kanalaufbau a(1);
  a.m->Segmente[1].Überbaut = 1;
  a.w->Mem2Grid();
  a.SetzeZelle(0, 8, eingabe);
  a.Klick("bt_aktdatafromTab");
  QCOMPARE(a.m->Segmente[1].Überbaut, code);
  QCOMPARE(a.Zelle(0, 8), danach);
}

void tst_TfrmKanaldaten::zahlenAmTextanfang_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("ganzzahl");
  QTest::addColumn<float>("zahl");
  QTest::newRow("2.5") << "2.5" << 2 << 2.5f;
  QTest::newRow("Vorzeichen") << "  -3.5" << -3 << -3.5f;
  QTest::newRow("Einheit dahinter") << "4.25 m" << 4 << 4.25f;
  QTest::newRow("Komma") << "2,5" << 2 << 2.0f;
  QTest::newRow("keine Zahl") << "abc" << 0 << 0.0f;
  QTest::newRow("leer") << "" << 0 << 0.0f;
}

void tst_TfrmKanaldaten::zahlenAmTextanfang() {
  QFETCH(QString, text);
  QFETCH(int, ganzzahl);
  QFETCH(float, zahl);
  Kanalaufbau a(1);
  a.SetzeZelle(0, 2, text);
  a.SetzeZelle(0, 1, text);
  a.Feld("eVolstrom")->setText(text);
  a.Feld("evol_kuehlT")->setText(text);
  a.w->Grid2Mem();
  QCOMPARE(a.m->Segmente[1].Anz_Rohre, ganzzahl);
  QCOMPARE(a.m->Segmente[1].Tiefe, zahl);
  QCOMPARE(a.m->Kanalbetrieb.Volstrom, ganzzahl);
  QCOMPARE(a.m->Kanalbetrieb.Kuehl_T, zahl);
  QVERIFY(a.ui.nachrichten.empty());
}

void tst_TfrmKanaldaten::mausklickWaehltSegment_data() {
  QTest::addColumn<int>("x");
  QTest::addColumn<int>("zeile");  // -1: nothing selected
  QTest::newRow("0") << 0 << 0;
  QTest::newRow("29") << 29 << 0;
  QTest::newRow("30") << 30 << 1;
  QTest::newRow("89") << 89 << 2;
}

void tst_TfrmKanaldaten::mausklickWaehltSegment() {
  QFETCH(int, x);
  QFETCH(int, zeile);
  Kanalaufbau a(3);
  a.Mausklick(x);
  QCOMPARE(a.GewaehlteZeilen(), QList<int>{zeile});
  // The whole row, every column.
  QCOMPARE(a.Tabelle()->selectedItems().size(), TfrmKanaldaten::Spalten);
}

void tst_TfrmKanaldaten::werkzeuge_data() {
  QTest::addColumn<int>("werkzeug");
  QTest::addColumn<QString>("wert");
  QTest::addColumn<QString>("feld");
  QTest::addColumn<double>("erwartet");
  QTest::newRow("Tiefe") << 1 << "2.5" << "Tiefe" << 2.5;
  QTest::newRow("Rohre 2.5 zur geraden") << 2 << "2.5" << "Anz_Rohre" << 2.0;
  QTest::newRow("Rohre 3.5 zur geraden") << 2 << "3.5" << "Anz_Rohre" << 4.0;
  QTest::newRow("Rohre 0 ignoriert") << 2 << "0" << "Anz_Rohre" << 1.0;
  QTest::newRow("Abstand") << 3 << "0.8" << "Abst_Rohre" << 0.8;
  QTest::newRow("Abstand 0 ignoriert") << 3 << "0" << "Abst_Rohre" << 0.5;
  QTest::newRow("links") << 4 << "3" << "Abst_Geb_li" << 3.0;
  QTest::newRow("rechts") << 5 << "4" << "Abst_Geb_re" << 4.0;
  QTest::newRow("Tiefe links") << 6 << "2" << "Tief_Geb_li" << 2.0;
  QTest::newRow("Tiefe rechts") << 7 << "-1" << "Tief_Geb_re" << -1.0;
  QTest::newRow("überbaut") << 8 << "1" << "Überbaut" << 1.0;
  QTest::newRow("versiegelt") << 9 << "0.1" << "Überbaut" << 2.0;
  QTest::newRow("versiegelt nein") << 9 << "0" << "Überbaut" << 0.0;
}

void tst_TfrmKanaldaten::werkzeuge() {
  QFETCH(int, werkzeug);
  QFETCH(QString, wert);
  QFETCH(QString, feld);
  QFETCH(double, erwartet);
  Kanalaufbau a(3);
  Kanalsegment& s = a.m->Segmente[2];
  s.Abst_Rohre = 0.5f;
  s.Überbaut = 1;
  const Kanalsegment vorher1 = a.m->Segmente[1];
  a.w->Mem2Grid();
  a.Werkzeug(werkzeug, wert);
  a.Mausklick(45);
  const std::map<QString, double> werte = {
      {"Tiefe", s.Tiefe},           {"Anz_Rohre", s.Anz_Rohre},     {"Abst_Rohre", s.Abst_Rohre},
      {"Abst_Geb_li", s.Abst_Geb_li}, {"Abst_Geb_re", s.Abst_Geb_re}, {"Tief_Geb_li", s.Tief_Geb_li},
      {"Tief_Geb_re", s.Tief_Geb_re}, {"Überbaut", s.Überbaut}};
  QCOMPARE(float(werte.at(feld)), float(erwartet));
  QCOMPARE(a.m->Segmente[1].Tiefe, vorher1.Tiefe);  // only the clicked segment
  QCOMPARE(a.m->Anz_Segmente, 3);
}

void tst_TfrmKanaldaten::ungueltigerWerkzeugwert() {
  Kanalaufbau a(3);
  a.Werkzeug(1, "tief");
  a.Mausklick(45);
  QCOMPARE(a.m->Segmente[2].Tiefe, 2.0f);
  QCOMPARE(a.GewaehlteZeilen(), QList<int>{1});
  // "(Anzeigen)" only selects, whatever the value.
  a.Werkzeug(0, "9");
  a.Mausklick(75);
  QCOMPARE(a.m->Segmente[3].Tiefe, 3.0f);
  QCOMPARE(a.GewaehlteZeilen(), QList<int>{2});
  QCOMPARE(a.Spalte(0), (QStringList{"1.00", "2.00", "3.00"}));
}

void tst_TfrmKanaldaten::mausbearbeitungZeigtSegmentnummern() {
  Kanalaufbau a(3);
  a.SetzeZelle(0, 1, "9.9");  // typed, not taken over
  a.Werkzeug(1, "4.5");
  a.Mausklick(31);
  QCOMPARE(a.m->Segmente[2].Tiefe, 4.5f);
  QCOMPARE(a.Spalte(0), (QStringList{"1", "2", "3"}));
  QCOMPARE(a.Spalte(1), (QStringList{"1.0", "4.5", "3.0"}));
  QCOMPARE(a.m->Segmente[1].Tiefe, 1.0f);
  // After taking the table over the distances are back.
  a.Klick("bt_aktdatafromTab");
  QCOMPARE(a.Spalte(0), (QStringList{"1.00", "2.00", "3.00"}));
}

void tst_TfrmKanaldaten::segmentLoeschen() {
  Kanalaufbau a(3);
  a.m->Segmente[3].T_aus[100] = 7.5f;  // the whole record moves
  a.Werkzeug(10, "1");
  a.Mausklick(45);
  QCOMPARE(a.m->Anz_Segmente, 2);
  QCOMPARE(a.m->Segmente[1].Tiefe, 1.0f);
  QCOMPARE(a.m->Segmente[2].Tiefe, 3.0f);
  QCOMPARE(a.m->Segmente[2].T_aus[100], 7.5f);
  QCOMPARE(a.Tabelle()->rowCount(), 2);
  QCOMPARE(a.Spalte(0), (QStringList{"1", "2"}));
  QCOMPARE(a.Spalte(1), (QStringList{"1.0", "3.0"}));
  QCOMPARE(Kind<QLabel>(*a.w, "l_Kanallaenge")->text(), QString("Aktueller Kanal: 2 Segmente (=2.00 m)"));
  QCOMPARE(a.Bild()->width(), 60);
  QVERIFY(a.ui.nachrichten.empty());
  // A click right of the last segment now does nothing.
  a.Mausklick(65);
  QCOMPARE(a.m->Anz_Segmente, 2);
}

void tst_TfrmKanaldaten::letztesSegmentBleibt() {
  Kanalaufbau a(1);
  a.Werkzeug(10, "1");
  a.Mausklick(10);
  QCOMPARE(a.m->Anz_Segmente, 1);
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Warnung", "Ein Segment muss im Kanal verbleiben !"}}));
  QCOMPARE(a.Tabelle()->rowCount(), 1);
}

void tst_TfrmKanaldaten::segmenteHinzufuegen_data() {
  QTest::addColumn<int>("vorher");
  QTest::addColumn<QString>("anzahl");
  QTest::addColumn<int>("nachher");
  QTest::addColumn<bool>("meldung");
  QTest::newRow("149 + 2") << 149 << "2" << 149 << true;
  QTest::newRow("149 + 1") << 149 << "1" << 150 << false;
  QTest::newRow("1 + 4") << 1 << "4" << 5 << false;
  QTest::newRow("3 + 0") << 3 << "0" << 3 << false;
  QTest::newRow("3 - 2") << 3 << "-2" << 3 << false;
  QTest::newRow("riesig") << 3 << "99999999999999999999" << 3 << true;
}

void tst_TfrmKanaldaten::segmenteHinzufuegen() {
  QFETCH(int, vorher);
  QFETCH(QString, anzahl);
  QFETCH(int, nachher);
  QFETCH(bool, meldung);
  Kanalaufbau a(vorher);
  a.SetzeZelle(vorher - 1, 1, "7.5");  // taken over first, then copied
  a.Feld("e_addsegment")->setText(anzahl);
  a.Klick("bt_addsegment");
  QCOMPARE(a.m->Anz_Segmente, nachher);
  QCOMPARE(a.Tabelle()->rowCount(), nachher);
  QCOMPARE(a.m->Segmente[vorher].Tiefe, 7.5f);
  for (int k = vorher + 1; k <= nachher; ++k) QCOMPARE(a.m->Segmente[k].Tiefe, 7.5f);
  if (meldung)
    QCOMPARE(a.ui.nachrichten,
             (std::vector<Nachricht>{{"Fehler", "Nicht genügend Speicher für weitere Segmente !"}}));
  else
    QVERIFY(a.ui.nachrichten.empty());
}

void tst_TfrmKanaldaten::neuerKanal() {
  Kanalaufbau a(4);
  a.m->Kanaldatei = "/tmp/Alt.ewt.db";
  a.m->Kanalbetrieb.Volstrom = 500;
  a.w->Mem2Grid();
  const std::string frage = "Wollen Sie den aktuellen Erdkanal löschen und einen neuen beginnen ?";
  a.ui.antworten = {false, true};
  a.Klick("btNew");
  QCOMPARE(a.m->Anz_Segmente, 4);
  a.Klick("btNew");
  QCOMPARE(a.m->Anz_Segmente, 1);
  QCOMPARE(a.ui.nachrichten, (std::vector<Nachricht>{{"Frage", frage}, {"Frage", frage}}));
  QCOMPARE(a.Tabelle()->rowCount(), 1);
  QCOMPARE(a.m->Segmente[1].Tiefe, 1.0f);
  QCOMPARE(a.m->Kanalbetrieb.Volstrom, 500);
  QCOMPARE(a.m->Kanaldatei, std::string("/tmp/Alt.ewt.db"));
}

void tst_TfrmKanaldaten::betriebsartenTabelle_data() {
  QTest::addColumn<QString>("knopf");
  QTest::addColumn<int>("modus");
  QTest::addColumn<bool>("zeit");
  QTest::addColumn<bool>("temperatur");
  QTest::addColumn<bool>("fuenftage");
  QTest::newRow("konstant") << "rbConstVol" << 0 << false << false << false;
  QTest::newRow("Uhrzeit") << "rbSchaltzeitbetrieb" << 1 << true << false << true;
  QTest::newRow("Temperatur") << "rbTemperaturbetrieb" << 2 << false << true << true;
  QTest::newRow("beides") << "rbZeitundTemp" << 3 << true << true << true;
}

void tst_TfrmKanaldaten::betriebsartenTabelle() {
  QFETCH(QString, knopf);
  QFETCH(int, modus);
  QFETCH(bool, zeit);
  QFETCH(bool, temperatur);
  QFETCH(bool, fuenftage);
  Kanalaufbau a(1);
  a.m->Kanalbetrieb.Betriebsart = modus == 0 ? 2 : 0;
  a.w->Mem2Grid();
  Kind<QCheckBox>(*a.w, "cb_5tagesbetrieb")->setChecked(true);
  a.Klick(qPrintable(knopf));
  QCOMPARE(a.Feld("eVolein_zeit")->isEnabled(), zeit);
  QCOMPARE(a.Feld("eVolaus_zeit")->isEnabled(), zeit);
  QCOMPARE(a.Feld("evol_heizT")->isEnabled(), temperatur);
  QCOMPARE(a.Feld("evol_kuehlT")->isEnabled(), temperatur);
  QCOMPARE(Kind<QCheckBox>(*a.w, "cb_5tagesbetrieb")->isEnabled(), fuenftage);
  int gewaehlt = 0;
  for (const char* name : {"rbConstVol", "rbSchaltzeitbetrieb", "rbTemperaturbetrieb", "rbZeitundTemp"})
    gewaehlt += Kind<QRadioButton>(*a.w, name)->isChecked();
  QCOMPARE(gewaehlt, 1);
  // A click changes nothing in memory; taking over does, whether the check
  // box is enabled or not.
  QCOMPARE(a.m->Kanalbetrieb.Betriebsart, modus == 0 ? 2 : 0);
  a.w->Grid2Mem();
  QCOMPARE(a.m->Kanalbetrieb.Betriebsart, modus);
  QVERIFY(a.m->Kanalbetrieb.Fuenftagebetrieb);
}

void tst_TfrmKanaldaten::betriebsartAusDemSpeicher() {
  Kanalaufbau a(1);
  TKanalbetrieb& b = a.m->Kanalbetrieb;
  b = TKanalbetrieb{350, 20, 6, 22, -2.5f, 21.25f, 2, true, false};
  a.w->Mem2Grid();
  QCOMPARE(a.Feld("eVolstrom")->text(), QString("350"));
  QCOMPARE(a.Feld("eVolAusZustand")->text(), QString("20"));
  QCOMPARE(a.Feld("evol_heizT")->text(), QString("-2.50"));
  QCOMPARE(a.Feld("evol_kuehlT")->text(), QString("21.25"));
  QVERIFY(Kind<QRadioButton>(*a.w, "rbTemperaturbetrieb")->isChecked());
  QVERIFY(Kind<QCheckBox>(*a.w, "cb_5tagesbetrieb")->isChecked());
  // Constant operation keeps the check box as it is, and disables it.
  b.Betriebsart = 0;
  b.Fuenftagebetrieb = false;
  a.w->Mem2Grid();
  QVERIFY(Kind<QCheckBox>(*a.w, "cb_5tagesbetrieb")->isChecked());
  QVERIFY(!Kind<QCheckBox>(*a.w, "cb_5tagesbetrieb")->isEnabled());
}

void tst_TfrmKanaldaten::bildRohreUndBalken() {
  Kanalaufbau a(4);
  Kanalsegment* s = &a.m->Segmente[0];
  // A register of 3 pipes with spacing 1.0 m: s = 5 pixels,
  // t = 75 - 2 * 5 * 0.5 = 70, pipes at 70, 75 and 80 (pen 3).
  s[1].Anz_Rohre = 3;
  s[1].Abst_Rohre = 1.0f;
  s[1].Überbaut = 1;
  s[1].Abst_Geb_li = 2;
  s[1].Tief_Geb_li = 3;
  // Without spacing: red and 5 pixels apart.
  s[2].Anz_Rohre = 3;
  s[2].Überbaut = 2;
  s[2].Abst_Geb_re = 2;
  // 5 * 0.3 = 1.5 rounds to 2; t = round(75 - 0.5 * 2) = 74.
  s[3].Anz_Rohre = 2;
  s[3].Abst_Rohre = 0.3f;
  a.w->Mem2Grid();
  const QImage bild = a.Bild()->grab().toImage();
  QCOMPARE(bild.size(), QSize(120, 150));
  QCOMPARE(ZeilenInFarbe(bild, 12, 40, 110, Qt::black), (QList<int>{69, 70, 71, 74, 75, 76, 79, 80, 81}));
  QCOMPARE(bild.pixelColor(0, 70), QColor(Qt::black));  // edge to edge
  QCOMPARE(bild.pixelColor(29, 80), QColor(Qt::black));
  QCOMPARE(ZeilenInFarbe(bild, 45, 40, 110, Kanalbild::Warnrot()), (QList<int>{69, 70, 71, 74, 75, 76, 79, 80, 81}));
  QCOMPARE(ZeilenInFarbe(bild, 75, 40, 110, Qt::black), (QList<int>{73, 74, 75, 76, 77}));
  QCOMPARE(ZeilenInFarbe(bild, 105, 40, 110, Qt::black), (QList<int>{74, 75, 76}));
  QCOMPARE(bild.pixelColor(30, 60), Kanalbild::Gitterlinie());  // right edge of segment 1
  QCOMPARE(bild.pixelColor(29, 60), QColor(Qt::white));
  // Surface bars x - 25 .. x - 5 at row 145 (pen 5); buildings at rows 20
  // and 130, dark orange with a depth, light orange without.
  QCOMPARE(ZeilenInFarbe(bild, 15, 140, 149, Kanalbild::Ueberbaut()), (QList<int>{143, 144, 145, 146, 147}));
  QCOMPARE(bild.pixelColor(5, 145), Kanalbild::Ueberbaut());
  QCOMPARE(bild.pixelColor(4, 145), QColor(Qt::white));
  QCOMPARE(bild.pixelColor(25, 145), QColor(Qt::white));
  QCOMPARE(bild.pixelColor(45, 145), Kanalbild::Versiegelt());
  QCOMPARE(bild.pixelColor(10, 20), Kanalbild::GebaeudeTief());
  QCOMPARE(bild.pixelColor(36, 130), Kanalbild::GebaeudeFlach());
  QCOMPARE(bild.pixelColor(6, 130), QColor(Qt::white));
  // Length on top in black, depth near the bottom in green (smoothed text).
  int dunkel = 0, gruen = 0;
  for (int x = 2; x < 28; ++x) {
    for (int y = 5; y < 20; ++y) dunkel += bild.pixelColor(x, y).lightness() < 100;
    for (int y = 130; y < 140; ++y) {
      const QColor c = bild.pixelColor(x + 90, y);
      gruen += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
    }
  }
  QVERIFY(dunkel > 5 && gruen > 5);
}

void tst_TfrmKanaldaten::speichernUnterUndOeffnen() {
  Kanalaufbau a(3);
  QTemporaryDir dir;
  const QString pfad = dir.filePath("Probe.ewt.db");
  a.m->Kanaldatei = StdText(dir.filePath("Erdkanal.ewt.db"));
  a.w->Mem2Grid();
  a.SetzeZelle(2, 1, "4.75");  // the file gets what the user sees
  a.Klick("rbSchaltzeitbetrieb");
  a.w->antwort = pfad;
  a.Klick("bt_saveas");
  const Dateiwahl& f = a.w->gefragt.at(0);
  QCOMPARE(f.titel, QString("Erdkanal speichern..."));
  QCOMPARE(f.filter, QString("*.ewt.db"));
  QCOMPARE(f.endung, QString("ewt.db"));
  QCOMPARE(f.verzeichnis, dir.path());
  QCOMPARE(a.m->Kanaldatei, StdText(pfad));
  QCOMPARE(a.w->windowTitle(), "Erdkanaldaten (" + pfad + ")");

  a.m->Anz_Segmente = 1;
  a.m->Kanalbetrieb.Betriebsart = 0;
  a.m->Startverzeichnis = "/";
  a.w->Mem2Grid();
  a.Klick("btOpenKanal");
  QCOMPARE(a.w->gefragt.back().titel, QString("Erdkanal öffnen..."));
  QCOMPARE(a.w->gefragt.back().filter, QString("Erdkanal (*.ewt.db);;Alle Dateien (*.*)"));
  QCOMPARE(a.w->gefragt.back().verzeichnis, QString("/"));
  QCOMPARE(a.m->Anz_Segmente, 3);
  QCOMPARE(a.m->Segmente[3].Tiefe, 4.75f);
  QCOMPARE(a.Zelle(2, 1), QString("4.8"));
  QVERIFY(Kind<QRadioButton>(*a.w, "rbSchaltzeitbetrieb")->isChecked());

  // The plain save button asks nothing; a cancelled dialog changes nothing.
  a.Klick("btSaveKanal");
  a.w->antwort.clear();
  a.Klick("bt_saveas");
  a.Klick("btOpenKanal");
  QCOMPARE(int(a.w->gefragt.size()), 4);
  QCOMPARE(a.m->Kanaldatei, StdText(pfad));
  QCOMPARE(QDir(dir.path()).entryList({"*.ewt.db"}), QStringList{"Probe.ewt.db"});
  QVERIFY(a.ui.nachrichten.empty());
}

void tst_TfrmKanaldaten::zeigenSetztZurueckUndUebernimmt() {
  Kanalaufbau a(2);
  Kind<QComboBox>(*a.w, "cb_toollist")->setCurrentIndex(4);
  a.Feld("E_toolvalue")->setText("3");
  a.Feld("e_addsegment")->setText("12");
  QTimer::singleShot(0, a.w.get(), [&a] {
    QCOMPARE(Kind<QComboBox>(*a.w, "cb_toollist")->currentIndex(), 0);
    QCOMPARE(a.Feld("E_toolvalue")->text(), QString("0"));
    QVERIFY(!a.Feld("E_toolvalue")->isEnabled());
    QCOMPARE(a.Feld("e_addsegment")->text(), QString("1"));
    a.SetzeZelle(1, 1, "6.5");
    a.Feld("eVolstrom")->setText("777");
    a.w->close();  // the close box takes over too
  });
  a.w->zeigen();
  QCOMPARE(a.m->Segmente[2].Tiefe, 6.5f);
  QCOMPARE(a.m->Kanalbetrieb.Volstrom, 777);
}

void tst_TfrmKanaldaten::rohrdatenDialog() {
  Kanalaufbau a(2);
  a.m->Segmente[2].Anz_Rohre = 4;
  a.w->Mem2Grid();
  a.SetzeZelle(0, 1, "2.25");  // taken over before the pipe dialog
  QTimer::singleShot(0, a.w.get(), [&a] {
    TfrmRohrdaten* r = a.w->Rohrdialog();
    QVERIFY(r->isVisible());
    Kind<QLineEdit>(*r, "e_Rohrname")->setText("Neues Hauptrohr");
    Kind<QLineEdit>(*r, "e_seglaenge")->setText("2");
    Kind<QPushButton>(*r, "btOK")->click();
  });
  a.Klick("btShowRohrdata");
  QCOMPARE(a.m->Segmente[1].Tiefe, 2.25f);
  QCOMPARE(a.m->Rohrdaten.Rohrname[1], std::string("Neues Hauptrohr"));
  QCOMPARE(a.m->Rohrdaten.Seglaenge, 2.0f);
  QCOMPARE(a.Spalte(9), (QStringList{"Neues Hauptrohr", "Registerrohr"}));
  QCOMPARE(a.Spalte(0), (QStringList{"2.00", "4.00"}));
}

void tst_TfrmKanaldaten::oeffnenUndSchliessenBitgenau() {
  // The sample channel (walls of 11.9 and 9.5 mm) with registers 0.25 m
  // apart and values finer than the displays: opening the editor and the
  // pipe dialog, taking the table over and closing changes no bit.
  Kanalaufbau a(1);
  QVERIFY(LadeKanaldatei(*a.m, a.ui, TERVAL_DATENVERZEICHNIS "/Erdkanal.ewt.db"));
  Modell& m = *a.m;
  QCOMPARE(m.Anz_Segmente, 35);
  QCOMPARE(m.Segmente[21].Anz_Rohre, 3);
  for (int k = 21; k <= 28; ++k) m.Segmente[k].Abst_Rohre = 0.25f;
  m.Segmente[3].Tiefe = 1.55f;
  m.Segmente[30].Tief_Geb_re = 2.475f;
  m.Kanalbetrieb.Heiz_T = 4.125f;
  m.Kanalbetrieb.Kuehl_T = 18.0049f;
  const std::vector<float> vorher = Kanalzahlen(m);

  QStringList gezeigt;
  QTimer::singleShot(0, a.w.get(), [&] {
    gezeigt << a.Zelle(20, 3) << a.Zelle(2, 1) << a.Feld("evol_heizT")->text();
    QTimer::singleShot(0, a.w.get(), [&] {
      TfrmRohrdaten* r = a.w->Rohrdialog();
      gezeigt << Kind<QLineEdit>(*r, "E_rohrdicke")->text() << Kind<QLineEdit>(*r, "e_idurchm")->text();
      Kind<QRadioButton>(*r, "rbRegister")->click();
      gezeigt << Kind<QLineEdit>(*r, "E_rohrdicke")->text();
      Kind<QRadioButton>(*r, "rbHauptstrang")->click();
      Kind<QPushButton>(*r, "btOK")->click();
    });
    a.Klick("btShowRohrdata");
    a.Klick("bt_aktdatafromTab");
    a.Klick("btClose");
  });
  a.w->zeigen();
  // 0.25 and 4.125 round to even; in single precision 1.55 is 1.5499999
  // and the register wall 9.4999997 mm.
  QCOMPARE(gezeigt, (QStringList{"0.2", "1.5", "4.12", "12", "176", " 9"}));
  QCOMPARE(ErsteAbweichung(vorher, Kanalzahlen(m)), -1);

  // And once more, closed with the close box.
  QTimer::singleShot(0, a.w.get(), [&a] { a.w->close(); });
  a.w->zeigen();
  QCOMPARE(ErsteAbweichung(vorher, Kanalzahlen(m)), -1);
}

void tst_TfrmKanaldaten::bearbeiteteFelderWieGetippt() {
  Kanalaufbau a(2);
  Modell& m = *a.m;
  for (int k = 1; k <= 2; ++k) {
    m.Segmente[k].Anz_Rohre = 3;
    m.Segmente[k].Abst_Rohre = 0.25f;
  }
  m.Kanalbetrieb.Heiz_T = 4.125f;
  a.w->Mem2Grid();
  a.SetzeZelle(0, 3, "0.3");
  a.Feld("evol_heizT")->setText("5");
  a.Klick("bt_aktdatafromTab");
  QCOMPARE(ErsteAbweichung({m.Segmente[1].Abst_Rohre, m.Segmente[2].Abst_Rohre, m.Kanalbetrieb.Heiz_T},
                           {0.3f, 0.25f, 5.0f}),
           -1);

  // A refused addition takes the table over without showing it again; a
  // cell typed back to the text first shown is then an edit like any other.
  a.SetzeZelle(1, 3, "0.4");
  a.Feld("e_addsegment")->setText("200");
  a.Klick("bt_addsegment");
  QCOMPARE(a.ui.Texte("Fehler"), std::vector<std::string>{"Nicht genügend Speicher für weitere Segmente !"});
  QCOMPARE(m.Segmente[2].Abst_Rohre, 0.4f);
  a.SetzeZelle(1, 3, "0.2");
  a.w->Grid2Mem();
  QCOMPARE(ErsteAbweichung({m.Segmente[2].Abst_Rohre}, {0.2f}), -1);
}

void tst_TfrmKanaldaten::bildSpeichern() {
  Kanalaufbau a(1);
  QVERIFY(LadeKanaldatei(*a.m, a.ui, TERVAL_DATENVERZEICHNIS "/Erdkanal.ewt.db"));
  a.w->Mem2Grid();
  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()));
  Kind<QComboBox>(*a.w, "cb_toollist")->setCurrentIndex(1);
  a.Feld("E_toolvalue")->setText("1.8");
  QVERIFY(a.w->grab().save(Bildverzeichnis() + "/kanaleditor.png"));
}

QTEST_MAIN(tst_TfrmKanaldaten)
#include "tst_TfrmKanaldaten.moc"
