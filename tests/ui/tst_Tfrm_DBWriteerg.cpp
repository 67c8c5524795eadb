// The results writer window, alone and as the result writers drive it.
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include "Fensterhilfen.h"
#include "output/DBErgout.h"
#include "ui/Tfrm_DBWriteerg.h"

using namespace terval;
using namespace terval::test;

namespace {

// Records what the writers show in the writer window.
class Schreibprotokoll : public Aufzeichner {
 public:
  std::vector<std::string> labels;
  std::vector<int> tage;
  int verborgen = 0;
  void SchreibfensterZeigen(const std::string& l) override { labels.push_back(l); }
  void SchreibfensterFortschritt(int t) override { tage.push_back(t); }
  void SchreibfensterVerbergen() override { ++verborgen; }
};

}  // namespace

class tst_Tfrm_DBWriteerg : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { NumerikC(); }

  void aussehen();
  void zeigenFortschrittVerbergen();
  void dieSchreiberBenutzenDasFenster();
};

void tst_Tfrm_DBWriteerg::aussehen() {
  Tfrm_DBWriteerg w;
  QCOMPARE(w.windowTitle(), QString("frm_DBWriteerg"));
  QCOMPARE(w.Label1()->palette().color(QPalette::WindowText), QColor(0, 128, 128));
  QVERIFY(w.Label1()->font().bold());
  QVERIFY(w.Label1()->font().italic());
  QCOMPARE(w.ProgressBar1()->minimum(), 0);
  QCOMPARE(w.ProgressBar1()->maximum(), 365);
  QVERIFY(!w.isModal());
}

void tst_Tfrm_DBWriteerg::zeigenFortschrittVerbergen() {
  Tfrm_DBWriteerg w;
  w.Zeigen("Schreibe \"Terval Gesamtergebnis.TXT\"");
  QVERIFY(w.isVisible());
  QCOMPARE(w.Label1()->text(), QString("Schreibe \"Terval Gesamtergebnis.TXT\""));
  w.Fortschritt(200);
  QCOMPARE(w.ProgressBar1()->value(), 200);
  w.Verbergen();
  QVERIFY(!w.isVisible());
  // Shown again for the next file, the bar starts over.
  w.Zeigen("Schreibe \"x\"");
  QCOMPARE(w.ProgressBar1()->value(), 0);
}

void tst_Tfrm_DBWriteerg::dieSchreiberBenutzenDasFenster() {
  auto m = NeuesModell();
  Schreibprotokoll protokoll;
  Prueffenster f(*m, &protokoll);
  f.FormCreate();
  QTemporaryDir dir;
  m->Anz_Segmente = 2;
  m->NurEinTermin = false;
  QVERIFY(WriteTextSegmentData(*m, f.UI(), dir.path().toStdString(), "Probe"));
  QCOMPARE(protokoll.labels, std::vector<std::string>{"Schreibe \"Probe Gesamtergebnis.TXT\""});
  QCOMPARE(int(protokoll.tage.size()), 365);
  QCOMPARE(protokoll.tage.back(), 365);
  QCOMPARE(protokoll.verborgen, 1);
  // The window itself went along and is hidden again.
  QCOMPARE(f.Schreibfenster()->Label1()->text(), QString("Schreibe \"Probe Gesamtergebnis.TXT\""));
  QCOMPARE(f.Schreibfenster()->ProgressBar1()->value(), 365);
  QVERIFY(!f.Schreibfenster()->isVisible());
}

QTEST_MAIN(tst_Tfrm_DBWriteerg)
#include "tst_Tfrm_DBWriteerg.moc"
