// The climate viewer as a user works with it: the year as a table, the
// delete buttons above their columns with their question, the cleared
// element written back into the table file, the completeness labels.
#include "Fensterhilfen.h"
#include "climate/DBKlima.h"
#include "ui/TDBShowKlima.h"

namespace {

// Also records the completeness labels.
class Labelprotokoll : public Aufzeichner {
 public:
  std::map<Klimaelement, bool> labels;
  void KlimaLabel(Klimaelement e, bool komplett) override { labels[e] = komplett; }
};

// A test year as a text table: temperature, humidity 50..94, wind, radiation by day, rain, clouds.
std::string SchreibeJahr(const QString& pfad) {
  QFile datei(pfad);
  datei.open(QIODevice::WriteOnly);
  QTextStream s(&datei);
  s << "Nr;T_Luft;rFeuchte;Wind;Glob_Str;Nieders;Wolken";
  for (int i = 0; i < Stunden; ++i)
    s << "\n" << i + 1 << ";" << 10 - 9 * std::cos(2 * M_PI * i / 8760) << ";" << 50 + i % 45 << ";" << 0.5 * (i % 12) << ";"
      << (i % 24 >= 8 && i % 24 <= 16 ? 100 + i % 300 : 0) << ";" << (i % 7 ? 0 : 0.4) << ";" << i % 9;
  s << "\n";
  return StdText(pfad);
}

// Field k of every record of a text table.
QStringList Feld(const std::string& pfad, int k) {
  QFile datei(QString::fromStdString(pfad));
  datei.open(QIODevice::ReadOnly);
  QStringList r;
  for (const QByteArray& zeile : datei.readAll().split('\n').mid(1, Stunden)) r << QString(zeile).split(';').value(k);
  return r;
}

}  // namespace

class tst_TDBShowKlima : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }
  void jahrAnsehenUndLoeschen();
};

void tst_TDBShowKlima::jahrAnsehenUndLoeschen() {
  auto m = NeuesModell();
  Labelprotokoll ui;
  SetzeStartzustand(*m);
  TDBShowKlima w(*m, ui);
  QCOMPARE(w.ShowKlimaGrid(), int(QDialog::Rejected));  // no valid year: nothing to show
  QTemporaryDir dir;
  m->DBKlimaName = SchreibeJahr(dir.filePath("Klima.txt"));
  ReadKlimaDB(*m, ui);
  QVERIFY(m->KlimaGueltig && m->KlimaKomplett);
  ui.labels.clear();
  m->Klima[2].T_Luft = -3.456f, m->Klima[2].rFeuchte = 85.4f, m->Klima[8760].rFeuchte = 100, m->Klima[8760].Wolken = -999;

  // Rows from day 1 hour 0 to day 365 hour 23.
  auto* grid = Kind<QTableView>(w, "KlimaGrid");
  QAbstractItemModel* t = grid->model();
  auto zeile = [&](int z) {
    QStringList r;
    for (int s = 0; s < 8; ++s) r << t->data(t->index(z, s)).toString();
    return r.join(" ");
  };
  QStringList gezeigt;
  Sobald(&w, [&] { gezeigt << zeile(1) << zeile(8759) << t->headerData(4, Qt::Horizontal).toString(), Klick(w, "btSchliessen"); });
  QVERIFY(w.ShowKlimaGrid() == QDialog::Accepted && t->rowCount() == Stunden);
  QCOMPARE(gezeigt, (QStringList{"1 1 -3.46  85 0.50 0.00 0.00 1.00", "365 23 1.00 100 5.50 0.00 0.00 -999.00", "Wind"}));

  // A column is cleared only after "Yes": in memory, in that column of the table file, in the labels. The other
  // columns of the file stay as they are, also where memory holds other values (the humidity above, and
  // precipitation generated "Temporär im Speicher").
  const QStringList feuchte = Feld(m->DBKlimaName, 2), regen = Feld(m->DBKlimaName, 5);
  for (int h = 1; h <= Stunden; ++h) m->Klima[h].Nieders = 0.25f;
  ui.antworten = {false, true};
  Klick(w, "bcl3");
  QVERIFY(m->KlimaKomplett && ui.labels.empty() && m->Klima[5].rFeuchte == 54.0f && Feld(m->DBKlimaName, 2) == feuchte);
  Klick(w, "bcl4");
  QCOMPARE(ui.Texte("Frage"), std::vector<std::string>(2, TDBShowKlima::LoeschFrage));
  QVERIFY(m->Klima[1].Wind == Fehlwert && m->Klima[Stunden].Wind == Fehlwert && m->Klima[5].rFeuchte == 54.0f);
  QVERIFY(t->data(t->index(0, 4)).toString() == "-999.00" && Feld(m->DBKlimaName, 3) == QStringList(Stunden, "-999"));
  QVERIFY(Feld(m->DBKlimaName, 2) == feuchte && Feld(m->DBKlimaName, 5) == regen);
  QVERIFY(!ui.labels.at(Klimaelement::Wind) && ui.labels.at(Klimaelement::Feuchte) && !m->WindKomplett && !m->KlimaKomplett &&
          ui.Texte("Fehler").empty());

  m->DBKlimaName = TERVAL_DATENVERZEICHNIS "/Aachen2022.DBF";
  ReadKlimaDB(*m, ui), w.FillKlimaGrid(), w.show();
  grid->scrollTo(t->index(4380, 0), QAbstractItemView::PositionAtTop);
  QVERIFY(QTest::qWaitForWindowExposed(&w) && Bild(w, "klimaanzeige.png"));
}

QTEST_MAIN(tst_TDBShowKlima)
#include "tst_TDBShowKlima.moc"
