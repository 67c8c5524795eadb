// The climate viewer: rows, headings and cell texts of the climate year,
// the delete buttons with their question, writing the cleared element back
// into the table, and the completeness labels.
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "Fensterhilfen.h"
#include "climate/DBKlima.h"
#include "model/Zahltext.h"
#include "support/TabellenTesthilfen.h"
#include "tables/DbfTabelle.h"
#include "ui/KlimaTabellenModell.h"
#include "ui/TDBShowKlima.h"

using namespace terval;
using namespace terval::test;

namespace {

// Also records the completeness labels.
class Labelprotokoll : public Aufzeichner {
 public:
  std::vector<std::pair<Klimaelement, bool>> labels;
  void KlimaLabel(Klimaelement e, bool komplett) override { labels.push_back({e, komplett}); }
  bool Label(Klimaelement e) const {
    for (auto it = labels.rbegin(); it != labels.rend(); ++it)
      if (it->first == e) return it->second;
    return true;
  }
};

// Value of data column k (1..6) in hour h (1..8760) of the test year:
// temperature, humidity 50..94, wind 0..5.5, radiation by day, rain, clouds.
float Testwert(int h, int k) {
  const int i = h - 1;
  switch (k) {
    case 1: return static_cast<float>(10.0 - 9.0 * std::cos(2 * 3.14159265 * i / 8760.0));
    case 2: return static_cast<float>(50 + i % 45);
    case 3: return static_cast<float>(0.5 * (i % 12));
    case 4: return static_cast<float>(i % 24 >= 8 && i % 24 <= 16 ? 100 + i % 300 : 0);
    case 5: return i % 7 == 0 ? 0.4f : 0.0f;
    default: return static_cast<float>(i % 9);
  }
}

// The test year with `spalten` data columns as a dBASE or text table.
std::string SchreibeJahr(const std::string& stamm, bool dbase, int spalten) {
  const char* const namen[] = {"Nr", "T_Luft", "rFeuchte", "Wind", "Glob_Str", "Nieders", "Wolken"};
  if (!dbase) {
    std::string text = "Nr";
    for (int k = 1; k <= spalten; ++k) text.append(";").append(namen[k]);
    for (int h = 1; h <= Stunden; ++h) {
      text.append("\n").append(std::to_string(h));
      for (int k = 1; k <= spalten; ++k) text.append(";").append(KuerzesterText(Testwert(h, k)));
    }
    text.append("\n");
    SchreibeDatei(stamm + ".txt", text);
    return stamm + ".txt";
  }
  std::vector<Felddefinition> felder{{namen[0], Feldtyp::Ganzzahl, 0}};
  for (int k = 1; k <= spalten; ++k) felder.push_back({namen[k], Feldtyp::Gleitkomma, 0});
  std::string fehler;
  auto t = DbfTabelle::Erzeugen(stamm + ".DBF", felder, fehler);
  for (int h = 1; h <= Stunden; ++h) {
    const int r = t->Anhaengen();
    t->SchreibeGanzzahl(r, 0, h);
    for (int k = 1; k <= spalten; ++k) t->SchreibeZahl(r, k, Testwert(h, k));
  }
  t->Schliessen(fehler);
  return stamm + ".DBF";
}

// A cell of a dBASE table read through the table layer.
std::optional<double> Zellwert(const std::string& pfad, int satz, int spalte) {
  std::string fehler;
  auto t = DbfTabelle::Oeffnen(pfad, fehler);
  return t ? t->LiesZahl(satz, spalte) : std::nullopt;
}

struct Klimaaufbau {
  std::unique_ptr<Modell> m = NeuesModell();
  Labelprotokoll ui;
  std::unique_ptr<TDBShowKlima> w;
  QTemporaryDir dir;

  Klimaaufbau() {
    SetzeStartzustand(*m);
    w = std::make_unique<TDBShowKlima>(*m, ui);
  }
  // Writes a year with `spalten` data columns as a table and reads it as the
  // program does.
  std::string Lade(bool dbase, int spalten) {
    const std::string pfad = SchreibeJahr(dir.filePath("Klima").toStdString(), dbase, spalten);
    m->DBKlimaName = pfad;
    ReadKlimaDB(*m, ui);
    ui.nachrichten.clear();
    ui.labels.clear();
    return pfad;
  }
  QTableView* Grid() { return Kind<QTableView>(*w, "KlimaGrid"); }
  QString Text(int zeile, int spalte) {
    return Grid()->model()->data(Grid()->model()->index(zeile, spalte)).toString();
  }
  QPushButton* Knopf(const char* name) { return Kind<QPushButton>(*w, name); }
};

}  // namespace

class tst_TDBShowKlima : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void aussehen();
  void zeilenUndUeberschriften();
  void zelltexte_data();
  void zelltexte();
  void knoepfeUeberIhrenSpalten();
  void nurMitGueltigemKlima();
  void windLoeschen();
  void neinAendertNichts();
  void niederschlagOhneTabellenspalte();
  void bildSpeichern();
};

void tst_TDBShowKlima::aussehen() {
  Klimaaufbau a;
  QCOMPARE(a.w->windowTitle(), QString("Datenbank Klimadaten"));
  QCOMPARE(a.w->size(), QSize(659, 426));
  QVERIFY(a.w->maximumSize().width() > 659);  // resizable
  QStatusTipEvent tip(a.Knopf("bcl5")->statusTip());
  QApplication::sendEvent(a.Knopf("bcl5"), &tip);
  QCOMPARE(a.ui.status, std::vector<std::string>{"Löscht dieses Spalte"});
  QCOMPARE(a.Grid()->horizontalHeader()->defaultSectionSize(), 70);
  QCOMPARE(a.Grid()->verticalHeader()->defaultSectionSize(), 15);
  QVERIFY(a.Grid()->verticalHeader()->isHidden());
}

void tst_TDBShowKlima::zeilenUndUeberschriften() {
  Klimaaufbau a;
  QAbstractItemModel* mod = a.Grid()->model();
  QCOMPARE(mod->rowCount(), 8760);
  QCOMPARE(mod->columnCount(), 8);
  QStringList koepfe;
  for (int s = 0; s < 8; ++s) koepfe << mod->headerData(s, Qt::Horizontal).toString();
  QCOMPARE(koepfe, (QStringList{"Tag", "Stunde", "Temperatur", "rel. Feuchte", "Wind", "G.-Strahlung",
                                "Niederschl.", "Wolken"}));
  // Row 1 is day 1, hour 0; the last row day 365, hour 23.
  QCOMPARE(a.Text(0, 0), QString("1"));
  QCOMPARE(a.Text(0, 1), QString("0"));
  QCOMPARE(a.Text(24, 0), QString("2"));
  QCOMPARE(a.Text(8759, 0), QString("365"));
  QCOMPARE(a.Text(8759, 1), QString("23"));
}

void tst_TDBShowKlima::zelltexte_data() {
  QTest::addColumn<int>("spalte");
  QTest::addColumn<float>("wert");
  QTest::addColumn<QString>("text");
  QTest::newRow("Feuchte 85.4") << 3 << 85.4f << " 85";
  QTest::newRow("Feuchte 100") << 3 << 100.0f << "100";
  QTest::newRow("Feuchte fehlt") << 3 << -999.0f << "-999";
  QTest::newRow("Temperatur") << 2 << -3.456f << "-3.46";
  QTest::newRow("Wind") << 4 << 2.0f << "2.00";
  QTest::newRow("Wind fehlt") << 4 << -999.0f << "-999.00";
  QTest::newRow("Strahlung") << 5 << 812.25f << "812.25";
  QTest::newRow("Niederschlag") << 6 << 0.1f << "0.10";
}

void tst_TDBShowKlima::zelltexte() {
  QFETCH(int, spalte);
  QFETCH(float, wert);
  QFETCH(QString, text);
  Klimaaufbau a;
  float TKlimaStunde::* const element[8] = {nullptr, nullptr, &TKlimaStunde::T_Luft, &TKlimaStunde::rFeuchte,
                                           &TKlimaStunde::Wind, &TKlimaStunde::Glob_Str,
                                           &TKlimaStunde::Nieders, &TKlimaStunde::Wolken};
  a.m->Klima[1].*element[spalte] = wert;
  a.m->Klima[8760].*element[spalte] = wert;
  a.w->FillKlimaGrid();
  QCOMPARE(a.Text(0, spalte), text);
  QCOMPARE(a.Text(8759, spalte), text);
}

void tst_TDBShowKlima::knoepfeUeberIhrenSpalten() {
  Klimaaufbau a;
  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()));
  const QHeaderView* kopf = a.Grid()->horizontalHeader();
  const std::vector<std::pair<const char*, int>> knoepfe = {
      {"bcl3", 3}, {"bcl4", 4}, {"bcl5", 5}, {"bcl6", 6}, {"bcl8", 7}};
  for (const auto& [name, spalte] : knoepfe) {
    QPushButton* b = a.Knopf(name);
    const int mitte = b->mapTo(a.w.get(), b->rect().center()).x();
    const int links = a.Grid()->viewport()->mapTo(a.w.get(), QPoint(kopf->sectionViewportPosition(spalte), 0)).x();
    QVERIFY2(mitte > links && mitte < links + kopf->sectionSize(spalte), name);
    QVERIFY(b->mapTo(a.w.get(), QPoint(0, b->height())).y() <= a.Grid()->mapTo(a.w.get(), QPoint(0, 0)).y());
  }
}

void tst_TDBShowKlima::nurMitGueltigemKlima() {
  Klimaaufbau a;
  a.m->KlimaGueltig = false;
  QCOMPARE(a.w->ShowKlimaGrid(), int(QDialog::Rejected));
  QVERIFY(a.w->isHidden());
  QVERIFY(a.ui.nachrichten.empty());

  a.m->KlimaGueltig = true;
  a.m->Klima[2].Wind = 3.5f;
  bool gezeigt = false;
  QTimer::singleShot(0, a.w.get(), [&] {
    gezeigt = a.w->isVisible();
    Kind<QPushButton>(*a.w, "btSchliessen")->click();
  });
  QCOMPARE(a.w->ShowKlimaGrid(), int(QDialog::Accepted));
  QVERIFY(gezeigt);
  QCOMPARE(a.Text(1, 4), QString("3.50"));
}

void tst_TDBShowKlima::windLoeschen() {
  Klimaaufbau a;
  const std::string pfad = a.Lade(true, 6);
  QVERIFY(a.m->KlimaGueltig);
  QVERIFY(a.m->KlimaKomplett);
  a.w->FillKlimaGrid();
  QCOMPARE(a.Text(1, 4), QString("0.50"));
  const float feuchte = a.m->Klima[100].rFeuchte;

  a.ui.antworten = {true};
  a.Knopf("bcl4")->click();
  QCOMPARE(a.ui.Texte("Frage"), std::vector<std::string>{
                                    "Sie sind im Begriff, Daten aus der aktuellen Datenbank zu löschen !\r"
                                    "Diese Daten können nicht wieder hergestellt werden !\r"
                                    "Sind Sie sicher, dass Sie diese Spalte löschen wollen ?"});
  for (int h : {1, 2, 4380, 8760}) QCOMPARE(a.m->Klima[h].Wind, -999.0f);
  QCOMPARE(a.m->Klima[100].rFeuchte, feuchte);
  QCOMPARE(a.Text(0, 4), QString("-999.00"));
  QCOMPARE(a.Text(8759, 4), QString("-999.00"));
  // The label turns dark red and the year is no longer complete.
  QVERIFY(!a.ui.Label(Klimaelement::Wind));
  QVERIFY(a.ui.Label(Klimaelement::Feuchte));
  QVERIFY(!a.m->WindKomplett);
  QVERIFY(!a.m->KlimaKomplett);
  // Column 3 of every record of the table now holds -999.
  for (int satz : {0, 1, 4379, 8759}) {
    QCOMPARE(Zellwert(pfad, satz, 3), std::optional<double>(-999.0));
    QCOMPARE(Zellwert(pfad, satz, 2), std::optional<double>(double(a.m->Klima[satz + 1].rFeuchte)));
  }
  QVERIFY(a.ui.Texte("Fehler").empty());
}

void tst_TDBShowKlima::neinAendertNichts() {
  Klimaaufbau a;
  const std::string pfad = a.Lade(false, 6);
  const std::string vorher = Dateiinhalt(pfad);
  a.ui.antworten = {false};
  a.Knopf("bcl3")->click();
  QCOMPARE(a.ui.Texte("Frage").size(), size_t(1));
  QVERIFY(a.ui.labels.empty());
  QVERIFY(a.m->KlimaKomplett);
  QCOMPARE(a.m->Klima[5].rFeuchte, 54.0f);
  QVERIFY(Dateiinhalt(pfad) == vorher);
}

void tst_TDBShowKlima::niederschlagOhneTabellenspalte() {
  // A table of four data columns has no precipitation: the year in memory
  // and the label change, the table does not.
  Klimaaufbau a;
  const std::string pfad = a.Lade(false, 4);
  const std::string vorher = Dateiinhalt(pfad);
  for (int h = 1; h <= Stunden; ++h) a.m->Klima[h].Nieders = 0.2f;  // as if generated
  a.ui.antworten = {true};
  a.Knopf("bcl6")->click();
  QCOMPARE(a.m->Klima[77].Nieders, -999.0f);
  QCOMPARE(a.Text(76, 6), QString("-999.00"));
  QVERIFY(!a.ui.Label(Klimaelement::Niederschlag));
  QVERIFY(!a.m->KlimaKomplett);
  QVERIFY(Dateiinhalt(pfad) == vorher);
}

void tst_TDBShowKlima::bildSpeichern() {
  Klimaaufbau a;
  a.m->DBKlimaName = TERVAL_DATENVERZEICHNIS "/Aachen2022.DBF";
  ReadKlimaDB(*a.m, a.ui);
  QVERIFY(a.m->KlimaGueltig);
  a.w->FillKlimaGrid();
  a.w->show();
  QVERIFY(QTest::qWaitForWindowExposed(a.w.get()));
  a.Grid()->scrollTo(a.Grid()->model()->index(4380, 0), QAbstractItemView::PositionAtTop);
  QVERIFY(a.w->grab().save(Bildverzeichnis() + "/klimaanzeige.png"));
}

QTEST_MAIN(tst_TDBShowKlima)
#include "tst_TDBShowKlima.moc"
